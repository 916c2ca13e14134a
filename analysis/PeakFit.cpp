// SPDX-License-Identifier: GPL-3.0-or-later
// The solver works on internal parameters that keep the model physical at
// every step: the width as its logarithm and eta = (1 + sin u) / 2, which
// reaches 0 and 1 at finite u (the transformation MINUIT uses for limited
// parameters; F. James and M. Roos, MINUIT, CERN Program Library D506).
// Left free, an eta would run off with the area towards zero on a dip of
// the noise. The covariance is taken in the physical parameters, where a
// mixing on its bound does not make it singular (FillCovariance).
#include "analysis/PeakFit.h"

#include <gsl/gsl_errno.h>
#include <gsl/gsl_linalg.h>
#include <gsl/gsl_multifit_nlinear.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <numbers>
#include <optional>

#include "base/TextFormat.h"

namespace vantor {
namespace {

struct VectorFree {
  void operator()(gsl_vector* v) const { gsl_vector_free(v); }
};
struct MatrixFree {
  void operator()(gsl_matrix* m) const { gsl_matrix_free(m); }
};
struct WorkspaceFree {
  void operator()(gsl_multifit_nlinear_workspace* w) const { gsl_multifit_nlinear_free(w); }
};
using Vector = std::unique_ptr<gsl_vector, VectorFree>;
using Matrix = std::unique_ptr<gsl_matrix, MatrixFree>;
struct PermutationFree {
  void operator()(gsl_permutation* p) const { gsl_permutation_free(p); }
};
using Workspace = std::unique_ptr<gsl_multifit_nlinear_workspace, WorkspaceFree>;
using Permutation = std::unique_ptr<gsl_permutation, PermutationFree>;

constexpr int kMaxPasses = 6;
constexpr std::size_t kMaxIterations = 200;
// A pass whose model moved no channel by more than this fraction of its
// Poisson sigma leaves the weights as they were: the fit has settled.
constexpr double kSettled = 0.1;
// Steps that move no parameter by more than this fraction of its
// conditional sigma end a pass: further digits lie deep inside the noise.
// The first pass, whose weights come from the starting guess, only has to
// come close.
constexpr double kStepSigmas = 0.1;
constexpr double kFirstPassStepSigmas = 1.0;

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
  for (std::size_t i = 0; i < x->size && same; ++i) same = p.evaluatedAt[i] == gsl_vector_get(x, i);
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
std::vector<double> InternalFactors(const gsl_vector* x, const Problem& p) {
  std::vector<double> factors(x->size, 1.0);
  for (std::size_t j = 0; j < p.peaks; ++j) {
    factors[4 * j + 1] = std::exp(gsl_vector_get(x, 4 * j + 1));
    factors[4 * j + 2] = 0.5 * std::cos(gsl_vector_get(x, 4 * j + 2));
    factors[4 * j + 3] = p.areaUnit[j];
  }
  factors[4 * p.peaks] = p.backgroundUnit;
  factors[4 * p.peaks + 1] = p.backgroundUnit / p.halfSpan;
  return factors;
}

// One weighted row of the Jacobian by centre, fwhm, eta, area of each peak,
// background and slope, each times its factor.
void JacobianRow(const Problem& p, std::size_t k, const std::vector<double>& factors, double* row) {
  const std::size_t b = 4 * p.peaks;
  const double w = p.rootWeights[k];
  row[b] = w * factors[b];
  row[b + 1] = w * (ChannelAt(p, k) - p.middle) * factors[b + 1];
  for (std::size_t j = 0; j < p.peaks; ++j) {
    const ChannelTerms& t = p.terms[j][k];
    row[4 * j] = w * t.dCentre;
    row[4 * j + 1] = w * t.dFwhm * factors[4 * j + 1];
    row[4 * j + 2] = w * t.dEta * factors[4 * j + 2];
    row[4 * j + 3] = w * t.dArea * factors[4 * j + 3];
  }
}

int Jacobian(const gsl_vector* x, void* data, gsl_matrix* jacobian) {
  Problem& p = *static_cast<Problem*>(data);
  Evaluate(x, p);
  const std::vector<double> factors = InternalFactors(x, p);
  for (std::size_t k = 0; k < p.counts.size(); ++k) {
    JacobianRow(p, k, factors, jacobian->data + k * jacobian->tda);
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
// brought into -pi/2..pi/2, which keeps eta.
void LeaveBound(gsl_vector* x, std::size_t peaks) {
  constexpr double kEdge = std::numbers::pi / 2 - 1e-4;
  for (std::size_t j = 0; j < peaks; ++j) {
    const double u = std::asin(std::sin(gsl_vector_get(x, 4 * j + 2)));
    gsl_vector_set(x, 4 * j + 2, std::clamp(u, -kEdge, kEdge));
  }
}

// Sets the weights from the model in p.model; returns the largest change of
// the model since `previous` in units of its Poisson sigma.
double Reweigh(Problem& p, std::vector<double>& previous) {
  double change = 0;
  for (std::size_t k = 0; k < p.model.size(); ++k) {
    const double variance = std::max(1.0, p.model[k]);
    if (!previous.empty()) change = std::max(change, std::abs(p.model[k] - previous[k]) / std::sqrt(variance));
    p.rootWeights[k] = 1 / std::sqrt(variance);
  }
  previous = p.model;
  return change;
}

bool StepIsSmall(const gsl_matrix* jacobian, const gsl_vector* step, double sigmas) {
  for (std::size_t i = 0; i < step->size; ++i) {
    double squares = 0;
    for (std::size_t k = 0; k < jacobian->size1; ++k) {
      const double d = jacobian->data[k * jacobian->tda + i];
      squares += d * d;
    }
    const double s = gsl_vector_get(step, i);
    if (s * s * squares > sigmas * sigmas) return false;
  }
  return true;
}

// Levenberg-Marquardt steps until no parameter moves by more than
// `sigmas` of its conditional sigma 1 / |J_i| (J weighted). A trust
// region that finds no smaller sum of squares (GSL_ENOPROG) is at the
// minimum already, unless that happens on the first step from the
// starting guess.
int Iterate(gsl_multifit_nlinear_workspace* w, double sigmas, bool fromGuess) {
  for (std::size_t iteration = 0; iteration < kMaxIterations; ++iteration) {
    const int status = gsl_multifit_nlinear_iterate(w);
    if (status == GSL_ENOPROG) return fromGuess && iteration == 0 ? status : GSL_SUCCESS;
    if (status != GSL_SUCCESS) return status;
    if (StepIsSmall(w->J, w->dx, sigmas)) return GSL_SUCCESS;
  }
  return GSL_EMAXITER;
}

// Iteratively reweighted least squares; the solution is left in x and the
// weights of its model in p. Returns the GSL status.
int Solve(Problem& p, gsl_vector* x) {
  gsl_multifit_nlinear_fdf fdf{};
  fdf.f = Residuals;
  fdf.df = Jacobian;
  fdf.n = p.counts.size();
  fdf.p = x->size;
  fdf.params = &p;
  gsl_multifit_nlinear_parameters settings = gsl_multifit_nlinear_default_parameters();
  settings.solver = gsl_multifit_nlinear_solver_mcholesky;
  settings.scale = gsl_multifit_nlinear_scale_more;
  Workspace w(gsl_multifit_nlinear_alloc(gsl_multifit_nlinear_trust, &settings, fdf.n, fdf.p));
  std::vector<double> previous;
  Evaluate(x, p);
  Reweigh(p, previous);
  for (int pass = 0; pass < kMaxPasses; ++pass) {
    LeaveBound(x, p.peaks);
    gsl_multifit_nlinear_init(x, &fdf, w.get());
    const int status = Iterate(w.get(), pass == 0 ? kFirstPassStepSigmas : kStepSigmas, pass == 0);
    if (status != GSL_SUCCESS) return status;
    gsl_vector_memcpy(x, w->x);
    Evaluate(x, p);
    if (Reweigh(p, previous) < kSettled) break;
  }
  return GSL_SUCCESS;
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

// The inverse of a symmetric matrix with a unit diagonal by a (modified)
// Cholesky factorisation; none when the factorisation had to perturb the
// matrix to go through, that is when some combination of parameters is not
// determined.
std::optional<std::vector<double>> InvertUnitDiagonal(const std::vector<double>& a, std::size_t np) {
  Matrix m(gsl_matrix_alloc(np, np));
  std::copy(a.begin(), a.end(), m->data);
  Permutation order(gsl_permutation_alloc(np));
  Vector perturbation(gsl_vector_alloc(np));
  gsl_linalg_mcholesky_decomp(m.get(), order.get(), perturbation.get());
  if (!gsl_vector_isnull(perturbation.get())) return std::nullopt;
  Matrix inverse(gsl_matrix_alloc(np, np));
  gsl_linalg_mcholesky_invert(m.get(), order.get(), inverse.get());
  return std::vector<double>(inverse->data, inverse->data + np * np);
}

bool OnBound(double eta) {
  return eta < 1e-4 || eta > 1 - 1e-4;
}

// Covariance in the physical parameters at the solution: the inverse of
// J^T W J, from the Jacobian weighted with the last model's Poisson weights
// (scaled to a unit diagonal for the factorisation).
//
// A mixing on its bound 0 or 1 needs care. The inverse with eta free
// treats eta as if it could go on beyond the bound and overstates what the
// other parameters can do (for peaks of true eta 0 the area pulls scatter
// with a standard deviation of 0.64); with eta held fixed it understates it
// where eta is poorly determined. At the bound the true eta lies on the
// physical side, about as far as a half-normal deviate of eta's sigma,
// whose variance is (1 - 2/pi) sigma^2: so the covariance is the one with
// eta fixed plus (1 - 2/pi) of what a free eta adds.
bool FillCovariance(const gsl_vector* x, Problem& p, GroupFit& fit) {
  const std::size_t np = x->size;
  Evaluate(x, p);
  std::vector<double> normal(np * np, 0.0), row(np);
  const std::vector<double> physical(np, 1.0);
  for (std::size_t k = 0; k < p.counts.size(); ++k) {
    JacobianRow(p, k, physical, row.data());
    for (std::size_t i = 0; i < np; ++i) {
      for (std::size_t j = 0; j < np; ++j) normal[i * np + j] += row[i] * row[j];
    }
  }
  std::vector<double> unit(np);
  for (std::size_t i = 0; i < np; ++i) unit[i] = 1 / std::sqrt(normal[i * np + i]);
  for (std::size_t i = 0; i < np * np; ++i) normal[i] *= unit[i / np] * unit[i % np];
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
  Problem p;
  p.counts = counts;
  p.firstChannel = firstChannel;
  p.middle = firstChannel + static_cast<double>(n - 1) / 2;
  p.peaks = peaks;
  for (const PseudoVoigt& s : start.peaks) p.areaUnit.push_back(std::max(1.0, std::abs(s.area)));
  p.backgroundUnit = std::max(1.0, std::abs(start.background));
  p.halfSpan = std::max(1.0, static_cast<double>(n - 1) / 2);
  p.rootWeights.resize(n);
  p.terms.assign(peaks, std::vector<ChannelTerms>(n));
  p.model.resize(n);
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
