// SPDX-License-Identifier: GPL-3.0-or-later
// The channel integrals of the profile and their derivatives against the
// spectrum generator, which integrates with the library's erf and atan:
// the fit's own rational approximations and stepped exponentials must give
// the same counts to rounding, for narrow, wide and far-off peaks alike.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "analysis/PeakProfile.h"
#include "bench/PeakSpectra.h"

namespace vantor {
namespace {

struct ProfileCase {
  const char* what;
  double centre, fwhm, eta;
};

void PrintTo(const ProfileCase& c, std::ostream* out) {
  *out << c.what;
}

class PeakProfile_Channels : public ::testing::TestWithParam<ProfileCase> {};

constexpr int kProfileChannels = 1000;
constexpr double kArea = 1e6;

TEST_P(PeakProfile_Channels, MatchTheGeneratorsIntegrals) {
  const ProfileCase& c = GetParam();
  const bench::Background none{0, 0, 1};
  const auto truth = bench::GeneratePeaks({{c.centre, kArea, c.fwhm, c.eta}}, kProfileChannels, {0, 1, 0}, none, 1);
  std::vector<double> counts(kProfileChannels, 0.0);
  AddProfile({c.centre, c.fwhm, c.eta, kArea}, 1.0, counts);
  double worst = 0;
  for (int k = 0; k < kProfileChannels; ++k) worst = std::max(worst, std::abs(counts[k] - truth.expected[k]));
  EXPECT_LT(worst, 1e-12 * kArea) << c.what;
}

INSTANTIATE_TEST_SUITE_P(Rows, PeakProfile_Channels,
                         ::testing::Values(ProfileCase{"Gaussian", 500.3, 8, 0}, ProfileCase{"Lorentzian", 500.3, 8, 1},
                                           ProfileCase{"mixed, on a channel edge", 400.5, 12, 0.4},
                                           ProfileCase{"narrower than a channel", 600.2, 0.3, 0.2},
                                           ProfileCase{"wider than most of the window", 300, 400, 0.5},
                                           ProfileCase{"narrow, far from the first edge", 950.7, 3, 0.1},
                                           ProfileCase{"centre beyond the last channel", 1030, 10, 0.3},
                                           ProfileCase{"centre before the first channel", -20, 10, 0.3}));

// The derivatives the fit uses against central differences of the counts.
TEST(PeakProfile_Terms, DerivativesMatchDifferences) {
  for (const PseudoVoigt peak : {PseudoVoigt{100.2, 6, 0.3, 5e4}, PseudoVoigt{90.5, 25, 0.8, 5e4}}) {
    std::vector<ChannelTerms> terms(200);
    ProfileTerms(peak, 1.0, terms);
    const auto counts = [&](double PseudoVoigt::*field, double shift) {
      PseudoVoigt p = peak;
      p.*field += shift;
      std::vector<double> v(200, 0.0);
      AddProfile(p, 1.0, v);
      return v;
    };
    const double h = 1e-5;
    const auto dc = [&](double PseudoVoigt::*f) {
      const auto up = counts(f, h), down = counts(f, -h);
      std::vector<double> d(200);
      for (std::size_t k = 0; k < d.size(); ++k) d[k] = (up[k] - down[k]) / (2 * h);
      return d;
    };
    const auto centre = dc(&PseudoVoigt::centre), fwhm = dc(&PseudoVoigt::fwhm), eta = dc(&PseudoVoigt::eta);
    for (std::size_t k = 0; k < terms.size(); ++k) {
      EXPECT_NEAR(terms[k].dCentre, centre[k], 1e-7 * peak.area);
      EXPECT_NEAR(terms[k].dFwhm, fwhm[k], 1e-7 * peak.area);
      EXPECT_NEAR(terms[k].dEta, eta[k], 1e-7 * peak.area);
      EXPECT_NEAR(terms[k].dArea * peak.area, terms[k].value, 1e-12 * peak.area);
    }
  }
}

// A bin of w channels holds what its channels hold, derivatives included.
TEST(PeakProfile_Terms, BinsHoldTheSumOfTheirChannels) {
  for (const PseudoVoigt peak : {PseudoVoigt{40.3, 9, 0.4, 1e5}, PseudoVoigt{31.7, 2.5, 0.2, 1e5}}) {
    for (const std::size_t w : {2u, 3u}) {
      std::vector<ChannelTerms> channels(60), bins(60 / w);
      ProfileTerms(peak, 1.0, channels);
      ProfileTerms(peak, 1.0, bins, static_cast<double>(w));
      for (std::size_t b = 0; b < bins.size(); ++b) {
        ChannelTerms sum;
        for (std::size_t k = b * w; k < (b + 1) * w; ++k) {
          sum.value += channels[k].value, sum.dCentre += channels[k].dCentre, sum.dFwhm += channels[k].dFwhm;
          sum.dEta += channels[k].dEta, sum.dArea += channels[k].dArea;
        }
        EXPECT_NEAR(bins[b].value, sum.value, 1e-9 * peak.area);
        EXPECT_NEAR(bins[b].dCentre, sum.dCentre, 1e-9 * peak.area);
        EXPECT_NEAR(bins[b].dFwhm, sum.dFwhm, 1e-9 * peak.area);
        EXPECT_NEAR(bins[b].dEta, sum.dEta, 1e-9 * peak.area);
        EXPECT_NEAR(bins[b].dArea, sum.dArea, 1e-12);
      }
    }
  }
}

}  // namespace
}  // namespace vantor
