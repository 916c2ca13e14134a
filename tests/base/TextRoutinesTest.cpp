// SPDX-License-Identifier: GPL-3.0-or-later
// Shift_JIS cutting at every start, length and width: no cut ever leaves half
// a double-byte character. Rows at the edges are in tests/data/text-rows.tsv.
#include <gtest/gtest.h>

#include "base/SpectrumRecord.h"
#include "base/TextFit.h"
#include "base/TextRoutines.h"
#include "support/ShiftJisSlice.h"

namespace vantor {
namespace {

// "A", five double-byte characters, "B"; without the "A" they start at even offsets.
const std::string kMixed =
    "A\x82\xA0\x82\xA2\x82\xA4\x82\xA6\x82\xA8"
    "B";

TEST(ShiftJisCut, EveryStartLengthAndWidth_WholeCharactersOnly) {
  for (const std::string& text : {kMixed, kMixed.substr(1)}) {
    for (std::size_t start = 0; start <= text.size() + 1; ++start) {
      for (std::size_t length = 0; length <= text.size() + 1; ++length)
        ASSERT_EQ(SjisSlice(text, start, length), test::ExpectedSlice(text, start, length)) << start << "+" << length;
      const std::size_t w = start;  // as a width
      EXPECT_EQ(LeftFit(text, w), test::ExpectedLeftFit(text, w));
      EXPECT_EQ(RightFit(text, w), w <= text.size() ? test::ExpectedSlice(text, text.size() - w, w)
                                                    : std::string(w - text.size(), ' ') + text);
      Text<6> field;  // cut to a field: a text that fits keeps its bytes
      AssignText(field, std::string_view(text).substr(0, w));
      EXPECT_EQ(View(field), test::ExpectedLeftFit(text.substr(0, w), 6)) << w;
    }
  }
}

}  // namespace
}  // namespace vantor
