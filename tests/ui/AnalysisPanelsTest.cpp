// SPDX-License-Identifier: GPL-3.0-or-later
// The viewer's analysis controls: what they pass to the analysis and where
// its results land (table, chart marks, zoom, clipboard), and the window's
// command line.
#include <QClipboard>
#include <QLineEdit>
#include <QValueAxis>
#include <cmath>

#include "UiTestSupport.h"
#include "analysis/PressureScale.h"
#include "bench/PressureSpectra.h"
#include "ui/PeaksPanel.h"
#include "ui/PressurePanel.h"
#include "ui/Screenshot.h"
#include "ui/SpectrumViewer.h"
#include "ui/WindowArguments.h"
#include "ui/WindowStart.h"
#include "view/SpectrumChart.h"

using namespace vantor;
using namespace vantor::test;

namespace {

// 1024 channels at 0.1 keV each on a flat background of 50: a strong peak
// at channel 200 and a weak one at channel 700 (about SNR 8 at its centre).
void WriteTwoPeaks(const std::string& path) {
  SpectrumRecord record;
  record.Data.DataNumber = 1024;
  for (int i = 0; i < 1024; ++i) {
    const double x = i + 1;
    const double counts =
        50 + 5000 * std::exp(-0.5 * std::pow((x - 200) / 3, 2)) + 60 * std::exp(-0.5 * std::pow((x - 700) / 3, 2));
    record.Data.Count[static_cast<std::size_t>(i)] = static_cast<std::int32_t>(std::lround(counts));
  }
  record.Head.Measure.EGC = {0, 0.1, 0};
  record.Head.Measure.TwoTheta = 6;
  WriteAll(path, RecordFileBytes(record.Data, record.Head));
}

// Two elements of one file: Au at 5 and at 20 GPa, 300 K.
std::vector<ChartSpectrum> GoldAtTwoPressures() {
  std::vector<ChartSpectrum> spectra;
  for (const double gpa : {5.0, 20.0}) {
    bench::StandardScene scene;
    scene.pressureGPa = gpa;
    ChartSpectrum s = ChartSpectrumOf("gold.med", "med", bench::GenerateStandardSpectrum(scene).record);
    s.element = spectra.size() + 1;
    s.name += ":" + std::to_string(s.element);
    spectra.push_back(std::move(s));
  }
  return spectra;
}

double LeadingNumber(const QTableWidget* table, int row, int column) {
  return table->item(row, column)->text().section(' ', 0, 0).toDouble();
}

}  // namespace

class AnalysisPanelsTest : public QObject {
  Q_OBJECT

  TempDir dir;
  FakePrompt user;

  std::unique_ptr<ui::SpectrumViewer> Open(const QStringList& files) {
    ConvertContext context(user);
    return std::unique_ptr<ui::SpectrumViewer>(ui::OpenViewer(files, context));
  }

 private slots:
  void initTestCase() { WriteTwoPeaks(dir / "two.xbm"); }

  // The spin box's ratio reaches the search: a high one leaves out the weak
  // peak. Each peak found is a row and a mark; a zoom limits the search.
  void minSnr_RowsMarksAndZoomedRange() {
    auto viewer = Open({Q(dir / "two.xbm")});
    QVERIFY(viewer != nullptr);
    auto* panel = viewer->peaksPanel;
    panel->minSnrBox->setValue(3);
    Click(panel->findButton);
    QCOMPARE(panel->table->rowCount(), 2);
    QCOMPARE(viewer->chart->peakMarks().size(), 2u);
    QVERIFY(std::abs(panel->peaks()[1].channel.value - 700) < 1);
    panel->minSnrBox->setValue(40);
    Click(panel->findButton);
    QCOMPARE(panel->table->rowCount(), 1);
    panel->minSnrBox->setValue(1000);  // no peak that strong: said, nothing to export
    Click(panel->findButton);
    QVERIFY(panel->table->rowCount() == 0 && !panel->exportButton->isEnabled());
    QVERIFY2(panel->statusLabel->text().contains("\ntwo.xbm: no peak above the threshold (signal-to-noise ratio 1000)"),
             qPrintable(panel->statusLabel->text()));
    panel->minSnrBox->setValue(3);
    viewer->chart->ShowView({600, 800, 0, 200});  // channels, around the weak peak only
    Click(panel->findButton);
    QCOMPARE(panel->table->rowCount(), 1);
    QVERIFY(std::abs(panel->peaks()[0].channel.value - 700) < 1);
  }

