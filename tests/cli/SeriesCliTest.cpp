// vantor-cli combine and table: exit codes, messages on stderr, --force.
#include <gtest/gtest.h>

#include "formats/FormatTable.h"
#include "formats/RecordFile.h"
#include "support/FakePrompt.h"
#include "support/RunCli.h"

namespace vantor {
namespace {

using test::ReadAll;

class SeriesCliTest : public ::testing::Test {
 protected:
  // Arguments quoted one by one; "@" stands for the test folder.
  test::CliRun Cli(const std::vector<std::string>& args) {
    std::string line;
    for (const auto& a : args) line += " " + test::ShellQuote(Expand(a));
    return test::RunCli(line);
  }
  std::string Expand(std::string text) const {
    const std::string folder = dir.path().string();
    for (auto at = text.find('@'); at != std::string::npos; at = text.find('@', at + folder.size()))
      text.replace(at, 1, folder);
    return text;
  }
  void Save(OutputKind kind, const std::string& name, std::int32_t first) {
    SpectrumRecord r;
    r.Head.Measure.EGC = {0.266730, 0.042192, 0};
    r.Head.Measure.TwoTheta = 5;
    r.Head.Measure.RealTime = 100;
    r.Head.Measure.LiveTime = first == 1 ? 90 : 80;
    r.Data.DataNumber = 3;
    for (int i = 0; i < 3; ++i) r.Data.Count[i] = first + i;
    ASSERT_TRUE(Output(kind).write(dir / name, r.Data, r.Head, context));
  }
  SpectrumRecord Load(const std::string& name) {
    SpectrumRecord r;
    EXPECT_TRUE(ReadRecordFile(dir / name, r));
    return r;
  }

  test::TempDir dir;
  test::FakePrompt quiet;
  ConvertContext context{quiet};
};

TEST_F(SeriesCliTest, Combine_SumsPaths_NeedsForceToReplace) {
  Save(OutputKind::Xbm, "a.xbm", 1);
  Save(OutputKind::Xbm, "b.XBM", 10);
  auto r = Cli({"combine", "-o", "@/sum.xbm", "@/a.xbm", "@/b.XBM"});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.err, "Done\n");
  EXPECT_EQ(Load("sum.xbm").Data.Count[2], 15);
  EXPECT_DOUBLE_EQ(Load("sum.xbm").Head.Measure.DeadTime, 15);

  const std::string before = ReadAll(dir / "sum.xbm");
  r = Cli({"combine", "-o", "@/sum.xbm", "@/a.xbm"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, Expand("File already exist. Replace?(@/sum.xbm)\n"));
  EXPECT_EQ(ReadAll(dir / "sum.xbm"), before);
  r = Cli({"combine", "--force", "-o", "@/sum.xbm", "@/a.xbm"});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(Load("sum.xbm").Data.Count[2], 3);
}

struct FailRow {
  std::vector<std::string> args;
  int exitCode;
  std::string errEnd;  // the job's own message comes last, after any reader's
};
class SeriesCliFailure : public SeriesCliTest, public ::testing::WithParamInterface<FailRow> {};

TEST_P(SeriesCliFailure, ExitCodeAndMessage_NothingWritten) {
  Save(OutputKind::Xbm, "a.xbm", 1);
  const auto r = Cli(GetParam().args);
  EXPECT_EQ(r.exitCode, GetParam().exitCode);
  EXPECT_TRUE(r.err.ends_with(Expand(GetParam().errEnd))) << r.err;
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"a.xbm"});
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SeriesCliFailure,
    ::testing::Values(FailRow{{"combine", "-o", "@/sum.txt", "@/a.xbm"}, 1, "Output type must be xbm, csv or npd\n"},
                      FailRow{{"combine", "-o", "@/sum.xbm", "@/a.xbm", "@/gone.xbm"}, 1, "File Error: @/gone.xbm\n"},
                      FailRow{{"combine", "-o", "@/sum.xbm", "@/a.dat"}, 1, "File Error: @/a.dat\n"},
                      FailRow{{"combine", "-o", "@/sum.xbm"}, 2, "\n"},
                      FailRow{{"combine", "--csv-params", "1,2,3", "-o", "@/s.xbm", "@/a.xbm"}, 2, "\n"},
                      FailRow{{"table", "@/a.xbm"}, 2, "\n"},
                      FailRow{{"table", "-o", "@/t.csv", "@/gone.npd"}, 1, "File Error: @/gone.npd\n"},
                      FailRow{{"table", "-o", "@/t.csv", "@/a.xbm"}, 1, "File Error: @/a.xbm\n"}));  // no profile

TEST_F(SeriesCliTest, Table_WritesUnderTheCsvName) {
  Save(OutputKind::Npd, "a.npd", 12);
  Save(OutputKind::Npd, "b.npd", 30);
  const auto r = Cli({"table", "-o", "@/t.txt", "@/a.npd", "@/b.npd"});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.err, "Done\n");
  EXPECT_TRUE(ReadAll(dir / "t.csv").starts_with("Channel, Energy,d Value,a,b\r\n 1 ,0.309,460.041,12,30\r\n"));
}

TEST_F(SeriesCliTest, Combine_CsvParamsReachACsvSource) {
  test::WriteAll(dir / "e.csv", "x\r\n\"t\",07/07/23,14:25:30,90,100\r\n\r\n\r\n\r\n0,1,2\r\nID,x\r\nCh\r\n0,5,6\r\n");
  const auto r = Cli({"combine", "--csv-params", "7.5,0.1,0.03,0,298.15", "-o", "@/s.xbm", "@/e.csv"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  const SpectrumRecord s = Load("s.xbm");
  EXPECT_EQ(s.Head.Measure.TwoTheta, 7.5);
  EXPECT_EQ(s.Head.Measure.EGC[1], 0.03);
  EXPECT_NEAR(s.Head.Measure.Temperature, 25, 1e-9);
  EXPECT_EQ(s.Data.Count[1], 6);
}

}  // namespace
}  // namespace vantor
