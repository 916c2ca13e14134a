// The profile file's writing side: the whole file for a hand-built record,
// the mode word and counting time of each measurement type, and the header
// values that are easy to get wrong.
#include <gtest/gtest.h>

#include <string>

#include "formats/Npd.h"
#include "tests/formats/WriterRecords.h"

namespace vantor::test {
namespace {

std::string Body(const SpectrumRecord& r) {
  std::string out;
  WriteNpdBody(out, r.Data, r.Head);
  return out;
}

TEST(WriteNpdBody, SampleRecord_MatchesHandWrittenFile) {
  const std::string expected = CrLf({
      "Record length,27",
      "Sample name,MgO test",
      "Operator name,op",
      "Profile number,ID-7",
      "Time,2007-07-23 14:25:30",
      "Measurement mode,Live",
      "EGC0,1.00000E-001",
      "EGC1,3.00000E-002",
      "EGC2,0.00000E+000",
      "2Theta(deg),5.0000",
      "Live time(sec),300.00",
      "Real time(sec),310.50",
      "Dead time(%),3.22580",
      "Temperature(K),298.15",
      "Press load(ton),100.00",
      "Ring status,current(mA)=99.50",
      "Beam intensity,1.25",
      "Counting rate,1523.00",
      "Press conditions, X(mm)=1.500 Y(mm)=-2.000 Z(mm)=0.250 PHI(deg)=90.000",
      "Incident slit conditions, V(mm)=0.050 H(mm)=0.200",
      "Receiving slit conditions, V(mm)=0.050 H(mm)=0.200 Collimator(mm)=0.100",
      "Heating conditions, V(V)=3.20 C(A)=41.50 P(W)=132.80 R(OHM)=0.077",
      "Comment,first comment" + Blanks(87),
      "Ram Stroke,2.50",
      ",",
      ",",
      ",",
      "Data length, 9",
      "Counting sec, 300.000",
      "1,0.1300,0",
      "2,0.1600,1",
      "3,0.1900,-5",
      "4,0.2200,1234567",
      "5,0.2500,12345678",
      "6,0.2800,7",
      "7,0.3100,100",
      "8,0.3400,99999",
      "9,0.3700,3",
  });
  EXPECT_EQ(Body(SampleRecord()), expected);
}

// ---- mode word and counting time ----

struct ModeRow {
  std::int16_t measureType;
  const char* word;
  const char* countingLine;
};

class NpdMode : public ::testing::TestWithParam<ModeRow> {};

TEST_P(NpdMode, MeasureType_ChoosesWordAndCountingTime) {
  SpectrumRecord r = SampleRecord();
  r.Head.Measure.MeasureType = GetParam().measureType;
  const auto lines = SplitCrLf(Body(r));
  ASSERT_GE(lines.size(), 29u);
  EXPECT_EQ(lines[5], std::string("Measurement mode,") + GetParam().word);
  EXPECT_EQ(lines[28], GetParam().countingLine);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, NpdMode,
    ::testing::Values(ModeRow{0, "Real", "Counting sec, 310.500"}, ModeRow{1, "Live", "Counting sec, 300.000"},
                      ModeRow{2, "Real", "Counting sec, 310.500"}, ModeRow{3, "Live", "Counting sec, 300.000"},
                      ModeRow{4, "Separate", "Counting sec, 310.500"}, ModeRow{5, "Real", "Counting sec, 310.500"},
                      ModeRow{-1, "Real", "Counting sec, 310.500"}));

// ---- header values ----

TEST(WriteNpdBody, NeverSetTexts_WriteNothingAfterTheirLabels) {
  SpectrumRecord r;  // texts all zero bytes, as at program start
  const auto lines = SplitCrLf(Body(r));
  ASSERT_EQ(lines.size(), 29u);
  EXPECT_EQ(lines[1], "Sample name,");
  EXPECT_EQ(lines[2], "Operator name,");
  EXPECT_EQ(lines[3], "Profile number,");
  // The hour of an unset time is two blanks, not a number: copied as it is.
  EXPECT_EQ(lines[4], "Time," + Blanks(4) + "-  -   " + "  :  :  ");
  EXPECT_EQ(lines[22], "Comment," + Blanks(100));  // written whole
  EXPECT_EQ(lines[27], "Data length, 0");
  EXPECT_EQ(lines[28], "Counting sec, 0.000");
}

TEST(WriteNpdBody, TitleWithZeroBytesAndCommas_IsTrimmedAndKept) {
  SpectrumRecord r = SampleRecord();
  r.Head.Common.SampleTitle.fill('\0');
  const std::string title = "  a, b,c";
  std::copy(title.begin(), title.end(), r.Head.Common.SampleTitle.begin());
  EXPECT_EQ(SplitCrLf(Body(r))[1], "Sample name,a, b,c");
}

TEST(WriteNpdBody, HeaderNumbers_FollowTheirMasks) {
  SpectrumRecord r = SampleRecord();
  auto& m = r.Head.Measure;
  m.EGC[2] = -1.5e-7;
  m.Temperature = -273.15;
  m.RingCurrent = 123456789012345678.0;  // beyond 15 digits: rounded there
  m.LiveTime = 2.675;                    // half-way in decimal, not in binary
  AssignText(r.Head.Common.MeasTime, " 90507");
  const auto lines = SplitCrLf(Body(r));
  EXPECT_EQ(lines[4], "Time,2007-07-23 09:05:07");
  EXPECT_EQ(lines[8], "EGC2,-1.50000E-007");
  EXPECT_EQ(lines[10], "Live time(sec),2.68");
  EXPECT_EQ(lines[13], "Temperature(K),0.00");
  EXPECT_EQ(lines[15], "Ring status,current(mA)=123456789012346000.00");
}

TEST(WriteNpdBody, NegativeChannelCount_WritesHeaderOnly) {
  SpectrumRecord r = SampleRecord();
  r.Data.DataNumber = -3;
  const auto lines = SplitCrLf(Body(r));
  ASSERT_EQ(lines.size(), 29u);
  EXPECT_EQ(lines[27], "Data length, -3");
}

}  // namespace
}  // namespace vantor::test
