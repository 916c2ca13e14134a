// The parameter dialog for CSV sources.
#include "ui/frmParameter.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "ui/EntryText.h"
#include "ui/Twips.h"

namespace vantor::ui {
namespace {

struct Item {
  const char* caption;
  QRect label;
  QRect box;
};

const std::array<Item, 5> kItems{{
    {"2Theta", Twips(180, 120, 975, 345), Twips(1290, 90, 1005, 375)},
    {"EGC0", Twips(180, 570, 975, 345), Twips(1290, 570, 1005, 375)},
    {"EGC1", Twips(210, 1020, 975, 345), Twips(1290, 990, 1005, 375)},
    {"EGC2", Twips(210, 1440, 975, 345), Twips(1320, 1440, 1005, 375)},
    {"Temperature", Twips(210, 1860, 975, 405), Twips(1320, 1860, 1005, 375)},
}};

constexpr double kZeroCelsius = 273.15;

}  // namespace

frmParameter::frmParameter(UserPrompt& prompt, QWidget* parent) : QDialog(parent), prompt_(prompt) {
  setWindowTitle("Parameters");
  setFixedSize(TwipsSize(2880, 2760));
  for (int i = 0; i < 5; ++i) {
    auto* label = new QLabel(kItems[i].caption, this);
    label->setObjectName(QString("lblItem(%1)").arg(i));
    label->setGeometry(kItems[i].label);
    txtItem[i] = new QLineEdit(this);
    txtItem[i]->setObjectName(QString("txtItem(%1)").arg(i));
    txtItem[i]->setGeometry(kItems[i].box);
  }
  auto* kelvin = new QLabel("K", this);
  kelvin->setObjectName("Label1(0)");
  kelvin->setGeometry(Twips(2430, 1920, 315, 285));
  auto* degree = new QLabel("Deg", this);
  degree->setObjectName("Label1(1)");
  degree->setGeometry(Twips(2370, 210, 375, 285));
  const std::array<QRect, 2> buttons{Twips(1080, 2340, 825, 375), Twips(1950, 2340, 825, 375)};
  for (int i = 0; i < 2; ++i) {
    cmdCommand[i] = new QPushButton(i == 0 ? "Start" : "Cancel", this);
    cmdCommand[i]->setObjectName(QString("cmdCommand(%1)").arg(i));
    cmdCommand[i]->setGeometry(buttons[i]);
    cmdCommand[i]->setAutoDefault(false);
    connect(cmdCommand[i], &QPushButton::clicked, this, [this, i] { cmdCommand_Click(i); });
  }
}

void frmParameter::cmdCommand_Click(int index) {
  if (index == 1) {
    mblnCancel = true;
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
  entered_.Temperature = values[4] - kZeroCelsius;
  mblnCancel = false;
  accept();
}

}  // namespace vantor::ui
