// SPDX-License-Identifier: GPL-3.0-or-later
// The series window on a folder of generated MgO spectra: its rows and
// points are the pressure series' own, a file dropped in later joins them,
// a click on a point opens the spectrum, the scale picked reaches the fit
// and the exported table is the command line's.
#include <QChartView>
#include <QFileDialog>
#include <QScatterSeries>

#include "UiTestSupport.h"
#include "analysis/PressureReport.h"
#include "bench/PressureSpectra.h"
#include "ui/SeriesWindow.h"
#include "ui/SpectrumViewer.h"
#include "view/SeriesChart.h"

using namespace vantor;
using namespace vantor::test;

namespace {

// An MgO spectrum measured `seconds` after midnight (its seed gives its
// time) at P and T, with a press load when one is given.
void WriteMgO(const std::string& path, unsigned seconds, double pressureGPa, double temperatureK, double load = 0) {
  bench::StandardScene scene;
  scene.standard = "mgo";
  scene.pressureGPa = pressureGPa, scene.temperatureK = temperatureK, scene.seed = seconds;
  SpectrumRecord record = bench::GenerateStandardSpectrum(scene).record;
  record.Head.Measure.PressLoad = load;
  WriteAll(path, RecordFileBytes(record.Data, record.Head));  // closed after writing, as a detector's program does
}

// The series the window should show: the files taken in the same way.
PressureSeries Expected(const std::string& standard, const std::vector<std::string>& files,
                        std::optional<double> guessGPa = std::nullopt) {
  const StandardChoice choice = ChooseStandard(standard);
  PressureRequest request;
  request.standard = choice.standard, request.scale = choice.scale, request.guessPressureGPa = guessGPa;
  PressureSeries series(request, RunSettings{});
  for (const std::string& file : files) series.Take(file);
  return series;
}

bool Loaded(ui::SeriesWindow& w) {
  return QTest::qWaitFor([&] { return w.waiting() == 0 && w.table->rowCount() > 0; }, 5000);
}

}  // namespace

class SeriesTest : public QObject {
  Q_OBJECT

  TempDir dir;
  std::string first, second;

  // The table's P column and the pressure chart's points against the series.
  static void CompareWith(ui::SeriesWindow& w, const PressureSeries& expected) {
    const auto& spectra = expected.spectra();
    QCOMPARE(w.table->rowCount(), static_cast<int>(spectra.size()));
    std::vector<view::SeriesPoint> points;
    for (const auto& curve : w.pressureChart->curves())
      points.insert(points.end(), curve.points.begin(), curve.points.end());
    for (std::size_t i = 0; i < spectra.size(); ++i) {
      const int row = static_cast<int>(i);
      const auto point = std::find_if(points.begin(), points.end(), [&](const auto& p) { return p.row == row; });
      if (!spectra[i].ok()) {  // why instead of a pressure, and no point
        QCOMPARE(w.table->item(row, 8)->text(), QString::fromStdString(spectra[i].error));
        QVERIFY(w.table->item(row, 7)->text().isEmpty() && point == points.end());
        continue;
      }
      QCOMPARE(w.table->item(row, 7)->text(), QString::fromStdString(PressureText(spectra[i])));
      QVERIFY(point != points.end());
      QCOMPARE(point->y, spectra[i].pressureGPa.value);
      QCOMPARE(point->sigma, spectra[i].pressureGPa.sigma);
    }
  }

 private slots:
  void initTestCase() {
    first = dir / "b.xbm", second = dir / "a.xbm";  // measured in the other order than the names
    WriteMgO(first, 36000, 4, 900, 120);
    WriteMgO(second, 36600, 11, 1100);
  }

