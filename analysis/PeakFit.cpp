// SPDX-License-Identifier: GPL-3.0-or-later
// The solver works on internal parameters that keep the model physical at
// every step (PeakModel.h). The covariance is taken in the physical
// parameters, where a mixing on its bound does not make it singular
// (FillCovariance).
#include "analysis/PeakFit.h"

#include <gsl/gsl_errno.h>
#include <gsl/gsl_multilarge_nlinear.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <numbers>
#include <utility>

#include "analysis/PeakModel.h"
#include "analysis/PeakNormal.h"
#include "base/TextFormat.h"

namespace vantor {
namespace {

struct VectorFree {
  void operator()(gsl_vector* v) const { gsl_vector_free(v); }
};
struct WorkspaceFree {
  void operator()(gsl_multilarge_nlinear_workspace* w) const { gsl_multilarge_nlinear_free(w); }
};
using Vector = std::unique_ptr<gsl_vector, VectorFree>;
using Workspace = std::unique_ptr<gsl_multilarge_nlinear_workspace, WorkspaceFree>;

constexpr int kMaxPasses = 6;
constexpr std::size_t kMaxIterations = 200;
// A pass ends when no parameter lies further than this many of its sigmas
// from the minimum for the pass's weights, or a step moves less: further
// digits lie deep inside the noise. The first pass, whose weights come from
// the starting guess, only has to come close. The reweighting ends when the
// weights of the solution's own model leave it that close to the minimum.
constexpr double kSigmas = 0.1;
constexpr double kFirstPassSigmas = 1.0;

Vector InternalStart(const GroupStart& start, const FitProblem& p) {
  Vector x(gsl_vector_alloc(4 * p.peaks + 2));
  for (std::size_t j = 0; j < p.peaks; ++j) {
    const PseudoVoigt& s = start.peaks[j];
    gsl_vector_set(x.get(), 4 * j, s.centre - p.middle);
    gsl_vector_set(x.get(), 4 * j + 1, std::log(s.fwhm));
    gsl_vector_set(x.get(), 4 * j + 2, MixingParameter(s.eta));
    gsl_vector_set(x.get(), 4 * j + 3, s.area / p.areaUnit[j]);
  }
  gsl_vector_set(x.get(), 4 * p.peaks, start.background / p.backgroundUnit);
  gsl_vector_set(x.get(), 4 * p.peaks + 1, start.slope * p.halfSpan / p.backgroundUnit);
  return x;
}

// How far the minimum for the current weights still is, as chi-square
// (NormalMatrix::NewtonDecrease). The minimum sought is the one within the
// bounds: a mixing on its bound, or one the step would take beyond 0 or 1
// where the solver cannot follow, is held where it is, and the rest is
// measured without it.
double RemainingChiSquared(const gsl_vector* x, std::span<const double> gradient, FitProblem& p) {
  p.held.assign(x->size, false);
  for (std::size_t j = 0; j < p.peaks; ++j) p.held[4 * j + 2] = OnBound(EtaOf(x, j));
  for (;;) {
    const double decrease = p.normal.NewtonDecrease(gradient, p.held);
    bool beyond = false;
    for (std::size_t j = 0; j < p.peaks; ++j) {
      const std::size_t i = 4 * j + 2;
      const double eta = EtaOf(x, j) - EtaSlopeOf(x, j) * p.normal.Step()[i];
      if (!p.held[i] && (eta < 0 || eta > 1)) p.held[i] = beyond = true;
    }
    if (!beyond) return decrease;
  }
}

std::span<const double> View(const gsl_vector* v) {
  return {v->data, v->size};
}

// Levenberg-Marquardt steps until the minimum lies within `sigmas`, or a
// step moves less than that (where the minimum lies against a bound the
// solver only creeps towards). A trust region that finds no smaller sum of
// squares (GSL_ENOPROG) is at the minimum already, unless that happens on
// the first step from the starting guess. From the guess, two steps are
// enough: what they leave the passes on the channels finish, and a third
// step on the bins saved less there than it cost. The solver keeps the
// gradient J^T f of its current point in w->g.
int Iterate(gsl_multilarge_nlinear_workspace* w, FitProblem& p, double sigmas, bool fromGuess) {
  constexpr std::size_t kStepsFromGuess = 2;
  for (std::size_t iteration = 0; iteration < kMaxIterations; ++iteration) {
    if (fromGuess && iteration == kStepsFromGuess) return GSL_SUCCESS;
    const int status = gsl_multilarge_nlinear_iterate(w);
    if (status == GSL_ENOPROG) return fromGuess && iteration == 0 ? status : GSL_SUCCESS;
    if (status != GSL_SUCCESS) return status;
    const double limit = sigmas * sigmas;
    if (p.normal.Norm(View(w->dx)) < limit || RemainingChiSquared(w->x, View(w->g), p) < limit) return GSL_SUCCESS;
  }
  return GSL_EMAXITER;
}

// Whether x is the minimum, within kSigmas, for the weights of its own
// model; leaves J^T J there in p.normal, for the next pass or the
// covariance.
bool Settled(const gsl_vector* x, gsl_multilarge_nlinear_workspace* w, FitProblem& p) {
  Residuals(x, &p, w->f);
  p.gradient.resize(x->size);
  Linearise(x, p, w->f->data, w->f->stride, p.gradient);
  return RemainingChiSquared(x, p.gradient, p) < kSigmas * kSigmas;
}

// A solver workspace for n residuals and p parameters, kept per thread: one
// costs as much to allocate as a few iterations, and the windows of a run
// of spectra come in some dozens of sizes. gsl_multilarge_nlinear_init
// resets all of its state, so a fit does not depend on what the workspace
// fitted before. The sizes are kept beside the workspaces, so that the
// search reads one short array rather than two pointers into each. Room
// for 256 (a few kilobytes each): the 200 spectra of the benchmark need 93
// sizes, and with room for 64 one in fifteen fits allocated a workspace.
gsl_multilarge_nlinear_workspace* SolverFor(std::size_t n, std::size_t p) {
  constexpr std::size_t kKept = 256;
  thread_local std::vector<std::pair<std::size_t, std::size_t>> sizes;
  thread_local std::vector<Workspace> kept;
  for (std::size_t i = 0; i < sizes.size(); ++i) {
    if (sizes[i].first == n && sizes[i].second == p) return kept[i].get();
  }
  if (kept.size() == kKept) kept.erase(kept.begin()), sizes.erase(sizes.begin());
  gsl_multilarge_nlinear_parameters settings = gsl_multilarge_nlinear_default_parameters();
  settings.solver = gsl_multilarge_nlinear_solver_cholesky;
  settings.scale = gsl_multilarge_nlinear_scale_levenberg;
  kept.emplace_back(gsl_multilarge_nlinear_alloc(gsl_multilarge_nlinear_trust, &settings, n, p));
  sizes.emplace_back(n, p);
  return kept.back().get();
}

gsl_multilarge_nlinear_fdf FunctionsOf(FitProblem& p, std::size_t parameters) {
  gsl_multilarge_nlinear_fdf fdf{};
  fdf.f = Residuals;
  fdf.df = NormalEquations;
  fdf.n = p.counts.size();
  fdf.p = parameters;
  fdf.params = &p;
  return fdf;
}

// The first pass of the reweighting, from the starting guess with the
// weights of its model, to within kFirstPassSigmas (or two steps); leaves
// its solution in x. Returns the GSL status.
int FirstPass(FitProblem& p, gsl_vector* x) {
  gsl_multilarge_nlinear_fdf fdf = FunctionsOf(p, x->size);
  gsl_multilarge_nlinear_workspace* w = SolverFor(fdf.n, fdf.p);
  Evaluate(x, p);
  Reweigh(p);
  LeaveBound(x, p.peaks);
  gsl_multilarge_nlinear_init(x, &fdf, w);
  const int status = Iterate(w, p, kFirstPassSigmas, true);
  if (status != GSL_SUCCESS) return status;
  gsl_vector_memcpy(x, w->x);
  return status;
}

// Iteratively reweighted least squares: each pass fits with the weights of
// the last pass's model, until the weights of the solution's own model
// leave it at their minimum, or a pass cannot move it. The first pass, which
// only has to come close, may run on `coarse`, the same window in bins of a
// few channels: it costs a fraction, and the passes on the channels
// themselves start from where it ends. The solution is left in x, the
// weights of its model in p, and J^T J there in p.normal. Returns the GSL
// status.
int Solve(FitProblem& p, FitProblem* coarse, gsl_vector* x) {
  std::vector<double> start(x->data, x->data + x->size);
  int status = coarse ? FirstPass(*coarse, x) : GSL_FAILURE;
  if (status != GSL_SUCCESS) {
    std::copy(start.begin(), start.end(), x->data);
    status = FirstPass(p, x);
  }
  if (status != GSL_SUCCESS) return status;
  gsl_multilarge_nlinear_fdf fdf = FunctionsOf(p, x->size);
  gsl_multilarge_nlinear_workspace* w = SolverFor(fdf.n, fdf.p);
  Evaluate(x, p);
  Reweigh(p);
  p.moved.resize(x->size);
  for (int pass = 1;; ++pass) {
    LeaveBound(x, p.peaks);
    // The first pass on the channels starts from a solution for other
    // weights, and mostly for bins: it is (nearly) never settled, so it is
    // not asked. A later pass that could not move the solution (its
    // minimum lies against a bound the solver only creeps towards) leaves
    // the weights as they were: the next would do the same.
    if (pass > 1) {
      for (std::size_t i = 0; i < x->size; ++i) p.moved[i] -= x->data[i];
      const bool stuck = p.normal.Norm(p.moved) < kSigmas * kSigmas;
      if (Settled(x, w, p) || stuck || pass == kMaxPasses) return GSL_SUCCESS;
    }
    std::copy(x->data, x->data + x->size, p.moved.begin());
    gsl_multilarge_nlinear_init(x, &fdf, w);
    status = Iterate(w, p, kSigmas, false);
    if (status != GSL_SUCCESS) return status;
    gsl_vector_memcpy(x, w->x);
    Evaluate(x, p);
    Reweigh(p);
  }
}

// Why a converged solution is still no peak, or an empty text.
std::string Implausible(const GroupFit& fit, double firstChannel, std::size_t channels) {
  const double low = firstChannel - 0.5, high = firstChannel + static_cast<double>(channels) - 0.5;
  for (const PseudoVoigt& peak : fit.peaks) {
    if (!std::isfinite(peak.centre) || !std::isfinite(peak.fwhm) || !std::isfinite(peak.area)) {
      return "the fit ran away: a parameter is not finite";
    }
    if (peak.centre < low || peak.centre > high) {
      return "the fitted centre " + FormatMask(peak.centre, "0.0") + " left the fit window " +
             FormatMask(low + 0.5, "0") + " to " + FormatMask(high - 0.5, "0");
    }
    if (peak.fwhm < 0.5) {
      return "the fitted width " + FormatMask(peak.fwhm, "0.000") + " channels is less than a channel: a spike";
    }
    if (peak.fwhm > high - low) return "the fitted width is wider than the fit window";
  }
  for (std::size_t i = 0; i < fit.Parameters(); ++i) {
    if (!(fit.Covariance(i, i) > 0)) return "the counts do not determine every parameter of the fit";
  }
  return {};
}

// Covariance in the physical parameters at the solution: the inverse of
// J^T W J, from the Jacobian weighted with the last model's Poisson weights
// (scaled to a unit diagonal for the factorisation). The solver's J^T J
// there (p.normal) holds it already: the solver's Jacobian is the physical
// one times the positive factors p.factors (LeaveBound keeps u inside
// -pi/2..pi/2), which the unit scaling takes out again.
//
// A mixing on its bound 0 or 1 needs care. The inverse with eta free
// treats eta as if it could go on beyond the bound and overstates what the
// other parameters can do (for peaks of true eta 0 the area pulls scatter
// with a standard deviation of 0.64); with eta held fixed it understates it
// where eta is poorly determined. At the bound the true eta lies on the
// physical side, about as far as a half-normal deviate of eta's sigma,
// whose variance is (1 - 2/pi) sigma^2: so the covariance is the one with
// eta fixed plus (1 - 2/pi) of what a free eta adds.
bool FillCovariance(const gsl_vector* x, const FitProblem& p, GroupFit& fit) {
  const std::size_t np = x->size;
  std::vector<double> normal(np * np), unit(np);
  for (std::size_t i = 0; i < np; ++i) {
    if (!(p.normal.At(i, i) > 0) || !(p.factors[i] > 0)) return false;
    unit[i] = p.factors[i] / std::sqrt(p.normal.At(i, i));
  }
  for (std::size_t i = 0; i < np * np; ++i) {
    const std::size_t r = i / np, c = i % np;
    normal[i] = p.normal.At(r, c) / std::sqrt(p.normal.At(r, r) * p.normal.At(c, c));
  }
  const auto free = InvertUnitDiagonal(normal, np);
  if (!free) return false;
  std::vector<double> covariance = *free;
  std::vector<bool> held(np, false);
  for (std::size_t j = 0; j < p.peaks; ++j) held[4 * j + 2] = OnBound(PeakOf(x, p, j).eta);
  if (std::find(held.begin(), held.end(), true) != held.end()) {
    for (std::size_t i = 0; i < np * np; ++i) {
      if (held[i / np] || held[i % np]) normal[i] = i / np == i % np ? 1.0 : 0.0;
    }
    const auto fixed = InvertUnitDiagonal(normal, np);
    if (!fixed) return false;
    constexpr double kHalfNormal = 1 - 2 / std::numbers::pi;
    for (std::size_t i = 0; i < np * np; ++i) {
      const double withEtaFixed = held[i / np] || held[i % np] ? 0.0 : (*fixed)[i];
      covariance[i] = withEtaFixed + kHalfNormal * ((*free)[i] - withEtaFixed);
    }
  }
  const double perDegree = fit.degreesOfFreedom > 0 ? fit.chiSquared / fit.degreesOfFreedom : 1.0;
  const double scale = std::max(1.0, perDegree);
  fit.covariance.resize(np * np);
  for (std::size_t i = 0; i < np * np; ++i) fit.covariance[i] = covariance[i] * unit[i / np] * unit[i % np] * scale;
  return true;
}

// Channels per bin for the first pass: at least 2.5 bins across the
// narrowest peak's width, so that its shape still shows, and at most 4
// channels; 1 (no binning) for peaks narrower than 5 channels.
std::size_t CoarseBinWidth(const GroupStart& start) {
  constexpr double kBinsPerFwhm = 2.5;
  constexpr double kWidest = 4;
  double narrowest = start.peaks.front().fwhm;
  for (const PseudoVoigt& s : start.peaks) narrowest = std::min(narrowest, s.fwhm);
  return static_cast<std::size_t>(std::clamp(std::floor(narrowest / kBinsPerFwhm), 1.0, kWidest));
}

}  // namespace

GroupFit FitGroup(std::span<const double> counts, double firstChannel, const GroupStart& start) {
  GroupFit fit;
  const std::size_t n = counts.size(), peaks = start.peaks.size(), np = 4 * peaks + 2;
  if (peaks == 0 || n < np + 1) {
    fit.reason = "too few channels for the peaks in the fit window";
    return fit;
  }
  // The problems' arrays are kept per thread and only resized: a fit is
  // short, and allocating them took a tenth of it.
  thread_local FitProblem p, coarse;
  thread_local std::vector<double> binned;
  SetUp(p, counts, firstChannel, 1, peaks);
  p.middle = firstChannel + static_cast<double>(n - 1) / 2;
  p.areaUnit.clear();
  for (const PseudoVoigt& s : start.peaks) p.areaUnit.push_back(std::max(1.0, std::abs(s.area)));
  p.backgroundUnit = std::max(1.0, std::abs(start.background));
  p.halfSpan = std::max(1.0, static_cast<double>(n - 1) / 2);
  const std::size_t width = CoarseBinWidth(start);
  const bool useCoarse = width > 1 && n / width >= np + 1;
  if (useCoarse) {
    binned.assign(n / width, 0.0);
    for (std::size_t k = 0; k < binned.size() * width; ++k) binned[k / width] += counts[k];
    SetUp(coarse, binned, firstChannel, static_cast<double>(width), peaks);
    coarse.middle = p.middle, coarse.areaUnit = p.areaUnit;
    coarse.backgroundUnit = p.backgroundUnit, coarse.halfSpan = p.halfSpan;
  }
  Vector x = InternalStart(start, p);
  if (const int status = Solve(p, useCoarse ? &coarse : nullptr, x.get()); status != GSL_SUCCESS) {
    fit.reason = std::string("the fit did not converge: ") + gsl_strerror(status);
    return fit;
  }
  for (std::size_t j = 0; j < peaks; ++j) fit.peaks.push_back(PeakOf(x.get(), p, j));
  fit.background = BackgroundOf(x.get(), p);
  fit.slope = SlopeOf(x.get(), p);
  for (std::size_t k = 0; k < n; ++k) {
    const double r = (counts[k] - p.model[k]) * p.rootWeights[k];
    fit.chiSquared += r * r;
  }
  fit.degreesOfFreedom = static_cast<int>(n - np);
  fit.reason = FillCovariance(x.get(), p, fit) ? Implausible(fit, firstChannel, n)
                                               : "the counts do not determine every parameter of the fit";
  fit.fitted = fit.reason.empty();
  return fit;
}

}  // namespace vantor
