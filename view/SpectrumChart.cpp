// SPDX-License-Identifier: GPL-3.0-or-later
// Building the chart's series and axes.
#include "view/SpectrumChart.h"

#include <QAreaSeries>
#include <QLegendMarker>
#include <QLineSeries>
#include <QLogValueAxis>
#include <QValueAxis>
#include <algorithm>

namespace vantor::view {
namespace {

// Ticks at round values (multiples of 1, 2 or 5 times a power of ten) for
// whatever range a zoom leaves; the log axis marks its decades by itself.
QValueAxis* LinearAxis(QObject* parent, int ticks) {
  auto* axis = new QValueAxis(parent);
  axis->setLabelFormat("%g");
  axis->setTickType(QValueAxis::TicksDynamic);
  axis->setTickAnchor(0);
  QObject::connect(axis, &QValueAxis::rangeChanged, axis,
                   [axis, ticks](qreal min, qreal max) { axis->setTickInterval(TickStep(max - min, ticks)); });
  return axis;
}

QList<QPointF> SeriesPoints(const std::vector<ChartPoint>& points) {
  QList<QPointF> list;
  list.reserve(static_cast<qsizetype>(points.size()));
  for (const auto& p : points) list.append(QPointF(p.x, p.y));
  return list;
}

}  // namespace

SpectrumChart::SpectrumChart(std::vector<ChartSpectrum> spectra, QGraphicsItem* parent)
    : QChart(parent), spectra_(std::move(spectra)) {
  setBackgroundRoundness(0);
  legend()->setAlignment(Qt::AlignTop);
  connect(this, &QChart::plotAreaChanged, this, [this] { PlaceTicks(); });
  Rebuild();
}

QString SpectrumChart::AxisTitle(ChartAxis axis) {
  switch (axis) {
    case ChartAxis::Channel:
      return QStringLiteral("Channel");
    case ChartAxis::Energy:
      return QStringLiteral("Energy (keV)");
    case ChartAxis::DSpacing:
      return QStringLiteral("d (\u00C5)");
  }
  return {};
}

std::vector<ChartAxis> SpectrumChart::AvailableAxes() const {
  std::vector<ChartAxis> axes;
  for (const ChartAxis axis : {ChartAxis::Channel, ChartAxis::Energy, ChartAxis::DSpacing})
    if (std::any_of(spectra_.begin(), spectra_.end(), [axis](const auto& s) { return AxisAvailable(s, axis); }))
      axes.push_back(axis);
  if (axes.empty()) axes.push_back(ChartAxis::Channel);
  return axes;
}

std::vector<const ChartSpectrum*> SpectrumChart::Hidden() const {
  std::vector<const ChartSpectrum*> hidden;
  for (const auto& s : spectra_)
    if (!AxisAvailable(s, axis_)) hidden.push_back(&s);
  return hidden;
}

void SpectrumChart::SetView(ChartAxis axis, bool log) {
  axis_ = axis;
  log_ = log;
  Rebuild();
}

void SpectrumChart::Rebuild() {
  removeAllSeries();
  regionSeries_ = nullptr;
  peakSeries_.clear();
  lineColours_.assign(spectra_.size(), QColor());
  region_.reset();
  for (QAbstractAxis* old : axes()) {
    removeAxis(old);
    delete old;
  }
  xAxis_ = LinearAxis(this, 10);
  xAxis_->setTitleText(AxisTitle(axis_));
  connect(xAxis_, &QValueAxis::rangeChanged, this, [this] { PlaceTicks(); });
  if (log_) {
    auto* y = new QLogValueAxis(this);
    y->setLabelFormat("%g");
    y->setMinorTickCount(-1);  // the 2..9 ticks of every decade
    yAxis_ = y;
  } else {
    yAxis_ = LinearAxis(this, 8);
  }
  yAxis_->setTitleText(log_ ? QStringLiteral("Counts (log)") : QStringLiteral("Counts"));
  addAxis(xAxis_, Qt::AlignBottom);
  addAxis(yAxis_, Qt::AlignLeft);

  std::vector<ChartSpectrum> drawn;
  // The elements of one file are named by their numbers under the file's
  // name, so that ten of them fit in the legend.
  const bool oneFile = !only_ && spectra_.size() > 1 &&
                       std::all_of(spectra_.begin(), spectra_.end(),
                                   [this](const auto& s) { return s.element > 0 && s.path == spectra_.front().path; });
  setTitle(oneFile ? QString::fromLocal8Bit(spectra_.front().name).section(':', 0, 0) : QString());
  for (std::size_t i = 0; i < spectra_.size(); ++i) {
    const ChartSpectrum& spectrum = spectra_[i];
    if (only_ && *only_ != i) continue;
    const auto points = ChartPoints(spectrum, axis_, log_);
    if (points.empty()) continue;
    auto* series = new QLineSeries(this);
    series->setName(oneFile ? QString(":%1").arg(spectrum.element) : QString::fromLocal8Bit(spectrum.name));
    series->replace(SeriesPoints(points));
    addSeries(series);  // takes its colour from the theme
    QPen pen = series->pen();
    pen.setWidthF(1.2);
    series->setPen(pen);
    series->attachAxis(xAxis_);
    series->attachAxis(yAxis_);
    lineColours_[i] = pen.color();
    drawn.push_back(spectrum);
  }
  fullX_ = DefaultXRange(drawn, axis_);
  fullY_ = CountRange(drawn, log_);
  legend()->setVisible(!drawn.empty());
  DrawPeakMarks();
  ResetZoom();
  PlaceTicks();
  emit viewChanged();
  emit regionChanged();
}

void SpectrumChart::ResetZoom() {
  xAxis_->setRange(fullX_[0], fullX_[1]);
  yAxis_->setRange(fullY_[0], fullY_[1]);
}

ChartView SpectrumChart::View() const {
  const auto range = [](const QAbstractAxis* axis) {
    if (const auto* log = qobject_cast<const QLogValueAxis*>(axis)) return std::array{log->min(), log->max()};
    const auto* linear = static_cast<const QValueAxis*>(axis);
    return std::array{linear->min(), linear->max()};
  };
  const auto x = range(xAxis_), y = range(yAxis_);
  return {x[0], x[1], y[0], y[1]};
}

void SpectrumChart::ShowView(const ChartView& view) {
  xAxis_->setRange(view.x0, view.x1);
  yAxis_->setRange(view.y0, view.y1);
}

void SpectrumChart::CutToView() {
  const ChartView view = View();
  const auto lines = series();
  for (QAbstractSeries* abstract : lines) {
    auto* line = qobject_cast<QLineSeries*>(abstract);
    if (line == nullptr) continue;  // the region, cut below
    std::vector<ChartPoint> points;
    points.reserve(static_cast<std::size_t>(line->count()));
    for (const QPointF& p : line->points()) points.push_back({p.x(), p.y()});
    const auto parts = ClipToView(points, view, log_);
    line->replace(parts.empty() ? QList<QPointF>{} : SeriesPoints(parts[0]));
    // Further parts drawn alike, without legend entries of their own.
    for (std::size_t i = 1; i < parts.size(); ++i) {
      auto* more = new QLineSeries(this);
      more->replace(SeriesPoints(parts[i]));
      addSeries(more);
      more->setPen(line->pen());
      more->attachAxis(xAxis_);
      more->attachAxis(yAxis_);
      for (QLegendMarker* marker : legend()->markers(more)) marker->setVisible(false);
    }
  }
  if (!region_) return;
  const double x1 = std::max(std::min((*region_)[0], (*region_)[1]), view.x0);
  const double x2 = std::min(std::max((*region_)[0], (*region_)[1]), view.x1);
  region_ = x1 <= x2 ? std::optional(std::array{x1, x2}) : std::nullopt;
  DrawRegion({std::max(fullY_[0], view.y0), std::min(fullY_[1], view.y1)});
}

void SpectrumChart::SetRegion(std::optional<std::array<double, 2>> region) {
  region_ = region;
  DrawRegion(fullY_);
  emit regionChanged();
}

// The region is an area series over the band of counts given, the whole
// count range but in a cut picture; the plot area clips it when zoomed. Its
// legend entry is hidden.
void SpectrumChart::DrawRegion(std::array<double, 2> band) {
  if (regionSeries_ != nullptr) {
    removeSeries(regionSeries_);
    delete regionSeries_;
    regionSeries_ = nullptr;
  }
  if (!region_) return;
  const double x1 = (*region_)[0], x2 = (*region_)[1];
  auto* upper = new QLineSeries(this);
  auto* lower = new QLineSeries(this);
  upper->append({QPointF(x1, band[1]), QPointF(x2, band[1])});
  lower->append({QPointF(x1, band[0]), QPointF(x2, band[0])});
  regionSeries_ = new QAreaSeries(upper, lower);
  upper->setParent(regionSeries_);
  lower->setParent(regionSeries_);
  regionSeries_->setName(QStringLiteral("Region"));
  regionSeries_->setBrush(QColor(255, 200, 0, 70));
  regionSeries_->setPen(QPen(QColor(230, 160, 0), 1));
  addSeries(regionSeries_);
  regionSeries_->attachAxis(xAxis_);
  regionSeries_->attachAxis(yAxis_);
  for (QLegendMarker* marker : legend()->markers(regionSeries_)) marker->setVisible(false);
}

std::optional<double> SpectrumChart::XAt(QPointF position) const {
  const QRectF area = plotArea();
  if (!area.contains(position) || area.width() <= 0) return std::nullopt;
  const double fraction = (position.x() - area.left()) / area.width();
  return xAxis_->min() + fraction * (xAxis_->max() - xAxis_->min());
}

}  // namespace vantor::view
