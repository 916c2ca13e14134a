// SPDX-License-Identifier: GPL-3.0-or-later
// The AccuSpec reader: counts and calibration in PDP-11 word order from
// files built here, every failure, the real file and the other .mca kinds.
#include <gtest/gtest.h>

#include <bit>
#include <cstring>

#include "formats/AccuSpecMca.h"
#include "support/RealSpectra.h"

namespace vantor {
namespace {

// Two little-endian 16-bit words, the high one first.
void PutWords(std::string& b, std::size_t at, std::uint32_t value) {
  const std::uint16_t words[2] = {static_cast<std::uint16_t>(value >> 16), static_cast<std::uint16_t>(value)};
  std::memcpy(&b[at], words, 4);
}

// A PDP-11 float is the IEEE single of 4x the value with its halves swapped.
std::uint32_t Pdp11(float value) {
  return std::bit_cast<std::uint32_t>(value * 4);
}

std::string AccuSpecBytes(const std::vector<std::uint32_t>& counts, std::array<float, 3> calibration) {
  std::string b(1024 + 4 * counts.size(), '\0');
  const auto word = [&](std::size_t at, std::uint16_t v) { std::memcpy(&b[at], &v, 2); };
  word(24, 1024), word(34, 4), word(36, static_cast<std::uint16_t>(counts.size())), word(38, 1);
  for (int i = 0; i < 3; ++i) PutWords(b, 108 + 4 * i, Pdp11(calibration[i]));
  for (std::size_t i = 0; i < counts.size(); ++i) PutWords(b, 1024 + 4 * i, counts[i]);
  return b;
}

std::vector<SourceSpectrum> ReadAccuSpec(const std::string& bytes, ReadResult* result = nullptr) {
  std::vector<SourceSpectrum> spectra;
  const ReadResult r = AccuSpecMcaSpectra(bytes, spectra);
  if (result != nullptr) *result = r;
  return spectra;
}

TEST(AccuSpecMcaReader, CountsHighWordFirst_CalibrationFromChannelOne) {
  const auto s = ReadAccuSpec(AccuSpecBytes({3, 70000, 0x7FFFFFFF}, {0.449f, -0.0362f, 1e-6f}));
  ASSERT_EQ(s.size(), 1u);
  const auto& r = s[0].record;
  EXPECT_EQ((std::array{r.Data.DataNumber + 0, r.Data.Count[0], r.Data.Count[1], r.Data.Count[2]}),
            (std::array{3, 3, 70000, 0x7FFFFFFF}));
  EXPECT_EQ(r.Head.Measure.EGC, (std::array<double, 3>{0.449f, -0.0362f, 1e-6f}));
  EXPECT_EQ(s[0].extra.at(0).value, "0.449 -0.0362 1e-06");
}

TEST(AccuSpecMcaReader, BrokenFiles_FileErrors) {
  const std::string good = AccuSpecBytes({1, 2, 3}, {0, 1, 0});
  std::string text = "VERSION:    3.1\nELEMENTS:   1\n" + std::string(2000, ' '), wide = good, huge = good;
  wide[36] = 0x01, wide[37] = 0x20, huge[1024 + 4 * 2 + 1] = static_cast<char>(0x80);
  const std::pair<std::string, std::string> rows[] = {
      {text, "not an AccuSpec file: the header words at bytes 0, 24, 34, 36 and 38 are not AccuSpec's"},
      {wide, "8193 channels; at most 8192 can be read"},
      {huge, "the count at byte 1032 is above 2147483647"},
      {good.substr(0, good.size() - 1), "the counts end at byte 1036 but the file has 1035 bytes"}};
  for (const auto& [bytes, why] : rows) {
    ReadResult r;
    EXPECT_TRUE(ReadAccuSpec(bytes, &r).empty() && r.status == ReadStatus::FileError && r.why == why) << r.why;
  }
  for (std::size_t n = 0; n < good.size(); ++n) EXPECT_TRUE(ReadAccuSpec(good.substr(0, n)).empty()) << n;
}

TEST(AccuSpecMcaReader, RealFile_OnlyAccuSpecLooksLikeIt) {
  const std::string path = test::RealFolder("mca-accuspec") + "/04nacl02.mca", bytes = test::ReadAll(path);
  if (bytes.empty()) GTEST_SKIP() << "no " << path;
  const auto s = ReadAccuSpec(bytes);
  ASSERT_EQ(s.size(), 1u);
  // The file's times are not read (no description of them is at hand).
  test::ExpectFacts(
      s[0], {2048, 341488, 12620, 831, 0.48472, 74.7426, 0, 0, std::string(8, '\0'), std::string(6, '\0')}, path);
  EXPECT_TRUE(ReadAccuSpec(bytes.substr(0, bytes.size() / 2)).empty());
  for (const auto& [folder, head] : test::DetectorFileHeads())
    EXPECT_EQ(LooksLikeAccuSpecMca(head), folder == "mca-accuspec") << folder;
}

}  // namespace
}  // namespace vantor
