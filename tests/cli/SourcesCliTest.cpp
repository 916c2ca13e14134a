// vantor-cli convert from each source kind: the outputs appear beside the
// source and the record-file output carries what the source held.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "formats/FormatTable.h"
#include "formats/RecordFile.h"
#include "support/FakePrompt.h"
#include "support/RunCli.h"
#include "support/TestFiles.h"

namespace vantor {
namespace {

using test::TempDir;

std::string Quoted(const std::string& path) {
  return test::ShellQuote(path);
}

std::string CnfSource() {
  std::string bytes(41984, '\0');
  bytes[11] = static_cast<char>(0xA4);
  std::memcpy(bytes.data() + 16944, "cnf title", 9);
  std::memcpy(bytes.data() + 17966, "0.25 0.04", 9);
  for (int k = 0; k < 3; ++k) bytes[25604 + 4 * k] = static_cast<char>(11 * (k + 1));
  return bytes;
}

std::string CsvSource() {
  return "export\r\n\"csv title\",07/07/23,14:25:30,90,100\r\n\r\n\r\n\r\n0,0,12\r\n\"ID\",\"x\"\r\nCh\r\n"
         "\"0\",11,22,33,4,5,6,7,8,9,10\r\n\"10\",1,2\r\n";
}

std::string NpdSource() {
  std::string text = "Record length,27\r\nSample name,npd title\r\n";
  for (int line = 3; line <= 27; ++line) text += line == 10 ? "2Theta(deg),5.5\r\n" : "x,\r\n";
  return text + "Data length, 3\r\nCounting sec, 1\r\n1,0.1,11\r\n2,0.2,22\r\n3,0.3,33\r\n";
}

struct SourceCase {
  const char* kind;
  std::string bytes;
  std::string title;
  std::vector<int> counts;  // the first counts of the record
};

class ConvertFromSource : public ::testing::TestWithParam<SourceCase> {};

TEST_P(ConvertFromSource, WritesEveryOutputBesideTheSource) {
  const auto& p = GetParam();
  TempDir dir;
  const std::string source = dir / (std::string("run.") + p.kind);
  test::WriteAll(source, p.bytes);
  std::string kinds;
  std::vector<std::string> expected;
  for (const auto& output : OutputFormats()) {
    ASSERT_NE(output.write, nullptr) << output.name;
    kinds += (kinds.empty() ? "" : ",") + std::string(output.name);
    expected.push_back("run" + std::string(output.suffix));
  }
  const auto result =
      test::RunCli("convert --force --csv-params 5,0.1,0.04,0,300 --to " + kinds + " " + Quoted(source));
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.err, "Convert Finished\n1 file: 1 converted, 0 failed, 0 skipped\n");
  for (const auto& name : expected) EXPECT_GT(std::filesystem::file_size(dir / name), 0u) << name;

