// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/PeakProfile.h"

#include <cmath>
#include <numbers>

namespace vantor {
namespace {

// sigma of a Gaussian of unit FWHM: FWHM = 2 sqrt(2 ln 2) sigma.
const double kSigmaPerFwhm = 1 / (2 * std::sqrt(2 * std::numbers::ln2));

// Cumulative integrals and densities of the two unit-area components at a
// channel edge t channels from the centre.
struct EdgeTerms {
  double gaussCdf, gaussPdf, lorentzCdf, lorentzPdf, t;
};

EdgeTerms AtEdge(double t, double fwhm) {
  const double sigma = fwhm * kSigmaPerFwhm;
  const double z = t / sigma;
  const double gamma = fwhm / 2;
  const double u = t / gamma;
  EdgeTerms e;
  e.t = t;
  e.gaussCdf = 0.5 * std::erfc(-z / std::numbers::sqrt2);
  e.gaussPdf = std::exp(-0.5 * z * z) / (sigma * std::sqrt(2 * std::numbers::pi));
  e.lorentzCdf = 0.5 + std::atan(u) / std::numbers::pi;
  e.lorentzPdf = 1 / (std::numbers::pi * gamma * (1 + u * u));
  return e;
}

double FirstEdge(const PseudoVoigt& peak, double firstChannel) {
  return firstChannel - 0.5 - peak.centre;
}

}  // namespace

void AddProfile(const PseudoVoigt& peak, double firstChannel, std::span<double> values) {
  const double t0 = FirstEdge(peak, firstChannel);
  EdgeTerms low = AtEdge(t0, peak.fwhm);
  for (std::size_t k = 0; k < values.size(); ++k) {
    const EdgeTerms high = AtEdge(t0 + static_cast<double>(k + 1), peak.fwhm);
    const double gauss = high.gaussCdf - low.gaussCdf;
    const double lorentz = high.lorentzCdf - low.lorentzCdf;
    values[k] += peak.area * ((1 - peak.eta) * gauss + peak.eta * lorentz);
    low = high;
  }
}

// d/dcentre of an integral between two edges is the density at the lower
// edge minus that at the upper; d/dfwhm of a unit-area component's CDF at t
// is -t pdf(t) / fwhm for both shapes, since each scales with its width.
void ProfileTerms(const PseudoVoigt& peak, double firstChannel, std::span<ChannelTerms> terms) {
  const double t0 = FirstEdge(peak, firstChannel);
  const double a = peak.area, eta = peak.eta, w = peak.fwhm;
  EdgeTerms low = AtEdge(t0, w);
  for (std::size_t k = 0; k < terms.size(); ++k) {
    const EdgeTerms high = AtEdge(t0 + static_cast<double>(k + 1), w);
    const double gauss = high.gaussCdf - low.gaussCdf;
    const double lorentz = high.lorentzCdf - low.lorentzCdf;
    const double gaussPdf = low.gaussPdf - high.gaussPdf;
    const double lorentzPdf = low.lorentzPdf - high.lorentzPdf;
    const double gaussWidth = (low.t * low.gaussPdf - high.t * high.gaussPdf) / w;
    const double lorentzWidth = (low.t * low.lorentzPdf - high.t * high.lorentzPdf) / w;
    ChannelTerms& c = terms[k];
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
