// Text fields and numbers at their edges: zero bytes read as blanks,
// Shift_JIS pairs never split by a cut, half-way rounding, signs of values
// that round to zero, and numbers too wide for their place.
#include <gtest/gtest.h>

#include <limits>

#include "tests/formats/WriterRecords.h"
#include "formats/Csv.h"
#include "formats/Gsa.h"
#include "formats/Rpt.h"
#include "formats/Txt.h"

namespace vantor::test {
namespace {

template <std::size_t N>
void SetBytes(Text<N>& field, const std::string& bytes) {
  field.fill('\0');
  std::copy(bytes.begin(), bytes.end(), field.begin());
}

std::vector<std::string> Lines(void (*body)(std::string&, const SpecData&, const Header&), const SpectrumRecord& r) {
  std::string out;
  body(out, r.Data, r.Head);
  return SplitCrLf(out);
}

const std::string kPair = "\x82\xA0";  // one double-byte character

TEST(TextFields, Report_CutsIdAndTitleWithoutSplittingAPair) {
  SpectrumRecord r = SampleRecord();
  SetBytes(r.Head.Common.SampleID, std::string(19, 'A') + kPair + "tail");
  SetBytes(r.Head.Common.SampleTitle, "AB" + std::string(2, '\0') + "CD" + kPair);
  const auto lines = Lines(WriteRptBody, r);
  EXPECT_EQ(lines[3], std::string(19, 'A') + " " + "AB  CD" + kPair + Blanks(32) + "07/07/23 14:25:30   ");
}

TEST(TextFields, Text_WritesWholeFieldsAndSplitsCommentAtByte50) {
  SpectrumRecord r = SampleRecord();
  SetBytes(r.Head.Common.SampleTitle, "ABC");  // then 61 zero bytes
  SetBytes(r.Head.Common.Comment, std::string(49, 'c') + kPair + "xyz");
  const auto lines = Lines(WriteTxtBody, r);
  EXPECT_EQ(lines[2], "SampleTitle   = ABC" + Blanks(61));
  EXPECT_EQ(lines[8], "Comment1      = " + std::string(49, 'c') + " ");
  EXPECT_EQ(lines[9], "Comment2      =  xyz" + Blanks(46));
}

TEST(TextFields, Gsa_TitleCutAtTwentySevenKeepsPairsWhole) {
  SpectrumRecord r = SampleRecord();
  SetBytes(r.Head.Common.SampleTitle, std::string(19, 'T') + kPair);
  AssignText(r.Head.Common.MeasTime, "9 0507");  // the hour through "00"
  r.Head.Measure.TwoTheta = 12.34567;
  const auto lines = Lines(WriteGsaBody, r);
  EXPECT_EQ(lines[0],
            " File: " + std::string(19, 'T') + " " + "Date: 2007-07-23 09:05:07" + Blanks(13) + "2theta 12.3457 ");
}

TEST(TextFields, Gsa_NonNumericHourIsCopied) {
  SpectrumRecord r = SampleRecord();
  AssignText(r.Head.Common.MeasTime, "ab0507");
  EXPECT_EQ(Lines(WriteGsaBody, r)[0].substr(27, 25), "Date: 2007-07-23 ab:05:07");
}

TEST(Numbers, Report_LoadLineRoundsHalfAwayKeepsSignAndCutsFromTheLeft) {
  SpectrumRecord r = SampleRecord();
  r.Head.Measure.PressLoad = -0.0004;  // rounds to zero, keeps its "-"
  r.Head.Measure.Temperature = 0.25;   // half-way: away from zero
  r.Head.Measure.LiveTime = 123456.75;
  EXPECT_EQ(Lines(WriteRptBody, r)[4], "-0.000,0.3" + Blanks(20) + "23456.8");
}

TEST(Numbers, Report_WideValuesAreCutAtTheLineWidth) {
  SpectrumRecord r = SampleRecord();
  r.Head.Measure.TwoTheta = 1e20;
  const auto lines = Lines(WriteRptBody, r);
  EXPECT_EQ(lines[5], "100000000000000000000.00000,100000000000000000000.00000,1.500,-2.");
}

TEST(Numbers, Csv_HalfWayAndNegativeAndHugeValues) {
  SpectrumRecord r = SampleRecord();
  auto& m = r.Head.Measure;
  m.PressX = -0.0004;
  m.LiveTime = 2.675;  // 2.67499999... in binary, 2.675 to 15 digits
  m.Temperature = 1234.5678;
  m.EGC[0] = -1e15;
  m.TwoTheta = -0.0;
  const auto lines = Lines(WriteCsvBody, r);
  EXPECT_EQ(lines[0], "Press X,-0.000, ");
  EXPECT_EQ(lines[5], "Temperature,1234.568, ");
  EXPECT_EQ(lines[6], "Live Time,2.68, ");
  EXPECT_EQ(lines[7], "EGC(0),-1000000000000000.000000, ");
  EXPECT_EQ(lines[9], "2\x83\xC6,0.00000, ");
}

TEST(Numbers, Text_NonFiniteValuesAreNamed) {
  SpectrumRecord r = SampleRecord();
  r.Head.Measure.RingCurrent = std::numeric_limits<double>::quiet_NaN();
  r.Head.Measure.PressX = -std::numeric_limits<double>::infinity();
  r.Head.Measure.EGC[1] = std::numeric_limits<double>::infinity();
  const auto lines = Lines(WriteTxtBody, r);
  EXPECT_EQ(lines[4], "Ring Current  = NaN");
  EXPECT_EQ(lines[36], "Press X       = -Inf");
  EXPECT_EQ(lines[63], "   1     Inf      0");  // energy aligned like a number
}

}  // namespace
}  // namespace vantor::test