  // A row chosen zooms to its peak; Ctrl+C copies the chosen rows as the
  // exported table's lines.
  void rowSelection_ZoomsAndCopies() {
    auto viewer = Open({Q(dir / "two.xbm")});
    auto* panel = viewer->peaksPanel;
    panel->minSnrBox->setValue(3);
    Click(panel->findButton);
    panel->table->selectRow(0);
    const ChartView view = viewer->chart->View();
    QVERIFY(view.x0 < 200 && view.x1 > 200 && view.x1 - view.x0 < 60);
    panel->table->setFocus();
    QTest::keyClick(panel->table, Qt::Key_C, Qt::ControlModifier);
    const QStringList lines = QApplication::clipboard()->text().split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 2);  // header and the one row
    QVERIFY(lines[0].startsWith("spectrum\tchannel"));
    const QStringList cells = lines[1].split('\t');  // spectrum, channel, its sigma, ...
    QCOMPARE(cells[0], QString("two.xbm"));
    QVERIFY(std::abs(cells[1].toDouble() - 200) < 3 * cells[2].toDouble());
    // "Export table..." writes every row; a table that cannot be written
    // is told with its name and the reason.
    AnswerFileDialog(Q(dir / "peaks.csv"));
    Click(panel->exportButton);
    QCOMPARE(QString::fromStdString(ReadAll(dir / "peaks.csv")).count('\n'), 3);
    QString told;
    AnswerFileDialog(Q(dir / "no/peaks.csv"), &told);
    Click(panel->exportButton);
    QVERIFY2(told.startsWith("The table could not be written.\n") &&
                 told.endsWith("/no/peaks.csv\nNo such file or directory"),
             qPrintable(told));
  }

  // The standard's default scale comes first; its reflections are marked
  // before a fit and move to higher channels once the fit finds the cell
  // compressed. "Pressure" gives a row per spectrum shown, in their order;
  // one element picked out gives its own alone.
  void pressure_ScaleTicksRowsAndElementPicker() {
    ui::SpectrumViewer viewer(GoldAtTwoPressures());
    auto* panel = viewer.pressurePanel;
    QVERIFY(!panel->pressureButton->isEnabled());
    panel->standardBox->setCurrentIndex(panel->standardBox->findData("al2o3"));
    QVERIFY(!panel->pressureButton->isEnabled() && !viewer.chart->ticks().empty());
    // Two clicks choose the standard (the box, then its entry); the third below asks for the pressure.
    viewer.show();
    QVERIFY(QTest::qWaitForWindowExposed(&viewer));
    QTest::mouseClick(panel->standardBox, Qt::LeftButton);
    QAbstractItemView* list = panel->standardBox->view();
    QTRY_VERIFY(list->isVisible());
    QTest::qWait(QApplication::doubleClickInterval() + 50);  // a release sooner is the opening click's own
    const QModelIndex au = list->model()->index(panel->standardBox->findData("au"), 0);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(au).center());
    QTRY_COMPARE(panel->standardBox->currentData().toString(), QString("au"));
    QCOMPARE(panel->scaleBox->currentText(), QString::fromLatin1(FindScale("Au", "")->name));
    const double before = viewer.chart->ticks().front().channel;
    Click(panel->pressureButton);
    QCOMPARE(panel->summaryTable->rowCount(), 2);
    QVERIFY(std::abs(LeadingNumber(panel->summaryTable, 0, 1) - 5) < 0.5);
    QVERIFY(std::abs(LeadingNumber(panel->summaryTable, 1, 1) - 20) < 0.5);
    QVERIFY(viewer.chart->ticks().front().channel > before);
    QVERIFY(panel->readoutLabel->text().contains("gold.med:1"));
    panel->summaryTable->selectRow(1);
    QCOMPARE(viewer.spectrumBox->currentIndex(), 1);
    QVERIFY(panel->readoutLabel->text().contains("gold.med:2"));
    QVERIFY(panel->cellLabel->isHidden());
    // A calibration that places the elements on a detector ring adds the cell they see: two are too few.
    CalibrationFile ring;
    for (const std::size_t e : {1u, 2u})
      ring.elements[e].twoTheta = AngleEntry{bench::StandardScene{}.twoThetaDeg, 0, "al2o3", {}, "", 90.0 * e};
    viewer.ApplyCalibration(ring);
    Click(panel->pressureButton);
    QVERIFY(!panel->cellLabel->isHidden());
    QVERIFY(panel->cellLabel->text().contains("2 spectra with a pressure: the strain across the cell needs 4"));

    Click(viewer.peaksPanel->findButton);  // both elements shown: a row per peak and element
    auto* peaks = viewer.peaksPanel->table;
    QCOMPARE(peaks->horizontalHeaderItem(0)->text(), QString("spectrum"));
    QCOMPARE(peaks->item(peaks->rowCount() - 1, 0)->text(), QString("gold.med:2"));
    QCOMPARE(viewer.peaksPanel->SpectrumOfRow(static_cast<std::size_t>(peaks->rowCount() - 1)), 1u);

    viewer.elementBox->setCurrentIndex(1);  // element 1 alone
    const auto lines = viewer.chart->series();
    QCOMPARE(std::count_if(lines.begin(), lines.end(),
                           [](const QAbstractSeries* a) { return a->type() == QAbstractSeries::SeriesTypeLine; }),
             1);
    Click(panel->pressureButton);
    QVERIFY(panel->summaryTable->isHidden() && panel->ResultFor(1) == nullptr && panel->ResultFor(0) != nullptr);
    panel->temperatureEdit->setText("1000");
    Click(panel->pressureButton);
    QVERIFY(panel->ResultFor(0)->temperatureSource == TemperatureSource::Option &&
            panel->ResultFor(0)->temperatureK == 1000);
    panel->guessEdit->setText("many");
    Click(panel->pressureButton);
    QVERIFY(panel->readoutLabel->text().startsWith("No pressure"));
    QString why;
    QVERIFY(!panel->Choose("au:Nobody1900", &why) && why.contains("Nobody1900"));
  }

  // The command line: options with values, the files after them, and the
  // mistakes it refuses.
  void arguments_ParsedAndRefused() {
    const auto a = ui::ParseWindowArguments({"--peaks", "--min-snr", "3", "--screenshot", "o.png", "f.med:2"});
    QVERIFY(a.ok() && a.peaks && a.minSnr == 3.0);
    QCOMPARE(a.screenshot, QString("o.png"));
    QCOMPARE(a.files, QStringList{"f.med:2"});
    QVERIFY(ui::ParseWindowArguments({"--series", "run", "--pressure", "mgo", "--guess-pressure", "6"}).ok());
    const QList<QStringList> wrong = {{"--peaks"},
                                      {"--series", "run", "f.med"},
                                      {"--series", "run", "--peaks"},
                                      {"--pressure"},
                                      {"--bogus", "f.med"},
                                      {"--screenshot", "o.jpg", "f.med"},
                                      {"--min-snr", "-1", "f.med"},
                                      {"--x", "time", "f.med"},
                                      {"--zoom", "5:1", "f.med"}};
    for (const QStringList& args : wrong) QVERIFY2(!ui::ParseWindowArguments(args).ok(), qPrintable(args.join(' ')));
  }

  // --peaks with --screenshot: the picture is written with the peaks found.
  void screenshot_WithPeaks() {
    auto viewer = Open({Q(dir / "two.xbm")});
    ui::WindowArguments a = ui::ParseWindowArguments({"--peaks", Q(dir / "two.xbm")});
    QString why;
    QWidget* shown = ui::ApplyArguments(*viewer, a, &why);
    QVERIFY(shown == viewer.get());
    QCOMPARE(viewer->peaksPanel->table->rowCount(), 2);
    QVERIFY(ui::SaveScreenshot(*shown, Q(dir / "shot.png")));
    QVERIFY(!QImage(Q(dir / "shot.png")).isNull());
  }
};

QTEST_MAIN(AnalysisPanelsTest)
#include "AnalysisPanelsTest.moc"
