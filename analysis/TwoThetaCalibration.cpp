// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/TwoThetaCalibration.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>

#include "analysis/BraggFit.h"
#include "analysis/PeakSearch.h"
#include "base/DSpacing.h"
#include "base/SpectrumRecord.h"
#include "base/TextFormat.h"

namespace vantor {
namespace {

constexpr double kHalfHc = kHcExact / 2;  // keV x angstrom
constexpr double kRadian = std::numbers::pi / 180;
// A peak explains a reflection within half its width of it; reflections
// closer than a width give one peak whose centre belongs to neither.
constexpr double kMatchWidths = 0.5;
constexpr double kOverlapWidths = 1.0;
// Reflections are listed down to the d the top of the spectrum reaches,
// but never below this: beyond it a standard's lines crowd into a
// continuum no detector resolves.
constexpr double kSmallestDA = 0.3;
constexpr int kMaxRounds = 8;

struct Peak {
  Measured energy;
  double fwhmKeV = 0;
};

// A reflection as a line: k = (hc / 2) / d, its energy at sin(theta) s
// being k / s. Reflections of the same d are one line.
struct Line {
  std::string hkl;
  double dA = 0;
  double k = 0;
};

double SinOf(double twoThetaDeg) {
  return std::sin(twoThetaDeg / 2 * kRadian);
}
double TwoThetaOf(double sinTheta) {
  return 2 * std::asin(sinTheta) / kRadian;
}

std::vector<Peak> UsablePeaks(const TwoThetaSpectrum& s, double minSnr) {
  PeakOptions options;
  options.minSnr = minSnr;
  std::vector<Peak> peaks;
  for (const PeakResult& p : FindPeaks(s.counts, s.egc, 0, options).peaks) {
    if (!p.fitted || p.escape || !p.energyKeV || !(p.energyKeV->sigma > 0) || !p.fwhmInKeV) continue;
    peaks.push_back({*p.energyKeV, p.fwhm.value});
  }
  return peaks;
}

// By k rising, that is by d falling.
std::vector<Line> LinesOf(const Standard& standard, double minDA) {
  std::vector<Line> lines;
  for (const Reflection& r : Reflections(standard, standard.ambient, std::max(minDA, kSmallestDA))) {
    if (!lines.empty() && std::abs(lines.back().dA - r.dA) <= 1e-9 * r.dA) {
      lines.back().hkl += "/" + r.hkl;
      continue;
    }
    lines.push_back({r.hkl, r.dA, kHalfHc / r.dA});
  }
  return lines;
}

struct Range {
  double low = 0, high = 0;  // keV
  bool Holds(double e) const { return e >= low && e <= high; }
};

struct Score {
  std::size_t explained = 0;
  double misfit = 0;  // sum of (distance / tolerance)^2 of the explained peaks
  bool operator<(const Score& o) const {
    return explained != o.explained ? explained < o.explained : misfit > o.misfit;
  }
};

// How well the lines at sin(theta) s explain the peaks: each peak by the
// line nearest to it.
Score ScoreAt(double s, const std::vector<Peak>& peaks, const std::vector<Line>& lines) {
  Score score;
  for (const Peak& p : peaks) {
    const double k = p.energy.value * s;
    const auto above = std::lower_bound(lines.begin(), lines.end(), k, [](const Line& l, double v) { return l.k < v; });
    double nearest = INFINITY;
    if (above != lines.end()) nearest = above->k / s - p.energy.value;
    if (above != lines.begin())
      nearest = std::min(std::abs(nearest), std::abs(std::prev(above)->k / s - p.energy.value));
    const double tolerance = kMatchWidths * p.fwhmKeV;
    if (std::abs(nearest) <= tolerance) {
      ++score.explained;
      score.misfit += (nearest / tolerance) * (nearest / tolerance);
    }
  }
  return score;
}

// Every angle within the window that puts some line exactly on some peak
// is a candidate; the one that explains the most peaks wins.
double SearchAngle(double startDeg, double searchDeg, const std::vector<Peak>& peaks, const std::vector<Line>& lines) {
  const double lowS = SinOf(std::max(startDeg - searchDeg, 1e-3)), highS = SinOf(startDeg + searchDeg);
  double bestS = SinOf(startDeg);
  Score best = ScoreAt(bestS, peaks, lines);
  for (const Peak& p : peaks) {
    for (const Line& l : lines) {
      const double s = l.k / p.energy.value;
      if (s < lowS || s > highS) continue;
      const Score score = ScoreAt(s, peaks, lines);
      if (best < score) best = score, bestS = s;
    }
  }
  return bestS;
}

// What became of each line within the spectrum at sin(theta) s.
struct LineFate {
  std::size_t line = 0;
  double energyKeV = 0;             // where it falls at s
  std::optional<std::size_t> peak;  // the peak that explains it
  std::string overlap;              // the other line's hkl when overlapped
};

double WidthNear(double e, const std::vector<Peak>& peaks) {
  const auto nearest = std::min_element(peaks.begin(), peaks.end(), [&](const Peak& a, const Peak& b) {
    return std::abs(a.energy.value - e) < std::abs(b.energy.value - e);
  });
  return nearest->fwhmKeV;
}

std::vector<LineFate> Assign(double s, const std::vector<Peak>& peaks, const std::vector<Line>& lines,
                             const Range& range) {
  std::vector<LineFate> fates;
  for (std::size_t l = 0; l < lines.size(); ++l) {
    const double e = lines[l].k / s;
    if (!range.Holds(e)) continue;
    LineFate fate{l, e, std::nullopt, {}};
    double best = INFINITY;
    for (std::size_t p = 0; p < peaks.size(); ++p) {
      const double distance = std::abs(peaks[p].energy.value - e);
      if (distance <= kMatchWidths * peaks[p].fwhmKeV && distance < best) best = distance, fate.peak = p;
    }
    fates.push_back(std::move(fate));
  }
  for (std::size_t i = 0; i + 1 < fates.size(); ++i) {
    LineFate &a = fates[i], &b = fates[i + 1];
    const bool close = b.energyKeV - a.energyKeV < kOverlapWidths * WidthNear(a.energyKeV, peaks);
    if (close || (a.peak && a.peak == b.peak)) {
      if (a.overlap.empty()) a.overlap = lines[b.line].hkl;
      b.overlap = lines[a.line].hkl;
    }
  }
  return fates;
}

bool SameAssignment(const std::vector<LineFate>& a, const std::vector<LineFate>& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const LineFate& x, const LineFate& y) {
    return x.line == y.line && x.peak == y.peak && x.overlap == y.overlap;
  });
}

