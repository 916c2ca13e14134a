// SPDX-License-Identifier: GPL-3.0-or-later
// The peak shape: a pseudo-Voigt, (1 - eta) Gaussian + eta Lorentzian of one
// common full width at half maximum, normalised to its area. A channel
// holds the profile's integral over its width, so the area is the counts
// the peak puts into the spectrum however narrow it is. Positions are
// channel numbers (index + 1); channel x spans x - 0.5 to x + 0.5.
#pragma once

#include <span>

namespace vantor {

struct PseudoVoigt {
  double centre = 0;  // channel number
  double fwhm = 1;    // channels
  double eta = 0.5;   // Lorentzian fraction, 0..1
  double area = 0;    // counts
};

// Counts per channel of one profile and their derivatives with respect to
// the four parameters, for one channel.
struct ChannelTerms {
  double value = 0;
  double dCentre = 0;
  double dFwhm = 0;
  double dEta = 0;
  double dArea = 0;
};

// Adds the profile's counts in the channels firstChannel, firstChannel + 1,
// ... (one per element of `values`) to `values`.
void AddProfile(const PseudoVoigt& peak, double firstChannel, std::span<double> values);

// The same with the derivatives; `terms` is overwritten, not added to. With
// a bin width w, each element holds w channels, the first firstChannel to
// firstChannel + w - 1.
void ProfileTerms(const PseudoVoigt& peak, double firstChannel, std::span<ChannelTerms> terms, double binWidth = 1);

// Counts per channel at the centre of the continuous profile and its
// derivatives with respect to fwhm and eta (area enters linearly).
struct PeakHeight {
  double value = 0;
  double dFwhm = 0;
  double dEta = 0;
  double dArea = 0;
};
PeakHeight HeightOf(const PseudoVoigt& peak);

}  // namespace vantor
