#include "convert/ConvertRun.h"

#include <gtest/gtest.h>

#include "bench/SpectrumGenerator.h"
#include "formats/RecordFile.h"
#include "support/FakePrompt.h"
#include "support/TestFiles.h"

namespace vantor {
namespace {

using test::FakePrompt;
using test::TempDir;
using Strings = std::vector<std::string>;

class ConvertRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"run01.xbm", "run02.xbm", "run03.xbm"}) MakeRecord(dir / name, 32);
    request.filesFolder = dir.path().string();
    request.directory = dir.path().string();
    request.pattern = "*.xbm";
    request.selection = "run01.xbm;run02.xbm";
    request.outputs[static_cast<int>(OutputKind::Xbm)] = true;
  }
  void MakeRecord(const std::string& path, int channels) {
    const SpectrumRecord r = bench::GenerateSpectrum(static_cast<std::uint32_t>(path.size()), channels);
    FakePrompt quiet;
    ConvertContext c(quiet);
    ASSERT_TRUE(WriteRecordFile(path, r.Data, r.Head, c));
  }

  FakePrompt prompt;
  ConvertContext context{prompt};
  TempDir dir;
  ConvertRequest request;
};

TEST_F(ConvertRunTest, ConvertsEverySelectedFileAndCounts) {
  request.selection = "run01.xbm,run02.xbm;run03.xbm";
  const RunResult result = RunConvert(request, context);
  EXPECT_TRUE(result.completed);
  EXPECT_EQ(result.written, 3);
  EXPECT_EQ(prompt.statuses, (Strings{"", "1/3", "2/3", "3/3", "Finished"}));
  EXPECT_EQ(prompt.messages, Strings{"Convert Finished"});
  EXPECT_TRUE(std::filesystem::exists(dir / "run03_.XBM"));
}

TEST_F(ConvertRunTest, SelectionWithoutDotTakesThePatternsExtension) {
  request.selection = "run02";
  EXPECT_EQ(RunConvert(request, context).written, 1);
  EXPECT_TRUE(std::filesystem::exists(dir / "run02_.XBM"));
}

TEST_F(ConvertRunTest, ChecksComeInOrderAndStopTheRun) {
  struct Case {
    std::function<void(ConvertRequest&)> change;
    const char* message;
  };
  const std::vector<Case> cases = {
      {[](ConvertRequest& r) { r.changeEGC = true, r.egc = {1.0, 2.0, std::nullopt}, r.selection = ""; },
       "EGC Paramter Error"},
      {[](ConvertRequest& r) { r.change2Theta = true, r.selection = ""; }, "2Theta Value Error"},
      {[](ConvertRequest& r) { r.selection = "  ", r.outputs = {}; }, "Plz Enter File Name!"},
      {[](ConvertRequest& r) { r.useListFile = true, r.listName = " "; }, "Plz Enter File Name!"},
      {[](ConvertRequest& r) { r.outputs = {}; }, "Plz Check Create File Type!"},
      {[](ConvertRequest& r) { r.selection = std::string(10000, ';'); },
       "Too many Files! (Must be set less than 9999)|Convert Error"},
  };
  for (const auto& c : cases) {
    FakePrompt p;
    ConvertContext ctx(p);
    ConvertRequest r = request;
    c.change(r);
    EXPECT_FALSE(RunConvert(r, ctx).completed) << c.message;
    std::string said;
    for (const auto& m : p.messages) said += (said.empty() ? "" : "|") + m;
    EXPECT_EQ(said, c.message);
  }
  EXPECT_FALSE(std::filesystem::exists(dir / "run01_.XBM"));
}

TEST_F(ConvertRunTest, ChangesAreStoredForLaterRuns) {
  request.changeEGC = true;
  request.egc = {0.1, 0.2, 0.3};
  request.change2Theta = true;
  request.twoTheta = 7.5;
  request.twoThetaMode = 1;
  request.outputs = {};
  RunConvert(request, context);  // stops at the output check, settings kept
  EXPECT_EQ(context.settings.EnteredEGC, (std::array<double, 3>{0.1, 0.2, 0.3}));
  EXPECT_EQ(context.settings.TwoThetaValue, 7.5);
  EXPECT_EQ(context.settings.TwoThetaMode, 1);
}

