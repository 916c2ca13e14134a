#include "base/TextRoutines.h"

#include <gtest/gtest.h>

namespace vantor {
namespace {

struct PathRow {
  const char* path;
  const char* drive;
  const char* directory;
  const char* name;
  const char* extension;
};

class SplitPathTest : public ::testing::TestWithParam<PathRow> {};

TEST_P(SplitPathTest, SplitsIntoFourParts) {
  const PathRow& r = GetParam();
  const PathParts p = SplitPath(r.path);
  EXPECT_EQ(p.drive, r.drive);
  EXPECT_EQ(p.directory, r.directory);
  EXPECT_EQ(p.name, r.name);
  EXPECT_EQ(p.extension, r.extension);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, SplitPathTest,
    ::testing::Values(PathRow{"C:\\data\\run01.xbm", "C:", "\\data\\", "run01", "xbm"},
                      PathRow{"C:\\run01.xbm", "C:", "\\", "run01", "xbm"},
                      PathRow{"run01.xbm", "", "", "run01", "xbm"},
                      PathRow{"C:\\data\\run01", "C:", "\\data\\", "run01", ""},
                      PathRow{"C:\\a.b\\file", "C:", "\\", "a", "b\\file"},
                      PathRow{"/home/u/data/run01.xbm", "", "/home/u/data/", "run01", "xbm"},
                      PathRow{"/data.v2/run7", "", "/", "data", "v2/run7"},
                      PathRow{"/data/a.b.c", "", "/data/", "a.b", "c"},
                      PathRow{".hidden", "", "", ".hidden", ""},
                      PathRow{"", "", "", "", ""}));

TEST(JoinPathTest, OneSeparatorBetweenFolderAndName) {
  EXPECT_EQ(JoinPath("C:\\", "a.cnf"), "C:\\a.cnf");
  EXPECT_EQ(JoinPath("/data/", "a.xbm"), "/data/a.xbm");
  EXPECT_EQ(JoinPath("/data", "a.xbm"), std::string("/data") + kFolderSeparator + "a.xbm");
  EXPECT_EQ(JoinPath("", "rel/a.xbm"), "rel/a.xbm");
}

TEST(FormatDateTest, ShortDateAndClock) {
  EXPECT_EQ(FormatShortDate("20070723"), "07/07/23");
  EXPECT_EQ(FormatShortDate("19991231"), "99/12/31");
  EXPECT_EQ(FormatShortDate("20100105"), "10/01/05");
  EXPECT_EQ(FormatShortDate("ab070723"), "");
  EXPECT_EQ(FormatShortDate("        "), "");
  EXPECT_EQ(FormatShortDate("2007"), "07//");
  EXPECT_EQ(FormatClock("142530"), "14:25:30");
  EXPECT_EQ(FormatClock("14"), "14::");
  EXPECT_EQ(FormatLongDate("20070723", '/'), "2007/07/23");
}

struct SplitRow {
  const char* text;
  int fields;
  std::vector<double> values;
};

class SplitNumbersTest : public ::testing::TestWithParam<SplitRow> {};

TEST_P(SplitNumbersTest, FindsFieldsAndValues) {
  const SplitRow& r = GetParam();
  std::array<double, 11> values{};
  values.fill(-99);
  EXPECT_EQ(SplitNumbers(r.text, values), r.fields) << r.text;
  for (std::size_t i = 0; i < r.values.size(); ++i) EXPECT_DOUBLE_EQ(values[i], r.values[i]) << r.text << " #" << i;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, SplitNumbersTest,
    ::testing::Values(SplitRow{"0.26673, 0.042192", 2, {0.26673, 0.042192}}, SplitRow{"12.5 300", 2, {12.5, 300}},
                      SplitRow{" 12.5", 2, {0, 12.5}}, SplitRow{"1,2,", 3, {1, 2, 0}}, SplitRow{"", 1, {0}},
                      SplitRow{"1 ,2", 2, {1, 0}}, SplitRow{"25.0   300  ", 2, {25, 300}},
                      SplitRow{"abc 5", 2, {0, 5}},
                      SplitRow{"1 2 3 4 5 6 7 8 9 10 11 12 13 14", 11, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}},
                      SplitRow{",,,,,,,,,,,,,,,,,,,,", 11, {0, 0, 0}}));

TEST(SplitNumbersTest, LooksAtTheFirst99CharactersOnly) {
  std::array<double, 11> values{};
  const std::string text = std::string(97, '1') + " 5";
  EXPECT_EQ(SplitNumbers(text, values), 2);
  EXPECT_DOUBLE_EQ(values[1], 5);
  EXPECT_EQ(SplitNumbers(std::string(98, '1') + " 5", values), 2);  // the 100th is looked at
  EXPECT_EQ(SplitNumbers(std::string(99, '1') + " 5", values), 1);
}

TEST(ParseNumberTest, AcceptsDecimalNumbersOnly) {
  EXPECT_EQ(ParseNumber("12.5"), 12.5);
  EXPECT_EQ(ParseNumber("  -3 "), -3);
  EXPECT_EQ(ParseNumber("+.5"), 0.5);
  EXPECT_EQ(ParseNumber("5."), 5);
  EXPECT_EQ(ParseNumber("1e3"), 1000);
  EXPECT_EQ(ParseNumber("1E-2"), 0.01);
  EXPECT_EQ(ParseNumber("1e-999"), 0);
  for (const char* bad : {"", "  ", ".", "-", "1e", "1e+", "1,5", "12a", "0x10", "inf", "nan", "1e999", "- 1", "1 2"})
    EXPECT_FALSE(ParseNumber(bad).has_value()) << bad;
}

TEST(WildcardTest, MatchesCaseInsensitively) {
  EXPECT_TRUE(MatchesWildcard("a.XBM", "*.xbm"));
  EXPECT_TRUE(MatchesWildcard("run_0001.xbm", "run_????.xbm"));
  EXPECT_FALSE(MatchesWildcard("run_00001.xbm", "run_????.xbm"));
  EXPECT_FALSE(MatchesWildcard("run_001.xbm", "run_????.xbm"));
  EXPECT_TRUE(MatchesWildcard("abc", "*"));
  EXPECT_TRUE(MatchesWildcard("a.b.npd", "*.npd"));
  EXPECT_FALSE(MatchesWildcard("a.npd.bak", "*.npd"));
  EXPECT_TRUE(MatchesWildcard("xaxbxc", "*a*b*c"));
}

}  // namespace
}  // namespace vantor
