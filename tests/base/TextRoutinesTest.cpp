// SPDX-License-Identifier: GPL-3.0-or-later
// Shift_JIS cutting at every start, length and width, and long digit runs
// in the number test. Rows at the edges are in tests/data/text-rows.tsv.
#include <gtest/gtest.h>

#include "base/SpectrumRecord.h"
#include "base/TextFit.h"
#include "base/TextRoutines.h"

namespace vantor {
namespace {

// Long digit runs: the magnitude decides between zero and no number.
TEST(ParseNumberTest, LongDigitRuns_DecidedByMagnitude) {
  const std::string zeros(400, '0');
  EXPECT_EQ(ParseNumber("0." + zeros + "1"), 0.0);
  EXPECT_EQ(ParseNumber("0." + zeros + "1e+50"), 0.0);
  EXPECT_EQ(ParseNumber("1" + zeros + "e-399"), 10.0);
  EXPECT_EQ(ParseNumber("1" + zeros + "e-5"), std::nullopt);
}

// ---- Shift_JIS: no cut ever leaves half a double-byte character

// Offset of the first byte that is not valid Shift_JIS, or npos.
std::size_t FirstBadShiftJis(std::string_view text) {
  const auto lead = [](unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); };
  const auto trail = [](unsigned char c) { return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFC); };
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (lead(c)) {
      if (i + 1 >= text.size() || !trail(static_cast<unsigned char>(text[i + 1]))) return i;
      ++i;
    } else if (c >= 0x80 && !(c >= 0xA1 && c <= 0xDF)) {
      return i;
    }
  }
  return std::string_view::npos;
}

// "A", five double-byte characters, "B"; without the "A" they start at even offsets.
const std::string kMixed =
    "A\x82\xA0\x82\xA2\x82\xA4\x82\xA6\x82\xA8"
    "B";

TEST(ShiftJisCut, EveryStartLengthAndWidth_ValidAndInPlace) {
  for (const std::string& text : {kMixed, kMixed.substr(1)}) {
    for (std::size_t start = 0; start <= text.size(); ++start) {
      for (std::size_t length = 0; length <= text.size() + 1; ++length) {
        const std::string cut = SjisSlice(text, start, length);
        ASSERT_EQ(cut.size(), std::min(length, text.size() - start));
        EXPECT_EQ(FirstBadShiftJis(cut), std::string::npos) << start << "+" << length;
        for (std::size_t i = 0; i < cut.size(); ++i) EXPECT_TRUE(cut[i] == text[start + i] || cut[i] == ' ');
      }
      const std::string left = LeftFit(text, start), right = RightFit(text, start);
      EXPECT_EQ(left.size() + right.size(), 2 * start);
      EXPECT_EQ(FirstBadShiftJis(left + right), std::string::npos) << "width " << start;
    }
    // Cut to a field: whole characters only; an uncut text keeps its bytes.
    for (std::size_t take = 0; take <= text.size(); ++take) {
      Text<6> field;
      AssignText(field, std::string_view(text).substr(0, take));
      if (take <= 6) {
        EXPECT_EQ(View(field).substr(0, take), text.substr(0, take));
      } else {
        EXPECT_EQ(FirstBadShiftJis(View(field)), std::string::npos);
      }
    }
  }
}

}  // namespace
}  // namespace vantor
