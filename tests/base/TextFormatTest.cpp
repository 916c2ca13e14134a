#include "base/TextFit.h"
#include "base/TextFormat.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>

namespace vantor {
namespace {

struct MaskRow {
  double value;
  const char* mask;
  const char* expected;
};

class MaskTest : public ::testing::TestWithParam<MaskRow> {};

TEST_P(MaskTest, FormatsAsTheMaskSays) {
  const MaskRow& row = GetParam();
  EXPECT_EQ(FormatMask(row.value, row.mask), row.expected) << row.value << " with " << row.mask;
}

INSTANTIATE_TEST_SUITE_P(
    DigitMasks, MaskTest,
    ::testing::Values(
        // integer part never cut nor padded; exactly k decimals
        MaskRow{1234.5678, "##0.000", "1234.568"}, MaskRow{12.5, "##0.000", "12.500"},
        MaskRow{0.25, "##0.000", "0.250"}, MaskRow{1234.5678, "#0.00", "1234.57"},
        MaskRow{38.5, "#0.0000", "38.5000"}, MaskRow{4.48593, "0.0000", "4.4859"},
        MaskRow{1523, "0", "1523"}, MaskRow{-5, "######0", "-5"},
        // "#" only: nothing at all for zero
        MaskRow{0, "######", ""}, MaskRow{7, "######", "7"}, MaskRow{0.4, "######", ""},
        // leading zeros
        MaskRow{7, "0000", "0007"}, MaskRow{7, "00", "07"}, MaskRow{123, "00", "123"},
        MaskRow{0, "0000", "0000"},
        // half away from zero on the decimal form, not the binary value
        MaskRow{2.675, "0.00", "2.68"}, MaskRow{-2.675, "0.00", "-2.68"}, MaskRow{0.5, "0", "1"},
        MaskRow{1.5, "0", "2"}, MaskRow{2.5, "0", "3"}, MaskRow{-0.5, "0", "-1"},
        MaskRow{1.0005, "0.000", "1.001"}, MaskRow{9.9995, "0.000", "10.000"},
        MaskRow{999.9996, "##0.000", "1000.000"}, MaskRow{0.0005, "##0.000", "0.001"},
        MaskRow{0.00049, "##0.000", "0.000"},
        // the sign of a negative value that rounds to zero stays; -0 has none
        MaskRow{-0.0004, "##0.000", "-0.000"}, MaskRow{-0.0, "##0.000", "0.000"},
        MaskRow{-0.0, "0", "0"},
        // beyond 15 significant digits the value's 15-digit form counts
        MaskRow{123456789012345678.0, "#0.00", "123456789012346000.00"},
        MaskRow{1e-20, "0.000", "0.000"},
        // non-finite values
        MaskRow{std::numeric_limits<double>::quiet_NaN(), "##0.000", "NaN"},
        MaskRow{std::numeric_limits<double>::infinity(), "0", "Inf"},
        MaskRow{-std::numeric_limits<double>::infinity(), "0.00000E+00", "-Inf"}));

INSTANTIATE_TEST_SUITE_P(
    ScientificMasks, MaskTest,
    ::testing::Values(MaskRow{0.13, "0.00000E+00", "1.30000E-01"}, MaskRow{0.26673, "0.00000E+000", "2.66730E-001"},
                      MaskRow{0, "0.00000E+00", "0.00000E+00"}, MaskRow{0, "0.00000E+000", "0.00000E+000"},
                      MaskRow{12345.6, "0.00000E+000", "1.23456E+004"},
                      MaskRow{-1.5e-7, "0.00000E+000", "-1.50000E-007"},
                      MaskRow{9.999996, "0.00000E+00", "1.00000E+01"},
                      MaskRow{1.234565, "0.00000E+00", "1.23457E+00"}, MaskRow{1e-123, "0.00000E+00", "1.00000E-123"},
                      MaskRow{-0.0, "0.00000E+00", "0.00000E+00"}));

TEST(MaskTest, HugeValuesKeepEveryIntegerDigit) {
  EXPECT_EQ(FormatMask(1e300, "0"), "1" + std::string(300, '0'));
  EXPECT_EQ(FormatMask(-1.5e20, "#0.0"), "-150000000000000000000.0");
}

TEST(MaskTest, IntegerOverloadMatchesDouble) {
  for (const std::int64_t v : {0LL, 1LL, -1LL, 9999999LL, -2147483648LL, 2147483647LL})
    for (const char* mask : {"######0", "0", "######", "0000", "###0.000"}) {
      std::string a, b;
      AppendMask(a, v, mask);
      AppendMask(b, static_cast<double>(v), mask);
      EXPECT_EQ(a, b) << v << " " << mask;
    }
}

// ---- aligned numbers

TEST(FormatAlignedTest, LinesUpOnThePoint) {
  EXPECT_EQ(FormatAligned(12.5, "######0.000"), "     12.500");
  EXPECT_EQ(FormatAligned(42, "######0"), "     42");
  EXPECT_EQ(FormatAligned(1234567.25, "##0.00"), "1234567.25");
  EXPECT_EQ(FormatAligned(0.153, "######0.000"), "      0.153");
  EXPECT_EQ(FormatAligned(12345678.5, "######0.000"), "12345678.500");
  EXPECT_EQ(FormatAligned(-3, "###0"), "  -3");
  std::string out = "x";
  AppendAligned(out, std::int64_t{12}, "######0");
  EXPECT_EQ(out, "x     12");
}

// ---- plain number text

TEST(FormatPlainTest, FifteenDigitsNoTrailingZeros) {
  EXPECT_EQ(FormatPlain(99.5), "99.5");
  EXPECT_EQ(FormatPlain(300), "300");
  EXPECT_EQ(FormatPlain(0), "0");
  EXPECT_EQ(FormatPlain(-0.0), "0");
  EXPECT_EQ(FormatPlain(-2.25), "-2.25");
  EXPECT_EQ(FormatPlain(0.1 + 0.2), "0.3");
  EXPECT_EQ(FormatPlain(1.0 / 3), "0.333333333333333");
  EXPECT_EQ(FormatPlain(0.0001), "0.0001");
  EXPECT_EQ(FormatPlain(0.00001), "1E-05");
  EXPECT_EQ(FormatPlain(-0.000015), "-1.5E-05");
  EXPECT_EQ(FormatPlain(123456789012345.0), "123456789012345");
  EXPECT_EQ(FormatPlain(1e15), "1E+15");
  EXPECT_EQ(FormatPlain(1.5e300), "1.5E+300");
  EXPECT_EQ(FormatPlain(std::nan("")), "NaN");
}

TEST(FormatTwoDigitTextTest, NumericTextsOnly) {
  EXPECT_EQ(FormatTwoDigitText("14"), "14");
  EXPECT_EQ(FormatTwoDigitText(" 9"), "09");
  EXPECT_EQ(FormatTwoDigitText("9 "), "09");
  EXPECT_EQ(FormatTwoDigitText("+9"), "09");
  EXPECT_EQ(FormatTwoDigitText("ab"), "ab");
  EXPECT_EQ(FormatTwoDigitText(std::string(2, '\0')), std::string(2, '\0'));
}

// ---- fitting and Shift_JIS

TEST(FitTest, PadsAndCuts) {
  EXPECT_EQ(LeftFit("abc", 5), "abc  ");
  EXPECT_EQ(LeftFit("abcdef", 4), "abcd");
  EXPECT_EQ(RightFit("abc", 5), "  abc");
  EXPECT_EQ(RightFit("abcdef", 4), "cdef");
  EXPECT_EQ(LeftFit("", 0), "");
}

TEST(FitTest, NeverSplitsADoubleByteCharacter) {
  const std::string kanji = "\x93\xfa\x96\x7b";  // two double-byte characters
  EXPECT_EQ(LeftFit("a" + kanji, 2), "a ");      // lead byte at the cut becomes a blank
  EXPECT_EQ(LeftFit("a" + kanji, 3), "a\x93\xfa");
  EXPECT_EQ(RightFit(kanji + "b", 2), " b");       // trail byte at the start becomes a blank
  EXPECT_EQ(SjisSlice("ab" + kanji, 3, 2), "  ");  // starts on a trail, ends on a lead
  EXPECT_EQ(SjisSlice("ab" + kanji, 2, 2), "\x93\xfa");
  // A lead byte without a valid trail is a single byte.
  EXPECT_EQ(LeftFit("\x93 ", 1), "\x93");
  // Half-width katakana (0xA1-0xDF) are single bytes.
  EXPECT_EQ(LeftFit("\xb1\xb2\xb3", 2), "\xb1\xb2");
}

TEST(FieldTextTest, ZeroBytesCountAsBlanks) {
  EXPECT_EQ(FieldText(std::string("AB\0\0", 4)), "AB  ");
  EXPECT_EQ(TrimBlanks(FieldText(std::string("ABC\0\0", 5))), "ABC");
  EXPECT_EQ(TrimBlanks("   "), "");
  EXPECT_EQ(TrimBlanks(" a b "), "a b");
}

}  // namespace
}  // namespace vantor

