// SPDX-License-Identifier: GPL-3.0-or-later
// The model of one fit window as the solver sees it: pseudo-Voigt peaks on a
// straight background over bins of one or more channels, weighted
// residuals and Jacobian in the solver's internal parameters, and the
// scratch the fit keeps between its steps. Internal to the peak fit.
//
// The solver works on internal parameters that keep the model physical at
// every step: per peak the centre less the window's middle, the logarithm
// of the width, u with eta = (1 + sin u) / 2, which reaches 0 and 1 at
// finite u (the transformation MINUIT uses for limited parameters; F. James
// and M. Roos, MINUIT, CERN Program Library D506) in units of kMixingUnit,
// and the area in units of its starting value; then background and slope in
// units of the starting background. Left free, an eta would run off with the
// area towards zero on a dip of the noise.
#pragma once

#include <gsl/gsl_multilarge_nlinear.h>

#include <span>
#include <vector>

#include "analysis/PeakNormal.h"
#include "analysis/PeakProfile.h"

namespace vantor {

// The chi-square's curvature along u is a few hundredths of the area's
// (the Lorentzian and Gaussian differ only in the wings), and the solver's
// first damping, a thousandth of the largest curvature, held a step in u
// back by a tenth or more: a pass took a second step for it about every
// other time. In units of 2 radians the curvature is four times larger.
constexpr double kMixingUnit = 2;

// The window, and the model at the last parameters it was evaluated for:
// the solver asks for the Jacobian at the point whose residuals it has just
// taken, so the profile terms of that evaluation serve both.
struct FitProblem {
  std::span<const double> counts;  // per bin of binWidth channels
  double firstChannel = 0;
  double binWidth = 1;
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
  // J^T J of the solver's Jacobian with the pass's weights at the solver's
  // current point (or, after Settled, at the solution with its own
  // weights); and room for a gradient, a displacement and the mixings held
  // on their bounds.
  NormalMatrix normal;
  std::vector<double> gradient, moved;
  std::vector<bool> held;
};

// Sets p up for the window's counts in bins of `binWidth` channels; the
// units and the middle are left to the caller. Everything a fit reads is set
// here or computed before it is read; the cache key evaluatedAt is cleared.
void SetUp(FitProblem& p, std::span<const double> counts, double firstChannel, double binWidth, std::size_t peaks);

// The physical peak j, background and slope of internal parameters x.
PseudoVoigt PeakOf(const gsl_vector* x, const FitProblem& p, std::size_t j);
double BackgroundOf(const gsl_vector* x, const FitProblem& p);
double SlopeOf(const gsl_vector* x, const FitProblem& p);
double EtaOf(const gsl_vector* x, std::size_t j);
// d eta / d (the internal mixing parameter) of peak j.
double EtaSlopeOf(const gsl_vector* x, std::size_t j);
// The internal mixing parameter for eta.
double MixingParameter(double eta);

// The model at x in p.model (and the profile terms behind it), unless it is
// there already.
void Evaluate(const gsl_vector* x, FitProblem& p);

// The solver's callbacks (gsl_multilarge_nlinear_fdf f and df); data is the
// FitProblem. The solver works on the normal equations: df gives it J^T J
// and J^T u, never J itself (the only kind of call its Levenberg-Marquardt
// steps on a Cholesky factor make).
int Residuals(const gsl_vector* x, void* data, gsl_vector* f);
int NormalEquations(CBLAS_TRANSPOSE_t trans, const gsl_vector* x, const gsl_vector* u, void* data, gsl_vector* v,
                    gsl_matrix* jtj);

// J^T J of the solver's weighted Jacobian at x into p.normal, and J^T u
// (for the residuals u, with stride uStride) into gradient; leaves the
// factors from physical to internal parameters in p.factors.
void Linearise(const gsl_vector* x, FitProblem& p, const double* u, std::size_t uStride, std::span<double> gradient);

// Sets the weights from the model in p.model.
void Reweigh(FitProblem& p);

// A mixing exactly on 0 or 1 gives the solver no slope in its direction; a
// step of 1e-4 in u (eta moves by 2.5e-9) gives it one back.
void LeaveBound(gsl_vector* x, std::size_t peaks);

// Whether a mixing counts as on its bound.
bool OnBound(double eta);

}  // namespace vantor
