// SPDX-License-Identifier: GPL-3.0-or-later
// The spectrum viewer: the chart of one or more spectra with its axis, log
// and zoom controls, the readout under the pointer, the region's sums, and
// the header of the spectrum chosen in the list as a table. Opened from the
// main window's file list and by `vantor FILE...`.
#pragma once

#include <QStringList>
#include <QWidget>
#include <optional>
#include <vector>

#include "analysis/CellPressure.h"
#include "base/ConvertContext.h"
#include "convert/CalibrationFile.h"
#include "view/ChartModel.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QTableWidget;
class QTabWidget;

namespace vantor::view {
class SpectrumChart;
class SpectrumChartView;
}  // namespace vantor::view

namespace vantor::ui {

class CalibrationDialog;
class PeaksPanel;
class PressurePanel;

class SpectrumViewer : public QWidget {
  Q_OBJECT
 public:
  explicit SpectrumViewer(std::vector<ChartSpectrum> spectra, QWidget* parent = nullptr);

  view::SpectrumChart* chart = nullptr;
  view::SpectrumChartView* chartView = nullptr;
  QComboBox* axisBox = nullptr;
  QCheckBox* logBox = nullptr;
  QPushButton* resetButton = nullptr;
  QPushButton* clearRegionButton = nullptr;
  QPushButton* exportButton = nullptr;
  QComboBox* spectrumBox = nullptr;  // whose header, readout and summary are shown
  QTableWidget* headerTable = nullptr;
  QLabel* summaryLabel = nullptr;
  QLabel* readoutLabel = nullptr;
  QLabel* regionLabel = nullptr;
  QTabWidget* tabs = nullptr;  // header, peaks, pressure
  PeaksPanel* peaksPanel = nullptr;
  PressurePanel* pressurePanel = nullptr;
  // A file of several spectra: all of them overlaid, or one picked out.
  QComboBox* elementBox = nullptr;
  QPushButton* energyButton = nullptr;    // "Calibrate energy..."
  QPushButton* twoThetaButton = nullptr;  // "Calibrate 2θ..."
  QPushButton* loadButton = nullptr;      // "Apply calibration file..."

  // Finds and fits the peaks of the spectrum chosen, within the zoomed x
  // range when zoomed, and marks them on the chart.
  void FindPeaks();
  // Zooms the chart to the peak of the table's row.
  void ZoomToPeak(int row);
  // The pressure of every spectrum shown, from the standard and scale
  // chosen; the details of the spectrum chosen.
  void ComputePressure();
  // The calibration dialogs, each a window of its own over the viewer,
  // working on the spectra as they are now.
  CalibrationDialog* OpenEnergyCalibration();
  CalibrationDialog* OpenTwoThetaCalibration();
  // Uses the calibration for the open spectra: each takes its element's
  // energy calibration and angle; the results found before are cleared.
  void ApplyCalibration(const CalibrationFile& calibration);
  // Reads a calibration file (one "Save calibration..." or `vantor-cli
  // calibrate --write-calibration` wrote) and applies it; false and why
  // when it cannot be read.
  bool ApplyCalibrationFile(const QString& path, QString* why);

 signals:
  // What the spectrum chosen now carries after an Apply, for the main
  // window's boxes.
  void energyCalibrationApplied(double a, double b, double c);
  void twoThetaApplied(double degrees);

 private:
  std::optional<CellPressure> RingCell(const std::vector<SpectrumPressure>& results,
                                       const std::vector<std::size_t>& indices, const RunSettings& settings,
                                       const PressureRequest& request) const;
  QWidget* BuildControls();
  QWidget* BuildAnalysisBar();
  QWidget* BuildHeaderPanel();
  void Connect();
  void ApplyView();
  void ShowSpectrum(int index);
  void ShowElement(int index);
  void UpdateTicks();
  void ShowReadout(double x);
  void ShowReadoutHint();
  void ShowRegion();
  void Export();
  const ChartSpectrum* Current() const;
  void FillAxes();

  std::optional<CalibrationFile> applied_;
};

// An x value as the readout words it: energies to eV, d-spacings to a
// ten-thousandth of an angstrom.
QString AxisValue(ChartAxis axis, double x);

// Reads the files and shows them in a new viewer window (a window of its
// own that deletes itself when closed). Files that cannot be read are
// reported through the context's prompt; null when none could be read.
SpectrumViewer* OpenViewer(const QStringList& paths, ConvertContext& context, QWidget* parent = nullptr);

}  // namespace vantor::ui
