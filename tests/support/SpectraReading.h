// SPDX-License-Identifier: GPL-3.0-or-later
// What the tests of the detectors' readers share: a read that must work,
// texts that must each be a file error leaving no spectra, header values by
// name and energies at channel numbers.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/Cp932.h"
#include "base/ReadResult.h"
#include "base/SourceSpectrum.h"

namespace vantor::test {

using SpectraReader = ReadResult (*)(std::string_view, std::vector<SourceSpectrum>&);

inline std::vector<SourceSpectrum> Spectra(SpectraReader read, std::string_view bytes) {
  std::vector<SourceSpectrum> spectra;
  const ReadResult result = read(bytes, spectra);
  EXPECT_TRUE(result) << result.why;
  return spectra;
}

inline void ExpectFileErrors(SpectraReader read, const std::vector<std::pair<std::string, std::string>>& cases) {
  for (const auto& [what, bytes] : cases) {
    std::vector<SourceSpectrum> spectra(1);
    EXPECT_EQ(read(bytes, spectra).status, ReadStatus::FileError) << what;
    EXPECT_TRUE(spectra.empty()) << what;
  }
}

// The text with its first `from` replaced by `to`; `from` must be there.
inline std::string Replaced(std::string text, std::string_view from, std::string_view to) {
  const std::size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

inline std::string Extra(const SourceSpectrum& s, std::string_view name) {
  for (const HeaderValue& v : s.extra)
    if (v.name == name) return v.value;
  return "(none)";
}

inline std::string DateTime(const SpectrumRecord& r) {
  return std::string(View(r.Head.Common.MeasDate)) + " " + std::string(View(r.Head.Common.MeasTime));
}

inline std::vector<std::int32_t> Counts(const SpectrumRecord& r) {
  return {r.Data.Count.begin(), r.Data.Count.begin() + r.Data.DataNumber};
}

inline double Energy(const SpectrumRecord& r, double channel) {
  return EnergyOfChannel(channel, r.Head.Measure.EGC);
}

}  // namespace vantor::test
