// SPDX-License-Identifier: GPL-3.0-or-later
// The spectrum viewer opened from the file list: its mouse handling, axes,
// readout, region sums and picture export.
#include <sys/resource.h>

#include <QValueAxis>
#include <csignal>

#include "UiTestSupport.h"
#include "ui/SpectrumViewer.h"
#include "view/SpectrumChartView.h"

using namespace vantor;
using namespace vantor::test;

class ViewerTest : public QObject {
  Q_OBJECT

  TempDir dir;
  FakePrompt user;

  static ui::SpectrumViewer* OnlyViewer(ui::frmVantor& window) {
    const auto viewers = window.findChildren<ui::SpectrumViewer*>();
    return viewers.size() == 1 && QTest::qWaitForWindowExposed(viewers.first()) ? viewers.first() : nullptr;
  }

 private slots:
  void initTestCase() {
    WriteRecord(dir / "a.xbm", 1, {0.5, 0.1, 0});  // channels 1 to 4 at 0.6 to 0.9 keV
    WriteRecord(dir / "b.xbm", 100);               // no calibration
    WriteAll(dir / "bad.xbm", "too short for a record");
  }

  // A file of several spectra lists each element, overlaid; the header
  // table shows the file's values the record has no field for.
  void elements_ListedAndOverlaid_ExtraValuesShown() {
    TempDir own;  // the other cases count the files of `dir`
    WriteAll(own / "two.med",
             "VERSION: 3.1\nELEMENTS: 2\nCHANNELS: 3\nREAL_TIME: 10 10\nLIVE_TIME: 9 9\nCAL_OFFSET: 0.1 0.2\n"
             "CAL_SLOPE: 0.05 0.05\nCAL_QUAD: 0 0\nDATA:\n1 4\n2 5\n3 6\n");
    ConvertContext context(user);
    std::unique_ptr<ui::SpectrumViewer> viewer(ui::OpenViewer({Q(own / "two.med")}, context));
    QVERIFY(viewer != nullptr);
    QCOMPARE(viewer->spectrumBox->count(), 2);
    QCOMPARE(viewer->spectrumBox->itemText(1), QString("two.med:2"));
    QCOMPARE(viewer->chart->series().size(), 2);
    QVERIFY(!viewer->headerTable->findItems("VERSION", {}).isEmpty());
  }

  // A double-click opens the file; a Shift+drag marks a region, a
  // Shift+click clears it; the wheel zooms inside the plot only.
  void doubleClick_RegionByShiftDrag_WheelZoom() {
    ShownWindow w(dir.path(), &user);
    ClickEntry(w.ui.filFiles, "bad.xbm", {}, true);
    QVERIFY(w.window.findChildren<ui::SpectrumViewer*>().isEmpty());
    QCOMPARE(user.messages, std::vector<std::string>{"File Error"});
    ClickEntry(w.ui.filFiles, "a.xbm", {}, true);  // counts 1, 2, 3, 4
    auto* viewer = OnlyViewer(w.window);
    QVERIFY(viewer != nullptr);
    QCOMPARE(viewer->headerTable->item(viewer->headerTable->findItems("TwoTheta", {})[0]->row(), 1)->text(), "5");
    auto* chart = viewer->chart;
    auto* port = viewer->chartView->viewport();
    const auto at = [&](double x) {
      const QPointF p = chart->mapToPosition(QPointF(x, 1), chart->series().first());
      return viewer->chartView->mapFromScene(chart->mapToScene(p));
    };
    QTest::mousePress(port, Qt::LeftButton, Qt::ShiftModifier, at(1.8));
    QTest::mouseMove(port, at(3.2));
    QTest::mouseRelease(port, Qt::LeftButton, Qt::ShiftModifier, at(3.2));
    QVERIFY(viewer->regionLabel->text().endsWith("a.xbm: 5 counts in 2 channels, centroid 2.6"));
    QTest::mouseClick(port, Qt::LeftButton, Qt::ShiftModifier, at(2));
    QVERIFY(!chart->region() && viewer->regionLabel->text().startsWith("Region: none"));
    QTest::mouseMove(port, at(3));
    QVERIFY(viewer->readoutLabel->text().startsWith("a.xbm:  channel 3    energy 0.800 keV    d "));
    auto* axis = qobject_cast<QValueAxis*>(chart->axes(Qt::Horizontal).first());
    const double span = axis->max() - axis->min();
    QTest::mouseClick(port, Qt::LeftButton, {}, at(2));  // a click without a drag does not zoom
    for (const QPoint point : {QPoint(1, 1), at(2)}) {
      QWheelEvent wheel(point, port->mapToGlobal(point), {}, {0, 120}, {}, {}, Qt::NoScrollPhase, false);
      QApplication::sendEvent(port, &wheel);
      QCOMPARE(axis->max() - axis->min() < 0.9 * span, point != QPoint(1, 1));
    }
    viewer->resetButton->click();
    QCOMPARE(axis->max() - axis->min(), span);
  }

