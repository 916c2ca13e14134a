// SPDX-License-Identifier: GPL-3.0-or-later
// Real files of the detectors' formats (VANTOR_REALDATA_DIR) for the
// readers' tests: what a read spectrum comes to, for comparison with the
// values independent readers give, and every file of every such folder.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "base/SourceSpectrum.h"
#include "support/TestFiles.h"

namespace vantor::test {

struct SpectrumFacts {
  int channels = 0;
  std::int64_t total = 0;
  std::int32_t largest = 0;
  int largestChannel = 0;  // from 1, the first one of the largest count
  double firstEnergy = 0, lastEnergy = 0, live = 0, real = 0;
  std::string date, time;
};

inline SpectrumFacts Facts(const SourceSpectrum& s) {
  const auto& r = s.record;
  SpectrumFacts f;
  f.channels = r.Data.DataNumber;
  for (int i = 0; i < f.channels; ++i) {
    f.total += r.Data.Count[i];
    if (i == 0 || r.Data.Count[i] > f.largest) f.largest = r.Data.Count[i], f.largestChannel = i + 1;
  }
  f.firstEnergy = EnergyOfChannel(1, r.Head.Measure.EGC);
  f.lastEnergy = EnergyOfChannel(f.channels, r.Head.Measure.EGC);
  f.live = r.Head.Measure.LiveTime, f.real = r.Head.Measure.RealTime;
  f.date = std::string(View(r.Head.Common.MeasDate)), f.time = std::string(View(r.Head.Common.MeasTime));
  return f;
}

// Equal to the 6 significant digits the independent readers print.
inline bool Near(double value, double expected) {
  return std::fabs(value - expected) <= 6e-6 * std::max(1.0, std::fabs(expected));
}

inline void ExpectFacts(const SourceSpectrum& s, const SpectrumFacts& want, const std::string& where) {
  const SpectrumFacts got = Facts(s);
  EXPECT_EQ(std::tie(got.channels, got.total, got.largest, got.largestChannel, got.date, got.time),
            std::tie(want.channels, want.total, want.largest, want.largestChannel, want.date, want.time))
      << where;
  EXPECT_TRUE(Near(got.firstEnergy, want.firstEnergy) && Near(got.lastEnergy, want.lastEnergy))
      << where << ": energies " << got.firstEnergy << " " << got.lastEnergy;
  EXPECT_TRUE(Near(got.live, want.live) && Near(got.real, want.real))
      << where << ": live " << got.live << " real " << got.real;
}

inline std::string RealFolder(const std::string& name) {
  return std::string(VANTOR_REALDATA_DIR) + "/" + name;
}

// {folder, path} of every file of the detectors' formats, SOURCES.txt aside.
inline std::vector<std::pair<std::string, std::string>> DetectorFiles() {
  std::vector<std::pair<std::string, std::string>> files;
  for (const char* folder : {"chn", "cnf", "iec", "mca-accuspec", "mca-amptek", "med", "n42", "spe"}) {
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(RealFolder(folder), ec))
      if (e.path().filename() != "SOURCES.txt") files.emplace_back(folder, e.path().string());
  }
  std::sort(files.begin(), files.end());
  return files;
}

// The first bytes a format check sees.
inline std::string Head(const std::string& path) {
  return ReadAll(path).substr(0, 4096);
}

}  // namespace vantor::test
