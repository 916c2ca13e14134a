// SPDX-License-Identifier: GPL-3.0-or-later
// The CHN reader: the layout from files built here (calibrations with a
// start channel, dates, the trailer's texts), every failure, the real file.
#include <gtest/gtest.h>

#include <cstring>

#include "base/ByteReader.h"
#include "formats/Chn.h"
#include "support/RealSpectra.h"

namespace vantor {
namespace {

struct ChnFile {
  int start = 0, trailer = -102;  // trailer 0: none
  std::string date = "25Sep181", hhmm = "0919";
  std::array<float, 3> energy{0.5f, 0.25f, 0.001f};

  std::string Bytes() const {
    std::string b;
    ByteWriter w(b);
    w.I16(-1), w.I16(2), w.I16(1), w.Bytes("33", 2), w.I32(21674), w.I32(18976), w.Bytes(date.data(), 8);
    w.Bytes(hhmm.data(), 4), w.I16(static_cast<std::int16_t>(start)), w.I16(4);
    for (const std::int32_t c : {5, 0, 7, 70000}) w.I32(c);
    if (trailer == 0) return b;
    b.resize(48 + 512, '\0');
    std::memcpy(&b[48], &trailer, 2), std::memcpy(&b[52], energy.data(), 12);
    b[48 + 256] = 7, std::memcpy(&b[48 + 257], "MCB 512", 7), b[48 + 320] = 4, std::memcpy(&b[48 + 321], "NaCl", 4);
    return b;
  }
};

std::vector<SourceSpectrum> ReadChn(const std::string& bytes, ReadResult* result = nullptr) {
  std::vector<SourceSpectrum> spectra;
  const ReadResult r = ChnSpectra(bytes, spectra);
  if (result != nullptr) *result = r;
  return spectra;
}

// Count k lies at analyser channel k + start; -101 has no quadratic term;
// 0 + 1 x channel and a missing trailer are no calibration.
TEST(ChnReader, CountsTexts_CalibrationsFromStartChannel) {
  const struct {
    int trailer, start;
    std::array<float, 3> energy;
    double c0, c1, c2;  // the energy of count k is c0 + c1 (k + start) + c2 (k + start)^2
    std::size_t extras, notes;
  } rows[] = {{-102, 0, {0.5f, 0.25f, 0.001f}, 0.5, 0.25, 0.001f, 6, 0},
              {-102, 100, {0.5f, 0.25f, 0.001f}, 0.5, 0.25, 0.001f, 6, 0},
              {-101, 3, {0.5f, 0.25f, 0.001f}, 0.5, 0.25, 0, 6, 0},
              {-102, 0, {0, 1, 0}, 0, 0, 0, 6, 1},
              {0, 5, {0.5f, 0.25f, 0}, 0, 0, 0, 3, 0}};
  for (const auto& row : rows) {
    ChnFile f;
    f.trailer = row.trailer, f.start = row.start, f.energy = row.energy;
    const auto s = ReadChn(f.Bytes());
    ASSERT_EQ(s.size(), 1u) << row.start;
    const auto& r = s[0].record;
    EXPECT_EQ((std::array{r.Data.DataNumber + 0, r.Data.Count[0], r.Data.Count[2], r.Data.Count[3], r.Data.Count[4]}),
              (std::array{4, 5, 7, 70000, 0}));
    EXPECT_EQ((std::array{r.Head.Measure.RealTime, r.Head.Measure.LiveTime}), (std::array{433.48, 379.52}));
    for (const int k : {0, 3}) {
      const double channel = k + row.start;
      EXPECT_NEAR(EnergyOfChannel(k + 1, r.Head.Measure.EGC), row.c0 + row.c1 * channel + row.c2 * channel * channel,
                  1e-6)
          << row.trailer << " " << k;
    }
    EXPECT_EQ((std::array{s[0].extra.size(), s[0].notes.size()}), (std::array{row.extras, row.notes}));
    EXPECT_EQ(View(r.Head.Common.SampleTitle).substr(0, 5), row.trailer == 0 ? std::string(5, '\0') : "NaCl ");
  }
  const auto s = ReadChn(ChnFile{}.Bytes());
  EXPECT_EQ(s[0].extra[3].value + "|" + s[0].extra[5].name + "=" + s[0].extra[5].value,
            "0.5 0.25 0.001|detector=MCB 512");
}

TEST(ChnReader, StartDates_CenturyMark) {
  const struct {
    const char *date, *hhmm, *measDate, *measTime;
  } rows[] = {{"01jan990", "2359", "19990101", "235933"},
              {"07Mar05 ", "0000", "20050307", "000033"},
              {"07Mar85 ", "2400", "19850307", "\0\0\0\0\0\0"},
              {"32Mar051", "12 0", "\0\0\0\0\0\0\0\0", "\0\0\0\0\0\0"}};
  for (const auto& row : rows) {
    ChnFile f;
    f.date = row.date, f.hhmm = row.hhmm;
    const auto spectra = ReadChn(f.Bytes());
    const auto& c = spectra.at(0).record.Head.Common;
    EXPECT_EQ(std::string(View(c.MeasDate)) + std::string(View(c.MeasTime)),
              std::string(row.measDate, 8) + std::string(row.measTime, 6))
        << row.date;
  }
}

TEST(ChnReader, BrokenFiles_FileErrors) {
  const std::string good = ChnFile{}.Bytes();
  std::string notChn = good, none = good, wide = good, huge = good;
  notChn[0] = 0, none[30] = 0, wide[30] = 0, wide[31] = 0x40, huge[47] = static_cast<char>(0x80);
  const std::pair<std::string, std::string> rows[] = {
      {good.substr(0, 20), "the header ends at byte 20 of 32"},
      {notChn, "not a CHN file: the first word is not -1"},
      {none, "the channel count at byte 30 is 0"},
      {wide, "16384 channels; at most 8192 can be read"},
      {huge, "the count at byte 44 is above 2147483647"},
      {good.substr(0, good.size() - 1), "the trailer at byte 48 holds 511 of its 512 bytes"}};
  for (const auto& [bytes, why] : rows) {
    ReadResult r;
    EXPECT_TRUE(ReadChn(bytes, &r).empty() && r.status == ReadStatus::FileError && r.why == why) << r.why;
  }
  // Cut anywhere but at the end of the counts (a file without a trailer).
  for (std::size_t n = 0; n < good.size(); ++n) EXPECT_EQ(ReadChn(good.substr(0, n)).size(), n == 48 ? 1u : 0u) << n;
}

TEST(ChnReader, RealFile) {
  const std::string path = test::RealFolder("chn") + "/signal.Chn", bytes = test::ReadAll(path);
  if (bytes.empty()) GTEST_SKIP() << "no " << path;
  const auto s = ReadChn(bytes);
  ASSERT_EQ(s.size(), 1u);
  // Its calibration 0 + 1 x channel is read as none: every energy is 0.
  test::ExpectFacts(s[0], {1024, 93792, 1859, 16, 0, 0, 379.52, 433.48, "20180925", "091933"}, path);
  EXPECT_TRUE(ReadChn(bytes.substr(0, bytes.size() / 2)).empty());
  for (const auto& [folder, head] : test::DetectorFileHeads()) EXPECT_EQ(LooksLikeChn(head), folder == "chn") << folder;
}

}  // namespace
}  // namespace vantor
