// SPDX-License-Identifier: GPL-3.0-or-later
// The viewer's peaks: the least signal-to-noise ratio and the button that
// finds them (placed in the viewer's bar), the table of their channel,
// energy, d, width and area with sigmas, escape peaks noted; Ctrl+C copies
// the selected rows, "Export table..." writes them all as CSV.
#pragma once

#include <QWidget>
#include <vector>

#include "analysis/PeakSearch.h"

class QDoubleSpinBox;
class QLabel;
class QPushButton;
class QTableWidget;

namespace vantor::ui {

// One spectrum's search: its place among the chart's spectra and its name.
struct SpectrumPeakSearch {
  std::size_t spectrum = 0;
  QString name;
  PeakSearch search;
};

class PeaksPanel : public QWidget {
  Q_OBJECT
 public:
  explicit PeaksPanel(QWidget* parent = nullptr);

  QDoubleSpinBox* minSnrBox = nullptr;
  QPushButton* findButton = nullptr;
  QTableWidget* table = nullptr;
  QPushButton* exportButton = nullptr;
  QLabel* statusLabel = nullptr;

  // The searches' peaks, a row each (with a column naming the spectrum
  // when there are several); `where` says what was searched ("whole
  // spectrum", "5.000 keV to 20.000 keV").
  void Show(const std::vector<SpectrumPeakSearch>& searches, const QString& where);
  void Clear();
  // The rows' peaks, and the chart spectrum each belongs to.
  const std::vector<PeakResult>& peaks() const { return peaks_; }
  std::size_t SpectrumOfRow(std::size_t row) const { return rows_[row].spectrum; }
  // The selected rows as the exported table's lines, tab-separated.
  QString SelectedText() const;
  // The whole table as CSV into the file; false and why otherwise.
  bool WriteTable(const QString& path, QString* why) const;

 signals:
  void findRequested();
  void peakChosen(int index);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Export();

  // The rows' text as PeaksDelimited writes it, one header for all.
  QString Delimited(const std::vector<int>& rows, char separator) const;

  struct RowOf {
    std::size_t spectrum;
    std::string name;
  };
  std::vector<PeakResult> peaks_;
  std::vector<RowOf> rows_;
};

}  // namespace vantor::ui
