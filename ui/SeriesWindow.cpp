// SPDX-License-Identifier: GPL-3.0-or-later
// The series window's widgets, its watch of the folder and its handlers.
// Reading and fitting a spectrum takes a few milliseconds, so files are
// taken on the window's own thread, a budget's worth per turn of the timer.
#include "ui/SeriesWindow.h"

#include <QChartView>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdlib>
#include <utility>

#include "analysis/PressureReport.h"
#include "analysis/Standards.h"
#include "base/FileAccess.h"
#include "base/TextRoutines.h"
#include "ui/EntryText.h"
#include "ui/QtUserPrompt.h"
#include "ui/SpectrumViewer.h"
#include "ui/VectorState.h"
#include "view/SeriesChart.h"

namespace vantor::ui {
namespace {

QString FileName(const std::string& path) {
  return QFileInfo(FromCore(path)).fileName();
}

// The curve of a spectrum: its element, or one curve for files of one spectrum.
QString CurveName(const SpectrumPressure& p) {
  return p.element == 0 ? QString("spectra") : QString("element %1").arg(p.element);
}

// Measurement times on a common axis: minutes from the first, hours for a
// run longer than three.
struct TimeAxis {
  double origin = 0, unit = 60;
  std::array<double, 2> range{0, 1};
  QString title = "Time";
};

TimeAxis TimeAxisOf(const std::vector<SpectrumPressure>& spectra) {
  TimeAxis axis;
  std::optional<double> first, last;
  const SpectrumPressure* earliest = nullptr;
  for (const SpectrumPressure& p : spectra) {
    const auto t = MeasurementSeconds(p);
    if (!t) continue;
    if (!first || *t < *first) first = t, earliest = &p;
    if (!last || *t > *last) last = t;
  }
  if (!first) return axis;
  axis.origin = *first;
  axis.unit = *last - *first > 3 * 3600 ? 3600 : 60;
  axis.range = {0, (*last - *first) / axis.unit};
  axis.title = QString(axis.unit == 60 ? "Minutes" : "Hours") + " from " + FromCore(earliest->date) + " " +
               FromCore(earliest->time);
  return axis;
}

enum class Quantity { Pressure, Temperature, Load };

// The points of one quantity by curve; a spectrum without the value (no
// pressure, a temperature assumed, no press load, no date) is left out.
std::vector<view::SeriesCurve> CurvesOf(const std::vector<SpectrumPressure>& spectra, const TimeAxis& axis,
                                        Quantity quantity) {
  std::vector<view::SeriesCurve> curves;
  std::vector<std::size_t> elements;  // of each curve
  for (std::size_t i = 0; i < spectra.size(); ++i) {
    const SpectrumPressure& p = spectra[i];
    const auto t = MeasurementSeconds(p);
    if (!t || !p.ok()) continue;
    view::SeriesPoint point{(*t - axis.origin) / axis.unit, 0, 0, static_cast<int>(i)};
    if (quantity == Quantity::Pressure) {
      point.y = p.pressureGPa.value, point.sigma = p.pressureGPa.sigma;
    } else if (quantity == Quantity::Temperature) {
      if (p.temperatureSource == TemperatureSource::Assumed) continue;
      point.y = p.temperatureK;
    } else {
      if (p.pressLoad == 0) continue;
      point.y = p.pressLoad;
    }
    auto at = std::lower_bound(elements.begin(), elements.end(), p.element);
    const auto c = at - elements.begin();
    if (at == elements.end() || *at != p.element) {
      elements.insert(at, p.element);
      curves.insert(curves.begin() + c, view::SeriesCurve{CurveName(p), {}});
    }
    curves[static_cast<std::size_t>(c)].points.push_back(point);
  }
  return curves;
}

QStringList RowCells(const SpectrumPressure& p) {
  const QString element = p.element == 0 ? QString() : QString::number(p.element);
  const QString time = FromCore(p.date + " " + p.time).trimmed();
  const QString load = p.pressLoad == 0 ? QString() : QString::number(p.pressLoad);
  if (!p.ok()) return {FileName(p.file), element, time, "", load, "", "", "", FromCore(p.error)};
  std::string warnings;
  for (const std::string& w : p.warnings) warnings += (warnings.empty() ? "" : "; ") + w;
  return {FileName(p.file),
          element,
          time,
          FromCore(TemperatureText(p)),
          load,
          FromCore(EdgeText(p)),
          FromCore(VolumeRatioText(p)),
          FromCore(PressureText(p)),
          FromCore(warnings)};
}

}  // namespace

SeriesWindow::SeriesWindow(const QString& folder, const QStringList& files, PressureRequest request, QWidget* parent)
    : QWidget(parent, Qt::Window),
      folder_(ToCore(folder)),
      series_(request, RunSettings{}),
      prompt_(std::make_unique<QtUserPrompt>(this, nullptr)),
      context_(*prompt_) {
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle("Vantor - series" + (folder.isEmpty() ? QString() : " - " + folder));
  auto* splitter = new QSplitter(Qt::Vertical, this);
  splitter->addWidget(BuildCharts());
  splitter->addWidget(BuildTable());
  splitter->setSizes({560, 240});
  statusLabel = new QLabel(this);
  statusLabel->setWordWrap(true);
  auto* hint = new QLabel("Click a point, or double-click a row, to open its spectrum", this);
  hint->setEnabled(false);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(BuildControls());
  layout->addWidget(splitter, 1);
  layout->addWidget(statusLabel);
  layout->addWidget(hint);
  resize(1150, 900);

  connect(table, &QTableWidget::cellDoubleClicked, this, [this](int row) { OpenSpectrum(row); });
  for (view::SeriesChart* chart : {pressureChart, temperatureChart, loadChart}) {
    connect(chart, &view::SeriesChart::pointClicked, this, [this](int row) { OpenSpectrum(row); });
    connect(
        chart, &QChart::plotAreaChanged, this, [this] { AlignCharts(); }, Qt::QueuedConnection);
  }

  for (const QString& file : files) Queue(ToCore(file));
  if (!folder_.empty()) {
    // The watch starts before the folder is listed, so that no file can
    // arrive unseen in between.
    watch_.emplace(folder_, SeriesPatterns(), std::getenv("VANTOR_WATCH_POLL") != nullptr);
    std::string why;
    for (const std::string& path : SeriesFilesOf(folder_, why)) Queue(path);
  }
  StartTimer();
}

// The first look as soon as the window is up, then one twice a second.
void SeriesWindow::StartTimer() {
  timer = new QTimer(this);
  timer->setInterval(500);
  connect(timer, &QTimer::timeout, this, [this] { Refresh(); });
  timer->start();
  Redraw();
  QTimer::singleShot(0, this, [this] { Refresh(); });
}

SeriesWindow::~SeriesWindow() = default;

// Pressure over temperature over press load, their times one above the other.
QWidget* SeriesWindow::BuildCharts() {
  pressureChart = new view::SeriesChart("P (GPa)");
  temperatureChart = new view::SeriesChart("T (K)");
  loadChart = new view::SeriesChart("Load (ton)");
  auto* charts = new QWidget(this);
  auto* stack = new QVBoxLayout(charts);
  stack->setContentsMargins(0, 0, 0, 0);
  stack->setSpacing(0);
  pressureView = AddChart(pressureChart);
  temperatureView = AddChart(temperatureChart);
  loadView = AddChart(loadChart);
  stack->addWidget(pressureView, 3);
  stack->addWidget(temperatureView, 2);
  stack->addWidget(loadView, 2);
  return charts;
}

QTableWidget* SeriesWindow::BuildTable() {
  table = new QTableWidget(0, 9, this);
  table->setHorizontalHeaderLabels({"File", "Element", "Time", "T", "Press load", "a", "V/V0", "P", "Warnings"});
  table->verticalHeader()->setVisible(false);
  table->setWordWrap(false);
  table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6);
  table->horizontalHeader()->setStretchLastSection(true);
  table->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table->setSelectionBehavior(QAbstractItemView::SelectRows);
  return table;
}

