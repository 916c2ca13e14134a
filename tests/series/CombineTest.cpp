// Combine: sums of record files, the run's checks and every way it stops.
#include <gtest/gtest.h>

#include <limits>

#include "convert/TextRoutines.h"
#include "series/FileCombine.h"
#include "spectrum/RecordFile.h"
#include "support/FakePrompt.h"
#include "support/TestFiles.h"

namespace vantor {
namespace {

using test::FakePrompt;
using test::ReadAll;
using test::TempDir;
using test::WriteAll;

// A save dialog that also remembers where it was opened and what it proposed.
class SavePrompt : public FakePrompt {
 public:
  int saveRequests = 0;
  std::string folder, proposed;
  std::optional<std::string> AskSaveName(std::string_view f, std::string_view p) override {
    ++saveRequests;
    folder = f;
    proposed = p;
    return saveName;
  }
};

SpectrumRecord MakeRecord(std::string_view title, std::vector<std::int32_t> counts, double real, double live) {
  SpectrumRecord r;
  AssignText(r.Head.Common.SampleTitle, title);
  r.Head.Common.SourceFormat = 1;  // what the record file's reader sets
  r.Head.Measure.EGC = {0.26673, 0.042192, 0};
  r.Head.Measure.TwoTheta = 5;
  r.Head.Measure.RealTime = real;
  r.Head.Measure.LiveTime = live;
  r.Head.Measure.DeadTime = 1;  // stale on purpose: the sum recomputes it
  r.Data.DataNumber = static_cast<std::int16_t>(counts.size());
  std::copy(counts.begin(), counts.end(), r.Data.Count.begin());
  return r;
}

void Save(const std::string& path, const SpectrumRecord& r) {
  WriteAll(path, RecordFileBytes(r.Data, r.Head));
}

class CombineTest : public ::testing::Test {
 protected:
  TempDir dir;
  SavePrompt prompt;
  ConvertContext context{prompt};

