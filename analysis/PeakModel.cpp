// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/PeakModel.h"

#include <gsl/gsl_vector.h>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace vantor {
namespace {

// An element of a GSL vector without a library call per element.
double At(const gsl_vector* v, std::size_t i) {
  return v->data[i * v->stride];
}

// u of peak j (PeakModel.h).
double AngleOf(const gsl_vector* x, std::size_t j) {
  return kMixingUnit * At(x, 4 * j + 2);
}

// The middle of bin k, as a channel number.
double ChannelAt(const FitProblem& p, std::size_t k) {
  return p.firstChannel + p.binWidth * static_cast<double>(k) + (p.binWidth - 1) / 2;
}

// Factors from the physical to the solver's parameters, per parameter: the
// solver's Jacobian is the physical one times these.
void InternalFactors(const gsl_vector* x, FitProblem& p) {
  p.factors.assign(x->size, 1.0);
  for (std::size_t j = 0; j < p.peaks; ++j) {
    p.factors[4 * j + 1] = std::exp(At(x, 4 * j + 1));
    p.factors[4 * j + 2] = EtaSlopeOf(x, j);
    p.factors[4 * j + 3] = p.areaUnit[j];
  }
  p.factors[4 * p.peaks] = p.backgroundUnit;
  p.factors[4 * p.peaks + 1] = p.backgroundUnit / p.halfSpan;
}

}  // namespace

PseudoVoigt PeakOf(const gsl_vector* x, const FitProblem& p, std::size_t j) {
  return {p.middle + At(x, 4 * j), std::exp(At(x, 4 * j + 1)), EtaOf(x, j), At(x, 4 * j + 3) * p.areaUnit[j]};
}

double BackgroundOf(const gsl_vector* x, const FitProblem& p) {
  return At(x, 4 * p.peaks) * p.backgroundUnit;
}

double SlopeOf(const gsl_vector* x, const FitProblem& p) {
  return At(x, 4 * p.peaks + 1) * p.backgroundUnit / p.halfSpan;
}

void Evaluate(const gsl_vector* x, FitProblem& p) {
  bool same = p.evaluatedAt.size() == x->size;
  for (std::size_t i = 0; i < x->size && same; ++i) same = p.evaluatedAt[i] == x->data[i];
  if (same) return;
  const double b0 = BackgroundOf(x, p), b1 = SlopeOf(x, p);
  for (std::size_t k = 0; k < p.model.size(); ++k) p.model[k] = p.binWidth * (b0 + b1 * (ChannelAt(p, k) - p.middle));
  for (std::size_t j = 0; j < p.peaks; ++j) {
    ProfileTerms(PeakOf(x, p, j), p.firstChannel, p.terms[j], p.binWidth);
    for (std::size_t k = 0; k < p.model.size(); ++k) p.model[k] += p.terms[j][k].value;
  }
  p.evaluatedAt.assign(x->data, x->data + x->size);
}

// Weighted residuals: the weights are applied here rather than by the
// solver, which would rescale every row of the Jacobian at every step.
int Residuals(const gsl_vector* x, void* data, gsl_vector* f) {
  FitProblem& p = *static_cast<FitProblem*>(data);
  Evaluate(x, p);
  for (std::size_t k = 0; k < p.model.size(); ++k)
    f->data[k * f->stride] = (p.model[k] - p.counts[k]) * p.rootWeights[k];
  return GSL_SUCCESS;
}

// The rows of the weighted Jacobian, by centre, fwhm, eta, area of each
// peak, background and slope, are made one at a time and summed at once.
void Linearise(const gsl_vector* x, FitProblem& p, const double* u, std::size_t uStride, std::span<double> gradient) {
  Evaluate(x, p);
  InternalFactors(x, p);
  const std::size_t n = p.counts.size(), b = 4 * p.peaks;
  const double* w = p.rootWeights.data();
  const double* f = p.factors.data();
  const double fb = p.binWidth * p.factors[b], fs = p.binWidth * p.factors[b + 1];
  auto row = [&](std::size_t k, double* r) {
    for (std::size_t j = 0; j < p.peaks; ++j) {
      const ChannelTerms& t = p.terms[j][k];
      r[4 * j] = w[k] * t.dCentre;
      r[4 * j + 1] = w[k] * t.dFwhm * f[4 * j + 1];
      r[4 * j + 2] = w[k] * t.dEta * f[4 * j + 2];
      r[4 * j + 3] = w[k] * t.dArea * f[4 * j + 3];
    }
    r[b] = w[k] * fb;
    r[b + 1] = w[k] * (ChannelAt(p, k) - p.middle) * fs;
  };
  p.normal.Accumulate(n, b + 2, row, u, uStride, gradient);
}

int NormalEquations(CBLAS_TRANSPOSE_t trans, const gsl_vector* x, const gsl_vector* u, void* data, gsl_vector* v,
                    gsl_matrix* jtj) {
  FitProblem& p = *static_cast<FitProblem*>(data);
  if (trans != CblasTrans || u == nullptr) return GSL_EUNIMPL;
  const std::size_t np = 4 * p.peaks + 2;
  p.gradient.resize(np);
  Linearise(x, p, u->data, u->stride, p.gradient);
  if (v != nullptr) {
    for (std::size_t i = 0; i < np; ++i) v->data[i * v->stride] = p.gradient[i];
  }
  if (jtj != nullptr) {
    for (std::size_t i = 0; i < np; ++i)
      for (std::size_t j = 0; j <= i; ++j) jtj->data[i * jtj->tda + j] = p.normal.At(i, j);
  }
  return GSL_SUCCESS;
}

// u is first brought into -pi/2..pi/2, which keeps eta. A u already inside
// is left exactly as it is, so that the model evaluated there still holds.
void LeaveBound(gsl_vector* x, std::size_t peaks) {
  constexpr double kEdge = std::numbers::pi / 2 - 1e-4;
  for (std::size_t j = 0; j < peaks; ++j) {
    const double u = AngleOf(x, j);
    if (std::abs(u) <= kEdge) continue;
    gsl_vector_set(x, 4 * j + 2, std::clamp(std::asin(std::sin(u)), -kEdge, kEdge) / kMixingUnit);
  }
}

void Reweigh(FitProblem& p) {
  for (std::size_t k = 0; k < p.model.size(); ++k) p.rootWeights[k] = 1 / std::sqrt(std::max(1.0, p.model[k]));
}

bool OnBound(double eta) {
  return eta < 1e-4 || eta > 1 - 1e-4;
}

double EtaOf(const gsl_vector* x, std::size_t j) {
  return 0.5 * (1 + std::sin(AngleOf(x, j)));
}

double EtaSlopeOf(const gsl_vector* x, std::size_t j) {
  return 0.5 * kMixingUnit * std::cos(AngleOf(x, j));
}

double MixingParameter(double eta) {
  return std::asin(std::clamp(2 * eta - 1, -1.0, 1.0)) / kMixingUnit;
}

void SetUp(FitProblem& p, std::span<const double> counts, double firstChannel, double binWidth, std::size_t peaks) {
  const std::size_t n = counts.size();
  p.counts = counts;
  p.firstChannel = firstChannel;
  p.binWidth = binWidth;
  p.peaks = peaks;
  p.rootWeights.resize(n);
  p.terms.resize(peaks);
  for (auto& t : p.terms) t.resize(n);
  p.model.resize(n);
  p.evaluatedAt.clear();
}

}  // namespace vantor
