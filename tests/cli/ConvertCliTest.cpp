#include <gtest/gtest.h>

#include <cstring>

#include "bench/SpectrumGenerator.h"
#include "base/FileAccess.h"
#include "formats/RecordFile.h"
#include "support/RunCli.h"

namespace vantor {
namespace {

using test::ReadAll;
using test::RunCli;
using test::ShellQuote;

class ConvertCliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"run01.xbm", "run02.xbm"}) {
      const auto r = bench::GenerateSpectrum(3, 128);
      ASSERT_TRUE(ReplaceFileAtomically(dir / name, RecordFileBytes(r.Data, r.Head)));
    }
  }
  std::string Q(const std::string& name) const { return ShellQuote(dir / name); }

  test::TempDir dir;
};

TEST_F(ConvertCliTest, WritesTheRecordFileBesideTheSource) {
  const auto run = RunCli("convert --to XBM " + Q("run01.xbm") + " " + Q("run02.xbm"));
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "Convert Finished\n2 files: 2 converted, 0 failed, 0 skipped\n");  // no progress when stderr is not a terminal
  EXPECT_EQ(ReadAll(dir / "run01_.XBM"), ReadAll(dir / "run01.xbm"));
  EXPECT_TRUE(std::filesystem::exists(dir / "run02_.XBM"));
}

TEST_F(ConvertCliTest, ExistingOutputIsKeptWithoutForce) {
  test::WriteAll(dir / "run01_.XBM", "precious");
  auto run = RunCli("convert --to xbm " + Q("run01.xbm"));
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.err, "File already exist. Replace?(" + (dir / "run01_.XBM") +
                         ")\nConvert Finished\n1 file: 0 converted, 0 failed, 1 skipped\n");
  EXPECT_EQ(ReadAll(dir / "run01_.XBM"), "precious");

  run = RunCli("convert --force --to xbm " + Q("run01.xbm"));
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(ReadAll(dir / "run01_.XBM"), ReadAll(dir / "run01.xbm"));
}

TEST_F(ConvertCliTest, ChangesReachTheOutput) {
  const auto run = RunCli("convert --to xbm --egc 0.1,0.03,0 --two-theta 7.5 --absolute " + Q("run01.xbm"));
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const std::string bytes = ReadAll(dir / "run01_.XBM");
  double egc1, twoTheta;
  std::memcpy(&egc1, bytes.data() + 1442, 8);
  std::memcpy(&twoTheta, bytes.data() + 1458, 8);
  EXPECT_EQ(egc1, 0.03);
  EXPECT_EQ(twoTheta, 7.5);
}

TEST_F(ConvertCliTest, FailuresAndUsageErrors) {
  struct Case {
    std::string arguments;
    int exitCode;
    std::string err;  // empty: only the exit code is checked
  };
  const std::vector<Case> cases = {
      {"convert --to xbm " + Q("missing.xbm"), 1,
       dir / "missing.xbm" + ": Fine NotFound (No such file or directory)\nConvert Finished\n1 file: 0 converted, 1 failed, 0 skipped\n"},
      {"convert --to xbm " + Q("missing.xbm") + " " + Q("run01.xbm"), 1,
       dir / "missing.xbm" + ": Fine NotFound (No such file or directory)\nConvert Finished\n2 files: 1 converted, 1 failed, 0 skipped\n"},
      {"convert --to pdf " + Q("run01.xbm"), 2, ""},
      {"convert --to xbm", 2, ""},
      {"convert --to xbm --from tiff " + Q("run01.xbm"), 2, ""},
      {"convert --to xbm " + Q("noextension"), 2, ""},
      {"convert --to xbm --egc 1,2 " + Q("run01.xbm"), 2, ""},
      {"convert --to xbm --two-theta abc " + Q("run01.xbm"), 2, ""},
      {"convert --to xbm --absolute " + Q("run01.xbm"), 2, ""},
      {"convert --bogus --to xbm " + Q("run01.xbm"), 2, ""},
      {"", 2, ""},
  };
  for (const auto& c : cases) {
    const auto run = RunCli(c.arguments);
    EXPECT_EQ(run.exitCode, c.exitCode) << c.arguments << "\n" << run.err;
    if (!c.err.empty()) {
      EXPECT_EQ(run.err, c.err) << c.arguments;
    }
    EXPECT_EQ(run.out, "") << c.arguments;
  }
  EXPECT_FALSE(std::filesystem::exists(dir / "missing_.XBM"));
}

}  // namespace
}  // namespace vantor
