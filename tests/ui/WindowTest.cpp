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

  // ---- start sequence

  void startSequence_OpensFolderWithXbmPatternAndOverwriteCheck() {
    ShownWindow w(dir.path(), &user);
    const auto& ui = w.ui;
    QCOMPARE(w.window.windowTitle(), QString("Vantor 2006.06.05"));
    QVERIFY(ui.chkOverWrite->isChecked());
    QVERIFY(w.window.Settings().OverWriteCheck);
    QVERIFY(ui.optSourceFileType[0]->isChecked());
    QVERIFY(ui.optMode[0]->isChecked());
    QCOMPARE(ui.filFiles->pattern(), QString("*.xbm"));
    QCOMPARE(ui.dirDirectory->path(), Q(dir.path()));
    QCOMPARE(ui.filFiles->path(), Q(dir.path()));
    QCOMPARE(ui.drvDrive->drive(), ui::DriveList::DriveOf(Q(dir.path())));
    // Letters without regard to case, numbers in natural order.
    QCOMPARE(Names(ui.filFiles), QStringList({"a.XBM", "b.xbm", "run2.xbm", "run10.xbm"}));
    QVERIFY(!ui.txtSelFile->isVisible());
    QVERIFY(ui.cmdSet->isVisible() && !ui.cmdCombine->isVisible() && !ui.cmd3D->isVisible());
    QVERIFY(!ui.chkXli->isChecked() && ui.chkXli->isEnabled() && ui.txtXliName->isEnabled());
    QCOMPARE(ui.txt2Theta->text(), QString("0.0001"));
    QVERIFY(user.messages.empty());
  }

  void startSequence_WithoutFolder_OpensProgramFolderWithSamplesInside() {
    ui::frmVantor window(&user);
    QCOMPARE(window.ui.dirDirectory->path(), QCoreApplication::applicationDirPath());
    const auto found = window.ui.dirDirectory->findItems("samples", Qt::MatchExactly | Qt::MatchRecursive);
    QCOMPARE(found.size(), 1);
    window.ui.dirDirectory->setCurrentItem(found.first());
    emit window.ui.dirDirectory->itemActivated(found.first(), 0);
    QVERIFY(window.ui.filFiles->count() > 0);
  }

  // ---- patterns

  void patterns_data() {
    QTest::addColumn<QStringList>("clicks");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<bool>("xliChecked");
    QTest::newRow("xbm") << QStringList{"src0"} << "*.xbm" << false;
    QTest::newRow("cnf") << QStringList{"src1"} << "*.cnf" << false;
    QTest::newRow("csv") << QStringList{"src2"} << "*.csv" << false;
    QTest::newRow("npd") << QStringList{"src3"} << "*.npd" << false;
    QTest::newRow("npd, list file on") << QStringList{"src3", "xli"} << "*.xli" << true;
    QTest::newRow("npd, list file on, off") << QStringList{"src3", "xli", "xli"} << "*.npd" << false;
    QTest::newRow("list file on, then cnf") << QStringList{"xli", "src1"} << "*.cnf" << true;
  }
  void patterns() {
    QFETCH(QStringList, clicks);
    QFETCH(QString, pattern);
    QFETCH(bool, xliChecked);
    ShownWindow w(dir.path(), &user);
    for (const QString& c : clicks)
      Click(c == "xli" ? static_cast<QWidget*>(w.ui.chkXli) : w.ui.optSourceFileType[c.back().digitValue()]);
    QCOMPARE(w.ui.filFiles->pattern(), pattern);
    QCOMPARE(w.ui.chkXli->isChecked(), xliChecked);
    if (clicks.contains("xli")) QCOMPARE(w.ui.txtXliName->isEnabled(), xliChecked);
    QVERIFY(w.ui.filFiles->count() > 0);
    for (const QString& name : Names(w.ui.filFiles)) QVERIFY(name.endsWith(pattern.mid(1), Qt::CaseInsensitive));
  }

  // ---- selection text

  void selection_ByMouse() {
    ShownWindow w(dir.path(), &user);
    auto* list = w.ui.filFiles;
    ClickEntry(list, "run10.xbm");
    ClickEntry(list, "a.XBM", Qt::ControlModifier);
    QCOMPARE(w.ui.txtSelFile->text(), QString("a.XBM;run10.xbm"));  // list order, not click order
    ClickEntry(list, "b.xbm");
    QCOMPARE(w.ui.txtSelFile->text(), QString("b.xbm"));
    ClickEntry(list, "run10.xbm", Qt::ShiftModifier);
    QCOMPARE(w.ui.txtSelFile->text(), QString("b.xbm;run2.xbm;run10.xbm"));
    for (const char* name : {"b.xbm", "run2.xbm", "run10.xbm"}) ClickEntry(list, name, Qt::ControlModifier);
    QCOMPARE(w.ui.txtSelFile->text(), QString());
  }

  void selection_ByKeyboard() {
    ShownWindow w(dir.path(), &user);
    auto* list = w.ui.filFiles;
    ClickEntry(list, "a.XBM");
    QTest::keyClick(list, Qt::Key_Down);
    QCOMPARE(w.ui.txtSelFile->text(), QString("b.xbm"));
    QTest::keyClick(list, Qt::Key_Down, Qt::ShiftModifier);
    QCOMPARE(w.ui.txtSelFile->text(), QString("b.xbm;run2.xbm"));
    QTest::keyClick(list, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(w.ui.txtSelFile->text(), QString("a.XBM;b.xbm;run2.xbm;run10.xbm"));
  }

  void selection_NewFolderOrPattern_StartsEmpty() {
    ShownWindow w(dir.path(), &user);
    ClickEntry(w.ui.filFiles, "b.xbm");
    Click(w.ui.optSourceFileType[1]);
    QCOMPARE(w.ui.txtSelFile->text(), QString());
  }

  void selection_ListFileBoxChecked_CopiesClickedNameIntoListName() {
    ShownWindow w(dir.path(), &user);
    Click(w.ui.chkXli);
    ClickEntry(w.ui.filFiles, "x.xli");
    QCOMPARE(w.ui.txtXliName->text(), QString("x.xli"));
    QCOMPARE(w.ui.txtSelFile->text(), QString("x.xli"));
  }

  // ---- mode switch

  void modes_ConvertTo3DToCombineAndBack() {
    ShownWindow w(dir.path(), &user);
    const auto& ui = w.ui;
    Click(ui.chkXli);
    Click(ui.optMode[2]);  // 3D Data
    QVERIFY(ui.fraSourceFileType->isHidden() && ui.Frame3->isHidden());
    QVERIFY(ui.optSourceFileType[3]->isChecked());
    QCOMPARE(ui.filFiles->pattern(), QString("*.npd"));
    QVERIFY(!ui.chkXli->isChecked() && !ui.chkXli->isEnabled() && !ui.txtXliName->isEnabled());
    QVERIFY(!ui.Frame7->isHidden() && !ui.Frame8->isHidden());  // unchanged from Convert
    QVERIFY(ui.cmd3D->isVisible() && !ui.cmdSet->isVisible() && !ui.cmdCombine->isVisible());

    Click(ui.optMode[1]);                       // Combine
    QVERIFY(ui.fraSourceFileType->isHidden());  // unchanged from 3D Data
    QVERIFY(ui.optSourceFileType[3]->isChecked());
    QCOMPARE(ui.filFiles->pattern(), QString("*.npd"));
    QVERIFY(ui.Frame7->isHidden() && ui.Frame8->isHidden() && ui.Frame3->isHidden());
    QVERIFY(ui.cmdCombine->isVisible() && !ui.cmdSet->isVisible() && !ui.cmd3D->isVisible());

    Click(ui.optMode[2]);  // back to 3D Data: the change frames stay hidden
    QVERIFY(ui.Frame7->isHidden() && ui.Frame8->isHidden());

    Click(ui.optMode[0]);  // Convert shows everything again
    for (QWidget* shown :
         {static_cast<QWidget*>(ui.fraSourceFileType), static_cast<QWidget*>(ui.Frame3),
          static_cast<QWidget*>(ui.Frame7), static_cast<QWidget*>(ui.Frame8), static_cast<QWidget*>(ui.cmdSet)})
      QVERIFY(shown->isVisible());
    QVERIFY(!ui.cmdCombine->isVisible() && !ui.cmd3D->isVisible());
    QVERIFY(ui.chkXli->isEnabled() && !ui.chkXli->isChecked());
    QVERIFY(ui.optSourceFileType[3]->isChecked());
  }

  // ---- overwrite policy, drives, directories

  void overWriteCheck_FollowsTheBox() {
    ShownWindow w(dir.path(), &user);
    Click(w.ui.chkOverWrite);
    QVERIFY(!w.window.Settings().OverWriteCheck);
    Click(w.ui.chkOverWrite);
    QVERIFY(w.window.Settings().OverWriteCheck);
  }

  void drive_UsableOne_MovesDirectoryList() {
    ShownWindow w(dir.path(), &user);
    const QString other = Q(dir.path() / "sub");
    w.ui.drvDrive->addItem("other", other);
    w.ui.drvDrive->setCurrentIndex(w.ui.drvDrive->count() - 1);
    QCOMPARE(w.ui.dirDirectory->path(), other);
    QCOMPARE(Names(w.ui.filFiles), QStringList{"inner.xbm"});
    QVERIFY(user.messages.empty());
  }

  void drive_Unusable_SaysSoAndReturnsToStartFolder() {
    ShownWindow w(dir.path(), &user);
    w.ui.dirDirectory->setPath(Q(dir.path() / "sub"));
    w.ui.drvDrive->addItem("gone", Q(dir.path() / "no-such-drive"));
    w.ui.drvDrive->setCurrentIndex(w.ui.drvDrive->count() - 1);
    QCOMPARE(user.messages, std::vector<std::string>{"Can not use this drive!"});
    QCOMPARE(w.ui.dirDirectory->path(), Q(dir.path()));
    QCOMPARE(w.ui.drvDrive->drive(), ui::DriveList::DriveOf(Q(dir.path())));
  }

  void directory_DoubleClick_OpensSubfolderAndAncestor() {
    ShownWindow w(dir.path(), &user);
    auto* tree = w.ui.dirDirectory;
    auto doubleClick = [tree](const QString& name) {
      auto* item = tree->findItems(name, Qt::MatchExactly | Qt::MatchRecursive).first();
      const QPoint at = tree->visualItemRect(item).center();
      QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, at);
      QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, at);
    };
    doubleClick("sub");
    QCOMPARE(tree->path(), Q(dir.path() / "sub"));
    QCOMPARE(Names(w.ui.filFiles), QStringList{"inner.xbm"});
    doubleClick(Q(dir.path().filename()));
    QCOMPARE(tree->path(), Q(dir.path()));
    QCOMPARE(w.ui.filFiles->count(), 4);
  }

  // ---- Quit

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
