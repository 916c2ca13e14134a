// SPDX-License-Identifier: GPL-3.0-or-later
// The series window: the pressure, temperature and press load of every
// spectrum of a run against measurement time, one curve per detector
// element, with a table of the values under the charts. On a folder it
// keeps watching: a file is taken once its writer has finished it, as
// `vantor-cli watch` takes it. A click on a point opens its spectrum.
#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>
#include <chrono>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "analysis/PressureSeries.h"
#include "base/ConvertContext.h"
#include "base/FileVersions.h"
#include "base/FolderWatch.h"
#include "ui/WindowArguments.h"

class QChartView;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;
class QTimer;

namespace vantor::view {
class SeriesChart;
}

namespace vantor::ui {

class QtUserPrompt;

class SeriesWindow : public QWidget {
  Q_OBJECT
 public:
  // Takes `files`, and watches `folder` unless it is empty (its files there
  // now are taken first); `request` as ChooseStandard gives it.
  SeriesWindow(const QString& folder, const QStringList& files, PressureRequest request, QWidget* parent = nullptr);
  ~SeriesWindow() override;

  // False when the folder cannot be watched.
  bool watching() const { return watch_ && watch_->ok(); }
  const PressureSeries& series() const { return series_; }
  // Files found but not yet taken.
  std::size_t waiting() const { return waiting_.size(); }

  // Takes what the folder completed since the last look, then files that
  // wait for at most `budget` (at least one), and redraws when any was
  // taken; goes on at the next turn of the event loop while files wait.
  // The timer calls it twice a second.
  void Refresh(std::chrono::milliseconds budget = std::chrono::milliseconds(100));
  // The `pressure --table` CSV of the rows; false and the reason when it
  // cannot be written.
  bool WriteTable(const QString& path, QString* why = nullptr) const;
  // Every file again under the standard, scale and pressure to look near
  // chosen (this on its own is what a change of them does).
  void ApplyChoice();
  // Opens the spectrum of a row of the table in the viewer.
  void OpenSpectrum(int row);

  QComboBox* standardBox = nullptr;
  QComboBox* scaleBox = nullptr;
  QLineEdit* guessBox = nullptr;  // GPa to look for the peaks near; empty for anywhere
  QPushButton* exportButton = nullptr;
  view::SeriesChart* pressureChart = nullptr;
  view::SeriesChart* temperatureChart = nullptr;
  view::SeriesChart* loadChart = nullptr;
  QChartView* pressureView = nullptr;
  QChartView* temperatureView = nullptr;
  QChartView* loadView = nullptr;
  QTableWidget* table = nullptr;  // a row per spectrum of series().spectra(), in its order
  QLabel* statusLabel = nullptr;
  QTimer* timer = nullptr;

 signals:
  // Nothing waits any more: every file found has been taken.
  void loaded();

 private:
  QWidget* BuildControls();
  QWidget* BuildCharts();
  QTableWidget* BuildTable();
  void StartTimer();
  QChartView* AddChart(view::SeriesChart* chart);
  void FillScales();
  void Queue(const std::string& path);
  void Redraw();
  void ShowStatus();
  void AlignCharts();
  void FillTable();
  void ExportTable();

  std::string folder_;
  std::optional<FolderWatch> watch_;
  FileVersions versions_;
  std::vector<std::string> files_;  // every file queued, in the order first seen
  std::deque<std::string> waiting_;
  bool firstLook_ = true;
  std::vector<std::string> unreadable_;  // "name: why" of the files that could not be read
  PressureSeries series_;
  std::unique_ptr<QtUserPrompt> prompt_;
  ConvertContext context_;
};

// Opens a series window on `folder` (watched) or on `files` with the
// standard and scale "NAME[:SCALE]" (empty: the first standard with its
// default scale); null and the reason when the standard is unknown or the
// folder cannot be watched.
SeriesWindow* OpenSeriesWindow(const QString& folder, const QString& pressure, QString* why = nullptr,
                               QWidget* parent = nullptr);
SeriesWindow* OpenSeriesWindow(const QStringList& files, const QString& pressure, QString* why = nullptr,
                               QWidget* parent = nullptr);

// `vantor --series FOLDER [--pressure NAME[:SCALE]] [--guess-pressure GPA]
// [--screenshot OUT.png]`, the arguments checked: the window on the folder
// until it is closed, or with --screenshot its picture after the first
// load. The exit status.
int RunSeriesWindow(const WindowArguments& arguments);

}  // namespace vantor::ui
