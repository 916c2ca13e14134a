// SPDX-License-Identifier: GPL-3.0-or-later
// The parameter dialog, the two-line question, the message boxes and the
// entry boxes' number test.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "UiTestSupport.h"
#include "ui/EntryText.h"
#include "ui/QtUserPrompt.h"
#include "ui/frmMessage.h"
#include "ui/frmParameter.h"

using namespace vantor;
using namespace vantor::test;
using vantor::ui::frmParameter;

namespace {

void Fill(frmParameter& dialog, const QStringList& texts) {
  for (int i = 0; i < 5; ++i) {
    dialog.txtItem[i]->clear();
    QTest::keyClicks(dialog.txtItem[i], texts[i]);
  }
}

}  // namespace

class DialogTest : public QObject {
  Q_OBJECT

 private slots:
  // ---- frmParameter

  // Start stores the five values, the temperature from kelvin to Celsius;
  // a value that is no number says so, keeps the dialog open and stores
  // nothing of that entry.
  void parameters_StartStoresValues_NotANumberStaysOpen() {
    FakePrompt user;
    frmParameter dialog(user);
    dialog.open();
    Fill(dialog, {"10", "0.1", "0.03", "0", " 298.15 "});
    QTest::mouseClick(dialog.cmdCommand[0], Qt::LeftButton);
    QVERIFY(!dialog.mblnCancel && !dialog.isVisible());
    QCOMPARE(dialog.Entered().EGC, (std::array<double, 3>{0.1, 0.03, 0}));
    QCOMPARE(dialog.Entered().Temperature, 25.0);  // entered in kelvin
    for (int item = 0; item < 10; ++item) {
      dialog.mblnCancel = true;
      dialog.open();
      QStringList texts{"1", "2", "3", "4", "5"};
      texts[item % 5] = item < 5 ? "" : "1.5x";
      Fill(dialog, texts);
      QTest::mouseClick(dialog.cmdCommand[0], Qt::LeftButton);
      QVERIFY(dialog.isVisible() && dialog.mblnCancel);
      QCOMPARE(dialog.Entered().TwoTheta, 10.0);                // nothing of the refused entry stored
      QTest::mouseClick(dialog.cmdCommand[1], Qt::LeftButton);  // Cancel after the error
      QVERIFY(dialog.mblnCancel && !dialog.isVisible());
    }
    QCOMPARE(user.messages, std::vector<std::string>(10, "Input Value Error"));
  }

  // The window's prompt keeps one dialog: a second run shows the first
  // run's texts; closing the window counts as Cancel.
  void parameters_ThroughPrompt_KeepsTextsAndCloseCancels() {
    QWidget window;
    QLabel status(&window);
    ui::QtUserPrompt prompt(&window, &status);
    WhenModal([](QWidget* dialog) {
      auto& parameters = *qobject_cast<frmParameter*>(dialog);
      Fill(parameters, {"10", "0.1", "0.03", "0", "298.15"});
      QTest::mouseClick(parameters.cmdCommand[0], Qt::LeftButton);
    });
    const auto first = prompt.AskCsvParameters();
    QVERIFY(first.has_value());
    QCOMPARE(first->Temperature, 25.0);
    QStringList shownAgain;
    WhenModal([&](QWidget* dialog) {
      auto& parameters = *qobject_cast<frmParameter*>(dialog);
      for (auto* box : parameters.txtItem) shownAgain << box->text();
      QCOMPARE(parameters.windowTitle(), QString("Parameters"));
      parameters.close();
    });
    QVERIFY(!prompt.AskCsvParameters().has_value());
    QCOMPARE(shownAgain, (QStringList{"10", "0.1", "0.03", "0", "298.15"}));
  }

  // ---- frmMessage and the message boxes

  void twoLines_NoThenYesThenClosed() {
    QWidget window;
    QLabel status(&window);
    ui::QtUserPrompt prompt(&window, &status);
    QStringList shown;
    for (const char* button : {"No", "Yes", "close"}) {
      WhenModal([&shown, button](QWidget* dialog) {
        auto& question = *qobject_cast<ui::frmMessage*>(dialog);
        shown << question.windowTitle() + "|" + question.lblMes1->text() + "|" + question.lblMes2->text() + "|" +
                     question.cmdYes->text() + "|" + question.cmdNo->text();
        if (QString(button) == "close") return question.close(), void();
        QTest::mouseClick(QString(button) == "Yes" ? question.cmdYes : question.cmdNo, Qt::LeftButton);
      });
      QCOMPARE(prompt.AskTwoLines("All file will be over", "writed. OK?"), QString(button) == "Yes");
    }
    QCOMPARE(shown, QStringList(3, "Vantor|All file will be over|writed. OK?|&Yes|&No"));
  }

  // ---- the entry boxes' number test

  void entryNumber() {
    const std::tuple<const char*, const char*, std::optional<double>> rows[] = {
        {"C", "  -1.5e3 ", -1500}, {"C", "+.5", 0.5},    {"C", "   ", {}},        {"C", "1,000", {}},
        {"C", "1.2.3", {}},        {"C", "nan", {}},     {"C", "1e999", {}},      {"C", "0x10", {}},
        {"de_DE", "0,5", 0.5},     {"de_DE", "0.5", {}}, {"de_DE", "1.000,5", {}}};
    for (const auto& [locale, text, value] : rows) QCOMPARE(ui::EntryNumber(text, QLocale(locale)), value);
  }
};

QTEST_MAIN(DialogTest)
#include "DialogTest.moc"
