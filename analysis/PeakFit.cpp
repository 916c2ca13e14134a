// SPDX-License-Identifier: GPL-3.0-or-later
// The solver works on internal parameters that keep the model physical at
// every step: the width as its logarithm and eta = (1 + sin u) / 2, which
// reaches 0 and 1 at finite u (the transformation MINUIT uses for limited
// parameters; F. James and M. Roos, MINUIT, CERN Program Library D506).
// Left free, an eta would run off with the area towards zero on a dip of
// the noise. The covariance is taken in the physical parameters, where a
// mixing on its bound does not make it singular (FillCovariance).
#include "analysis/PeakFit.h"

// GSL's element access inline rather than as library calls (GSL manual,
// "Inline functions").
#define HAVE_INLINE
#include <gsl/gsl_errno.h>
#include <gsl/gsl_multifit_nlinear.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <numbers>

#include "analysis/PeakNormal.h"
#include "base/TextFormat.h"

namespace vantor {
namespace {

struct VectorFree {
  void operator()(gsl_vector* v) const { gsl_vector_free(v); }
};
struct WorkspaceFree {
  void operator()(gsl_multifit_nlinear_workspace* w) const { gsl_multifit_nlinear_free(w); }
};
using Vector = std::unique_ptr<gsl_vector, VectorFree>;
using Workspace = std::unique_ptr<gsl_multifit_nlinear_workspace, WorkspaceFree>;

constexpr int kMaxPasses = 6;
constexpr std::size_t kMaxIterations = 200;
// A pass ends when no parameter lies further than this many of its sigmas
// from the minimum for the pass's weights, or a step moves less: further
// digits lie deep inside the noise. The first pass, whose weights come from
// the starting guess, only has to come close. The reweighting ends when the
// weights of the solution's own model leave it that close to the minimum.
constexpr double kSigmas = 0.1;
constexpr double kFirstPassSigmas = 1.0;

// The window, and the model at the last parameters it was evaluated for:
// the solver asks for the Jacobian at the point whose residuals it has just
// taken, so the profile terms of that evaluation serve both.
struct Problem {
  std::span<const double> counts;
  double firstChannel = 0;
  double middle = 0;  // channel number where the background is given
  std::size_t peaks = 0;
  // Units of the internal area, background and slope parameters, so that
  // every internal parameter is of order one and the solver's steps are
  // balanced without rescaling them at each iteration.
  std::vector<double> areaUnit;
  double backgroundUnit = 1;
  double halfSpan = 1;
  std::vector<double> rootWeights;               // 1 / sqrt(variance) per channel
  std::vector<std::vector<ChannelTerms>> terms;  // per peak, per channel
  std::vector<double> model;
  std::vector<double> evaluatedAt;  // internal parameters of terms and model
  std::vector<double> factors;      // InternalFactors at the last Jacobian
  // J^T J of the solver's Jacobian with the pass's weights, where the pass
  // starts (for the first) or where the last one ended; and room for a
  // gradient, a displacement and the mixings held on their bounds.
  NormalMatrix normal;
  std::vector<double> gradient, moved;
  std::vector<bool> held;
};

double ChannelAt(const Problem& p, std::size_t k) {
  return p.firstChannel + static_cast<double>(k);
}

PseudoVoigt PeakOf(const gsl_vector* x, const Problem& p, std::size_t j) {
  const double u = gsl_vector_get(x, 4 * j + 2);
  return {p.middle + gsl_vector_get(x, 4 * j), std::exp(gsl_vector_get(x, 4 * j + 1)), 0.5 * (1 + std::sin(u)),
          gsl_vector_get(x, 4 * j + 3) * p.areaUnit[j]};
}

double BackgroundOf(const gsl_vector* x, const Problem& p) {
  return gsl_vector_get(x, 4 * p.peaks) * p.backgroundUnit;
}

double SlopeOf(const gsl_vector* x, const Problem& p) {
  return gsl_vector_get(x, 4 * p.peaks + 1) * p.backgroundUnit / p.halfSpan;
}

void Evaluate(const gsl_vector* x, Problem& p) {
  bool same = p.evaluatedAt.size() == x->size;
  for (std::size_t i = 0; i < x->size && same; ++i) same = p.evaluatedAt[i] == x->data[i];
  if (same) return;
  const double b0 = BackgroundOf(x, p), b1 = SlopeOf(x, p);
  for (std::size_t k = 0; k < p.model.size(); ++k) p.model[k] = b0 + b1 * (ChannelAt(p, k) - p.middle);
  for (std::size_t j = 0; j < p.peaks; ++j) {
    ProfileTerms(PeakOf(x, p, j), p.firstChannel, p.terms[j]);
    for (std::size_t k = 0; k < p.model.size(); ++k) p.model[k] += p.terms[j][k].value;
  }
  p.evaluatedAt.assign(x->data, x->data + x->size);
}

// Weighted residuals: the weights are applied here rather than by the
// solver, which would rescale every row of the Jacobian at every step.
int Residuals(const gsl_vector* x, void* data, gsl_vector* f) {
  Problem& p = *static_cast<Problem*>(data);
  Evaluate(x, p);
  for (std::size_t k = 0; k < p.model.size(); ++k)
    f->data[k * f->stride] = (p.model[k] - p.counts[k]) * p.rootWeights[k];
  return GSL_SUCCESS;
}

// Factors from the physical to the solver's parameters, per parameter: the
// solver's Jacobian is the physical one times these.
void InternalFactors(const gsl_vector* x, Problem& p) {
  p.factors.assign(x->size, 1.0);
  for (std::size_t j = 0; j < p.peaks; ++j) {
    p.factors[4 * j + 1] = std::exp(gsl_vector_get(x, 4 * j + 1));
    p.factors[4 * j + 2] = 0.5 * std::cos(gsl_vector_get(x, 4 * j + 2));
    p.factors[4 * j + 3] = p.areaUnit[j];
  }
  p.factors[4 * p.peaks] = p.backgroundUnit;
  p.factors[4 * p.peaks + 1] = p.backgroundUnit / p.halfSpan;
}

// The weighted Jacobian of the solver, by centre, fwhm, eta, area of each
// peak, background and slope; a peak's four columns at a time.
int Jacobian(const gsl_vector* x, void* data, gsl_matrix* jacobian) {
  Problem& p = *static_cast<Problem*>(data);
  Evaluate(x, p);
  InternalFactors(x, p);
  const std::size_t n = p.counts.size(), b = 4 * p.peaks, tda = jacobian->tda;
  const double* w = p.rootWeights.data();
  for (std::size_t j = 0; j < p.peaks; ++j) {
    const double fw = p.factors[4 * j + 1], fe = p.factors[4 * j + 2], fa = p.factors[4 * j + 3];
    const ChannelTerms* t = p.terms[j].data();
    double* row = jacobian->data + 4 * j;
    for (std::size_t k = 0; k < n; ++k, row += tda) {
      row[0] = w[k] * t[k].dCentre;
      row[1] = w[k] * t[k].dFwhm * fw;
      row[2] = w[k] * t[k].dEta * fe;
      row[3] = w[k] * t[k].dArea * fa;
    }
  }
  const double fb = p.factors[b], fs = p.factors[b + 1];
  double* row = jacobian->data + b;
  for (std::size_t k = 0; k < n; ++k, row += tda) {
    row[0] = w[k] * fb;
    row[1] = w[k] * (ChannelAt(p, k) - p.middle) * fs;
  }
  return GSL_SUCCESS;
}

Vector InternalStart(const GroupStart& start, const Problem& p) {
  Vector x(gsl_vector_alloc(4 * p.peaks + 2));
  for (std::size_t j = 0; j < p.peaks; ++j) {
    const PseudoVoigt& s = start.peaks[j];
    gsl_vector_set(x.get(), 4 * j, s.centre - p.middle);
    gsl_vector_set(x.get(), 4 * j + 1, std::log(s.fwhm));
    gsl_vector_set(x.get(), 4 * j + 2, std::asin(std::clamp(2 * s.eta - 1, -1.0, 1.0)));
    gsl_vector_set(x.get(), 4 * j + 3, s.area / p.areaUnit[j]);
  }
  gsl_vector_set(x.get(), 4 * p.peaks, start.background / p.backgroundUnit);
  gsl_vector_set(x.get(), 4 * p.peaks + 1, start.slope * p.halfSpan / p.backgroundUnit);
  return x;
}

// A mixing exactly on 0 or 1 gives the solver no slope in its direction; a
// step of 1e-4 in u (eta moves by 2.5e-9) gives it one back. u is first
// brought into -pi/2..pi/2, which keeps eta. A u already inside is left
// exactly as it is, so that the model evaluated there still holds.
void LeaveBound(gsl_vector* x, std::size_t peaks) {
  constexpr double kEdge = std::numbers::pi / 2 - 1e-4;
  for (std::size_t j = 0; j < peaks; ++j) {
    const double u = gsl_vector_get(x, 4 * j + 2);
    if (std::abs(u) <= kEdge) continue;
    gsl_vector_set(x, 4 * j + 2, std::clamp(std::asin(std::sin(u)), -kEdge, kEdge));
  }
}

// Sets the weights from the model in p.model.
void Reweigh(Problem& p) {
  for (std::size_t k = 0; k < p.model.size(); ++k) p.rootWeights[k] = 1 / std::sqrt(std::max(1.0, p.model[k]));
}

bool OnBound(double eta) {
  return eta < 1e-4 || eta > 1 - 1e-4;
}

double EtaOf(const gsl_vector* x, std::size_t j) {
  return 0.5 * (1 + std::sin(gsl_vector_get(x, 4 * j + 2)));
}

// How far the minimum for the current weights still is, as chi-square
// (NormalMatrix::NewtonDecrease). The minimum sought is the one within the
// bounds: a mixing on its bound, or one the step would take beyond 0 or 1
// where the solver cannot follow, is held where it is, and the rest is
// measured without it.
double RemainingChiSquared(const gsl_vector* x, std::span<const double> gradient, Problem& p) {
  p.held.assign(x->size, false);
  for (std::size_t j = 0; j < p.peaks; ++j) p.held[4 * j + 2] = OnBound(EtaOf(x, j));
  for (;;) {
    const double decrease = p.normal.NewtonDecrease(gradient, p.held);
    bool beyond = false;
    for (std::size_t j = 0; j < p.peaks; ++j) {
      const std::size_t i = 4 * j + 2;
      const double eta = EtaOf(x, j) - 0.5 * std::cos(gsl_vector_get(x, i)) * p.normal.Step()[i];
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
// the first step from the starting guess. The solver keeps the gradient
// J^T f of its current point in w->g.
int Iterate(gsl_multifit_nlinear_workspace* w, Problem& p, double sigmas, bool fromGuess) {
  for (std::size_t iteration = 0; iteration < kMaxIterations; ++iteration) {
    const int status = gsl_multifit_nlinear_iterate(w);
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
bool Settled(const gsl_vector* x, gsl_multifit_nlinear_workspace* w, Problem& p) {
  Residuals(x, &p, w->f);
  Jacobian(x, &p, w->J);
  const std::size_t n = w->J->size1, np = w->J->size2;
  p.normal.Take(w->J->data, n, np, w->J->tda);
  p.gradient.assign(np, 0.0);
  for (std::size_t k = 0; k < n; ++k) {
    const double* row = w->J->data + k * w->J->tda;
    const double fk = gsl_vector_get(w->f, k);
    for (std::size_t i = 0; i < np; ++i) p.gradient[i] += row[i] * fk;
  }
  return RemainingChiSquared(x, p.gradient, p) < kSigmas * kSigmas;
}

// A solver workspace for n residuals and p parameters, kept per thread: one
// costs as much to allocate as a few iterations, and the windows of one
// spectrum and the next come in a few dozen sizes. gsl_multifit_nlinear_init
// resets all of its state, so a fit does not depend on what the workspace
// fitted before.
gsl_multifit_nlinear_workspace* SolverFor(std::size_t n, std::size_t p) {
  constexpr std::size_t kKept = 64;
  thread_local std::vector<Workspace> kept;
  for (const Workspace& w : kept) {
    if (w->f->size == n && w->x->size == p) return w.get();
  }
  if (kept.size() == kKept) kept.erase(kept.begin());
  gsl_multifit_nlinear_parameters settings = gsl_multifit_nlinear_default_parameters();
  settings.solver = gsl_multifit_nlinear_solver_cholesky;
  settings.scale = gsl_multifit_nlinear_scale_levenberg;
  kept.emplace_back(gsl_multifit_nlinear_alloc(gsl_multifit_nlinear_trust, &settings, n, p));
  return kept.back().get();
}

// Iteratively reweighted least squares: each pass fits with the weights of
// the last pass's model, until the weights of the solution's own model
// leave it at their minimum, or a pass cannot move it. The solution is left
// in x, the weights of its model in p, and J^T J there in p.normal.
// Returns the GSL status.
int Solve(Problem& p, gsl_vector* x) {
  gsl_multifit_nlinear_fdf fdf{};
  fdf.f = Residuals;
  fdf.df = Jacobian;
  fdf.n = p.counts.size();
  fdf.p = x->size;
  fdf.params = &p;
  gsl_multifit_nlinear_workspace* w = SolverFor(fdf.n, fdf.p);
  Evaluate(x, p);
  Reweigh(p);
  p.moved.resize(x->size);
  for (int pass = 0;; ++pass) {
    LeaveBound(x, p.peaks);
    bool stuck = false;
    if (pass > 0) {
      // A later pass that could not move the solution (its minimum lies
      // against a bound the solver only creeps towards) leaves the weights
      // as they were: the next would do the same.
      for (std::size_t i = 0; i < x->size; ++i) p.moved[i] -= x->data[i];
      stuck = pass > 1 && p.normal.Norm(p.moved) < kSigmas * kSigmas;
      if (Settled(x, w, p) || stuck || pass == kMaxPasses) return GSL_SUCCESS;
    }
    std::copy(x->data, x->data + x->size, p.moved.begin());
    gsl_multifit_nlinear_init(x, &fdf, w);
    if (pass == 0) p.normal.Take(w->J->data, fdf.n, fdf.p, w->J->tda);
    const int status = Iterate(w, p, pass == 0 ? kFirstPassSigmas : kSigmas, pass == 0);
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
bool FillCovariance(const gsl_vector* x, const Problem& p, GroupFit& fit) {
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

}  // namespace

GroupFit FitGroup(std::span<const double> counts, double firstChannel, const GroupStart& start) {
  GroupFit fit;
  const std::size_t n = counts.size(), peaks = start.peaks.size(), np = 4 * peaks + 2;
  if (peaks == 0 || n < np + 1) {
    fit.reason = "too few channels for the peaks in the fit window";
    return fit;
  }
  // The problem's arrays are kept per thread and only resized: a fit is
  // short, and allocating them took a tenth of it. Everything a fit reads
  // is set here or computed before it is read; the cache key evaluatedAt is
  // cleared.
  thread_local Problem p;
  p.counts = counts;
  p.firstChannel = firstChannel;
  p.middle = firstChannel + static_cast<double>(n - 1) / 2;
  p.peaks = peaks;
  p.areaUnit.clear();
  for (const PseudoVoigt& s : start.peaks) p.areaUnit.push_back(std::max(1.0, std::abs(s.area)));
  p.backgroundUnit = std::max(1.0, std::abs(start.background));
  p.halfSpan = std::max(1.0, static_cast<double>(n - 1) / 2);
  p.rootWeights.resize(n);
  p.terms.resize(peaks);
  for (auto& t : p.terms) t.resize(n);
  p.model.resize(n);
  p.evaluatedAt.clear();
  Vector x = InternalStart(start, p);
  if (const int status = Solve(p, x.get()); status != GSL_SUCCESS) {
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
