// 3D Data: the table's text, its output name, and whole runs over NPD files.
#include <gtest/gtest.h>

#include "base/FileAccess.h"
#include "formats/FormatTable.h"
#include "series/File3D.h"
#include "series/FileCombine.h"
#include "support/FakePrompt.h"
#include "support/TestFiles.h"

namespace vantor {
namespace {

using test::ReadAll;

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (auto end = text.find("\r\n"); end != std::string::npos; end = text.find("\r\n", start)) {
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  EXPECT_EQ(start, text.size()) << "text after the last CR LF";
  return lines;
}

// Two columns: 12, 13, ... and 30, 31, ...; the worked example's calibration
// with a quadratic term the table must ignore.
std::vector<std::string> ExampleLines(double twoTheta, std::array<double, 3> egc = {0.266730, 0.042192, 0.5}) {
  std::vector<std::int32_t> counts(2 * kTableRows);
  for (int c = 0; c < kTableRows; ++c) {
    counts[c] = 12 + c;
    counts[kTableRows + c] = c == 0 ? 30 : -c;
  }
  MeasureCondition m;
  m.EGC = egc;
  m.TwoTheta = twoTheta;
  return Lines(TableText({"a.b.npd", "b"}, counts, m));
}

TEST(TableText, WorkedExample) {
  const auto lines = ExampleLines(5.0);
  ASSERT_EQ(lines.size(), 1u + kTableRows);
  EXPECT_EQ(lines[0], "Channel, Energy,d Value,a,b");
  EXPECT_EQ(lines[1], " 1 ,0.309,460.041,12,30");
  EXPECT_EQ(lines[2], " 2 ,0.351,404.760,13,-1");
  EXPECT_EQ(lines[kTableRows], " 4096 ,173.085,0.821,4107,-4095");
}

struct NoDRow {
  double twoTheta;
  std::array<double, 3> egc;
  const char* firstRow;
};
class TableTextNoD : public ::testing::TestWithParam<NoDRow> {};

TEST_P(TableTextNoD, DFieldStaysEmpty) {
  EXPECT_EQ(ExampleLines(GetParam().twoTheta, GetParam().egc)[1], GetParam().firstRow);
}

INSTANTIATE_TEST_SUITE_P(Rows, TableTextNoD,
                         ::testing::Values(NoDRow{0.0, {0.266730, 0.042192, 0}, " 1 ,0.309,,12,30"},
                                           NoDRow{5.0, {0, 0, 0}, " 1 ,0.000,,12,30"},
                                           NoDRow{5.0, {-0.042192, 0.042192, 0}, " 1 ,0.000,,12,30"}));

class TableOutputName : public ::testing::TestWithParam<std::pair<const char*, const char*>> {};

TEST_P(TableOutputName, OnlyTheFileNamesExtensionBecomesCsv) {
  EXPECT_EQ(TableOutputPath(GetParam().first), GetParam().second);
}

INSTANTIATE_TEST_SUITE_P(Rows, TableOutputName,
                         ::testing::Values(std::pair{"D:\\run.1\\out.txt", "D:\\run.1\\out.csv"},
                                           std::pair{"/data/run.1/out", "/data/run.1/out.csv"},
                                           std::pair{"my.table.dat", "my.table.csv"},
                                           std::pair{"3DFileDefaultName", "3DFileDefaultName.csv"},
                                           std::pair{"/data/.table", "/data/.table.csv"}));

// --- whole runs ----------------------------------------------------------------------

class Table3DRun : public ::testing::Test {
 protected:
  void Save(const std::string& name, int channels, std::int32_t first, std::array<double, 3> egc) {
    SpectrumRecord r;
    r.Head.Measure.EGC = egc;
    r.Head.Measure.TwoTheta = 5;
    r.Data.DataNumber = static_cast<std::int16_t>(channels);
    for (int i = 0; i < channels; ++i) r.Data.Count[i] = first + i;
    ASSERT_TRUE(Output(OutputKind::Npd).write(dir / name, r.Data, r.Head, context));
  }
  bool Run(const std::string& selection) { return Run3DData(dir.path().string(), SplitSelection(selection), context); }

  test::TempDir dir;
  test::FakePrompt prompt;
  ConvertContext context{prompt};
};

TEST_F(Table3DRun, ShortFiles_Give4096Rows_LastFilesCalibration_CsvName) {
  Save("a.b.npd", 2048, 12, {0.1, 0.2, 0.3});
  Save("b.npd", 2048, 30, {0.266730, 0.042192, 0});
  prompt.saveName = dir / "table.txt";
  ASSERT_TRUE(Run("a.b.npd;b.npd"));
  EXPECT_EQ(prompt.messages, std::vector<std::string>{"Done"});
  EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"a.b.npd", "b.npd", "table.csv"}));
  const auto lines = Lines(ReadAll(dir / "table.csv"));
  ASSERT_EQ(lines.size(), 1u + kTableRows);
  EXPECT_EQ(lines[0], "Channel, Energy,d Value,a,b");
  EXPECT_EQ(lines[1], " 1 ,0.309,460.041,12,30");
  EXPECT_TRUE(lines[2048].ends_with(",2059,2077")) << lines[2048];
  EXPECT_TRUE(lines[2049].starts_with(" 2049 ,") && lines[2049].ends_with(",0,0")) << lines[2049];
}

TEST_F(Table3DRun, ExistingTable_ReplacedOnlyAfterYes) {
  Save("a.npd", 4, 1, {0.266730, 0.042192, 0});
  test::WriteAll(dir / "t.csv", "old");
  prompt.saveName = dir / "t.csv";
  prompt.answers = {false, true};
  EXPECT_FALSE(Run("a.npd"));
  EXPECT_EQ(ReadAll(dir / "t.csv"), "old");
  EXPECT_TRUE(prompt.messages.empty());
  EXPECT_TRUE(Run("a.npd;a.npd"));
  EXPECT_EQ(prompt.questions, std::vector<std::string>(2, ReplaceQuestion(dir / "t.csv")));
  EXPECT_EQ(Lines(ReadAll(dir / "t.csv"))[1], " 1 ,0.309,460.041,1,1");
}

TEST_F(Table3DRun, Stops_EmptySelection_Cancel_UnreadableFile) {
  EXPECT_FALSE(Run(""));
  EXPECT_EQ(prompt.messages, std::vector<std::string>{"Plz Enter File Name!"});
  prompt.messages.clear();
  EXPECT_FALSE(Run("a.npd"));  // no save name: the dialog was cancelled
  EXPECT_TRUE(prompt.messages.empty());
  prompt.saveName = dir / "t";
  EXPECT_FALSE(Run("gone.npd"));
  ASSERT_FALSE(prompt.messages.empty());
  EXPECT_EQ(prompt.messages.back(), "File Error: gone.npd");
  EXPECT_TRUE(dir.Entries().empty());
}

}  // namespace
}  // namespace vantor