  test::FakePrompt prompt;
  ConvertContext context(prompt);
  SpectrumRecord r;
  ASSERT_TRUE(ReadRecordFile(dir / "run_.XBM", r));
  EXPECT_EQ(std::string(View(r.Head.Common.SampleTitle).substr(0, p.title.size())), p.title);
  EXPECT_EQ(std::vector<int>(r.Data.Count.begin(), r.Data.Count.begin() + p.counts.size()), p.counts);
}

INSTANTIATE_TEST_SUITE_P(Kinds, ConvertFromSource,
                         ::testing::Values(SourceCase{"cnf", CnfSource(), "cnf title", {11, 11, 22, 33, 0}},
                                           SourceCase{"csv", CsvSource(), "csv title", {11, 22, 33, 4}},
                                           SourceCase{"npd", NpdSource(), "npd title", {11, 22, 33, 0}}),
                         [](const auto& info) { return std::string(info.param.kind); });

// The parameter entry's values are final for CSV sources: the EGC and 2theta
// changes do not apply on top of them; other sources take the changes.
TEST(SourcesCli, CsvSourceTakesTheParametersOnly) {
  TempDir dir;
  test::WriteAll(dir / "a.csv", CsvSource());
  test::WriteAll(dir / "b.npd", NpdSource());
  const std::string changes = " --egc 1,2,3 --two-theta 1 ";
  const auto csvRun =
      test::RunCli("convert --force --to xbm --csv-params 6.5,0.1,0.04,0.001,298.15" + changes + Quoted(dir / "a.csv"));
  const auto npdRun = test::RunCli("convert --force --to xbm" + changes + Quoted(dir / "b.npd"));
  ASSERT_EQ(csvRun.exitCode, 0) << csvRun.err;
  ASSERT_EQ(npdRun.exitCode, 0) << npdRun.err;
  test::FakePrompt prompt;
  ConvertContext context(prompt);
  SpectrumRecord csv, npd;
  ASSERT_TRUE(ReadRecordFile(dir / "a_.XBM", csv));
  EXPECT_EQ(csv.Head.Measure.TwoTheta, 6.5);
  EXPECT_EQ(csv.Head.Measure.EGC, (std::array<double, 3>{0.1, 0.04, 0.001}));
  EXPECT_NEAR(csv.Head.Measure.Temperature, 25, 1e-9);
  ASSERT_TRUE(ReadRecordFile(dir / "b_.XBM", npd));
  EXPECT_EQ(npd.Head.Measure.TwoTheta, 6.5);  // 5.5 + 1
  EXPECT_EQ(npd.Head.Measure.EGC, (std::array<double, 3>{1, 2, 3}));

  // Together the parameters would replace the changes' values for the NPD
  // file too, so the command line refuses the mix.
  std::filesystem::remove(dir / "b_.XBM");
  const auto mixed = test::RunCli("convert --force --to xbm --csv-params 6.5,0.1,0.04,0.001,298.15" + changes +
                                  Quoted(dir / "a.csv") + " " + Quoted(dir / "b.npd"));
  EXPECT_EQ(mixed.exitCode, 2);
  EXPECT_NE(mixed.err.find("--egc and --two-theta cannot be used"), std::string::npos) << mixed.err;
  EXPECT_FALSE(std::filesystem::exists(dir / "b_.XBM"));
}

// The example files under samples/ stay readable.
TEST(SourcesCli, SampleSourcesConvert) {
  const std::filesystem::path samples = VANTOR_SAMPLES_DIR;
  TempDir dir;
  std::string files;
  for (const char* name : {"analyser.cnf", "export.csv", "profile.npd"}) {
    ASSERT_TRUE(std::filesystem::exists(samples / name)) << name;
    std::filesystem::copy_file(samples / name, dir.path() / name);
    files += " " + Quoted(dir / name);
  }
  const auto run = test::RunCli("convert --force --to xbm --csv-params 5,0.2667,0.0422,0,300" + files);
  ASSERT_EQ(run.exitCode, 0) << run.err;
  test::FakePrompt prompt;
  ConvertContext context(prompt);
  for (const auto& [output, channels] :
       {std::pair{"analyser_.XBM", 4096}, {"export_.XBM", 256}, {"profile_.XBM", 256}}) {
    SpectrumRecord r;
    ASSERT_TRUE(ReadRecordFile(dir / output, r)) << output;
    EXPECT_EQ(r.Data.DataNumber, channels) << output;
    EXPECT_GT(r.Data.Count[100], 0) << output;
  }
}

TEST(SourcesCli, CsvSourceWithoutParameters_UsageError) {
  TempDir dir;
  test::WriteAll(dir / "a.csv", CsvSource());
  const auto result = test::RunCli("convert --force --to xbm " + Quoted(dir / "a.csv"));
  EXPECT_EQ(result.exitCode, 2);
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"a.csv"});
}

struct BadSource {
  const char* name;
  const char* kind;
  std::string bytes;  // empty: no file at all
  std::string message;
};

class UnreadableSource : public ::testing::TestWithParam<BadSource> {};

TEST_P(UnreadableSource, ReportsAndWritesNothing) {
  const auto& p = GetParam();
  TempDir dir;
  const std::string source = dir / (std::string("bad.") + p.kind);
  if (!p.bytes.empty()) test::WriteAll(source, p.bytes);
  const auto result = test::RunCli("convert --force --csv-params 5,0.1,0.04,0,300 --to xbm " + Quoted(source));
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_TRUE(result.err.starts_with(source + ": " + p.message + " (")) << result.err;
  EXPECT_TRUE(result.err.ends_with(")\nConvert Finished\n1 file: 0 converted, 1 failed, 0 skipped\n")) << result.err;
  EXPECT_EQ(dir.Entries().size(), p.bytes.empty() ? 0u : 1u);
}

INSTANTIATE_TEST_SUITE_P(Rows, UnreadableSource,
                         ::testing::Values(BadSource{"MissingCnf", "cnf", "", "Fine NotFound"},
                                           BadSource{"MissingCsv", "csv", "", "Fine NotFound"},
                                           BadSource{"MissingNpd", "npd", "", "Fine NotFound"},
                                           BadSource{"ShortCnf", "cnf", CnfSource().substr(0, 41983), "File Error"},
                                           BadSource{"CutCsv", "csv", CsvSource().substr(0, CsvSource().size() - 4),
                                                     "File Error"}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vantor
