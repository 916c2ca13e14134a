// SPDX-License-Identifier: GPL-3.0-or-later
// Mouse handling of the chart on screen.
#include "view/SpectrumChartView.h"

#include <QMouseEvent>
#include <QWheelEvent>

namespace vantor::view {

SpectrumChartView::SpectrumChartView(SpectrumChart* chart, QWidget* parent) : QChartView(chart, parent), chart_(chart) {
  setRenderHint(QPainter::Antialiasing);
  setRubberBand(QChartView::RectangleRubberBand);
  setMouseTracking(true);
  viewport()->setMouseTracking(true);
}

std::optional<double> SpectrumChartView::XAt(QPoint viewPosition) const {
  return chart_->XAt(chart_->mapFromScene(mapToScene(viewPosition)));
}

void SpectrumChartView::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && (event->modifiers() & Qt::ShiftModifier)) {
    regionStart_ = XAt(event->position().toPoint());
    regionPress_ = event->position().toPoint();
    event->accept();
    return;
  }
  QChartView::mousePressEvent(event);
}

void SpectrumChartView::mouseMoveEvent(QMouseEvent* event) {
  const auto x = XAt(event->position().toPoint());
  if (x) emit pointerMoved(*x);
  if (regionStart_) {
    if (x) chart_->SetRegion(std::array<double, 2>{*regionStart_, *x});
    event->accept();
    return;
  }
  QChartView::mouseMoveEvent(event);
}

void SpectrumChartView::mouseReleaseEvent(QMouseEvent* event) {
  if (regionStart_ && event->button() == Qt::LeftButton) {
    const auto x = XAt(event->position().toPoint());
    // A click without a drag clears the region.
    if (event->position().toPoint() == regionPress_ || !x)
      chart_->SetRegion(std::nullopt);
    else
      chart_->SetRegion(std::array<double, 2>{*regionStart_, *x});
    regionStart_.reset();
    event->accept();
    return;
  }
  QChartView::mouseReleaseEvent(event);
}

// Zooms the x axis by a quarter around the pointer, the counts axis kept.
void SpectrumChartView::wheelEvent(QWheelEvent* event) {
  const QPointF at = chart_->mapFromScene(mapToScene(event->position().toPoint()));
  const QRectF area = chart_->plotArea();
  if (event->angleDelta().y() == 0 || !area.contains(at)) {
    event->ignore();
    return;
  }
  const double factor = event->angleDelta().y() > 0 ? 0.8 : 1.25;
  const double left = at.x() - (at.x() - area.left()) * factor;
  chart_->zoomIn(QRectF(left, area.top(), area.width() * factor, area.height()));
  event->accept();
}

void SpectrumChartView::leaveEvent(QEvent* event) {
  emit pointerLeft();
  QChartView::leaveEvent(event);
}

}  // namespace vantor::view