  bool Combine(std::vector<std::string> names, const std::string& output) {
    return CombineSelectedFiles(dir.path().string(), names, dir / output, context);
  }
};

// --- sums ------------------------------------------------------------------

TEST_F(CombineTest, TwoRecordFiles_HeaderOfFirstCountsAndTimesSummed) {
  Save(dir / "a.xbm", MakeRecord("first", {1, 2, 3, 4}, 100, 90));
  Save(dir / "b.xbm", MakeRecord("second", {10, 20, 30, 40}, 100, 80));
  ASSERT_TRUE(Combine({"a.xbm", "b.xbm"}, "out.xbm"));

  SpectrumRecord out;
  ASSERT_TRUE(ReadRecordFile(dir / "out.xbm", out.Data, out.Head, context));
  EXPECT_DOUBLE_EQ(out.Head.Measure.DeadTime, 15);
  SpectrumRecord expected = MakeRecord("first", {11, 22, 33, 44}, 200, 170);
  expected.Head.Measure.DeadTime = out.Head.Measure.DeadTime;
  EXPECT_TRUE(ReadAll(dir / "out.xbm") == RecordFileBytes(expected.Data, expected.Head));
  EXPECT_TRUE(prompt.messages.empty());
}

TEST_F(CombineTest, SingleFile_OnlyDeadTimeRecomputed) {
  const SpectrumRecord a = MakeRecord("only", {5, -6, 7}, 50, 40);
  Save(dir / "a.xbm", a);
  ASSERT_TRUE(Combine({"a.xbm"}, "out.xbm"));
  SpectrumRecord out;
  ASSERT_TRUE(ReadRecordFile(dir / "out.xbm", out.Data, out.Head, context));
  EXPECT_DOUBLE_EQ(out.Head.Measure.DeadTime, 20);
  SpectrumRecord expected = a;
  expected.Head.Measure.DeadTime = out.Head.Measure.DeadTime;
  EXPECT_TRUE(ReadAll(dir / "out.xbm") == RecordFileBytes(expected.Data, expected.Head));
}

TEST_F(CombineTest, ZeroRealTime_GivesDeadTimeZero) {
  Save(dir / "a.xbm", MakeRecord("a", {1}, 0, 0));
  Save(dir / "b.xbm", MakeRecord("b", {1}, 0, 0));
  ASSERT_TRUE(Combine({"a.xbm", "b.xbm"}, "out.xbm"));
  SpectrumRecord out;
  ASSERT_TRUE(ReadRecordFile(dir / "out.xbm", out.Data, out.Head, context));
  EXPECT_EQ(out.Head.Measure.DeadTime, 0);
}

TEST_F(CombineTest, ShorterLaterFile_AddsZerosNotAnEarlierFilesCounts) {
  Save(dir / "a.xbm", MakeRecord("a", {1, 1, 1, 1, 1}, 1, 1));
  Save(dir / "big.xbm", MakeRecord("big", {100, 100, 100, 100, 100, 100, 100}, 1, 1));
  Save(dir / "short.xbm", MakeRecord("short", {7, 7}, 1, 1));
  ASSERT_TRUE(Combine({"a.xbm", "big.xbm", "short.xbm"}, "out.xbm"));
  SpectrumRecord out;
  ASSERT_TRUE(ReadRecordFile(dir / "out.xbm", out.Data, out.Head, context));
  // The first file's five channels; big's sixth and seventh are dropped.
  EXPECT_EQ(out.Data.DataNumber, 5);
  const std::vector<std::int32_t> counts(out.Data.Count.begin(), out.Data.Count.begin() + 6);
  EXPECT_EQ(counts, (std::vector<std::int32_t>{108, 108, 101, 101, 101, 0}));
}

TEST_F(CombineTest, MixedCaseExtensions_AreReadAndWritten) {
  Save(dir / "a.Xbm", MakeRecord("a", {1, 2}, 10, 9));
  Save(dir / "b.XBM", MakeRecord("b", {3, 4}, 10, 9));
  ASSERT_TRUE(Combine({"a.Xbm", "b.XBM"}, "out.xBm"));
  SpectrumRecord out;
  ASSERT_TRUE(ReadRecordFile(dir / "out.xBm", out.Data, out.Head, context));
  EXPECT_EQ(out.Data.Count[0], 4);
  EXPECT_EQ(out.Data.Count[1], 6);
}

// --- overflow ---------------------------------------------------------------

struct OverflowRow {
  std::int32_t first, second;
  bool overflows;
};
class CombineOverflowTest : public CombineTest, public ::testing::WithParamInterface<OverflowRow> {};

TEST_P(CombineOverflowTest, ThirdChannelSum_StopsOnlyBeyond32Bits) {
  const auto row = GetParam();
  Save(dir / "a.xbm", MakeRecord("a", {1, 1, row.first, 1}, 1, 1));
  Save(dir / "b.xbm", MakeRecord("b", {1, 1, row.second, 1}, 1, 1));
  const bool written = Combine({"a.xbm", "b.xbm"}, "out.xbm");
  EXPECT_EQ(written, !row.overflows);
  EXPECT_EQ(std::filesystem::exists(dir / "out.xbm"), !row.overflows);
  const std::vector<std::string> expected{"Count overflow at channel 3"};
  EXPECT_EQ(prompt.messages, row.overflows ? expected : std::vector<std::string>{});
}

constexpr auto kMax = std::numeric_limits<std::int32_t>::max();
constexpr auto kMin = std::numeric_limits<std::int32_t>::min();
INSTANTIATE_TEST_SUITE_P(Rows, CombineOverflowTest,
                         ::testing::Values(OverflowRow{kMax - 1, 1, false}, OverflowRow{kMax, 1, true},
                                           OverflowRow{kMin + 1, -1, false}, OverflowRow{kMin, -1, true},
                                           OverflowRow{kMax, kMin, false}));

// --- output names -------------------------------------------------------------

class CombineRejectedOutputTest : public CombineTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(CombineRejectedOutputTest, NothingWrittenAndNoFileRead) {
  // The sources do not even exist: the output name is refused first.
  EXPECT_FALSE(Combine({"missing1.xbm", "missing2.xbm"}, GetParam()));
  EXPECT_EQ(prompt.messages, std::vector<std::string>{"Output type must be xbm, csv or npd"});
  EXPECT_TRUE(dir.Entries().empty());
}

INSTANTIATE_TEST_SUITE_P(Names, CombineRejectedOutputTest,
                         ::testing::Values("out.cnf", "out.CNF", "out", "out.rpt", "out.TXT", "out.gsa", "out.xbm.bak",
                                           "run.xbm/out"));

// --- files that stop the run ------------------------------------------------------

class CombineBadSourceTest : public CombineTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(CombineBadSourceTest, FileErrorNamesTheFileAndNothingIsWritten) {
  Save(dir / "a.xbm", MakeRecord("a", {1, 2}, 1, 1));
  WriteAll(dir / "short.xbm", std::string(100, 'x'));
  Save(dir / "data.dat", MakeRecord("d", {1}, 1, 1));  // a record file under a name no reader takes
  const std::string bad = GetParam();
  EXPECT_FALSE(Combine({"a.xbm", bad}, "out.xbm"));
  ASSERT_FALSE(prompt.messages.empty());
  EXPECT_EQ(prompt.messages.back(), "File Error: " + bad);
  EXPECT_FALSE(std::filesystem::exists(dir / "out.xbm"));
}

INSTANTIATE_TEST_SUITE_P(Names, CombineBadSourceTest,
                         ::testing::Values("missing.xbm", "short.xbm", "data.dat", "noextension", ""));

TEST_F(CombineTest, UnreadableFirstFile_StopsBeforeTheRest) {
  Save(dir / "b.xbm", MakeRecord("b", {1}, 1, 1));
  EXPECT_FALSE(Combine({"gone.xbm", "b.xbm"}, "out.xbm"));
  EXPECT_EQ(prompt.messages.back(), "File Error: gone.xbm");
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"b.xbm"});
}

