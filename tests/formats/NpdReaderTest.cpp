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
  w.Head.Measure.PressY = -2.0006;
  w.Head.Measure.VAngle = 8;  // not in the file: comes back reset
  w.Head.Common.Spare2.fill('s');
  const auto r = Parsed(NpdRecord, Written(w));
  ASSERT_TRUE(r);
  const auto& m = r->Head.Measure;
  EXPECT_EQ(View(r->Head.Common.SampleTitle), "Fe3O4, run 7" + Blanks(52));
  EXPECT_EQ(View(r->Head.Common.MeasTime), "142530");
  EXPECT_EQ(m.EGC, (std::array<double, 3>{0.266731, 0.0421925, -1.5e-7}));
  EXPECT_EQ((std::array{m.TwoTheta, m.LiveTime, m.RealTime, m.DeadTime, m.PressY, m.Resistance}),
            (std::array{5.0, 300.0, 310.5, 3.2258, -2.001, 0.077}));
  EXPECT_NEAR(m.Temperature, 25, 1e-9);
  EXPECT_EQ(m.RingCurrent2, m.RingCurrent);
  EXPECT_EQ(m.VAngle, 0);
  EXPECT_EQ(r->Head.Common.Spare2, SpectrumRecord{}.Head.Common.Spare2);
  EXPECT_EQ(r->Head.Common.SourceFormat, 4);
  EXPECT_EQ(r->Data.DataNumber, 9);
  EXPECT_EQ(r->Data.Count, SampleRecord().Data.Count);
  const std::pair<int, int> modes[] = {{0, 2}, {1, 1}, {3, 1}, {4, 4}, {5, 2}, {-1, 2}};
  for (const auto& [written, read] : modes) {
    w.Head.Measure.MeasureType = static_cast<std::int16_t>(written);
    EXPECT_EQ(Parsed(NpdRecord, Written(w))->Head.Measure.MeasureType, read) << written;
  }
}

TEST(NpdReader, LineEndsCrOrCrLfButNotLoneLf) {
  std::string text = Written(SampleRecord()), cr, lf;
  for (const char c : text) {
    if (c != '\n') cr += c;
    if (c != '\r') lf += c;
  }
  EXPECT_EQ(Parsed(NpdRecord, cr)->Data.Count[8], 3);
  EXPECT_EQ(Parsed(NpdRecord, lf)->Data.DataNumber, 0);  // all one line
}

TEST(NpdReader, DataLengthLimitedToTheRecord) {
  SpectrumRecord w = SampleRecord();
  w.Data.DataNumber = kMaxChannels;
  const std::string full = Written(w);
  const auto at = full.find("Data length, 8192");
  for (const auto& [length, read] : {std::pair{"9000", 8192}, {"-3", 0}, {"40000", 0}, {"4.5", 4}, {"four", 0}}) {
    std::string text = full;
    text.replace(at + 13, 4, length);
    EXPECT_EQ(Parsed(NpdRecord, text)->Data.DataNumber, read) << length;
  }
}

// A file that ends early keeps what was read; the data length reads 1 once
// "Data length, 1" is in and 12 from its "2" on.
TEST(NpdReader, EveryTruncatedPrefix_ReadsWithoutFault) {
  SpectrumRecord w = SampleRecord();
  w.Data.DataNumber = 12;
  const std::string full = Written(w);
  const std::size_t one = full.find("Data length, 12") + 14;
  for (std::size_t n = 0; n <= full.size(); ++n) {
    const auto r = Parsed(NpdRecord, std::string_view(full).substr(0, n));
    ASSERT_TRUE(r);
    ASSERT_EQ(r->Data.DataNumber, n > one ? 12 : (n == one ? 1 : 0)) << n;
  }
}

}  // namespace
}  // namespace vantor::test
