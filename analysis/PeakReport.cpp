// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/PeakReport.h"

#include <cmath>
#include <limits>

#include "base/DSpacing.h"
#include "base/SpectrumRecord.h"

namespace vantor {
namespace {

// Germanium K lines and K edge, keV (J. A. Bearden, Rev. Mod. Phys. 39
// (1967) 78; edge: Bearden and Burr, same volume, 125): a photon absorbed
// in the K shell whose fluorescence leaves the crystal shows up this much
// lower.
constexpr double kGeKalphaKeV = 9.886;
constexpr double kGeKbetaKeV = 10.982;
constexpr double kGeKedgeKeV = 11.103;
// The largest escape a parent can give: half the K fluorescence (isotropic
// emission, at most the half towards the entrance face leaves) of the
// fluorescence yield 0.546 split between K-alpha (0.873) and K-beta (0.127),
// as xraylib 4.0 tabulates them for Z = 32 (FluorYield, RadRate).
constexpr double kMaxKalphaEscape = 0.5 * 0.546 * 0.873;
constexpr double kMaxKbetaEscape = 0.5 * 0.546 * 0.127;

const double kNaN = std::numeric_limits<double>::quiet_NaN();

double Slope(const ChannelScale& s, double channel) {
  return s.egc[1] + 2 * s.egc[2] * channel;
}

// Sets energy and d-spacing from a channel and its sigma.
void PlaceOnEnergyScale(PeakResult& r, const ChannelScale& s) {
  if (!s.calibrated) return;
  const double e = EnergyOfChannel(r.channel.value, s.egc);
  const Measured energy{e, std::abs(Slope(s, r.channel.value)) * r.channel.sigma};
  r.energyKeV = energy;
  if (const auto d = DSpacing(e, s.sinTheta, kHcExact)) r.dSpacingA = Measured{*d, *d * energy.sigma / e};
}

// sqrt(g^T C g) over the parameters `which` of the fit's covariance.
template <std::size_t N>
double Propagate(const GroupFit& fit, const std::array<std::size_t, N>& which, const std::array<double, N>& g) {
  double variance = 0;
  for (std::size_t a = 0; a < N; ++a) {
    for (std::size_t b = 0; b < N; ++b) variance += g[a] * fit.Covariance(which[a], which[b]) * g[b];
  }
  return std::sqrt(std::max(0.0, variance));
}

}  // namespace

PeakResult FittedPeak(const GroupFit& fit, std::size_t index, double snr, const ChannelScale& scale) {
  const PseudoVoigt& p = fit.peaks[index];
  const std::size_t c = 4 * index, w = c + 1, eta = c + 2, area = c + 3;
  PeakResult r;
  r.channel = {p.centre, std::sqrt(fit.Covariance(c, c))};
  PlaceOnEnergyScale(r, scale);
  if (scale.calibrated) {
    // FWHM in keV = fwhm x dE/dx at the centre, which moves with the centre.
    const double slope = Slope(scale, p.centre);
    r.fwhm = {p.fwhm * slope, Propagate<2>(fit, {c, w}, {2 * scale.egc[2] * p.fwhm, slope})};
    r.fwhmInKeV = true;
  } else {
    r.fwhm = {p.fwhm, std::sqrt(fit.Covariance(w, w))};
  }
  const PeakHeight h = HeightOf(p);
  r.height = {h.value, Propagate<3>(fit, {w, eta, area}, {h.dFwhm, h.dEta, h.dArea})};
  r.area = {p.area, std::sqrt(fit.Covariance(area, area))};
  r.eta = {p.eta, std::sqrt(fit.Covariance(eta, eta))};
  r.snr = snr;
  return r;
}

PeakResult UnfittedPeak(const PeakCandidate& candidate, std::string reason, const ChannelScale& scale) {
  PeakResult r;
  r.fitted = false;
  r.reason = std::move(reason);
  r.channel = {candidate.centre, kNaN};
  PlaceOnEnergyScale(r, scale);
  const double slope = scale.calibrated ? Slope(scale, candidate.centre) : 1.0;
  r.fwhm = {candidate.fwhm * slope, kNaN};
  r.fwhmInKeV = scale.calibrated;
  r.height = {candidate.height, kNaN};
  r.area = {kNaN, kNaN};
  r.eta = {kNaN, kNaN};
  r.snr = candidate.snr;
  return r;
}

void MarkEscapePeaks(std::vector<PeakResult>& peaks) {
  for (const PeakResult& parent : peaks) {
    if (!parent.fitted || !parent.energyKeV || parent.energyKeV->value <= kGeKedgeKeV) continue;
    for (PeakResult& p : peaks) {
      if (!p.fitted || !p.energyKeV || &p == &parent) continue;
      const double sigma = std::hypot(parent.energyKeV->sigma, p.energyKeV->sigma);
      const double tolerance = std::max(0.5 * p.fwhm.value, 3 * sigma);
      const double ratio = p.area.value / parent.area.value;
      const double alpha = parent.energyKeV->value - kGeKalphaKeV;
      const double beta = parent.energyKeV->value - kGeKbetaKeV;
      if ((std::abs(p.energyKeV->value - alpha) <= tolerance && ratio <= kMaxKalphaEscape) ||
          (std::abs(p.energyKeV->value - beta) <= tolerance && ratio <= kMaxKbetaEscape)) {
        p.escape = true;
      }
    }
  }
}

}  // namespace vantor
