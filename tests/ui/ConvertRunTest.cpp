// "Convert Start" driven through the window: every check and its message,
// the up-front question, a two-file run, the list-file run, the entry boxes'
// locale, and one run answered through the real dialogs.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>

#include "UiTestSupport.h"
#include "base/FileAccess.h"
#include "convert/FileConvert.h"

using namespace vantor;
using namespace vantor::test;

namespace {

constexpr int kTxt = 1, kCsv = 2, kXbm = 5;
using Strings = std::vector<std::string>;

void SetText(QLineEdit* box, const QString& text) {
  box->selectAll();
  QTest::keyClick(box, Qt::Key_Delete);
  QTest::keyClicks(box, text);
}

SpectrumRecord ReadBack(const std::string& path) {
  FakePrompt quiet;
  ConvertContext context(quiet);
  SpectrumRecord record;
  if (!ReadRecordFile(path, record)) qWarning("cannot read %s", path.c_str());
  return record;
}

}  // namespace

class ConvertRunTest : public QObject {
  Q_OBJECT

 private slots:
  // ---- the checks, in order, each ending the run with its message

  void checks_data() {
    QTest::addColumn<QString>("egc2");      // empty: EGC change off
    QTest::addColumn<QString>("twoTheta");  // empty: 2Theta change off
    QTest::addColumn<bool>("select");       // select run1.xbm
    QTest::addColumn<QString>("listName");  // null: list-file box off
    QTest::addColumn<bool>("output");       // check XBM
    QTest::addColumn<QString>("message");
    QTest::newRow("EGC box empty") << " "
                                   << "" << true << QString() << true << "EGC Paramter Error";
    QTest::newRow("EGC box a word") << "abc"
                                    << "" << true << QString() << true << "EGC Paramter Error";
    QTest::newRow("EGC before 2Theta") << "x"
                                       << "y" << true << QString() << true << "EGC Paramter Error";
    QTest::newRow("2Theta two points") << ""
                                       << "1.2.3" << true << QString() << true << "2Theta Value Error";
    QTest::newRow("nothing selected") << ""
                                      << "" << false << QString() << true << "Plz Enter File Name!";
    QTest::newRow("list file without name") << ""
                                            << "" << true << "" << true << "Plz Enter File Name!";
    QTest::newRow("no output") << ""
                               << "" << true << QString() << false << "Plz Check Create File Type!";
  }
  void checks() {
    QFETCH(QString, egc2);
    QFETCH(QString, twoTheta);
    QFETCH(bool, select);
    QFETCH(QString, listName);
    QFETCH(bool, output);
    QFETCH(QString, message);
    TempDir dir;
    WriteRecord(dir / "run1.xbm");
    WriteAll(dir / "run.xli", "t\n1\n");
    FakePrompt user;
    ShownWindow w(dir.path(), &user);
    if (!egc2.isEmpty()) Click(w.ui.chkChangeEGC), SetText(w.ui.txtEGC[2], egc2);
    if (!twoTheta.isEmpty()) Click(w.ui.chkChange2Theta), SetText(w.ui.txt2Theta, twoTheta);
    if (!listName.isNull()) Click(w.ui.chkXli);
    if (select) ClickEntry(w.ui.filFiles, listName.isNull() ? "run1.xbm" : "run.xli");
    if (!listName.isNull()) SetText(w.ui.txtXliName, listName);
    if (output) Click(w.ui.chkOutput[kXbm]);
    QTest::mouseClick(w.ui.cmdSet, Qt::LeftButton);
    QCOMPARE(user.messages, Strings{message.toStdString()});
    QVERIFY(user.questions.empty());
    QCOMPARE(dir.Entries(), (Strings{"run.xli", "run1.xbm"}));
  }

  void overwriteQuestion_AnsweredNo_WritesNothing() {
    TempDir dir;
    WriteRecord(dir / "run1.xbm");
    FakePrompt user;
    user.answers = {false};
    ShownWindow w(dir.path(), &user);
    Click(w.ui.chkOverWrite);
    ClickEntry(w.ui.filFiles, "run1.xbm");
    Click(w.ui.chkOutput[kXbm]);
    QTest::mouseClick(w.ui.cmdSet, Qt::LeftButton);
    QCOMPARE(user.questions, Strings{"All file will be over|writed. OK?"});
    QVERIFY(user.messages.empty());
    QCOMPARE(dir.Entries(), Strings{"run1.xbm"});
  }

