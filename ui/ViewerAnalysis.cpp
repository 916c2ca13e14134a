// SPDX-License-Identifier: GPL-3.0-or-later
// The viewer's analysis handlers: peaks, the element shown, the pressure
// and its ticks, the calibration dialogs and what an Apply changes. They
// call the analysis through view/ and show what it gives.
#include <QApplication>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QTabWidget>
#include <algorithm>
#include <cmath>

#include "ui/EnergyCalibrationDialog.h"
#include "ui/EntryText.h"
#include "ui/PeaksPanel.h"
#include "ui/PressurePanel.h"
#include "ui/SpectrumViewer.h"
#include "ui/TwoThetaCalibrationDialog.h"
#include "view/SpectrumAnalysis.h"
#include "view/SpectrumCalibration.h"
#include "view/SpectrumChartView.h"

namespace vantor::ui {

void SpectrumViewer::FillAxes() {
  const QSignalBlocker quiet(axisBox);
  const QVariant was = axisBox->currentData();
  axisBox->clear();
  for (const ChartAxis axis : chart->AvailableAxes())
    axisBox->addItem(view::SpectrumChart::AxisTitle(axis), static_cast<int>(axis));
  axisBox->setCurrentIndex(std::max(0, axisBox->findData(was)));
}

CalibrationDialog* SpectrumViewer::OpenEnergyCalibration() {
  auto* dialog = new EnergyCalibrationDialog(chart->spectra(), this);
  connect(dialog, &CalibrationDialog::applied, this, &SpectrumViewer::ApplyCalibration);
  dialog->show();
  return dialog;
}

CalibrationDialog* SpectrumViewer::OpenTwoThetaCalibration() {
  auto* dialog = new TwoThetaCalibrationDialog(chart->spectra(), applied_, this);
  if (const Standard* s = pressurePanel->standard()) dialog->ChooseStandard(FromCore(s->name));
  connect(dialog, &CalibrationDialog::applied, this, &SpectrumViewer::ApplyCalibration);
  dialog->show();
  return dialog;
}

void SpectrumViewer::ApplyCalibration(const CalibrationFile& calibration) {
  if (applied_)
    MergeCalibration(*applied_, calibration);
  else
    applied_ = calibration;
  const CalibrationValues values = ValuesOf(*applied_, "the calibration applied");
  for (std::size_t i = 0; i < chart->spectra().size(); ++i) {
    const ChartSpectrum& s = chart->spectra()[i];
    if (const auto c = CalibrationOfSpectrum(values, s))
      chart->SetCalibration(i, c->egc.value_or(s.header.Measure.EGC), c->twoTheta.value_or(s.header.Measure.TwoTheta));
  }
  FillAxes();
  ApplyView();
  peaksPanel->Clear();
  chart->SetPeakMarks({});
  pressurePanel->ClearResults();
  ShowSpectrum(spectrumBox->currentIndex());
  if (const ChartSpectrum* s = Current()) {
    const auto c = CalibrationOfSpectrum(values, *s);
    const MeasureCondition& m = s->header.Measure;
    if (c && c->egc) emit energyCalibrationApplied(m.EGC[0], m.EGC[1], m.EGC[2]);
    if (c && c->twoTheta) emit twoThetaApplied(m.TwoTheta);
  }
}

bool SpectrumViewer::ApplyCalibrationFile(const QString& path, QString* why) {
  const CalibrationRead read = ReadCalibrationFile(ToCore(path));
  if (!read.ok) {
    *why = FromCore(read.message);
    return false;
  }
  ApplyCalibration(read.calibration);
  return true;
}

void SpectrumViewer::ShowElement(int index) {
  if (index <= 0) {
    chart->ShowOnly(std::nullopt);
  } else {
    chart->ShowOnly(static_cast<std::size_t>(index - 1));
    spectrumBox->setCurrentIndex(index - 1);
  }
  ApplyView();
}

// The cell the elements of one file see, when the calibration applied gives
// their azimuths on the detector ring (as vantor-cli pressure takes them).
std::optional<CellPressure> SpectrumViewer::RingCell(const std::vector<SpectrumPressure>& results,
                                                     const std::vector<std::size_t>& indices,
                                                     const RunSettings& settings,
                                                     const PressureRequest& request) const {
  const auto& spectra = chart->spectra();
  if (results.size() < 2) return std::nullopt;
  CellGeometry geometry;
  for (const std::size_t i : indices) {
    if (spectra[i].path != spectra[indices[0]].path) return std::nullopt;
    geometry.azimuthsDeg.push_back(CalibratedAzimuth(settings, spectra[i].element));
  }
  if (std::all_of(geometry.azimuthsDeg.begin(), geometry.azimuthsDeg.end(), [](double a) { return std::isnan(a); }))
    return std::nullopt;
  return PressureOfCell(results, geometry, request);
}

void SpectrumViewer::ComputePressure() {
  QString why;
  const auto request = pressurePanel->Request(&why);
  if (!request) {
    pressurePanel->readoutLabel->setText("No pressure: " + why.toHtmlEscaped());
    tabs->setCurrentWidget(pressurePanel);
    return;
  }
  std::vector<SpectrumPressure> results;
  std::vector<std::size_t> indices;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  RunSettings settings;  // an applied angle brings its sigma, which the pressure's carries
  if (applied_) settings.calibration = ValuesOf(*applied_, "the calibration applied");
  for (std::size_t i = 0; i < chart->spectra().size(); ++i) {
    if (chart->shownOnly() && *chart->shownOnly() != i) continue;
    const ChartSpectrum& s = chart->spectra()[i];
    results.push_back(PressureOfChartSpectrum(s, RequestForElement(*request, settings, s.element)));
    indices.push_back(i);
  }
  // The elements of one file see one cell (as vantor-cli pressure takes them).
  const auto& spectra = chart->spectra();
  if (std::all_of(indices.begin(), indices.end(), [&](std::size_t i) { return spectra[i].path == spectra[0].path; }))
    SettleRivalElements(results, *request, [&](std::size_t k, double guessGPa) {
      const ChartSpectrum& s = spectra[indices[k]];
      PressureRequest near = RequestForElement(*request, settings, s.element);
      near.guessPressureGPa = guessGPa;
      return PressureOfChartSpectrum(s, near);
    });
  const std::optional<CellPressure> cell = RingCell(results, indices, settings, *request);
  QApplication::restoreOverrideCursor();
  pressurePanel->ShowResults(std::move(results), std::move(indices),
                             static_cast<std::size_t>(std::max(0, spectrumBox->currentIndex())), cell);
  tabs->setCurrentWidget(pressurePanel);
  UpdateTicks();
}

// The standard's reflections for the spectrum chosen: at the fitted edge
// once there is a pressure, else at the scale's edge at 0 GPa (a
// calibrant's own cell).
void SpectrumViewer::UpdateTicks() {
  const ChartSpectrum* s = Current();
  const Standard* standard = pressurePanel->standard();
  if (s == nullptr || standard == nullptr) {
    chart->SetTicks({});
    return;
  }
  Cell cell = standard->ambient;
  if (const PressureScale* scale = pressurePanel->scale()) cell = CubicCell(scale->a0A);
  const auto index = static_cast<std::size_t>(spectrumBox->currentIndex());
  if (const SpectrumPressure* p = pressurePanel->ResultFor(index); p != nullptr && p->ok())
    cell = CubicCell(p->lattice.aA.value);
  std::vector<view::TickMark> ticks;
  for (const ReflectionMark& m : MarksOfStandard(*s, *standard, cell))
    ticks.push_back({index, m.channel, FromCore(m.hkl), m.weak});
  chart->SetTicks(std::move(ticks));
}

// The spectrum chosen; all of them when a file's elements are shown
// together, a row per peak and element.
void SpectrumViewer::FindPeaks() {
  if (Current() == nullptr) return;
  std::optional<std::array<double, 2>> range;
  QString where = "whole spectrum";
  if (chart->Zoomed()) {
    const ChartView v = chart->View();
    range = std::array{v.x0, v.x1};
    where = AxisValue(chart->axis(), std::min(v.x0, v.x1)) + " to " + AxisValue(chart->axis(), std::max(v.x0, v.x1));
  }
  std::vector<std::size_t> targets;
  if (chart->spectra().size() > 1 && elementBox->currentIndex() == 0)
    for (std::size_t i = 0; i < chart->spectra().size(); ++i) targets.push_back(i);
  else
    targets.push_back(static_cast<std::size_t>(spectrumBox->currentIndex()));
  std::vector<SpectrumPeakSearch> searches;
  std::vector<view::PeakMark> marks;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  for (const std::size_t i : targets) {
    const ChartSpectrum& s = chart->spectra()[i];
    searches.push_back({i, FromCore(s.name), PeaksOfSpectrum(s, peaksPanel->minSnrBox->value(), chart->axis(), range)});
    for (const PeakResult& p : searches.back().search.peaks) marks.push_back({i, p.channel.value, p.escape});
  }
  QApplication::restoreOverrideCursor();
  peaksPanel->Show(searches, where);
  chart->SetPeakMarks(std::move(marks));
  tabs->setCurrentWidget(peaksPanel);
}

void SpectrumViewer::ZoomToPeak(int row) {
  const auto& peaks = peaksPanel->peaks();
  if (row < 0 || static_cast<std::size_t>(row) >= peaks.size()) return;
  const ChartSpectrum* s = &chart->spectra()[peaksPanel->SpectrumOfRow(static_cast<std::size_t>(row))];
  const auto span = PeakSpan(*s, chart->axis(), peaks[static_cast<std::size_t>(row)]);
  if (!span) return;
  // Counts from the floor to a little above the highest in the span.
  double top = 0;
  for (const ChartPoint& p : ChartPoints(*s, chart->axis(), chart->logCounts()))
    if (p.x >= (*span)[0] && p.x <= (*span)[1]) top = std::max(top, p.y);
  const ChartView now = chart->View();
  chart->ShowView({(*span)[0], (*span)[1], now.y0, top > now.y0 ? top * (chart->logCounts() ? 2 : 1.15) : now.y1});
}

}  // namespace vantor::ui
