// SPDX-License-Identifier: GPL-3.0-or-later
// Error bars are painted by one item over the plot area rather than drawn
// as a line series per bar: a run of a few thousand spectra would
// otherwise make as many series, each with its own graphics items.
#include "view/SeriesChart.h"

#include <QGraphicsItem>
#include <QGraphicsLayout>
#include <QPainter>
#include <QScatterSeries>
#include <QValueAxis>
#include <algorithm>
#include <cmath>
#include <limits>

namespace vantor::view {

namespace {

// 1, 2 or 5 times a power of ten, the nearest at or above `step`.
double RoundStep(double step) {
  if (!(step > 0)) return 1;
  const double power = std::pow(10.0, std::floor(std::log10(step)));
  for (const double m : {1.0, 2.0, 5.0})
    if (m * power >= step) return m * power;
  return 10 * power;
}

}  // namespace

class SeriesChart::ErrorBars : public QGraphicsItem {
 public:
  explicit ErrorBars(SeriesChart* chart) : QGraphicsItem(chart), chart_(chart) {}
  QRectF boundingRect() const override { return chart_->plotArea(); }
  void Changed() {
    prepareGeometryChange();
    update();
  }
  void paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*) override {
    painter->setClipRect(chart_->plotArea());
    constexpr double kCap = 3;  // half the width of a bar's ends, in pixels
    for (std::size_t c = 0; c < chart_->curves_.size(); ++c) {
      painter->setPen(QPen(CurveColor(c), 1.2));
      QScatterSeries* series = chart_->scatters_[c];
      for (const SeriesPoint& p : chart_->curves_[c].points) {
        if (!(p.sigma > 0)) continue;
        const QPointF low = chart_->mapToPosition({p.x, p.y - p.sigma}, series);
        const QPointF high = chart_->mapToPosition({p.x, p.y + p.sigma}, series);
        painter->drawLine(low, high);
        painter->drawLine(low - QPointF(kCap, 0), low + QPointF(kCap, 0));
        painter->drawLine(high - QPointF(kCap, 0), high + QPointF(kCap, 0));
      }
    }
  }

 private:
  SeriesChart* chart_;
};

SeriesChart::SeriesChart(const QString& yTitle, QGraphicsItem* parent) : QChart(parent) {
  xAxis_ = new QValueAxis(this);
  yAxis_ = new QValueAxis(this);
  yAxis_->setTitleText(yTitle);
  addAxis(xAxis_, Qt::AlignBottom);
  addAxis(yAxis_, Qt::AlignLeft);
  legend()->setAlignment(Qt::AlignTop);
  xAxis_->setLabelFormat("%.4g");
  yAxis_->setLabelFormat("%.4g");
  setMargins(QMargins(kMargin, kMargin, kMargin, kMargin));
  bars_ = new ErrorBars(this);
  bars_->setZValue(10);  // over the points, under the legend
  connect(this, &QChart::plotAreaChanged, this, [this] { bars_->Changed(); });
  connect(xAxis_, &QValueAxis::rangeChanged, this, [this] { bars_->Changed(); });
  connect(yAxis_, &QValueAxis::rangeChanged, this, [this] { bars_->Changed(); });
}

QColor SeriesChart::CurveColor(std::size_t index) {
  // Ten colours that stay apart on white (the "tab10" cycle of matplotlib).
  static const std::array<QColor, 10> colors{QColor(0x1f77b4), QColor(0xff7f0e), QColor(0x2ca02c), QColor(0xd62728),
                                             QColor(0x9467bd), QColor(0x8c564b), QColor(0xe377c2), QColor(0x7f7f7f),
                                             QColor(0xbcbd22), QColor(0x17becf)};
  return colors[index % colors.size()];
}

void SeriesChart::SetCurves(std::vector<SeriesCurve> curves, const QString& xTitle, std::array<double, 2> xRange) {
  removeAllSeries();  // deletes them
  scatters_.clear();
  curves_ = std::move(curves);
  double low = std::numeric_limits<double>::infinity(), high = -low;
  for (std::size_t c = 0; c < curves_.size(); ++c) {
    auto* series = new QScatterSeries(this);
    series->setName(curves_[c].name);
    series->setColor(CurveColor(c));
    series->setBorderColor(CurveColor(c).darker(130));
    series->setMarkerSize(7);
    QList<QPointF> points;
    points.reserve(static_cast<qsizetype>(curves_[c].points.size()));
    for (const SeriesPoint& p : curves_[c].points) {
      points.append({p.x, p.y});
      low = std::min(low, p.y - p.sigma), high = std::max(high, p.y + p.sigma);
    }
    series->replace(points);
    addSeries(series);
    series->attachAxis(xAxis_);
    series->attachAxis(yAxis_);
    connect(series, &QScatterSeries::clicked, this, [this, series](QPointF value) { PointClicked(series, value); });
    scatters_.push_back(series);
  }
  if (!(low <= high)) low = 0, high = 1;
  const double pad = high > low ? 0.08 * (high - low) : std::max(1.0, 0.05 * std::abs(high));
  yAxis_->setRange(low - pad, high + pad);
  yAxis_->applyNiceNumbers();
  const double xPad = xRange[1] > xRange[0] ? 0.03 * (xRange[1] - xRange[0]) : 1;
  xAxis_->setRange(xRange[0] - xPad, xRange[1] + xPad);
  // Ticks at round times from the first spectrum's, however far the range
  // reaches before it.
  xAxis_->setTickType(QValueAxis::TicksDynamic);
  xAxis_->setTickAnchor(0);
  xAxis_->setTickInterval(RoundStep((xRange[1] - xRange[0] + 2 * xPad) / 8));
  xAxis_->setTitleText(xTitle);
  legend()->setVisible(curves_.size() > 1);
  bars_->Changed();
}

void SeriesChart::AlignPlotAreas(std::span<SeriesChart* const> charts) {
  // Each laid out now, so that its plot area belongs to its margins: the
  // labels' width is where the plot area starts less the margin.
  std::vector<double> labels;
  for (SeriesChart* c : charts) {
    if (c->layout() != nullptr) c->layout()->activate();
    labels.push_back(c->plotArea().left() - c->margins().left());
  }
  const double widest = labels.empty() ? 0 : *std::max_element(labels.begin(), labels.end());
  for (std::size_t i = 0; i < charts.size(); ++i) {
    const int wanted = kMargin + static_cast<int>(std::lround(widest - labels[i]));
    if (charts[i]->margins().left() != wanted) charts[i]->setMargins(QMargins(wanted, kMargin, kMargin, kMargin));
  }
}

std::optional<QPointF> SeriesChart::PositionOf(int row) {
  for (std::size_t c = 0; c < curves_.size(); ++c)
    for (const SeriesPoint& p : curves_[c].points)
      if (p.row == row) return mapToPosition({p.x, p.y}, scatters_[c]);
  return std::nullopt;
}

void SeriesChart::PointClicked(const QScatterSeries* series, QPointF value) {
  const auto c = static_cast<std::size_t>(std::find(scatters_.begin(), scatters_.end(), series) - scatters_.begin());
  if (c >= curves_.size()) return;
  for (const SeriesPoint& p : curves_[c].points)
    if (p.x == value.x() && p.y == value.y()) {
      emit pointClicked(p.row);
      return;
    }
}

}  // namespace vantor::view
