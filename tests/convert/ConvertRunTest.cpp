// SPDX-License-Identifier: GPL-3.0-or-later
// The Convert run and the list-file run: the checks in order, the selection
// into files, the up-front question, failures that do not stop the run, and
// list files (their series in name order, at most 10 001 files).
#include <gtest/gtest.h>

#include <functional>

#include "bench/SpectrumGenerator.h"
#include "convert/ConvertRun.h"
#include "formats/RecordFile.h"
#include "support/DataRows.h"
#include "support/FakePrompt.h"
#include "support/TestFiles.h"

namespace vantor {
namespace {

namespace fs = std::filesystem;
using test::FakePrompt;
using Strings = std::vector<std::string>;

void MakeRecord(const std::string& path) {
  const SpectrumRecord r = bench::GenerateSpectrum(static_cast<std::uint32_t>(path.size()), 32);
  test::WriteAll(path, RecordFileBytes(r.Data, r.Head));
}

class ConvertRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"run01.xbm", "run02.xbm", "run03.xbm"}) MakeRecord(dir / name);
    request.filesFolder = request.directory = dir.path().string();
    request.pattern = "*.xbm";
    request.selection = "run01.xbm,run02.xbm;run03.xbm";
    request.outputs[static_cast<int>(OutputKind::Xbm)] = true;
  }
  FakePrompt prompt;
  ConvertContext context{prompt};
  test::TempDir dir;
  ConvertRequest request;
};

// A first name without an extension takes the pattern's; a "." in a folder
// is no extension; a ":" is part of a name, so later names stay in the folder.
TEST_F(ConvertRunTest, SelectionNames_ExtensionAndColonRules) {
  fs::create_directory(dir / "scan.v2");
  for (const char* name : {"scan.v2/run7.xbm", "x:1.xbm", "y.xbm"}) MakeRecord(dir / name);
  for (const char* selection : {"run02", "scan.v2/run7", "x:1.xbm;y.xbm"}) {
    request.selection = selection;
    RunConvert(request, context);
  }
  EXPECT_EQ(prompt.messages, Strings(3, "Convert Finished"));
  for (const char* output : {"run02_.XBM", "scan.v2/run7_.XBM", "x:1_.XBM", "y_.XBM"})
    EXPECT_TRUE(fs::exists(dir / output)) << output;
}

// Each check stops the run with its message; the changes are kept even so.
TEST_F(ConvertRunTest, ChecksComeInOrderAndStopTheRun) {
  const std::pair<std::function<void(ConvertRequest&)>, Strings> cases[] = {
      {[](ConvertRequest& r) { r.changeEGC = true, r.egc[2].reset(), r.selection = ""; }, {"EGC Paramter Error"}},
      {[](ConvertRequest& r) { r.change2Theta = true, r.selection = ""; }, {"2Theta Value Error"}},
      {[](ConvertRequest& r) { r.selection = "  ", r.outputs = {}; }, {"Plz Enter File Name!"}},
      {[](ConvertRequest& r) { r.useListFile = true, r.listName = " "; }, {"Plz Enter File Name!"}},
      {[](ConvertRequest& r) { r.changeEGC = r.change2Theta = true, r.twoTheta = 7.5, r.outputs = {}; },
       {"Plz Check Create File Type!"}},
      {[](ConvertRequest& r) { r.selection = std::string(10000, ';'); },
       {"Too many Files! (Must be set less than 9999)", "Convert Error"}},
  };
  request.egc = {0.1, 0.2, 0.3};
  for (const auto& [change, messages] : cases) {
    prompt.messages.clear(), prompt.busyMessages = 0;
    ConvertRequest r = request;
    change(r);
    EXPECT_FALSE(RunConvert(r, context).completed) << messages[0];
    EXPECT_EQ(prompt.messages, messages);
    EXPECT_EQ(prompt.busyMessages, messages.size() == 2 ? 2 : 0);  // the run's own stops come while busy
    EXPECT_FALSE(prompt.busy);
  }
  EXPECT_FALSE(fs::exists(dir / "run01_.XBM"));
  // The changes are this run's own, apart from an analyser export's parameters.
  request.changeEGC = request.change2Theta = true, request.twoTheta = 7.5;
  ASSERT_TRUE(StoreChanges(request, context));
  EXPECT_EQ(context.settings.changes.egc, (std::array<double, 3>{0.1, 0.2, 0.3}));
  EXPECT_EQ(context.settings.changes.twoTheta->value, 7.5);
  EXPECT_EQ(context.settings.csv.TwoTheta, 0);
}

