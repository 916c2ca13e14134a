// SPDX-License-Identifier: GPL-3.0-or-later
// The JSON of `vantor-cli show` for a known record (tests/data/record-report.json),
// and JSON string escaping.
#include <gtest/gtest.h>

#include <limits>

#include "formats/RecordReport.h"
#include "support/TestFiles.h"

namespace vantor {
namespace {

TEST(RecordReport, JsonCarriesEveryHeaderFieldUnderItsNameAndTheSummary) {
  auto record = std::make_unique<SpectrumRecord>();
  Header& h = record->Head;
  AssignText(h.Common.SampleTitle, "C:\\run \"7\" \x93\xFA");  // "\" stays a backslash; 0x93FA is a kanji
  AssignText(h.Common.MeasDate, "20060202");
  h.Common.SpareText[0][0] = 'x';
  h.Measure.EGC = {0.25, 0.042, -1e-7};
  h.Measure.TwoTheta = 5.001;
  h.Measure.LiveTime = std::numeric_limits<double>::quiet_NaN();
  h.Measure.RealTime = std::numeric_limits<double>::infinity();
  h.Measure.ROIEnd = -3;
  record->Data.DataNumber = 4;
  record->Data.Count = {3, 9, 9, -1};

  // Every header field under its name, one a line, after the summary.
  EXPECT_EQ(SpectrumJson("dir/a.xbm", "xbm", *record), test::ReadAll(VANTOR_TEST_DATA_DIR "/record-report.json"));
}

TEST(RecordReport, JsonStringEscapesControlsAndReplacesWhatIsNotUtf8) {
  EXPECT_EQ(JsonString("a\"b\\c\n\t\x01"), "\"a\\\"b\\\\c\\u000a\\u0009\\u0001\"");
  EXPECT_EQ(JsonString("\xC3\xA9 \xE6\x97\xA5 \xF0\x9F\x98\x80"), "\"\xC3\xA9 \xE6\x97\xA5 \xF0\x9F\x98\x80\"");
  // A stray trail byte, an overlong form, a surrogate, a cut sequence.
  EXPECT_EQ(JsonString("\x80|\xC0\xAF|\xED\xA0\x80|\xE6\x97"),
            "\"\\ufffd|\\ufffd\\ufffd|\\ufffd\\ufffd\\ufffd|\\ufffd\\ufffd\"");
  // A three-byte form led by 0xEF; one whose last byte is no continuation; no lead above 0xF4.
  EXPECT_EQ(JsonString("\xEF\xBC\xA1|\xE6\x97(|\xF5\x80\x80\x80"),
            "\"\xEF\xBC\xA1|\\ufffd\\ufffd(|\\ufffd\\ufffd\\ufffd\\ufffd\"");
}

}  // namespace
}  // namespace vantor