std::string Where(const TwoThetaSpectrum& s) {
  return s.element == 0 ? s.file : s.file + " element " + std::to_string(s.element);
}

TwoThetaCalibration Failure(TwoThetaCalibration c, TwoThetaStatus status, std::string message) {
  c.status = status;
  c.message = std::move(message);
  return c;
}

struct Solved {
  std::vector<LineFate> fates;
  std::vector<BraggPoint> points;
  std::vector<std::size_t> fateOf;  // the fate of each point
  BraggSolution solution;
};

Solved Solve(double s, const std::vector<Peak>& peaks, const std::vector<Line>& lines, const Range& range) {
  Solved solved;
  solved.fates = Assign(s, peaks, lines, range);
  for (std::size_t f = 0; f < solved.fates.size(); ++f) {
    const LineFate& fate = solved.fates[f];
    if (!fate.peak || !fate.overlap.empty()) continue;
    solved.points.push_back({lines[fate.line].dA, peaks[*fate.peak].energy});
    solved.fateOf.push_back(f);
  }
  solved.solution = SolveBragg(solved.points, kMinReflections);
  return solved;
}

void Report(const Solved& solved, const std::vector<Line>& lines, TwoThetaCalibration& c) {
  std::vector<std::string> why(solved.fates.size());
  for (std::size_t f = 0; f < solved.fates.size(); ++f) {
    const LineFate& fate = solved.fates[f];
    why[f] = !fate.overlap.empty() ? "overlapped with " + fate.overlap : !fate.peak ? "not found" : "";
  }
  for (const BraggRejection& r : solved.solution.rejected)
    why[solved.fateOf[r.index]] = "beyond 3 sigma (" + FormatMask(r.sigmas, "0.0") + ")";
  const double cValue = solved.solution.fit.c.value;
  for (std::size_t f = 0; f < solved.fates.size(); ++f) {
    const Line& line = lines[solved.fates[f].line];
    if (!why[f].empty()) {
      c.leftOut.push_back({line.hkl, line.dA, why[f]});
      continue;
    }
    const auto at = std::find(solved.fateOf.begin(), solved.fateOf.end(), f);
    const Measured& e = solved.points[static_cast<std::size_t>(at - solved.fateOf.begin())].energyKeV;
    c.reflections.push_back({line.hkl, line.dA, e, e.value - cValue / line.dA});
  }
}

}  // namespace

