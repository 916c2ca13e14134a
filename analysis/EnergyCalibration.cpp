// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/EnergyCalibration.h"

#include <gsl/gsl_multifit.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <set>

#include "analysis/PeakSearch.h"
#include "base/SpectrumRecord.h"
#include "base/TextFormat.h"

namespace vantor {
namespace {

struct MatrixFree {
  void operator()(gsl_matrix* m) const { gsl_matrix_free(m); }
};
struct VectorFree {
  void operator()(gsl_vector* v) const { gsl_vector_free(v); }
};
struct LinearFree {
  void operator()(gsl_multifit_linear_workspace* w) const { gsl_multifit_linear_free(w); }
};
using Matrix = std::unique_ptr<gsl_matrix, MatrixFree>;
using Vector = std::unique_ptr<gsl_vector, VectorFree>;
using Egc = std::array<double, 3>;

constexpr int kMaxRounds = 6;

struct FoundPeak {
  Measured channel;
  double fwhmChannels = 0;
};

struct SpectrumPeaks {
  std::vector<FoundPeak> peaks;  // fitted and not escape peaks
  std::size_t channels = 0;
};

struct Match {
  std::size_t spectrum = 0, line = 0, peak = 0;
  bool operator==(const Match&) const = default;
};

double Slope(const Egc& egc, double x) {
  return egc[1] + 2 * egc[2] * x;
}

bool InRange(double energy, const Egc& egc, std::size_t channels) {
  return energy >= EnergyOfChannel(1, egc) && energy <= EnergyOfChannel(static_cast<double>(channels), egc);
}

// For each line in a spectrum's range the peak nearest in energy within the
// tolerance; a peak claimed by two lines stays with the nearer. The first
// round allows for a rough starting calibration (2 % of the energy or three
// widths), later rounds only half a width or five sigmas.
std::vector<Match> MatchLines(const std::vector<SpectrumPeaks>& spectra, std::span<const CalibrationLine> lines,
                              const std::vector<Egc>& calibration, bool firstRound) {
  std::vector<Match> matches;
  std::vector<double> distances;
  for (std::size_t s = 0; s < spectra.size(); ++s) {
    const Egc& egc = calibration[s];
    for (std::size_t l = 0; l < lines.size(); ++l) {
      const double e = lines[l].energyKeV;
      if (!InRange(e, egc, spectra[s].channels)) continue;
      double best = INFINITY;
      std::size_t bestPeak = 0;
      for (std::size_t p = 0; p < spectra[s].peaks.size(); ++p) {
        const FoundPeak& peak = spectra[s].peaks[p];
        const double slope = Slope(egc, peak.channel.value);
        const double distance = std::abs(EnergyOfChannel(peak.channel.value, egc) - e);
        const double width = peak.fwhmChannels * slope;
        const double tolerance =
            firstRound ? std::max(0.02 * e, 3 * width) : std::max(0.5 * width, 5 * slope * peak.channel.sigma);
        if (distance <= tolerance && distance < best) best = distance, bestPeak = p;
      }
      if (!std::isfinite(best)) continue;
      const auto rival = std::find_if(matches.begin(), matches.end(),
                                      [&](const Match& m) { return m.spectrum == s && m.peak == bestPeak; });
      if (rival == matches.end()) {
        matches.push_back({s, l, bestPeak});
        distances.push_back(best);
      } else if (best < distances[static_cast<std::size_t>(rival - matches.begin())]) {
        *rival = {s, l, bestPeak};
        distances[static_cast<std::size_t>(rival - matches.begin())] = best;
      }
    }
  }
  return matches;
}

std::size_t DistinctLines(const std::vector<Match>& matches, std::span<const CalibrationLine> lines) {
  std::set<double> energies;
  for (const Match& m : matches) energies.insert(lines[m.line].energyKeV);
  return energies.size();
}

struct PolynomialFit {
  Egc coefficients{};
  std::array<std::array<double, 3>, 3> covariance{};
  double chiSquared = 0;
  int degreesOfFreedom = 0;
};

// Weighted least squares of the line energies on the channels (as
// u = x / scale, which keeps the normal equations well conditioned), each
// weighted by 1 / (dE/dx sigma_x)^2 with the slope of `slopes`.
PolynomialFit FitPolynomial(const std::vector<SpectrumPeaks>& spectra, std::span<const CalibrationLine> lines,
                            const std::vector<Match>& matches, int degree, const Egc& slopes) {
  const std::size_t n = matches.size(), p = static_cast<std::size_t>(degree) + 1;
  double scale = 1;
  for (const Match& m : matches) scale = std::max(scale, spectra[m.spectrum].peaks[m.peak].channel.value);
  Matrix design(gsl_matrix_alloc(n, p));
  Vector weights(gsl_vector_alloc(n)), energies(gsl_vector_alloc(n)), c(gsl_vector_alloc(p));
  Matrix covariance(gsl_matrix_alloc(p, p));
  for (std::size_t i = 0; i < n; ++i) {
    const Measured& x = spectra[matches[i].spectrum].peaks[matches[i].peak].channel;
    const double u = x.value / scale;
    for (std::size_t j = 0; j < p; ++j) gsl_matrix_set(design.get(), i, j, std::pow(u, static_cast<double>(j)));
    const double sigma = std::abs(Slope(slopes, x.value)) * x.sigma;
    gsl_vector_set(weights.get(), i, 1 / (sigma * sigma));
    gsl_vector_set(energies.get(), i, lines[matches[i].line].energyKeV);
  }
  PolynomialFit fit;
  std::unique_ptr<gsl_multifit_linear_workspace, LinearFree> work(gsl_multifit_linear_alloc(n, p));
  gsl_multifit_wlinear(design.get(), weights.get(), energies.get(), c.get(), covariance.get(), &fit.chiSquared,
                       work.get());
  fit.degreesOfFreedom = static_cast<int>(n - p);
  const double inflate = fit.degreesOfFreedom > 0 ? std::max(1.0, fit.chiSquared / fit.degreesOfFreedom) : 1.0;
  for (std::size_t i = 0; i < p; ++i) {
    const double unitI = std::pow(scale, -static_cast<double>(i));
    fit.coefficients[i] = gsl_vector_get(c.get(), i) * unitI;
    for (std::size_t j = 0; j < p; ++j) {
      const double unitJ = std::pow(scale, -static_cast<double>(j));
      fit.covariance[i][j] = gsl_matrix_get(covariance.get(), i, j) * unitI * unitJ * inflate;
    }
  }
  return fit;
}

// The fit twice: the second weighs the channels' sigmas with the slope of
// the first.
PolynomialFit FitTwice(const std::vector<SpectrumPeaks>& spectra, std::span<const CalibrationLine> lines,
                       const std::vector<Match>& matches, int degree, const Egc& start) {
  const PolynomialFit first = FitPolynomial(spectra, lines, matches, degree, start);
  return FitPolynomial(spectra, lines, matches, degree, first.coefficients);
}

int DegreeFor(int requested, std::size_t distinct) {
  if (requested != 0) return distinct >= static_cast<std::size_t>(2 * requested) ? requested : 1;
  return distinct >= 4 ? 2 : 1;
}

EnergyCalibration Failure(CalibrationStatus status, std::string message) {
  EnergyCalibration c;
  c.status = status;
  c.message = std::move(message);
  return c;
}

}  // namespace

namespace {

// The starting calibration of each spectrum and its fitted peaks, or the
// failure that stops the calibration.
std::optional<EnergyCalibration> Prepare(std::span<const CalibrationSpectrum> spectra,
                                         const EnergyCalibrationOptions& options, std::vector<Egc>& starts,
                                         std::vector<SpectrumPeaks>& found) {
  for (const CalibrationSpectrum& s : spectra) {
    const Egc start = options.guess.value_or(s.egc);
    if (!HasEnergyCalibration(start, s.counts.size())) {
      return Failure(CalibrationStatus::NoStartingCalibration,
                     options.guess ? "the starting guess does not rise over the channels of " + s.file
                                   : s.file + " has no energy calibration; a starting guess A,B[,C] is needed");
    }
    PeakOptions peakOptions;
    peakOptions.minSnr = options.minSnr;
    const PeakSearch search = FindPeaks(s.counts, start, 0, peakOptions);
    if (search.status == PeakSearchStatus::InvalidInput) {
      return Failure(CalibrationStatus::InvalidInput, s.file + ": " + search.message);
    }
    SpectrumPeaks peaks;
    peaks.channels = s.counts.size();
    for (const PeakResult& p : search.peaks) {
      if (!p.fitted || p.escape || !(p.channel.sigma > 0)) continue;
      peaks.peaks.push_back({p.channel, p.fwhm.value / Slope(start, p.channel.value)});
    }
    starts.push_back(start);
    found.push_back(std::move(peaks));
  }
  return std::nullopt;
}

// Lines within some spectrum's range, by distinct energy.
std::size_t LinesInRange(const std::vector<SpectrumPeaks>& found, std::span<const CalibrationLine> lines,
                         const std::vector<Egc>& calibration) {
  std::set<double> energies;
  for (std::size_t s = 0; s < found.size(); ++s) {
    for (const CalibrationLine& l : lines) {
      if (InRange(l.energyKeV, calibration[s], found[s].channels)) energies.insert(l.energyKeV);
    }
  }
  return energies.size();
}

std::string TooFewMessage(std::size_t matched, std::size_t inRange, int degree) {
  std::string m = FormatPlain(static_cast<double>(matched)) + " of " + FormatPlain(static_cast<double>(inRange)) +
                  (inRange == 1 ? " line" : " lines") + " matched; ";
  return m + (degree == 2 ? "a quadratic needs 4" : "a linear calibration needs 2");
}

void Fill(EnergyCalibration& result, const PolynomialFit& fit, const std::vector<SpectrumPeaks>& found,
          std::span<const CalibrationSpectrum> spectra, std::span<const CalibrationLine> lines,
          const std::vector<Match>& matches) {
  for (std::size_t i = 0; i < 3; ++i) {
    result.egc[i] = {fit.coefficients[i], std::sqrt(std::max(0.0, fit.covariance[i][i]))};
  }
  result.covariance = fit.covariance;
  result.degreesOfFreedom = fit.degreesOfFreedom;
  result.chiSquaredPerDegree = fit.degreesOfFreedom > 0 ? fit.chiSquared / fit.degreesOfFreedom : 0;
  for (const Match& m : matches) {
    const Measured& x = found[m.spectrum].peaks[m.peak].channel;
    const double e = lines[m.line].energyKeV;
    result.points.push_back(
        {lines[m.line].name, e, spectra[m.spectrum].file, x, e - EnergyOfChannel(x.value, fit.coefficients)});
  }
  for (std::size_t s = 0; s < spectra.size(); ++s) {
    result.files.push_back(spectra[s].file);
    for (std::size_t l = 0; l < lines.size(); ++l) {
      const bool matched =
          std::any_of(matches.begin(), matches.end(), [&](const Match& m) { return m.spectrum == s && m.line == l; });
      if (!matched && InRange(lines[l].energyKeV, fit.coefficients, found[s].channels)) {
        result.unmatched.push_back(lines[l].name + " in " + spectra[s].file);
      }
    }
  }
}

}  // namespace

EnergyCalibration CalibrateEnergy(std::span<const CalibrationSpectrum> spectra, std::span<const CalibrationLine> lines,
                                  const EnergyCalibrationOptions& options) {
  if (spectra.empty()) return Failure(CalibrationStatus::InvalidInput, "no spectrum to calibrate");
  if (lines.empty()) return Failure(CalibrationStatus::InvalidInput, "no line to calibrate with");
  if (options.degree < 0 || options.degree > 2) {
    return Failure(CalibrationStatus::InvalidInput, "the degree must be 1 (linear) or 2 (quadratic)");
  }
  std::vector<Egc> calibration;
  std::vector<SpectrumPeaks> found;
  if (auto failure = Prepare(spectra, options, calibration, found)) return *failure;
  std::vector<Match> matches = MatchLines(found, lines, calibration, true);
  PolynomialFit fit;
  for (int round = 0; round < kMaxRounds && DistinctLines(matches, lines) >= 2; ++round) {
    const int degree = DegreeFor(options.degree, DistinctLines(matches, lines));
    fit = FitTwice(found, lines, matches, degree, calibration[0]);
    calibration.assign(found.size(), fit.coefficients);
    std::vector<Match> rematched = MatchLines(found, lines, calibration, false);
    if (rematched == matches) break;
    matches = std::move(rematched);
  }
  const std::size_t distinct = DistinctLines(matches, lines);
  const int needed = options.degree == 2 ? 4 : 2;
  if (distinct < static_cast<std::size_t>(needed)) {
    return Failure(CalibrationStatus::TooFewLines,
                   TooFewMessage(distinct, LinesInRange(found, lines, calibration), options.degree == 2 ? 2 : 1));
  }
  EnergyCalibration result;
  result.degree = options.degree != 0 ? options.degree : (distinct >= 4 ? 2 : 1);
  fit = FitTwice(found, lines, matches, result.degree, calibration[0]);
  Fill(result, fit, found, spectra, lines, matches);
  return result;
}

Measured CalibratedEnergy(const EnergyCalibration& calibration, double channel) {
  const std::array<double, 3> g{1, channel, channel * channel};
  Egc egc{};
  double variance = 0;
  for (std::size_t i = 0; i < 3; ++i) {
    egc[i] = calibration.egc[i].value;
    for (std::size_t j = 0; j < 3; ++j) variance += g[i] * calibration.covariance[i][j] * g[j];
  }
  return {EnergyOfChannel(channel, egc), std::sqrt(std::max(0.0, variance))};
}

}  // namespace vantor
