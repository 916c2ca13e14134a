// SPDX-License-Identifier: GPL-3.0-or-later
// What only the window can get wrong about its runs: which control fills
// which part of the request (the run's own rules are the core tests'), the
// entry boxes in the user's locale, Esc between files.

#include "UiTestSupport.h"

using namespace vantor;
using namespace vantor::test;

class ConvertRunTest : public QObject {
  Q_OBJECT

  TempDir dir;
  const QStringList sources{"ser.xli", "run1.xbm", "run2.xbm", "ser_0001.xbm", "ser_0002.xbm", "n.npd", "r,3.xbm"};

  QStringList Written() const {
    QStringList written;
    for (const std::string& name : dir.Entries())
      if (!sources.contains(QString::fromStdString(name))) written << QString::fromStdString(name);
    return written;
  }

 private slots:
  void initTestCase() {
    for (const QString& name : sources) WriteRecord(dir / name.toStdString());
    WriteAll(dir / "ser.xli", "t\n1\n");
    WriteAll(dir / "n.npd", ReadAll(QCoreApplication::applicationDirPath().toStdString() + "/samples/profile.npd"));
  }
  void cleanup() {
    QLocale::setDefault(QLocale::c());
    for (const QString& name : Written()) std::filesystem::remove(dir.path() / name.toStdString());
  }

  // Each output box, found by its caption, writes its own file and no
  // other; Combine and 3D Data write where the save dialog says.
  void buttons_EachWritesItsFile() {
    FakePrompt user;
    ShownWindow w(dir.path(), &user);
    ClickEntry(w.ui.filFiles, "run1.xbm");
    const std::pair<QString, QString> rows[] = {{"NPD", "run1.NPD"}, {"RPT", "run1.RPT"}, {"CSV", "run1.CSV"},
                                                {"TXT", "run1.TXT"}, {"GSA", "run1.GSA"}, {"XBM", "run1_.XBM"}};
    for (const auto& [caption, file] : rows) {
      Click(Captioned<QCheckBox>(w.ui.Frame3, caption));
      Click(w.ui.cmdSet);
      QCOMPARE(Written(), QStringList{file});
      std::filesystem::remove(dir.path() / file.toStdString());
      Click(Captioned<QCheckBox>(w.ui.Frame3, caption));
    }
    user.saveName = dir / "sum.xbm";
    Click(w.ui.optMode[1]);
    ClickEntry(w.ui.filFiles, "run1.xbm");
    Click(w.ui.cmdCombine);
    user.saveName = dir / "table.csv";
    Click(w.ui.optMode[2]);
    ClickEntry(w.ui.filFiles, "n.npd");
    Click(w.ui.cmd3D);
    QCOMPARE(Written(), (QStringList{"sum.xbm", "table.csv"}));
  }

  // Names picked in the list travel as names, a "," in one included; text
  // typed into the selection box is split at "," and ";".
  void pickedNames_AreNotSplitAgain() {
    FakePrompt user;
    ShownWindow w(dir.path(), &user);
    Click(Captioned<QCheckBox>(w.ui.Frame3, "XBM"));
    ClickEntry(w.ui.filFiles, "r,3.xbm");
    ClickEntry(w.ui.filFiles, "run1.xbm", Qt::ControlModifier);
    Click(w.ui.cmdSet);
    QCOMPARE(Written(), (QStringList{"r,3_.XBM", "run1_.XBM"}));
    cleanup();
    SetText(w.ui.txtSelFile, "run1.xbm,run2.xbm");
    Click(w.ui.cmdSet);
    QCOMPARE(Written(), (QStringList{"run1_.XBM", "run2_.XBM"}));
  }

  // In the user's locale: the entry boxes show and read "0,5".
  void controls_FillTheRequest() {
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    FakePrompt user;
    ShownWindow w(dir.path(), &user);
    QCOMPARE(w.ui.txtEGC[0]->text(), QString("0,266730"));  // the default, as the locale writes it
    Click(w.ui.chkChangeEGC);
    SetText(w.ui.txtEGC[2], "abc");
    SetText(w.ui.txt2Theta, " 12,5 ");
    Click(Captioned<QRadioButton>(w.ui.Frame7, "Absolute"));
    ConvertRequest r = w.window.ReadConvertRequest();
    QVERIFY(r.changeEGC && !r.change2Theta && r.twoThetaMode == 1 && !r.useListFile);
    QVERIFY(r.egc[0] == 0.26673 && !r.egc[2] && r.twoTheta == 12.5);
    Click(w.ui.chkXli);
    Click(w.ui.chkChange2Theta);
    SetText(w.ui.txtXliName, "run.xli");
    r = w.window.ReadConvertRequest();
    QVERIFY(r.useListFile && r.change2Theta && r.listName == "run.xli");
  }

  // Esc pressed while the first file is converted: the run ends before the
  // second without a message; the list shows the new file, the selection
  // kept.
  void esc_StopsBetweenFilesAndListRefreshes() {
    for (const bool listFile : {false, true}) {
      ShownWindow w(dir.path(), nullptr);
      auto& ui = w.ui;
      Click(Captioned<QCheckBox>(ui.Frame3, "XBM"));
      if (listFile) Click(ui.chkXli);
      ClickEntry(ui.filFiles, listFile ? "ser.xli" : "run1.xbm");
      if (!listFile) ClickEntry(ui.filFiles, "run2.xbm", Qt::ControlModifier);
      const QString selection = ui.txtSelFile->text(), written = listFile ? "ser_0001_.XBM" : "run1_.XBM";
      QStringList boxes;
      QTimer watch;
      watch.callOnTimeout([&boxes] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
          boxes << box->text(), box->close();
      });
      watch.start(5);
      QCoreApplication::postEvent(ui.filFiles, new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
      ui.cmdSet->click();
      QCOMPARE(boxes, QStringList());
      QVERIFY(ui.lblDisp->text() == "Stopped" && !QApplication::overrideCursor());
      QCOMPARE(Written(), QStringList{written});
      QCOMPARE(Names(ui.filFiles).contains(written), !listFile);
      QCOMPARE(ui.txtSelFile->text(), selection);
      cleanup();
    }
  }
};

QTEST_MAIN(ConvertRunTest)
#include "ConvertRunTest.moc"