TEST_F(ConvertRunTest, OneQuestionWhenPerFileQuestionsAreOff) {
  context.settings.OverWriteCheck = false;
  prompt.answers = {false};
  EXPECT_FALSE(RunConvert(request, context).completed);
  EXPECT_EQ(prompt.questions, Strings{"All file will be over|writed. OK?"});
  EXPECT_TRUE(prompt.messages.empty());

  prompt.answers = {true};
  EXPECT_EQ(RunConvert(request, context).written, 2);
  RunConvert(request, context);  // existing outputs: no per-file question either
  EXPECT_EQ(prompt.questions.size(), 3u);
}

TEST_F(ConvertRunTest, FailedFilesDoNotStopTheRun) {
  request.selection = "missing.xbm;run02.xbm";
  request.outputs[static_cast<int>(OutputKind::Txt)] = true;
  const RunResult result = RunConvert(request, context);
  EXPECT_TRUE(result.completed);
  EXPECT_EQ(result.requested, 4);
  EXPECT_EQ(result.written, 2);
  // The source is read once for all its outputs, so it is reported once.
  EXPECT_EQ(prompt.messages, (Strings{"Fine NotFound", "Convert Finished"}));
  EXPECT_TRUE(std::filesystem::exists(dir / "run02.TXT"));
}

TEST_F(ConvertRunTest, CsvSourcesAskForParametersOnceAndCancelStops) {
  const std::vector<SourceFile> files = {{dir / "a.csv", SourceKind::Csv}, {dir / "b.csv", SourceKind::Csv}};
  const RunResult cancelled = ConvertFiles(files, request.outputs, context);
  EXPECT_FALSE(cancelled.completed);
  EXPECT_EQ(prompt.csvParameterRequests, 1);
  EXPECT_TRUE(prompt.messages.empty());
}

// ---- list files

class ListFileTest : public ConvertRunTest {
 protected:
  void SetUp() override {
    ConvertRunTest::SetUp();
    for (const char* name : {"series_0002.xbm", "series_0001.xbm", "series_00001.xbm", "other_0001.xbm"})
      MakeRecord(dir / name, 8);
    test::WriteAll(dir / "series.xli", "title line\r\n12\r\n");
    request.useListFile = true;
    request.listName = "series.xli ";
    request.selection = "";
  }
};

TEST_F(ListFileTest, ConvertsTheSeriesInNameOrder) {
  request.outputs[static_cast<int>(OutputKind::Xbm)] = true;
  const RunResult result = RunConvert(request, context);
  EXPECT_TRUE(result.completed);
  EXPECT_EQ(result.written, 2);
  EXPECT_EQ(prompt.statuses, (Strings{"", "1/2", "2/2", "Finished"}));
  EXPECT_TRUE(prompt.messages.empty());  // the list-file run has no closing message
  EXPECT_TRUE(std::filesystem::exists(dir / "series_0001_.XBM"));
  EXPECT_TRUE(std::filesystem::exists(dir / "series_0002_.XBM"));
  EXPECT_FALSE(std::filesystem::exists(dir / "series_00001_.XBM"));
}

TEST_F(ListFileTest, BadListFilesAreReported) {
  struct Case {
    const char* content;  // nullptr: no list file
    const char* message;
  };
  for (const Case& c : {Case{nullptr, "xli File Error"}, Case{"only one item", "xli File Error"},
                        Case{"title\r\nword\r\n", "xli File Error"}, Case{"\"a, quoted\", 3", ""},
                        Case{"title,1e3", ""}}) {
    std::filesystem::remove(dir / "series.xli");
    if (c.content) test::WriteAll(dir / "series.xli", c.content);
    FakePrompt p;
    ConvertContext ctx(p);
    RunListFile(dir / "series.xli", request.outputs, ctx);
    EXPECT_EQ(p.messages.empty() ? "" : p.messages[0], c.message) << (c.content ? c.content : "(none)");
  }
}

TEST_F(ListFileTest, NoSeriesFileIsSaid) {
  test::WriteAll(dir / "empty.xli", "a,1");
  RunListFile(dir / "empty.xli", request.outputs, context);
  EXPECT_EQ(prompt.messages, Strings{"No series file found"});
}

}  // namespace
}  // namespace vantor
