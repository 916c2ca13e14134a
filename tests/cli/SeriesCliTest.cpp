// vantor-cli combine and table: exit codes, messages on stderr, --force.
#include <gtest/gtest.h>

#include "convert/Formats.h"
#include "spectrum/RecordFile.h"
#include "support/FakePrompt.h"
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
    ::testing::Values(FailRow{{"combine", "-o", "@/sum.txt", "@/a.xbm"}, 1, "Output type must be xbm, csv or npd\n"},
                      FailRow{{"combine", "-o", "@/sum", "@/missing.xbm"}, 1, "Output type must be xbm, csv or npd\n"},
                      FailRow{{"combine", "-o", "@/sum.xbm", "@/a.xbm", "@/missing.xbm"},
                              1,
                              "Fine NotFound\nFile Error: @/missing.xbm\n"},
                      FailRow{{"combine", "-o", "@/sum.xbm", "@/a.dat"}, 1, "File Error: @/a.dat\n"},
                      FailRow{{"combine", "-o", "@/sum.xbm"}, 2, ""},
                      FailRow{{"combine", "--csv-params", "1,2,3", "-o", "@/sum.xbm", "@/a.xbm"}, 2, ""},
                      FailRow{{"combine", "@/a.xbm"}, 2, ""}, FailRow{{"table", "-o", "@/t.csv"}, 2, ""},
                      FailRow{{"table", "-o", "@/t.csv", "@/missing.npd"}, 1, "File Error: @/missing.npd\n"}));

// --- with the NPD and CSV formats ------------------------------------------------

bool NpdBuilt() {
  return Source(SourceKind::Npd).read && Output(OutputKind::Npd).write;
}

void SaveNpd(const std::string& path, std::int32_t first) {
  SpectrumRecord r;
  r.Head.Measure.EGC = {0.266730, 0.042192, 0};
  r.Head.Measure.TwoTheta = 5;
  r.Data.DataNumber = 8;
  for (int i = 0; i < 8; ++i) r.Data.Count[i] = first + i;
  test::FakePrompt quiet;
  ConvertContext context(quiet);
  ASSERT_TRUE(Output(OutputKind::Npd).write(path, r.Data, r.Head, context));
}

TEST(TableCli, WritesTheTableUnderTheCsvName) {
  if (!NpdBuilt()) GTEST_SKIP() << "no NPD reader or writer";
  TempDir dir;
  SaveNpd(dir / "a.npd", 12);
  SaveNpd(dir / "b.npd", 30);
  auto r = RunArgs({"table", "-o", dir / "t.txt", dir / "a.npd", dir / "b.npd"});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.err, "Done\n");
  const std::string table = ReadAll(dir / "t.csv");
  EXPECT_TRUE(table.starts_with("Channel, Energy,d Value,a,b\r\n 1 ,0.309,460.041,12,30\r\n")) << table.substr(0, 80);

  r = RunArgs({"table", "-o", dir / "t.csv", dir / "b.npd"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "File already exist. Replace?(" + dir / "t.csv" + ")\n");
  EXPECT_EQ(ReadAll(dir / "t.csv"), table);
  r = RunArgs({"table", "--force", "-o", dir / "t.csv", dir / "b.npd"});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_TRUE(ReadAll(dir / "t.csv").starts_with("Channel, Energy,d Value,b\r\n"));
}

TEST(CombineCli, CsvParamsReachACsvSource) {
  if (!Source(SourceKind::Csv).read) GTEST_SKIP() << "no CSV source reader";
  TempDir dir;
  WriteAll(dir / "e.csv", "export\r\n\"t\",07/07/23,14:25:30,90,100\r\n\r\n\r\n\r\n0,1,2\r\nID,x\r\nCh\r\n0,5,6\r\n");
  const auto r = RunArgs({"combine", "--csv-params", "7.5,0.1,0.03,0,298.15", "-o", dir / "s.xbm", dir / "e.csv"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  const SpectrumRecord s = Load(dir / "s.xbm");
  EXPECT_EQ(s.Head.Measure.TwoTheta, 7.5);
  EXPECT_EQ(s.Head.Measure.EGC[1], 0.03);
  EXPECT_NEAR(s.Head.Measure.Temperature, 25, 1e-9);
  EXPECT_EQ(s.Data.Count[1], 6);
}

}  // namespace
}  // namespace vantor
