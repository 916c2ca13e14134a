// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/PressureScale.h"

#include <gsl/gsl_errno.h>
#include <gsl/gsl_roots.h>

#include <algorithm>
#include <cmath>
#include <memory>

#include "analysis/ScaleModels.h"
#include "analysis/ThermalPressure.h"
#include "base/TextFormat.h"
#include "base/TextRoutines.h"

namespace vantor {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Where a(P, T) is searched: from V0 down to V/V0 = 0.6, over which every scale's P
// rises as V falls, and up to 1.5 or where P(V) turns over.
constexpr double kSearchMinRatio = 0.6;
constexpr double kSearchMaxRatio = 1.5;
constexpr double kLatticeToleranceA = 1e-12;

std::vector<PressureScale> BuildScales() {
  std::vector<PressureScale> all;
  for (const auto& scales : {NaClScales(), AuScales(), PtScales(), MgOScales()}) {
    for (PressureScale scale : scales) {
      scale.a0A = std::cbrt(scale.volume0A3);
      all.push_back(scale);
    }
  }
  return all;
}

std::string Kelvin(double temperatureK) {
  return FormatMask(temperatureK, "0") + " K";
}
std::string Ratio(double volumeRatio) {
  return FormatMask(volumeRatio, "0.000");
}
std::string Gpa(double pressureGPa) {
  return FormatMask(pressureGPa, "0.00") + " GPa";
}

// "1200 K is above Decker1971's 1073 K", and the like for V/V0 with the pressure the
// scale gives at its limit, so that the limit reads in the unit of the result.
std::vector<std::string> RangeWarnings(const PressureScale& scale, double volumeRatio, double temperatureK) {
  const ScaleRange& range = scale.range;
  const std::string owner = std::string(scale.name) + "'s ";
  std::vector<std::string> warnings;
  if (temperatureK > range.maxTemperatureK)
    warnings.push_back(Kelvin(temperatureK) + " is above " + owner + Kelvin(range.maxTemperatureK));
  if (temperatureK < range.minTemperatureK)
    warnings.push_back(Kelvin(temperatureK) + " is below " + owner + Kelvin(range.minTemperatureK));
  const auto volumeWarning = [&](std::string_view side, double limit) {
    const double limitGPa = scale.pressureGPaAt(limit, temperatureK);
    warnings.push_back("V/V0 = " + Ratio(volumeRatio) + " is " + std::string(side) + " " + owner + Ratio(limit) + " (" +
                       Gpa(limitGPa) + " at " + Kelvin(temperatureK) + ")");
  };
  if (volumeRatio < range.minVolumeRatio) volumeWarning("below", range.minVolumeRatio);
  if (volumeRatio > range.maxVolumeRatio) volumeWarning("above", range.maxVolumeRatio);
  return warnings;
}

std::string TemperatureError(double temperatureK) {
  return std::isfinite(temperatureK) && temperatureK > 0 ? "" : "the temperature must be above 0 K";
}

struct SearchContext {
  const PressureScale* scale;
  double pressureGPa, temperatureK;
};

// P(V) - P at V/V0 = volumeRatio.
double ExcessPressureGPa(const SearchContext& search, double volumeRatio) {
  return search.scale->pressureGPaAt(volumeRatio, search.temperatureK) - search.pressureGPa;
}

// The same at a cell edge, for GSL's root solver.
double ExcessPressureAtEdgeGPa(double aA, void* context) {
  const auto& search = *static_cast<const SearchContext*>(context);
  return ExcessPressureGPa(search, std::pow(aA / search.scale->a0A, 3));
}

struct Bracket {
  double lowRatio, highRatio;
  std::string error;
};

// Steps outward from V0 until P(V) crosses the target: toward compression down to
// V/V0 = 0.6, toward expansion in finer steps, since some scales turn over not far above
// V/V0 = 1.1 at high T while NaCl at 0 GPa and 1000 K lies at 1.12. A side ends where P
// stops changing the right way: beyond that point the form no longer describes a solid.
Bracket BracketRoot(const SearchContext& search) {
  const auto excess = [&](double ratio) { return ExcessPressureGPa(search, ratio); };
  double inner = 1, innerExcess = excess(inner);
  const bool expand = innerExcess > 0;  // too high a pressure at V0
  const double step = expand ? 0.01 : -0.02;
  for (int steps = 1; std::isfinite(innerExcess); ++steps) {
    const double outer = 1 + steps * step;
    const double outerExcess = excess(outer);
    if (!std::isfinite(outerExcess)) break;
    if (innerExcess * outerExcess <= 0) return {std::min(inner, outer), std::max(inner, outer), ""};
    const bool turned = expand ? outerExcess >= innerExcess : outerExcess <= innerExcess;
    const bool last = expand ? outer >= kSearchMaxRatio - step / 2 : outer <= kSearchMinRatio - step / 2;
    if (turned || last) {
      const double endRatio = turned ? inner : outer;
      const double endGPa = (turned ? innerExcess : outerExcess) + search.pressureGPa;
      return {kNaN, kNaN,
              Gpa(search.pressureGPa) + " at " + Kelvin(search.temperatureK) + " is " +
                  (expand ? "below the least " : "above the most ") + std::string(search.scale->name) + " gives, " +
                  Gpa(endGPa) + " at V/V0 = " + Ratio(endRatio) +
                  (turned ? ", where P(V) turns over" : ", the end of the search")};
    }
    inner = outer, innerExcess = outerExcess;
  }
  return {kNaN, kNaN, std::string(search.scale->name) + " cannot be evaluated near V/V0 = " + Ratio(inner)};
}

// Brent's method on a bracket of the cell edge; NaN when it does not converge.
double SolveForLatticeA(SearchContext& search, double lowA, double highA) {
  using Solver = std::unique_ptr<gsl_root_fsolver, decltype(&gsl_root_fsolver_free)>;
  Solver solver(gsl_root_fsolver_alloc(gsl_root_fsolver_brent), &gsl_root_fsolver_free);
  if (!solver) return kNaN;
  gsl_function function{&ExcessPressureAtEdgeGPa, &search};
  if (gsl_root_fsolver_set(solver.get(), &function, lowA, highA) != GSL_SUCCESS) return kNaN;
  for (int iteration = 0; iteration < 200; ++iteration) {
    if (gsl_root_fsolver_iterate(solver.get()) != GSL_SUCCESS) return kNaN;
    lowA = gsl_root_fsolver_x_lower(solver.get());
    highA = gsl_root_fsolver_x_upper(solver.get());
    if (gsl_root_test_interval(lowA, highA, kLatticeToleranceA, 0) == GSL_SUCCESS)
      return gsl_root_fsolver_root(solver.get());
  }
  return kNaN;
}

}  // namespace

