// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/WindowStart.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <cstdio>

#include "ui/EnergyCalibrationDialog.h"
#include "ui/PeaksPanel.h"
#include "ui/PressurePanel.h"
#include "ui/QtUserPrompt.h"
#include "ui/Screenshot.h"
#include "ui/SpectrumViewer.h"
#include "ui/TwoThetaCalibrationDialog.h"
#include "ui/frmVantor.h"
#include "view/SpectrumChart.h"

namespace vantor::ui {
namespace {

// A picture is drawn with nobody to answer: messages go to stderr and
// every question is answered no.
class StderrPrompt : public UserPrompt {
 public:
  void Message(std::string_view text) override { std::fprintf(stderr, "vantor: %.*s\n", Size(text), text.data()); }
  void FileMessage(std::string_view path, std::string_view text, std::string_view reason) override {
    std::fprintf(stderr, "vantor: %.*s: %.*s (%.*s)\n", Size(path), path.data(), Size(text), text.data(), Size(reason),
                 reason.data());
  }
  bool AskYesNo(std::string_view) override { return false; }
  bool AskTwoLines(std::string_view, std::string_view) override { return false; }
  std::optional<CsvParameters> AskCsvParameters() override { return std::nullopt; }
  std::optional<std::string> AskSaveName(std::string_view, std::string_view) override { return std::nullopt; }
  void ShowStatus(std::string_view) override {}

 private:
  static int Size(std::string_view text) { return static_cast<int>(text.size()); }
};

int Fail(const QString& why) {
  std::fprintf(stderr, "vantor: %s\n", qPrintable(why));
  return 1;
}

bool ChooseAxis(SpectrumViewer& viewer, const QString& name) {
  const ChartAxis axis = name == "energy" ? ChartAxis::Energy : name == "d" ? ChartAxis::DSpacing : ChartAxis::Channel;
  const int index = viewer.axisBox->findData(static_cast<int>(axis));
  if (index < 0) return false;
  viewer.axisBox->setCurrentIndex(index);
  return true;
}

}  // namespace

QWidget* ApplyArguments(SpectrumViewer& viewer, const WindowArguments& arguments, QString* why) {
  if (!arguments.calibration.isEmpty() && !viewer.ApplyCalibrationFile(arguments.calibration, why)) return nullptr;
  if (!arguments.axis.isEmpty() && !ChooseAxis(viewer, arguments.axis)) {
    *why = "no spectrum can be drawn against " + arguments.axis + " (no calibration or angle)";
    return nullptr;
  }
  viewer.logBox->setChecked(arguments.log);
  if (arguments.zoomRange) {
    const ChartView now = viewer.chart->View();
    viewer.chart->ShowView({arguments.zoomRange->first, arguments.zoomRange->second, now.y0, now.y1});
  }
  if (arguments.minSnr) viewer.peaksPanel->minSnrBox->setValue(*arguments.minSnr);
  if (arguments.peaks) viewer.FindPeaks();
  if (!arguments.pressure.isEmpty()) {
    if (!viewer.pressurePanel->Choose(arguments.pressure, why)) return nullptr;
    viewer.pressurePanel->temperatureEdit->setText(arguments.temperature);
    viewer.pressurePanel->guessEdit->setText(arguments.guessPressure);
    if (!viewer.pressurePanel->Request(why)) return nullptr;
    viewer.ComputePressure();
  }
  if (!arguments.energyLines.isEmpty()) {
    auto* dialog = static_cast<EnergyCalibrationDialog*>(viewer.OpenEnergyCalibration());
    dialog->SetLines(arguments.energyLines);
    dialog->Calibrate();
    return dialog;
  }
  if (!arguments.twoThetaStandard.isEmpty()) {
    auto* dialog = static_cast<TwoThetaCalibrationDialog*>(viewer.OpenTwoThetaCalibration());
    if (!dialog->ChooseStandard(arguments.twoThetaStandard)) {
      *why = "unknown standard " + arguments.twoThetaStandard;
      return nullptr;
    }
    dialog->Calibrate();
    return dialog;
  }
  return &viewer;
}

int RunWindow(const WindowArguments& arguments) {
  if (arguments.files.isEmpty()) {
    frmVantor window;
    if (!arguments.screenshot.isEmpty())
      return SaveScreenshot(window, arguments.screenshot) ? 0 : Fail("cannot write " + arguments.screenshot);
    window.show();
    return QApplication::exec();
  }
  QtUserPrompt windowPrompt(nullptr, nullptr);
  StderrPrompt quietPrompt;
  ConvertContext context(arguments.screenshot.isEmpty() ? static_cast<UserPrompt&>(windowPrompt) : quietPrompt);
  SpectrumViewer* viewer = OpenViewer(arguments.files, context);
  if (viewer == nullptr) return 1;
  QString why;
  QWidget* shown = ApplyArguments(*viewer, arguments, &why);
  if (shown == nullptr) return Fail(why);
  if (!arguments.screenshot.isEmpty())
    return SaveScreenshot(*shown, arguments.screenshot) ? 0 : Fail("cannot write " + arguments.screenshot);
  return QApplication::exec();
}

}  // namespace vantor::ui
