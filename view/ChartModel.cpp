// SPDX-License-Identifier: GPL-3.0-or-later
// The chart's points, readout and region sums.
#include "view/ChartModel.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>

#include "base/DSpacing.h"
#include "base/RecordFields.h"
#include "base/TextRoutines.h"
#include "formats/SourceRead.h"

namespace vantor {

ChartSpectrum ChartSpectrumOf(const std::string& path, std::string kind, const SpectrumRecord& record) {
  ChartSpectrum s;
  s.path = path;
  const auto slash = path.find_last_of("\\/");
  s.name = slash == std::string::npos ? path : path.substr(slash + 1);
  s.kind = std::move(kind);
  s.header = record.Head;
  const int channels = std::clamp<int>(record.Data.DataNumber, 0, kMaxChannels);
  s.counts.assign(record.Data.Count.begin(), record.Data.Count.begin() + channels);
  return s;
}

std::vector<ChartSpectrum> LoadChartSpectra(const std::vector<std::string>& paths, ConvertContext& context) {
  std::vector<ChartSpectrum> spectra;
  const RunSettings settings = WithoutChanges(context.settings);
  for (const auto& argument : paths) {
    const ElementPath wanted = SplitElement(argument);
    const SourceRead read = ReadSpectra(wanted.path, "", settings);
    if (!read.result) {
      ReportReadFailure(context.prompt, wanted.path, read.result);
      continue;
    }
    const std::size_t count = read.spectra.size();
    if (wanted.element > count) {
      context.prompt.FileMessage(argument, "File Error",
                                 "the file holds " + std::to_string(count) + (count == 1 ? " spectrum" : " spectra"));
      continue;
    }
    for (std::size_t k = 0; k < count; ++k) {
      if (wanted.element != 0 && k + 1 != wanted.element) continue;
      ChartSpectrum s = ChartSpectrumOf(wanted.path, std::string(read.format->name), read.spectra[k].record);
      s.extra = read.spectra[k].extra;
      if (count > 1) {
        s.element = k + 1;
        s.name += ":" + std::to_string(k + 1);
      }
      spectra.push_back(std::move(s));
    }
  }
  return spectra;
}

bool AxisAvailable(const ChartSpectrum& spectrum, ChartAxis axis) {
  const MeasureCondition& m = spectrum.header.Measure;
  switch (axis) {
    case ChartAxis::Channel:
      return true;
    case ChartAxis::Energy:
      return HasCalibration(m);
    case ChartAxis::DSpacing:
      return HasCalibration(m) && SinTheta(m.TwoTheta) > 0;
  }
  return false;
}

std::optional<double> XOfChannel(const ChartSpectrum& spectrum, ChartAxis axis, int index) {
  return XOfChannelNumber(spectrum, axis, index + 1);
}

std::optional<double> XOfChannelNumber(const ChartSpectrum& spectrum, ChartAxis axis, double number) {
  const MeasureCondition& m = spectrum.header.Measure;
  std::optional<double> x;
  switch (axis) {
    case ChartAxis::Channel:
      x = number;
      break;
    case ChartAxis::Energy:
      x = EnergyOfChannel(number, m.EGC);
      break;
    case ChartAxis::DSpacing:
      x = DSpacing(EnergyOfChannel(number, m.EGC), SinTheta(m.TwoTheta), kHcExact);
      break;
  }
  if (x && !std::isfinite(*x)) x.reset();
  return x;
}

double YOfCount(std::int32_t count, bool log) {
  return log && count <= 0 ? kLogFloor : count;
}

std::vector<ChartPoint> ChartPoints(const ChartSpectrum& spectrum, ChartAxis axis, bool log) {
  std::vector<ChartPoint> points;
  if (!AxisAvailable(spectrum, axis)) return points;
  points.reserve(spectrum.counts.size());
  for (std::size_t i = 0; i < spectrum.counts.size(); ++i)
    if (const auto x = XOfChannel(spectrum, axis, static_cast<int>(i)))
      points.push_back({*x, YOfCount(spectrum.counts[i], log)});
  return points;
}

std::array<double, 2> DefaultXRange(const std::vector<ChartSpectrum>& spectra, ChartAxis axis) {
  double low = std::numeric_limits<double>::infinity(), high = -low;
  for (const auto& s : spectra)
    for (const auto& p : ChartPoints(s, axis, false)) {
      low = std::min(low, p.x);
      high = std::max(high, p.x);
    }
  if (low > high) return {0, 1};
  if (axis == ChartAxis::DSpacing && low > 0) high = std::min(high, 10 * low);
  if (low == high) return {low - 0.5, high + 0.5};
  return {low, high};
}

std::array<double, 2> CountRange(const std::vector<ChartSpectrum>& spectra, bool log) {
  constexpr std::int32_t kNone = std::numeric_limits<std::int32_t>::max();
  std::int32_t low = kNone, high = 0, lowestPositive = kNone;
  for (const auto& s : spectra)
    for (const std::int32_t c : s.counts) {
      low = std::min(low, c);
      high = std::max(high, c);
      if (c > 0) lowestPositive = std::min(lowestPositive, c);
    }
  if (!log) return {double(std::min(low, 0)), std::max(1.0, high * 1.05)};
  // Without a count of 0 or less the axis starts at the decade below the lowest one.
  const bool floorUsed = low <= 0 || lowestPositive == kNone;
  const double floor = floorUsed ? kLogFloor : std::pow(10.0, std::floor(std::log10(double(lowestPositive))));
  return {floor, std::max(floor * 10, high * 2.0)};
}

double TickStep(double span, int ticks) {
  const double raw = span / std::max(ticks, 1);
  if (!(raw > 0) || !std::isfinite(raw)) return 1;
  const double power = std::pow(10.0, std::floor(std::log10(raw)));
  for (const double m : {1.0, 2.0, 5.0})
    if (m * power >= raw) return m * power;
  return 10 * power;
}

namespace {

// The part of the segment a-b inside the view (Liang and Barsky's
// parametric clipping), in the coordinates given; none when it misses.
std::optional<std::array<ChartPoint, 2>> ClipSegment(ChartPoint a, ChartPoint b, const ChartView& v) {
  double t0 = 0, t1 = 1;
  const double dx = b.x - a.x, dy = b.y - a.y;
  const std::array<std::array<double, 2>, 4> edges{
      {{-dx, a.x - v.x0}, {dx, v.x1 - a.x}, {-dy, a.y - v.y0}, {dy, v.y1 - a.y}}};
  for (const auto& [p, q] : edges) {
    if (p == 0) {
      if (q < 0) return std::nullopt;  // parallel to this edge, outside it
      continue;
    }
    const double t = q / p;
    if (p < 0) {
      t0 = std::max(t0, t);
    } else {
      t1 = std::min(t1, t);
    }
    if (t0 > t1) return std::nullopt;
  }
  return std::array<ChartPoint, 2>{ChartPoint{a.x + t0 * dx, a.y + t0 * dy}, ChartPoint{a.x + t1 * dx, a.y + t1 * dy}};
}

}  // namespace

std::vector<std::vector<ChartPoint>> ClipToView(const std::vector<ChartPoint>& line, const ChartView& view, bool logY) {
  const auto in = [logY](ChartPoint p) { return logY ? ChartPoint{p.x, std::log10(p.y)} : p; };
  const auto out = [logY](ChartPoint p) { return logY ? ChartPoint{p.x, std::pow(10.0, p.y)} : p; };
  const ChartView v = logY ? ChartView{view.x0, view.x1, std::log10(view.y0), std::log10(view.y1)} : view;
  std::vector<std::vector<ChartPoint>> parts;
  bool open = false;  // the last part goes on with the next segment
  if (line.size() == 1 && line[0].x >= v.x0 && line[0].x <= v.x1) {
    const ChartPoint p = in(line[0]);
    if (p.y >= v.y0 && p.y <= v.y1) parts.push_back({line[0]});
  }
  for (std::size_t i = 1; i < line.size(); ++i) {
    const ChartPoint a = in(line[i - 1]), b = in(line[i]);
    const auto kept = ClipSegment(a, b, v);
    if (!kept) {
      open = false;
      continue;
    }
    if (!open) parts.push_back({out((*kept)[0])});
    parts.back().push_back(out((*kept)[1]));
    // The part goes on only when the segment ended inside.
    open = (*kept)[1].x == b.x && (*kept)[1].y == b.y;
  }
  return parts;
}

std::optional<Readout> ReadoutAt(const ChartSpectrum& spectrum, ChartAxis axis, double x) {
  if (!AxisAvailable(spectrum, axis)) return std::nullopt;
  int nearest = -1;
  double distance = 0;
  for (std::size_t i = 0; i < spectrum.counts.size(); ++i) {
    const auto xi = XOfChannel(spectrum, axis, static_cast<int>(i));
    if (!xi) continue;
    if (nearest < 0 || std::abs(*xi - x) < distance) {
      nearest = static_cast<int>(i);
      distance = std::abs(*xi - x);
    }
  }
  if (nearest < 0) return std::nullopt;
  Readout r;
  r.channel = nearest + 1;
  r.count = spectrum.counts[nearest];
  r.energy =
      AxisAvailable(spectrum, ChartAxis::Energy) ? XOfChannel(spectrum, ChartAxis::Energy, nearest) : std::nullopt;
  r.dSpacing =
      AxisAvailable(spectrum, ChartAxis::DSpacing) ? XOfChannel(spectrum, ChartAxis::DSpacing, nearest) : std::nullopt;
  return r;
}

RegionSums SumRegion(const ChartSpectrum& spectrum, ChartAxis axis, double x1, double x2) {
  RegionSums sums;
  if (!AxisAvailable(spectrum, axis)) return sums;
  const double low = std::min(x1, x2), high = std::max(x1, x2);
  double weighted = 0;
  for (std::size_t i = 0; i < spectrum.counts.size(); ++i) {
    const auto x = XOfChannel(spectrum, axis, static_cast<int>(i));
    if (!x || *x < low || *x > high) continue;
    ++sums.channels;
    sums.counts += spectrum.counts[i];
    weighted += *x * spectrum.counts[i];
  }
  if (sums.counts != 0) sums.centroid = weighted / static_cast<double>(sums.counts);
  return sums;
}

}  // namespace vantor
