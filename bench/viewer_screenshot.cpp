// SPDX-License-Identifier: GPL-3.0-or-later
// Draws the spectrum viewer into PNGs for the README: one spectrum on the
// energy axis with a region marked and the pointer over a peak, and two
// spectra overlaid with log counts.
//   vantor-viewer-shot OUTPUT_FOLDER SAMPLES_FOLDER
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QMouseEvent>

#include "ui/QtUserPrompt.h"
#include "ui/SpectrumViewer.h"
#include "view/SpectrumChartView.h"

namespace {

using vantor::ui::SpectrumViewer;

void ChooseAxis(SpectrumViewer& viewer, vantor::ChartAxis axis) {
  viewer.axisBox->setCurrentIndex(viewer.axisBox->findData(static_cast<int>(axis)));
}

// The pointer over the chart at x on its axis, as the mouse would move it.
void PointAt(SpectrumViewer& viewer, double x, double count) {
  auto* chart = viewer.chart;
  const QPointF inChart = chart->mapToPosition(QPointF(x, count), chart->series().first());
  const QPoint inView = viewer.chartView->mapFromScene(chart->mapToScene(inChart));
  QMouseEvent move(QEvent::MouseMove, inView, viewer.chartView->viewport()->mapToGlobal(inView), Qt::NoButton,
                   Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(viewer.chartView->viewport(), &move);
}

bool Save(QWidget& window, const QDir& folder, const char* name) {
  // The axes replaced by a change of axis go at the next turn of the event
  // loop, which a program that only paints never reaches.
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  QApplication::processEvents();
  return window.grab().save(folder.filePath(name));
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setStyle("Fusion");
  if (argc < 3) return 2;
  const QDir out(QString::fromLocal8Bit(argv[1])), samples(QString::fromLocal8Bit(argv[2]));
  vantor::ui::QtUserPrompt prompt(nullptr, nullptr);
  vantor::ConvertContext context(prompt);

  SpectrumViewer* one = vantor::ui::OpenViewer({samples.filePath("run0001.xbm")}, context);
  if (one == nullptr) return 1;
  ChooseAxis(*one, vantor::ChartAxis::Energy);
  one->chart->SetRegion(std::array<double, 2>{32.2, 34.4});
  QApplication::processEvents();
  PointAt(*one, 33.45, 16000);
  bool saved = Save(*one, out, "viewer-energy.png");

  SpectrumViewer* two =
      vantor::ui::OpenViewer({samples.filePath("run0001.xbm"), samples.filePath("run0002.xbm")}, context);
  if (two == nullptr) return 1;
  ChooseAxis(*two, vantor::ChartAxis::Energy);
  two->logBox->setChecked(true);
  two->spectrumBox->setCurrentIndex(1);
  saved = Save(*two, out, "viewer-log-overlay.png") && saved;
  return saved ? 0 : 1;
}
