// SPDX-License-Identifier: GPL-3.0-or-later
// The main window and its dialogs driven through their widgets: start,
// selection, patterns, modes, folders, Quit, face; the prompt's dialogs.
#include "UiTestSupport.h"
#include "ui/EntryText.h"
#include "ui/FormScale.h"
#include "ui/QtUserPrompt.h"
#include "ui/frmMessage.h"
#include "ui/frmParameter.h"

using namespace vantor;
using namespace vantor::test;
using vantor::ui::frmParameter;

namespace {

// Every shown control lies inside the form and its caption fits the room
// its indicator, margins or frame leave.
void CheckFits(QWidget* form) {
  for (QWidget* w : form->findChildren<QWidget*>()) {
    if (!w->isVisibleTo(form)) continue;
    QVERIFY2(form->rect().contains(QRect(w->mapTo(form, QPoint(0, 0)), w->size())), qPrintable(w->objectName()));
    const auto* frame = qobject_cast<const QGroupBox*>(w);
    const QString caption = ui::Shown(frame ? frame->title() : w->property("text").toString());
    const auto metric = [w](QStyle::PixelMetric m) { return w->style()->pixelMetric(m); };
    int room = frame ? w->width() - ui::kTitleLeft : w->width();
    if (qobject_cast<const QCheckBox*>(w))
      room -= metric(QStyle::PM_IndicatorWidth) + metric(QStyle::PM_CheckBoxLabelSpacing);
    if (qobject_cast<const QRadioButton*>(w))
      room -= metric(QStyle::PM_ExclusiveIndicatorWidth) + metric(QStyle::PM_RadioButtonLabelSpacing);
    if (qobject_cast<const QPushButton*>(w)) room -= 2 * metric(QStyle::PM_ButtonMargin);
    if (qobject_cast<const QLineEdit*>(w)) room -= 4;
    const QFontMetrics metrics(w->font());
    QVERIFY2(caption.isEmpty() || (metrics.horizontalAdvance(caption) <= room && metrics.height() <= w->height()),
             qPrintable(w->objectName() + ": " + caption));
  }
}

void Fill(frmParameter& dialog, const QStringList& texts) {
  for (int i = 0; i < 5; ++i) SetText(dialog.txtItem[i], texts[i]);
}

}  // namespace

class WindowTest : public QObject {
  Q_OBJECT

  TempDir dir;
  FakePrompt user;
  QFont platformFace;
  QWidget owner;
  QLabel status{&owner};
  ui::QtUserPrompt prompt{&owner, &status};

 private slots:
  void initTestCase() {
    platformFace = QApplication::font();
    for (const char* name : {"b.xbm", "a.XBM", "run10.xbm", "run2.xbm", "c.cnf", "x.xli", "n.npd", "s.csv"})
      WriteAll(dir / name, "");
    std::filesystem::create_directory(dir.path() / "sub");
    WriteAll(dir / "sub/inner.xbm", "");
  }
  void init() { user = FakePrompt(); }
  void cleanup() { QApplication::setFont(platformFace); }

  void startSequence_Selection() {
    ShownWindow w(dir.path(), &user);
    QVERIFY(w.ui.chkOverWrite->isChecked() && w.window.Settings().OverWriteCheck);
    // Letters without regard to case, numbers in natural order.
    QCOMPARE(Names(w.ui.filFiles), QStringList({"a.XBM", "b.xbm", "run2.xbm", "run10.xbm"}));
    Click(w.ui.chkOverWrite);
    QVERIFY(!w.window.Settings().OverWriteCheck && user.messages.empty());
    // The selection in list order, not click order; a new pattern starts it
    // empty; with the list-file box the clicked name is copied.
    auto* list = w.ui.filFiles;
    ClickEntry(list, "run10.xbm");
    ClickEntry(list, "a.XBM", Qt::ControlModifier);
    QCOMPARE(w.ui.txtSelFile->text(), QString("a.XBM;run10.xbm"));
    ClickEntry(list, "b.xbm");
    ClickEntry(list, "run10.xbm", Qt::ShiftModifier);
    QCOMPARE(w.ui.txtSelFile->text(), QString("b.xbm;run2.xbm;run10.xbm"));
    Click(w.ui.optSourceFileType[1]);
    QCOMPARE(w.ui.txtSelFile->text(), QString());
    Click(w.ui.chkXli);
    ClickEntry(list, "x.xli");
    QCOMPARE(w.ui.txtXliName->text(), QString("x.xli"));
    // Without a folder: the program's own, with the samples inside.
    ui::frmVantor bare(&user);
    QCOMPARE(bare.ui.dirDirectory->path(), QCoreApplication::applicationDirPath());
    const auto found = bare.ui.dirDirectory->findItems("samples", Qt::MatchExactly | Qt::MatchRecursive);
    QCOMPARE(found.size(), 1);
    emit bare.ui.dirDirectory->itemActivated(found.first(), 0);
    QVERIFY(bare.ui.filFiles->count() > 0);
  }

