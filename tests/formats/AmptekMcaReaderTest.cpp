// SPDX-License-Identifier: GPL-3.0-or-later
// The Amptek MCA reader: blocks, the calibration line in its unit, device
// lines as header values, failures.
#include <gtest/gtest.h>

#include "formats/AmptekMca.h"
#include "support/SpectraReading.h"

namespace vantor {
namespace {

const std::string kMca =
    "<<PMCA SPECTRUM>>\r\nTAG - live_data\r\nDESCRIPTION - Fe3O4 powder\r\nLIVE_TIME - 9.5\r\nREAL_TIME - 10\r\n"
    "START_TIME - 11/25/2011 08:09:10\r\n<<CALIBRATION>>\r\nLABEL - eV\r\n0 100\r\n100 10100\r\n<<DATA>>\r\n1\r\n2\r\n"
    "3\r\n<<END>>\r\n<<DP5 CONFIGURATION>>\r\nTPEA=25.600;    Peaking Time\r\n<<DP5 CONFIGURATION END>>\r\n"
    "<<DPP STATUS>>\r\nBoard Temp: 32\xb0"
    "C\r\n<<DPP STATUS END>>\r\n";

TEST(AmptekMcaReader, BlocksCalibrationAndDeviceLines) {
  const auto spectra = test::Spectra(AmptekMcaSpectra, kMca);
  ASSERT_EQ(spectra.size(), 1u);
  const SpectrumRecord& r = spectra[0].record;
  EXPECT_EQ(test::Counts(r), (std::vector<std::int32_t>{1, 2, 3}));
  EXPECT_EQ(test::DateTime(r), "20111125 080910");
  EXPECT_EQ((std::array{r.Head.Measure.LiveTime, r.Head.Measure.RealTime}), (std::array{9.5, 10.0}));
  // 100 eV at channel 0, 100 eV more per channel
  EXPECT_NEAR(test::Energy(r, 1), 0.1, 1e-12);
  EXPECT_NEAR(test::Energy(r, 3), 0.3, 1e-12);
  EXPECT_EQ(DisplayText(r.Head.Common.SampleTitle), "Fe3O4 powder");
  EXPECT_EQ(test::Extra(spectra[0], "TAG"), "live_data");
  EXPECT_EQ(test::Extra(spectra[0], "DP5 CONFIGURATION: TPEA (Peaking Time)"), "25.600");
  EXPECT_EQ(test::Extra(spectra[0], "DPP STATUS: Board Temp"), "32\u00b0C");  // Latin-1 in, UTF-8 out
}

TEST(AmptekMcaReader, IncompleteOrInvalidFiles_FileError) {
  std::string longest = "<<PMCA SPECTRUM>>\n<<DATA>>\n";
  for (int i = 0; i <= kMaxChannels; ++i) longest += "1\n";
  test::ExpectFileErrors(AmptekMcaSpectra,
                         {{"no <<END>>", kMca.substr(0, kMca.find("<<END>>"))},
                          {"count not a number", test::Replaced(kMca, "\n2\r", "\nx\r")},
                          {"8193 counts", longest + "<<END>>\n"},
                          {"calibration point not a number", test::Replaced(kMca, "0 100", "0 abc")},
                          {"other first line", test::Replaced(kMca, "<<PMCA SPECTRUM>>", "<<PMCA>>")},
                          {"no <<DATA>>", test::Replaced(kMca, "<<DATA>>\r\n1\r\n2\r\n3\r\n<<END>>\r\n", "")}});
}

}  // namespace
}  // namespace vantor
