// SPDX-License-Identifier: GPL-3.0-or-later
// The calibration dialogs: the lines or standard picked reach the
// calibration, its result reaches the tables, "Save calibration..." writes
// the file the command line reads, "Apply" recalibrates the open spectra
// and tells the main window.
#include <QSignalSpy>
#include <cmath>

#include "UiTestSupport.h"
#include "analysis/LineTable.h"
#include "bench/PeakSpectra.h"
#include "bench/PressureSpectra.h"
#include "ui/EnergyCalibrationDialog.h"
#include "ui/EntryText.h"
#include "ui/SpectrumViewer.h"
#include "ui/TwoThetaCalibrationDialog.h"
#include "view/SpectrumChart.h"

using namespace vantor;
using namespace vantor::test;

namespace {

constexpr std::array<double, 3> kTrueEgc{0.032, 0.06484, 1.27e-8};

// The lines of three check sources on a detector of known calibration; the
// file claims a rougher one.
ChartSpectrum SourcesSpectrum() {
  std::vector<bench::Line> lines;
  for (const CalibrationLine& l : ParseLineList("Co-57,Cd-109,Am-241").lines)
    if (l.energyKeV < 130) lines.push_back({l.energyKeV, 40000});
  const auto generated = bench::GenerateLines(lines, 2048, kTrueEgc, {}, {}, 7);
  SpectrumRecord record;
  record.Data.DataNumber = 2048;
  std::copy(generated.counts.begin(), generated.counts.end(), record.Data.Count.begin());
  record.Head.Measure.EGC = {0.03, 0.0649, 0};
  return ChartSpectrumOf("sources.xbm", "xbm", record);
}

double Leading(const QString& text) {
  return text.section(' ', 0, 0).toDouble();
}

}  // namespace

class CalibrationDialogsTest : public QObject {
  Q_OBJECT

  TempDir dir;

 private slots:
  void energy_LinesResultSaveApply() {
    ui::SpectrumViewer viewer({SourcesSpectrum()});
    auto* dialog = static_cast<ui::EnergyCalibrationDialog*>(viewer.OpenEnergyCalibration());
    dialog->SetLines("Co-57,Cd-109,Am-241,Pb-Ka1");
    QCOMPARE(dialog->moreEdit->text(), QString("Pb-Ka1"));  // not a source: a further line
    dialog->moreEdit->clear();
    QVERIFY(!dialog->saveButton->isEnabled());
    Click(dialog->calibrateButton);
    QCOMPARE(dialog->results().size(), 1u);
    const EnergyCalibration& c = dialog->results()[0].calibration;
    QCOMPARE(static_cast<std::size_t>(dialog->pointTable->rowCount()), c.points.size());
    QVERIFY(c.points.size() >= 5);
    for (int i = 0; i < 2; ++i) QVERIFY(std::abs(c.egc[i].value - kTrueEgc[i]) < 4 * c.egc[i].sigma);

    QString why;
    QVERIFY(dialog->SaveTo(Q(dir / "cal.json"), &why));
    const CalibrationRead read = ReadCalibrationFile(dir / "cal.json");
    QVERIFY(read.ok);
    QCOMPARE(read.calibration.elements.at(0).energy->egc[1], c.egc[1].value);

    QSignalSpy told(&viewer, &ui::SpectrumViewer::energyCalibrationApplied);
    Click(dialog->applyButton);
    QCOMPARE(viewer.chart->spectra()[0].header.Measure.EGC[1], c.egc[1].value);
    QCOMPARE(told.size(), 1);
    QCOMPARE(told[0][1].toDouble(), c.egc[1].value);
    // The saved file applies to another viewer of the same spectrum.
    ui::SpectrumViewer other({SourcesSpectrum()});
    QVERIFY(other.ApplyCalibrationFile(Q(dir / "cal.json"), &why));
    QCOMPARE(other.chart->spectra()[0].header.Measure.EGC[1], c.egc[1].value);
    QVERIFY(!other.ApplyCalibrationFile(Q(dir / "missing.json"), &why) && why.contains("missing.json"));
  }