  // Source buttons, found by caption, and the list-file box choose the
  // file list's pattern and the request's source.
  void patterns() {
    const std::tuple<QStringList, QString, bool, SourceKind> rows[] = {
        {{"cnf"}, "*.cnf", false, SourceKind::Cnf},
        {{"npd", "xli"}, "*.xli", true, SourceKind::Npd},
        {{"npd", "xli", "xli"}, "*.npd", false, SourceKind::Npd},
        {{"xli", "csv"}, "*.csv", true, SourceKind::Csv}};
    for (const auto& [clicks, pattern, xliChecked, source] : rows) {
      ShownWindow w(dir.path(), &user);
      for (const QString& c : clicks)
        Click(c == "xli" ? w.ui.chkXli : Captioned<QAbstractButton>(w.ui.fraSourceFileType, c));
      QCOMPARE(w.ui.filFiles->pattern(), pattern);
      QCOMPARE(w.ui.chkXli->isChecked(), xliChecked);
      QCOMPARE(w.ui.txtXliName->isEnabled(), xliChecked || !clicks.contains("xli"));
      QCOMPARE(Names(w.ui.filFiles).size(), 1);
      QCOMPARE(w.window.ReadConvertRequest().source, source);
    }
  }

  void modes_ConvertTo3DToCombineAndBack() {
    ShownWindow w(dir.path(), &user);
    const auto& ui = w.ui;
    QVERIFY(ui.cmdSet->isVisible() && !ui.cmdCombine->isVisible() && !ui.cmd3D->isVisible());
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
    QVERIFY(ui.fraSourceFileType->isVisible() && ui.Frame3->isVisible() && ui.Frame7->isVisible() &&
            ui.Frame8->isVisible() && ui.cmdSet->isVisible() && !ui.cmd3D->isVisible() && ui.chkXli->isEnabled());
  }

