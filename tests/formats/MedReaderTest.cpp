// SPDX-License-Identifier: GPL-3.0-or-later
// The EPICS MCA text reader: elements, per-element values, failures.
#include <gtest/gtest.h>

#include "formats/Med.h"
#include "support/SpectraReading.h"

namespace vantor {
namespace {

const std::string kMed =
    "VERSION:    3.1\nELEMENTS:   2\nDATE:       Nov 05, 2016 21:31:39.605\nCHANNELS:   3\nROIS:       1 0\n"
    "REAL_TIME:  10.0 20.0\nLIVE_TIME:  11.0 15.0\nCAL_OFFSET: 0.5 0\nCAL_SLOPE:  0.1 0\nCAL_QUAD:   0.01 0\n"
    "ROI_0_LEFT:  1 0\nROI_0_RIGHT:  2 0\nROI_0_LABEL: Fe Ka &  &\n"
    "ENVIRONMENT: 13IDD:SampleName.VAL=\"Fe3O4  \" ( )\nENVIRONMENT: 13IDD:m1.VAL=\"12.5\" (Press load)\n"
    "DATA: \n 1 0\n 2 0\n 3 0\n";

TEST(MedReader, OneSpectrumPerElement_FirstChannelCountsAsZero) {
  const auto spectra = test::Spectra(MedSpectra, kMed);
  ASSERT_EQ(spectra.size(), 2u);
  const SpectrumRecord& first = spectra[0].record;
  EXPECT_EQ(test::Counts(first), (std::vector<std::int32_t>{1, 2, 3}));
  EXPECT_EQ(test::Counts(spectra[1].record), (std::vector<std::int32_t>{0, 0, 0}));
  EXPECT_EQ(test::DateTime(first), "20161105 213139");  // the fraction cut, not rounded
  // live above real stays so: a negative dead time
  EXPECT_EQ((std::array{first.Head.Measure.LiveTime, first.Head.Measure.RealTime, first.Head.Measure.DeadTime}),
            (std::array{11.0, 10.0, -10.0}));
  EXPECT_DOUBLE_EQ(test::Energy(first, 1), 0.5);                               // offset at file channel 0
  EXPECT_DOUBLE_EQ(test::Energy(first, 3), 0.5 + 0.1 * 2 + 0.01 * 4);          // file channel 2
  EXPECT_EQ(spectra[1].record.Head.Measure.EGC, (std::array{0.0, 0.0, 0.0}));  // dead element: none
  EXPECT_EQ(first.Head.Measure.TwoTheta, 0);                                   // no TWO_THETA line: no angle
  EXPECT_EQ(DisplayText(first.Head.Common.SampleTitle), "Fe3O4");
  EXPECT_EQ(test::Extra(spectra[0], "element"), "1");
  EXPECT_EQ(test::Extra(spectra[0], "ROI_0_LABEL"), "Fe Ka");
  EXPECT_EQ(test::Extra(spectra[1], "ROI_0_LEFT"), "(none)");  // ROIS gives element 2 none
  EXPECT_EQ(test::Extra(spectra[1], "13IDD:m1.VAL (Press load)"), "12.5");
  EXPECT_EQ(test::Extra(spectra[1], "CAL_SLOPE"), "0");
}

TEST(MedReader, IncompleteOrInvalidFiles_FileError) {
  test::ExpectFileErrors(MedSpectra, {{"a channel short", kMed.substr(0, kMed.size() - 5)},
                                      {"a channel more", kMed + " 4 0\n"},
                                      {"a column more", test::Replaced(kMed, "\n 2 0\n", "\n 2 0 7\n")},
                                      {"count not whole", test::Replaced(kMed, "\n 2 0\n", "\n 2.5 0\n")},
                                      {"count beyond 32 bits", test::Replaced(kMed, "\n 2 0\n", "\n 4294967296 0\n")},
                                      {"16384 channels", test::Replaced(kMed, "CHANNELS:   3", "CHANNELS:   16384")},
                                      {"one time for two elements", test::Replaced(kMed, "10.0 20.0", "10.0")},
                                      {"a time not a number", test::Replaced(kMed, "11.0 15.0", "11.0 abc")},
                                      {"no DATA line", test::Replaced(kMed, "DATA: \n", "")},
                                      {"no CHANNELS line", test::Replaced(kMed, "CHANNELS:   3\n", "")}});
}

}  // namespace
}  // namespace vantor
