// SPDX-License-Identifier: GPL-3.0-or-later
// Pressure from generated spectra of a standard at known P and T, with a
// second phase and fluorescence in the way: P comes back within its sigma,
// the sigma's parts match hand-worked values, the temperature rule, and the
// spectra that must give no pressure.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <numbers>

#include "analysis/SpectrumPressure.h"
#include "bench/PressureSpectra.h"

namespace vantor {
namespace {

PressureRequest RequestFor(std::string_view standard) {
  const StandardChoice choice = ChooseStandard(standard);
  EXPECT_TRUE(choice.ok()) << choice.error;
  PressureRequest r;
  r.standard = choice.standard, r.scale = choice.scale;
  return r;
}

SpectrumPressure PressureOf(const bench::StandardScene& scene, PressureRequest request) {
  return PressureOfSpectrum(bench::GenerateStandardSpectrum(scene).record, "run7.xbm", 0, request);
}

// ---- pressure over the range each standard is used in

struct RangeCase {
  const char* standard;
  double maxGPa, maxK;
};

TEST(SpectrumPressure, GeneratedSpectra_GiveBackPressureWithinSigma) {
  const RangeCase cases[] = {{"au", 30, 1300}, {"pt", 30, 1300}, {"mgo", 30, 1300}, {"nacl", 15, 1073}};
  for (const RangeCase& c : cases) {
    double pullSum = 0, pullSquares = 0;
    const int n = 40;
    for (int k = 0; k < n; ++k) {
      bench::StandardScene scene;
      scene.standard = c.standard;
      scene.seed = 1000 + static_cast<std::uint32_t>(k);
      scene.pressureGPa = c.maxGPa * k / (n - 1);                           // 0 .. max
      scene.temperatureK = 300 + (c.maxK - 300) * ((k * 7) % n) / (n - 1);  // every T at some P
      const SpectrumPressure p = PressureOf(scene, RequestFor(c.standard));
      SCOPED_TRACE(std::string(c.standard) + " at " + std::to_string(scene.pressureGPa) + " GPa, " +
                   std::to_string(scene.temperatureK) + " K");
      ASSERT_TRUE(p.ok()) << p.error;
      EXPECT_EQ(p.temperatureSource, TemperatureSource::Record);
      EXPECT_NEAR(p.pressureGPa.value, scene.pressureGPa, std::max(3 * p.pressureGPa.sigma, 0.1));
      const double pull = (p.pressureGPa.value - scene.pressureGPa) / p.pressureGPa.sigma;
      pullSum += pull, pullSquares += pull * pull;
    }
    // No bias, and sigmas neither hiding errors nor inflated far beyond them.
    const double mean = pullSum / n, sd = std::sqrt(pullSquares / n - mean * mean);
    EXPECT_LT(std::abs(mean), 0.5) << c.standard;
    EXPECT_GT(sd, 0.5) << c.standard;
    EXPECT_LT(sd, 1.4) << c.standard;
  }
}

// At 300 K and 0 GPa each standard shows its ambient cell edge as published
// (Fei 2007 V0 for Au and Pt, Tange 2009 for MgO; NaCl Decker 1971 at 300 K).
TEST(SpectrumPressure, AmbientSpectra_GiveThePublishedCellEdge) {
  const std::pair<const char*, double> edges[] = {
      {"au", 4.07865}, {"pt", 3.92312}, {"mgo", 4.21153}, {"nacl", 5.64061}};
  for (const auto& [standard, aA] : edges) {
    bench::StandardScene scene;
    scene.standard = standard, scene.seed = 7;
    const SpectrumPressure p = PressureOf(scene, RequestFor(standard));
    ASSERT_TRUE(p.ok()) << p.error;
    EXPECT_NEAR(p.lattice.aA.value, aA, 3 * p.lattice.aA.sigma + 1e-5) << standard;
    EXPECT_GE(p.lattice.reflections.size(), 5u) << standard;
  }
}

// ---- the parts of sigma(P), worked by hand for Au at V0 and 300 K

TEST(SpectrumPressure, SigmaParts_MatchHandWorkedValues) {
  bench::StandardScene scene;
  PressureRequest request = RequestFor("au");
  request.twoThetaSigmaDeg = 0.002;
  request.temperatureSigmaK = 10;
  const SpectrumPressure p = PressureOf(scene, request);
  ASSERT_TRUE(p.ok()) << p.error;
  // d, hence a, moves by delta(theta) / tan(theta): 1.745e-5 / tan(3.25 deg) = 3.07e-4,
  // V by three times that, P by K0 = 167 GPa times it: 0.154 GPa.
  EXPECT_NEAR(p.sigmaParts.twoTheta, 0.154, 0.006);
  // alpha K_T = gamma0 Cv / V0 = 2.97 x 24.54 J/(mol K) / 10.2151 cm^3/mol = 7.13e-3 GPa/K
  // (Cv = 3R (1 - (theta0/T)^2 / 20) at 300 K, theta0 = 170 K).
  EXPECT_NEAR(p.sigmaParts.temperature, 0.0713, 0.0015);
  EXPECT_GT(p.sigmaParts.edge, 0);
  EXPECT_NEAR(p.pressureGPa.sigma, std::hypot(p.sigmaParts.edge, 0.154, 0.0713), 0.007);
}

// ---- temperature: given, else the record's, else 300 K said so

TEST(SpectrumPressure, Temperature_OptionThenRecordThenAssumed) {
  const struct {
    std::optional<double> optionK;
    double recordK;  // 273.15 K is the record's 0 degrees C: none
    double expectedK;
    TemperatureSource source;
  } cases[] = {{700, 500, 700, TemperatureSource::Option},
               {std::nullopt, 500, 500, TemperatureSource::Record},
               {std::nullopt, 273.15, 300, TemperatureSource::Assumed}};
  for (const auto& c : cases) {
    bench::StandardScene scene;
    scene.temperatureK = c.recordK;
    PressureRequest request = RequestFor("au");
    request.temperatureK = c.optionK;
    const SpectrumPressure p = PressureOf(scene, request);
    ASSERT_TRUE(p.ok()) << p.error;
    EXPECT_EQ(p.temperatureK, c.expectedK);
    EXPECT_EQ(p.temperatureSource, c.source);
    const bool warned = !p.warnings.empty() && p.warnings[0] == "no temperature in run7.xbm: taken as 300 K";
    EXPECT_EQ(warned, c.source == TemperatureSource::Assumed);
  }
}

// ---- lines in the way

// Au 220 put 0.15 keV above the Au K-beta1 fluorescence line: the two blend, the blend
// sits off the other reflections, and 220 is dropped naming the line; P stays right.
TEST(SpectrumPressure, ReflectionOnFluorescence_IsDroppedWithTheReason) {
  const PressureRequest request = RequestFor("au");
  const double d220 = 12.398419843320026 / 2 / ((77.984 + 0.15) * std::sin(3.25 * std::numbers::pi / 180));
  bench::StandardScene scene;
  scene.secondPhase = false;
  scene.pressureGPa = PressureGPa(*request.scale, d220 * std::sqrt(8.0), 300).pressureGPa;
  const SpectrumPressure p = PressureOf(scene, request);
  ASSERT_TRUE(p.ok()) << p.error;
  ASSERT_FALSE(p.lattice.dropped.empty());
  EXPECT_EQ(p.lattice.dropped[0].hkl, "220");
  EXPECT_NE(p.lattice.dropped[0].why.find("Kb1 fluorescence"), std::string::npos) << p.lattice.dropped[0].why;
  EXPECT_NEAR(p.pressureGPa.value, scene.pressureGPa, std::max(3 * p.pressureGPa.sigma, 0.1));
}

// ---- no pressure, and why

TEST(SpectrumPressure, SpectraWithoutAPressure_SayWhy) {
  using Scene = bench::StandardScene;
  const double e200 = bench::EnergyOfSpacing(4.07865 / 2, 6.5);
  const auto alone = [](Scene& s, std::vector<bench::Line> lines) {  // these lines and nothing else
    s.strongestArea = 0, s.secondPhase = s.fluorescence = false, s.extraLines = std::move(lines);
  };
  const struct {
    const char* what;
    std::function<void(Scene&)> scene;
    std::function<void(SpectrumRecord&)> record;
    std::optional<double> guessGPa;
    const char* message;
  } cases[] = {
      {"no angle", {}, [](SpectrumRecord& r) { r.Head.Measure.TwoTheta = 0; }, {}, "no d-spacing"},
      {"no calibration", {}, [](SpectrumRecord& r) { r.Head.Measure.EGC = {}; }, {}, "(EGC 0 0 0)"},
      {"no Au lines",
       [](Scene& s) { s.strongestArea = 0, s.fluorescence = false; },
       {},
       {},
       "no Au reflection found between "},
      {"one line",
       [&](Scene& s) {
         alone(s, {{e200, 20000, 0.1}});
       },
       {},
       {},
       "only 1 Au reflection found (200 at"},
      {"200 and 400 alone",
       [&](Scene& s) {
         alone(s, {{e200, 20000, 0.1}, {2 * e200, 10000, 0.1}});
       },
       {},
       {},
       "only orders of one Au family found (200 and 400)"},
      {"guess far off", [](Scene& s) { s.secondPhase = s.fluorescence = false; }, {}, 20, " Au reflection"},
  };
  for (const auto& c : cases) {
    Scene scene;
    scene.seed = 3;
    if (c.scene) c.scene(scene);
    SpectrumRecord record = bench::GenerateStandardSpectrum(scene).record;
    if (c.record) c.record(record);
    PressureRequest request = RequestFor("au");
    request.guessPressureGPa = c.guessGPa;
    const SpectrumPressure p = PressureOfSpectrum(record, "x.xbm", 0, request);
    EXPECT_FALSE(p.ok()) << c.what;
    EXPECT_NE(p.error.find(c.message), std::string::npos) << c.what << ": " << p.error;
  }
  EXPECT_EQ(ChooseStandard("gold").error, "unknown pressure standard 'gold' (au, pt, nacl, mgo)");
  EXPECT_NE(ChooseStandard("au:Fei2009").error.find("(Fei2007, Anderson1989,"), std::string::npos);
}

// ---- choosing which peaks to fit

// The peaks chosen are fitted exactly as in a search of every peak, and only they come back.
// Elements of one file whose peaks each fit two cells: the pressure most of
// their scores favour wins, and only the element that chose the other is
// fitted again, near it; a guessed pressure leaves the choice to the user.
TEST(SettleRivalElements, RefitsTheOddElementNearTheFilesChoice) {
  const auto element = [](std::size_t k, double p, double rivalP, double score, double rivalScore) {
    SpectrumPressure e;
    e.file = "run.med", e.element = k, e.pressureGPa = {p, 0.1};
    e.rival = SpectrumPressure::Rival{rivalP, rivalScore, score};
    return e;
  };
  std::vector<SpectrumPressure> alone = {element(1, 30.8, 6.5, 1.82, 1.77), element(2, 5.9, 30.3, 2.15, 1.74),
                                         element(3, 6.5, 31.2, 1.99, 1.59), element(4, 7.0, 0, 1.0, 0)};
  alone[3].rival.reset();  // an element that fits one cell clearly has no vote on the choice
  std::vector<std::pair<std::size_t, double>> refits;
  const auto refit = [&](std::size_t k, double guess) {
    refits.emplace_back(k, guess);
    SpectrumPressure again = alone[k];
    again.pressureGPa = {guess + 0.1, 0.1};
    return again;
  };
  std::vector<SpectrumPressure> settled = alone;
  SettleRivalElements(settled, PressureRequest{}, refit);
  ASSERT_EQ(refits.size(), 1u);
  EXPECT_EQ(refits[0].first, 0u);
  EXPECT_NEAR(refits[0].second, 6.2, 0.7);
  EXPECT_NEAR(settled[0].pressureGPa.value, refits[0].second + 0.1, 1e-12);
  EXPECT_NE(settled[0].warnings.at(0).find("alone it fitted 30.8 GPa"), std::string::npos) << settled[0].warnings[0];

  PressureRequest guessed;
  guessed.guessPressureGPa = 30;
  settled = alone;
  SettleRivalElements(settled, guessed, refit);
  EXPECT_EQ(refits.size(), 1u);
  EXPECT_EQ(settled[0].pressureGPa.value, 30.8);
}

TEST(FindPeaks_FitNear, FitsOnlyTheChosenPeaksAndThemAsBefore) {
  bench::StandardScene scene;
  const auto s = bench::GenerateStandardSpectrum(scene);
  const PeakSearch all = FindPeaks(s.spectrum.counts, s.spectrum.egc, 6.5, PeakOptions{});
  PeakOptions options;
  std::size_t places = 0;
  options.fitNear = [&](std::span<const PeakPlace> found) {
    places = found.size();
    return std::vector<double>{s.reflectionKeV[1]};
  };
  const PeakSearch chosen = FindPeaks(s.spectrum.counts, s.spectrum.egc, 6.5, options);
  EXPECT_GE(places, all.peaks.size());
  ASSERT_EQ(chosen.peaks.size(), 1u);
  EXPECT_NEAR(chosen.peaks[0].energyKeV->value, s.reflectionKeV[1], 0.05);
  const auto same = std::find_if(all.peaks.begin(), all.peaks.end(),
                                 [&](const PeakResult& p) { return p.channel.value == chosen.peaks[0].channel.value; });
  EXPECT_NE(same, all.peaks.end());
}

}  // namespace
}  // namespace vantor
