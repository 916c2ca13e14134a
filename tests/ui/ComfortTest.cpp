// SPDX-License-Identifier: GPL-3.0-or-later
// The window and its dialogs at the platform's face: nothing cut or outside,
// the lists growing with the window, Enter and Esc in the dialogs, Esc
// during a run, and a message that names its file.
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>

#include "UiTestSupport.h"
#include "ui/FormScale.h"
#include "ui/QtUserPrompt.h"
#include "ui/frmMessage.h"
#include "ui/frmParameter.h"

using namespace vantor;
using namespace vantor::test;

namespace {

// The width a control leaves its caption: check boxes and option buttons
// take their indicator off, push buttons their margins, text boxes a frame.
int TextRoom(const QWidget* w) {
  const auto metric = [w](QStyle::PixelMetric m) { return w->style()->pixelMetric(m); };
  if (qobject_cast<const QCheckBox*>(w))
    return w->width() - metric(QStyle::PM_IndicatorWidth) - metric(QStyle::PM_CheckBoxLabelSpacing);
  if (qobject_cast<const QRadioButton*>(w))
    return w->width() - metric(QStyle::PM_ExclusiveIndicatorWidth) - metric(QStyle::PM_RadioButtonLabelSpacing);
  if (qobject_cast<const QPushButton*>(w)) return w->width() - 2 * metric(QStyle::PM_ButtonMargin);
  return qobject_cast<const QLineEdit*>(w) ? w->width() - 4 : w->width();
}

// Every shown control lies inside the form, every caption fits its control,
// and no control paints over a frame's title.
void CheckFits(QWidget* form) {
  for (QWidget* w : form->findChildren<QWidget*>()) {
    if (!w->isVisibleTo(form)) continue;
    const QString name = w->objectName();
    QVERIFY2(form->rect().contains(QRect(w->mapTo(form, QPoint(0, 0)), w->size())), qPrintable(name));
    const QFontMetrics metrics(w->font());
    QString caption = w->property("text").toString();
    if (const auto* frame = qobject_cast<const QGroupBox*>(w)) {
      caption = frame->title();
      const QRect title(ui::kTitleLeft, 0, ui::TitleRight(frame) - ui::kTitleLeft, metrics.height());
      for (const QWidget* inside : frame->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        const bool boxed = !qobject_cast<const QAbstractButton*>(inside) && !qobject_cast<const QLabel*>(inside);
        const int inked = boxed ? inside->height() : std::min(inside->height(), QFontMetrics(inside->font()).height());
        const QRect ink(inside->x(), inside->y() + (inside->height() - inked) / 2, inside->width(), inked);
        if (inside->isVisibleTo(form)) QVERIFY2(!ink.intersects(title), qPrintable(inside->objectName()));
      }
    }
    if (caption.isEmpty()) continue;
    QVERIFY2(metrics.horizontalAdvance(ui::Shown(caption)) <= TextRoom(w), qPrintable(name + ": " + caption));
    QVERIFY2(metrics.height() <= w->height(), qPrintable(name));
  }
}

}  // namespace

class ComfortTest : public QObject {
  Q_OBJECT

  TempDir dir;
  FakePrompt user;
  QFont platformFace;

 private slots:
  void initTestCase() {
    platformFace = QApplication::font();
    for (const char* name : {"run1.xbm", "run2.xbm", "run3.xbm", "ser_0001.xbm", "ser_0002.xbm"})
      WriteRecord(dir / name);
    WriteAll(dir / "ser.xli", "t\n1\n");
  }
  void cleanup() { QApplication::setFont(platformFace); }

  // ---- the platform's face, never below 9 pt

  void scaling_NothingCutOrOutside_data() {
    QTest::addColumn<double>("platform");
    QTest::addColumn<double>("shown");
    QTest::newRow("7 pt becomes 9 pt") << 7.0 << 9.0;
    QTest::newRow("14 pt") << 14.0 << 14.0;
  }
  void scaling_NothingCutOrOutside() {
    QFETCH(double, platform);
    QFETCH(double, shown);
    QFont face = platformFace;
    face.setPointSizeF(platform);
    QApplication::setFont(face);
    ShownWindow w(dir.path(), &user);
    QCOMPARE(w.window.font().pointSizeF(), shown);
    CheckFits(&w.window);
    for (const int mode : {1, 2}) {  // the start buttons of the other modes
      w.ui.optMode[mode]->click();
      CheckFits(&w.window);
    }
    ui::frmParameter parameters(user);
    parameters.show();
    QCOMPARE(parameters.font().pointSizeF(), shown);
    CheckFits(&parameters);
    ui::frmMessage question(&w.window);
    question.lblMes1->setText("All file will be over");
    question.lblMes2->setText("writed. OK?");
    question.cmdYes->setText("&Yes");
    question.show();
    CheckFits(&question);
    const QFontInfo serif(question.lblMes1->font());  // its own face inside the window
    QVERIFY2(QStringList({"Times New Roman", "Liberation Serif", "Tinos"}).contains(serif.family()),
             qPrintable(serif.family()));
    QCOMPARE(serif.pointSize(), 12);
  }

