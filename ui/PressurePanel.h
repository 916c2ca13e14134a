// SPDX-License-Identifier: GPL-3.0-or-later
// The viewer's standard and pressure: the standard and its scale (placed
// in the viewer's bar with the Pressure button), and the results: for the
// spectrum chosen P ± σ, T and its source, a and V/V0, the reflections used
// and dropped, every warning the command line prints; for several spectra
// a table with a row each.
#pragma once

#include <QWidget>
#include <optional>
#include <vector>

#include "analysis/CellPressure.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace vantor::ui {

class PressurePanel : public QWidget {
  Q_OBJECT
 public:
  explicit PressurePanel(QWidget* parent = nullptr);

  QComboBox* standardBox = nullptr;  // "none", then every standard by name
  QComboBox* scaleBox = nullptr;     // the chosen pressure standard's scales, its default first
  QPushButton* pressureButton = nullptr;
  QLineEdit* temperatureEdit = nullptr;  // K; empty: the record's, else 300 K
  QLineEdit* guessEdit = nullptr;        // GPa; empty: the whole range of the scale
  QLabel* readoutLabel = nullptr;
  QLabel* warningLabel = nullptr;
  QTableWidget* summaryTable = nullptr;  // a row per spectrum, when there are several
  QLabel* cellLabel = nullptr;           // the cell a detector ring's elements see, when their azimuths are known
  QTableWidget* reflectionTable = nullptr;

  // The standard chosen; null for none.
  const Standard* standard() const;
  // The scale chosen; null for a calibrant or none.
  const PressureScale* scale() const;
  // The request for the standard, scale, temperature and guess chosen;
  // none, and why, for a calibrant or an entry that is not a number.
  std::optional<PressureRequest> Request(QString* why) const;
  // Picks "NAME[:SCALE]"; false with the reason when there is no such
  // pressure standard or scale.
  bool Choose(const QString& text, QString* why);

  // The pressures of the chart's spectra (indices into them), the details
  // of `current`'s shown, and the cell they see together when there is one.
  void ShowResults(std::vector<SpectrumPressure> results, std::vector<std::size_t> spectra, std::size_t current,
                   const std::optional<CellPressure>& cell);
  // The result for a chart spectrum; null when it has none (yet).
  const SpectrumPressure* ResultFor(std::size_t spectrum) const;
  // Shows the details of the chart spectrum's result (or that there is none).
  void ShowDetails(std::size_t spectrum);
  void ClearResults();

 signals:
  void standardChanged();
  void pressureRequested();
  void spectrumChosen(std::size_t spectrum);  // a row of the summary

 private:
  void FillScales();

  std::vector<SpectrumPressure> results_;
  std::vector<std::size_t> spectra_;
};

}  // namespace vantor::ui
