// SPDX-License-Identifier: GPL-3.0-or-later
// A fit evaluates the profile at every channel edge of its window some ten
// times, so the edges are walked in order and share what they can: the
// Gaussian's exp(-z^2 / 2) steps from one edge to the next by two
// multiplications, and the error function and the arctangent are rational
// approximations that are exact to a few units in the last place but cost
// a fraction of the library's general routines.
#include "analysis/PeakProfile.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace vantor {
namespace {

// sigma of a Gaussian of unit FWHM: FWHM = 2 sqrt(2 ln 2) sigma.
const double kSigmaPerFwhm = 1 / (2 * std::sqrt(2 * std::numbers::ln2));

// erf(x) for |x| <= 0.46875 and erfc(x) exp(x^2) for x > 0.46875: W. J.
// Cody, Rational Chebyshev approximations for the error function, Math.
// Comp. 23 (1969) 631, with the coefficients of his SPECFUN routine CALERF
// (intervals 0..0.46875, 0.46875..4 and above 4); relative error below
// 1e-16 before rounding.
double SmallErf(double x) {
  const double y = x * x;
  const double num =
      (((1.85777706184603153e-1 * y + 3.16112374387056560e0) * y + 1.13864154151050156e2) * y + 3.77485237685302021e2) *
          y +
      3.20937758913846947e3;
  const double den = (((y + 2.36012909523441209e1) * y + 2.44024637934444173e2) * y + 1.28261652607737228e3) * y +
                     2.84423683343917062e3;
  return x * num / den;
}

double ScaledErfc(double x) {
  if (x <= 4) {
    const double num = (((((((2.15311535474403846e-8 * x + 5.64188496988670089e-1) * x + 8.88314979438837594e0) * x +
                            6.61191906371416295e1) *
                               x +
                           2.98635138197400131e2) *
                              x +
                          8.81952221241769090e2) *
                             x +
                         1.71204761263407058e3) *
                            x +
                        2.05107837782607147e3) *
                           x +
                       1.23033935479799725e3;
    const double den = (((((((x + 1.57449261107098347e1) * x + 1.17693950891312499e2) * x + 5.37181101862009858e2) * x +
                           1.62138957456669019e3) *
                              x +
                          3.29079923573345963e3) *
                             x +
                         4.36261909014324716e3) *
                            x +
                        3.43936767414372164e3) *
                           x +
                       1.23033935480374942e3;
    return num / den;
  }
  const double y = 1 / (x * x);
  const double num = ((((1.63153871373020978e-2 * y + 3.05326634961232344e-1) * y + 3.60344899949804439e-1) * y +
                       1.25781726111229246e-1) *
                          y +
                      1.60837851487422766e-2) *
                         y +
                     6.58749161529837803e-4;
  const double den = ((((y + 2.56852019228982242e0) * y + 1.87295284992346047e0) * y + 5.27905102951428412e-1) * y +
                      6.05183413124413191e-2) *
                         y +
                     2.33520497626869185e-3;
  return (1 / std::sqrt(std::numbers::pi) - y * num / den) / x;
}

// The standard normal CDF at z, given exp(-z^2 / 2).
double NormalCdf(double z, double expHalfSquare) {
  const double x = z * (1 / std::numbers::sqrt2);
  if (std::abs(x) <= 0.46875) return 0.5 + 0.5 * SmallErf(x);
  const double tail = expHalfSquare > 0 ? 0.5 * expHalfSquare * ScaledErfc(std::abs(x)) : 0.0;
  return z < 0 ? tail : 1 - tail;
}

// atan(x): S. L. Moshier, Cephes Math Library (atan.c; Methods and Programs
// for Mathematical Functions, 1989): reduction to |x| <= 0.66 by
// atan(x) = pi/2 - atan(1/x) and pi/4 + atan((x - 1) / (x + 1)), then
// x + x^3 P(x^2) / Q(x^2) of degree 4/5; relative error about 1e-16.
double Arctan(double x) {
  const double ax = std::abs(x);
  double base = 0, r = ax;
  if (ax > 1 + std::numbers::sqrt2) {  // tan(3 pi / 8)
    base = std::numbers::pi / 2, r = -1 / ax;
  } else if (ax > 0.66) {
    base = std::numbers::pi / 4, r = (ax - 1) / (ax + 1);
  }
  const double z = r * r;
  const double num =
      (((-8.750608600031904122785e-1 * z - 1.615753718733365076637e1) * z - 7.500855792314704667340e1) * z -
       1.228866684490136173410e2) *
          z -
      6.485021904942025371773e1;
  const double den =
      ((((z + 2.485846490142306297962e1) * z + 1.650270098316988542046e2) * z + 4.328810604912902668951e2) * z +
       4.853903996359136964868e2) *
          z +
      1.945506571482613964425e2;
  const double a = base + (r + r * z * num / den);
  return x < 0 ? -a : a;
}

// Cumulative integrals and densities of the two unit-area components at a
// channel edge t channels from the centre.
struct EdgeTerms {
  double gaussCdf, gaussPdf, lorentzCdf, lorentzPdf, t;
};

// The edges t0, t0 + h, t0 + 2h, ... in turn (h channels apart).
// exp(-t^2 / (2 sigma^2)) goes from one edge to the next times
// r = exp(-(t + h/2) h / sigma^2), and r times q = exp(-h^2 / sigma^2);
// rounding grows as k^2 ulp over k edges, 1e-11 over 300. Edges so far left
// of the centre that the Gaussian is below 1e-260 give 0 until the walk
// starts there, so that neither term overflows; below half a step of sigma
// (a fit running towards a spike) q would underflow and every edge takes
// its own exp.
class EdgeWalk {
 public:
  EdgeWalk(double t0, double fwhm, double h)
      : t_(t0),
        h_(h),
        sigma_(fwhm * kSigmaPerFwhm),
        perSigma_(1 / sigma_),
        perGamma_(2 / fwhm),
        gaussNorm_(1 / (sigma_ * std::sqrt(2 * std::numbers::pi))),
        lorentzNorm_(perGamma_ / std::numbers::pi),
        stepping_(sigma_ >= 0.5 * h) {
    if (stepping_) {
      start_ = std::max(0.0, std::ceil((-std::sqrt(1200.0) * sigma_ - t0) / h));
      q_ = std::exp(-h * h * perSigma_ * perSigma_);
    }
  }

