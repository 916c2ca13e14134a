// vantor-cli convert from the other source kinds: the samples convert, and
// the parameter entry's values are final for CSV sources.
#include <gtest/gtest.h>

#include <filesystem>

#include "formats/FormatTable.h"
#include "formats/RecordFile.h"
#include "support/RunCli.h"

namespace vantor {
namespace {

SpectrumRecord Read(const std::string& path) {
  SpectrumRecord r;
  EXPECT_TRUE(ReadRecordFile(path, r)) << path;
  return r;
}

TEST(SourcesCli, SampleSourcesConvert) {
  test::TempDir dir;
  std::string files;
  for (const char* name : {"analyser.cnf", "export.csv", "profile.npd"}) {
    std::filesystem::copy_file(std::filesystem::path(VANTOR_SAMPLES_DIR) / name, dir.path() / name);
    files += " " + test::ShellQuote(dir / name);
  }
  const auto run = test::RunCli("convert --force --to xbm --csv-params 5,0.2667,0.0422,0,300" + files);
  ASSERT_EQ(run.exitCode, 0) << run.err;
  for (const auto& [output, channels] : {std::pair{"analyser_.XBM", 4096}, {"export_.XBM", 256}, {"profile_.XBM", 256}}) {
    const SpectrumRecord r = Read(dir / output);
    EXPECT_EQ(r.Data.DataNumber, channels) << output;
    EXPECT_GT(r.Data.Count[100], 0) << output;
  }
  EXPECT_EQ(Read(dir / "export_.XBM").Head.Measure.TwoTheta, 5);
}

// The EGC and 2Theta changes apply to other sources, not on top of a CSV
// source's parameters; together they would, so the mix is refused.
TEST(SourcesCli, CsvSourceTakesTheParametersOnly) {
  test::TempDir dir;
  const std::filesystem::path samples = VANTOR_SAMPLES_DIR;
  std::filesystem::copy_file(samples / "export.csv", dir.path() / "a.csv");
  std::filesystem::copy_file(samples / "profile.npd", dir.path() / "b.npd");
  const std::string changes = " --egc 1,2,3 --two-theta 1 ", params = " --csv-params 6.5,0.1,0.04,0.001,298.15";
  const std::string a = test::ShellQuote(dir / "a.csv"), b = test::ShellQuote(dir / "b.npd");
  ASSERT_EQ(test::RunCli("convert --force --to xbm" + params + changes + a).exitCode, 0);
  ASSERT_EQ(test::RunCli("convert --force --to xbm" + changes + b).exitCode, 0);
  const SpectrumRecord csv = Read(dir / "a_.XBM"), npd = Read(dir / "b_.XBM");
  EXPECT_EQ(csv.Head.Measure.TwoTheta, 6.5);
  EXPECT_EQ(csv.Head.Measure.EGC, (std::array<double, 3>{0.1, 0.04, 0.001}));
  EXPECT_NEAR(csv.Head.Measure.Temperature, 25, 1e-9);
  SpectrumRecord source;
  ASSERT_TRUE(Source(SourceKind::Npd).read(dir / "b.npd", source));
  EXPECT_EQ(npd.Head.Measure.TwoTheta, source.Head.Measure.TwoTheta + 1);
  EXPECT_EQ(npd.Head.Measure.EGC, (std::array<double, 3>{1, 2, 3}));
  std::filesystem::remove(dir / "b_.XBM");
  const auto mixed = test::RunCli("convert --force --to xbm" + params + changes + a + " " + b);
  EXPECT_EQ(mixed.exitCode, 2);
  EXPECT_NE(mixed.err.find("--egc and --two-theta cannot be used"), std::string::npos) << mixed.err;
  EXPECT_FALSE(std::filesystem::exists(dir / "b_.XBM"));
}

}  // namespace
}  // namespace vantor