QChartView* SeriesWindow::AddChart(view::SeriesChart* chart) {
  auto* view = new QChartView(chart, this);
  view->setRenderHint(QPainter::Antialiasing);
  view->setMinimumHeight(150);
  return view;
}

QWidget* SeriesWindow::BuildControls() {
  auto* bar = new QWidget(this);
  auto* row = new QHBoxLayout(bar);
  row->setContentsMargins(0, 0, 0, 0);
  standardBox = new QComboBox(bar);
  for (const Standard& s : Standards())
    if (!s.pressureStandard.empty()) standardBox->addItem(FromCore(s.pressureStandard), FromCore(s.name));
  standardBox->setCurrentIndex(standardBox->findData(FromCore(series_.request().standard->name)));
  scaleBox = new QComboBox(bar);
  FillScales();
  scaleBox->setCurrentIndex(scaleBox->findData(FromCore(series_.request().scale->name)));
  auto* standardLabel = new QLabel("&Standard:", bar);
  standardLabel->setBuddy(standardBox);
  auto* scaleLabel = new QLabel("S&cale:", bar);
  scaleLabel->setBuddy(scaleBox);
  guessBox = new QLineEdit(bar);
  guessBox->setPlaceholderText("any");
  guessBox->setMaximumWidth(70);
  guessBox->setToolTip("Look for the standard's peaks near this pressure, as pressure --guess-pressure does");
  auto* guessLabel = new QLabel("&Near:", bar);
  guessLabel->setBuddy(guessBox);
  exportButton = new QPushButton("&Export table...", bar);
  for (QWidget* w : std::initializer_list<QWidget*>{standardLabel, standardBox, scaleLabel, scaleBox, guessLabel,
                                                    guessBox, new QLabel("GPa", bar), exportButton})
    row->addWidget(w);
  row->addStretch(1);
  connect(standardBox, &QComboBox::activated, this, [this] {
    FillScales();
    ApplyChoice();
  });
  connect(scaleBox, &QComboBox::activated, this, [this] { ApplyChoice(); });
  connect(guessBox, &QLineEdit::editingFinished, this, [this] { ApplyChoice(); });
  connect(exportButton, &QPushButton::clicked, this, [this] { ExportTable(); });
  return bar;
}

