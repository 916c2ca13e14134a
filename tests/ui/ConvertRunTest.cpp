// SPDX-License-Identifier: GPL-3.0-or-later
// What only the window can get wrong about "Convert Start": which control
// fills which part of the request (the run's own rules are the core tests'),
// the entry boxes in the user's locale, and one run through the real dialogs.
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>

#include "UiTestSupport.h"
#include "base/FileAccess.h"

using namespace vantor;
using namespace vantor::test;

namespace {

void SetText(QLineEdit* box, const QString& text) {
  box->selectAll();
  QTest::keyClick(box, Qt::Key_Delete);
  QTest::keyClicks(box, text);
}

// The button of `frame` whose caption starts with `caption`, found by what
// the user sees (shortcut marks aside) rather than by the window's own arrays.
template <typename Button>
Button* Captioned(QWidget* frame, const QString& caption) {
  for (auto* button : frame->findChildren<Button*>())
    if (QString(button->text()).remove(QLatin1Char('&')).startsWith(caption)) return button;  // without its shortcut mark
  return nullptr;
}

}  // namespace

class ConvertRunTest : public QObject {
  Q_OBJECT

 private slots:
  void controls_FillTheRequest() {
    TempDir dir;
    WriteRecord(dir / "run1.xbm");
    WriteRecord(dir / "run2.xbm");
    FakePrompt user;
    ShownWindow w(dir.path(), &user);
    for (const auto& output : OutputFormats()) {
      auto* box = Captioned<QCheckBox>(w.ui.Frame3, QString::fromLatin1(output.name).toUpper());
      QVERIFY(box != nullptr);
      Click(box);
      OutputChoice only{};
      only[static_cast<int>(output.kind)] = true;
      QCOMPARE(w.window.ReadConvertRequest().outputs, only);
      Click(box);
    }
    for (const auto& source : SourceFormats()) {
      Click(Captioned<QRadioButton>(w.ui.fraSourceFileType, QString::fromLatin1(source.name)));
      QCOMPARE(w.window.ReadConvertRequest().source, source.kind);
      QCOMPARE(w.window.ReadConvertRequest().pattern, std::string(source.pattern));
    }
    Click(w.ui.optSourceFileType[0]);
    ClickEntry(w.ui.filFiles, "run2.xbm");
    ClickEntry(w.ui.filFiles, "run1.xbm", Qt::ControlModifier);
    Click(w.ui.chkChangeEGC);
    SetText(w.ui.txtEGC[2], "abc");
    Click(Captioned<QRadioButton>(w.ui.Frame7, "Absolute"));
    ConvertRequest r = w.window.ReadConvertRequest();
    QCOMPARE(r.selection, std::string("run1.xbm;run2.xbm"));
    QCOMPARE(r.filesFolder, dir.path().string());
    QVERIFY(r.changeEGC && !r.change2Theta && r.twoThetaMode == 1 && !r.useListFile);
    QCOMPARE(r.egc[0], std::optional<double>(0.26673));
    QVERIFY(!r.egc[2].has_value());
    Click(w.ui.chkXli);
    Click(w.ui.chkChange2Theta);
    SetText(w.ui.txtXliName, "run.xli");
    r = w.window.ReadConvertRequest();
    QVERIFY(r.useListFile && r.change2Theta && r.listName == "run.xli");
  }

  void entries_ReadInTheUsersLocale() {
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    TempDir dir;
    FakePrompt user;
    {
      ShownWindow w(dir.path(), &user);
      QCOMPARE(w.ui.txtEGC[0]->text(), QString("0,266730"));  // the default, as the locale writes it
      QCOMPARE(w.window.ReadConvertRequest().egc[0], std::optional<double>(0.26673));
      SetText(w.ui.txt2Theta, " 12,5 ");
      QCOMPARE(w.window.ReadConvertRequest().twoTheta, std::optional<double>(12.5));
    }
    QLocale::setDefault(QLocale::c());
  }

  // The question is asked while busy, with No the default; the pointer is
  // back and the label says "Finished" before the closing message.
  void realDialogs_AskWhileBusyThenLabelShowsFinished() {
    TempDir dir;
    WriteRecord(dir / "run1.xbm");
    WriteRecord(dir / "run2.xbm");
    WriteAll(dir / "run1_.XBM", "old");
    ShownWindow w(dir.path(), nullptr);
    ClickEntry(w.ui.filFiles, "run1.xbm");
    ClickEntry(w.ui.filFiles, "run2.xbm", Qt::ControlModifier);
    Click(w.ui.chkOutput[static_cast<int>(OutputKind::Xbm)]);
    QStringList seen;
    std::function<void(QWidget*)> answer = [&](QWidget* dialog) {
      auto* box = qobject_cast<QMessageBox*>(dialog);
      QVERIFY(box != nullptr);
      const bool question = box->button(QMessageBox::No) != nullptr;
      seen << box->windowTitle() + "|" + box->text() + "|" + w.ui.lblDisp->text() + "|" +
                  (QApplication::overrideCursor() ? "busy" : "idle") + "|" +
                  (question && box->defaultButton() == box->button(QMessageBox::No) ? "No|" : "|") +
                  (question ? QString::number(box->icon()) : "");
      box->button(question ? QMessageBox::No : QMessageBox::Ok)->click();
      if (question) WhenModal(answer);
    };
    WhenModal(answer);
    QTest::mouseClick(w.ui.cmdSet, Qt::LeftButton);
    const QString replace = QString::fromStdString(ReplaceQuestion(dir / "run1_.XBM"));
    QCOMPARE(seen, (QStringList{"Vantor|" + replace + "||busy|No|" + QString::number(QMessageBox::Warning),
                                "Vantor|Convert Finished|Finished|idle||"}));
    QCOMPARE(ReadAll(dir / "run1_.XBM"), std::string("old"));  // declined: left alone
    QCOMPARE(ReadAll(dir / "run2_.XBM"), ReadAll(dir / "run2.xbm"));
  }
};

QTEST_MAIN(ConvertRunTest)
#include "ConvertRunTest.moc"