  // A usable drive moves the lists; an unusable one says so and returns to
  // the start folder; a double click opens a folder or an ancestor.
  void drivesAndDirectories() {
    ShownWindow w(dir.path(), &user);
    for (const std::string drive : {"sub", "no-such-drive"}) {
      w.ui.drvDrive->addItem("other", Q(dir.path() / drive));
      w.ui.drvDrive->setCurrentIndex(w.ui.drvDrive->count() - 1);
      if (drive == "sub") QCOMPARE(Names(w.ui.filFiles), QStringList{"inner.xbm"});
    }
    QCOMPARE(user.messages, std::vector<std::string>{"Can not use this drive!"});
    QCOMPARE(w.ui.drvDrive->drive(), ui::DriveList::DriveOf(Q(dir.path())));
    auto* tree = w.ui.dirDirectory;
    for (const QString& name : {QString("sub"), Q(dir.path().filename())}) {
      const QPoint at =
          tree->visualItemRect(tree->findItems(name, Qt::MatchExactly | Qt::MatchRecursive).first()).center();
      QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, at);
      QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, at);
      QCOMPARE(Names(w.ui.filFiles).size(), name == "sub" ? 1 : 4);
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
    }
    QVERIFY(user.messages.empty() && user.questions.empty());
  }

  // The platform's face, never below 9 pt; at 14 pt nothing cut or outside
  // in any mode; a larger window grows the lists, the rest follows.
  void face_AnySizeNothingCut() {
    QApplication::setFont(QFont(platformFace.family(), 7));
    QCOMPARE(ui::FormFont().pointSizeF(), 9.0);
    QApplication::setFont(QFont(platformFace.family(), 14));
    ShownWindow w(dir.path(), &user);
    for (const int mode : {1, 2, 0}) {  // each mode shows its own start button
      w.ui.optMode[mode]->click();
      CheckFits(&w.window);
    }
    QCOMPARE(w.window.minimumSize(), w.window.size());
    const QRect files = w.ui.filFiles->geometry(), folders = w.ui.dirDirectory->geometry();
    const QRect egc = w.ui.Frame8->geometry(), quit = w.ui.cmdCancel->geometry();
    w.window.resize(w.window.size() + QSize(200, 150));
    QCOMPARE(w.ui.filFiles->size(), files.size() + QSize(100, 150));
    QCOMPARE(w.ui.dirDirectory->size(), folders.size() + QSize(100, 150));
    QCOMPARE(w.ui.Frame8->geometry(), egc.translated(0, 150).adjusted(0, 0, 200, 0));
    QCOMPARE(w.ui.cmdCancel->geometry(), quit.translated(200, 150));
  }

  // Start stores the five values, the temperature from kelvin to Celsius;
  // a value that is no number says so, keeps the dialog open and stores
  // nothing. The window's prompt keeps one dialog, which shows the last
  // texts again; Enter in a box is Start, Esc is Cancel.
  void parameters_NotANumberStaysOpen_EnterAndEsc() {
    frmParameter dialog(user);
    for (int item = 0; item < 10; ++item) {
      dialog.open();
      QStringList texts{"1", "2", "3", "4", "5"};
      texts[item % 5] = item < 5 ? "" : "1.5x";
      Fill(dialog, texts);
      QTest::mouseClick(dialog.cmdCommand[0], Qt::LeftButton);
      QVERIFY(dialog.isVisible() && dialog.mblnCancel);
      QTest::mouseClick(dialog.cmdCommand[1], Qt::LeftButton);  // Cancel after the error
      QVERIFY(dialog.mblnCancel && !dialog.isVisible() && dialog.Entered().TwoTheta == 0);
    }
    QCOMPARE(user.messages, std::vector<std::string>(10, "Input Value Error"));
    QStringList shown;
    for (const auto key : {Qt::Key_Return, Qt::Key_Escape}) {
      WhenModal([&shown, key](QWidget* dialog) {
        auto& parameters = *qobject_cast<frmParameter*>(dialog);
        for (auto* box : parameters.txtItem) shown << box->text();
        if (key == Qt::Key_Return) Fill(parameters, {"10", "0.1", "0.03", "0", " 298.15 "});
        QTest::keyClick(parameters.txtItem[4], key);
      });
      const auto entered = prompt.AskCsvParameters();
      QCOMPARE(entered.has_value(), key == Qt::Key_Return);
      if (entered) QVERIFY(entered->TwoTheta == 10 && entered->EGC[1] == 0.03 && entered->Temperature == 25);
    }
    QCOMPARE(shown.mid(5), (QStringList{"10", "0.1", "0.03", "0", " 298.15 "}));
  }

  // Enter answers Yes, Esc and closing No; every question starts afresh.
  void twoLines_ByButtonKeyOrClose() {
    for (const QString answer : {"cmdNo", "cmdYes", "close", "Return", "Escape"}) {
      QString shown;
      WhenModal([&shown, answer](QWidget* dialog) {
        auto& q = *qobject_cast<ui::frmMessage*>(dialog);
        shown =
            QStringList{q.windowTitle(), q.lblMes1->text(), q.lblMes2->text(), q.cmdYes->text(), q.cmdNo->text()}.join(
                "|");
        if (answer == "close")
          q.close();
        else if (auto* button = q.findChild<QPushButton*>(answer))
          QTest::mouseClick(button, Qt::LeftButton);
        else
          QTest::keyClick(&q, answer == "Return" ? Qt::Key_Return : Qt::Key_Escape);
      });
      QCOMPARE(prompt.AskTwoLines("All file will be over", "writed. OK?"), answer == "cmdYes" || answer == "Return");
      QCOMPARE(shown, QString("Vantor|All file will be over|writed. OK?|&Yes|&No"));
    }
  }

  // The save dialog opens in the folder with the proposed name and asks no
  // question of its own (the writers do); Cancel gives no name. A Yes/No
  // question warns, with No the default. A message about a file names it
  // on a line of its own.
  void promptDialogs_SaveYesNoFileMessage() {
    for (const bool save : {false, true}) {
      QString opened;
      WhenModal([&opened, save, this](QWidget* dialog) {
        auto* files = qobject_cast<QFileDialog*>(dialog);
        opened = files->selectedFiles().value(0);
        if (!save) return files->reject();
        files->selectFile(Q(dir / "b.xbm"));
        static_cast<QDialog*>(files)->accept();
      });
      const auto chosen = prompt.AskSaveName(dir.path().string(), "CombineFileDefaultName");
      QCOMPARE(opened, Q(dir / "CombineFileDefaultName"));
      QCOMPARE(chosen, save ? std::optional<std::string>(dir / "b.xbm") : std::nullopt);
    }
    QString text;
    WhenModal([&text](QWidget* dialog) {
      auto* box = qobject_cast<QMessageBox*>(dialog);
      text =
          QStringList{box->windowTitle(), box->text(), QString::number(box->icon()), box->defaultButton()->text()}.join(
              "|");
      QTest::keyClick(box, Qt::Key_Return);
    });
    QVERIFY(!prompt.AskYesNo("Replace?"));
    QCOMPARE(text, "Vantor|Replace?|" + QString::number(QMessageBox::Warning) + "|&No");
    WhenModal([&text](QWidget* box) { text = qobject_cast<QMessageBox*>(box)->text(), box->close(); });
    prompt.FileMessage(QDir::toNativeSeparators("/data/beam/run7.xbm").toStdString(), "File Error", "line 3");
    QCOMPARE(text, QString("File Error\nrun7.xbm\nline 3"));
    WhenModal([&text](QWidget* box) { text = qobject_cast<QMessageBox*>(box)->text(), box->close(); });
    prompt.Message("Done");
    QCOMPARE(text, QString("Done"));
  }

  void entryNumber() {
    const std::tuple<const char*, const char*, std::optional<double>> rows[] = {
        {"C", "  -1.5e3 ", -1500}, {"C", "+.5", 0.5},    {"C", "   ", {}},        {"C", "1,000", {}},
        {"C", "1.2.3", {}},        {"C", "nan", {}},     {"C", "1e999", {}},      {"C", "0x10", {}},
        {"de_DE", "0,5", 0.5},     {"de_DE", "0.5", {}}, {"de_DE", "1.000,5", {}}};
    for (const auto& [locale, text, value] : rows) QCOMPARE(ui::EntryNumber(text, QLocale(locale)), value);
  }
};

QTEST_MAIN(WindowTest)
#include "WindowTest.moc"