// The chosen standard's scales, its default first.
void SeriesWindow::FillScales() {
  const Standard* standard = FindStandard(ToCore(standardBox->currentData().toString()));
  scaleBox->clear();
  if (standard == nullptr) return;
  const PressureScale* preset = FindScale(standard->pressureStandard, "");
  for (const std::string_view name : ScaleNames(standard->pressureStandard)) {
    const bool isDefault = preset != nullptr && preset->name == name;
    scaleBox->addItem(FromCore(name) + (isDefault ? " (default)" : ""), FromCore(name));
  }
}

void SeriesWindow::ApplyChoice() {
  const StandardChoice choice =
      ChooseStandard(ToCore(standardBox->currentData().toString()), ToCore(scaleBox->currentData().toString()));
  const QString guessText = guessBox->text().trimmed();
  const auto guess = EntryNumber(guessText);
  if (!choice.ok() || (!guessText.isEmpty() && !guess)) {
    statusLabel->setText("Near: '" + guessText + "' is not a pressure in GPa");
    return;
  }
  PressureRequest request = series_.request();
  request.standard = choice.standard, request.scale = choice.scale;
  if (request.guessPressureGPa == guess && choice.scale == series_.request().scale) return;  // nothing new
  request.guessPressureGPa = guess;
  series_ = PressureSeries(request, RunSettings{});
  unreadable_.clear();
  waiting_.assign(files_.begin(), files_.end());
  Refresh();
}

void SeriesWindow::Queue(const std::string& path) {
  if (!versions_.Take(path)) return;
  if (std::find(files_.begin(), files_.end(), path) == files_.end()) files_.push_back(path);
  if (std::find(waiting_.begin(), waiting_.end(), path) == waiting_.end()) waiting_.push_back(path);
}

void SeriesWindow::Refresh(std::chrono::milliseconds budget) {
  if (watch_ && watch_->ok())
    for (const std::string& name : watch_->Wait(std::chrono::milliseconds(0))) Queue(JoinPath(folder_, name));
  if (waiting_.empty()) {
    if (std::exchange(firstLook_, false)) emit loaded();  // an empty folder is loaded too
    return;
  }
  firstLook_ = false;
  ClearUpperVectorState();
  QElapsedTimer clock;
  clock.start();
  do {
    const std::string path = waiting_.front();
    waiting_.pop_front();
    std::erase_if(unreadable_, [&](const std::string& u) { return u.starts_with(path + ": "); });
    const SourcePressure source = series_.Take(path);
    if (!source.read)
      unreadable_.push_back(path + ": " + std::string(StatusMessage(source.read.status)) + " (" + source.read.why +
                            ")");
  } while (!waiting_.empty() && clock.elapsed() < budget.count());
  Redraw();
  if (waiting_.empty())
    emit loaded();
  else
    QTimer::singleShot(0, this, [this] { Refresh(); });  // the rest after the events that wait
}