  // Rows and points by measurement time; the press load only where the
  // record gives one; a dropped file joins, and its point opens its spectrum.
  void folder_RowsAndPoints_DroppedFileJoins_ClickOpens() {
    QString why;
    QVERIFY(ui::OpenSeriesWindow(Q(dir.path()), "diamond", &why) == nullptr);
    QVERIFY(why.startsWith("unknown pressure standard 'diamond'"));
    std::unique_ptr<ui::SeriesWindow> w(ui::OpenSeriesWindow(Q(dir.path()), "mgo"));
    QVERIFY(w != nullptr && w->watching());
    QVERIFY(Loaded(*w));
    CompareWith(*w, Expected("mgo", {first, second}));
    QCOMPARE(w->table->item(0, 0)->text(), QString("b.xbm"));
    QCOMPARE(w->loadChart->curves().size(), 1u);
    QCOMPARE(w->loadChart->curves()[0].points.size(), 1u);
    QCOMPARE(w->temperatureChart->curves()[0].points.size(), 2u);

    const std::string third = dir / "c.xbm";
    WriteMgO(third, 37200, 18, 1300);
    QVERIFY(QTest::qWaitFor([&] { return w->Refresh(), w->table->rowCount() == 3; }, 5000));
    CompareWith(*w, Expected("mgo", {first, second, third}));

    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    const auto at = w->pressureChart->PositionOf(2);
    QVERIFY(at.has_value());
    const QPoint click = w->pressureView->mapFromScene(w->pressureChart->mapToScene(*at));
    QTest::mouseClick(w->pressureView->viewport(), Qt::LeftButton, {}, click);
    const auto viewers = w->findChildren<ui::SpectrumViewer*>();
    QCOMPARE(viewers.size(), 1);
    QCOMPARE(viewers[0]->windowTitle(), QString("Vantor - c.xbm"));
    std::filesystem::remove(third);
  }

  // The ten elements of a real MgO run, given as a file: a curve per element
  // with a pressure (element 5 is dead), in the legend.
  void elements_CurveEach() {
    const std::string run = std::string(VANTOR_REALDATA_DIR) + "/med/COSI_022_0019.med";
    if (!std::filesystem::exists(run)) QSKIP("real data not at hand");
    std::unique_ptr<ui::SeriesWindow> w(ui::OpenSeriesWindow(QStringList{Q(run)}, "mgo"));
    QVERIFY(w != nullptr && Loaded(*w));
    const PressureSeries expected = Expected("mgo", {run});
    CompareWith(*w, expected);
    const auto& curves = w->pressureChart->curves();
    QCOMPARE(curves.size(), 9u);
    QCOMPARE(curves[4].name, QString("element 6"));
    QVERIFY(w->pressureChart->legend()->isVisible());
    QVERIFY(w->temperatureView->isHidden() && w->loadView->isHidden());  // no temperature, no load in the file
  }

  // A scale picked on the keyboard and a pressure to look near refit every
  // file with them; the exported table is the one `pressure --table` writes.
  void scaleAndGuessPicked_Refit_ExportWritesTable() {
    std::unique_ptr<ui::SeriesWindow> w(ui::OpenSeriesWindow(Q(dir.path()), "mgo"));
    QVERIFY(w != nullptr && Loaded(*w));
    QTest::keyClick(w->scaleBox, Qt::Key_Down);
    const std::string scale = w->scaleBox->currentData().toString().toStdString();
    QCOMPARE(std::string(w->series().request().scale->name), scale);
    SetText(w->guessBox, "12");
    QTest::keyClick(w->guessBox, Qt::Key_Return);
    QCOMPARE(w->series().request().guessPressureGPa, std::optional(12.0));
    QVERIFY(Loaded(*w));
    const PressureSeries expected = Expected("mgo:" + scale, {first, second}, 12.0);
    CompareWith(*w, expected);

    const std::string table = dir / "out.csv";
    WhenModal([&](QWidget* dialog) {
      auto* files = qobject_cast<QFileDialog*>(dialog);
      if (files == nullptr) return;
      files->selectFile(Q(table));
      QMetaObject::invokeMethod(files, "accept");
    });
    Click(w->exportButton);
    QCOMPARE(ReadAll(table), expected.Table());
  }
};

QTEST_MAIN(SeriesTest)
#include "SeriesTest.moc"
