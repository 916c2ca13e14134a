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

class PeaksPanel : public QWidget {
  Q_OBJECT
 public:
  explicit PeaksPanel(QWidget* parent = nullptr);

  QDoubleSpinBox* minSnrBox = nullptr;
  QPushButton* findButton = nullptr;
  QTableWidget* table = nullptr;
  QPushButton* exportButton = nullptr;
  QLabel* statusLabel = nullptr;

  // The search's peaks for the spectrum named; `where` says what was
  // searched ("whole spectrum", "5.000 to 20.000 keV").
  void Show(const PeakSearch& search, const QString& spectrum, const QString& where);
  void Clear();
  const std::vector<PeakResult>& peaks() const { return peaks_; }
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

  std::vector<PeakResult> peaks_;
  QString spectrum_;
};

}  // namespace vantor::ui