void SeriesWindow::Redraw() {
  const auto& spectra = series_.spectra();
  const TimeAxis axis = TimeAxisOf(spectra);
  auto temperatures = CurvesOf(spectra, axis, Quantity::Temperature);
  auto loads = CurvesOf(spectra, axis, Quantity::Load);
  // A run whose records give no press load (or temperature) needs no empty
  // chart; the time's title goes under the lowest chart only.
  const bool withTemperatures = !temperatures.empty(), withLoads = !loads.empty();
  pressureChart->SetCurves(CurvesOf(spectra, axis, Quantity::Pressure),
                           withTemperatures || withLoads ? QString() : axis.title, axis.range);
  temperatureChart->SetCurves(std::move(temperatures), withLoads ? QString() : axis.title, axis.range);
  loadChart->SetCurves(std::move(loads), axis.title, axis.range);
  temperatureView->setVisible(withTemperatures);
  loadView->setVisible(withLoads);
  FillTable();
  ShowStatus();
}

void SeriesWindow::ShowStatus() {
  const auto& spectra = series_.spectra();
  const auto withPressure = std::count_if(spectra.begin(), spectra.end(), [](const auto& p) { return p.ok(); });
  const auto undated =
      std::count_if(spectra.begin(), spectra.end(), [](const auto& p) { return p.ok() && !MeasurementSeconds(p); });
  QString status = QString("%1 files, %2 spectra, %3 with a pressure (%4, %5)")
                       .arg(files_.size())
                       .arg(spectra.size())
                       .arg(withPressure)
                       .arg(FromCore(series_.request().scale->standard), FromCore(series_.request().scale->name));
  if (undated > 0) status += QString(", %1 without a measurement date (in the table only)").arg(undated);
  if (!waiting_.empty()) status += QString("; %1 files still to read").arg(waiting_.size());
  if (!folder_.empty())
    status += watching() ? "; watching " + FromCore(folder_) : "; cannot watch " + FromCore(folder_);
  // The first few files that could not be read, so that the charts keep their room.
  constexpr std::size_t kShown = 3;
  for (std::size_t i = 0; i < std::min(kShown, unreadable_.size()); ++i) status += "\n" + FromCore(unreadable_[i]);
  if (unreadable_.size() > kShown) status += QString("\n... and %1 more").arg(unreadable_.size() - kShown);
  statusLabel->setText(status);
}

// A time reads straight down the stack of the charts shown.
void SeriesWindow::AlignCharts() {
  std::vector<view::SeriesChart*> shown;
  for (QChartView* v : {pressureView, temperatureView, loadView})
    if (v->isVisible()) shown.push_back(static_cast<view::SeriesChart*>(v->chart()));
  view::SeriesChart::AlignPlotAreas(shown);
}

void SeriesWindow::FillTable() {
  const auto& spectra = series_.spectra();
  table->setRowCount(static_cast<int>(spectra.size()));
  for (int row = 0; row < table->rowCount(); ++row) {
    const SpectrumPressure& p = spectra[static_cast<std::size_t>(row)];
    const QStringList cells = RowCells(p);
    for (int column = 0; column < cells.size(); ++column) {
      auto* item = new QTableWidgetItem(cells[column]);
      if (column == 0) item->setToolTip(FromCore(p.file));
      table->setItem(row, column, item);
    }
  }
  table->resizeColumnsToContents();
}

bool SeriesWindow::WriteTable(const QString& path, QString* why) const {
  std::string reason;
  if (ReplaceFileAtomically(ToCore(path), series_.Table(), &reason)) return true;
  if (why != nullptr) *why = FromCore(reason);
  return false;
}

void SeriesWindow::ExportTable() {
  const QString start = folder_.empty() ? QString("pressures.csv") : QDir(FromCore(folder_)).filePath("pressures.csv");
  const QString path = QFileDialog::getSaveFileName(this, "Export table", start, "CSV table (*.csv)");
  if (path.isEmpty()) return;
  if (QString why; !WriteTable(path, &why))
    QMessageBox::warning(this, "Vantor", "The table could not be written.\n" + path + "\n" + why);
}

void SeriesWindow::OpenSpectrum(int row) {
  const auto& spectra = series_.spectra();
  if (row < 0 || static_cast<std::size_t>(row) >= spectra.size()) return;
  table->selectRow(row);
  const SpectrumPressure& p = spectra[static_cast<std::size_t>(row)];
  OpenViewer({FromCore(p.element == 0 ? p.file : p.file + ":" + std::to_string(p.element))}, context_, this);
}

}  // namespace vantor::ui
