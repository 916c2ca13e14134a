// Combine: the sum over record files and mixed source formats, every way it
// stops without writing, and the run behind the button.
#include <gtest/gtest.h>

#include <limits>

#include "formats/FormatTable.h"
#include "formats/RecordFile.h"
#include "series/FileCombine.h"
#include "support/FakePrompt.h"
#include "support/TestFiles.h"

namespace vantor {
namespace {

using test::ReadAll;
using Strings = std::vector<std::string>;

SpectrumRecord MakeRecord(std::vector<std::int32_t> counts, double real, double live) {
  SpectrumRecord r;
  AssignText(r.Head.Common.SampleTitle, "title " + std::to_string(counts[0]));
  r.Head.Common.SourceFormat = 1;  // what the record file's reader sets
  r.Head.Measure.EGC = {0.26673, 0.042192, 0};
  r.Head.Measure.RealTime = real;
  r.Head.Measure.LiveTime = live;
  r.Head.Measure.DeadTime = 1;  // stale on purpose: the sum works it out again
  r.Data.DataNumber = static_cast<std::int16_t>(counts.size());
  std::copy(counts.begin(), counts.end(), r.Data.Count.begin());
  return r;
}

class CombineTest : public ::testing::Test {
 protected:
  void Save(const std::string& name, const SpectrumRecord& r, OutputKind kind = OutputKind::Xbm) {
    test::FakePrompt quiet;
    ConvertContext c(quiet);
    c.settings.OverWriteCheck = false;
    ASSERT_TRUE(Output(kind).write(dir / name, r.Data, r.Head, c));
  }
  bool Combine(std::vector<std::string> names, const std::string& output) {
    return CombineSelectedFiles(dir.path().string(), names, dir / output, context);
  }
  // The bytes `kind`'s writer gives for the record, to compare a sum with.
  std::string Expected(const SpectrumRecord& r, OutputKind kind = OutputKind::Xbm) {
    Save("expected", r, kind);
    return ReadAll(dir / "expected");
  }

