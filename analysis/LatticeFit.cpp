// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/LatticeFit.h"

#include <gsl/gsl_fit.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <memory>
#include <numeric>

#include "analysis/StandardLines.h"
#include "base/DSpacing.h"
#include "base/TextFormat.h"

namespace vantor {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// The search reaches no further than V/V0 = 0.6, where every scale is still a solid's,
// and a little beyond the edge at 0 GPa: 2 %, about the expansion of Au from 300 to
// 1300 K, so that a temperature taken too low still finds the peaks.
constexpr double kLeastVolumeRatio = 0.6;
constexpr double kExpansionMargin = 1.01;
// A guess narrows the search to this many GPa, or this fraction of it, either side.
constexpr double kGuessSpanGPa = 3, kGuessSpanFraction = 0.2;
// A peak answers a reflection within half its width or four sigmas of its centre.
constexpr double kMatchWidths = 0.3, kMatchSigmas = 4;
// Beyond three sigmas from where the others agree a reflection is dropped; the sigmas
// are the peaks' own, widened by the spread the reflections show among themselves.
constexpr double kDropSigmas = 3;
// Edges this far apart are different assignments; a second one scoring this close to
// the best makes the choice doubtful, and the result says so.
constexpr double kDistinctEdges = 0.01, kAmbiguousScore = 0.8;

struct Peak {
  double dA, dSigmaA, energyKeV, energySigmaKeV, fwhmKeV;
  bool escape;
  double ToleranceA() const {
    return dA * std::max(kMatchWidths * fwhmKeV / energyKeV, kMatchSigmas * energySigmaKeV / energyKeV);
  }
};

struct Line {
  const Reflection* reflection;
  double root;      // sqrt(h^2 + k^2 + l^2)
  double strength;  // expected, relative to the strongest line
};

struct Context {
  const Standard& standard;
  const PressureScale& scale;
  double sinTheta, lowKeV, topKeV;
  LatticeRange range;
  std::vector<Peak> peaks;
  std::vector<Reflection> reflections;  // the lines point into it
  std::vector<Line> lines;
  double EnergyKeV(double dA) const { return kHcExact / (2 * dA * sinTheta); }
  bool Visible(double dA) const {
    const double e = EnergyKeV(dA);
    return e >= lowKeV && e <= topKeV;
  }
};

std::string Kev(double energyKeV) {
  return FormatMask(energyKeV, "0.00") + " keV";
}

// The peak nearest to d, or none within its tolerance.
const Peak* Nearest(const std::vector<Peak>& peaks, double dA, bool withEscapes) {
  const Peak* best = nullptr;
  for (const Peak& p : peaks) {
    if (p.escape && !withEscapes) continue;
    const double distance = std::abs(p.dA - dA);
    if (distance <= p.ToleranceA() && (best == nullptr || distance < std::abs(best->dA - dA))) best = &p;
  }
  return best;
}

// How well the reflections at edge a meet peaks: each visible line near a peak scores
// up to its expected strength, less the farther off it is. The true edge, where every
// line sits on its peak and the strong ones above all, beats one that fits a few peaks
// of another phase with weak or faint lines.
double Score(const Context& c, double aA) {
  double score = 0;
  for (const Line& line : c.lines) {
    const double dA = aA / line.root;
    if (!c.Visible(dA)) continue;
    if (const Peak* p = Nearest(c.peaks, dA, false)) {
      const double off = (p->dA - dA) / p->ToleranceA();
      score += line.strength * (1 - off * off);
    }
  }
  return score;
}

// Every edge in the range at which some peak is some reflection: the best-scoring one,
// and the best of those more than 1 % away from it (another phase's lines can fit
// nearly as well where they are many).
struct EdgeChoice {
  double bestA = kNaN, bestScore = 0;
  double rivalA = kNaN, rivalScore = 0;
};

EdgeChoice BestEdges(const Context& c, const LatticeRange& range) {
  std::vector<std::pair<double, double>> scored;
  for (const Peak& p : c.peaks) {
    if (p.escape) continue;
    for (const Line& line : c.lines) {
      const double aA = p.dA * line.root;
      if (aA >= range.lowA && aA <= range.highA) scored.emplace_back(aA, Score(c, aA));
    }
  }
  EdgeChoice choice;
  for (const auto& [aA, score] : scored)
    if (score > choice.bestScore) choice.bestA = aA, choice.bestScore = score;
  for (const auto& [aA, score] : scored)
    if (std::abs(aA - choice.bestA) > kDistinctEdges * choice.bestA && score > choice.rivalScore)
      choice.rivalA = aA, choice.rivalScore = score;
  return choice;
}

struct Assigned {
  const Line* line;
  const Peak* peak;
  double EdgeA() const { return peak->dA * line->root; }
  double EdgeSigmaA() const { return peak->dSigmaA * line->root; }
};

struct Assignment {
  std::vector<Assigned> used;
  std::vector<DroppedReflection> dropped;
};

Assignment Assign(const Context& c, double aA) {
  Assignment out;
  for (const Line& line : c.lines) {
    const double dA = aA / line.root;
    if (!c.Visible(dA)) continue;
    const Peak* p = Nearest(c.peaks, dA, true);
    if (p != nullptr && p->escape) {
      out.dropped.push_back({line.reflection->hkl, "the peak at " + Kev(p->energyKeV) +
                                                       " looks like a germanium escape peak of a stronger one"});
    } else if (p != nullptr) {
      out.used.push_back({&line, p});
    } else if (!line.reflection->weak) {
      out.dropped.push_back({line.reflection->hkl, "no peak found near " + Kev(c.EnergyKeV(dA))});
    }
  }
  return out;
}

double WeightedMeanEdge(const std::vector<Assigned>& used) {
  double sum = 0, weights = 0;
  for (const Assigned& a : used) {
    const double w = 1 / (a.EdgeSigmaA() * a.EdgeSigmaA());
    sum += w * a.EdgeA(), weights += w;
  }
  return sum / weights;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// Where the lines agree, and how widely: a centre no few lines can drag (Tukey's
// biweight from the median, c = 4.685 scales), and the spread of the lines about it in
// their own sigmas (1.4826 x the median absolute deviation, at least 1). Lines blended
// with another phase's are often the most precise of all; they get no say here.
struct Agreement {
  double centreA = 0, spread = 1;
  double Pull(const Assigned& a) const { return (a.EdgeA() - centreA) / a.EdgeSigmaA(); }
};

Agreement Agree(const std::vector<Assigned>& used) {
  std::vector<double> edges;
  for (const Assigned& a : used) edges.push_back(a.EdgeA());
  Agreement g{Median(edges), 1};
  for (int round = 0; round < 3; ++round) {
    std::vector<double> pulls;
    for (const Assigned& a : used) pulls.push_back(std::abs(g.Pull(a)));
    g.spread = std::max(1.0, 1.4826 * Median(pulls));
    for (int step = 0; step < 10; ++step) {
      double sum = 0, weights = 0;
      for (const Assigned& a : used) {
        const double u = g.Pull(a) / (4.685 * g.spread);
        if (std::abs(u) >= 1) continue;
        const double w = (1 - u * u) * (1 - u * u) / (a.EdgeSigmaA() * a.EdgeSigmaA());
        sum += w * a.EdgeA(), weights += w;
      }
      if (weights > 0) g.centreA = sum / weights;
    }
  }
  return g;
}

// What else may sit on a line that disagrees: a neighbouring peak, or the standard's
// own K fluorescence.
std::string LikelyCause(const Context& c, const Peak& peak) {
  for (const Peak& other : c.peaks) {
    if (&other != &peak && std::abs(other.energyKeV - peak.energyKeV) <= 1.5 * peak.fwhmKeV)
      return "overlapped by the peak at " + Kev(other.energyKeV);
  }
  if (std::string line = FluorescenceNear(c.standard, peak.energyKeV, 1.5 * peak.fwhmKeV); !line.empty())
    return "overlapped by " + line;
  return "another phase's peak in the way?";
}

// Drops the lines beyond three spreads from where the lines agree, farthest first.
// Stress that is not hydrostatic widens the spread and so keeps the lines it moves.
// Three lines are kept: of three, one far from the other two may be an outlier or the
// spread stress gives (MgO's 200 moves most); the fit's chi2 then widens sigma instead.
void DropOutliers(const Context& c, Assignment& a) {
  if (a.used.size() <= 3) return;
  const Agreement g = Agree(a.used);
  std::stable_sort(a.used.begin(), a.used.end(),
                   [&](const Assigned& x, const Assigned& y) { return std::abs(g.Pull(x)) < std::abs(g.Pull(y)); });
  while (a.used.size() > 3 && std::abs(g.Pull(a.used.back())) > kDropSigmas * g.spread) {
    const Assigned& x = a.used.back();
    a.dropped.push_back({x.line->reflection->hkl,
                         "off by " + FormatMask(std::abs(g.Pull(x)), "0.0") +
                             " sigma from where the other reflections agree (a = " + FormatMask(x.EdgeA(), "0.00000") +
                             " A against " + FormatMask(g.centreA, "0.00000") + " A): " + LikelyCause(c, *x.peak)});
    a.used.pop_back();
  }
  std::sort(a.used.begin(), a.used.end(),
            [](const Assigned& x, const Assigned& y) { return x.line->root < y.line->root; });
}

// a from d_i = a / sqrt(N_i), weighted by 1 / sigma(d_i)^2 (GSL's weighted fit through
// the origin).
void FitEdge(const std::vector<Assigned>& used, LatticeFit& fit) {
  const std::size_t n = used.size();
  std::vector<double> x(n), w(n), y(n);
  for (std::size_t i = 0; i < n; ++i) {
    x[i] = 1 / used[i].line->root;
    w[i] = 1 / (used[i].peak->dSigmaA * used[i].peak->dSigmaA);
    y[i] = used[i].peak->dA;
  }
  double aA = kNaN, variance = kNaN, chiSquared = kNaN;
  gsl_fit_wmul(x.data(), 1, w.data(), 1, y.data(), 1, n, &aA, &variance, &chiSquared);
  fit.chiSquaredReduced = chiSquared / static_cast<double>(n - 1);
  fit.aA = {aA, std::sqrt(variance * std::max(1.0, fit.chiSquaredReduced))};
  for (const Assigned& u : used) {
    const Peak& p = *u.peak;
    fit.reflections.push_back({u.line->reflection->hkl,
                               u.line->reflection->weak,
                               {p.energyKeV, p.energySigmaKeV},
                               {p.dA, p.dSigmaA},
                               aA / u.line->root,
                               {u.EdgeA(), u.EdgeSigmaA()}});
  }
}

// h k l over their greatest common divisor: 200 and 400 are orders of one family.
std::array<int, 3> Family(const Reflection& r) {
  const int g = std::gcd(std::gcd(r.h, r.k), r.l);
  return {r.h / g, r.k / g, r.l / g};
}

// Orders of one family fix only one spacing, which any phase with a line there (and its
// harmonic) matches: the edge needs a second family.
bool OneFamily(const std::vector<Assigned>& used) {
  return std::all_of(used.begin(), used.end(), [&](const Assigned& u) {
    return Family(*u.line->reflection) == Family(*used.front().line->reflection);
  });
}

std::string RivalWarning(const Context& c, const EdgeChoice& edges, double temperatureK) {
  const PressureResult rival = PressureGPa(c.scale, edges.rivalA, temperatureK);
  return "the peaks fit a = " + FormatMask(edges.rivalA, "0.0000") + " A" +
         (rival.ok() ? " (" + FormatMask(rival.pressureGPa, "0.0") + " GPa)" : "") + " nearly as well (score " +
         FormatMask(edges.rivalScore, "0.00") + " against " + FormatMask(edges.bestScore, "0.00") +
         "): a guessed pressure narrows the search";
}

std::vector<Peak> UsablePeaks(std::span<const PeakResult> found) {
  std::vector<Peak> peaks;
  for (const PeakResult& p : found) {
    if (!p.fitted || !p.dSpacingA || !p.energyKeV || !p.fwhmInKeV) continue;
    if (!(p.dSpacingA->sigma > 0) || !(p.energyKeV->sigma > 0)) continue;
    peaks.push_back(
        {p.dSpacingA->value, p.dSpacingA->sigma, p.energyKeV->value, p.energyKeV->sigma, p.fwhm.value, p.escape});
  }
  return peaks;
}

std::string Degrees(double twoThetaDeg) {
  return FormatPlain(twoThetaDeg) + " deg";
}

}  // namespace

LatticeRange SearchRange(const PressureScale& scale, const LatticeOptions& options) {
  const double t = options.temperatureK;
  const LatticeResult ambient = LatticeA(scale, 0, t);
  LatticeRange range{scale.a0A * std::cbrt(std::max(kLeastVolumeRatio, scale.range.minVolumeRatio)),
                     std::max(scale.a0A, ambient.ok() ? ambient.aA : scale.a0A) * kExpansionMargin};
  if (options.guessPressureGPa) {
    const double guess = *options.guessPressureGPa;
    const double span = std::max(kGuessSpanGPa, kGuessSpanFraction * std::abs(guess));
    const LatticeResult low = LatticeA(scale, guess + span, t), high = LatticeA(scale, guess - span, t);
    if (low.ok()) range.lowA = std::max(range.lowA, low.aA);
    if (high.ok()) range.highA = std::min(range.highA, high.aA * kExpansionMargin);
  }
  return range;
}

std::pair<double, double> ReflectionEnergyWindow(const Standard& standard, const PressureScale& scale,
                                                 double twoThetaDeg, double topEnergyKeV,
                                                 const LatticeOptions& options) {
  const LatticeRange range = SearchRange(scale, options);
  const std::vector<Reflection> first = Reflections(standard, CubicCell(range.highA), range.highA / 2);
  const double largestDA = first.empty() ? range.highA : first.front().dA;
  // 3 % below the lowest line at the largest edge, so that its whole peak lies inside.
  return {0.97 * kHcExact / (2 * largestDA * SinTheta(twoThetaDeg)), topEnergyKeV};
}

namespace {

Context MakeContext(const Standard& standard, const PressureScale& scale, std::vector<Peak> peaks, double twoThetaDeg,
                    double topEnergyKeV, const LatticeOptions& options) {
  const auto window = ReflectionEnergyWindow(standard, scale, twoThetaDeg, topEnergyKeV, options);
  Context c{standard,
            scale,
            SinTheta(twoThetaDeg),
            window.first,
            window.second,
            SearchRange(scale, options),
            std::move(peaks),
            {},
            {}};
  // Every line that can reach the top energy somewhere in the range, listed at a0.
  const double topDA = kHcExact / (2 * topEnergyKeV * c.sinTheta);
  c.reflections =
      Reflections(standard, CubicCell(scale.a0A), std::max(topDA * scale.a0A / c.range.lowA, scale.a0A / 60));
  const std::vector<double> strengths = ExpectedStrengths(standard, c.reflections);
  for (std::size_t i = 0; i < c.reflections.size(); ++i) {
    const Reflection& r = c.reflections[i];
    c.lines.push_back({&r, std::sqrt(r.h * r.h + r.k * r.k + r.l * r.l), strengths[i]});
  }
  return c;
}

}  // namespace

EdgeLook LookForEdge(const Standard& standard, const PressureScale& scale, std::span<const PeakPlace> places,
                     double twoThetaDeg, double topEnergyKeV, const LatticeOptions& options) {
  std::vector<Peak> peaks;
  for (const PeakPlace& p : places) {
    const auto d = DSpacing(p.energyKeV, SinTheta(twoThetaDeg), kHcExact);
    // No fitted sigma yet: a tenth of the width lets a place answer a line within 0.4 widths.
    const double sigmaKeV = 0.1 * p.fwhmKeV;
    if (d && p.fwhmKeV > 0) peaks.push_back({*d, *d * sigmaKeV / p.energyKeV, p.energyKeV, sigmaKeV, p.fwhmKeV, false});
  }
  const Context c = MakeContext(standard, scale, std::move(peaks), twoThetaDeg, topEnergyKeV, options);
  const EdgeChoice edges = BestEdges(c, c.range);
  EdgeLook look;
  if (!std::isfinite(edges.bestA)) return look;
  for (const Line& line : c.lines)
    if (c.Visible(edges.bestA / line.root)) look.lineEnergiesKeV.push_back(c.EnergyKeV(edges.bestA / line.root));
  if (edges.rivalScore >= kAmbiguousScore * edges.bestScore) {
    look.rivalWarning = RivalWarning(c, edges, options.temperatureK);
    look.bestScore = edges.bestScore, look.rivalScore = edges.rivalScore;
    if (const PressureResult rival = PressureGPa(c.scale, edges.rivalA, options.temperatureK); rival.ok())
      look.rivalPressureGPa = rival.pressureGPa;
  }
  return look;
}

LatticeFit FitLattice(const Standard& standard, const PressureScale& scale, std::span<const PeakResult> peaks,
                      double twoThetaDeg, double topEnergyKeV, const LatticeOptions& options) {
  const Context c = MakeContext(standard, scale, UsablePeaks(peaks), twoThetaDeg, topEnergyKeV, options);
  const auto window = std::pair(c.lowKeV, c.topKeV);
  const LatticeRange& range = c.range;
  LatticeFit fit;
  const std::string name(scale.standard);
  const EdgeChoice edges = BestEdges(c, range);
  if (!std::isfinite(edges.bestA)) {
    fit.status = LatticeStatus::NoReflection;
    fit.message = window.first < window.second
                      ? "no " + name + " reflection found between " + FormatMask(window.first, "0") + " and " +
                            FormatMask(window.second, "0") + " keV at 2theta = " + Degrees(twoThetaDeg)
                      : "no " + name + " reflection can show: the spectrum ends at " + FormatMask(window.second, "0") +
                            " keV and the first lies above " + FormatMask(window.first, "0") +
                            " keV at 2theta = " + Degrees(twoThetaDeg);
    return fit;
  }
  if (edges.rivalScore >= kAmbiguousScore * edges.bestScore)
    fit.warnings.push_back(RivalWarning(c, edges, options.temperatureK));
  // Matched once at the best edge, once more at the mean edge of those lines.
  Assignment a = Assign(c, edges.bestA);
  if (!a.used.empty()) a = Assign(c, WeightedMeanEdge(a.used));
  DropOutliers(c, a);
  fit.dropped = std::move(a.dropped);
  if (a.used.size() < 2) {
    fit.status = LatticeStatus::TooFewReflections;
    fit.message = "only " + std::to_string(a.used.size()) + " " + name + " reflection found" +
                  (a.used.empty() ? ""
                                  : " (" + a.used.front().line->reflection->hkl + " at " +
                                        Kev(a.used.front().peak->energyKeV) + ")") +
                  " at 2theta = " + Degrees(twoThetaDeg) + ": the cell edge needs two or more";
    return fit;
  }
  if (OneFamily(a.used)) {
    fit.status = LatticeStatus::TooFewReflections;
    fit.message = "only orders of one " + name + " family found (" + a.used.front().line->reflection->hkl + " and " +
                  a.used.back().line->reflection->hkl + ") at 2theta = " + Degrees(twoThetaDeg) +
                  ": any phase's line and its harmonic fit them; the cell edge needs two families";
    return fit;
  }
  FitEdge(a.used, fit);
  return fit;
}

}  // namespace vantor