std::string CitationText(const ScaleReference& r) {
  return std::string(r.authors) + " (" + std::to_string(r.year) + ") " + std::string(r.journal) + " " +
         std::string(r.volume) + ", " + std::string(r.pages) + ", doi:" + std::string(r.doi);
}

std::span<const PressureScale> PressureScales() {
  static const std::vector<PressureScale> scales = BuildScales();
  return scales;
}

std::vector<std::string_view> ScaleNames(std::string_view standard) {
  std::vector<std::string_view> names;
  for (const PressureScale& scale : PressureScales())
    if (EqualsIgnoreCase(scale.standard, standard)) names.push_back(scale.name);
  return names;
}

const PressureScale* FindScale(std::string_view standard, std::string_view scale) {
  for (const PressureScale& candidate : PressureScales()) {
    if (EqualsIgnoreCase(candidate.standard, standard) &&
        (scale.empty() ? candidate.isDefault : EqualsIgnoreCase(candidate.name, scale)))
      return &candidate;
  }
  return nullptr;
}

PressureResult PressureGPa(const PressureScale& scale, double aA, double temperatureK) {
  PressureResult result{kNaN, kNaN, TemperatureError(temperatureK), {}};
  if (!(std::isfinite(aA) && aA > 0)) result.error = "the cell edge must be a positive length";
  if (!result.ok()) return result;
  result.volumeRatio = std::pow(aA / scale.a0A, 3);
  const double pressureGPa = scale.pressureGPaAt(result.volumeRatio, temperatureK);
  if (!std::isfinite(pressureGPa)) {
    result.error = std::string(scale.name) + " cannot be evaluated at V/V0 = " + Ratio(result.volumeRatio) + " and " +
                   Kelvin(temperatureK);
    return result;
  }
  result.pressureGPa = pressureGPa;
  result.warnings = RangeWarnings(scale, result.volumeRatio, temperatureK);
  return result;
}

LatticeResult LatticeA(const PressureScale& scale, double pressureGPa, double temperatureK) {
  LatticeResult result{kNaN, kNaN, TemperatureError(temperatureK), {}};
  if (!std::isfinite(pressureGPa)) result.error = "the pressure must be a number";
  if (!result.ok()) return result;
  UseGslStatusReturns();
  SearchContext search{&scale, pressureGPa, temperatureK};
  const Bracket bracket = BracketRoot(search);
  if (!bracket.error.empty()) {
    result.error = bracket.error;
    return result;
  }
  const double aA =
      SolveForLatticeA(search, scale.a0A * std::cbrt(bracket.lowRatio), scale.a0A * std::cbrt(bracket.highRatio));
  if (!std::isfinite(aA)) {
    result.error = "no cell edge found for " + Gpa(pressureGPa) + " at " + Kelvin(temperatureK);
    return result;
  }
  result.aA = aA;
  result.volumeRatio = std::pow(aA / scale.a0A, 3);
  result.warnings = RangeWarnings(scale, result.volumeRatio, temperatureK);
  return result;
}

}  // namespace vantor
