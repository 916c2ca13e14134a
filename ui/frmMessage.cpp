// SPDX-License-Identifier: GPL-3.0-or-later
// The two-line Yes/No dialog.
#include "ui/frmMessage.h"

#include <QLabel>
#include <QPushButton>

#include "ui/FormScale.h"

namespace vantor::ui {
namespace {

// Left, Top, Width, Height in twips.
const QRect kMes1(120, 105, 2235, 270), kMes2(120, 435, 2250, 315);
const QRect kYes(180, 825, 825, 405), kNo(1530, 840, 870, 405);
const QRect kClientArea(0, 0, 2490, 1320);

}  // namespace

frmMessage::frmMessage(QWidget* parent) : QDialog(parent) {
  // Its own face, whatever the window around it uses; Liberation Serif has
  // Times New Roman's widths where that is not installed.
  QFont face;
  face.setFamilies({"Times New Roman", "Liberation Serif", "Tinos"});
  face.setStyleHint(QFont::Serif);
  face.setPointSize(12);
  setFont(face);
  lblMes1 = new QLabel("Label1", this);
  lblMes2 = new QLabel("Label1", this);
  cmdYes = new QPushButton("Quit", this);
  cmdNo = new QPushButton("Cancel", this);
  lblMes1->setObjectName("lblMes1");
  lblMes2->setObjectName("lblMes2");
  cmdYes->setObjectName("cmdYes");
  cmdNo->setObjectName("cmdNo");
  // Enter answers with the first button, Esc with No.
  cmdYes->setDefault(true);
  cmdNo->setAutoDefault(false);
  cmdYes->setFocus();
  connect(cmdYes, &QPushButton::clicked, this, [this] {
    answer_ = true;
    accept();
  });
  connect(cmdNo, &QPushButton::clicked, this, [this] {
    answer_ = false;
    reject();
  });
  Fit();
}

// The caller sets the texts after creating the dialog: the scale that lets
// them fit is found when it is shown.
void frmMessage::Fit() {
  const FormPlace places[] = {{lblMes1, kMes1}, {lblMes2, kMes2}, {cmdYes, kYes}, {cmdNo, kNo}};
  const double scale = FitFactor(places);
  for (const FormPlace& p : places) p.widget->setGeometry(Placed(p, scale));
  setFixedSize(Scaled(kClientArea, scale).size());
}

void frmMessage::showEvent(QShowEvent* event) {
  Fit();
  QDialog::showEvent(event);
}

}  // namespace vantor::ui
