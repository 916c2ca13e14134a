// SPDX-License-Identifier: GPL-3.0-or-later
// vantor-cli convert from the other source kinds: the samples convert, and
// the parameter entry's values are final for CSV sources.
#include <gtest/gtest.h>

#include "formats/FormatTable.h"
#include "formats/RecordFile.h"
#include "support/RunCli.h"

namespace vantor {
namespace {

// The EGC and 2Theta changes apply to other sources, not on top of a CSV
// source's parameters; together they would, so the mix is refused.
TEST(SourcesCli, SamplesConvert_CsvSourceTakesTheParametersOnly) {
  test::TempDir dir;
  for (const char* name : {"analyser.cnf", "export.csv", "profile.npd"})
    std::filesystem::copy_file(std::filesystem::path(VANTOR_SAMPLES_DIR) / name, dir.path() / name);
  const std::string cnf = test::ShellQuote(dir / "analyser.cnf"), csv = test::ShellQuote(dir / "export.csv"),
                    npd = test::ShellQuote(dir / "profile.npd");
  const std::string changes = " --egc 1,2,3 --two-theta 1 ", params = " --csv-params 6.5,0.1,0.04,0.001,298.15 ";
  ASSERT_EQ(test::RunCli("convert --force --to xbm" + params + changes + csv).exitCode, 0);
  ASSERT_EQ(test::RunCli("convert --force --to xbm" + changes + cnf + " " + npd).exitCode, 0);
  for (const auto& [output, channels] :
       {std::pair{"analyser_.XBM", 4096}, {"export_.XBM", 256}, {"profile_.XBM", 256}}) {
    SpectrumRecord r;
    ASSERT_TRUE(ReadRecordFile(dir / output, r));
    EXPECT_EQ(r.Data.DataNumber, channels) << output;
    EXPECT_GT(r.Data.Count[100], 0) << output;
    const bool fromCsv = std::string(output) == "export_.XBM";
    EXPECT_EQ(r.Head.Measure.EGC, (fromCsv ? std::array{0.1, 0.04, 0.001} : std::array{1.0, 2.0, 3.0}));
    EXPECT_NEAR(r.Head.Measure.Temperature, fromCsv ? 25 : r.Head.Measure.Temperature, 1e-9);  // given in kelvin
  }
  SpectrumRecord source, out;
  ASSERT_TRUE(Source(SourceKind::Npd).read(dir / "profile.npd", source) && ReadRecordFile(dir / "profile_.XBM", out));
  EXPECT_EQ(out.Head.Measure.TwoTheta, source.Head.Measure.TwoTheta + 1);
  const auto mixed = test::RunCli("convert --force --to xbm" + params + changes + csv + " " + npd);
  EXPECT_EQ(mixed.exitCode, 2);
  EXPECT_NE(mixed.err.find("--egc and --two-theta cannot be used"), std::string::npos) << mixed.err;
}

}  // namespace
}  // namespace vantor
