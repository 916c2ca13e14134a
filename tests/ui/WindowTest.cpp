// SPDX-License-Identifier: GPL-3.0-or-later
// The main window driven through its widgets: start sequence, patterns,
// selection text, mode switch, drive and directory changes, Quit.
#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "UiTestSupport.h"

using namespace vantor;
using namespace vantor::test;

class WindowTest : public QObject {
  Q_OBJECT

  TempDir dir;
  FakePrompt user;

 private slots:
  void initTestCase() {
    for (const char* name : {"b.xbm", "a.XBM", "run10.xbm", "run2.xbm", "c.cnf", "x.xli", "n.npd", "s.csv"})
      WriteAll(dir / name, "");
    std::filesystem::create_directory(dir.path() / "sub");
    WriteAll(dir / "sub/inner.xbm", "");
  }
  void init() { user = FakePrompt(); }

  void startSequence() {
    ShownWindow w(dir.path(), &user);
    const auto& ui = w.ui;
    QCOMPARE(w.window.windowTitle(), QString("Vantor 2006.06.05"));
    QVERIFY(ui.chkOverWrite->isChecked() && w.window.Settings().OverWriteCheck);
    QVERIFY(ui.optSourceFileType[0]->isChecked() && ui.optMode[0]->isChecked());
    QCOMPARE(ui.filFiles->path(), Q(dir.path()));
    QCOMPARE(ui.drvDrive->drive(), ui::DriveList::DriveOf(Q(dir.path())));
    // Letters without regard to case, numbers in natural order.
    QCOMPARE(Names(ui.filFiles), QStringList({"a.XBM", "b.xbm", "run2.xbm", "run10.xbm"}));
    QVERIFY(!ui.txtSelFile->isVisible() && !ui.chkXli->isChecked());
    QVERIFY(ui.cmdSet->isVisible() && !ui.cmdCombine->isVisible() && !ui.cmd3D->isVisible());
    QCOMPARE(ui.txt2Theta->text(), QString("0.0001"));
    Click(w.ui.chkOverWrite);
    QVERIFY(!w.window.Settings().OverWriteCheck);
    QVERIFY(user.messages.empty());
    // Without a folder: the program's own, with the samples inside.
    ui::frmVantor bare(&user);
    QCOMPARE(bare.ui.dirDirectory->path(), QCoreApplication::applicationDirPath());
    const auto found = bare.ui.dirDirectory->findItems("samples", Qt::MatchExactly | Qt::MatchRecursive);
    QCOMPARE(found.size(), 1);
    emit bare.ui.dirDirectory->itemActivated(found.first(), 0);
    QVERIFY(bare.ui.filFiles->count() > 0);
  }

  // Source buttons and the list-file box choose the file list's pattern.
  void patterns() {
    const std::tuple<QStringList, QString, bool> rows[] = {{{"src1"}, "*.cnf", false},
                                                           {{"src3", "xli"}, "*.xli", true},
                                                           {{"src3", "xli", "xli"}, "*.npd", false},
                                                           {{"xli", "src2"}, "*.csv", true}};
    for (const auto& [clicks, pattern, xliChecked] : rows) {
      ShownWindow w(dir.path(), &user);
      for (const QString& c : clicks)
        Click(c == "xli" ? static_cast<QWidget*>(w.ui.chkXli) : w.ui.optSourceFileType[c.back().digitValue()]);
      QCOMPARE(w.ui.filFiles->pattern(), pattern);
      QCOMPARE(w.ui.chkXli->isChecked(), xliChecked);
      QCOMPARE(w.ui.txtXliName->isEnabled(), xliChecked || !clicks.contains("xli"));
      QCOMPARE(Names(w.ui.filFiles).size(), 1);
    }
  }

  void selection_ByMouseAndKeyboard() {
    ShownWindow w(dir.path(), &user);
    auto* list = w.ui.filFiles;
    ClickEntry(list, "run10.xbm");
    ClickEntry(list, "a.XBM", Qt::ControlModifier);
    QCOMPARE(w.ui.txtSelFile->text(), QString("a.XBM;run10.xbm"));  // list order, not click order
    ClickEntry(list, "b.xbm");
    ClickEntry(list, "run10.xbm", Qt::ShiftModifier);
    QCOMPARE(w.ui.txtSelFile->text(), QString("b.xbm;run2.xbm;run10.xbm"));
    ClickEntry(list, "a.XBM");
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Down, Qt::ShiftModifier);
    QCOMPARE(w.ui.txtSelFile->text(), QString("b.xbm;run2.xbm"));
    QTest::keyClick(list, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(w.ui.txtSelFile->text(), QString("a.XBM;b.xbm;run2.xbm;run10.xbm"));
    Click(w.ui.optSourceFileType[1]);  // a new pattern starts empty
    QCOMPARE(w.ui.txtSelFile->text(), QString());
    Click(w.ui.chkXli);  // the list-file box copies the clicked name
    ClickEntry(list, "x.xli");
    QCOMPARE(w.ui.txtXliName->text(), QString("x.xli"));
  }