  EdgeTerms Next() {
    const double z = t_ * perSigma_, u = t_ * perGamma_;
    const double g = Gauss(z);
    const EdgeTerms e{NormalCdf(z, g), g * gaussNorm_, 0.5 + Arctan(u) * std::numbers::inv_pi,
                      lorentzNorm_ / (1 + u * u), t_};
    t_ += h_;
    index_ += 1;
    return e;
  }

 private:
  double Gauss(double z) {
    if (!stepping_) return std::exp(-0.5 * z * z);
    if (index_ < start_) return 0;
    if (index_ == start_) g_ = std::exp(-0.5 * z * z), r_ = std::exp(-(t_ + 0.5 * h_) * h_ * perSigma_ * perSigma_);
    const double g = g_;
    g_ *= r_;
    r_ *= q_;
    return g;
  }

  double t_, h_, sigma_, perSigma_, perGamma_, gaussNorm_, lorentzNorm_;
  bool stepping_;
  double index_ = 0, start_ = 0;
  double g_ = 0, r_ = 0, q_ = 0;
};

double FirstEdge(const PseudoVoigt& peak, double firstChannel) {
  return firstChannel - 0.5 - peak.centre;
}

}  // namespace

// The derivatives come along: this serves a few channels per fit, and one
// walk over the edges keeps EdgeWalk::Next with a single caller, inlined.
void AddProfile(const PseudoVoigt& peak, double firstChannel, std::span<double> values) {
  std::vector<ChannelTerms> terms(values.size());
  ProfileTerms(peak, firstChannel, terms);
  for (std::size_t k = 0; k < values.size(); ++k) values[k] += terms[k].value;
}

// d/dcentre of an integral between two edges is the density at the lower
// edge minus that at the upper; d/dfwhm of a unit-area component's CDF at t
// is -t pdf(t) / fwhm for both shapes, since each scales with its width.
void ProfileTerms(const PseudoVoigt& peak, double firstChannel, std::span<ChannelTerms> terms, double binWidth) {
  const double a = peak.area, eta = peak.eta, perWidth = 1 / peak.fwhm;
  EdgeWalk walk(FirstEdge(peak, firstChannel), peak.fwhm, binWidth);
  EdgeTerms low{};
  for (std::size_t k = 0; k <= terms.size(); ++k) {
    const EdgeTerms high = walk.Next();
    if (k == 0) {
      low = high;
      continue;
    }
    ChannelTerms& c = terms[k - 1];
    const double gauss = high.gaussCdf - low.gaussCdf;
    const double lorentz = high.lorentzCdf - low.lorentzCdf;
    const double gaussPdf = low.gaussPdf - high.gaussPdf;
    const double lorentzPdf = low.lorentzPdf - high.lorentzPdf;
    const double gaussWidth = (low.t * low.gaussPdf - high.t * high.gaussPdf) * perWidth;
    const double lorentzWidth = (low.t * low.lorentzPdf - high.t * high.lorentzPdf) * perWidth;
    c.dArea = (1 - eta) * gauss + eta * lorentz;
    c.value = a * c.dArea;
    c.dCentre = a * ((1 - eta) * gaussPdf + eta * lorentzPdf);
    c.dFwhm = a * ((1 - eta) * gaussWidth + eta * lorentzWidth);
    c.dEta = a * (lorentz - gauss);
    low = high;
  }
}

// Peak densities per unit area: Gaussian 2 sqrt(ln 2 / pi) / fwhm,
// Lorentzian 2 / (pi fwhm).
PeakHeight HeightOf(const PseudoVoigt& peak) {
  const double gauss = 2 * std::sqrt(std::numbers::ln2 / std::numbers::pi) / peak.fwhm;
  const double lorentz = 2 / (std::numbers::pi * peak.fwhm);
  PeakHeight h;
  h.dArea = (1 - peak.eta) * gauss + peak.eta * lorentz;
  h.value = peak.area * h.dArea;
  h.dFwhm = -h.value / peak.fwhm;
  h.dEta = peak.area * (lorentz - gauss);
  return h;
}

}  // namespace vantor
