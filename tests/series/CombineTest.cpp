// Combine over record files: the sum, the run's questions and every way it stops.
#include <gtest/gtest.h>

#include <limits>

#include "series/FileCombine.h"
#include "formats/RecordFile.h"
#include "support/FakePrompt.h"
#include "support/TestFiles.h"

namespace vantor {
namespace {

using test::ReadAll;
using test::WriteAll;

SpectrumRecord MakeRecord(std::vector<std::int32_t> counts, double real, double live) {
  SpectrumRecord r;
  AssignText(r.Head.Common.SampleTitle, "title " + std::to_string(counts[0]));
  r.Head.Common.SourceFormat = 1;  // what the record file's reader sets
  r.Head.Measure.RealTime = real;
  r.Head.Measure.LiveTime = live;
  r.Head.Measure.DeadTime = 1;  // stale on purpose: the sum works it out again
  r.Data.DataNumber = static_cast<std::int16_t>(counts.size());
  std::copy(counts.begin(), counts.end(), r.Data.Count.begin());
  return r;
}

class CombineTest : public ::testing::Test {
 protected:
  void Save(const std::string& name, const SpectrumRecord& r) { WriteAll(dir / name, RecordFileBytes(r.Data, r.Head)); }
  bool Combine(std::vector<std::string> names, const std::string& output) {
    return CombineSelectedFiles(dir.path().string(), names, dir / output, context);
  }
  SpectrumRecord Load(const std::string& name) {
    SpectrumRecord r;
    EXPECT_TRUE(ReadRecordFile(dir / name, r));
    return r;
  }

  test::TempDir dir;
  test::FakePrompt prompt;
  ConvertContext context{prompt};
};

// --- sums ----------------------------------------------------------------------

TEST_F(CombineTest, TwoFiles_HeaderOfFirst_CountsAndTimesSummed_DeadTimeFromSums) {
  Save("a.xbm", MakeRecord({1, 2, 3, 4}, 100, 90));
  Save("b.xbm", MakeRecord({10, 20, 30, 40}, 100, 80));
  ASSERT_TRUE(Combine({"a.xbm", "b.xbm"}, "out.xbm"));
  const double deadTime = Load("out.xbm").Head.Measure.DeadTime;
  EXPECT_DOUBLE_EQ(deadTime, 15);
  SpectrumRecord expected = MakeRecord({1, 2, 3, 4}, 200, 170);  // a's header
  expected.Data.Count = MakeRecord({11, 22, 33, 44}, 0, 0).Data.Count;
  expected.Head.Measure.DeadTime = deadTime;
  EXPECT_TRUE(ReadAll(dir / "out.xbm") == RecordFileBytes(expected.Data, expected.Head));
  EXPECT_TRUE(prompt.messages.empty());
}

struct SingleRow {
  double real, live, deadTime;
};
class CombineSingle : public CombineTest, public ::testing::WithParamInterface<SingleRow> {};

TEST_P(CombineSingle, OnlyDeadTimeChanges) {
  const SpectrumRecord a = MakeRecord({5, -6, 7}, GetParam().real, GetParam().live);
  Save("a.xbm", a);
  ASSERT_TRUE(Combine({"a.xbm"}, "out.xbm"));
  SpectrumRecord expected = a;
  expected.Head.Measure.DeadTime = GetParam().deadTime;
  EXPECT_TRUE(ReadAll(dir / "out.xbm") == RecordFileBytes(expected.Data, expected.Head));
}

// A real time of 0 gives no dead time to work out: 0.
INSTANTIATE_TEST_SUITE_P(Rows, CombineSingle, ::testing::Values(SingleRow{50, 40, 20}, SingleRow{0, 0, 0}));

TEST_F(CombineTest, ShorterLaterFile_AddsZerosNotAnEarlierFilesCounts) {
  Save("a.Xbm", MakeRecord({1, 1, 1, 1, 1}, 1, 1));
  Save("big.XBM", MakeRecord({100, 100, 100, 100, 100, 100, 100}, 1, 1));
  Save("short.xbm", MakeRecord({7, 7}, 1, 1));
  ASSERT_TRUE(Combine({"a.Xbm", "big.XBM", "short.xbm"}, "out.xBm"));
  const SpectrumRecord out = Load("out.xBm");
  EXPECT_EQ(out.Data.DataNumber, 5);  // the first file's channels; big's sixth and seventh are dropped
  EXPECT_EQ(std::vector<std::int32_t>(out.Data.Count.begin(), out.Data.Count.begin() + 5),
            (std::vector<std::int32_t>{108, 108, 101, 101, 101}));
}

// --- stops: nothing is written ------------------------------------------------------

struct OverflowRow {
  std::int32_t first, second;
  bool overflows;
};
class CombineOverflow : public CombineTest, public ::testing::WithParamInterface<OverflowRow> {};

TEST_P(CombineOverflow, ThirdChannel_StopsOnlyBeyond32Bits) {
  const auto row = GetParam();
  Save("a.xbm", MakeRecord({1, 1, row.first, 1}, 1, 1));
  Save("b.xbm", MakeRecord({1, 1, row.second, 1}, 1, 1));
  EXPECT_EQ(Combine({"a.xbm", "b.xbm"}, "out.xbm"), !row.overflows);
  EXPECT_EQ(std::filesystem::exists(dir / "out.xbm"), !row.overflows);
  const std::vector<std::string> overflow{"Count overflow at channel 3"};
  EXPECT_EQ(prompt.messages, row.overflows ? overflow : std::vector<std::string>{});
}

constexpr auto kMax = std::numeric_limits<std::int32_t>::max();
constexpr auto kMin = std::numeric_limits<std::int32_t>::min();
INSTANTIATE_TEST_SUITE_P(Rows, CombineOverflow,
                         ::testing::Values(OverflowRow{kMax - 1, 1, false}, OverflowRow{kMax, 1, true},
                                           OverflowRow{kMin + 1, -1, false}, OverflowRow{kMin, -1, true},
                                           OverflowRow{kMax, kMin, false}));

class CombineRejectedOutput : public CombineTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(CombineRejectedOutput, RefusedBeforeAnyFileIsRead) {
  EXPECT_FALSE(Combine({"missing1.xbm", "missing2.xbm"}, GetParam()));
  EXPECT_EQ(prompt.messages, std::vector<std::string>{"Output type must be xbm, csv or npd"});
  EXPECT_TRUE(dir.Entries().empty());
}

INSTANTIATE_TEST_SUITE_P(Names, CombineRejectedOutput,
                         ::testing::Values("out.cnf", "out.CNF", "out", "out.rpt", "out.TXT", "out.gsa", "out.xbm.bak",
                                           "run.xbm/out"));

class CombineBadSource : public CombineTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(CombineBadSource, FileErrorNamesTheFile) {
  Save("a.xbm", MakeRecord({1, 2}, 1, 1));
  WriteAll(dir / "short.xbm", std::string(100, 'x'));
  Save("data.dat", MakeRecord({1}, 1, 1));  // a record file under a name no reader takes
  const std::string bad = GetParam();
  EXPECT_FALSE(Combine({"a.xbm", bad}, "out.xbm"));
  ASSERT_FALSE(prompt.messages.empty());
  EXPECT_EQ(prompt.messages.back(), "File Error: " + bad);
  EXPECT_FALSE(std::filesystem::exists(dir / "out.xbm"));
}

INSTANTIATE_TEST_SUITE_P(Names, CombineBadSource,
                         ::testing::Values("missing.xbm", "short.xbm", "data.dat", "noextension", ""));

// --- the run behind the button ----------------------------------------------------------

TEST_F(CombineTest, Run_AsksForANameInTheFolder_WritesIt_SaysDone) {
  struct SavePrompt : test::FakePrompt {
    std::string folder, proposed;
    std::optional<std::string> AskSaveName(std::string_view f, std::string_view p) override {
      folder = f;
      proposed = p;
      return saveName;
    }
  } user;
  ConvertContext userContext(user);
  Save("a.xbm", MakeRecord({1}, 1, 1));
  user.saveName = dir / "sum.xbm";
  EXPECT_TRUE(RunCombine(dir.path().string(), SplitSelection("a.xbm;a.xbm"), userContext));
  EXPECT_EQ(user.folder, dir.path().string());
  EXPECT_EQ(user.proposed, "CombineFileDefaultName");
  EXPECT_EQ(user.messages, std::vector<std::string>{"Done"});
  EXPECT_EQ(Load("sum.xbm").Data.Count[0], 2);
}

TEST_F(CombineTest, Run_EmptySelectionOrCancelledDialog_WritesNothing) {
  Save("a.xbm", MakeRecord({1}, 1, 1));
  EXPECT_FALSE(RunCombine(dir.path().string(), SplitSelection(" "), context));
  EXPECT_EQ(prompt.messages, std::vector<std::string>{"Plz Enter File Name!"});
  prompt.messages.clear();
  EXPECT_FALSE(RunCombine(dir.path().string(), {"a.xbm"}, context));  // no save name: cancelled
  EXPECT_TRUE(prompt.messages.empty());
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"a.xbm"});
}