  // "Add line" appends the element's line to the further lines (nothing
  // without an element). No lines, an unknown line or too few lines for
  // the polynomial give no calibration and say why; a line without a peak
  // is named under the result. A calibration that cannot be saved is told
  // with the file's name and the reason (here a missing folder).
  void energy_AddedLinesRefusalsAndFailedSave() {
    ui::SpectrumViewer viewer({SourcesSpectrum()});
    auto* dialog = static_cast<ui::EnergyCalibrationDialog*>(viewer.OpenEnergyCalibration());
    auto* add = Captioned<QPushButton>(dialog, "Add line");
    Click(add);
    QCOMPARE(dialog->moreEdit->text(), QString());
    dialog->elementEdit->setText(" Pb ");
    dialog->lineBox->setCurrentText("Kb1");
    Click(add);
    Click(add);
    QCOMPARE(dialog->moreEdit->text(), QString("Pb-Kb1,Pb-Kb1"));
    const struct {
      const char* lines;
      int degree;
      const char* said;
      bool calibrated;
    } rows[] = {{"", 0, "Pick the lines the spectra show.", false},
                {"Co-57,Xx-Ka1", 0, "unknown line \"Xx-Ka1\"", false},
                {"Am-241,Cd-109", 2, "Not calibrated: 3 of 3 lines matched; a quadratic needs 4", false},
                {"Co-57,Cd-109,Am-241,Pb-Ka1", 0, "<br>no peak for: Pb-Ka1", true}};
    for (const auto& row : rows) {
      dialog->moreEdit->setText(row.lines);
      dialog->degreeBox->setCurrentIndex(row.degree);
      Click(dialog->calibrateButton);
      QVERIFY2(dialog->coefficientLabel->text().contains(row.said), qPrintable(dialog->coefficientLabel->text()));
      QCOMPARE(dialog->saveButton->isEnabled(), row.calibrated);
    }
    QString told;
    AnswerFileDialog(Q(dir / "no/cal.json"), &told);
    Click(dialog->saveButton);
    QVERIFY2(told.startsWith("The calibration could not be written.\n") &&
                 told.endsWith("/no/cal.json\nNo such file or directory"),
             qPrintable(told));
  }

  // Au at 0 GPa seen at 2θ 6.5°, the file claiming 6.45°: the dialog's
  // row shows 6.5 and Apply moves the spectrum there. An angle applied
  // after an energy calibration joins it: the 2θ calibration saved keeps
  // the energy's entry.
  void twoTheta_StandardRowsApply() {
    bench::StandardScene scene;
    scene.twoThetaDeg = 6.5;
    SpectrumRecord record = bench::GenerateStandardSpectrum(scene).record;
    record.Head.Measure.TwoTheta = 6.45;
    ui::SpectrumViewer viewer({ChartSpectrumOf("gold.xbm", "xbm", record)});
    CalibrationFile energy, angle;
    energy.elements[0].energy = EnergyEntry{record.Head.Measure.EGC, {}, "from the detector sheet", {}, ""};
    angle.elements[0].twoTheta = AngleEntry{6.45, 0.01, "au", {}, "", {}};
    viewer.ApplyCalibration(energy);
    viewer.ApplyCalibration(angle);
    auto* dialog = static_cast<ui::TwoThetaCalibrationDialog*>(viewer.OpenTwoThetaCalibration());
    QVERIFY(dialog->ChooseStandard("au") && !dialog->ChooseStandard("unobtainium"));
    Click(dialog->calibrateButton);
    QCOMPARE(dialog->summaryTable->rowCount(), 1);
    QVERIFY(std::abs(Leading(dialog->summaryTable->item(0, 2)->text()) - 6.5) < 0.005);
    QVERIFY(dialog->reflectionTable->rowCount() >= 3);
    QSignalSpy told(&viewer, &ui::SpectrumViewer::twoThetaApplied);
    Click(dialog->applyButton);
    QCOMPARE(viewer.chart->spectra()[0].header.Measure.TwoTheta, dialog->results()[0].twoThetaDeg.value);
    QCOMPARE(told.size(), 1);
    QString why;
    QVERIFY(dialog->SaveTo(Q(dir / "angle.json"), &why));
    const CalibrationRead read = ReadCalibrationFile(dir / "angle.json");
    QVERIFY(read.ok && read.calibration.elements.at(0).energy);
    QCOMPARE(read.calibration.elements.at(0).energy->lines, std::string("from the detector sheet"));
  }

  // In a viewer opened from the main window, an applied calibration fills
  // the window's EGC and 2θ boxes, with every digit of the quadratic term.
  void apply_FillsTheMainWindowsBoxes() {
    FakePrompt user;
    WriteRecord(dir / "a.xbm", 1, {0.5, 0.1, 0});
    ShownWindow w(dir.path(), &user);
    ClickEntry(w.ui.filFiles, "a.xbm", {}, true);
    auto* viewer = w.window.findChild<ui::SpectrumViewer*>();
    QVERIFY(viewer != nullptr);
    CalibrationFile file;
    file.elements[0].energy = EnergyEntry{{0.03, 0.0648, 1.27e-8}, {}, "Co-57", {}, ""};
    file.elements[0].twoTheta = AngleEntry{6.4986, 0.0002, "al2o3", {}, "", {}};
    viewer->ApplyCalibration(file);
    QCOMPARE(*ui::EntryNumber(w.ui.txtEGC[2]->text()), 1.27e-8);
    QCOMPARE(*ui::EntryNumber(w.ui.txt2Theta->text()), 6.4986);
    QVERIFY(w.ui.opt2ThetaMode[1]->isChecked());
  }
};

QTEST_MAIN(CalibrationDialogsTest)
#include "CalibrationDialogsTest.moc"
