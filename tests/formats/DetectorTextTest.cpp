// SPDX-License-Identifier: GPL-3.0-or-later
// The pieces the detectors' text readers share: counts, dates, the fitted
// line's failures, texts. The readers' tests cover the rest (the order of
// day and month: the IEC reader's).
#include <gtest/gtest.h>

#include "formats/DetectorText.h"
#include "support/SpectraReading.h"

namespace vantor {
namespace {

TEST(DetectorText, CountsAreWholeNumbersWithin32Bits) {
  // clang-format off
  const std::pair<const char*, std::int32_t> whole[] = {
      {"12", 12}, {"9.", 9}, {"9.000", 9}, {"-5", -5}, {"1.5E3", 1500}, {"2147483647", INT32_MAX},
      {"-2147483648", INT32_MIN}};
  // clang-format on
  for (const auto& [text, value] : whole) {
    std::int32_t count = -1;
    EXPECT_TRUE(ReadCount(text, count) && count == value) << text;
  }
  for (const char* text : {"2147483648", "99999999999", "2.5", "1e-3", "", "+", "12x", "0x10"}) {
    std::int32_t count = -1;
    EXPECT_FALSE(ReadCount(text, count)) << text;
  }
}

TEST(DetectorText, DatesAndClocks) {
  // clang-format off
  const struct {
    const char *date, *clock;
    DayOrder order;
    const char* expected;  // empty: not a valid date
  } rows[] = {
      {"10/11/13", "10:30:10", DayOrder::MonthFirst, "20131011 103010"},
      {"10/11/69", "9:05", DayOrder::DayFirst, "20691110 090500"},
      {"10.11.1970", "21:31:39.605", DayOrder::DayFirst, "19701110 213139"},  // cut, not rounded
      {"2016-11-04", "04:52:52", DayOrder::DayFirst, "20161104 045252"},
      {"02/29/2024", "00:00:00", DayOrder::MonthFirst, "20240229 000000"},
      {"02/29/2023", "00:00:00", DayOrder::MonthFirst, ""}, {"13/01/2023", "00:00:00", DayOrder::MonthFirst, ""},
      {"01/02-2023", "00:00:00", DayOrder::MonthFirst, ""}, {"01/02/2023", "24:00:00", DayOrder::MonthFirst, ""},
      {"01/02/2023", "12:3", DayOrder::MonthFirst, ""}, {"01/02/2023", "12:30:00x", DayOrder::MonthFirst, ""}};
  // clang-format on
  for (const auto& row : rows) {
    SpectrumRecord r{};
    EXPECT_EQ(SetMeasured(r.Head.Common, row.date, row.clock, row.order), *row.expected != 0) << row.date;
    if (*row.expected) {
      EXPECT_EQ(test::DateTime(r), row.expected) << row.date;
    }
  }
}

// The least-squares fit itself meets its three points in the real Amptek file.
TEST(DetectorText, NoLineWithoutTwoChannels_NotesForReplacedCharacters) {
  const std::array<double, 2> one[] = {{5, 5}}, sameChannel[] = {{5, 5}, {5, 6}};
  EXPECT_FALSE(FitLine(one));
  EXPECT_FALSE(FitLine(sameChannel));
  EXPECT_EQ(AsUtf8("32\xb0"
                   "C \xc2\xb5m"),
            "32\u00b0C \u00b5m");  // a Latin-1 byte; UTF-8 kept
  std::vector<std::string> notes;
  Text<4> field{};
  EXPECT_FALSE(SetText(field, " abcde ", "title", notes));  // cut to the field
  EXPECT_TRUE(notes.empty());
  EXPECT_TRUE(SetText(field, "\xe2\x98\x83", "title", notes));  // a snowman code page 932 lacks
  EXPECT_EQ(notes.size(), 1u);
}

}  // namespace
}  // namespace vantor