  void tooManyNames_SaysSoAndConvertsNothing() {
    TempDir dir;
    FakePrompt user;
    ShownWindow w(dir.path(), &user);
    QStringList names;
    for (int i = 0; i < 10001; ++i) names << QString("r%1.xbm").arg(i);
    w.ui.txtSelFile->setText(names.join(';'));
    Click(w.ui.chkOutput[kXbm]);
    QTest::mouseClick(w.ui.cmdSet, Qt::LeftButton);
    QCOMPARE(user.messages, (Strings{"Too many Files! (Must be set less than 9999)", "Convert Error"}));
    QVERIFY(dir.Entries().empty());
  }

  // ---- runs that convert

  void twoFiles_EveryFileIntoEveryOutput_CountsUpAndFinishes() {
    TempDir dir;
    WriteRecord(dir / "run1.xbm", 10);
    WriteRecord(dir / "run2.xbm", 20);
    WriteRecord(dir / "run3.xbm", 30);
    FakePrompt user;
    ShownWindow w(dir.path(), &user);
    ClickEntry(w.ui.filFiles, "run1.xbm");
    ClickEntry(w.ui.filFiles, "run2.xbm", Qt::ControlModifier);
    for (const int output : {kTxt, kCsv, kXbm}) Click(w.ui.chkOutput[output]);
    QTest::mouseClick(w.ui.cmdSet, Qt::LeftButton);
    QCOMPARE(user.statuses, (Strings{"", "1/2", "2/2", "Finished"}));
    QCOMPARE(user.messages, Strings{"Convert Finished"});
    QCOMPARE(ReadAll(dir / "run1_.XBM"), ReadAll(dir / "run1.xbm"));
    QCOMPARE(ReadAll(dir / "run2_.XBM"), ReadAll(dir / "run2.xbm"));
    QVERIFY(!std::filesystem::exists(dir / "run3_.XBM"));
    // The text and CSV outputs, in the builds that have their writers.
    for (const OutputKind kind : {OutputKind::Txt, OutputKind::Csv}) {
      const bool built = Output(kind).write != nullptr;
      QCOMPARE(std::filesystem::exists(OutputPath(dir / "run1.xbm", kind)), built);
      QCOMPARE(std::filesystem::exists(OutputPath(dir / "run2.xbm", kind)), built);
    }
  }

  void entries_ReadInTheUsersLocale() {
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    TempDir dir;
    WriteRecord(dir / "run1.xbm");
    FakePrompt user;
    {
      ShownWindow w(dir.path(), &user);
      QCOMPARE(w.ui.txtEGC[0]->text(), QString("0,266730"));  // the default, as the locale writes it
      ClickEntry(w.ui.filFiles, "run1.xbm");
      Click(w.ui.chkOutput[kXbm]);
      Click(w.ui.chkChangeEGC);
      Click(w.ui.chkChange2Theta);
      Click(w.ui.opt2ThetaMode[1]);
      SetText(w.ui.txt2Theta, "0.5");
      QTest::mouseClick(w.ui.cmdSet, Qt::LeftButton);
      SetText(w.ui.txt2Theta, " 12,5 ");
      QTest::mouseClick(w.ui.cmdSet, Qt::LeftButton);
    }
    QLocale::setDefault(QLocale::c());
    QCOMPARE(user.messages, (Strings{"2Theta Value Error", "Convert Finished"}));
    const SpectrumRecord out = ReadBack(dir / "run1_.XBM");
    QCOMPARE(out.Head.Measure.TwoTheta, 12.5);
    QCOMPARE(out.Head.Measure.EGC[0], 0.26673);
    QCOMPARE(out.Head.Measure.EGC[1], 0.042192);
  }

  void csvSource_ParameterEntryCancelled_ConvertsNothing() {
    TempDir dir;
    WriteAll(dir / "a.csv", "1,2\n");
    FakePrompt user;
    ShownWindow w(dir.path(), &user);
    Click(w.ui.optSourceFileType[2]);
    ClickEntry(w.ui.filFiles, "a.csv");
    Click(w.ui.chkOutput[kXbm]);
    QTest::mouseClick(w.ui.cmdSet, Qt::LeftButton);
    QCOMPARE(user.csvParameterRequests, 1);
    QVERIFY(user.messages.empty());
    QCOMPARE(dir.Entries(), Strings{"a.csv"});
  }

  // ---- list files