namespace vantor {
namespace {

// The masks start from the value's 15-digit decimal form; the C library's
// printer is the reference for that form over the whole range of doubles.
TEST(MaskTest, FifteenDigitFormMatchesThePrinter) {
  std::mt19937_64 random(20061205);
  std::uniform_real_distribution<double> exponent(-12, 18);
  std::uniform_real_distribution<double> unit(1, 10);
  auto check = [](double v) {
    char expected[64];
    std::snprintf(expected, sizeof expected, "%.14E", v);
    ASSERT_EQ(FormatMask(v, "0.00000000000000E+00"), expected) << v;
  };
  for (int i = 0; i < 200000; ++i) check((i % 2 ? -1 : 1) * unit(random) * std::pow(10.0, std::floor(exponent(random))));
  for (int i = 1; i <= 8192; ++i) check((i * 0.042192 + 0.26673) + (i * 1e-7) * i);
  for (double v : {1e-5, 9.99999999999999e-6, 1e15, 999999999999999.9, 0.1, 0.3, 2.675, 1e-5 * (1 - 1e-16)}) check(v);
  for (std::uint64_t bits = 0x3EE4F8B588E368F0ULL; bits < 0x3EE4F8B588E368F0ULL + 1000; ++bits) {
    double v;
    std::memcpy(&v, &bits, 8);
    check(v);  // around 1e-5, the edge of the exact integer path
  }
}

}  // namespace
}  // namespace vantor
