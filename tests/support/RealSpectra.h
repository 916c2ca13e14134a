// SPDX-License-Identifier: GPL-3.0-or-later
// Real files of the detectors' formats (VANTOR_REALDATA_DIR) for the
// readers' tests: a read spectrum against the values independent readers
// give, and every file of every such folder.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "base/SourceSpectrum.h"
#include "support/TestFiles.h"

namespace vantor::test {

struct SpectrumFacts {
  int channels;
  long long total;
  int largest, largestChannel;  // the channel from 1, the first of the largest count
  double firstEnergy, lastEnergy, live, real;
  std::string date, time;
};

// Numbers equal to the 6 significant digits the independent readers print.
inline void ExpectFacts(const SourceSpectrum& s, const SpectrumFacts& want, const std::string& where) {
  const auto& r = s.record;
  const auto& m = r.Head.Measure;
  SpectrumFacts got{r.Data.DataNumber,
                    0,
                    0,
                    0,
                    EnergyOfChannel(1, m.EGC),
                    EnergyOfChannel(r.Data.DataNumber, m.EGC),
                    m.LiveTime,
                    m.RealTime,
                    std::string(View(r.Head.Common.MeasDate)),
                    std::string(View(r.Head.Common.MeasTime))};
  for (int i = 0; i < got.channels; ++i) {
    got.total += r.Data.Count[i];
    if (i == 0 || r.Data.Count[i] > got.largest) got.largest = r.Data.Count[i], got.largestChannel = i + 1;
  }
  EXPECT_EQ(std::tie(got.channels, got.total, got.largest, got.largestChannel, got.date, got.time),
            std::tie(want.channels, want.total, want.largest, want.largestChannel, want.date, want.time))
      << where;
  for (const auto& [value, expected] : {std::pair{got.firstEnergy, want.firstEnergy},
                                        {got.lastEnergy, want.lastEnergy},
                                        {got.live, want.live},
                                        {got.real, want.real}})
    EXPECT_NEAR(value, expected, 6e-6 * std::max(1.0, std::fabs(expected))) << where;
}

inline std::string RealFolder(const std::string& name) {
  return std::string(VANTOR_REALDATA_DIR) + "/" + name;
}

// {folder, first 4096 bytes} of every file of the detectors' formats.
inline std::vector<std::pair<std::string, std::string>> DetectorFileHeads() {
  std::vector<std::pair<std::string, std::string>> heads;
  for (const char* folder : {"chn", "cnf", "iec", "mca-accuspec", "mca-amptek", "med", "n42", "spe"}) {
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(RealFolder(folder), ec))
      if (e.path().filename() != "SOURCES.txt") heads.emplace_back(folder, ReadAll(e.path().string()).substr(0, 4096));
  }
  return heads;
}

}  // namespace vantor::test