  void modes_ConvertTo3DToCombineAndBack() {
    ShownWindow w(dir.path(), &user);
    const auto& ui = w.ui;
    Click(ui.chkXli);
    Click(ui.optMode[2]);  // 3D Data: NPD files only, no list file
    QVERIFY(ui.fraSourceFileType->isHidden() && ui.Frame3->isHidden() && !ui.Frame7->isHidden());
    QCOMPARE(ui.filFiles->pattern(), QString("*.npd"));
    QVERIFY(!ui.chkXli->isChecked() && !ui.chkXli->isEnabled() && !ui.txtXliName->isEnabled());
    QVERIFY(ui.cmd3D->isVisible() && !ui.cmdSet->isVisible() && !ui.cmdCombine->isVisible());
    Click(ui.optMode[1]);  // Combine
    QVERIFY(ui.Frame7->isHidden() && ui.Frame8->isHidden() && ui.fraSourceFileType->isHidden());
    QVERIFY(ui.cmdCombine->isVisible() && !ui.cmd3D->isVisible());
    Click(ui.optMode[2]);  // back to 3D Data: the change frames stay hidden
    QVERIFY(ui.Frame7->isHidden() && ui.Frame8->isHidden());
    Click(ui.optMode[0]);
    for (QWidget* shown :
         std::initializer_list<QWidget*>{ui.fraSourceFileType, ui.Frame3, ui.Frame7, ui.Frame8, ui.cmdSet})
      QVERIFY(shown->isVisible());
    QVERIFY(ui.chkXli->isEnabled() && ui.optSourceFileType[3]->isChecked() && !ui.cmd3D->isVisible());
  }

  // A usable drive moves the lists; an unusable one says so and returns to
  // the start folder; a double click opens a folder or an ancestor.
  void drivesAndDirectories() {
    ShownWindow w(dir.path(), &user);
    w.ui.drvDrive->addItem("other", Q(dir.path() / "sub"));
    w.ui.drvDrive->setCurrentIndex(w.ui.drvDrive->count() - 1);
    QCOMPARE(Names(w.ui.filFiles), QStringList{"inner.xbm"});
    QVERIFY(user.messages.empty());
    w.ui.drvDrive->addItem("gone", Q(dir.path() / "no-such-drive"));
    w.ui.drvDrive->setCurrentIndex(w.ui.drvDrive->count() - 1);
    QCOMPARE(user.messages, std::vector<std::string>{"Can not use this drive!"});
    QCOMPARE(w.ui.drvDrive->drive(), ui::DriveList::DriveOf(Q(dir.path())));
    auto* tree = w.ui.dirDirectory;
    for (const QString& name : {QString("sub"), Q(dir.path().filename())}) {
      const QPoint at =
          tree->visualItemRect(tree->findItems(name, Qt::MatchExactly | Qt::MatchRecursive).first()).center();
      QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, at);
      QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, at);
      QCOMPARE(w.ui.filFiles->count(), name == "sub" ? 1 : 4);
    }
    QCOMPARE(tree->path(), Q(dir.path()));
  }

  void quit_EndsTheProgramAtOnceInEveryMode() {
    for (int mode = 0; mode < 3; ++mode) {
      ShownWindow w(dir.path(), &user);
      Click(w.ui.optMode[mode]);
      QTimer::singleShot(0, [&] { QTest::mouseClick(w.ui.cmdCancel, Qt::LeftButton); });
      QTimer::singleShot(5000, [] { QCoreApplication::exit(1); });  // a Quit that did nothing
      QCOMPARE(QCoreApplication::exec(), 0);
      QVERIFY(user.messages.empty() && user.questions.empty());
    }
  }
};

QTEST_MAIN(WindowTest)
#include "WindowTest.moc"
