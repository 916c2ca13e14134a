// SPDX-License-Identifier: GPL-3.0-or-later
// vantor-cli combine and table: exit codes, messages on stderr, --force,
// the CSV parameters.
#include <gtest/gtest.h>

#include "formats/FormatTable.h"
#include "formats/RecordFile.h"
#include "support/FakePrompt.h"
#include "support/RunCli.h"

namespace vantor {
namespace {

class SeriesCliTest : public ::testing::Test {
 protected:
  // Arguments quoted one by one; "@" stands for the test folder.
  test::CliRun Cli(const std::vector<std::string>& args) {
    std::string line;
    for (const auto& a : args) line += " " + test::ShellQuote(Expand(a));
    return test::RunCli(line);
  }
  std::string Expand(std::string text) const {
    if (const auto at = text.find('@'); at != std::string::npos) text.replace(at, 1, dir.path().string());
    return text;
  }
  void Save(OutputKind kind, const std::string& name, std::int32_t first) {
    SpectrumRecord r;
    r.Head.Measure.EGC = {0.266730, 0.042192, 0};
    r.Head.Measure.TwoTheta = 5, r.Head.Measure.RealTime = 100, r.Head.Measure.LiveTime = first == 1 ? 90 : 80;
    r.Data.DataNumber = 3;
    for (int i = 0; i < 3; ++i) r.Data.Count[i] = first + i;
    test::FakePrompt quiet;
    ConvertContext context{quiet};
    ASSERT_TRUE(Output(kind).write(dir / name, r.Data, r.Head, context));
  }
  SpectrumRecord Load(const std::string& name) {
    SpectrumRecord r;
    EXPECT_TRUE(ReadRecordFile(dir / name, r));
    return r;
  }

  test::TempDir dir;
};

TEST_F(SeriesCliTest, CombineAndTable_WriteTheirFiles_ReplaceOnlyWithForce) {
  Save(OutputKind::Xbm, "a.xbm", 1);
  Save(OutputKind::Npd, "b.npd", 10);
  test::WriteAll(dir / "e.csv", "x\r\n\"t\",07/07/23,14:25:30,90,100\r\n\r\n\r\n\r\n0,1,2\r\nID,x\r\nCh\r\n0,5,6\r\n");
  auto r =
      Cli({"combine", "--csv-params", "7.5,0.1,0.03,0,298.15", "-o", "@/sum.xbm", "@/e.csv", "@/a.xbm", "@/b.npd"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.err, "Done\n");
  const SpectrumRecord sum = Load("sum.xbm");
  EXPECT_EQ(sum.Data.Count[1], 6 + 2 + 11);
  EXPECT_EQ(sum.Head.Measure.TwoTheta, 7.5);  // the parameters reach the CSV source, the first
  EXPECT_NEAR(sum.Head.Measure.Temperature, 25, 1e-9);
  r = Cli({"combine", "-o", "@/sum.xbm", "@/a.xbm"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, Expand("File already exist. Replace?(@/sum.xbm)\n"));
  EXPECT_EQ(Load("sum.xbm").Data.Count[1], 19);
  EXPECT_EQ(Cli({"combine", "--force", "-o", "@/sum.xbm", "@/a.xbm"}).exitCode, 0);
  EXPECT_EQ(Load("sum.xbm").Data.Count[1], 2);
  r = Cli({"table", "-o", "@/t.txt", "@/b.npd", "@/b.npd"});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.err, "Done\n");
  EXPECT_TRUE(test::ReadAll(dir / "t.csv").starts_with("Channel, Energy,d Value,b,b\r\n 1 ,0.309,460.041,10,10\r\n"));
}

TEST_F(SeriesCliTest, Failures_ExitCodeAndMessage_NothingWritten) {
  Save(OutputKind::Xbm, "a.xbm", 1);
  const std::tuple<std::vector<std::string>, int, std::string> rows[] = {
      {{"combine", "-o", "@/sum.xbm", "@/a.xbm", "@/gone.xbm"}, 1, "File Error: @/gone.xbm\n"},
      {{"combine", "-o", "@/sum.xbm"}, 2, "\n"},
      {{"combine", "--csv-params", "1,2,3", "-o", "@/s.xbm", "@/a.xbm"}, 2, "\n"},
      {{"table", "@/a.xbm"}, 2, "\n"},
      {{"table", "-o", "@/t.csv", "@/gone.npd"}, 1, "File Error: @/gone.npd\n"}};
  for (const auto& [args, exitCode, errEnd] : rows) {
    const auto r = Cli(args);
    EXPECT_EQ(r.exitCode, exitCode) << args[0];
    EXPECT_TRUE(r.err.ends_with(Expand(errEnd))) << r.err;  // the job's own message comes last
  }
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"a.xbm"});
}

}  // namespace
}  // namespace vantor
