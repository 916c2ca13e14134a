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

  void parameters_Start_StoresValuesKelvinToCelsius_data() {
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<double>("celsius");
    QTest::newRow("298.15 K") << QStringList{"10", "0.1", "0.03", "0", "298.15"} << 25.0;
    QTest::newRow("blanks around") << QStringList{"10", "0.1", "0.03", "0", " 273.15 "} << 0.0;
    QTest::newRow("373.15 K") << QStringList{"10", "0.1", "0.03", "0", "373.15"} << 373.15 - 273.15;
    QTest::newRow("0 K") << QStringList{"10", "0.1", "0.03", "0", "0"} << -273.15;
  }
  void parameters_Start_StoresValuesKelvinToCelsius() {
    QFETCH(QStringList, texts);
    QFETCH(double, celsius);
    FakePrompt user;
    frmParameter dialog(user);
    dialog.mblnCancel = true;
    dialog.open();
    Fill(dialog, texts);
    QTest::mouseClick(dialog.cmdCommand[0], Qt::LeftButton);
    QVERIFY(!dialog.mblnCancel && !dialog.isVisible());
    QCOMPARE(dialog.Entered().TwoTheta, 10.0);
    QCOMPARE(dialog.Entered().EGC, (std::array<double, 3>{0.1, 0.03, 0}));
    QCOMPARE(dialog.Entered().Temperature, celsius);
    QVERIFY(user.messages.empty());
  }

  void parameters_NotANumber_SaysSoAndStaysOpen_data() {
    QTest::addColumn<int>("item");
    QTest::addColumn<QString>("text");
    for (int item = 0; item < 5; ++item) {
      QTest::addRow("item %d empty", item) << item << "";
      QTest::addRow("item %d a word", item) << item << "1.5x";
    }
  }
  void parameters_NotANumber_SaysSoAndStaysOpen() {
    QFETCH(int, item);
    QFETCH(QString, text);
    FakePrompt user;
    frmParameter dialog(user);
    dialog.open();
    Fill(dialog, {"1", "2", "3", "4", "5"});
    QTest::mouseClick(dialog.cmdCommand[0], Qt::LeftButton);  // accepted once
    dialog.mblnCancel = true;
    dialog.open();
    QStringList texts{"10", "20", "30", "40", "50"};
    texts[item] = text;
    Fill(dialog, texts);
    QTest::mouseClick(dialog.cmdCommand[0], Qt::LeftButton);
    QCOMPARE(user.messages, std::vector<std::string>{"Input Value Error"});
    QVERIFY(dialog.isVisible() && dialog.mblnCancel);
    QCOMPARE(dialog.Entered().TwoTheta, 1.0);  // nothing of the second entry stored
    QCOMPARE(dialog.Entered().Temperature, 5 - 273.15);
    QTest::mouseClick(dialog.cmdCommand[1], Qt::LeftButton);  // Cancel after the error
    QVERIFY(dialog.mblnCancel && !dialog.isVisible());
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
    auto answer = [&](const char* button) {
      WhenModal([&shown, button](QWidget* dialog) {
        auto& question = *qobject_cast<ui::frmMessage*>(dialog);
        shown << question.windowTitle() << question.lblMes1->text() << question.lblMes2->text()
              << question.cmdYes->text() << question.cmdNo->text();
        if (QString(button) == "close")
          question.close();
        else
          QTest::mouseClick(QString(button) == "Yes" ? question.cmdYes : question.cmdNo, Qt::LeftButton);
      });
    };
    answer("No");
    QVERIFY(!prompt.AskTwoLines("All file will be over", "writed. OK?"));
    answer("Yes");
    QVERIFY(prompt.AskTwoLines("All file will be over", "writed. OK?"));
    answer("close");
    QVERIFY(!prompt.AskTwoLines("All file will be over", "writed. OK?"));
    QCOMPARE(shown.mid(0, 5), (QStringList{"Vantor", "All file will be over", "writed. OK?", "&Yes", "&No"}));
  }

  // ---- the entry boxes' number test

  void entryNumber_data() {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("isNumber");
    QTest::addColumn<double>("value");
    const QList<std::tuple<const char*, const char*, bool, double>> rows{
        {"C", "0.266730", true, 0.26673}, {"C", "  -1.5e3 ", true, -1500},
        {"C", "+.5", true, 0.5},          {"C", "", false, 0},
        {"C", "   ", false, 0},           {"C", "1,000", false, 0},
        {"C", "1.2.3", false, 0},         {"C", "nan", false, 0},
        {"C", "inf", false, 0},           {"C", "1e999", false, 0},
        {"C", "0x10", false, 0},          {"de_DE", "0,5", true, 0.5},
        {"de_DE", "0.5", false, 0},       {"de_DE", "1.000,5", false, 0},
    };
    for (const auto& [locale, text, isNumber, value] : rows)
      QTest::addRow("%s '%s'", locale, text) << locale << text << isNumber << value;
  }
  void entryNumber() {
    QFETCH(QString, locale);
    QFETCH(QString, text);
    QFETCH(bool, isNumber);
    QFETCH(double, value);
    const auto number = ui::EntryNumber(text, QLocale(locale));
    QCOMPARE(number.has_value(), isNumber);
    if (isNumber) QCOMPARE(*number, value);
  }
};

QTEST_MAIN(DialogTest)
#include "DialogTest.moc"
