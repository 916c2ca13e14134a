// SPDX-License-Identifier: GPL-3.0-or-later
// 2theta from generated spectra of standards at a known angle, read with a
// file angle a tenth of a degree off: back to the truth within 0.002
// degrees and within 3.5 of its own sigmas; why reflections are left out;
// each refusal.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "analysis/TwoThetaCalibration.h"
#include "bench/PeakSpectra.h"

namespace vantor {
namespace {

constexpr std::array<double, 3> kStandardEgc{0.032, 0.06484, 1.27e-8};
constexpr int kStandardChannels = 2048;
constexpr double kHalfHc = 6.199209921660013;  // keV x angstrom, CODATA 2018 exact hc / 2

double EnergyOf(double dA, double twoThetaDeg) {
  return kHalfHc / (dA * std::sin(twoThetaDeg / 2 * std::numbers::pi / 180));
}

// The standard's reflections as peaks, areas by multiplicity, weak ones a
// tenth; `change` may move or drop one (by hkl) to make it misbehave.
struct Change {
  std::string hkl;
  double shiftKeV = 0;
  bool drop = false;
};

bench::PeakSpectrum Generate(const Standard& standard, double twoThetaDeg, std::uint32_t seed, const Change& change) {
  std::vector<bench::Line> lines;
  for (const Reflection& r : Reflections(standard, standard.ambient, 0.5)) {
    const double e = EnergyOf(r.dA, twoThetaDeg);
    if (e > 130 || (r.hkl == change.hkl && change.drop)) continue;
    const double area = 4000.0 * r.multiplicity * (r.weak ? 0.1 : 1) * std::exp(-e / 60);
    lines.push_back({e + (r.hkl == change.hkl ? change.shiftKeV : 0), area, 0.1});
  }
  return bench::GenerateLines(lines, kStandardChannels, kStandardEgc, bench::Detector{}, bench::Background{}, seed);
}

TwoThetaCalibration Calibrate(const bench::PeakSpectrum& s, const char* standard, double fileDeg) {
  const TwoThetaSpectrum spectrum{"gen.xbm", 0, s.counts, kStandardEgc, fileDeg};
  return CalibrateTwoTheta(spectrum, *FindStandard(standard), TwoThetaOptions{});
}

struct AngleCase {
  const char* standard;
  double twoThetaDeg;
};

class CalibrateTwoTheta_Generated : public ::testing::TestWithParam<AngleCase> {};

TEST_P(CalibrateTwoTheta_Generated, FindsTheTrueAngleWithinItsSigma) {
  const AngleCase& a = GetParam();
  for (std::uint32_t seed = 1; seed <= 3; ++seed) {
    SCOPED_TRACE(std::string(a.standard) + " seed " + std::to_string(seed));
    const auto s = Generate(*FindStandard(a.standard), a.twoThetaDeg, seed, {});
    // The file's angle a tenth of a degree off, either way.
    const TwoThetaCalibration c = Calibrate(s, a.standard, a.twoThetaDeg + (seed % 2 ? 0.1 : -0.1));
    ASSERT_EQ(c.status, TwoThetaStatus::Ok) << c.message;
    EXPECT_GE(c.reflections.size(), 6u);
    const double error = c.twoThetaDeg.value - a.twoThetaDeg;
    EXPECT_LE(std::abs(error), 0.002);
    EXPECT_LE(std::abs(error), 3.5 * c.twoThetaDeg.sigma) << error << " +- " << c.twoThetaDeg.sigma;
    for (const TwoThetaReflection& r : c.reflections)
      EXPECT_LE(std::abs(r.residualKeV), 5 * r.energyKeV.sigma) << r.hkl;
  }
}

INSTANTIATE_TEST_SUITE_P(Standards, CalibrateTwoTheta_Generated,
                         ::testing::Values(AngleCase{"au", 6.4832}, AngleCase{"pt", 9.21}, AngleCase{"nacl", 5.05},
                                           AngleCase{"mgo", 7.5}, AngleCase{"ceo2", 7.13}, AngleCase{"si", 6.02},
                                           AngleCase{"lab6", 5.5}, AngleCase{"al2o3", 6.5121}),
                         [](const auto& info) { return std::string(info.param.standard); });

// ---- what is left out, and why

std::string WhyLeftOut(const TwoThetaCalibration& c, const std::string& hkl) {
  for (const LeftOutReflection& r : c.leftOut)
    if (r.hkl == hkl) return r.why;
  return "(used)";
}

TEST(CalibrateTwoTheta_LeftOut, NamesMissingOverlappedAndStrayReflections) {
  // 300 moved by a quarter of its width: far beyond its sigma, within reach of matching.
  const Standard& corundum = *FindStandard("al2o3");
  const auto dropped = Generate(corundum, 6.5121, 7, {"116", 0, true});
  const auto moved = Generate(corundum, 6.5121, 8, {"300", 0.1, false});
  for (const auto* s : {&dropped, &moved}) {
    const TwoThetaCalibration c = Calibrate(*s, "al2o3", 6.6);
    ASSERT_EQ(c.status, TwoThetaStatus::Ok) << c.message;
    EXPECT_NEAR(c.twoThetaDeg.value, 6.5121, 0.002);
    EXPECT_EQ(WhyLeftOut(c, "122"), "overlapped with 018");  // 1.5148 and 1.5109 angstrom: 0.2 keV apart
    EXPECT_EQ(WhyLeftOut(c, "018"), "overlapped with 122");
  }
  EXPECT_EQ(WhyLeftOut(Calibrate(dropped, "al2o3", 6.6), "116"), "not found");
  EXPECT_EQ(WhyLeftOut(Calibrate(dropped, "al2o3", 6.6), "300"), "(used)");
  EXPECT_EQ(WhyLeftOut(Calibrate(moved, "al2o3", 6.6), "300").rfind("beyond 3 sigma (", 0), 0u);
}

TEST(CalibrateTwoTheta_Refuses, WhatCannotGiveAnAngle) {
  const auto au = Generate(*FindStandard("au"), 6.5, 9, {});
  const std::vector<std::int32_t> empty(kStandardChannels, 0);
  const std::vector<bench::Line> two{{EnergyOf(2.3548, 6.5), 50000, 0.1}, {EnergyOf(2.0393, 6.5), 50000, 0.1}};
  const auto sparse =
      bench::GenerateLines(two, kStandardChannels, kStandardEgc, bench::Detector{}, bench::Background{}, 10);
  struct Row {
    TwoThetaSpectrum spectrum;
    TwoThetaStatus status;
    const char* message;
  };
  const Row rows[] = {
      {{"dead.med", 5, empty, kStandardEgc, 6.5}, TwoThetaStatus::NoCounts, "dead.med element 5 holds no counts"},
      {{"bare.xbm", 0, au.counts, {}, 6.5}, TwoThetaStatus::NoEnergyCalibration, "bare.xbm has no energy calibration"},
      {{"flat.xbm", 0, au.counts, kStandardEgc, 0},
       TwoThetaStatus::NoStartingAngle,
       "flat.xbm gives no 2theta: a starting guess is needed"},
      {{"two.xbm", 0, sparse.counts, kStandardEgc, 6.5},
       TwoThetaStatus::TooFewReflections,
       "2 reflections of au found in two.xbm near 2theta 6.5; at least 3 are needed"},
  };
  for (const Row& row : rows) {
    const TwoThetaCalibration c = CalibrateTwoTheta(row.spectrum, *FindStandard("au"), TwoThetaOptions{});
    EXPECT_EQ(c.status, row.status) << row.message;
    EXPECT_EQ(c.message, row.message);
  }
  // A guess stands in for a missing angle.
  TwoThetaOptions guessed;
  guessed.guessDeg = 6.45;
  EXPECT_NEAR(CalibrateTwoTheta(rows[2].spectrum, *FindStandard("au"), guessed).twoThetaDeg.value, 6.5, 0.002);
}

}  // namespace
}  // namespace vantor
