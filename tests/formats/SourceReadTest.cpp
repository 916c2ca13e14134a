// SPDX-License-Identifier: GPL-3.0-or-later
// The one read path: which format a file is read as (the name given, else
// its extension, the content deciding where an extension is shared), and
// what the run asks for applied in one place: the entered values for an
// analyser export, the calibration and 2theta changes for every other
// source, every spectrum of a file of several.
#include <gtest/gtest.h>

#include "bench/SourceFiles.h"
#include "bench/SpectrumGenerator.h"
#include "formats/RecordFile.h"
#include "formats/SourceRead.h"
#include "support/TestFiles.h"

namespace vantor {
namespace {

// Two elements, one with an angle, in the EPICS MCA layout.
constexpr std::string_view kTwoElements =
    "VERSION:    3.1\nELEMENTS:   2\nDATE:       Nov 05, 2016 21:31:39.605\nCHANNELS:   3\n"
    "REAL_TIME:  10 10\nLIVE_TIME:  9 9\nCAL_OFFSET: 0.1 0.2\nCAL_SLOPE:  0.05 0.05\nCAL_QUAD:   0 0\n"
    "TWO_THETA:  6.5 0.5\nDATA: \n1 4\n2 5\n3 6\n";

TEST(SourceRead, KindByNameExtensionOrContent_MissingOrForeignFilesSaySo) {
  test::TempDir dir;
  const SpectrumRecord record = bench::GenerateSpectrum(3, 64);
  test::WriteAll(dir / "a.xbm", RecordFileBytes(record.Data, record.Head));
  test::WriteAll(dir / "a.dat", RecordFileBytes(record.Data, record.Head));
  test::WriteAll(dir / "e.MCA", std::string(kTwoElements));
  test::WriteAll(dir / "x.mca", "<html>no spectrum</html>");
  const RunSettings none;
  const SourceRead xbm = ReadSpectra(dir / "a.xbm", "", none), named = ReadSpectra(dir / "a.dat", "xbm", none);
  ASSERT_TRUE(xbm.result && named.result);
  EXPECT_EQ(xbm.spectra.size(), 1u);
  EXPECT_EQ(named.spectra[0].record.Data.Count, record.Data.Count);
  const SourceRead mca = ReadSpectra(dir / "e.MCA", "", none);
  ASSERT_TRUE(mca.result);
  EXPECT_EQ(mca.format->kind, SourceKind::Med);
  EXPECT_EQ(mca.spectra.size(), 2u);
  const SourceRead foreign = ReadSpectra(dir / "x.mca", "", none);
  EXPECT_EQ(foreign.result.status, ReadStatus::FileError);
  EXPECT_EQ(foreign.result.why, "not an Amptek MCA file, an EPICS MCA file or an AccuSpec MCA file");
  EXPECT_TRUE(foreign.spectra.empty());
  for (const auto& format : SourceFormats())
    EXPECT_EQ(ReadSpectra(dir / "absent", format.name, none).result.status, ReadStatus::NotFound) << format.name;
  EXPECT_EQ(ReadSpectra(dir / "a.tif", "", none).result.status, ReadStatus::FileError);
}

TEST(SourceRead, EnteredValuesForExports_ChangesForTheRest_EveryElement) {
  test::TempDir dir;
  test::WriteAll(dir / "e.med", std::string(kTwoElements));
  test::WriteAll(dir / "x.csv", bench::CsvSourceText(bench::GenerateSpectrum(1, 16)));
  RunSettings settings;
  settings.csv = {7.5, {0.1, 0.2, 0}, 25};
  settings.changes.egc = std::array<double, 3>{1, 2, 3};
  settings.changes.twoTheta = TwoThetaChange{1, false};
  const SourceRead csv = ReadSpectra(dir / "x.csv", "", settings);
  ASSERT_TRUE(csv.result);
  EXPECT_EQ(csv.spectra[0].record.Head.Measure.EGC, (std::array<double, 3>{0.1, 0.2, 0}));
  EXPECT_EQ(csv.spectra[0].record.Head.Measure.TwoTheta, 7.5);
  const SourceRead med = ReadSpectra(dir / "e.med", "", settings);
  ASSERT_TRUE(med.result);
  for (const auto& [k, twoTheta] : {std::pair{0, 7.5}, {1, 1.5}}) {
    EXPECT_EQ(med.spectra[k].record.Head.Measure.TwoTheta, twoTheta);
    EXPECT_EQ(med.spectra[k].record.Head.Measure.EGC, (std::array<double, 3>{1, 2, 3}));
  }
  // One element would end at or below 0: the file is refused whole.
  settings.changes.twoTheta = TwoThetaChange{-1, false};
  const SourceRead refused = ReadSpectra(dir / "e.med", "", settings);
  EXPECT_EQ(refused.result.status, ReadStatus::ChangeRefused);
  EXPECT_EQ(refused.result.why, "2theta would be -0.5, at or below 0");
  EXPECT_TRUE(refused.spectra.empty());
  // "FILE:K" names one spectrum, unless a file is called so.
  test::WriteAll(dir / "odd:2", "");
  const std::pair<std::string, ElementPath> rows[] = {{dir / "e.med:2", {dir / "e.med", 2}},
                                                      {dir / "e.med", {dir / "e.med", 0}},
                                                      {dir / "odd:2", {dir / "odd:2", 0}},
                                                      {dir / "e.med:x", {dir / "e.med:x", 0}},
                                                      {dir / "e.med:0", {dir / "e.med:0", 0}}};
  for (const auto& [argument, split] : rows) {
    const ElementPath got = SplitElement(argument);
    EXPECT_TRUE(got.path == split.path && got.element == split.element) << argument;
  }
}

// A calibration replaces each element's own values, whatever the source
// kind, before the run's changes; an element it lacks keeps its own and
// says so.
TEST(SourceRead, CalibrationByElement_MissingElementsKeepTheirOwn) {
  test::TempDir dir;
  test::WriteAll(dir / "e.med", std::string(kTwoElements));
  test::WriteAll(dir / "x.csv", bench::CsvSourceText(bench::GenerateSpectrum(1, 16)));
  RunSettings settings;
  settings.csv = {7.5, {0.1, 0.2, 0}, 25};
  settings.calibration =
      CalibrationValues{"beam.json", {{0, {std::array<double, 3>{1, 2, 3}, 6.1, 0, {}}}, {2, {{}, 6.2, 0, {}}}}};
  settings.changes.twoTheta = TwoThetaChange{0.5, false};
  const SourceRead med = ReadSpectra(dir / "e.med", "", settings), csv = ReadSpectra(dir / "x.csv", "", settings);
  ASSERT_TRUE(med.result && csv.result);
  const MeasureCondition &first = med.spectra[0].record.Head.Measure, &second = med.spectra[1].record.Head.Measure;
  EXPECT_EQ(first.TwoTheta, 7.0);
  EXPECT_EQ(med.spectra[0].notes,
            std::vector<std::string>{"no calibration for element 1 in beam.json: the file's own kept"});
  EXPECT_EQ(second.TwoTheta, 6.2 + 0.5);
  EXPECT_EQ(second.EGC, (std::array<double, 3>{0.2 - 0.05, 0.05, 0}));  // the file's, from channel 1 on
  EXPECT_TRUE(med.spectra[1].notes.empty());
  EXPECT_EQ(csv.spectra[0].record.Head.Measure.EGC, (std::array<double, 3>{1, 2, 3}));
  EXPECT_EQ(csv.spectra[0].record.Head.Measure.TwoTheta, 6.1);
}

}  // namespace
}  // namespace vantor
