// SPDX-License-Identifier: GPL-3.0-or-later
// The analyser export reader: counts up to the last, header fields, failures.
#include <gtest/gtest.h>

#include "formats/CsvSource.h"
#include "support/Parsed.h"

namespace vantor {
namespace {

// An export with n counts 1, 2, 3, ...: ten a line behind a quoted label.
std::string ExportText(int n, const std::string& times = "\"Fe3O4 run\",07/07/23,14:25:30,90,100",
                       const std::string& channels = "") {
  std::string text = "Spectrum export,v1\r\n" + times + "\r\nlive,real\r\n\r\n,,\r\n";
  text += (channels.empty() ? "0,1," + std::to_string(n) : channels) + "\r\n\"EDX-00042\",\"spare\"\r\nCh,Counts\r\n";
  for (int start = 0; start < n; start += 10) {
    text += "\"" + std::to_string(start) + "\"";
    for (int i = start; i < n && i < start + 10; ++i) text += "," + std::to_string(i + 1);
    text += "\r\n";
  }
  return text;
}

TEST(CsvSourceReader, StoresEveryCountUpToTheLast) {
  for (const int n : {1, 2048, 8192}) {
    const auto r = test::Parsed(CsvSourceRecord, ExportText(n));
    ASSERT_TRUE(r) << n;
    ASSERT_EQ(r->Data.DataNumber, n);
    for (int i = 0; i < n; ++i) ASSERT_EQ(r->Data.Count[i], i + 1) << i;
  }
  const auto r = test::Parsed(CsvSourceRecord, ExportText(3));
  const auto& c = r->Head.Common;
  EXPECT_EQ(View(c.SampleTitle), "Fe3O4 run" + std::string(55, ' '));
  EXPECT_EQ(View(c.SampleID), "EDX-00042" + std::string(55, ' '));
  EXPECT_EQ(std::string(View(c.MeasDate)) + std::string(View(c.MeasTime)), "20070723142530");
  EXPECT_EQ((std::array{r->Head.Measure.LiveTime, r->Head.Measure.RealTime, r->Head.Measure.DeadTime}),
            (std::array{90.0, 100.0, 10.0}));
}

TEST(CsvSourceReader, FieldsQuotedOrBlankPadded_CountsRoundHalfToEven) {
  const auto quoted =
      test::Parsed(CsvSourceRecord, ExportText(3, "\" a, b \"xyz,\"99/12/31\", 23:59:58 ,\"12.5\",100"));
  ASSERT_TRUE(quoted);
  EXPECT_EQ(View(quoted->Head.Common.SampleTitle).substr(0, 7), " a, b  ");
  EXPECT_EQ(std::string(View(quoted->Head.Common.MeasDate)) + std::string(View(quoted->Head.Common.MeasTime)),
            "20991231235958");
  EXPECT_EQ(quoted->Head.Measure.LiveTime, 12.5);
  const auto counts = test::Parsed(CsvSourceRecord, ExportText(0, "t,07/07/23,14:25:30,90,100", "0,1,6") +
                                                        "label, 2.5 ,3.5,x,\"7\",-4,-2147483648\r\n");
  ASSERT_TRUE(counts);
  EXPECT_EQ(std::vector<int>(counts->Data.Count.begin(), counts->Data.Count.begin() + 6),
            (std::vector<int>{2, 4, 0, 7, -4, INT32_MIN}));
}

// Every prefix of an export fails (the failures and their reasons are
// cases in tests/data/cli-cases.txt).
TEST(CsvSourceReader, EveryTruncatedExport_FileError) {
  const std::string full = ExportText(25);
  for (std::size_t n = 0; n <= full.rfind(',') + 1; ++n)
    ASSERT_FALSE(test::Parsed(CsvSourceRecord, std::string_view(full).substr(0, n))) << n;
}

}  // namespace
}  // namespace vantor
