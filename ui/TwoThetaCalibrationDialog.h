// SPDX-License-Identifier: GPL-3.0-or-later
// "Calibrate 2θ...": a standard picked, each spectrum's (each detector
// element's) 2θ ± σ beside the file's, and the reflections the row chosen
// was fitted from and those left out.
#pragma once

#include <vector>

#include "analysis/TwoThetaCalibration.h"
#include "ui/CalibrationDialog.h"
#include "view/ChartModel.h"

class QComboBox;
class QTableWidget;

namespace vantor::ui {

class TwoThetaCalibrationDialog : public CalibrationDialog {
  Q_OBJECT
 public:
  // `applied`: the calibration the spectra carry from an earlier Apply,
  // whose energy calibrations the saved file keeps beside the angles.
  TwoThetaCalibrationDialog(std::vector<ChartSpectrum> spectra, std::optional<CalibrationFile> applied,
                            QWidget* parent);

  QComboBox* standardBox = nullptr;
  QTableWidget* summaryTable = nullptr;     // a row per spectrum
  QTableWidget* reflectionTable = nullptr;  // of the row chosen

  // Picks the standard by name; false when there is none of that name.
  bool ChooseStandard(const QString& name);
  void Calibrate() override;
  const std::vector<TwoThetaCalibration>& results() const { return results_; }

 private:
  void ShowReflections(int row);

  std::vector<ChartSpectrum> spectra_;
  std::optional<CalibrationFile> applied_;
  std::vector<TwoThetaCalibration> results_;
};

}  // namespace vantor::ui
