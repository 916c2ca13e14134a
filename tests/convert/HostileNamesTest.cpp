// File names as beamline folders hold them: spaces, Japanese characters
// (UTF-8), several dots, no extension, upper- and mixed-case extensions.
// Outputs land beside the source with the source's name and the output's
// suffix, through ConvertFile, the list-file run and vantor-cli alike.
#include <gtest/gtest.h>

#include <cstdlib>

#include "convert/ConvertRun.h"
#include "convert/FileConvert.h"
#include "formats/FormatTable.h"
#include "formats/RecordFile.h"
#include "support/FakePrompt.h"
#include "support/TestFiles.h"

namespace vantor {
namespace {

using test::FakePrompt;
using test::TempDir;

std::string SourceBytes() {
  SpectrumRecord r;
  r.Data.DataNumber = 8;
  for (int i = 0; i < 8; ++i) r.Data.Count[i] = 100 + i;
  AssignText(r.Head.Common.MeasDate, "20070723");
  AssignText(r.Head.Common.MeasTime, "142530");
  r.Head.Measure.EGC = {0.05, 0.035, 0};
  r.Head.Measure.RealTime = r.Head.Measure.LiveTime = 10;
  return RecordFileBytes(r.Data, r.Head);
}

std::vector<const OutputFormat*> Writers() {
  std::vector<const OutputFormat*> writers;
  for (const auto& f : OutputFormats())
    if (f.write != nullptr) writers.push_back(&f);
  return writers;
}

struct NameCase {
  const char* source;
  const char* stem;  // what the outputs are named after
};

const NameCase kNames[] = {
    {"my run 01.xbm", "my run 01"},
    {"\xE8\xA9\xA6\xE6\x96\x99 \xE3\x83\x87\xE3\x83\xBC\xE3\x82\xBF.xbm",  // 試料 データ.xbm
     "\xE8\xA9\xA6\xE6\x96\x99 \xE3\x83\x87\xE3\x83\xBC\xE3\x82\xBF"},
    {"run.1.2.xbm", "run.1.2"},
    {"RUN01.XBM", "RUN01"},
    {"Run01.Xbm", "Run01"},
    {"run7", "run7"},
    {".hidden.xbm", ".hidden"},
};

void PrintTo(const NameCase& c, std::ostream* os) { *os << c.source; }

std::vector<std::string> ExpectedEntries(const NameCase& c) {
  std::vector<std::string> names{c.source};
  for (const auto* w : Writers()) names.push_back(c.stem + std::string(w->suffix));
  std::sort(names.begin(), names.end());
  return names;
}

class HostileName : public testing::TestWithParam<NameCase> {};

TEST_P(HostileName, ConvertFile_OutputsBesideSourceNamedAfterIt) {
  TempDir dir;
  const std::string source = dir / GetParam().source;
  test::WriteAll(source, SourceBytes());
  FakePrompt prompt;
  ConvertContext context(prompt);
  for (const auto* w : Writers()) EXPECT_TRUE(ConvertFile(source, w->kind, SourceKind::Xbm, context)) << w->name;
  EXPECT_EQ(dir.Entries(), ExpectedEntries(GetParam()));
  EXPECT_TRUE(prompt.messages.empty());
}

TEST_P(HostileName, Cli_OutputsBesideSourceNamedAfterIt) {
  TempDir dir;
  const std::string source = dir / GetParam().source;
  test::WriteAll(source, SourceBytes());
  std::string kinds;
  for (const auto* w : Writers()) kinds += (kinds.empty() ? "" : ",") + std::string(w->name);
  // Names hold no single quote, so single quotes pass them to the shell whole.
  const std::string command = std::string("'") + VANTOR_CLI_PATH + "' convert --from xbm --force --to " + kinds +
                              " '" + source + "' > /dev/null 2>&1";
  EXPECT_EQ(std::system(command.c_str()), 0) << command;
  EXPECT_EQ(dir.Entries(), ExpectedEntries(GetParam()));
}

INSTANTIATE_TEST_SUITE_P(Names, HostileName, testing::ValuesIn(kNames));

// The naming rule looks for the extension's "." across folder separators:
// a source without one, in a folder with one, names its outputs after the
// folder, beside it.
TEST(HostileNameRule, NoExtensionInDottedFolder_OutputsNamedAfterFolder) {
  TempDir dir;
  std::filesystem::create_directory(dir / "scan.v2");
  test::WriteAll(dir / "scan.v2/run7", SourceBytes());
  FakePrompt prompt;
  ConvertContext context(prompt);
  ASSERT_TRUE(ConvertFile(dir / "scan.v2/run7", OutputKind::Xbm, SourceKind::Xbm, context));
  EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"scan.v2", "scan_.XBM"}));
}

// A series whose list file has spaces and Japanese characters in its name.
TEST(HostileNameRule, ListFileRun_SeriesWithSpacesAndJapanese) {
  TempDir dir;
  const std::string stem = "\xE8\xA9\xA6\xE6\x96\x99 run";  // 試料 run
  test::WriteAll(dir / (stem + ".xli"), "title\r\n2\r\n");
  test::WriteAll(dir / (stem + "_0001.xbm"), SourceBytes());
  test::WriteAll(dir / (stem + "_0002.xbm"), SourceBytes());
  FakePrompt prompt;
  ConvertContext context(prompt);
  OutputChoice outputs{};
  outputs[static_cast<int>(OutputKind::Xbm)] = true;
  const RunResult result = RunListFile(dir / (stem + ".xli"), outputs, context);
  EXPECT_TRUE(result.completed);
  EXPECT_EQ(result.written, 2);
  EXPECT_EQ(dir.Entries(), (std::vector<std::string>{stem + ".xli", stem + "_0001.xbm", stem + "_0001_.XBM",
                                                     stem + "_0002.xbm", stem + "_0002_.XBM"}));
}

}  // namespace
}  // namespace vantor
