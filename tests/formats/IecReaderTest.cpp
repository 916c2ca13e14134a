// SPDX-License-Identifier: GPL-3.0-or-later
// The IEC 61455 reader: the order of day and month, run-together numbers,
// the digital offset, calibration pairs, failures.
#include <gtest/gtest.h>

#include "formats/Iec.h"
#include "support/SpectraReading.h"

namespace vantor {
namespace {

// 58 header records and 7 counts 1..7, the last line padded with zeros.
std::string IecText(const std::string& dates, const std::string& calibration = "", const std::string& offset = "0",
                    const std::string& pair = "") {
  std::vector<std::string> records(58);
  records[0] = "NUCICA   HPGE   0   0     " + offset, records[1] = "     3564.00     3600.00     7";
  records[2] = dates, records[3] = calibration, records[5] = "Dummy data", records[10] = pair;
  std::string text;
  for (const std::string& record : records) text += "A004" + record + "\r\n";
  return text + "A004     0         1         2         3         4         5\r\n" +
         "A004     5         6         7         0         0         0\r\n";
}

TEST(IecReader, DayAndMonthInTheOrderTheFileAllows) {
  const struct {
    const char *dates, *expected;
  } rows[] = {{"09/12/21 10:54:31 08/25/21 11:34:36", "20210912 105431"},  // the second date is month-first
              {"25/12/21 10:54:31", "20211225 105431"},
              {"12/25/21 10:54:31", "20211225 105431"},
              {"09/12/21 10:54:31 08/11/21 11:34:36", "20211209 105431"}};  // undecided: day first
  for (const auto& row : rows) {
    const auto spectra = test::Spectra(IecSpectra, IecText(row.dates));
    ASSERT_EQ(spectra.size(), 1u);
    EXPECT_EQ(test::DateTime(spectra[0].record), row.expected) << row.dates;
    EXPECT_EQ(test::Counts(spectra[0].record), (std::vector<std::int32_t>{1, 2, 3, 4, 5, 6, 7}));
  }
}

TEST(IecReader, CalibrationInChannelNumbersFromTheOffset_OrThroughThePairs) {
  const std::string glued = "-1.55656000E-02 8.00000000E-01-2.97939000E-08 0.00000000E+00";
  const double a0 = -1.55656e-2, a1 = 0.8, a2 = -2.97939e-8;
  const auto atZero = test::Spectra(IecSpectra, IecText("09/12/21 10:54:31", glued));
  const auto atHundred = test::Spectra(IecSpectra, IecText("09/12/21 10:54:31", glued, "100"));
  ASSERT_EQ(atZero.size() + atHundred.size(), 2u);
  EXPECT_NEAR(test::Energy(atZero[0].record, 1), a0, 1e-12);
  EXPECT_NEAR(test::Energy(atZero[0].record, 7), a0 + a1 * 6 + a2 * 36, 1e-12);
  EXPECT_NEAR(test::Energy(atHundred[0].record, 1), a0 + a1 * 100 + a2 * 1e4, 1e-9);
  // 100 keV at channel 10 and 200 keV at channel 30: 50 keV at channel 0
  const auto pairs = test::Spectra(
      IecSpectra, IecText("09/12/21 10:54:31", "", "0", " 1.000000000E+02 1.000000000E+01 2.000000000E+02 3.0E+01"));
  ASSERT_EQ(pairs.size(), 1u);
  EXPECT_NEAR(test::Energy(pairs[0].record, 1), 50, 1e-9);
  EXPECT_NEAR(test::Energy(pairs[0].record, 31), 200, 1e-9);
}

TEST(IecReader, IncompleteOrInvalidFiles_FileError) {
  const std::string good = IecText("09/12/21 10:54:31");
  test::ExpectFileErrors(IecSpectra, {{"last line missing", good.substr(0, good.rfind("A004     5"))},
                                      {"a count short", test::Replaced(good, "4         5\r\n", "4\r\n")},
                                      {"channel number jumps", test::Replaced(good, "A004     5", "A004     6")},
                                      {"line without its tag", test::Replaced(good, "A004     5", "B004     5")},
                                      {"count not whole", test::Replaced(good, "         6", "       6.5")},
                                      {"9000 channels", test::Replaced(good, "3600.00     7", "3600.00  9000")},
                                      {"times not numbers", test::Replaced(good, "3564.00", "3564.xx")},
                                      {"header cut", good.substr(0, 200)}});
}

}  // namespace
}  // namespace vantor
