// SPDX-License-Identifier: GPL-3.0-or-later
// "Calibrate energy...": lines picked from the check sources and the
// fluorescence lines, the peaks they matched with each residual, and the
// fitted A, B, C with their sigmas, for each detector element.
#pragma once

#include <vector>

#include "analysis/CalibrationReport.h"
#include "ui/CalibrationDialog.h"
#include "view/ChartModel.h"

class QComboBox;
class QLineEdit;
class QListWidget;
class QTableWidget;

namespace vantor::ui {

class EnergyCalibrationDialog : public CalibrationDialog {
  Q_OBJECT
 public:
  EnergyCalibrationDialog(std::vector<ChartSpectrum> spectra, QWidget* parent);

  QListWidget* sourceList = nullptr;  // check sources, checkable
  QLineEdit* elementEdit = nullptr;   // "Pb"
  QComboBox* lineBox = nullptr;       // "Ka1", ...
  QLineEdit* moreEdit = nullptr;      // further lines and energies: "Pb-Ka1,59.5409"
  QComboBox* degreeBox = nullptr;     // automatic, linear, quadratic
  QComboBox* resultBox = nullptr;     // which element's result is shown
  QLabel* coefficientLabel = nullptr;
  QTableWidget* pointTable = nullptr;

  // The list the choices make, as `calibrate energy --lines` takes it.
  QString LinesText() const;
  // Ticks the sources of a list and puts the rest in the further lines.
  void SetLines(const QString& list);
  void Calibrate() override;
  const std::vector<ElementEnergy>& results() const { return results_; }

 private:
  void ShowResult(int index);

  std::vector<ChartSpectrum> spectra_;
  std::vector<ElementEnergy> results_;
};

}  // namespace vantor::ui
