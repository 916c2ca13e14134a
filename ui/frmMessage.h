// SPDX-License-Identifier: GPL-3.0-or-later
// frmMessage: a Yes/No question of two text lines. The caller creates it,
// sets the caption, both lines and both button captions, shows it modally,
// reads YesNo and discards it, so every question starts from "No".
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace vantor::ui {

class frmMessage : public QDialog {
  Q_OBJECT
 public:
  explicit frmMessage(QWidget* parent = nullptr);

  bool YesNo() const { return answer_; }

  QLabel* lblMes1;
  QLabel* lblMes2;
  QPushButton* cmdYes;
  QPushButton* cmdNo;

  // The dialog's size, at the scale that fits the present texts.
  void Fit();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  bool answer_ = false;  // closing the window without a button counts as No
};

}  // namespace vantor::ui