TEST_F(CombineTest, Run_WithoutPerFileQuestions_AsksOnceUpFront) {
  Save("a.xbm", MakeRecord({1}, 1, 1));
  WriteAll(dir / "sum.xbm", "old");
  context.settings.OverWriteCheck = false;
  prompt.saveName = dir / "sum.xbm";
  prompt.answers = {false, true};
  EXPECT_FALSE(RunCombine(dir.path().string(), {"a.xbm"}, context));
  EXPECT_EQ(ReadAll(dir / "sum.xbm"), "old");
  EXPECT_TRUE(RunCombine(dir.path().string(), {"a.xbm"}, context));
  EXPECT_EQ(prompt.questions, std::vector<std::string>(2, "All file will be over|writed. OK?"));  // no Replace?
  EXPECT_EQ(prompt.messages, std::vector<std::string>{"Done"});
  EXPECT_EQ(Load("sum.xbm").Data.Count[0], 1);
}

TEST_F(CombineTest, Run_DeclinedReplace_KeepsOldFile_NoDone) {
  Save("a.xbm", MakeRecord({1}, 1, 1));
  WriteAll(dir / "sum.xbm", "old");
  prompt.saveName = dir / "sum.xbm";
  EXPECT_FALSE(RunCombine(dir.path().string(), {"a.xbm"}, context));
  EXPECT_EQ(prompt.questions, std::vector<std::string>{"File already exist. Replace?(" + dir / "sum.xbm" + ")"});
  EXPECT_TRUE(prompt.messages.empty());
  EXPECT_EQ(ReadAll(dir / "sum.xbm"), "old");
}

}  // namespace
}  // namespace vantor