// --- the run behind the button ----------------------------------------------------

TEST_F(CombineTest, Run_WritesChosenFileAndSaysDone) {
  Save(dir / "a.xbm", MakeRecord("a", {1}, 1, 1));
  prompt.saveName = dir / "sum.xbm";
  EXPECT_TRUE(RunCombine(dir.path().string(), SplitSelection("a.xbm;a.xbm"), context));
  EXPECT_EQ(prompt.folder, dir.path().string());
  EXPECT_EQ(prompt.proposed, "CombineFileDefaultName");
  EXPECT_EQ(prompt.messages, std::vector<std::string>{"Done"});
  SpectrumRecord out;
  ASSERT_TRUE(ReadRecordFile(dir / "sum.xbm", out.Data, out.Head, context));
  EXPECT_EQ(out.Data.Count[0], 2);
}

TEST_F(CombineTest, Run_EmptySelection_AsksForNames) {
  for (const char* selection : {"", "  "}) {
    prompt.messages.clear();
    EXPECT_FALSE(RunCombine(dir.path().string(), SplitSelection(selection), context));
    EXPECT_EQ(prompt.messages, std::vector<std::string>{"Plz Enter File Name!"});
  }
  EXPECT_EQ(prompt.saveRequests, 0);
}

TEST_F(CombineTest, Run_CancelledDialog_EndsQuietly) {
  Save(dir / "a.xbm", MakeRecord("a", {1}, 1, 1));
  prompt.saveName.reset();
  EXPECT_FALSE(RunCombine(dir.path().string(), {"a.xbm"}, context));
  EXPECT_EQ(prompt.saveRequests, 1);
  EXPECT_TRUE(prompt.messages.empty());
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"a.xbm"});
}

TEST_F(CombineTest, Run_WithoutPerFileQuestions_AsksOnceUpFront) {
  Save(dir / "a.xbm", MakeRecord("a", {1}, 1, 1));
  const std::string old = "old content";
  WriteAll(dir / "sum.xbm", old);
  context.settings.OverWriteCheck = false;
  prompt.saveName = dir / "sum.xbm";

  prompt.answers = {false};
  EXPECT_FALSE(RunCombine(dir.path().string(), {"a.xbm"}, context));
  EXPECT_EQ(prompt.questions, std::vector<std::string>{"All file will be over|writed. OK?"});
  EXPECT_EQ(prompt.saveRequests, 0);
  EXPECT_EQ(ReadAll(dir / "sum.xbm"), old);

  prompt.answers = {true};
  EXPECT_TRUE(RunCombine(dir.path().string(), {"a.xbm"}, context));
  EXPECT_EQ(prompt.questions.size(), 2u);  // and no Replace? question
  EXPECT_EQ(prompt.messages, std::vector<std::string>{"Done"});
  EXPECT_NE(ReadAll(dir / "sum.xbm"), old);
}

TEST_F(CombineTest, Run_DeclinedReplace_KeepsOldFileAndNoDone) {
  Save(dir / "a.xbm", MakeRecord("a", {1}, 1, 1));
  const std::string old = "old content";
  WriteAll(dir / "sum.xbm", old);
  prompt.saveName = dir / "sum.xbm";
  prompt.answers = {false};
  EXPECT_FALSE(RunCombine(dir.path().string(), {"a.xbm"}, context));
  EXPECT_EQ(prompt.questions, std::vector<std::string>{"File already exist. Replace?(" + dir / "sum.xbm" + ")"});
  EXPECT_TRUE(prompt.messages.empty());
  EXPECT_EQ(ReadAll(dir / "sum.xbm"), old);
}

TEST(SeriesSelection, SplitAndJoin) {
  EXPECT_EQ(SplitSelection("a.xbm;b.xbm"), (std::vector<std::string>{"a.xbm", "b.xbm"}));
  EXPECT_EQ(SplitSelection(""), std::vector<std::string>{""});
  EXPECT_EQ(SplitSelection("a;;b;"), (std::vector<std::string>{"a", "", "b", ""}));
  EXPECT_EQ(SelectedPath("", "x/a.xbm"), "x/a.xbm");
  EXPECT_EQ(SelectedPath("/d/", "a.xbm"), "/d/a.xbm");
  EXPECT_EQ(SelectedPath("D:\\s\\", "a.xbm"), "D:\\s\\a.xbm");
  EXPECT_EQ(SelectedPath("/d", "a.xbm"), std::string("/d") + kFolderSeparator + "a.xbm");
}

}  // namespace
}  // namespace vantor