  void listFile_data() {
    QTest::addColumn<QString>("content");
    QTest::addColumn<bool>("series");
    QTest::addColumn<QStringList>("messages");
    QTest::newRow("series") << "title\n12\n" << true << QStringList{};
    QTest::newRow("second item a word") << "title\ntwelve\n" << true << QStringList{"xli File Error"};
    QTest::newRow("one item") << "title" << true << QStringList{"xli File Error"};
    QTest::newRow("no series file") << "title,12" << false << QStringList{"No series file found"};
  }
  void listFile() {
    QFETCH(QString, content);
    QFETCH(bool, series);
    QFETCH(QStringList, messages);
    TempDir dir;
    WriteAll(dir / "run.xli", content.toStdString());
    if (series) {
      WriteRecord(dir / "run_0002.xbm", 2);
      WriteRecord(dir / "run_0001.xbm", 1);
      WriteRecord(dir / "run_00001.xbm", 3);  // five characters: not of the series
    }
    FakePrompt user;
    ShownWindow w(dir.path(), &user);
    Click(w.ui.chkXli);
    ClickEntry(w.ui.filFiles, "run.xli");
    Click(w.ui.chkOutput[kXbm]);
    QTest::mouseClick(w.ui.cmdSet, Qt::LeftButton);
    Strings expected;
    for (const QString& m : messages) expected.push_back(m.toStdString());
    QCOMPARE(user.messages, expected);
    const bool converts = messages.isEmpty();
    QCOMPARE(std::filesystem::exists(dir / "run_0001_.XBM"), converts);
    QCOMPARE(std::filesystem::exists(dir / "run_0002_.XBM"), converts);
    QVERIFY(!std::filesystem::exists(dir / "run_00001_.XBM"));
    if (converts) QCOMPARE(user.statuses, (Strings{"", "1/2", "2/2", "Finished"}));
  }

  // ---- the real dialogs and label

  void realDialogs_AskWhileBusyThenLabelShowsFinished() {
    TempDir dir;
    WriteRecord(dir / "run1.xbm");
    WriteRecord(dir / "run2.xbm");
    WriteAll(dir / "run1_.XBM", "old");
    ShownWindow w(dir.path(), nullptr);
    ClickEntry(w.ui.filFiles, "run1.xbm");
    ClickEntry(w.ui.filFiles, "run2.xbm", Qt::ControlModifier);
    Click(w.ui.chkOutput[kXbm]);
    struct Seen {
      QString text, title, label;
      QMessageBox::Icon icon = QMessageBox::NoIcon;
      bool noIsDefault = false, busy = false;
      QMessageBox::StandardButtons buttons;
    };
    std::vector<Seen> seen;
    std::function<void(QWidget*)> answer = [&](QWidget* dialog) {
      auto* box = qobject_cast<QMessageBox*>(dialog);
      QVERIFY(box != nullptr);
      seen.push_back({box->text(), box->windowTitle(), w.ui.lblDisp->text(), box->icon(),
                      box->defaultButton() == box->button(QMessageBox::No), QApplication::overrideCursor() != nullptr,
                      box->standardButtons()});
      const bool last = box->text() == "Convert Finished";
      box->button(box->button(QMessageBox::No) ? QMessageBox::No : QMessageBox::Ok)->click();
      if (!last) WhenModal(answer);
    };
    WhenModal(answer);
    QTest::mouseClick(w.ui.cmdSet, Qt::LeftButton);
    QCOMPARE(seen.size(), std::size_t(2));
    const QString replace = QString::fromStdString(ReplaceQuestion(dir / "run1_.XBM"));
    QCOMPARE(seen[0].text, replace);
    QCOMPARE(seen[0].icon, QMessageBox::Warning);
    QVERIFY(seen[0].noIsDefault && seen[0].busy);
    QCOMPARE(seen[0].buttons, QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(seen[1].buttons, QMessageBox::Ok);
    QCOMPARE(seen[1].text, QString("Convert Finished"));
    QCOMPARE(seen[1].label, QString("Finished"));
    QVERIFY(!seen[1].busy);  // the pointer is back before the closing message
    for (const Seen& s : seen) QCOMPARE(s.title, QString("Vantor"));
    QCOMPARE(ReadAll(dir / "run1_.XBM"), std::string("old"));  // declined: left alone
    QCOMPARE(ReadAll(dir / "run2_.XBM"), ReadAll(dir / "run2.xbm"));
  }
};

QTEST_MAIN(ConvertRunTest)
#include "ConvertRunTest.moc"
