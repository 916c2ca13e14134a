// SPDX-License-Identifier: GPL-3.0-or-later
// The CHN reader: the layout from files built here (calibrations with a
// start channel, dates, the trailer's texts), every failure, the real file.
#include <gtest/gtest.h>

#include <bit>
#include <cstring>

#include "base/ByteReader.h"
#include "formats/Chn.h"
#include "support/RealSpectra.h"

namespace vantor {
namespace {

struct ChnFile {
  std::vector<std::uint32_t> counts = {5, 0, 7, 70000};
  int start = 0;
  std::string date = "25Sep181", hhmm = "0919", ss = "33";
  int trailer = -102;  // 0: none
  std::array<float, 3> energy{0.5f, 0.25f, 0.001f};
  std::string sample = "NaCl 5 GPa";

  std::string Bytes() const {
    std::string b;
    ByteWriter w(b);
    w.I16(-1), w.I16(2), w.I16(1), w.Bytes(ss.data(), 2), w.I32(21674), w.I32(18976);
    w.Bytes(date.data(), 8), w.Bytes(hhmm.data(), 4), w.I16(static_cast<std::int16_t>(start));
    w.I16(static_cast<std::int16_t>(counts.size()));
    for (const auto c : counts) w.I32(static_cast<std::int32_t>(c));
    if (trailer == 0) return b;
    const std::size_t t = b.size();
    b.resize(t + 512, '\0');
    std::memcpy(&b[t], &trailer, 2);
    for (int i = 0; i < 3; ++i) std::memcpy(&b[t + 4 + 4 * i], &energy[i], 4);
    b[t + 256] = 7, std::memcpy(&b[t + 257], "MCB 512", 7);
    b[t + 320] = static_cast<char>(sample.size()), std::memcpy(&b[t + 321], sample.data(), sample.size());
    return b;
  }
};

std::vector<SourceSpectrum> Read(const std::string& bytes, ReadResult* result = nullptr) {
  std::vector<SourceSpectrum> spectra;
  const ReadResult r = ChnSpectra(bytes, spectra);
  if (result != nullptr) *result = r;
  return spectra;
}

TEST(ChnReader, Layout_CountsTimesTexts) {
  const auto s = Read(ChnFile{}.Bytes());
  ASSERT_EQ(s.size(), 1u);
  const auto& r = s[0].record;
  EXPECT_EQ((std::array{r.Data.DataNumber + 0, r.Data.Count[0], r.Data.Count[2], r.Data.Count[3], r.Data.Count[4]}),
            (std::array{4, 5, 7, 70000, 0}));
  EXPECT_EQ((std::array{r.Head.Measure.RealTime, r.Head.Measure.LiveTime}), (std::array{433.48, 379.52}));
  EXPECT_EQ(View(r.Head.Common.SampleTitle), "NaCl 5 GPa" + std::string(54, ' '));
  ASSERT_EQ(s[0].extra.size(), 6u);
  EXPECT_EQ(s[0].extra[3].value, "0.5 0.25 0.001");
  EXPECT_EQ(s[0].extra[5].name + "=" + s[0].extra[5].value, "detector=MCB 512");
}

// Count k lies at analyser channel k + start; -101 has no quadratic term;
// 0 + 1 x channel and a missing trailer are no calibration.
TEST(ChnReader, Calibrations) {
  const struct {
    int trailer, start;
    std::array<float, 3> energy;
    double c0, c1, c2;  // the energy of count k is c0 + c1 (k + start) + c2 (k + start)^2
    std::size_t notes;
  } rows[] = {{-102, 0, {0.5f, 0.25f, 0.001f}, 0.5, 0.25, 0.001, 0},
              {-102, 100, {0.5f, 0.25f, 0.001f}, 0.5, 0.25, 0.001, 0},
              {-101, 3, {0.5f, 0.25f, 0.001f}, 0.5, 0.25, 0, 0},
              {-102, 0, {0, 1, 0}, 0, 0, 0, 1},
              {0, 0, {0.5f, 0.25f, 0}, 0, 0, 0, 0}};
  for (const auto& row : rows) {
    ChnFile f;
    f.trailer = row.trailer, f.start = row.start, f.energy = row.energy;
    const auto s = Read(f.Bytes());
    ASSERT_EQ(s.size(), 1u) << row.start;
    for (int k : {0, 3}) {
      const double channel = k + (row.c1 == 0 ? 0 : row.start);
      const double want = row.c0 + row.c1 * channel + static_cast<float>(row.c2) * channel * channel;
      EXPECT_NEAR(EnergyOfChannel(k + 1, s[0].record.Head.Measure.EGC), want, 1e-6) << row.trailer << " " << k;
    }
    EXPECT_EQ(s[0].notes.size(), row.notes);
  }
}

TEST(ChnReader, StartDates) {
  const struct {
    const char *date, *hhmm, *ss, *measDate, *measTime;
  } rows[] = {{"25Sep181", "0919", "33", "20180925", "091933"},
              {"01jan990", "2359", "59", "19990101", "235959"},
              {"07Mar05 ", "0000", "00", "20050307", "000000"},
              {"07Mar85 ", "2400", "00", "19850307", "\0\0\0\0\0\0"},
              {"32Mar05 ", "12 0", "00", "\0\0\0\0\0\0\0\0", "\0\0\0\0\0\0"}};
  for (const auto& row : rows) {
    ChnFile f;
    f.date = row.date, f.hhmm = row.hhmm, f.ss = row.ss;
    const auto& c = Read(f.Bytes()).at(0).record.Head.Common;
    EXPECT_EQ(View(c.MeasDate), std::string_view(row.measDate, 8)) << row.date;
    EXPECT_EQ(View(c.MeasTime), std::string_view(row.measTime, 6)) << row.hhmm;
  }
}

TEST(ChnReader, BrokenFiles_FileErrors) {
  const std::string good = ChnFile{}.Bytes();
  std::string notChn = good, none = good, wide = good, huge = good;
  notChn[0] = 0, none[30] = none[31] = 0, wide[30] = 0, wide[31] = 0x40, huge[32 + 15] = static_cast<char>(0x80);
  const std::pair<std::string, std::string> rows[] = {
      {good.substr(0, 20), "the header ends at byte 20 of 32"},
      {notChn, "not a CHN file: the first word is not -1"},
      {none, "the channel count at byte 30 is 0"},
      {wide, "16384 channels; at most 8192 can be read"},
      {huge, "the count at byte 44 is above 2147483647"},
      {good.substr(0, good.size() - 1), "the trailer at byte 48 holds 511 of its 512 bytes"}};
  for (const auto& [bytes, why] : rows) {
    ReadResult r;
    EXPECT_TRUE(Read(bytes, &r).empty() && r.status == ReadStatus::FileError && r.why == why) << r.why;
  }
  // Cut anywhere but at the end of the counts (a file without a trailer).
  for (std::size_t n = 0; n < good.size(); ++n) EXPECT_EQ(Read(good.substr(0, n)).size(), n == 48 ? 1u : 0u) << n;
}

TEST(ChnReader, RealFile) {
  const std::string path = test::RealFolder("chn") + "/signal.Chn";
  const std::string bytes = test::ReadAll(path);
  if (bytes.empty()) GTEST_SKIP() << "no " << path;
  const auto s = Read(bytes);
  ASSERT_EQ(s.size(), 1u);
  // Its calibration 0 + 1 x channel is read as none: every energy is 0.
  test::ExpectFacts(s[0], {1024, 93792, 1859, 16, 0, 0, 379.52, 433.48, "20180925", "091933"}, path);
  EXPECT_TRUE(Read(bytes.substr(0, bytes.size() / 2)).empty());
  for (const auto& [folder, file] : test::DetectorFiles())
    EXPECT_EQ(LooksLikeChn(test::Head(file)), folder == "chn") << file;
}

}  // namespace
}  // namespace vantor
