// "Combine Start" and "3D Data" driven through the window: with a scripted
// user, and with the window's own save dialog and message boxes.
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>

#include "UiTestSupport.h"
#include "formats/FormatTable.h"

using namespace vantor;
using namespace vantor::test;

class SeriesWindowTest : public QObject {
  Q_OBJECT

  TempDir dir;

  // Selects the named entries in the given mode, as the user would.
  static void Select(ShownWindow& w, int mode, const QStringList& names) {
    Click(w.ui.optMode[mode]);
    for (const QString& name : names) ClickEntry(w.ui.filFiles, name, Qt::ControlModifier);
  }

  // Answers the save dialog with `name` (cancels it when empty) and notes
  // what it proposed; then notes the text of every message box and closes it.
  struct DialogScript {
    QString proposed, folder;
    QStringList messages;
    explicit DialogScript(const QString& name) {
      WhenModal([this, name](QWidget* dialog) {
        auto* files = qobject_cast<QFileDialog*>(dialog);
        QVERIFY(files != nullptr);
        folder = files->directory().absolutePath();
        proposed = QFileInfo(files->selectedFiles().value(0)).fileName();
        if (name.isEmpty()) {
          files->reject();
          return;
        }
        files->selectFile(name);
        static_cast<QDialog*>(files)->accept();  // as the Save button does
        WhenModal([this](QWidget* box) { Close(box); });
      });
    }
    void Close(QWidget* box) {
      auto* message = qobject_cast<QMessageBox*>(box);
      QVERIFY(message != nullptr);
      messages << message->text();
      message->accept();
    }
  };

 private slots:
  void initTestCase() {
    WriteRecord(dir / "a.xbm", 1);
    WriteRecord(dir / "b.xbm", 10);
  }

  void combine_SaveDialog_OpensOnFolderWithProposedName_ThenDone() {
    ShownWindow w(dir.path(), nullptr);
    Select(w, 1, {"a.xbm"});
    DialogScript script(Q(dir / "mine.xbm"));
    Click(w.ui.cmdCombine);
    QCOMPARE(script.folder, Q(dir.path()));
    QCOMPARE(script.proposed, QString("CombineFileDefaultName"));
    QCOMPARE(script.messages, QStringList{"Done"});
    QVERIFY(std::filesystem::exists(dir / "mine.xbm"));
    std::filesystem::remove(dir / "mine.xbm");
  }

  void combine_SaveDialogCancelled_NothingWrittenNoMessage() {
    ShownWindow w(dir.path(), nullptr);
    Select(w, 1, {"a.xbm", "b.xbm"});
    const auto before = dir.Entries();
    DialogScript script("");
    Click(w.ui.cmdCombine);  // a message box would block here until the test times out
    QVERIFY(script.messages.isEmpty() && dir.Entries() == before);
  }

  void table3D_SaveDialog_WritesCsvTableThenDone() {
    FakePrompt quiet;
    ConvertContext context(quiet);
    SpectrumRecord r;
    r.Data.DataNumber = 2;
    r.Data.Count[0] = 12;
    QVERIFY(Output(OutputKind::Npd).write(dir / "n.npd", r.Data, r.Head, context));

    ShownWindow w(dir.path(), nullptr);
    Select(w, 2, {"n.npd"});
    DialogScript script(Q(dir / "table.txt"));
    Click(w.ui.cmd3D);
    QCOMPARE(script.proposed, QString("3DFileDefaultName"));
    QCOMPARE(script.messages, QStringList{"Done"});
    QVERIFY(ReadAll(dir / "table.csv").starts_with("Channel, Energy,d Value,n\r\n 1 ,0.000,,12\r\n"));
  }
};

QTEST_MAIN(SeriesWindowTest)
#include "SeriesWindowTest.moc"
