// SPDX-License-Identifier: GPL-3.0-or-later
// The code page 932 decoder on the bytes where it differs from plain
// Shift_JIS, on undefined bytes, and on header fields.
#include "base/Cp932.h"

#include <gtest/gtest.h>

namespace vantor {
namespace {

TEST(Cp932, DecodesAsWindowsDoes) {
  EXPECT_EQ(Cp932ToUtf8("C:\\data~1"), "C:\\data~1");         // not the yen sign or overline
  EXPECT_EQ(Cp932ToUtf8("\x82\xa0\x8a\xbf"), "\xe3\x81\x82\xe6\xbc\xa2");  // hiragana a, kanji
  EXPECT_EQ(Cp932ToUtf8("\xb1"), "\xef\xbd\xb1");               // half-width katakana a
  EXPECT_EQ(Cp932ToUtf8("\x87\x40"), "\xe2\x91\xa0");           // NEC special: circled 1
  EXPECT_EQ(Cp932ToUtf8("\x81\x5f"), "\xef\xbc\xbc");           // full-width backslash
}

TEST(Cp932, UndefinedBytesBecomeReplacementCharacters) {
  const std::string fffd = "\xef\xbf\xbd";
  EXPECT_EQ(Cp932ToUtf8("\x80\xa0\xfd\xff"), fffd + fffd + fffd + fffd);
  EXPECT_EQ(Cp932ToUtf8("a\x82"), "a" + fffd);          // lead byte at the end
  EXPECT_EQ(Cp932ToUtf8("\x82 A"), fffd + " A");        // lead without a trail: the blank survives
  EXPECT_EQ(Cp932ToUtf8("\x85\x40"), fffd);             // a pair the code page leaves empty
}

TEST(Cp932, DisplayTextTrimsBlanksAndZeroBytes) {
  Text<8> field{};
  AssignText(field, " \x82\xa0 ");
  EXPECT_EQ(DisplayText(field), "\xe3\x81\x82");
  EXPECT_EQ(DisplayText(Text<4>{}), "");
}

}  // namespace
}  // namespace vantor
