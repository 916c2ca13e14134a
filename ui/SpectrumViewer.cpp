// SPDX-License-Identifier: GPL-3.0-or-later
// The viewer window's widgets and handlers.
#include "ui/SpectrumViewer.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSplitter>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include "base/RecordFields.h"
#include "ui/EntryText.h"
#include "ui/PeaksPanel.h"
#include "ui/PressurePanel.h"
#include "view/ChartPicture.h"
#include "view/SpectrumChartView.h"

namespace vantor::ui {
namespace {

QString Number(double value, int decimals) {
  return QString::number(value, 'f', decimals);
}

QString SummaryText(const ChartSpectrum& s) {
  const SpectrumSummary sum = Summarize(s.counts, s.header.Measure);
  QString text = QString("%1 channels, %2 counts in all, largest %3 at channel %4")
                     .arg(sum.channels)
                     .arg(sum.totalCounts)
                     .arg(sum.maxCount)
                     .arg(sum.maxChannel);
  if (sum.energyRange)
    text += QString(", %1 to %2 keV").arg(Number((*sum.energyRange)[0], 3), Number((*sum.energyRange)[1], 3));
  else
    text += ", no energy calibration";
  return text;
}

}  // namespace

QString AxisValue(ChartAxis axis, double x) {
  switch (axis) {
    case ChartAxis::Channel:
      return Number(x, 1);
    case ChartAxis::Energy:
      return Number(x, 3) + " keV";
    case ChartAxis::DSpacing:
      return Number(x, 4) + QString::fromUtf8(" \u00C5");
  }
  return {};
}

SpectrumViewer::SpectrumViewer(std::vector<ChartSpectrum> spectra, QWidget* parent) : QWidget(parent, Qt::Window) {
  setAttribute(Qt::WA_DeleteOnClose);
  const QString first = spectra.empty() ? QString() : FromCore(spectra.front().name);
  setWindowTitle(spectra.size() == 1 ? "Vantor - " + first : QString("Vantor - %1 spectra").arg(spectra.size()));
  chart = new view::SpectrumChart(std::move(spectra));
  chartView = new view::SpectrumChartView(chart, this);
  peaksPanel = new PeaksPanel(this);
  pressurePanel = new PressurePanel(this);
  tabs = new QTabWidget(this);
  tabs->addTab(BuildHeaderPanel(), "&Header");
  tabs->addTab(peaksPanel, "Pea&ks");
  tabs->addTab(pressurePanel, "Pressure");

  auto* splitter = new QSplitter(Qt::Horizontal, this);
  splitter->addWidget(chartView);
  splitter->addWidget(tabs);
  splitter->setStretchFactor(0, 1);
  splitter->setStretchFactor(1, 0);
  splitter->setSizes({730, 520});
  readoutLabel = new QLabel(this);
  regionLabel = new QLabel(this);
  regionLabel->setWordWrap(true);
  auto* hint = new QLabel(
      "Drag: zoom    Wheel: zoom around the pointer    Right click: zoom out    "
      "Shift+drag: region (Shift+click clears it)",
      this);
  hint->setEnabled(false);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(BuildControls());
  layout->addWidget(BuildAnalysisBar());
  layout->addWidget(splitter, 1);
  layout->addWidget(readoutLabel);
  layout->addWidget(regionLabel);
  layout->addWidget(hint);
  resize(1280, 800);
  Connect();
  ShowSpectrum(0);
  ShowReadoutHint();
  ShowRegion();
}

QWidget* SpectrumViewer::BuildControls() {
  auto* bar = new QWidget(this);
  auto* row = new QHBoxLayout(bar);
  row->setContentsMargins(0, 0, 0, 0);
  axisBox = new QComboBox(bar);
  FillAxes();
  auto* axisLabel = new QLabel("&X axis:", bar);
  axisLabel->setBuddy(axisBox);
  logBox = new QCheckBox("&Log counts", bar);
  resetButton = new QPushButton("&Reset zoom", bar);
  clearRegionButton = new QPushButton("&Clear region", bar);
  exportButton = new QPushButton("&Export picture...", bar);
  energyButton = new QPushButton("Calibrate e&nergy...", bar);
  twoThetaButton = new QPushButton("Calibrate &2\u03B8...", bar);
  loadButton = new QPushButton("Appl&y calibration file...", bar);
  loadButton->setToolTip("Use a calibration saved before (from a standard measured apart) for these spectra");
  for (QWidget* w :
       std::initializer_list<QWidget*>{axisLabel, axisBox, logBox, resetButton, clearRegionButton, exportButton})
    row->addWidget(w);
  row->addSpacing(16);
  row->addWidget(energyButton);
  row->addWidget(twoThetaButton);
  row->addWidget(loadButton);
  row->addStretch(1);
  return bar;
}

QWidget* SpectrumViewer::BuildAnalysisBar() {
  auto* bar = new QWidget(this);
  auto* row = new QHBoxLayout(bar);
  row->setContentsMargins(0, 0, 0, 0);
  elementBox = new QComboBox(bar);
  elementBox->addItem("All spectra");
  for (const auto& s : chart->spectra()) elementBox->addItem(FromCore(s.name));
  auto* elementLabel = new QLabel("Sho&w:", bar);
  elementLabel->setBuddy(elementBox);
  const bool several = chart->spectra().size() > 1;
  elementLabel->setVisible(several);
  elementBox->setVisible(several);
  auto* snrLabel = new QLabel("Min &SNR:", bar);
  snrLabel->setBuddy(peaksPanel->minSnrBox);
  auto* standardLabel = new QLabel("S&tandard:", bar);
  standardLabel->setBuddy(pressurePanel->standardBox);
  auto* scaleLabel = new QLabel("Sc&ale:", bar);
  scaleLabel->setBuddy(pressurePanel->scaleBox);
  for (QWidget* w : std::initializer_list<QWidget*>{elementLabel, elementBox}) row->addWidget(w);
  if (several) row->addSpacing(16);
  for (QWidget* w : std::initializer_list<QWidget*>{snrLabel, peaksPanel->minSnrBox, peaksPanel->findButton})
    row->addWidget(w);
  row->addSpacing(16);
  for (QWidget* w : std::initializer_list<QWidget*>{standardLabel, pressurePanel->standardBox, scaleLabel,
                                                    pressurePanel->scaleBox, pressurePanel->pressureButton})
    row->addWidget(w);
  row->addStretch(1);
  return bar;
}

QWidget* SpectrumViewer::BuildHeaderPanel() {
  auto* panel = new QWidget(this);
  auto* column = new QVBoxLayout(panel);
  column->setContentsMargins(0, 0, 0, 0);
  spectrumBox = new QComboBox(panel);
  for (const auto& s : chart->spectra()) spectrumBox->addItem(FromCore(s.name), FromCore(s.path));
  headerTable = new QTableWidget(0, 2, panel);
  headerTable->setHorizontalHeaderLabels({"Field", "Value"});
  headerTable->verticalHeader()->setVisible(false);
  headerTable->horizontalHeader()->setStretchLastSection(true);
  headerTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
  headerTable->setSelectionBehavior(QAbstractItemView::SelectRows);
  headerTable->verticalHeader()->setDefaultSectionSize(headerTable->fontMetrics().height() + 6);
  summaryLabel = new QLabel(panel);
  summaryLabel->setWordWrap(true);
  column->addWidget(spectrumBox);
  column->addWidget(headerTable, 1);
  column->addWidget(summaryLabel);
  return panel;
}

void SpectrumViewer::Connect() {
  connect(axisBox, &QComboBox::currentIndexChanged, this, [this] { ApplyView(); });
  connect(logBox, &QCheckBox::toggled, this, [this] { ApplyView(); });
  connect(resetButton, &QPushButton::clicked, this, [this] { chart->ResetZoom(); });
  connect(clearRegionButton, &QPushButton::clicked, this, [this] { chart->SetRegion(std::nullopt); });
  connect(exportButton, &QPushButton::clicked, this, [this] { Export(); });
  connect(spectrumBox, &QComboBox::currentIndexChanged, this, [this](int i) { ShowSpectrum(i); });
  connect(chart, &view::SpectrumChart::regionChanged, this, [this] { ShowRegion(); });
  connect(chartView, &view::SpectrumChartView::pointerMoved, this, [this](double x) { ShowReadout(x); });
  connect(chartView, &view::SpectrumChartView::pointerLeft, this, [this] { ShowReadoutHint(); });
  connect(peaksPanel, &PeaksPanel::findRequested, this, [this] { FindPeaks(); });
  connect(peaksPanel, &PeaksPanel::peakChosen, this, [this](int row) { ZoomToPeak(row); });
  connect(loadButton, &QPushButton::clicked, this, [this] {
    const QString path = QFileDialog::getOpenFileName(this, "Apply calibration file", {}, "Calibration file (*.json)");
    QString why;
    if (!path.isEmpty() && !ApplyCalibrationFile(path, &why))
      QMessageBox::warning(this, "Vantor", "The calibration could not be applied.\n" + why);
  });
  connect(energyButton, &QPushButton::clicked, this, [this] { OpenEnergyCalibration(); });
  connect(twoThetaButton, &QPushButton::clicked, this, [this] { OpenTwoThetaCalibration(); });
  connect(elementBox, &QComboBox::currentIndexChanged, this, [this](int i) { ShowElement(i); });
  connect(pressurePanel, &PressurePanel::standardChanged, this, [this] {
    pressurePanel->ClearResults();
    UpdateTicks();
  });
  connect(pressurePanel, &PressurePanel::pressureRequested, this, [this] { ComputePressure(); });
  connect(pressurePanel, &PressurePanel::spectrumChosen, this,
          [this](std::size_t i) { spectrumBox->setCurrentIndex(static_cast<int>(i)); });
}

const ChartSpectrum* SpectrumViewer::Current() const {
  const int i = spectrumBox->currentIndex();
  return i < 0 ? nullptr : &chart->spectra()[static_cast<std::size_t>(i)];
}

void SpectrumViewer::ApplyView() {
  chart->SetView(static_cast<ChartAxis>(axisBox->currentData().toInt()), logBox->isChecked());
  ShowReadoutHint();
}

void SpectrumViewer::ShowSpectrum(int index) {
  headerTable->setRowCount(0);
  summaryLabel->clear();
  if (index < 0) return;
  const ChartSpectrum& s = chart->spectra()[static_cast<std::size_t>(index)];
  // The record's fields, then the file's values that have no field (UTF-8).
  const auto fields = RecordFields(s.header);
  headerTable->setRowCount(static_cast<int>(fields.size() + s.extra.size()));
  int row = 0;
  const auto add = [&](const QString& name, const QString& value) {
    headerTable->setItem(row, 0, new QTableWidgetItem(name));
    headerTable->setItem(row++, 1, new QTableWidgetItem(value));
  };
  for (const auto& field : fields)
    add(QString::fromLatin1(field.name), QString::fromStdString(FieldValueText(field.value)));
  for (const auto& [name, value] : s.extra) add(QString::fromStdString(name), QString::fromStdString(value));
  headerTable->resizeColumnToContents(0);
  // A file's own long value names (MED's) would push the values out of sight.
  headerTable->setColumnWidth(
      0, std::min(headerTable->columnWidth(0), headerTable->fontMetrics().averageCharWidth() * 24));
  summaryLabel->setText(SummaryText(s));
  pressurePanel->ShowDetails(static_cast<std::size_t>(index));
  UpdateTicks();
}

void SpectrumViewer::ShowReadout(double x) {
  const ChartSpectrum* s = Current();
  const auto r = s == nullptr ? std::nullopt : ReadoutAt(*s, chart->axis(), x);
  if (!r) {
    readoutLabel->setText(AxisValue(chart->axis(), x));
    return;
  }
  QString text = QString("%1:  channel %2").arg(FromCore(s->name)).arg(r->channel);
  if (r->energy) text += "    energy " + AxisValue(ChartAxis::Energy, *r->energy);
  if (r->dSpacing) text += "    d " + AxisValue(ChartAxis::DSpacing, *r->dSpacing);
  readoutLabel->setText(text + QString("    count %1").arg(r->count));
}

void SpectrumViewer::ShowReadoutHint() {
  readoutLabel->setText("Point at the chart to read channel, energy, d and count");
}

void SpectrumViewer::ShowRegion() {
  const auto region = chart->region();
  if (!region) {
    regionLabel->setText("Region: none (Shift+drag across the chart to mark one)");
    return;
  }
  const ChartAxis axis = chart->axis();
  QStringList parts;
  for (const auto& s : chart->spectra()) {
    if (!AxisAvailable(s, axis)) continue;
    const RegionSums sums = SumRegion(s, axis, (*region)[0], (*region)[1]);
    parts << QString("%1: %2 counts in %3 channels, centroid %4")
                 .arg(FromCore(s.name))
                 .arg(sums.counts)
                 .arg(sums.channels)
                 .arg(sums.centroid ? AxisValue(axis, *sums.centroid) : QString("none"));
  }
  const double low = std::min((*region)[0], (*region)[1]), high = std::max((*region)[0], (*region)[1]);
  regionLabel->setText(QString("Region %1 to %2:  ").arg(AxisValue(axis, low), AxisValue(axis, high)) +
                       parts.join(";  "));
}

void SpectrumViewer::Export() {
  const ChartSpectrum* s = Current();
  const QString proposed = s == nullptr ? "spectrum.png" : QFileInfo(FromCore(s->path)).completeBaseName() + ".png";
  QString selected;
  QString path = QFileDialog::getSaveFileName(this, "Export picture",
                                              QFileInfo(FromCore(s ? s->path : "")).dir().filePath(proposed),
                                              "PNG picture (*.png);;SVG picture (*.svg)", &selected);
  if (path.isEmpty()) return;
  const QString suffix = QFileInfo(path).suffix().toLower();
  if (suffix != "png" && suffix != "svg") path += selected.startsWith("SVG") ? ".svg" : ".png";
  QString why;
  if (!view::SaveChartPicture(*chart, path, &why))
    QMessageBox::warning(this, "Vantor", "The picture could not be written.\n" + path + "\n" + why);
}

SpectrumViewer* OpenViewer(const QStringList& paths, ConvertContext& context, QWidget* parent) {
  std::vector<std::string> files;
  for (const QString& path : paths) files.push_back(ToCore(path));
  auto spectra = LoadChartSpectra(files, context);
  if (spectra.empty()) return nullptr;
  auto* viewer = new SpectrumViewer(std::move(spectra), parent);
  viewer->show();
  return viewer;
}

}  // namespace vantor::ui
