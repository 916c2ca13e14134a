// SPDX-License-Identifier: GPL-3.0-or-later
// frmParameter ("Parameters"): the five values a CSV source does not carry.
// Created once and kept, so it shows the last run's texts again. The caller
// sets mblnCancel to true, shows it modally and reads mblnCancel: false means
// the values were accepted.
#pragma once

#include <QDialog>
#include <array>

#include "base/UserPrompt.h"

class QLineEdit;
class QPushButton;

namespace vantor::ui {

class frmParameter : public QDialog {
  Q_OBJECT
 public:
  // Messages ("Input Value Error") go through the given prompt.
  explicit frmParameter(UserPrompt& prompt, QWidget* parent = nullptr);

  bool mblnCancel = true;
  // What "Start" accepted: 2Theta, the calibration, the temperature in
  // degrees Celsius.
  CsvParameters Entered() const { return entered_; }

  std::array<QLineEdit*, 5> txtItem{};
  std::array<QPushButton*, 2> cmdCommand{};

  // Esc and closing the window count as "Cancel".
  void reject() override;

 private:
  void cmdCommand_Click(int index);

  UserPrompt& prompt_;
  CsvParameters entered_;
};

}  // namespace vantor::ui
