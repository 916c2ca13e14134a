// SPDX-License-Identifier: GPL-3.0-or-later
// The profile file read back: what our writer wrote comes back rounded to its
// masks, the rest reset; line ends, the data length's limits, files that end
// early.
#include <gtest/gtest.h>

#include "formats/Npd.h"
#include "support/Parsed.h"
#include "tests/formats/WriterRecords.h"

namespace vantor::test {
namespace {

std::string Written(const SpectrumRecord& r) {
  std::string out;
  WriteNpdBody(out, r.Data, r.Head);
  return out;
}

TEST(NpdReader, OurOwnFile_ComesBackRoundedToTheWritersMasks) {
  SpectrumRecord w = SampleRecord();
  AssignText(w.Head.Common.SampleTitle, "  Fe3O4, run 7  ");
  w.Head.Measure.EGC = {0.2667312, 0.04219249, -1.5e-7};
  w.Head.Measure.PressY = -2.0006, w.Head.Measure.VAngle = 8;  // the angle is not in the file: comes back 0
  const auto r = Parsed(NpdRecord, Written(w));
  ASSERT_TRUE(r);
  const auto& m = r->Head.Measure;
  EXPECT_EQ(std::string(View(r->Head.Common.SampleTitle)) + std::string(View(r->Head.Common.MeasTime)),
            "Fe3O4, run 7" + std::string(52, ' ') + "142530");
  EXPECT_EQ(m.EGC, (std::array<double, 3>{0.266731, 0.0421925, -1.5e-7}));
  EXPECT_EQ((std::array{m.TwoTheta, m.LiveTime, m.RealTime, m.DeadTime, m.PressY, m.Resistance, m.VAngle}),
            (std::array{5.0, 300.0, 310.5, 3.2258, -2.001, 0.077, 0.0}));
  EXPECT_NEAR(m.Temperature, 25, 1e-9);
  EXPECT_EQ(r->Head.Common.SourceFormat, 4);
  EXPECT_EQ(r->Data.Count, SampleRecord().Data.Count);
  for (const auto& [written, read] : {std::pair{0, 2}, {1, 1}, {2, 2}, {3, 1}, {4, 4}, {5, 2}, {-1, 2}}) {
    w.Head.Measure.MeasureType = static_cast<std::int16_t>(written);
    EXPECT_EQ(Parsed(NpdRecord, Written(w))->Head.Measure.MeasureType, read) << written;
  }
}

// CR alone ends lines too (LF: a case in tests/data/cli-cases.txt); a data
// length that is no integer or above the record fails, a negative one reads
// no channels; a file cut anywhere before its last count fails; a count that
// is no whole number within 32 bits fails with its line, never reads as 0.
TEST(NpdReader, LineEnds_DataLengthLimits_TruncatedFilesFail) {
  SpectrumRecord w = SampleRecord();
  std::string cr;
  for (const char c : Written(w))
    if (c != '\n') cr += c;
  EXPECT_EQ(Parsed(NpdRecord, cr)->Data.Count, Parsed(NpdRecord, Written(w))->Data.Count);
  w.Data.DataNumber = kMaxChannels;
  const std::string full = Written(w);
  for (const auto& [length, read] : {std::pair{"9000", -1}, {"-3", 0}, {"40000", -1}, {"4.5", 4}, {"four", -1}}) {
    std::string text = full;
    text.replace(full.find("Data length, 8192") + 13, 4, length);
    const auto r = Parsed(NpdRecord, text);
    EXPECT_EQ(r ? r->Data.DataNumber : -1, read) << length;
  }
  w.Data.DataNumber = 12;
  const std::string twelve = Written(w);
  // A line without commas is a count as a whole: a cut inside "12" reads 1 or 12.
  const std::size_t lastLine = twelve.rfind("\r\n12,") + 2;
  const std::size_t lastCount = twelve.find(',', lastLine + 3) + 1;
  for (std::size_t n = 0; n <= twelve.size(); ++n) {
    const auto r = Parsed(NpdRecord, std::string_view(twelve).substr(0, n));
    ASSERT_EQ(r.has_value(), n > lastCount || (n > lastLine && n <= lastLine + 2)) << n;
  }
  const std::size_t line3 = twelve.find("\r\n3,") + 2;
  const std::size_t count3 = twelve.find(',', line3 + 2) + 1;
  for (const auto& [count, read] : {std::pair{"2.5", 2}, {"-7", -7}, {"2147483647", 2147483647}, {"3000000000", -1},
                                    {"-2147483649", -1}, {"abc", -1}, {"", -1}}) {
    std::string text = twelve;
    text.replace(count3, twelve.find('\r', count3) - count3, count);
    SpectrumRecord fresh;
    const ReadResult result = NpdRecord(text, fresh);
    EXPECT_EQ(result ? fresh.Data.Count[2] : -1, read) << count;
    if (!result) {
      EXPECT_EQ(result.where, 32u);
      EXPECT_EQ(result.why, "line 32: count is not a whole number within 32 bits");
    }
  }
}

}  // namespace
}  // namespace vantor::test
