// SPDX-License-Identifier: GPL-3.0-or-later
// The window's result tables and reflection marks, against numbers known
// apart from the code: a generated spectrum's true pressure and cell edge,
// the angle the command line prints for a real corundum run, silicon's
// allowed reflections and d-spacings (SRM 640c, a = 5.4311946 Å).
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "analysis/ReflectionMarks.h"
#include "analysis/ResultCells.h"
#include "bench/PressureSpectra.h"

namespace vantor {
namespace {

double Leading(const std::string& cell) {
  return std::stod(cell.substr(0, cell.find_first_of(" (")));
}

TEST(ResultCells, PressureRowsCarryTheTrueValuesAndTheReasons) {
  bench::StandardScene scene;
  scene.pressureGPa = 10;
  const bench::StandardSpectrum s = bench::GenerateStandardSpectrum(scene);
  PressureRequest request;
  request.standard = FindStandard("au");
  request.scale = FindScale("Au", "");
  SpectrumRecord uncalibrated = s.record;
  uncalibrated.Head.Measure.EGC = {};
  const std::vector<SpectrumPressure> both{PressureOfSpectrum(s.record, "/data/run7.xbm", 3, request),
                                           PressureOfSpectrum(uncalibrated, "run8.xbm", 0, request)};
  const CellTable summary = PressureSummaryCells(both);
  ASSERT_EQ(summary.rows.size(), 2u);
  EXPECT_EQ(summary.rows[0][0], "run7.xbm:3");
  EXPECT_NEAR(Leading(summary.rows[0][1]), 10, 0.3);
  EXPECT_NEAR(Leading(summary.rows[0][3]), s.aA, 0.002);
  EXPECT_EQ(summary.rows[1][1], "-");
  EXPECT_EQ(summary.rows[1][5], both[1].error);

  const CellTable reflections = PressureReflectionCells(both[0]);
  ASSERT_EQ(reflections.rows.size(), both[0].lattice.reflections.size() + both[0].lattice.dropped.size());
  for (std::size_t i = 0; i < reflections.rows.size(); ++i) {
    const auto& row = reflections.rows[i];
    if (i < both[0].lattice.reflections.size())
      EXPECT_NEAR(Leading(row[4]), s.aA, 0.01) << row[0];
    else
      EXPECT_EQ(row[4].rfind("dropped: ", 0), 0u) << row[0];
  }
  EXPECT_TRUE(PressureReflectionCells(both[1]).rows.empty());
}

// As `calibrate two-theta` prints element 1 of the corundum run.
TEST(ResultCells, TwoThetaRowsInTheCommandLinesDigits) {
  TwoThetaCalibration ok;
  ok.file = "/m/COSI_021_0001.med", ok.element = 1, ok.fileTwoThetaDeg = 6.4959435;
  ok.twoThetaDeg = {6.498571, 0.000163};
  ok.reflections = {{"104", 2.55096, {42.8776, 0.0016}, 0.004}, {"110", 2.3795, {45.9651, 0.0028}, 0.002}};
  ok.leftOut = {{"006", 2.1653, "not found"}};
  TwoThetaCalibration failed;
  failed.file = "x.med", failed.status = TwoThetaStatus::NoEnergyCalibration, failed.message = "no calibration";
  const std::vector<TwoThetaCalibration> both{ok, failed};
  const CellTable summary = TwoThetaSummaryCells(both);
  EXPECT_EQ(summary.rows[0], (std::vector<std::string>{"COSI_021_0001.med:1", "6.4959435", "6.49857 ± 0.00016", "2"}));
  EXPECT_EQ(summary.rows[1][2], "-");
  EXPECT_EQ(summary.rows[1][3], "not calibrated: no calibration");
  const CellTable reflections = TwoThetaReflectionCells(ok);
  ASSERT_EQ(reflections.rows.size(), 3u);
  EXPECT_EQ(reflections.rows[0][2], "42.8776(16)");
  EXPECT_EQ(reflections.rows[2][3], "left out: not found");
}

TEST(ReflectionMarks, SiliconLinesAtTheirBraggEnergiesAndChannels) {
  const Standard& si = *FindStandard("si");
  const std::array<double, 3> egc{0.1, 0.05, 0};
  const auto marks = ReflectionMarks(si, si.ambient, 10, egc, 2048);  // up to 102.45 keV
  ASSERT_GE(marks.size(), 6u);
  // Diamond: 200 and 222 are absent.
  const char* expected[] = {"111", "220", "311", "400", "331", "422"};
  for (std::size_t i = 0; i < 6; ++i) EXPECT_EQ(marks[i].hkl, expected[i]);
  EXPECT_NEAR(marks[0].dA, 3.135702, 1e-6);  // a / sqrt(3)
  // E = hc / (2 d sin 5°) with hc = 12.398419843 keV Å (CODATA 2018).
  EXPECT_NEAR(marks[0].energyKeV, 22.68327, 1e-4);
  EXPECT_NEAR(marks[0].channel, (22.68327 - 0.1) / 0.05, 0.002);
  for (const auto& m : marks) EXPECT_LE(m.channel, 2048);
  EXPECT_TRUE(ReflectionMarks(si, si.ambient, 0, egc, 2048).empty());
}

TEST(ReflectionMarks, ChannelOfEnergyInvertsTheQuadraticAndRefusesOutside) {
  const std::array<double, 3> egc{0.1, 0.05, 1e-6};
  EXPECT_NEAR(*ChannelOfEnergy(51.1, egc, 2048), 1000, 1e-9);  // 0.1 + 50 + 1
  EXPECT_FALSE(ChannelOfEnergy(0.01, egc, 2048));
  EXPECT_FALSE(ChannelOfEnergy(500, egc, 2048));
  EXPECT_FALSE(ChannelOfEnergy(10, {1, -0.01, 0}, 2048));  // falls over the channels
}

}  // namespace
}  // namespace vantor
