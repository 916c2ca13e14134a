// SPDX-License-Identifier: GPL-3.0-or-later
// Energy calibration from generated source and fluorescence spectra of a
// known calibration: back to the truth over the whole spectrum within
// 0.005 keV and within its own 3-sigma band, the choice of degree, the
// line list, and each way it refuses.
#include <gtest/gtest.h>

#include <cmath>

#include "analysis/EnergyCalibration.h"
#include "bench/PeakSpectra.h"

namespace vantor {
namespace {

constexpr std::array<double, 3> kTrue{0.27, 0.0421, 3e-7};
constexpr std::array<double, 3> kRough{0.0, 0.0423, 0.0};
constexpr int kChannels = 4096;

bench::PeakSpectrum Spectrum(std::vector<double> energies, std::uint32_t seed) {
  std::vector<bench::Line> lines;
  for (double e : energies) lines.push_back({e, 100000, 0.05});
  return bench::GenerateLines(lines, kChannels, kTrue, bench::Detector{}, bench::Background{}, seed);
}

std::vector<CalibrationLine> Lines(std::string_view list) {
  const LineList parsed = ParseLineList(list);
  EXPECT_TRUE(parsed.ok) << parsed.message;
  return parsed.lines;
}

// Sources: Am-241, Cd-109, Co-57 gamma lines (check values in keV).
const std::vector<double> kSourceEnergies{26.3446, 59.5409, 88.0336, 14.41295, 122.06065, 136.47356};

TEST(CalibrateEnergy_Generated, ReturnsTheTrueCalibrationWithinItsBand) {
  const auto sources = Spectrum(kSourceEnergies, 21);
  const auto lead = Spectrum({74.9694, 72.8042, 122.06065}, 22);  // Pb K-alpha1, K-alpha2 (Bearden 1967)
  const std::vector<CalibrationSpectrum> spectra{{"sources.xbm", sources.counts, kRough},
                                                 {"lead.xbm", lead.counts, {}}};
  EnergyCalibrationOptions options;
  options.guess = kRough;
  const EnergyCalibration c = CalibrateEnergy(spectra, Lines("Am-241,Cd-109,Co-57,Pb-Ka1,Pb-Ka2"), options);
  ASSERT_EQ(c.status, CalibrationStatus::Ok) << c.message;
  EXPECT_EQ(c.degree, 2);
  EXPECT_EQ(c.points.size(), 9u);
  EXPECT_EQ(c.unmatched.size(), 7u);  // Pb lines in sources.xbm, the other five in lead.xbm
  double worst = 0, worstSigmas = 0;
  for (int x = 1; x <= kChannels; ++x) {
    const Measured e = CalibratedEnergy(c, x);
    const double error = std::abs(e.value - (kTrue[0] + kTrue[1] * x + kTrue[2] * x * x));
    worst = std::max(worst, error);
    worstSigmas = std::max(worstSigmas, error / e.sigma);
  }
  EXPECT_LE(worst, 0.005);
  EXPECT_LE(worstSigmas, 3.0);
}

// ---- the degree

struct DegreeCase {
  const char* lines;
  int requested;
  CalibrationStatus status;
  int degree;
  const char* message;
};

class CalibrateEnergy_Degree : public ::testing::TestWithParam<DegreeCase> {};

TEST_P(CalibrateEnergy_Degree, FollowsTheLinesMatched) {
  const DegreeCase& d = GetParam();
  const auto s = Spectrum(kSourceEnergies, 23);
  const std::vector<CalibrationSpectrum> spectra{{"run1.xbm", s.counts, kRough}};
  EnergyCalibrationOptions options;
  options.degree = d.requested;
  const EnergyCalibration c = CalibrateEnergy(spectra, Lines(d.lines), options);
  EXPECT_EQ(c.status, d.status) << c.message;
  EXPECT_EQ(c.degree, d.degree);
  EXPECT_EQ(c.message, d.message);
  if (c.degree == 1) {
    EXPECT_EQ(c.egc[2].value, 0.0);
  }
}

INSTANTIATE_TEST_SUITE_P(Rows, CalibrateEnergy_Degree,
                         ::testing::Values(DegreeCase{"Am-241,Cd-109", 0, CalibrationStatus::Ok, 1, ""},
                                           DegreeCase{"Am-241,Cd-109,Co-57", 0, CalibrationStatus::Ok, 2, ""},
                                           DegreeCase{"Am-241,Cd-109,Co-57", 1, CalibrationStatus::Ok, 1, ""},
                                           DegreeCase{"Am-241,Cd-109", 2, CalibrationStatus::TooFewLines, 0,
                                                      "3 of 3 lines matched; a quadratic needs 4"},
                                           DegreeCase{"59.5409,100.0", 0, CalibrationStatus::TooFewLines, 0,
                                                      "1 of 2 lines matched; a linear calibration needs 2"}));

// ---- the line list and refusals

TEST(ParseLineList, SourcesXrayLinesAndEnergies) {
  const LineList list = ParseLineList("co-57, Pb-Ka1 ,59.5409");
  ASSERT_TRUE(list.ok) << list.message;
  ASSERT_EQ(list.lines.size(), 5u);
  EXPECT_EQ(list.lines[1].name, "Co-57 122.06065");
  EXPECT_EQ(list.lines[3].name, "Pb-Ka1");
  EXPECT_NEAR(list.lines[3].energyKeV, 74.9694, 0.002);  // Bearden, Rev. Mod. Phys. 39 (1967) 78
  EXPECT_EQ(list.lines[4].energyKeV, 59.5409);
}

TEST(ParseLineList, UnknownNamesListWhatIsKnown) {
  const LineList unknown = ParseLineList("Co-57,Xx-Ka1");
  EXPECT_FALSE(unknown.ok);
  EXPECT_EQ(unknown.message.find("unknown line \"Xx-Ka1\""), 0u) << unknown.message;
  for (const char* known : {"Eu-152", "Kb1", "Pb-Ka1"}) EXPECT_NE(unknown.message.find(known), std::string::npos);
  const LineList noLine = ParseLineList("O-La1");  // oxygen has no L lines
  EXPECT_FALSE(noLine.ok);
  EXPECT_EQ(noLine.message.find("O-La1: "), 0u) << noLine.message;
}

TEST(CalibrateEnergy_Refuses, AFileWithoutCalibrationAndNoGuess) {
  const auto s = Spectrum(kSourceEnergies, 24);
  const std::vector<CalibrationSpectrum> spectra{{"bare.csv", s.counts, {0, 0, 0}}};
  const EnergyCalibration c = CalibrateEnergy(spectra, Lines("Co-57"), EnergyCalibrationOptions{});
  EXPECT_EQ(c.status, CalibrationStatus::NoStartingCalibration);
  EXPECT_EQ(c.message, "bare.csv has no energy calibration; a starting guess A,B[,C] is needed");
}

}  // namespace
}  // namespace vantor
