// SPDX-License-Identifier: GPL-3.0-or-later
// What the viewer's two calibration dialogs share: the Calibrate button,
// the calibration file of what was found, "Save calibration..." (the file
// `vantor-cli calibrate --write-calibration` writes) and "Apply" (to the
// open spectra).
#pragma once

#include <QDialog>
#include <optional>

#include "convert/CalibrationFile.h"

class QLabel;
class QPushButton;
class QVBoxLayout;

namespace vantor::ui {

class CalibrationDialog : public QDialog {
  Q_OBJECT
 public:
  QPushButton* calibrateButton = nullptr;
  QPushButton* saveButton = nullptr;
  QPushButton* applyButton = nullptr;
  QLabel* statusLabel = nullptr;

  // The calibration file of the last calibration; none before one, or
  // when it found nothing.
  const std::optional<CalibrationFile>& calibration() const { return calibration_; }
  // Writes it; false and why otherwise.
  bool SaveTo(const QString& path, QString* why) const;
  // Calibrates with the controls' choices.
  virtual void Calibrate() = 0;

 signals:
  void applied(const vantor::CalibrationFile& calibration);

 protected:
  CalibrationDialog(const QString& title, QWidget* parent);
  // Adds the buttons under the controls a subclass put into `body`.
  void FinishLayout();
  void SetCalibration(std::optional<CalibrationFile> calibration, const QString& why);

  QVBoxLayout* body = nullptr;

 private:
  void Save();

  std::optional<CalibrationFile> calibration_;
};

}  // namespace vantor::ui
