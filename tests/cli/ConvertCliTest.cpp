// SPDX-License-Identifier: GPL-3.0-or-later
// vantor-cli convert: outputs beside the source from every source kind,
// the changes, exit codes and usage errors (named messages, --force and the
// summary are the batch tests').
#include <gtest/gtest.h>

#include <cstring>

#include "bench/SpectrumGenerator.h"
#include "formats/FormatTable.h"
#include "formats/RecordFile.h"
#include "support/RunCli.h"

namespace vantor {
namespace {

using test::ReadAll;
using test::RunCli;

class ConvertCliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto r = bench::GenerateSpectrum(3, 128);
    test::WriteAll(dir / name, RecordFileBytes(r.Data, r.Head));
  }
  std::string Q(const std::string& file) const { return test::ShellQuote(dir / file); }

  test::TempDir dir;
  const std::string name = "my run \xE8\xA9\xA6\xE6\x96\x99.xbm";  // a blank and Japanese
  const std::string stem = name.substr(0, name.size() - 4);
};

TEST_F(ConvertCliTest, EveryOutputBesideTheSource) {
  std::string kinds;
  for (const auto& output : OutputFormats()) kinds += (kinds.empty() ? "" : ",") + std::string(output.name);
  auto run = RunCli("convert --to " + kinds + " " + Q(name));
  EXPECT_EQ(run.exitCode, 0) << run.err;
  // no progress when stderr is not a terminal
  EXPECT_EQ(run.out + run.err, "Convert Finished\n1 file: 1 converted, 0 failed, 0 skipped\n");
  EXPECT_EQ(dir.Entries().size(), 7u);
  EXPECT_EQ(ReadAll(dir / (stem + "_.XBM")), ReadAll(dir / name));
}

TEST_F(ConvertCliTest, ChangesReachTheOutput) {
  const auto run = RunCli("convert --to xbm --egc 0.1,0.03,0 --two-theta 7.5 --absolute " + Q(name));
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const std::string bytes = ReadAll(dir / (stem + "_.XBM"));
  double egc1, twoTheta;
  std::memcpy(&egc1, bytes.data() + 1442, 8);
  std::memcpy(&twoTheta, bytes.data() + 1458, 8);
  EXPECT_EQ(egc1, 0.03);
  EXPECT_EQ(twoTheta, 7.5);
}

TEST_F(ConvertCliTest, UsageErrors_ExitTwo_NothingWritten) {
  test::WriteAll(dir / "a.csv", "x");
  const std::string cases[] = {
      "convert --to pdf " + Q(name),
      "convert --to xbm",
      "convert --to xbm --from tiff " + Q(name),
      "convert --to xbm " + Q("noextension"),
      "convert --to xbm --egc 1,2 " + Q(name),
      "convert --to xbm --two-theta abc " + Q(name),
      "convert --to xbm --absolute " + Q(name),
      "convert --to xbm " + Q("a.csv"),  // a CSV source needs --csv-params
      "convert --bogus --to xbm " + Q(name),
      "",
  };
  for (const auto& arguments : cases) {
    const auto run = RunCli(arguments);
    EXPECT_EQ(run.exitCode, 2) << arguments << "\n" << run.err;
    EXPECT_EQ(run.out, "") << arguments;
  }
  EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"a.csv", name}));
}

}  // namespace
}  // namespace vantor
