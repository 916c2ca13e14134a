// SPDX-License-Identifier: GPL-3.0-or-later
// One quantity of a series of spectra against time: a scatter of points
// per curve (an element of a multi-element detector) with their sigmas as
// error bars. The series window stacks three of them: pressure,
// temperature and press load. A click on a point names the caller's row.
#pragma once

#include <QChart>
#include <QColor>
#include <QString>
#include <array>
#include <optional>
#include <span>
#include <vector>

class QScatterSeries;
class QValueAxis;

namespace vantor::view {

struct SeriesPoint {
  double x = 0, y = 0;
  double sigma = 0;  // 0: no error bar
  int row = 0;       // the caller's, given back on a click
};

struct SeriesCurve {
  QString name;
  std::vector<SeriesPoint> points;
};

class SeriesChart : public QChart {
  Q_OBJECT
 public:
  explicit SeriesChart(const QString& yTitle, QGraphicsItem* parent = nullptr);

  // Replaces the curves, each in the colour of its place so that stacked
  // charts agree; x shows `xRange` (shared by the stack), y every point
  // with its bar.
  void SetCurves(std::vector<SeriesCurve> curves, const QString& xTitle, std::array<double, 2> xRange);
  const std::vector<SeriesCurve>& curves() const { return curves_; }

  // Where the point of `row` is drawn, in the chart's coordinates; none
  // when no curve has it.
  std::optional<QPointF> PositionOf(int row);

  static QColor CurveColor(std::size_t index);
  // Widens the left margins so that the plot areas of charts stacked one
  // over the other start at one x, whatever their axis labels' widths.
  static void AlignPlotAreas(std::span<SeriesChart* const> charts);

 signals:
  void pointClicked(int row);

 private:
  class ErrorBars;
  static constexpr int kMargin = 4;
  void PointClicked(const QScatterSeries* series, QPointF value);

  std::vector<SeriesCurve> curves_;
  std::vector<QScatterSeries*> scatters_;  // one per curve, owned by the chart
  QValueAxis* xAxis_ = nullptr;
  QValueAxis* yAxis_ = nullptr;
  ErrorBars* bars_ = nullptr;
};

}  // namespace vantor::view