  test::TempDir dir;
  test::FakePrompt prompt;
  ConvertContext context{prompt};
};

TEST_F(CombineTest, HeaderOfFirst_CountsAndTimesSummed_DeadTimeFromSums) {
  Save("a.xbm", MakeRecord({1, 2, 3, 4, 5}, 100, 90));
  Save("b.XBM", MakeRecord({10, 20, 30, 40, 50, 60, 70}, 100, 80));  // channels beyond a's are dropped
  Save("c.xbm", MakeRecord({100, 100}, 0, 0));                        // a shorter file adds zeros
  ASSERT_TRUE(Combine({"a.xbm", "b.XBM", "c.xbm"}, "out.xBm"));
  SpectrumRecord expected = MakeRecord({111, 122, 33, 44, 55}, 200, 170);
  AssignText(expected.Head.Common.SampleTitle, "title 1");
  expected.Head.Measure.DeadTime = 15;
  EXPECT_TRUE(ReadAll(dir / "out.xBm") == Expected(expected));
  ASSERT_TRUE(Combine({"c.xbm"}, "zero.xbm"));  // a real time of 0: a dead time of 0
  expected = MakeRecord({100, 100}, 0, 0);
  expected.Head.Measure.DeadTime = 0;
  EXPECT_TRUE(ReadAll(dir / "zero.xbm") == Expected(expected));
  EXPECT_TRUE(prompt.messages.empty());
}

// first.xbm + second.NPD + third.Csv (an analyser export with live time 25,
// real time 50) into each output: that writer's own bytes for the sum.
TEST_F(CombineTest, MixedSourceFormats_IntoEachOutput) {
  Save("first.xbm", MakeRecord({1, 2, 3, 4, 5}, 100, 100));
  Save("second.NPD", MakeRecord({10, 20, 30, 40, 50}, 50, 25), OutputKind::Npd);
  test::WriteAll(dir / "third.Csv", "export\r\n\"t\",07/07/23,14:25:30,25,50\r\n\r\n\r\n\r\n0,1,3\r\n\"E\",\"x\"\r\n"
                                    "Ch,Counts\r\n\"0\",100,200,300\r\n");
  for (const auto& [kind, name] : {std::pair{OutputKind::Xbm, "sum.XBM"}, {OutputKind::Csv, "sum.Csv"},
                                   {OutputKind::Npd, "sum.npd"}}) {
    ASSERT_TRUE(Combine({"first.xbm", "second.NPD", "third.Csv"}, name));
    SpectrumRecord expected = MakeRecord({111, 222, 333, 44, 55}, 200, 150);
    AssignText(expected.Head.Common.SampleTitle, "title 1");
    expected.Head.Measure.DeadTime = 25;
    EXPECT_TRUE(ReadAll(dir / name) == Expected(expected, kind)) << name;
  }
  EXPECT_TRUE(prompt.messages.empty());
}

TEST_F(CombineTest, OneSampleOfEachFormat_SumsWhatEachReaderReads) {
  const Strings names{"run0001.xbm", "analyser.cnf", "export.csv", "profile.npd"};
  ASSERT_TRUE(CombineSelectedFiles(VANTOR_SAMPLES_DIR, names, dir / "sum.xbm", context));
  SpectrumRecord sum;
  ASSERT_TRUE(ReadRecordFile(dir / "sum.xbm", sum));
  std::int64_t expected = 0, got = 0;
  for (const auto& name : names) {
    SpectrumRecord r;
    ASSERT_TRUE(ReadSourceByExtension(std::string(VANTOR_SAMPLES_DIR) + "/" + name, r, context));
    for (int i = 0; i < sum.Data.DataNumber; ++i) expected += r.Data.Count[i];
  }
  for (int i = 0; i < sum.Data.DataNumber; ++i) got += sum.Data.Count[i];
  EXPECT_GT(got, 0);
  EXPECT_EQ(got, expected);
}

TEST_F(CombineTest, Overflow_StopsOnlyBeyond32Bits) {
  constexpr auto kMax = std::numeric_limits<std::int32_t>::max(), kMin = std::numeric_limits<std::int32_t>::min();
  const std::tuple<std::int32_t, std::int32_t, bool> rows[] = {
      {kMax - 1, 1, false}, {kMax, 1, true}, {kMin + 1, -1, false}, {kMin, -1, true}, {kMax, kMin, false}};
  for (const auto& [first, second, overflows] : rows) {
    Save("a.xbm", MakeRecord({1, 1, first}, 1, 1));
    Save("b.xbm", MakeRecord({1, 1, second}, 1, 1));
    prompt.messages.clear();
    std::filesystem::remove(dir / "out.xbm");
    EXPECT_EQ(Combine({"a.xbm", "b.xbm"}, "out.xbm"), !overflows);
    EXPECT_EQ(std::filesystem::exists(dir / "out.xbm"), !overflows);
    EXPECT_EQ(prompt.messages, overflows ? Strings{"Count overflow at channel 3"} : Strings{});
  }
}

TEST_F(CombineTest, BadOutputNameOrSource_NothingWritten) {
  for (const char* output : {"out.cnf", "out", "out.TXT", "out.gsa", "out.xbm.bak", "run.xbm/out"}) {
    prompt.messages.clear();
    EXPECT_FALSE(Combine({"missing1.xbm"}, output));
    EXPECT_EQ(prompt.messages, Strings{"Output type must be xbm, csv or npd"}) << output;
  }
  Save("a.xbm", MakeRecord({1, 2}, 1, 1));
  test::WriteAll(dir / "short.xbm", std::string(100, 'x'));
  Save("data.dat", MakeRecord({1}, 1, 1));  // a record file under a name no reader takes
  for (const char* bad : {"missing.xbm", "short.xbm", "data.dat", "noextension", ""}) {
    EXPECT_FALSE(Combine({"a.xbm", bad}, "out.xbm"));
    EXPECT_EQ(prompt.messages.back(), "File Error: " + std::string(bad));
  }
  EXPECT_EQ(dir.Entries(), (Strings{"a.xbm", "data.dat", "short.xbm"}));
}

// ---- the run behind the button

TEST_F(CombineTest, Run_AsksName_ReplacesOnlyAfterYes_SaysDone) {
  struct SavePrompt : test::FakePrompt {
    std::string folder, proposed;
    std::optional<std::string> AskSaveName(std::string_view f, std::string_view p) override {
      folder = f, proposed = p;
      return saveName;
    }
  } user;
  ConvertContext userContext(user);
  Save("a.xbm", MakeRecord({1}, 1, 1));
  EXPECT_FALSE(RunCombine(dir.path().string(), SplitSelection(" ; "), userContext));
  EXPECT_FALSE(RunCombine(dir.path().string(), {"a.xbm"}, userContext));  // no save name: cancelled
  EXPECT_EQ(user.messages, Strings{"Plz Enter File Name!"});
  EXPECT_EQ(user.folder, dir.path().string());
  EXPECT_EQ(user.proposed, "CombineFileDefaultName");
  user.saveName = dir / "sum.xbm";
  test::WriteAll(dir / "sum.xbm", "old");
  user.answers = {false, true};
  EXPECT_FALSE(RunCombine(dir.path().string(), SplitSelection("a.xbm;a.xbm"), userContext));
  EXPECT_EQ(ReadAll(dir / "sum.xbm"), "old");
  EXPECT_TRUE(RunCombine(dir.path().string(), SplitSelection("a.xbm;a.xbm"), userContext));
  EXPECT_EQ(user.questions, Strings(2, "File already exist. Replace?(" + dir / "sum.xbm" + ")"));
  EXPECT_EQ(user.messages.back(), "Done");
  userContext.settings.OverWriteCheck = false;  // one question up front instead
  user.answers = {false};
  EXPECT_FALSE(RunCombine(dir.path().string(), {"a.xbm"}, userContext));
  EXPECT_EQ(user.questions.back(), "All file will be over|writed. OK?");
  SpectrumRecord sum;
  ASSERT_TRUE(ReadRecordFile(dir / "sum.xbm", sum));
  EXPECT_EQ(sum.Data.Count[0], 2);
}

}  // namespace
}  // namespace vantor
