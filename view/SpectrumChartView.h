// SPDX-License-Identifier: GPL-3.0-or-later
// The chart on screen: drag a rectangle to zoom, the wheel zooms the x axis
// around the pointer, Shift+drag marks the region of interest (a Shift+click
// clears it), the right button steps back out. Reports the x value under
// the pointer for the readout.
#pragma once

#include <QChartView>
#include <optional>

#include "view/SpectrumChart.h"

namespace vantor::view {

class SpectrumChartView : public QChartView {
  Q_OBJECT
 public:
  // Takes ownership of the chart.
  explicit SpectrumChartView(SpectrumChart* chart, QWidget* parent = nullptr);
  SpectrumChart* spectrumChart() const { return chart_; }

 signals:
  void pointerMoved(double x);  // on the chart's current axis
  void pointerLeft();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  std::optional<double> XAt(QPoint viewPosition) const;

  SpectrumChart* chart_;
  std::optional<double> regionStart_;
  QPoint regionPress_;
};

}  // namespace vantor::view
