// SPDX-License-Identifier: GPL-3.0-or-later
// Combine: the sum over record files and mixed source formats, counts that
// overflow, and the run behind the button. One sample of each kind summed,
// outputs of the wrong kind and sources it cannot read are cases in
// tests/data/cli-cases.txt.
#include <gtest/gtest.h>

#include <limits>

#include "convert/OutputFile.h"
#include "formats/FormatTable.h"
#include "formats/RecordFile.h"
#include "series/FileCombine.h"
#include "support/FakePrompt.h"
#include "support/TestFiles.h"

namespace vantor {
namespace {

using test::ReadAll;
using Strings = std::vector<std::string>;

// A record as the record reader leaves it, with a stale dead time: the sum
// works it out again from the summed times.
SpectrumRecord MakeRecord(std::vector<std::int32_t> counts, double real, double live, double deadTime = 1) {
  SpectrumRecord r;
  AssignText(r.Head.Common.SampleTitle, "first");
  r.Head.Common.SourceFormat = 1;
  r.Head.Measure.EGC = {0.26673, 0.042192, 0};
  r.Head.Measure.RealTime = real, r.Head.Measure.LiveTime = live, r.Head.Measure.DeadTime = deadTime;
  r.Data.DataNumber = static_cast<std::int16_t>(counts.size());
  std::copy(counts.begin(), counts.end(), r.Data.Count.begin());
  return r;
}

class CombineTest : public ::testing::Test {
 protected:
  // The bytes `kind`'s writer gives for the record, saved as `name`.
  std::string Save(const std::string& name, const SpectrumRecord& r, OutputKind kind = OutputKind::Xbm) {
    test::FakePrompt quiet;
    ConvertContext c(quiet);
    c.settings.OverWriteCheck = false;
    EXPECT_TRUE(WriteOutputFile(Output(kind), dir / name, r, c));
    return ReadAll(dir / name);
  }
  bool Combine(std::vector<std::string> names, const std::string& output) {
    return static_cast<bool>(CombineSelectedFiles(dir.path().string(), names, dir / output, context));
  }

  test::TempDir dir;
  test::FakePrompt prompt;
  ConvertContext context{prompt};
};

// first.xbm + second.NPD (its channels beyond the first's dropped) +
// third.Csv (shorter: adds zeros, not an earlier file's counts) into each
// output: that writer's own bytes for the sum, the first file's header.
TEST_F(CombineTest, MixedSourceFormats_IntoEachOutput_HeaderOfFirst) {
  Save("first.xbm", MakeRecord({1, 2, 3, 4, 5}, 100, 90));
  Save("second.NPD", MakeRecord({10, 20, 30, 40, 50, 60}, 50, 35), OutputKind::Npd);
  test::WriteAll(dir / "third.Csv",
                 "export\r\n\"t\",07/07/23,14:25:30,25,50\r\n\r\n\r\n\r\n0,1,2\r\n\"E\",\"x\"\r\n"
                 "Ch,Counts\r\n\"0\",100,200\r\n");
  for (const auto& [kind, name] :
       {std::pair{OutputKind::Xbm, "sum.XBM"}, {OutputKind::Csv, "sum.Csv"}, {OutputKind::Npd, "sum.npd"}}) {
    ASSERT_TRUE(Combine({"first.xbm", "second.NPD", "third.Csv"}, name));
    EXPECT_TRUE(ReadAll(dir / name) == Save("expected", MakeRecord({111, 222, 33, 44, 55}, 200, 150, 25), kind))
        << name;
  }
  ASSERT_TRUE(Combine({"first.xbm"}, "one.xbm"));
  EXPECT_TRUE(ReadAll(dir / "one.xbm") == Save("expected", MakeRecord({1, 2, 3, 4, 5}, 100, 90, 10)));
  Save("zero.xbm", MakeRecord({1}, 0, 0));
  ASSERT_TRUE(Combine({"zero.xbm"}, "out.xbm"));  // a real time of 0: a dead time of 0
  EXPECT_TRUE(ReadAll(dir / "out.xbm") == Save("expected", MakeRecord({1}, 0, 0, 0)));
  EXPECT_TRUE(prompt.messages.empty());
}

TEST_F(CombineTest, CountOverflow_NothingWritten) {
  constexpr auto kMax = std::numeric_limits<std::int32_t>::max(), kMin = std::numeric_limits<std::int32_t>::min();
  const std::tuple<std::int32_t, std::int32_t, bool> rows[] = {
      {kMax - 1, 1, false}, {kMax, 1, true}, {kMin + 1, -1, false}, {kMin, -1, true}, {kMax, kMin, false}};
  for (const auto& [first, second, overflows] : rows) {
    Save("a.xbm", MakeRecord({1, 1, first}, 1, 1));
    Save("b.xbm", MakeRecord({1, 1, second}, 1, 1));
    prompt.messages.clear();
    EXPECT_EQ(Combine({"a.xbm", "b.xbm"}, "out" + std::to_string(first) + ".xbm"), !overflows);
    EXPECT_EQ(prompt.messages, overflows ? Strings{"Count overflow at channel 3"} : Strings{});
  }
  Save("one.xbm", MakeRecord({1}, 1, 1));  // channels beyond the first file's are not added up
  Save("two.xbm", MakeRecord({1, kMax}, 1, 1));
  EXPECT_TRUE(Combine({"one.xbm", "two.xbm", "two.xbm"}, "beyond.xbm"));
  EXPECT_EQ(dir.Entries().size(), 8u);  // output kinds and sources it cannot read are CLI cases
}

bool Written(const SeriesOutcome& outcome) {
  return static_cast<bool>(outcome);
}

TEST_F(CombineTest, Run_AsksName_ReplacesOnlyAfterYes_SaysDone) {
  SpectrumRecord sum;
  const std::string folder = dir.path().string();
  Save("a.xbm", MakeRecord({1}, 1, 1));
  EXPECT_FALSE(Written(RunCombine(folder, SplitSelection(" ; "), context)));
  EXPECT_FALSE(Written(RunCombine(folder, {"a.xbm"}, context)));  // no save name: cancelled
  EXPECT_EQ(prompt.messages, Strings{"Plz Enter File Name!"});
  EXPECT_EQ(prompt.saveAsked, folder + "|CombineFileDefaultName");
  prompt.saveName = dir / "sum.xbm";
  test::WriteAll(dir / "sum.xbm", "old");
  prompt.answers = {false, true};
  EXPECT_FALSE(Written(RunCombine(folder, SplitSelection("a.xbm;a.xbm"), context)));
  EXPECT_EQ(ReadAll(dir / "sum.xbm"), "old");
  EXPECT_TRUE(Written(RunCombine(folder, SplitSelection("a.xbm;a.xbm"), context)));
  EXPECT_EQ(prompt.questions, Strings(2, "File already exist. Replace?(" + dir / "sum.xbm" + ")"));
  EXPECT_EQ(prompt.messages.back(), "Done");
  context.settings.OverWriteCheck = false;  // one question up front instead
  EXPECT_FALSE(Written(RunCombine(folder, {"a.xbm"}, context)));
  EXPECT_EQ(prompt.questions.back(), "All file will be over|writed. OK?");
  EXPECT_EQ(RecordFileRecord(ReadAll(dir / "sum.xbm"), sum).status, ReadStatus::Ok);
  EXPECT_EQ(sum.Data.Count[0], 2);
}

}  // namespace
}  // namespace vantor
