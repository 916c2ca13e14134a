// The analyser export reader: fields and lines, the count block, failures.
#include <gtest/gtest.h>

#include "formats/CsvSource.h"
#include "support/Parsed.h"
#include "support/TestFiles.h"

namespace vantor {
namespace {

using test::TempDir;

struct Export {
  std::string times = "\"Fe3O4 run\",07/07/23,14:25:30,90,100";
  std::string channels;  // "0,1,N" when empty
  std::string ids = "\"EDX-00042\",\"spare\"";
};

// An export with n counts 1, 2, 3, ...: ten a line behind a quoted label.
std::string ExportText(int n, const Export& e = {}) {
  std::string text = "Spectrum export,v1\r\n" + e.times + "\r\nlive,real\r\n\r\n,,\r\n";
  text += (e.channels.empty() ? "0,1," + std::to_string(n) : e.channels) + "\r\n";
  text += e.ids + "\r\nCh,Counts\r\n";
  for (int start = 0; start < n; start += 10) {
    text += "\"" + std::to_string(start) + "\"";
    for (int i = start; i < n && i < start + 10; ++i) text += "," + std::to_string(i + 1);
    text += "\r\n";
  }
  return text;
}

std::string TrimEnd(std::string_view text) {
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return std::string(text);
}

// --- Whole files

class CsvChannels : public ::testing::TestWithParam<int> {};

TEST_P(CsvChannels, StoresEveryCountUpToTheLast) {
  const int n = GetParam();
  const std::string text = ExportText(n);
  const auto r = test::Parsed(CsvSourceRecord, text);
  ASSERT_TRUE(r);
  EXPECT_EQ(r->Data.DataNumber, n);
  for (int i = 0; i < n; ++i) ASSERT_EQ(r->Data.Count[i], i + 1) << i;
  if (n < kMaxChannels) {
    EXPECT_EQ(r->Data.Count[n], 0);
  }
  // Cutting off the last count's field makes the read fail.
  EXPECT_FALSE(test::Parsed(CsvSourceRecord, text.substr(0, text.rfind(',') + 1)));
}

// 103, 205 and 820 labels; 2048 ends on a label and eight counts.
INSTANTIATE_TEST_SUITE_P(Sizes, CsvChannels, ::testing::Values(1024, 2048, 8192, 1));

TEST(CsvSourceReader, HeaderFieldsFromAFreshRecord) {
  TempDir dir;
  const std::string path = dir / "run.csv";
  test::WriteAll(path, ExportText(3));
  SpectrumRecord r;
  r.Data.Count[5] = 77;  // an earlier file's channel beyond N
  r.Head.Measure.EGC[1] = 0.04;
  ASSERT_TRUE(ReadCsvFile(path, r));
  const auto& c = r.Head.Common;
  const auto& m = r.Head.Measure;
  EXPECT_EQ(View(c.SampleTitle), "Fe3O4 run" + std::string(55, ' '));
  EXPECT_EQ(View(c.SampleID), "EDX-00042" + std::string(55, ' '));
  EXPECT_EQ(View(c.MeasDate), "20070723");
  EXPECT_EQ(View(c.MeasTime), "142530");
  EXPECT_EQ(m.LiveTime, 90);
  EXPECT_EQ(m.RealTime, 100);
  EXPECT_DOUBLE_EQ(m.DeadTime, 10);
  EXPECT_EQ(m.EGC[1], 0);
  EXPECT_EQ(View(c.Operator), std::string(30, '\0'));
  EXPECT_EQ(r.Data.Count[5], 0);
}

// --- Field reading

struct FieldCase {
  const char* name;
  Export fields;
  std::string title, date, time;
  double live;
  std::int16_t n;
};

class CsvFields : public ::testing::TestWithParam<FieldCase> {};

TEST_P(CsvFields, ReadAsTheFieldRulesSay) {
  const auto& p = GetParam();
  const auto r = test::Parsed(CsvSourceRecord, ExportText(p.n, p.fields));
  ASSERT_TRUE(r);
  EXPECT_EQ(TrimEnd(View(r->Head.Common.SampleTitle)), p.title);
  EXPECT_EQ(View(r->Head.Common.MeasDate), p.date);
  EXPECT_EQ(View(r->Head.Common.MeasTime), p.time);
  EXPECT_DOUBLE_EQ(r->Head.Measure.LiveTime, p.live);
  EXPECT_EQ(r->Data.DataNumber, p.n);
}

Export Times(std::string times, std::string channels = "") {
  Export e;
  e.times = std::move(times);
  e.channels = std::move(channels);
  return e;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, CsvFields,
    ::testing::Values(FieldCase{"BlanksAroundFields",
                                Times("  Fe3O4 run  ,  07/07/23 , 14:25:30 ,  90 , 100  ", " 0 , 1 , 5 "), "Fe3O4 run",
                                "20070723", "142530", 90, 5},
                      FieldCase{"QuotedTextKeepsCommasAndBlanks",
                                Times("\" a, b \",\"99/12/31\",\"23:59:58\",\"12.5\",100"), " a, b", "20991231",
                                "235958", 12.5, 3},
                      FieldCase{"AfterClosingQuoteDropped", Times("\"abc\"xyz,07/07/23,14:25:30,90,100"), "abc",
                                "20070723", "142530", 90, 3},
                      FieldCase{"NotANumberReadsZero", Times("t,07/07/23,14:25:30,ninety,100", "x,y,4"), "t",
                                "20070723", "142530", 0, 4},
                      FieldCase{"ShortDateAndTime", Times("t,7/7,1:2,90,100"), "t", "207/    ", "1:    ", 90, 3},
                      FieldCase{"ChannelCountHalfToEven", Times("t,07/07/23,14:25:30,90,100", "0,1,2.5"), "t",
                                "20070723", "142530", 90, 2}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CsvSourceReader, CountsRoundHalfToEvenAndNonNumbersReadZero) {
  std::string text = ExportText(0, Times("t,07/07/23,14:25:30,90,100", "0,1,5"));
  text += "label, 2.5 ,3.5,x,\"7\",-4\r\n";
  const auto r = test::Parsed(CsvSourceRecord, text);
  ASSERT_TRUE(r);
  EXPECT_EQ((std::vector<int>(r->Data.Count.begin(), r->Data.Count.begin() + 5)), (std::vector<int>{2, 4, 0, 7, -4}));
}

// --- Failures

struct FailureCase {
  const char* name;
  std::string text;
};

class CsvFailure : public ::testing::TestWithParam<FailureCase> {};

TEST_P(CsvFailure, FileErrorAndRecordUntouched) {
  TempDir dir;
  const std::string path = dir / "bad.csv";
  test::WriteAll(path, GetParam().text);
  SpectrumRecord r;
  r.Data.DataNumber = 12;
  AssignText(r.Head.Common.SampleTitle, "previous");
  EXPECT_EQ(ReadCsvFile(path, r).status, ReadStatus::FileError);
  EXPECT_EQ(r.Data.DataNumber, 12);
  EXPECT_EQ(View(r.Head.Common.SampleTitle).substr(0, 8), "previous");
}

std::string WithoutLastCount(std::string text) {
  text.erase(text.rfind(','));
  return text + "\r\n";
}

INSTANTIATE_TEST_SUITE_P(
    Rows, CsvFailure,
    ::testing::Values(
        FailureCase{"MissingLastField", WithoutLastCount(ExportText(25))},
        FailureCase{"RealTimeZero", ExportText(3, Times("t,07/07/23,14:25:30,90,0"))},
        FailureCase{"NineThousandChannels", ExportText(3, Times("t,07/07/23,14:25:30,90,100", "0,1,9000"))},
        FailureCase{"ChannelCountBeyond16Bits", ExportText(3, Times("t,07/07/23,14:25:30,90,100", "0,1,-40000"))},
        FailureCase{"CountBeyond32Bits", ExportText(0, Times("t,1,2,3,4", "0,1,2")) + "l,1,2147483648\r\n"},
        FailureCase{"NoLineAfterIdentifier", "h\r\nt,1,2,3,4\r\n\r\n\r\n\r\n0,1,1\r\nid,x\r\n"},
        FailureCase{"Empty", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CsvSourceReader, MissingFile_FineNotFound) {
  TempDir dir;
  SpectrumRecord r;
  EXPECT_EQ(ReadCsvFile(dir / "absent.csv", r).status, ReadStatus::NotFound);
}

TEST(CsvSourceReader, EveryTruncatedPrefix_FailsUntilTheLastCountStarts) {
  const std::string full = ExportText(25);
  const std::size_t lastCount = full.rfind(',') + 1;
  for (std::size_t n = 0; n < full.size(); ++n) {
    const auto r = test::Parsed(CsvSourceRecord, std::string_view(full).substr(0, n));
    if (n <= lastCount) {
      ASSERT_FALSE(r) << n;
    }
  }
  EXPECT_TRUE(test::Parsed(CsvSourceRecord, full));
}

}  // namespace
}  // namespace vantor
