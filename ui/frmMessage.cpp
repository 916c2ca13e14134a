// The two-line Yes/No dialog.
#include "ui/frmMessage.h"

#include <QLabel>
#include <QPushButton>

#include "ui/Twips.h"

namespace vantor::ui {

frmMessage::frmMessage(QWidget* parent) : QDialog(parent) {
  setFixedSize(TwipsSize(2490, 1320));
  setFont(QFont("Times New Roman", 12));
  auto place = [](QWidget* w, const char* name, QRect at) {
    w->setObjectName(name);
    w->setGeometry(at);
  };
  place(lblMes1 = new QLabel("Label1", this), "lblMes1", Twips(120, 105, 2235, 270));
  place(lblMes2 = new QLabel("Label1", this), "lblMes2", Twips(120, 435, 2250, 315));
  place(cmdYes = new QPushButton("Quit", this), "cmdYes", Twips(180, 825, 825, 405));
  place(cmdNo = new QPushButton("Cancel", this), "cmdNo", Twips(1530, 840, 870, 405));
  cmdYes->setFocus();
  connect(cmdYes, &QPushButton::clicked, this, [this] {
    answer_ = true;
    accept();
  });
  connect(cmdNo, &QPushButton::clicked, this, [this] {
    answer_ = false;
    reject();
  });
}

}  // namespace vantor::ui
