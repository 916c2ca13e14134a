// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/CalibrationDialog.h"

#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/EntryText.h"

namespace vantor::ui {

CalibrationDialog::CalibrationDialog(const QString& title, QWidget* parent) : QDialog(parent) {
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle("Vantor - " + title);
  body = new QVBoxLayout(this);
  calibrateButton = new QPushButton("&Calibrate", this);
  calibrateButton->setDefault(true);
  saveButton = new QPushButton("&Save calibration...", this);
  applyButton = new QPushButton("&Apply", this);
  applyButton->setToolTip("Use this calibration for the open spectra");
  statusLabel = new QLabel(this);
  statusLabel->setWordWrap(true);
  statusLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
  SetCalibration(std::nullopt, {});
  connect(calibrateButton, &QPushButton::clicked, this, [this] { Calibrate(); });
  connect(saveButton, &QPushButton::clicked, this, [this] { Save(); });
  connect(applyButton, &QPushButton::clicked, this, [this] {
    if (calibration_) emit applied(*calibration_);
  });
}

void CalibrationDialog::FinishLayout() {
  auto* close = new QPushButton("Close", this);
  connect(close, &QPushButton::clicked, this, &QDialog::close);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(saveButton);
  buttons->addWidget(applyButton);
  buttons->addStretch(1);
  buttons->addWidget(close);
  body->addWidget(statusLabel);
  body->addLayout(buttons);
}

void CalibrationDialog::SetCalibration(std::optional<CalibrationFile> calibration, const QString& why) {
  calibration_ = std::move(calibration);
  saveButton->setEnabled(calibration_.has_value());
  applyButton->setEnabled(calibration_.has_value());
  statusLabel->setText(why.isEmpty() ? QString() : "Nothing to save or apply: " + why);
  statusLabel->setVisible(!why.isEmpty());
}

bool CalibrationDialog::SaveTo(const QString& path, QString* why) const {
  std::string reason = "nothing calibrated";
  if (calibration_ && WriteCalibrationFile(ToCore(path), *calibration_, reason)) return true;
  *why = FromCore(reason);
  return false;
}

void CalibrationDialog::Save() {
  const QString path =
      QFileDialog::getSaveFileName(this, "Save calibration", "calibration.json", "Calibration file (*.json)");
  if (path.isEmpty()) return;
  QString why;
  if (!SaveTo(path, &why))
    QMessageBox::warning(this, "Vantor", "The calibration could not be written.\n" + path + "\n" + why);
}

}  // namespace vantor::ui
