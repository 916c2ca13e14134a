// SPDX-License-Identifier: GPL-3.0-or-later
// The parameter dialog for CSV sources.
#include "ui/frmParameter.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <vector>

#include "base/SpectrumRecord.h"
#include "ui/EntryText.h"
#include "ui/FormScale.h"

namespace vantor::ui {
namespace {

struct Item {
  const char* caption;  // "&" marks the Alt key that moves into the box
  QRect label;          // Left, Top, Width, Height in twips
  QRect box;
};

const std::array<Item, 5> kItems{{
    {"&2Theta", QRect(180, 120, 975, 345), QRect(1290, 90, 1005, 375)},
    {"EGC&0", QRect(180, 570, 975, 345), QRect(1290, 570, 1005, 375)},
    {"EGC&1", QRect(210, 1020, 975, 345), QRect(1290, 990, 1005, 375)},
    {"EGC&2", QRect(210, 1440, 975, 345), QRect(1320, 1440, 1005, 375)},
    {"&Temperature", QRect(210, 1860, 975, 405), QRect(1320, 1860, 1005, 375)},
}};

}  // namespace

frmParameter::frmParameter(UserPrompt& prompt, QWidget* parent) : QDialog(parent), prompt_(prompt) {
  setWindowTitle("Parameters");
  setFont(FormFont());
  std::vector<FormPlace> places;
  auto add = [&places](QWidget* w, const QString& name, QRect twips) {
    w->setObjectName(name);
    places.push_back({w, twips});
  };
  for (int i = 0; i < 5; ++i) {
    auto* label = new QLabel(kItems[i].caption, this);
    txtItem[i] = new QLineEdit(this);
    label->setBuddy(txtItem[i]);
    add(label, QString("lblItem(%1)").arg(i), kItems[i].label);
    add(txtItem[i], QString("txtItem(%1)").arg(i), kItems[i].box);
  }
  add(new QLabel("K", this), "Label1(0)", QRect(2430, 1920, 315, 285));
  add(new QLabel("Deg", this), "Label1(1)", QRect(2370, 210, 375, 285));
  const std::array<QRect, 2> buttons{QRect(1080, 2340, 825, 375), QRect(1950, 2340, 825, 375)};
  for (int i = 0; i < 2; ++i) {
    cmdCommand[i] = new QPushButton(i == 0 ? "&Start" : "&Cancel", this);
    add(cmdCommand[i], QString("cmdCommand(%1)").arg(i), buttons[i]);
    connect(cmdCommand[i], &QPushButton::clicked, this, [this, i] { cmdCommand_Click(i); });
  }
  // Enter in any box is "Start"; Esc is "Cancel".
  cmdCommand[0]->setDefault(true);
  cmdCommand[1]->setAutoDefault(false);
  const double scale = FitFactor(places);
  for (const FormPlace& p : places) p.widget->setGeometry(Placed(p, scale));
  setFixedSize(Scaled(QRect(0, 0, 2880, 2760), scale).size());
}

void frmParameter::reject() {
  mblnCancel = true;
  QDialog::reject();
}

void frmParameter::cmdCommand_Click(int index) {
  if (index == 1) {
    reject();
    return;
  }
  std::array<double, 5> values{};
  for (int i = 0; i < 5; ++i) {
    const auto value = EntryNumber(txtItem[i]->text());
    if (!value) {
      prompt_.Message("Input Value Error");  // the dialog stays open, nothing stored
      return;
    }
    values[i] = *value;
  }
  entered_.TwoTheta = values[0];
  entered_.EGC = {values[1], values[2], values[3]};
  entered_.Temperature = values[4] - kZeroCelsiusInKelvin;
  mblnCancel = false;
  accept();
}

}  // namespace vantor::ui