  // ---- resizing

  void resize_ListsGrowRestFollows() {
    ShownWindow w(dir.path(), &user);
    QCOMPARE(w.window.minimumSize(), w.window.size());
    const QRect files = w.ui.filFiles->geometry(), folders = w.ui.dirDirectory->geometry();
    const QRect egc = w.ui.Frame8->geometry(), quit = w.ui.cmdCancel->geometry();
    w.window.resize(w.window.size() + QSize(200, 150));
    QCOMPARE(w.ui.filFiles->size(), files.size() + QSize(100, 150));
    QCOMPARE(w.ui.dirDirectory->size(), folders.size() + QSize(100, 150));
    QCOMPARE(w.ui.Frame8->geometry(), egc.translated(0, 150).adjusted(0, 0, 200, 0));
    QCOMPARE(w.ui.cmdCancel->geometry(), quit.translated(200, 150));
    CheckFits(&w.window);
  }

  // ---- keys

  void keys_EnterAndEscInTheDialogs() {
    for (const bool enter : {true, false}) {
      ui::frmMessage question;
      question.show();
      QTest::keyClick(&question, enter ? Qt::Key_Return : Qt::Key_Escape);
      QCOMPARE(question.YesNo(), enter);
      QVERIFY(!question.isVisible());

      ui::frmParameter parameters(user);
      parameters.mblnCancel = true;
      parameters.show();
      for (auto* box : parameters.txtItem) box->setText("1");
      QTest::keyClick(parameters.txtItem[4], enter ? Qt::Key_Return : Qt::Key_Escape);
      QCOMPARE(parameters.mblnCancel, !enter);
      QVERIFY(!parameters.isVisible());
    }
  }

  // ---- a run

  // Esc pressed while the first file is converted: the run ends before the
  // second, and the list shows the new file with the selection kept.
  void run_EscStopsBetweenFilesAndListRefreshes_data() {
    QTest::addColumn<bool>("listFile");
    QTest::addColumn<QString>("written");
    QTest::newRow("selection") << false << "run1_.XBM";
    QTest::newRow("list file") << true << "ser_0001_.XBM";
  }
  void run_EscStopsBetweenFilesAndListRefreshes() {
    QFETCH(bool, listFile);
    QFETCH(QString, written);
    TempDir out;
    std::filesystem::copy(dir.path(), out.path());
    ui::frmVantor window(nullptr, Q(out.path()));  // the window's own prompt and dialogs
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto& ui = window.ui;
    ui.chkOutput[5]->setChecked(true);  // XBM
    if (listFile) {
      Click(ui.chkXli);
      ClickEntry(ui.filFiles, "ser.xli");
    } else {
      ui.filFiles->selectAll();
    }
    const QString selection = ui.txtSelFile->text();
    QStringList boxes;  // none expected: neither "Convert Finished" nor any other
    QTimer watch;
    watch.callOnTimeout([&boxes] {
      if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) boxes << box->text(), box->close();
    });
    watch.start(5);
    QCoreApplication::postEvent(ui.filFiles, new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
    ui.cmdSet->click();
    QCOMPARE(boxes, QStringList());
    QCOMPARE(ui.lblDisp->text(), QString("Stopped"));
    QStringList outputs;
    for (const std::string& name : out.Entries())
      if (name.find("_.") != std::string::npos) outputs << QString::fromStdString(name);
    QCOMPARE(outputs, QStringList{written});
    if (!listFile) QVERIFY(Names(ui.filFiles).contains(written));
    QCOMPARE(ui.txtSelFile->text(), selection);
  }

  // ---- messages about a file

  void fileMessage_NamesTheFileOnItsOwnLine() {
    QWidget window;
    QLabel status(&window);
    ui::QtUserPrompt prompt(&window, &status);
    QString text;
    WhenModal([&text](QWidget* box) {
      text = qobject_cast<QMessageBox*>(box)->text();
      box->close();
    });
    prompt.FileMessage(QDir::toNativeSeparators("/data/beam/run7.xbm").toStdString(), "File Error",
                       "line 3: Data length is not a number");
    QCOMPARE(text, QString("File Error\nrun7.xbm"));
  }
};

QTEST_MAIN(ComfortTest)
#include "ComfortTest.moc"
