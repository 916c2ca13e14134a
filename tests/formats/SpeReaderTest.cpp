// SPDX-License-Identifier: GPL-3.0-or-later
// The SPE text reader: sections, channel numbers from $DATA's first, the
// calibration's unit and source, failures.
#include <gtest/gtest.h>

#include "formats/Spe.h"
#include "support/SpectraReading.h"

namespace vantor {
namespace {

const std::string kSpe =
    "$SPEC_ID:\r\nFe3O4 at 15 GPa\r\n$SPEC_REM:\r\nDET# 1\r\nAP# GammaVision Version 6.09\r\n$DATE_MEA:\r\n"
    "10/11/2013 10:30:10\r\n$MEAS_TIM:\r\n5 6\r\n$DATA:\r\n2 5\r\n1 2.\r\n   3\r\n4\r\n$ROI:\r\n1\r\n2 3\r\n"
    "$MCA_CAL:\r\n3\r\n1 0.5 0.01 keV\r\n";

TEST(SpeReader, CountsSeveralToALine_CalibrationFromTheFirstChannelNumber) {
  const auto spectra = test::Spectra(SpeSpectra, kSpe);
  ASSERT_EQ(spectra.size(), 1u);
  const SpectrumRecord& r = spectra[0].record;
  EXPECT_EQ(test::Counts(r), (std::vector<std::int32_t>{1, 2, 3, 4}));
  EXPECT_EQ(test::DateTime(r), "20131011 103010");
  EXPECT_EQ((std::array{r.Head.Measure.LiveTime, r.Head.Measure.RealTime}), (std::array{5.0, 6.0}));
  // $DATA starts at channel number 2: the first channel's energy is c0 + 2·c1 + 4·c2
  EXPECT_DOUBLE_EQ(test::Energy(r, 1), 1 + 0.5 * 2 + 0.01 * 4);
  EXPECT_DOUBLE_EQ(test::Energy(r, 4), 1 + 0.5 * 5 + 0.01 * 25);
  EXPECT_EQ(DisplayText(r.Head.Common.SampleTitle), "Fe3O4 at 15 GPa");
  EXPECT_EQ(test::Extra(spectra[0], "AP"), "GammaVision Version 6.09");
  EXPECT_EQ(test::Extra(spectra[0], "ROI 1"), "2 3");
  EXPECT_EQ(test::Extra(spectra[0], "MCA_CAL"), "1 0.5 0.01 keV");
}

TEST(SpeReader, CalibrationUnitsAndFallback) {
  const struct {
    const char *calibration, *energyFit;
    double firstEnergy;  // keV; 0 where no calibration may be made
  } rows[] = {{"1 0.5 0.01 eV", "", 2.04e-3},
              {"1 0.5 0.01 MeV", "", 2040},
              {"0 0 0", "$ENER_FIT:\r\n1 0.5\r\n", 2.0},  // an all-zero $MCA_CAL gives way
              {"1 0.5 0.01 furlongs", "", 0},
              {"0 0 0", "", 0}};
  for (const auto& row : rows) {
    const auto spectra = test::Spectra(
        SpeSpectra, test::Replaced(kSpe, "1 0.5 0.01 keV\r\n", std::string(row.calibration) + "\r\n" + row.energyFit));
    ASSERT_EQ(spectra.size(), 1u);
    EXPECT_NEAR(test::Energy(spectra[0].record, 1), row.firstEnergy, 1e-9) << row.calibration;
  }
}

TEST(SpeReader, IncompleteOrInvalidFiles_FileError) {
  test::ExpectFileErrors(SpeSpectra, {{"a count short", test::Replaced(kSpe, "4\r\n$ROI", "$ROI")},
                                      {"a count more", test::Replaced(kSpe, "1 2.\r\n", "1 2. 7\r\n")},
                                      {"count not whole", test::Replaced(kSpe, "1 2.", "1 2.5")},
                                      {"last before first", test::Replaced(kSpe, "2 5\r\n", "5 2\r\n")},
                                      {"16384 channels", test::Replaced(kSpe, "2 5\r\n", "0 16383\r\n")},
                                      {"no $DATA", test::Replaced(kSpe, "$DATA:\r\n2 5\r\n1 2.\r\n   3\r\n4\r\n", "")},
                                      {"text before the sections", "junk\r\n" + kSpe},
                                      {"a coefficient short", test::Replaced(kSpe, "1 0.5 0.01 keV", "1 0.5 keV")},
                                      {"one time", test::Replaced(kSpe, "5 6\r\n", "5\r\n")}});
}

}  // namespace
}  // namespace vantor
