// Whole files compared byte for byte, the expected text written out by hand
// from the layouts of the report, text, CSV and GSA outputs.
#include <gtest/gtest.h>

#include "tests/formats/WriterRecords.h"
#include "formats/Csv.h"
#include "formats/Gsa.h"
#include "formats/Rpt.h"
#include "formats/Txt.h"

namespace vantor::test {
namespace {

TEST(WriteRptBody, SampleRecord_MatchesHandWrittenFile) {
  const SpectrumRecord r = SampleRecord();
  std::string out;
  WriteRptBody(out, r.Data, r.Head);
  const std::string expected = CrLf({
      "    9",
      "      0      1     -5123456712345678      7    100  99999",
      "      3",
      "ID-7" + Blanks(16) + "MgO test" + Blanks(32) + "07/07/23 14:25:30   ",
      "100.000,25.0" + Blanks(18) + "  300.0",
      "5.00000,5.00000,1.500,-2.000,0.250,90.000" + Blanks(24),
      "99.50,1.25,1523.00" + Blanks(47),
      "3.20,41.50,132.80" + Blanks(48),
      "0.100000,0.030000" + Blanks(48),
  });
  EXPECT_EQ(out, expected);
}

TEST(WriteRptBody, NoCountsAndNoDate_GivesEmptyCountLineAndShortIdentification) {
  SpectrumRecord r = SampleRecord();
  r.Data.DataNumber = 0;
  AssignText(r.Head.Common.MeasDate, "");  // eight blanks: no date text
  std::string out;
  WriteRptBody(out, r.Data, r.Head);
  const auto lines = SplitCrLf(out);
  ASSERT_EQ(lines.size(), 8u);
  EXPECT_EQ(lines[0], "    0");
  EXPECT_EQ(lines[1], "");
  EXPECT_EQ(lines[2], "ID-7" + Blanks(16) + "MgO test" + Blanks(32) + " 14:25:30   ");
  EXPECT_EQ(lines[2].size(), 72u);
}

TEST(WriteTxtBody, SampleRecord_MatchesHandWrittenFile) {
  const SpectrumRecord r = SampleRecord();
  std::string out;
  WriteTxtBody(out, r.Data, r.Head);
  const std::string expected = CrLf({
      "CommonCondition:",
      "DataType      = 2",
      "SampleTitle   = MgO test" + Blanks(56),
      "SampleID      = ID-7" + Blanks(60),
      "Ring Current  = 99.5",
      "Meas Date     = 2007/07/23",
      "Meas Time     = 14:25:30",
      "Operator      = op" + Blanks(28),
      "Comment1      = first comment" + Blanks(37),
      "Comment2      = " + Blanks(50),
      "",
      "MeasureCondition:",
      " Measure Type = 3",
      "Prs R Time    = 300",
      "Prs L Time    = 0.5",
      "ROI Start     = 10",
      "ROI End       = -1",
      "ROI Sigma     = 1E-05",
      "In Slit V     = 0.050",
      "In Slit H     = 0.200",
      "In Slit X     = 0.000",
      "In Slit Z     = 0.000",
      "In Slit TY    = 0.000",
      "Re Slit V     = 0.050",
      "Re Slit H     = 0.200",
      "Re Slit X     = 0.000",
      "Re Slit Z     = 0.000",
      "Re Slit TY    = 0.000",
      "H_Gonio X     = 0.000",
      "H_Gonio Y     = 0.000",
      "H_Gonio Z     = 0.000",
      "H_Angle       = 5.00000",
      "V_Gonio X     = 0.000",
      "V_Gonio Y     = 0.000",
      "V_Gonio Z     = 0.000",
      "V_Angle       = 0.000",
      "Press X       = 1.500",
      "Press Y       = -2.000",
      "Press Z       = 0.250",
      "PressTZ       = 90.000",
      "Press Load    = 100.000",
      "Pressure      = 15.000",
      "Ram Stroke    = 2.5",
      "Tempurature   = 25.000",
      "Current2      = 41.500",
      "Volt          = 3.200",
      "Power         = 132.800",
      "Registance    = 0.077",
      "Miri Volt     = 1.250",
      "Colimeter Size= 0.100",
      "Rate Meter    = 1523",
      "Dead Time     = 3.23",
      "Real Time     = 310.50",
      "Live Time     = 300.00",
      "",
      "Energy Cal A  = 0.100000",
      "Energy Cal B  = 0.030000",
      "Energy Cal C  = 0.000000",
      "2Sita         = 5.00000",
      "Gain Conv     = 0",
      "SpecData:",
      "DataNumber         =9",
      "  Ch    keV   Intencity",
      "   1      0.130      0",
      "   2      0.160      1",
      "   3      0.190     -5",
      "   4      0.2201234567",
      "   5      0.25012345678",
      "   6      0.280      7",
      "   7      0.310    100",
      "   8      0.340  99999",
      "   9      0.370      3",
      "SpecData_End:",
      "",
  });
  EXPECT_EQ(out, expected);
}

TEST(WriteCsvBody, SampleRecord_MatchesHandWrittenFile) {
  const SpectrumRecord r = SampleRecord();
  std::string out;
  WriteCsvBody(out, r.Data, r.Head);
  const std::string expected = CrLf({
      "Press X,1.500, ",
      "Press Y,-2.000, ",
      "Press Z,0.250, ",
      "Press Load,100.000, ",
      "Pressure,15.000, ",
      "Temperature,25.000, ",
      "Live Time,300.00, ",
      "EGC(0),0.100000, ",
      "EGC(1),0.030000, ",
      "2\x83\xC6,5.00000, ",
      "",
      "",
      "9, , ",
      "Channel,Energy,Count",
      "1,0.130,0",
      "2,0.160,1",
      "3,0.190,-5",
      "4,0.220,1234567",
      "5,0.250,12345678",
      "6,0.280,7",
      "7,0.310,100",
      "8,0.340,99999",
      "9,0.370,3",
  });
  EXPECT_EQ(out, expected);
}

TEST(WriteGsaBody, SampleRecord_MatchesHandWrittenFileInHundredths) {
  const SpectrumRecord r = SampleRecord();
  std::string out;
  WriteGsaBody(out, r.Data, r.Head);
  // 12345678 needs seven characters: every count is written as its
  // hundredth, truncated toward zero (-5 gives 0).
  const std::string expected = CrLf({
      " File: MgO test" + Blanks(12) + "Date: 2007-07-23 14:25:30" + Blanks(13) + "2theta 5.0000  ",
      "BANK 1 9     1   EDS   1.30000E-01  3.00000E-02  0.00000E+00  0.00000E+00 STD   ",
      "       0       0       0   12345  123456       0       1     999       0       0",
  });
  EXPECT_EQ(out, expected);
}

}  // namespace
}  // namespace vantor::test
