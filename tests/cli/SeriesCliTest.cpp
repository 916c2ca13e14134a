// vantor-cli combine and table: exit codes, messages on stderr, --force.
#include <gtest/gtest.h>

#include "spectrum/RecordFile.h"
#include "support/RunCli.h"

namespace vantor {
namespace {

using test::ReadAll;
using test::TempDir;
using test::WriteAll;

// The arguments quoted one by one for the shell.
test::CliRun RunArgs(const std::vector<std::string>& args) {
  std::string line;
  for (const auto& a : args) line += (line.empty() ? "" : " ") + test::ShellQuote(a);
  return test::RunCli(line);
}

void SaveRecord(const std::string& path, std::vector<std::int32_t> counts, double real, double live) {
  SpectrumRecord r;
  r.Head.Measure.RealTime = real;
  r.Head.Measure.LiveTime = live;
  r.Data.DataNumber = static_cast<std::int16_t>(counts.size());
  std::copy(counts.begin(), counts.end(), r.Data.Count.begin());
  WriteAll(path, RecordFileBytes(r.Data, r.Head));
}

SpectrumRecord Load(const std::string& path) {
  struct Quiet : UserPrompt {
    void Message(std::string_view) override {}
    bool AskYesNo(std::string_view) override { return false; }
    bool AskTwoLines(std::string_view, std::string_view) override { return false; }
    std::optional<CsvParameters> AskCsvParameters() override { return {}; }
    std::optional<std::string> AskSaveName(std::string_view, std::string_view) override { return {}; }
    void ShowStatus(std::string_view) override {}
  } quiet;
  ConvertContext context(quiet);
  SpectrumRecord r;
  EXPECT_TRUE(ReadRecordFile(path, r.Data, r.Head, context)) << path;
  return r;
}

// --- combine -------------------------------------------------------------------

TEST(CombineCli, SumsFilesGivenAsPaths) {
  TempDir dir;
  SaveRecord(dir / "a.xbm", {1, 2, 3}, 100, 90);
  SaveRecord(dir / "b.XBM", {10, 20, 30}, 100, 80);
  const auto r = RunArgs({"combine", "-o", dir / "sum.xbm", dir / "a.xbm", dir / "b.XBM"});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.err, "Done\n");
  const SpectrumRecord sum = Load(dir / "sum.xbm");
  EXPECT_EQ(sum.Data.DataNumber, 3);
  EXPECT_EQ(sum.Data.Count[2], 33);
  EXPECT_DOUBLE_EQ(sum.Head.Measure.DeadTime, 15);
}

TEST(CombineCli, ExistingOutput_NeedsForce) {
  TempDir dir;
  SaveRecord(dir / "a.xbm", {1}, 1, 1);
  WriteAll(dir / "sum.xbm", "old");
  auto r = RunArgs({"combine", "-o", dir / "sum.xbm", dir / "a.xbm"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "File already exist. Replace?(" + dir / "sum.xbm" + ")\n");
  EXPECT_EQ(ReadAll(dir / "sum.xbm"), "old");

  r = RunArgs({"combine", "--force", "-o", dir / "sum.xbm", dir / "a.xbm"});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.err, "Done\n");
  EXPECT_EQ(Load(dir / "sum.xbm").Data.Count[0], 1);
}

struct FailRow {
  std::vector<std::string> args;  // "@" stands for the test folder
  int status;
  std::string err;  // the end of stderr; "@" likewise
};

std::string Expand(std::string text, const TempDir& dir) {
  for (auto at = text.find('@'); at != std::string::npos; at = text.find('@', at + 1)) {
    text.replace(at, 1, dir.path().string());
    at += dir.path().string().size() - 1;
  }
  return text;
}

class SeriesCliFailure : public ::testing::TestWithParam<FailRow> {};

TEST_P(SeriesCliFailure, ExitStatusAndMessage) {
  TempDir dir;
  SaveRecord(dir / "a.xbm", {1}, 1, 1);
  std::vector<std::string> args;
  for (const auto& a : GetParam().args) args.push_back(Expand(a, dir));
  const auto r = RunArgs(args);
  EXPECT_EQ(r.exitCode, GetParam().status);
  const std::string expected = Expand(GetParam().err, dir);
  if (GetParam().status == 2) {
    EXPECT_FALSE(r.err.empty());
  } else {
    // The job's own message comes last, after any message of a reader.
    EXPECT_TRUE(r.err.ends_with(expected)) << r.err;
  }
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"a.xbm"});
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SeriesCliFailure,
    ::testing::Values(
        FailRow{{"combine", "-o", "@/sum.txt", "@/a.xbm"}, 1, "Output type must be xbm, csv or npd\n"},
        FailRow{{"combine", "-o", "@/sum", "@/missing.xbm"}, 1, "Output type must be xbm, csv or npd\n"},
        FailRow{{"combine", "-o", "@/sum.xbm", "@/a.xbm", "@/missing.xbm"}, 1,
                "Fine NotFound\nFile Error: @/missing.xbm\n"},
        FailRow{{"combine", "-o", "@/sum.xbm", "@/a.dat"}, 1, "File Error: @/a.dat\n"},
        FailRow{{"combine", "-o", "@/sum.xbm"}, 2, ""},
        FailRow{{"combine", "--csv-params", "1,2,3", "-o", "@/sum.xbm", "@/a.xbm"}, 2, ""},
        FailRow{{"combine", "@/a.xbm"}, 2, ""},
        FailRow{{"table", "-o", "@/t.csv"}, 2, ""},
        FailRow{{"table", "-o", "@/t.csv", "@/missing.npd"}, 1, "File Error: @/missing.npd\n"}));

}  // namespace
}  // namespace vantor
