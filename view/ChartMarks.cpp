// SPDX-License-Identifier: GPL-3.0-or-later
// The marks over the spectra: dots at fitted peaks, ticks with their hkl
// where a standard's reflections fall, and the spectra picked out of an
// overlay.
#include <QFont>
#include <QGraphicsLineItem>
#include <QGraphicsSimpleTextItem>
#include <QLegendMarker>
#include <QPen>
#include <QScatterSeries>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

#include "view/SpectrumChart.h"

namespace vantor::view {
namespace {

const QColor kPeakColour(200, 30, 30);
const QColor kEscapeColour(120, 120, 120);
const QColor kTickColour(20, 110, 40);
constexpr double kTickLength = 14;  // pixels
constexpr double kLabelGap = 3;     // least space between two hkl labels, pixels

}  // namespace

bool SpectrumChart::Drawn(std::size_t spectrum) const {
  return spectrum < spectra_.size() && (!only_ || *only_ == spectrum) && AxisAvailable(spectra_[spectrum], axis_);
}

void SpectrumChart::SetPeakMarks(std::vector<PeakMark> marks) {
  peakMarks_ = std::move(marks);
  DrawPeakMarks();
}

void SpectrumChart::SetTicks(std::vector<TickMark> ticks) {
  ticks_ = std::move(ticks);
  PlaceTicks();
}

void SpectrumChart::ShowOnly(std::optional<std::size_t> spectrum) {
  if (spectrum && *spectrum >= spectra_.size()) spectrum.reset();
  only_ = spectrum;
  Rebuild();
}

void SpectrumChart::SetCalibration(std::size_t spectrum, const std::array<double, 3>& egc, double twoThetaDeg) {
  if (spectrum >= spectra_.size()) return;
  spectra_[spectrum].header.Measure.EGC = egc;
  spectra_[spectrum].header.Measure.TwoTheta = twoThetaDeg;
  Rebuild();
}

bool SpectrumChart::Zoomed() const {
  return xAxis_->min() > fullX_[0] || xAxis_->max() < fullX_[1];
}

// A series per spectrum and kind (peak, escape peak), without legend
// entries: the dots explain themselves beside the table. One spectrum's
// dots are red; in an overlay each takes its line's colour.
void SpectrumChart::DrawPeakMarks() {
  for (QScatterSeries* old : peakSeries_) {
    removeSeries(old);
    delete old;
  }
  peakSeries_.clear();
  const bool several = std::any_of(peakMarks_.begin(), peakMarks_.end(),
                                   [this](const PeakMark& m) { return m.spectrum != peakMarks_.front().spectrum; });
  for (std::size_t spectrum = 0; spectrum < spectra_.size(); ++spectrum)
    for (const bool escape : {false, true}) {
      auto* dots = new QScatterSeries(this);
      dots->setMarkerShape(escape ? QScatterSeries::MarkerShapeTriangle : QScatterSeries::MarkerShapeCircle);
      dots->setMarkerSize(9);
      dots->setColor(escape ? kEscapeColour : several ? lineColours_[spectrum] : kPeakColour);
      dots->setBorderColor(several && !escape ? QColor(Qt::black) : QColor(Qt::white));
      for (const PeakMark& mark : peakMarks_) {
        if (mark.spectrum != spectrum || mark.escape != escape || !Drawn(spectrum)) continue;
        const ChartSpectrum& s = spectra_[spectrum];
        const auto x = XOfChannelNumber(s, axis_, mark.channel);
        const auto index = static_cast<std::ptrdiff_t>(std::lround(mark.channel)) - 1;
        if (!x || index < 0 || index >= static_cast<std::ptrdiff_t>(s.counts.size())) continue;
        dots->append(*x, YOfCount(s.counts[static_cast<std::size_t>(index)], log_));
      }
      if (dots->count() == 0) {  // no series without marks: the spectra alone are the chart's series
        delete dots;
        continue;
      }
      addSeries(dots);
      dots->attachAxis(xAxis_);
      dots->attachAxis(yAxis_);
      for (QLegendMarker* marker : legend()->markers(dots)) marker->setVisible(false);
      peakSeries_.push_back(dots);
    }
}

// Ticks hang from the top of the plot area, their labels below them, so
// they stay in view whatever the counts' zoom; a label that would run into
// the one before it is left out (its tick stays).
void SpectrumChart::PlaceTicks() {
  for (QGraphicsItem* item : tickItems_) delete item;
  tickItems_.clear();
  if (xAxis_ == nullptr) return;
  const QRectF area = plotArea();
  const double x0 = xAxis_->min(), x1 = xAxis_->max();
  if (area.width() <= 0 || !(x1 > x0)) return;
  QFont font;
  font.setPointSizeF(font.pointSizeF() * 0.85);
  double lastRight = -1e9;
  for (const TickMark& tick : ticks_) {
    if (!Drawn(tick.spectrum)) continue;
    const auto x = XOfChannelNumber(spectra_[tick.spectrum], axis_, tick.channel);
    if (!x || *x < x0 || *x > x1) continue;
    const double px = area.left() + (*x - x0) / (x1 - x0) * area.width();
    QPen pen(kTickColour, tick.weak ? 1 : 1.6);
    if (tick.weak) pen.setStyle(Qt::DashLine);
    auto* line = new QGraphicsLineItem(px, area.top(), px, area.top() + kTickLength, this);
    line->setPen(pen);
    line->setZValue(10);
    tickItems_.push_back(line);
    auto* label = new QGraphicsSimpleTextItem(tick.label, this);
    label->setFont(font);
    label->setBrush(kTickColour);
    const double w = label->boundingRect().width();
    const double left = std::min(px - w / 2, area.right() - w);
    label->setPos(left, area.top() + kTickLength + 1);
    label->setZValue(10);
    tickItems_.push_back(label);
    if (left < lastRight + kLabelGap) {
      label->setVisible(false);
      continue;
    }
    lastRight = left + w;
  }
}

}  // namespace vantor::view
