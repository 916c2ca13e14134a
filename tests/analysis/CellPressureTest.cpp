// SPDX-License-Identifier: GPL-3.0-or-later
// The cell pressure of a detector ring: elements' edges generated from a
// known hydrostatic edge, differential strain, load axis and ring offset,
// with Gaussian noise of their sigmas, give those back within their sigmas,
// with honest sigmas over many draws; and the files it cannot serve.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <numbers>
#include <random>

#include "analysis/CellPressure.h"
#include "analysis/PressureJson.h"
#include "analysis/TwoThetaCalibration.h"
#include "formats/SourceRead.h"

namespace vantor {
namespace {

constexpr double kRadian = std::numbers::pi / 180;
const double kAzimuths[] = {10, 32.5, 55, 77.5, 100, 122.5, 145, 167.5, 190, 280};

struct Truth {
  double pressureGPa = 5, strainQ = 0.001, axisDeg = 12, offsetDeg = 0, offsetAzimuthDeg = 0;
};

PressureRequest MgO() {
  const StandardChoice choice = ChooseStandard("mgo");
  PressureRequest r;
  r.standard = choice.standard, r.scale = choice.scale;
  return r;
}

// Each element's edge from the lattice strain equation, its 2theta (6.5 deg)
// off by the ring offset, and noise of sigma 0.0003 A.
std::vector<SpectrumPressure> Elements(const Truth& truth, double aP, std::mt19937& random) {
  std::normal_distribution<double> noise(0, 0.0003);
  std::vector<SpectrumPressure> out;
  const double theta = 3.25 * kRadian, cos2 = std::pow(std::cos(theta), 2);
  for (std::size_t i = 0; i < std::size(kAzimuths); ++i) {
    SpectrumPressure p;
    p.file = "ring.med", p.element = i + 1, p.scale = MgO().scale, p.temperatureK = 300;
    p.twoThetaDeg = 6.5;
    const double d = kAzimuths[i] * kRadian;
    const double cosPsi2 = cos2 * std::pow(std::cos(d - truth.axisDeg * kRadian), 2);
    const double off = truth.offsetDeg * kRadian / 2 * std::cos(d - truth.offsetAzimuthDeg * kRadian);
    const double a = aP * (1 + truth.strainQ * (1 - 3 * cosPsi2)) * std::sin(theta) / std::sin(theta + off);
    p.lattice.aA = {a + noise(random), 0.0003};
    out.push_back(p);
  }
  return out;
}

struct ModelCase {
  const char* name;
  bool axisGiven, ringOffset;
  Truth truth;
};

TEST(CellPressure, GeneratedRings_GiveBackTheCellWithHonestSigmas) {
  const ModelCase cases[] = {{"axis fitted", false, false, {5, 0.001, 12}},
                             {"axis given", true, false, {20, -0.0008, 100}},
                             {"ring offset", false, true, {10, 0.0012, 170, 0.004, 200}}};
  const PressureRequest request = MgO();
  for (const ModelCase& c : cases) {
    SCOPED_TRACE(c.name);
    const double aP = LatticeA(*request.scale, c.truth.pressureGPa, 300).aA;
    std::mt19937 random(7);
    CellGeometry geometry{{std::begin(kAzimuths), std::end(kAzimuths)}, std::nullopt, c.ringOffset};
    if (c.axisGiven) geometry.loadAxisDeg = c.truth.axisDeg;
    double sums[3][2] = {};  // pressure, strain and ring offset: pulls and their squares
    const int draws = 400;
    for (int k = 0; k < draws; ++k) {
      const CellPressure cell = PressureOfCell(Elements(c.truth, aP, random), geometry, request);
      ASSERT_TRUE(cell.ok()) << cell.error;
      const auto offset = cell.ringOffset.value_or(CellPressure::RingOffset{{c.truth.offsetDeg, 1}, {}}).twoThetaDeg;
      const double pulls[3] = {(cell.pressureGPa.value - c.truth.pressureGPa) / cell.pressureGPa.sigma,
                               (cell.strainQ.value - c.truth.strainQ) / cell.strainQ.sigma,
                               (offset.value - c.truth.offsetDeg) / offset.sigma};
      for (int j = 0; j < 3; ++j) sums[j][0] += pulls[j], sums[j][1] += pulls[j] * pulls[j];
      if (k > 0) continue;
      EXPECT_EQ(cell.elements.size(), std::size(kAzimuths));
      if (!c.axisGiven) {
        EXPECT_NEAR(cell.loadAxisDeg.value, c.truth.axisDeg, 4 * cell.loadAxisDeg.sigma);
      }
      if (c.ringOffset) {
        ASSERT_TRUE(cell.ringOffset);
        EXPECT_NEAR(cell.ringOffset->twoThetaDeg.value, c.truth.offsetDeg, 4 * cell.ringOffset->twoThetaDeg.sigma);
        EXPECT_NEAR(cell.ringOffset->azimuthDeg.value, c.truth.offsetAzimuthDeg, 4 * cell.ringOffset->azimuthDeg.sigma);
      }
    }
    // Over the draws: no bias, and sigmas that match the scatter. The widening by
    // chi2 when above 1 keeps the spread of the pulls a little under 1.
    for (int j = 0; j < (c.ringOffset ? 3 : 2); ++j) {
      const double mean = sums[j][0] / draws, sd = std::sqrt(sums[j][1] / draws - mean * mean);
      EXPECT_LT(std::abs(mean), 0.3) << "pull " << j;
      EXPECT_GT(sd, 0.75) << "pull " << j;
      EXPECT_LT(sd, 1.25) << "pull " << j;
    }
  }
}

TEST(CellPressure, TooFewElementsNoAzimuthsOrNoStrain_SayWhy) {
  const PressureRequest request = MgO();
  std::mt19937 random(1);
  std::vector<SpectrumPressure> ring = Elements(Truth{}, LatticeA(*request.scale, 5, 300).aA, random);
  CellGeometry geometry{{10, 20}, std::nullopt, false};
  EXPECT_EQ(PressureOfCell(ring, geometry, request).error, "2 azimuths for 10 spectra: give one for each");
  geometry.azimuthsDeg.assign(std::begin(kAzimuths), std::end(kAzimuths));
  for (std::size_t i = 3; i < ring.size(); ++i) ring[i].error = "no reflection";
  EXPECT_EQ(PressureOfCell(ring, geometry, request).error,
            "3 spectra with a pressure: the strain across the cell needs 4");
  geometry.loadAxisDeg = 0;
  EXPECT_TRUE(PressureOfCell(ring, geometry, request).ok());
  // A hydrostatic cell: a fitted axis finds only noise, and says so.
  const Truth still{5, 0, 0};
  const CellGeometry free{{std::begin(kAzimuths), std::end(kAzimuths)}, std::nullopt, false};
  const CellPressure cell = PressureOfCell(Elements(still, LatticeA(*request.scale, 5, 300).aA, random), free, request);
  ASSERT_EQ(cell.warnings.size(), 1u);
  EXPECT_NE(cell.warnings[0].find("no clear strain across it"), std::string::npos);
}

// A deforming press seen by a ten-element ring (MgO beside Co2SiO4, each
// element's 2theta and azimuth from a corundum run's calibration on the same
// detector). The elements'
// own pressures scatter far beyond their sigmas about their mean; the strain
// across the cell, with the ring's offset since the corundum run, explains
// them within chi2 per degree of freedom 3, and the cell's pressure lies
// within the elements' spread.
TEST(CellPressure, RealRing_TheStrainExplainsTheElements) {
  const std::string dir = std::string(VANTOR_REALDATA_DIR) + "/med/";
  if (!std::filesystem::exists(dir + "COSI_021_0001.med")) GTEST_SKIP() << "no " << dir << "COSI_021_0001.med";
  const SourceRead corundum = ReadSpectra(dir + "COSI_021_0001.med", "", RunSettings{});
  ASSERT_TRUE(corundum.result) << corundum.result.why;
  RunSettings settings;
  settings.calibration.emplace();
  for (std::size_t k = 0; k < corundum.spectra.size(); ++k) {
    const MeasureCondition& m = corundum.spectra[k].record.Head.Measure;
    const TwoThetaSpectrum s{"", k + 1, std::span(corundum.spectra[k].record.Data.Count).first(2048), m.EGC,
                             m.TwoTheta};
    const TwoThetaCalibration c = CalibrateTwoTheta(s, *FindStandard("al2o3"), TwoThetaOptions{});
    if (c.status == TwoThetaStatus::Ok)
      settings.calibration->elements[k + 1] = {std::nullopt, c.twoThetaDeg.value, c.twoThetaDeg.sigma, kAzimuths[k]};
  }
  const PressureRequest request = MgO();
  const SourcePressure run = PressureOfSource(dir + "COSI_022_0019.med", "", settings, request);
  ASSERT_EQ(run.spectra.size(), 10u);
  double low = 1e9, high = -1e9, sum = 0, weights = 0;
  for (const SpectrumPressure& p : run.spectra) {
    if (!p.ok()) continue;
    low = std::min(low, p.pressureGPa.value), high = std::max(high, p.pressureGPa.value);
    sum += p.pressureGPa.value / std::pow(p.pressureGPa.sigma, 2), weights += 1 / std::pow(p.pressureGPa.sigma, 2);
  }
  double spread = 0;
  for (const SpectrumPressure& p : run.spectra)
    if (p.ok()) spread += std::pow((p.pressureGPa.value - sum / weights) / p.pressureGPa.sigma, 2) / 8;
  EXPECT_GT(spread, 50);  // one pressure for every element is far off
  // The dead element 5 was never calibrated: the calibration gives it no azimuth.
  const CellGeometry geometry{CalibratedAzimuths(settings, run.spectra.size()), std::nullopt, true};
  const CellPressure cell = PressureOfCell(run.spectra, geometry, request);
  ASSERT_TRUE(cell.ok()) << cell.error;
  EXPECT_EQ(cell.elements.size(), 9u);  // element 5 is dead
  EXPECT_LE(cell.chiSquaredReduced, 3);
  EXPECT_GT(cell.strainQ.value, 5 * cell.strainQ.sigma);
  EXPECT_GT(cell.pressureGPa.value, low);
  EXPECT_LT(cell.pressureGPa.value, high);
  // As --json and Python give it: after the file's spectra, marked as the cell.
  const nlohmann::ordered_json json = CellPressureJson(cell);
  EXPECT_EQ(json["cell"], true);
  EXPECT_EQ(json["elements"].size(), 9u);
  EXPECT_EQ(json["pressure"], cell.pressureGPa.value);
  EXPECT_EQ(json["ring_offset"]["two_theta"], cell.ringOffset->twoThetaDeg.value);
  EXPECT_EQ(json["load_axis_source"], "fitted");
  EXPECT_EQ(json["pulls"].size(), 9u);
}

}  // namespace
}  // namespace vantor
