// The profile file reader: lines by position, the value rules, tolerance
// of values, failure without data.
#include <gtest/gtest.h>

#include <vector>

#include "formats/Npd.h"
#include "support/Parsed.h"
#include "support/TestFiles.h"

namespace vantor {
namespace {

using test::TempDir;

// The lines of a profile file as our writer lays it out, with n data lines
// whose counts are 100, 101, 102, ...
std::vector<std::string> ProfileLines(int n) {
  std::vector<std::string> lines = {
      "Record length,27",
      "Sample name,Fe3O4, run 7 ",
      "Operator name,  beamline",
      "Profile number,EDX-00042",
      "Time,2007-07-23 14:25:30",
      "Measurement mode,Live",
      "EGC0,2.66730E-001",
      "EGC1,4.21920E-002",
      "EGC2,-1.50000E-007",
      "2Theta(deg),5.0012",
      "Live time(sec),270.50",
      "Real time(sec),300.00",
      "Dead time(%),9.83333",
      "Temperature(K),298.15",
      "Press load(ton),150.00",
      "Ring status,current(mA)=99.50",
      "Beam intensity,1.25",
      "Counting rate,1523.00",
      "Press conditions, X(mm)=1.500 Y(mm)=-2.000 Z(mm)=0.250 PHI(deg)=90.000",
      "Incident slit conditions, V(mm)=0.050 H(mm)=0.200",
      "Receiving slit conditions, V(mm)=0.060 H(mm)=0.210 Collimator(mm)=0.100",
      "Heating conditions, V(V)=3.20 C(A)=41.50 P(W)=132.80 R(OHM)=0.077",
      "Comment,  hot run  ",
      "Ram Stroke,12.34",
      ",",
      ",",
      ",",
      "Data length, " + std::to_string(n),
      "Counting sec, 270.500",
  };
  for (int i = 0; i < n; ++i) lines.push_back(std::to_string(i + 1) + ",0.3089," + std::to_string(100 + i));
  return lines;
}

std::string Join(const std::vector<std::string>& lines, std::string_view end = "\r\n") {
  std::string text;
  for (const auto& line : lines) text += line + std::string(end);
  return text;
}

std::string Trimmed(std::string_view field) {
  while (!field.empty() && field.back() == ' ') field.remove_suffix(1);
  return std::string(field);
}

// --- A file as the writer lays it out

TEST(NpdReader, ReadsEveryLineByPosition) {
  TempDir dir;
  const std::string path = dir / "run.npd";
  test::WriteAll(path, Join(ProfileLines(5)));
  SpectrumRecord r;
  r.Head.Measure.HGonioX = 4;  // an earlier file's value: reset
  r.Data.Count[7] = 9;
  ASSERT_TRUE(ReadNpdFile(path, r));
  const auto& c = r.Head.Common;
  const auto& m = r.Head.Measure;
  EXPECT_EQ(c.SourceFormat, 4);
  EXPECT_EQ(Trimmed(View(c.SampleTitle)), "Fe3O4, run 7");
  EXPECT_EQ(Trimmed(View(c.Operator)), "beamline");
  EXPECT_EQ(Trimmed(View(c.SampleID)), "EDX-00042");
  EXPECT_EQ(View(c.Comment), "hot run" + std::string(93, ' '));
  EXPECT_EQ(View(c.MeasDate), "20070723");
  EXPECT_EQ(View(c.MeasTime), "142530");
  EXPECT_EQ(View(c.Spare1), std::string(6, '\0'));
  EXPECT_EQ(m.MeasureType, 1);
  EXPECT_EQ(m.EGC, (std::array<double, 3>{0.26673, 0.042192, -1.5e-7}));
  EXPECT_EQ(m.TwoTheta, 5.0012);
  EXPECT_EQ(m.LiveTime, 270.5);
  EXPECT_EQ(m.RealTime, 300);
  EXPECT_EQ(m.DeadTime, 9.83333);
  EXPECT_DOUBLE_EQ(m.Temperature, 25);
  EXPECT_EQ(m.PressLoad, 150);
  EXPECT_EQ(m.RingCurrent, 99.5);
  EXPECT_EQ(m.RingCurrent2, 99.5);
  EXPECT_EQ(m.MiriVolt, 1.25);
  EXPECT_EQ(m.RateMeter, 1523);
  EXPECT_EQ((std::array{m.PressX, m.PressY, m.PressZ, m.PressTZ}), (std::array{1.5, -2.0, 0.25, 90.0}));
  EXPECT_EQ((std::array{m.InSlitV, m.InSlitH}), (std::array{0.05, 0.2}));
  EXPECT_EQ((std::array{m.ReSlitV, m.ReSlitH, m.CollimatorSize}), (std::array{0.06, 0.21, 0.1}));
  EXPECT_EQ((std::array{m.Volt, m.Current2, m.Power, m.Resistance}), (std::array{3.2, 41.5, 132.8, 0.077}));
  EXPECT_EQ(m.RamStroke, 12.34);
  EXPECT_EQ(m.HGonioX, 0);
  EXPECT_EQ(r.Data.DataNumber, 5);
  EXPECT_EQ((std::vector<int>(r.Data.Count.begin(), r.Data.Count.begin() + 8)),
            (std::vector<int>{100, 101, 102, 103, 104, 0, 0, 0}));
}

// --- Variations, one line changed at a time

struct Change {
  const char* name;
  int line;  // 1-based; 0 inserts `text` after line 27
  std::string text;
};

SpectrumRecord ReadChanged(const std::vector<Change>& changes, int n = 5) {
  auto lines = ProfileLines(n);
  for (const auto& c : changes) {
    if (c.line == 0) {
      lines.insert(lines.begin() + 27, c.text);
    } else if (c.line < 0) {
      lines.erase(lines.begin() + (-c.line - 1));
    } else {
      lines[c.line - 1] = c.text;
    }
  }
  return *test::Parsed(NpdRecord, Join(lines));
}

TEST(NpdReader, SwappedLinesAreReadByPosition) {
  const auto r = ReadChanged({{"", 10, "Live time(sec),270.50"}, {"", 11, "2Theta(deg),5.0012"}});
  EXPECT_EQ(r.Head.Measure.TwoTheta, 270.5);
  EXPECT_EQ(r.Head.Measure.LiveTime, 5.0012);
}

TEST(NpdReader, RecordLengthDecidesWhereTheDataLengthIs) {
  // 30: three more lines after the three "," lines are skipped.
  const auto longer = ReadChanged({{"", 1, "Record length,30"}, {"", 0, "x"}, {"", 0, "y,1"}, {"", 0, "z"}});
  EXPECT_EQ(longer.Data.DataNumber, 5);
  EXPECT_EQ(longer.Data.Count[4], 104);
  // 20 skips nothing: line 25 is taken as the "Data length, " line.
  const auto shorter = ReadChanged({{"", 1, "Record length,20"}, {"", -25, ""}, {"", -25, ""}, {"", -25, ""}});
  EXPECT_EQ(shorter.Data.DataNumber, 5);
  EXPECT_EQ(shorter.Data.Count[0], 100);
  // Without "," the whole line is the number.
  EXPECT_EQ(ReadChanged({{"", 1, " 27 "}}).Data.Count[4], 104);
}

TEST(NpdReader, DataLinesTakeTheTextAfterTheSecondComma) {
  const auto r = ReadChanged({{"", 30, "1,0.3,abc"},
                              {"", 31, "2,0.5, 17 "},
                              {"", 32, "9,1.0000,17"},
                              {"", 33, "42"},
                              {"", 34, "4,3000000000"}});
  EXPECT_EQ((std::vector<int>(r.Data.Count.begin(), r.Data.Count.begin() + 5)), (std::vector<int>{0, 17, 17, 42, 0}));
}

struct ValueCase {
  const char* name;
  int line;
  std::string text;
  std::string measTime;  // expected MeasTime
  std::int16_t measureType;
  double ramStroke, pressY, pressTZ, ringCurrent;
};

class NpdValue : public ::testing::TestWithParam<ValueCase> {};

TEST_P(NpdValue, FollowsTheValueRules) {
  const auto& p = GetParam();
  const auto r = ReadChanged({{"", p.line, p.text}});
  const auto& m = r.Head.Measure;
  EXPECT_EQ(View(r.Head.Common.MeasTime), p.measTime);
  EXPECT_EQ(m.MeasureType, p.measureType);
  EXPECT_EQ(m.RamStroke, p.ramStroke);
  EXPECT_EQ(m.PressY, p.pressY);
  EXPECT_EQ(m.PressTZ, p.pressTZ);
  EXPECT_EQ(m.RingCurrent, p.ringCurrent);
  EXPECT_EQ(r.Data.DataNumber, 5);  // nothing stops the reader
}

const std::string kTime = "142530";
INSTANTIATE_TEST_SUITE_P(
    Rows, NpdValue,
    ::testing::Values(
        ValueCase{"LowerCaseMode", 6, "Measurement mode,live", kTime, 0, 12.34, -2, 90, 99.5},
        ValueCase{"RealMode", 6, "Measurement mode, Real ", kTime, 2, 12.34, -2, 90, 99.5},
        ValueCase{"SeparateMode", 6, "Measurement mode,Separate", kTime, 4, 12.34, -2, 90, 99.5},
        ValueCase{"RamStrokeNotANumber", 24, "Ram Stroke,n/a", kTime, 1, 0, -2, 90, 99.5},
        ValueCase{"OneDigitHour", 5, "Time,2007-07-23 9:05:30", "090530", 1, 12.34, -2, 90, 99.5},
        ValueCase{"OneDigitParts", 5, "Time,2007-07-23 9:5:3", "090503", 1, 12.34, -2, 90, 99.5},
        ValueCase{"LongSeconds", 5, "Time,2007-07-23 14:25:30.75", kTime, 1, 12.34, -2, 90, 99.5},
        ValueCase{"TimeWithOneColon", 5, "Time,2007-07-23 14:25", std::string(6, '\0'), 1, 12.34, -2, 90, 99.5},
        ValueCase{"EmptyTime", 5, "Time,", std::string(6, '\0'), 1, 12.34, -2, 90, 99.5},
        ValueCase{"ItemNotANumber", 19, "Press conditions, X(mm)=1 Y(mm)=? Z(mm)=0.25 PHI(deg)=45", kTime, 1, 12.34, 0,
                  45, 99.5},
        ValueCase{"ItemWithoutBlankEndsLine", 19, "Press conditions, X(mm)=1 Y(mm)=2", kTime, 1, 12.34, 0, 0, 99.5},
        ValueCase{"ItemWithoutEquals", 19, "Press conditions, X(mm)=1 Y(mm) 2", kTime, 1, 12.34, 0, 0, 99.5},
        ValueCase{"RingLineWithoutEquals", 16, " 88.5 ", kTime, 1, 12.34, -2, 90, 88.5},
        ValueCase{"RingLineNotANumber", 16, "Ring status,current(mA)=off", kTime, 1, 12.34, -2, 90, 0}),
    [](const auto& info) { return std::string(info.param.name); });

// --- Channel counts and files that end early

TEST(NpdReader, DataLengthRoundsAndANegativeOneHasNoChannels) {
  EXPECT_EQ(ReadChanged({{"", 28, "Data length, -3"}}).Data.DataNumber, 0);
  EXPECT_EQ(ReadChanged({{"", 28, "Data length, 4.5"}}).Data.DataNumber, 4);
}

TEST(NpdReader, EveryTruncatedPrefix_FailsUntilTheLastDataLineStarts) {
  const std::string full = Join(ProfileLines(12));
  const std::size_t lastLine = full.rfind("12,");
  for (std::size_t n = 0; n <= full.size(); ++n) {
    const auto r = test::Parsed(NpdRecord, std::string_view(full).substr(0, n));
    ASSERT_EQ(r.has_value(), n > lastLine) << n;
    if (r) {
      ASSERT_EQ(r->Data.DataNumber, 12) << n;
    }
  }
}

TEST(NpdReader, MissingFile_FineNotFoundAndRecordUntouched) {
  TempDir dir;
  SpectrumRecord r;
  r.Data.DataNumber = 3;
  EXPECT_EQ(ReadNpdFile(dir / "absent.npd", r).status, ReadStatus::NotFound);
  EXPECT_EQ(r.Data.DataNumber, 3);
}

}  // namespace
}  // namespace vantor
