// SPDX-License-Identifier: GPL-3.0-or-later
#include "bench/PressureSpectra.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <random>

#include "analysis/PressureScale.h"
#include "analysis/Standards.h"
#include "base/FileAccess.h"
#include "formats/RecordFile.h"

namespace vantor::bench {
namespace {

// K lines, keV: Bearden (1967) Rev. Mod. Phys. 39, 78, as the X-ray Data Booklet
// (LBNL, 2009) Table 1-2 lists them; intensities relative to K-alpha1 roughly as
// measured for heavy elements (Scofield 1974 gives 0.59, 0.23, 0.08 for Au).
struct Fluorescence {
  const char* standard;
  std::array<double, 4> energyKeV;  // Ka1, Ka2, Kb1, Kb2
};
constexpr Fluorescence kFluorescence[] = {
    {"au", {68.8037, 66.9895, 77.984, 80.185}},
    {"pt", {66.832, 65.112, 75.748, 77.878}},
};
constexpr std::array<double, 4> kRelativeK{1, 0.59, 0.22, 0.08};
constexpr double kFluorescenceShare = 0.3;  // of the strongest reflection's area

// The incident spectrum and detector efficiency together, peaking near 55 keV.
double Envelope(double energyKeV) {
  const double x = (energyKeV - 55) / 40;
  return std::exp(-x * x);
}

void AddReflections(const StandardScene& scene, const Standard& standard, double top, StandardSpectrum& out,
                    std::vector<Line>& lines) {
  std::vector<std::pair<double, double>> raw;  // energy, relative area
  for (const Reflection& r : Reflections(standard, CubicCell(out.aA), 0.5)) {
    const double e = EnergyOfSpacing(r.dA, scene.twoThetaDeg);
    if (e < 5 || e > top) continue;
    // Multiplicity, the cancelling sublattices of weak lines, and the fall of form
    // factors and Debye-Waller factor with 1/d, roughly as d^2.
    raw.emplace_back(e, r.multiplicity * (r.weak ? 0.05 : 1) * r.dA * r.dA * Envelope(e));
  }
  double largest = 0;
  for (const auto& [e, area] : raw) largest = std::max(largest, area);
  for (const auto& [e, area] : raw) {
    lines.push_back({e, scene.strongestArea * area / largest, 0.1});
    out.reflectionKeV.push_back(e);
  }
}

void AddObstacles(const StandardScene& scene, std::vector<Line>& lines) {
  std::mt19937_64 engine(scene.seed ^ 0x5bd1e995ULL);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  if (scene.secondPhase) {
    for (int k = 0; k < 10; ++k) {
      const double e = 30 + 100 * unit(engine);
      lines.push_back({e, scene.strongestArea * std::pow(10.0, -unit(engine)), 0.1});
    }
  }
  if (scene.fluorescence) {
    for (const Fluorescence& f : kFluorescence) {
      if (scene.standard != f.standard) continue;
      for (std::size_t k = 0; k < f.energyKeV.size(); ++k)
        lines.push_back({f.energyKeV[k], kFluorescenceShare * scene.strongestArea * kRelativeK[k], 0.3});
    }
  }
  lines.insert(lines.end(), scene.extraLines.begin(), scene.extraLines.end());
}

void FillRecord(const StandardScene& scene, StandardSpectrum& out) {
  SpectrumRecord& r = out.record;
  r.Data.DataNumber = static_cast<std::int16_t>(out.spectrum.counts.size());
  std::copy(out.spectrum.counts.begin(), out.spectrum.counts.end(), r.Data.Count.begin());
  r.Head.Measure.EGC = scene.egc;
  r.Head.Measure.TwoTheta = scene.twoThetaDeg;
  r.Head.Measure.Temperature = scene.temperatureK - kZeroCelsiusInKelvin;
  AssignText(r.Head.Common.MeasDate, "20161105");
  char time[7];
  const unsigned s = scene.seed % 86400;
  std::snprintf(time, sizeof time, "%02u%02u%02u", s / 3600, s / 60 % 60, s % 60);
  AssignText(r.Head.Common.MeasTime, time);
}

}  // namespace

StandardSpectrum GenerateStandardSpectrum(const StandardScene& scene) {
  StandardSpectrum out;
  out.aA = std::numeric_limits<double>::quiet_NaN();
  const Standard* standard = FindStandard(scene.standard);
  const PressureScale* scale = standard ? FindScale(standard->pressureStandard, scene.scale) : nullptr;
  if (scale != nullptr) {
    const LatticeResult a = LatticeA(*scale, scene.pressureGPa, scene.temperatureK);
    if (a.ok()) out.aA = a.aA;
  }
  std::vector<Line> lines;
  const double top = scene.egc[0] + scene.egc[1] * scene.channels + scene.egc[2] * scene.channels * scene.channels;
  if (std::isfinite(out.aA)) AddReflections(scene, *standard, top, out, lines);
  AddObstacles(scene, lines);
  out.spectrum = GenerateLines(lines, scene.channels, scene.egc, Detector{}, Background{}, scene.seed);
  FillRecord(scene, out);
  return out;
}

bool WriteWithTruth(const std::string& folder, const StandardScene& scene, const StandardSpectrum& spectrum) {
  char name[32];
  std::snprintf(name, sizeof name, "run%05u.xbm", scene.seed);
  const std::string path = folder + "/" + name;
  if (!ReplaceFileAtomically(path, RecordFileBytes(spectrum.record.Data, spectrum.record.Head))) {
    std::fprintf(stderr, "cannot write %s\n", path.c_str());
    return false;
  }
  std::printf("%s,%.6f,%.3f,%.7f\n", name, scene.pressureGPa, scene.temperatureK, spectrum.aA);
  return true;
}

}  // namespace vantor::bench