// Every selected file, counted; with the per-file questions off, one
// question before the run instead (No: nothing, not even a message).
TEST_F(ConvertRunTest, ConvertsEverySelectedFile_OneQuestionWhenPerFileQuestionsAreOff) {
  const RunResult result = RunConvert(request, context);
  EXPECT_TRUE(result.completed && result.written == 3);
  EXPECT_EQ(prompt.statuses, (Strings{"", "1/3", "2/3", "3/3", "Finished"}));
  EXPECT_EQ(prompt.messages, Strings{"Convert Finished"});
  context.settings.OverWriteCheck = false;
  prompt.answers = {false, true};
  EXPECT_FALSE(RunConvert(request, context).completed);
  EXPECT_EQ(prompt.messages, Strings{"Convert Finished"});
  EXPECT_EQ(RunConvert(request, context).written, 3);
  EXPECT_EQ(prompt.questions, Strings(2, "All file will be over|writed. OK?"));
}

// A CSV source's parameter entry, cancelled, ends the run before any file
// (failures that do not stop a run are the batch tests').
TEST_F(ConvertRunTest, CsvParameterEntryCancelled_NothingConverted) {
  const auto csv = [&](const char* name) { return SourceFile{dir / name, "csv"}; };
  EXPECT_FALSE(ConvertFiles({csv("a.csv"), csv("b.csv")}, request.outputs, context).completed);
  EXPECT_EQ(prompt.csvParameterRequests, 1);
  EXPECT_TRUE(prompt.statuses.empty() && prompt.messages.empty());
}

// 10 002 files of the series (empty, so every read fails and is named), one
// name of five digits that is not of it: the first 10 001 by name, in order.
TEST_F(ConvertRunTest, ListFile_SeriesInNameOrder_AtMost10001Files) {
  const std::string stem = dir / "\xE8\xA9\xA6\xE6\x96\x99 run";  // 試料 run
  test::WriteAll(stem + ".xli", "title\r\n12\r\n");
  Strings expected;
  for (int i = 9999; i >= 0; --i) test::WriteAll(stem + "_" + std::to_string(10000 + i).substr(1) + ".xbm", "");
  for (const char* name : {"_zz02.xbm", "_zz01.xbm", "_00001.xbm"}) test::WriteAll(stem + name, "");
  for (int i = 0; i < 10000; ++i) expected.push_back(stem + "_" + std::to_string(10000 + i).substr(1) + ".xbm");
  expected.push_back(stem + "_zz01.xbm");
  const RunResult result = RunListFile(stem + ".xli", request.outputs, context);
  EXPECT_TRUE(result.completed);
  EXPECT_TRUE(prompt.files == expected);
  EXPECT_EQ(prompt.statuses.size(), 10002u);
  EXPECT_EQ(prompt.statuses.back(), "Finished");
  EXPECT_EQ(prompt.messages.size(), expected.size());  // the list-file run has no closing message
}

// The list files of tests/data/list-files.tsv, good and bad.
TEST_F(ConvertRunTest, ListFile_ConvertsTheSeries_BadListFilesSaySo) {
  MakeRecord(dir / "series_0001.xbm");
  for (const auto& row : test::DataRows("list-files.tsv")) {  // name, message, bytes, the line
    const std::string &list = row[0], &message = row[1];
    fs::remove(dir / list);
    if (row[2] != "(none)") test::WriteAll(dir / list, row[2]);
    FakePrompt p;
    ConvertContext ctx(p);
    ctx.settings.OverWriteCheck = false;
    EXPECT_EQ(RunListFile(dir / list, request.outputs, ctx).written, message.empty() ? 1 : 0) << row.back();
    EXPECT_EQ(p.messages.empty() ? "" : p.messages[0], message) << row.back();
  }
}

}  // namespace
}  // namespace vantor
