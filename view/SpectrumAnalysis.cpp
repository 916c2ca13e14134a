// SPDX-License-Identifier: GPL-3.0-or-later
#include "view/SpectrumAnalysis.h"

#include <algorithm>
#include <cmath>

#include "base/DSpacing.h"

namespace vantor {
namespace {

// How far either side of a peak's centre a zoom to it reaches, in widths.
constexpr double kPeakSpanWidths = 3;

std::optional<double> EnergyAt(const ChartSpectrum& spectrum, ChartAxis axis, double x) {
  const MeasureCondition& m = spectrum.header.Measure;
  switch (axis) {
    case ChartAxis::Channel:
      return EnergyOfChannel(x, m.EGC);
    case ChartAxis::Energy:
      return x;
    case ChartAxis::DSpacing: {
      const double s = SinTheta(m.TwoTheta);
      if (!(s > 0) || !(x > 0)) return std::nullopt;
      return kHcExact / (2 * x * s);  // Bragg's law
    }
  }
  return std::nullopt;
}

}  // namespace

SpectrumRecord RecordOf(const ChartSpectrum& spectrum) {
  SpectrumRecord record;
  record.Head = spectrum.header;
  const std::size_t n = std::min<std::size_t>(spectrum.counts.size(), kMaxChannels);
  std::copy_n(spectrum.counts.begin(), n, record.Data.Count.begin());
  record.Data.DataNumber = static_cast<std::int16_t>(n);
  return record;
}

std::optional<std::pair<double, double>> EnergyRangeOf(const ChartSpectrum& spectrum, ChartAxis axis, double x0,
                                                       double x1) {
  if (!AxisAvailable(spectrum, ChartAxis::Energy) || !AxisAvailable(spectrum, axis)) return std::nullopt;
  const auto e0 = EnergyAt(spectrum, axis, x0), e1 = EnergyAt(spectrum, axis, x1);
  if (!e0 || !e1 || !std::isfinite(*e0) || !std::isfinite(*e1) || *e0 == *e1) return std::nullopt;
  return std::pair{std::min(*e0, *e1), std::max(*e0, *e1)};
}

PeakSearch PeaksOfSpectrum(const ChartSpectrum& spectrum, double minSnr, ChartAxis axis,
                           std::optional<std::array<double, 2>> xRange) {
  PeakOptions options;
  options.minSnr = minSnr;
  const MeasureCondition& m = spectrum.header.Measure;
  if (xRange) options.energyRangeKeV = EnergyRangeOf(spectrum, axis, (*xRange)[0], (*xRange)[1]);
  PeakSearch search = FindPeaks(spectrum.counts, m.EGC, m.TwoTheta, options);
  if (xRange && !options.energyRangeKeV && axis == ChartAxis::Channel) {
    const double low = std::min((*xRange)[0], (*xRange)[1]), high = std::max((*xRange)[0], (*xRange)[1]);
    std::erase_if(search.peaks, [&](const PeakResult& p) { return p.channel.value < low || p.channel.value > high; });
  }
  return search;
}

SpectrumPressure PressureOfChartSpectrum(const ChartSpectrum& spectrum, const PressureRequest& request) {
  return PressureOfSpectrum(RecordOf(spectrum), spectrum.path, spectrum.element, request);
}

std::vector<ReflectionMark> MarksOfStandard(const ChartSpectrum& spectrum, const Standard& standard, const Cell& cell) {
  const MeasureCondition& m = spectrum.header.Measure;
  return ReflectionMarks(standard, cell, m.TwoTheta, m.EGC, spectrum.counts.size());
}

std::optional<std::array<double, 2>> PeakSpan(const ChartSpectrum& spectrum, ChartAxis axis, const PeakResult& peak) {
  const double centre = peak.channel.value;
  double width = peak.fwhm.value;  // in channels below
  if (peak.fwhmInKeV) {
    const auto& egc = spectrum.header.Measure.EGC;
    const double slope = egc[1] + 2 * egc[2] * centre;  // keV per channel at the centre
    if (!(slope > 0)) return std::nullopt;
    width /= slope;
  }
  if (!(width > 0) || !std::isfinite(width)) width = 5;
  const auto x0 = XOfChannelNumber(spectrum, axis, centre - kPeakSpanWidths * width);
  const auto x1 = XOfChannelNumber(spectrum, axis, centre + kPeakSpanWidths * width);
  if (!x0 || !x1) return std::nullopt;
  return std::array{std::min(*x0, *x1), std::max(*x0, *x1)};
}

}  // namespace vantor
