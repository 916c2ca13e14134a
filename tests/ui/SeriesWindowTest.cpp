// SPDX-License-Identifier: GPL-3.0-or-later
// "Combine Start" and "3D Data" through the window's own save dialog and
// message boxes: where the dialog opens, what it proposes, Cancel.
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>

#include "UiTestSupport.h"
#include "formats/FormatTable.h"

using namespace vantor;
using namespace vantor::test;

namespace {

// Answers the save dialog with `name` (cancels it when empty), noting where
// it opened and what it proposed; then notes and closes the message box.
QString AnswerSaveDialog(const QString& name, QStringList& seen) {
  WhenModal([name, &seen](QWidget* dialog) {
    auto* files = qobject_cast<QFileDialog*>(dialog);
    QVERIFY(files != nullptr);
    seen << files->directory().absolutePath() << QFileInfo(files->selectedFiles().value(0)).fileName();
    if (name.isEmpty()) return files->reject();
    files->selectFile(name);
    static_cast<QDialog*>(files)->accept();  // as the Save button does
    WhenModal([&seen](QWidget* box) {
      seen << qobject_cast<QMessageBox*>(box)->text();
      qobject_cast<QMessageBox*>(box)->accept();
    });
  });
  return name;
}

}  // namespace

class SeriesWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void combineAndTable_SaveDialogInTheFolder_ProposedName_DoneOrCancel() {
    TempDir dir;
    WriteRecord(dir / "a.xbm", 1);
    FakePrompt quiet;
    ConvertContext context(quiet);
    SpectrumRecord r;
    r.Data.DataNumber = 2, r.Data.Count[0] = 12;
    QVERIFY(Output(OutputKind::Npd).write(dir / "n.npd", r.Data, r.Head, context));
    ShownWindow w(dir.path(), nullptr);
    QStringList seen;
    Click(w.ui.optMode[1]);
    ClickEntry(w.ui.filFiles, "a.xbm");
    AnswerSaveDialog("", seen);
    Click(w.ui.cmdCombine);  // a message box would block here until the test times out
    AnswerSaveDialog(Q(dir / "mine.xbm"), seen);
    Click(w.ui.cmdCombine);
    QCOMPARE(seen,
             (QStringList{Q(dir.path()), "CombineFileDefaultName", Q(dir.path()), "CombineFileDefaultName", "Done"}));
    QCOMPARE(dir.Entries(), (std::vector<std::string>{"a.xbm", "mine.xbm", "n.npd"}));
    Click(w.ui.optMode[2]);
    ClickEntry(w.ui.filFiles, "n.npd");
    seen.clear();
    AnswerSaveDialog(Q(dir / "table.txt"), seen);
    Click(w.ui.cmd3D);
    QCOMPARE(seen.mid(1), (QStringList{"3DFileDefaultName", "Done"}));
    QVERIFY(ReadAll(dir / "table.csv").starts_with("Channel, Energy,d Value,n\r\n 1 ,0.000,,12\r\n"));
  }
};

QTEST_MAIN(SeriesWindowTest)
#include "SeriesWindowTest.moc"