  // Enter opens every selected file in one viewer; the readout, the region
  // and the summary follow the axis and the spectrum chosen in the list.
  void enter_AxesReadoutRegionAndExport() {
    ShownWindow w(dir.path(), &user);
    ClickEntry(w.ui.filFiles, "a.xbm");
    ClickEntry(w.ui.filFiles, "b.xbm", Qt::ControlModifier);
    QTest::keyClick(w.ui.filFiles, Qt::Key_Return);
    auto* viewer = OnlyViewer(w.window);
    QVERIFY(viewer != nullptr);
    auto* chart = viewer->chart;
    QVERIFY(chart->series().size() == 2 && viewer->summaryLabel->text().endsWith("0.600 to 0.900 keV"));
    viewer->logBox->click();
    viewer->axisBox->setCurrentIndex(1);  // energy: b is not drawn
    QVERIFY(chart->axis() == ChartAxis::Energy && chart->logCounts() && chart->series().size() == 1);
    emit viewer->chartView->pointerMoved(0.69);
    QVERIFY(viewer->readoutLabel->text().startsWith("a.xbm:  channel 2    energy 0.700 keV    d 203."));
    viewer->spectrumBox->setCurrentIndex(1);  // b has no point here: the x value alone
    emit viewer->chartView->pointerMoved(0.69);
    QCOMPARE(viewer->readoutLabel->text(), QString("0.690 keV"));
    QVERIFY(viewer->summaryLabel->text().endsWith("no energy calibration"));
    chart->SetRegion({{0.85, 0.65}});
    QCOMPARE(viewer->regionLabel->text(),
             "Region 0.650 keV to 0.850 keV:  a.xbm: 5 counts in 2 channels, centroid 0.760 keV");
    viewer->axisBox->setCurrentIndex(2);  // a new axis clears the region
    QVERIFY(viewer->regionLabel->text().startsWith("Region: none"));
    chart->SetRegion({{0, 1e6}});
    QVERIFY(viewer->regionLabel->text().contains(QString::fromUtf8("1000000.0000 Å:  a.xbm: 10 counts in 4")));
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(viewer->chartView, &leave);
    QVERIFY(viewer->readoutLabel->text().startsWith("Point at the chart"));

    // Without an extension the picture takes the chosen type's; a picture
    // that cannot be written (no folder, a full disk) is told with its
    // name and leaves no file behind.
    for (const QString name : {"pic", "no/pic.svg", "full.svg"}) {
      QString proposed, told;
      WhenModal([&, name](QWidget* dialog) {
        auto* files = qobject_cast<QFileDialog*>(dialog);
        proposed = files->selectedFiles().value(0);
        files->selectFile(Q(dir / name.toStdString()));
        static_cast<QDialog*>(files)->accept();
        if (name != "pic")
          WhenModal([&told](QWidget* box) { told = qobject_cast<QMessageBox*>(box)->text(), box->close(); });
      });
      rlimit before{};
      getrlimit(RLIMIT_FSIZE, &before);
      const rlimit full{name == "full.svg" ? 1000 : before.rlim_cur, before.rlim_max};
      std::signal(SIGXFSZ, SIG_IGN);  // a write past the limit fails instead of ending the program
      setrlimit(RLIMIT_FSIZE, &full);
      viewer->exportButton->click();
      setrlimit(RLIMIT_FSIZE, &before);
      QCOMPARE(proposed, Q(dir / "b.png"));
      QCOMPARE(told.isEmpty(), name == "pic");
      QVERIFY(name == "pic" ? ReadAll(dir / "pic.png").starts_with("\x89PNG")
                            : told.startsWith("The picture could not be written.\n" + Q(dir / name.toStdString())));
    }
    QCOMPARE(dir.Entries(), (std::vector<std::string>{"a.xbm", "b.xbm", "bad.xbm", "pic.png"}));
  }
};

QTEST_MAIN(ViewerTest)
#include "ViewerTest.moc"
