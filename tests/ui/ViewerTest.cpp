// SPDX-License-Identifier: GPL-3.0-or-later
// The spectrum viewer opened from the main window's file list: by a
// double-click, by Enter on a selection, and not at all for a file that
// cannot be read.
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QValueAxis>
#include <QWheelEvent>

#include "UiTestSupport.h"
#include "ui/SpectrumViewer.h"
#include "view/SpectrumChartView.h"

using namespace vantor;
using namespace vantor::test;

class ViewerTest : public QObject {
  Q_OBJECT

  TempDir dir;
  FakePrompt user;

  // The viewer the window opened, checked to be the only one.
  static ui::SpectrumViewer* OnlyViewer(ui::frmVantor& window) {
    const auto viewers = window.findChildren<ui::SpectrumViewer*>();
    return viewers.size() == 1 && viewers.first()->isVisible() ? viewers.first() : nullptr;
  }

  // As the existing window tests do it: a click, then the double-click.
  static void DoubleClickEntry(QListWidget* files, const QString& name) {
    const QPoint at = files->visualItemRect(files->item(Row(files, name))).center();
    QTest::mouseClick(files->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(files->viewport(), Qt::LeftButton, {}, at);
  }

  static QString HeaderValue(const ui::SpectrumViewer& viewer, const QString& field) {
    const auto* table = viewer.headerTable;
    for (int row = 0; row < table->rowCount(); ++row)
      if (table->item(row, 0)->text() == field) return table->item(row, 1)->text();
    return {};
  }

 private slots:
  void initTestCase() {
    WriteRecord(dir / "a.xbm", 1);
    WriteRecord(dir / "b.xbm", 100);
    WriteAll(dir / "bad.xbm", "too short for a record");
  }
  void init() { user = FakePrompt(); }

  void doubleClick_OpensTheFileInAViewer() {
    ShownWindow w(dir.path(), &user);
    DoubleClickEntry(w.ui.filFiles, "b.xbm");
    auto* viewer = OnlyViewer(w.window);
    QVERIFY(viewer != nullptr);
    QCOMPARE(viewer->chart->spectra().size(), std::size_t{1});
    QCOMPARE(viewer->chart->spectra()[0].counts.front(), 100);
    QCOMPARE(viewer->chart->series().size(), 1);
    QCOMPARE(HeaderValue(*viewer, "TwoTheta"), QString("5"));
    // A record without a calibration offers the channel axis only.
    QCOMPARE(viewer->axisBox->count(), 1);
    QVERIFY(user.messages.empty());
  }

  void enter_OpensEverySelectedFileInOneViewer() {
    ShownWindow w(dir.path(), &user);
    auto* files = w.ui.filFiles;
    ClickEntry(files, "a.xbm");
    ClickEntry(files, "b.xbm", Qt::ControlModifier);
    QTest::keyClick(files, Qt::Key_Return);
    auto* viewer = OnlyViewer(w.window);
    QVERIFY(viewer != nullptr);
    QCOMPARE(viewer->chart->series().size(), 2);
    QCOMPARE(viewer->spectrumBox->count(), 2);
  }

  void chart_ShiftDragMarksARegionAndTheWheelZooms() {
    ShownWindow w(dir.path(), &user);
    DoubleClickEntry(w.ui.filFiles, "a.xbm");  // counts 1, 2, 3, 4 in channels 1 to 4
    auto* viewer = OnlyViewer(w.window);
    QVERIFY(viewer != nullptr);
    QVERIFY(QTest::qWaitForWindowExposed(viewer));
    auto* chart = viewer->chart;
    auto* port = viewer->chartView->viewport();
    const auto at = [&](double x) {
      const QPointF p = chart->mapToPosition(QPointF(x, 1), chart->series().first());
      return viewer->chartView->mapFromScene(chart->mapToScene(p));
    };
    QTest::mousePress(port, Qt::LeftButton, Qt::ShiftModifier, at(1.8));
    QTest::mouseMove(port, at(3.2));
    QTest::mouseRelease(port, Qt::LeftButton, Qt::ShiftModifier, at(3.2));
    QVERIFY(chart->region().has_value());
    QVERIFY(viewer->regionLabel->text().contains("5 counts in 2 channels"));

    auto* axis = qobject_cast<QValueAxis*>(chart->axes(Qt::Horizontal).first());
    const double span = axis->max() - axis->min();
    QWheelEvent wheel(at(2), port->mapToGlobal(at(2)), {}, QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(port, &wheel);
    QVERIFY(axis->max() - axis->min() < 0.9 * span);
    viewer->resetButton->click();
    QCOMPARE(axis->max() - axis->min(), span);
  }

  void unreadableFile_IsReportedAndOpensNoViewer() {
    ShownWindow w(dir.path(), &user);
    DoubleClickEntry(w.ui.filFiles, "bad.xbm");
    QVERIFY(w.window.findChildren<ui::SpectrumViewer*>().isEmpty());
    QCOMPARE(user.messages, std::vector<std::string>{"File Error"});
  }
};

QTEST_MAIN(ViewerTest)
#include "ViewerTest.moc"