TwoThetaCalibration CalibrateTwoTheta(const TwoThetaSpectrum& spectrum, const Standard& standard,
                                      const TwoThetaOptions& options) {
  TwoThetaCalibration c;
  c.file = spectrum.file, c.element = spectrum.element, c.fileTwoThetaDeg = spectrum.twoThetaDeg;
  if (std::all_of(spectrum.counts.begin(), spectrum.counts.end(), [](std::int32_t n) { return n == 0; }))
    return Failure(c, TwoThetaStatus::NoCounts, Where(spectrum) + " holds no counts");
  if (!HasEnergyCalibration(spectrum.egc, spectrum.counts.size()))
    return Failure(c, TwoThetaStatus::NoEnergyCalibration, Where(spectrum) + " has no energy calibration");
  const double start = options.guessDeg.value_or(spectrum.twoThetaDeg);
  if (!(start > 0 && start < 180))
    return Failure(c, TwoThetaStatus::NoStartingAngle,
                   Where(spectrum) + " gives no 2theta: a starting guess is needed");
  const std::vector<Peak> peaks = UsablePeaks(spectrum, options.minSnr);
  c.peaksFound = peaks.size();
  const Range range{EnergyOfChannel(1, spectrum.egc),
                    EnergyOfChannel(static_cast<double>(spectrum.counts.size()), spectrum.egc)};
  const std::vector<Line> lines = LinesOf(standard, kHalfHc / (range.high * SinOf(start + options.searchDeg)));
  if (peaks.empty() || lines.empty())
    return Failure(c, TwoThetaStatus::TooFewReflections,
                   "no peak of " + std::string(standard.name) + " in " + Where(spectrum));
  double s = SearchAngle(start, options.searchDeg, peaks, lines);
  Solved solved = Solve(s, peaks, lines, range);
  for (int round = 0; round < kMaxRounds && solved.solution.kept.size() >= kMinReflections; ++round) {
    s = kHalfHc / solved.solution.fit.c.value;
    Solved again = Solve(s, peaks, lines, range);
    const bool same = SameAssignment(again.fates, solved.fates);
    solved = std::move(again);
    if (same) break;
  }
  Report(solved, lines, c);
  if (solved.solution.kept.size() < kMinReflections) {
    return Failure(c, TwoThetaStatus::TooFewReflections,
                   FormatPlain(static_cast<double>(solved.solution.kept.size())) + " reflections of " +
                       std::string(standard.name) + " found in " + Where(spectrum) + " near 2theta " +
                       FormatPlain(start) + "; at least " + FormatPlain(static_cast<double>(kMinReflections)) +
                       " are needed");
  }
  const BraggFit& fit = solved.solution.fit;
  const double sinTheta = kHalfHc / fit.c.value;
  const double theta = std::asin(sinTheta);
  // d(2theta)/dc = -2 tan(theta) / c, in degrees.
  c.twoThetaDeg = {TwoThetaOf(sinTheta), 2 * std::tan(theta) * fit.c.sigma / fit.c.value / kRadian};
  c.degreesOfFreedom = fit.degreesOfFreedom;
  c.chiSquaredPerDegree = fit.degreesOfFreedom > 0 ? fit.chiSquared / fit.degreesOfFreedom : 0;
  return c;
}

std::vector<TwoThetaCalibration> CalibrateTwoTheta(std::span<const TwoThetaSpectrum> spectra, const Standard& standard,
                                                   const TwoThetaOptions& options) {
  std::vector<TwoThetaCalibration> results;
  for (const TwoThetaSpectrum& s : spectra) results.push_back(CalibrateTwoTheta(s, standard, options));
  return results;
}

}  // namespace vantor
