// SPDX-License-Identifier: GPL-3.0-or-later
// Peak search and fit against generated spectra of known peaks with Poisson
// noise: whether the uncertainties are honest (pulls), whether peaks are
// found and nothing else is, overlapping peaks, escape peaks, energies and
// d-spacings, and the cases that give no fitted peak.
#include <gtest/gtest.h>

#include <cmath>
#include <thread>

#include "analysis/PeakSearch.h"
#include "base/DSpacing.h"
#include "bench/PeakSpectra.h"

namespace vantor {
namespace {

constexpr std::array<double, 3> kEgc{0.2667, 0.04219, 0.0};

std::vector<bench::FoundPeak> Reported(const PeakSearch& search) {
  std::vector<bench::FoundPeak> found;
  for (const PeakResult& p : search.peaks) {
    found.push_back({p.channel.value, p.channel.sigma, p.area.value, p.area.sigma, p.fitted});
  }
  return found;
}

void ExpectHonest(const bench::PeakScore& score, std::size_t minPulls) {
  ASSERT_GE(score.positionPulls.size(), minPulls);
  ASSERT_EQ(score.positionPulls.size(), static_cast<std::size_t>(score.strongFound)) << "strong peaks not fitted";
  for (const auto& pulls : {score.positionPulls, score.areaPulls}) {
    const bench::PullSummary s = bench::Summarise(pulls);
    EXPECT_NEAR(s.mean, 0, 0.3);
    EXPECT_GE(s.sd, 0.8);
    EXPECT_LE(s.sd, 1.25);
  }
}

// ---- honesty and detection over many peaks

TEST(FindPeaks_GeneratedSpectra, PullsAreHonestAndPeaksAreFound) {
  bench::PeakScore score;
  for (std::uint32_t seed = 1; seed <= 60; ++seed) {
    const auto s =
        bench::GenerateRandomPeaks(seed, 4096, kEgc, bench::RandomPeaks{}, bench::Detector{}, bench::Background{});
    score.Add(s, Reported(FindPeaks(s.counts, s.egc, 5, PeakOptions{})));
  }
  ExpectHonest(score, 400);
  EXPECT_GE(score.strongFound, 0.98 * score.strong);
  EXPECT_LE(score.falseReported, 0.02 * score.reported);
}

// Few counts: weak peaks on a background of a few counts per channel, where
// Poisson is far from Gaussian and many channels hold 0.
TEST(FindPeaks_GeneratedSpectra, FewCountsStayHonest) {
  bench::PeakScore score;
  bench::RandomPeaks weak;
  weak.minArea = 200, weak.maxArea = 3000;
  bench::Background low;
  low.level = 2, low.amplitude = 10;
  for (std::uint32_t seed = 100; seed < 160; ++seed) {
    const auto s = bench::GenerateRandomPeaks(seed, 4096, kEgc, weak, bench::Detector{}, low);
    score.Add(s, Reported(FindPeaks(s.counts, s.egc, 5, PeakOptions{})));
  }
  ExpectHonest(score, 400);
  EXPECT_GE(score.strongFound, 0.98 * score.strong);
  EXPECT_LE(score.falseReported, 0.02 * score.reported);
}

// Two peaks 1.4 to 2.8 widths apart share their counts and are fitted
// together; both come out with honest uncertainties.
TEST(FindPeaks_OverlappingPeaks, AreFittedTogetherHonestly) {
  bench::PeakScore score;
  for (std::uint32_t seed = 0; seed < 80; ++seed) {
    const double fwhm = 8, separation = fwhm * (1.4 + 1.4 * (seed % 10) / 9.0);
    const double centre = 1000 + 20 * seed;
    const auto s = bench::GeneratePeaks({{centre, 40000, fwhm, 0.3}, {centre + separation, 20000, fwhm, 0.3}}, 4096,
                                        kEgc, bench::Background{}, seed);
    score.Add(s, Reported(FindPeaks(s.counts, s.egc, 5, PeakOptions{})));
  }
  EXPECT_EQ(score.strongFound, 160);
  EXPECT_LE(score.falseReported, 0.02 * score.reported);
  ExpectHonest(score, 160);
}

// Searches on several threads at once give what one thread gives: nothing
// is shared between calls.
TEST(FindPeaks_Threads, GiveTheSameResultsAsOneThread) {
  std::vector<bench::PeakSpectrum> spectra;
  for (std::uint32_t seed = 200; seed < 204; ++seed) {
    spectra.push_back(
        bench::GenerateRandomPeaks(seed, 4096, kEgc, bench::RandomPeaks{}, bench::Detector{}, bench::Background{}));
  }
  std::vector<PeakSearch> alone, together(spectra.size());
  for (const auto& s : spectra) alone.push_back(FindPeaks(s.counts, s.egc, 5, PeakOptions{}));
  std::vector<std::thread> threads;
  for (std::size_t i = 0; i < spectra.size(); ++i) {
    threads.emplace_back([&, i] { together[i] = FindPeaks(spectra[i].counts, spectra[i].egc, 5, PeakOptions{}); });
  }
  for (auto& t : threads) t.join();
  for (std::size_t i = 0; i < spectra.size(); ++i) {
    ASSERT_EQ(alone[i].peaks.size(), together[i].peaks.size());
    for (std::size_t j = 0; j < alone[i].peaks.size(); ++j) {
      EXPECT_EQ(alone[i].peaks[j].area.value, together[i].peaks[j].area.value);
    }
  }
}

// ---- escape peaks

struct EscapeCase {
  const char* what;
  double offsetKeV;     // below the 60 keV parent
  double areaFraction;  // of the parent's area
  bool escape;
};

void PrintTo(const EscapeCase& c, std::ostream* out) {
  *out << c.what;
}

class FindPeaks_Escape : public ::testing::TestWithParam<EscapeCase> {};

TEST_P(FindPeaks_Escape, FlagsOnlyPlausibleEscapePeaks) {
  const EscapeCase& c = GetParam();
  const bench::Line lines[] = {{60, 400000, 0.1}, {60 - c.offsetKeV, 400000 * c.areaFraction, 0.1}};
  const auto s = bench::GenerateLines(lines, 4096, kEgc, bench::Detector{}, bench::Background{}, 7);
  const PeakSearch found = FindPeaks(s.counts, s.egc, 5, PeakOptions{});
  ASSERT_EQ(found.peaks.size(), 2u) << c.what;
  EXPECT_EQ(found.peaks[0].escape, c.escape) << c.what;
  EXPECT_FALSE(found.peaks[1].escape) << c.what;
}

INSTANTIATE_TEST_SUITE_P(Rows, FindPeaks_Escape,
                         ::testing::Values(EscapeCase{"K-alpha escape", 9.886, 0.05, true},
                                           EscapeCase{"K-beta escape", 10.982, 0.01, true},
                                           EscapeCase{"too strong for an escape", 9.886, 0.5, false},
                                           EscapeCase{"K-beta escape too strong", 10.982, 0.1, false},
                                           EscapeCase{"elsewhere", 8.0, 0.05, false}));

// ---- what a peak reports

TEST(FindPeaks_Scales, EnergyAndDSpacingWhereDefined) {
  const bench::Line line[] = {{80.0, 100000, 0.2}};
  const auto s = bench::GenerateLines(line, 4096, kEgc, bench::Detector{}, bench::Background{}, 3);
  const PeakSearch calibrated = FindPeaks(s.counts, kEgc, 6.0, PeakOptions{});
  ASSERT_EQ(calibrated.peaks.size(), 1u);
  const PeakResult& p = calibrated.peaks[0];
  ASSERT_TRUE(p.energyKeV && p.dSpacingA && p.fwhmInKeV);
  EXPECT_NEAR(p.energyKeV->value, 80.0, 3 * p.energyKeV->sigma);
  const double trueD = *DSpacing(80.0, SinTheta(6.0), kHcExact);
  EXPECT_NEAR(p.dSpacingA->value, trueD, 3 * p.dSpacingA->sigma);
  EXPECT_NEAR(p.fwhm.value, bench::Detector{}.FwhmKeV(80.0), 3 * p.fwhm.sigma);

  EXPECT_FALSE(FindPeaks(s.counts, kEgc, 0.0, PeakOptions{}).peaks[0].dSpacingA);
  for (const auto& none : {std::array<double, 3>{0, 0, 0}, std::array<double, 3>{200, -0.04, 0}}) {
    const PeakSearch bare = FindPeaks(s.counts, none, 6.0, PeakOptions{});
    ASSERT_EQ(bare.peaks.size(), 1u);
    EXPECT_FALSE(bare.peaks[0].energyKeV || bare.peaks[0].dSpacingA || bare.peaks[0].fwhmInKeV);
    EXPECT_NEAR(bare.peaks[0].fwhm.value, s.peaks[0].fwhm, 3 * bare.peaks[0].fwhm.sigma);
  }
}

TEST(FindPeaks_Range, KeepsOnlyPeaksInsideIt) {
  const bench::Line lines[] = {{40, 50000, 0.2}, {90, 50000, 0.2}};
  const auto s = bench::GenerateLines(lines, 4096, kEgc, bench::Detector{}, bench::Background{}, 5);
  PeakOptions options;
  options.energyRangeKeV = {{60.0, 120.0}};
  const PeakSearch found = FindPeaks(s.counts, kEgc, 5, options);
  ASSERT_EQ(found.peaks.size(), 1u);
  EXPECT_NEAR(found.peaks[0].energyKeV->value, 90, 0.05);
}

// ---- nothing to report

TEST(FindPeaks_Nothing, FlatNoiseSaysWhichThreshold) {
  const auto s = bench::GeneratePeaks({}, 4096, kEgc, bench::Background{}, 11);
  const PeakSearch found = FindPeaks(s.counts, kEgc, 0, PeakOptions{});
  EXPECT_EQ(found.status, PeakSearchStatus::NoPeak);
  EXPECT_TRUE(found.peaks.empty());
  EXPECT_NE(found.message.find("signal-to-noise ratio 5"), std::string::npos) << found.message;
}

TEST(FindPeaks_Nothing, ASpikeIsReportedNotFittedWithTheReason) {
  std::vector<std::int32_t> counts(2048, 0);
  counts[1000] = 100000;
  const PeakSearch found = FindPeaks(counts, kEgc, 0, PeakOptions{});
  ASSERT_EQ(found.peaks.size(), 1u);
  EXPECT_FALSE(found.peaks[0].fitted);
  EXPECT_FALSE(found.peaks[0].reason.empty());
  EXPECT_TRUE(std::isnan(found.peaks[0].area.sigma));
}

TEST(FindPeaks_Nothing, RefusesWhatItCannotDo) {
  const std::vector<std::int32_t> counts(1024, 10);
  PeakOptions range;
  range.energyRangeKeV = {{10.0, 20.0}};
  PeakOptions zero;
  zero.minSnr = 0;
  EXPECT_EQ(FindPeaks(counts, {0, 0, 0}, 0, range).status, PeakSearchStatus::InvalidInput);
  EXPECT_EQ(FindPeaks(counts, kEgc, 0, zero).status, PeakSearchStatus::InvalidInput);
  EXPECT_EQ(FindPeaks(std::span(counts).first(4), kEgc, 0, PeakOptions{}).status, PeakSearchStatus::InvalidInput);
}

}  // namespace
}  // namespace vantor
