// Path parts, dates, SplitNumbers, the number test, wildcards, and Shift_JIS
// cutting (every start and length, every width).
#include "base/TextRoutines.h"

#include <gtest/gtest.h>

#include "base/SpectrumRecord.h"
#include "base/TextFit.h"

namespace vantor {
namespace {

struct PathRow {
  const char *path, *drive, *directory, *name, *extension;
};

class SplitPathTest : public ::testing::TestWithParam<PathRow> {};

TEST_P(SplitPathTest, SplitsIntoFourParts) {
  const PathRow& r = GetParam();
  const PathParts p = SplitPath(r.path);
  EXPECT_EQ(p.drive + "|" + p.directory + "|" + p.name + "|" + p.extension,
            std::string(r.drive) + "|" + r.directory + "|" + r.name + "|" + r.extension);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, SplitPathTest,
    ::testing::Values(PathRow{"C:\\data\\run01.xbm", "C:", "\\data\\", "run01", "xbm"},
                      PathRow{"run01.xbm", "", "", "run01", "xbm"},
                      PathRow{"/data/a.b.c", "", "/data/", "a.b", "c"}, PathRow{".hidden", "", "", ".hidden", ""},
                      PathRow{"", "", "", "", ""},
                      // the extension is the file name's only
                      PathRow{"C:\\a.b\\file", "C:", "\\a.b\\", "file", ""},
                      PathRow{"scan.v2/run7", "", "scan.v2/", "run7", ""},
                      // a drive is one letter and ":" at the start; other ":" belong to names
                      PathRow{"/d/x:1.xbm", "", "/d/", "x:1", "xbm"}, PathRow{"ab:c.xbm", "", "", "ab:c", "xbm"},
                      PathRow{"1:x", "", "", "1:x", ""}, PathRow{"d:x:y.z", "d:", "", "x:y", "z"}));

TEST(JoinPathTest, OneSeparatorBetweenFolderAndName) {
  EXPECT_EQ(JoinPath("C:\\", "a.cnf"), "C:\\a.cnf");
  EXPECT_EQ(JoinPath("/data", "a.xbm"), std::string("/data") + kFolderSeparator + "a.xbm");
  EXPECT_EQ(JoinPath("", "rel/a.xbm"), "rel/a.xbm");
}

TEST(FormatDateTest, ShortDateAndClock) {
  EXPECT_EQ(FormatShortDate("20070723"), "07/07/23");
  EXPECT_EQ(FormatShortDate("19991231"), "99/12/31");
  EXPECT_EQ(FormatShortDate("ab070723"), "");
  EXPECT_EQ(FormatShortDate("2007"), "07//");
  EXPECT_EQ(FormatClock("14"), "14::");
  EXPECT_EQ(FormatLongDate("20070723", '-'), "2007-07-23");
}

struct SplitRow {
  std::string text;
  int fields;
  std::vector<double> values;
};

class SplitNumbersTest : public ::testing::TestWithParam<SplitRow> {};

TEST_P(SplitNumbersTest, FindsFieldsAndValues) {
  const SplitRow& r = GetParam();
  std::array<double, 11> values;
  values.fill(-99);
  EXPECT_EQ(SplitNumbers(r.text, values), r.fields) << r.text;
  EXPECT_EQ(std::vector<double>(values.begin(), values.begin() + r.values.size()), r.values) << r.text;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, SplitNumbersTest,
    ::testing::Values(SplitRow{"0.25, 0.5", 2, {0.25, 0.5}}, SplitRow{" 12.5", 2, {0, 12.5}},
                      SplitRow{"1,2,", 3, {1, 2, 0}}, SplitRow{"1 ,2", 2, {1, 0}},
                      SplitRow{"25.0   300  ", 2, {25, 300}}, SplitRow{"abc 5", 2, {0, 5}},
                      SplitRow{"1 2 3 4 5 6 7 8 9 10 11 12 13", 11, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}},
                      // only the first 99 characters are looked at (the 100th for a blank run)
                      SplitRow{std::string(98, '1') + " 5", 2, {}}, SplitRow{std::string(99, '1') + " 5", 1, {}}));

TEST(ParseNumberTest, AcceptsDecimalNumbersOnly) {
  const std::string zeros(400, '0');
  const std::pair<std::string, std::optional<double>> rows[] = {
      {"  -3 ", -3}, {"+.5", 0.5}, {"5.", 5}, {"1E-2", 0.01},
      // too small to hold reads as zero, too large is no number, however written
      {"1e-999", 0}, {"0." + zeros + "1", 0}, {"0." + zeros + "1e+50", 0}, {"1" + zeros + "e-399", 10},
      {"0.0001e-99999999999999999999", 0}, {"1" + zeros + "e-5", std::nullopt}, {"1e999", std::nullopt},
      {"", std::nullopt}, {".", std::nullopt}, {"1e+", std::nullopt}, {"1,5", std::nullopt},
      {"0x10", std::nullopt}, {"inf", std::nullopt}, {"- 1", std::nullopt}, {"1 2", std::nullopt}};
  for (const auto& [text, value] : rows) EXPECT_EQ(ParseNumber(text), value) << text.substr(0, 20);
}

TEST(WildcardTest, MatchesCaseInsensitively) {
  EXPECT_TRUE(MatchesWildcard("a.XBM", "*.xbm"));
  EXPECT_TRUE(MatchesWildcard("run_0001.xbm", "run_????.xbm"));
  EXPECT_FALSE(MatchesWildcard("run_00001.xbm", "run_????.xbm"));
  EXPECT_FALSE(MatchesWildcard("a.npd.bak", "*.npd"));
  EXPECT_TRUE(MatchesWildcard("xaxbxc", "*a*b*c"));
  // a "*" in the name is no literal match for the pattern's (found by fuzzing)
  EXPECT_TRUE(MatchesWildcard("a*b_0001.xbm", "a*b_????.xbm"));
  EXPECT_FALSE(MatchesWildcard("run*_0001.xbm", "*.xli"));
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
const std::string kMixed = "A\x82\xA0\x82\xA2\x82\xA4\x82\xA6\x82\xA8" "B";

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
  EXPECT_EQ(LeftFit("\x93 ", 1), "\x93");           // a lead byte without a valid trail is one byte
  EXPECT_EQ(LeftFit("\xb1\xb2\xb3", 2), "\xb1\xb2");  // half-width katakana are single bytes
  EXPECT_EQ(RightFit("abcdef", 4), "cdef");
  EXPECT_EQ(FieldText(std::string("AB\0\0", 4)), "AB  ");
}

}  // namespace
}  // namespace vantor
