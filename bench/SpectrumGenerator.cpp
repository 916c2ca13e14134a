// SPDX-License-Identifier: GPL-3.0-or-later
#include "bench/SpectrumGenerator.h"

#include <cmath>
#include <cstdio>
#include <random>

namespace vantor::bench {

SpectrumRecord GenerateSpectrum(std::uint32_t seed, int channels) {
  std::mt19937 random(seed);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  SpectrumRecord r;
  auto& c = r.Head.Common;
  auto& m = r.Head.Measure;

  char text[64];
  std::snprintf(text, sizeof text, "MgSiO3 run %u, 15 GPa", seed);
  AssignText(c.SampleTitle, text);
  std::snprintf(text, sizeof text, "EDX-%05u", seed);
  AssignText(c.SampleID, text);
  std::snprintf(text, sizeof text, "2006%02u%02u", 1 + seed % 12, 1 + seed % 28);
  AssignText(c.MeasDate, text);
  std::snprintf(text, sizeof text, "%02u%02u%02u", seed % 24, (seed * 7) % 60, (seed * 13) % 60);
  AssignText(c.MeasTime, text);
  AssignText(c.Operator, "beamline");
  AssignText(c.Comment, "synthetic spectrum made by the Vantor generator");
  c.DataType = 1;
  c.SourceFormat = 1;

  m.MeasureType = static_cast<std::int16_t>(1 + seed % 4);
  m.EGC = {0.2667 + 0.001 * unit(random), 0.04219 + 0.00001 * unit(random), 0.0};
  m.TwoTheta = 5.0 + 0.001 * (seed % 7);
  m.RealTime = 300.0;
  m.LiveTime = 300.0 * (0.85 + 0.1 * unit(random));
  m.DeadTime = (m.RealTime - m.LiveTime) / m.RealTime * 100;
  m.PrsRTime = 300;
  m.Temperature = 25.0 + 10.0 * (seed % 120);
  m.PressLoad = 100.0 + 5.0 * (seed % 40);
  m.Pressure = 15.0;
  m.RingCurrent = 99.5 - 0.01 * (seed % 100);
  m.MiriVolt = 1.25;
  m.RateMeter = 1523.0;
  m.PressX = 1.5, m.PressY = -2.0, m.PressZ = 0.25, m.PressTZ = 90.0;
  m.InSlitV = 0.05, m.InSlitH = 0.2, m.ReSlitV = 0.05, m.ReSlitH = 0.2, m.CollimatorSize = 0.1;
  m.Volt = 3.2, m.Current2 = 41.5, m.Power = 132.8, m.Resistance = 0.077;

  const int n = channels < 0 ? 0 : (channels > kMaxChannels ? kMaxChannels : channels);
  r.Data.DataNumber = static_cast<std::int16_t>(n);
  double peaks[6][3];  // centre (channel), height, width
  for (auto& p : peaks) {
    p[0] = 200 + unit(random) * (n > 400 ? n - 400 : 1);
    p[1] = 500 + 20000 * unit(random);
    p[2] = 3 + 4 * unit(random);
  }
  for (int i = 0; i < n; ++i) {
    double mean = 40.0 + 400.0 * std::exp(-i / 900.0);
    for (const auto& p : peaks) mean += p[1] * std::exp(-0.5 * std::pow((i - p[0]) / p[2], 2));
    const double noisy = mean + std::sqrt(mean) * std::normal_distribution<double>(0, 1)(random);
    r.Data.Count[i] = static_cast<std::int32_t>(std::lround(noisy < 0 ? 0 : noisy));
  }
  return r;
}

}  // namespace vantor::bench
