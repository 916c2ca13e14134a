// 3D Data: the table's text, its output name, and the run's stops.
#include <gtest/gtest.h>

#include "convert/FileAccess.h"
#include "convert/Formats.h"
#include "series/File3D.h"
#include "series/FileCombine.h"
#include "support/FakePrompt.h"
#include "support/TestFiles.h"

namespace vantor {
namespace {

using test::FakePrompt;
using test::ReadAll;
using test::TempDir;
using test::WriteAll;

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

MeasureCondition Calibration(std::array<double, 3> egc, double twoTheta) {
  MeasureCondition m;
  m.EGC = egc;
  m.TwoTheta = twoTheta;
  return m;
}

// Two columns: a counts 12, 13, ...; b counts 30, 31, ...
std::vector<std::int32_t> TwoColumns() {
  std::vector<std::int32_t> counts(2 * kTableRows);
  for (int c = 0; c < kTableRows; ++c) {
    counts[c] = 12 + c;
    counts[kTableRows + c] = 30 + c;
  }
  return counts;
}

// --- the table's text -------------------------------------------------------

TEST(TableText, WorkedExample_HeadingAndRows) {
  const auto lines = Lines(TableText({"a.npd", "b.npd"}, TwoColumns(), Calibration({0.266730, 0.042192, 0}, 5.0)));
  ASSERT_EQ(lines.size(), 1u + kTableRows);
  EXPECT_EQ(lines[0], "Channel, Energy,d Value,a,b");
  EXPECT_EQ(lines[1], " 1 ,0.309,460.041,12,30");
  EXPECT_EQ(lines[2], " 2 ,0.351,404.760,13,31");
  EXPECT_EQ(lines[kTableRows].substr(0, 7), " 4096 ,");
  EXPECT_EQ(lines[kTableRows].substr(lines[kTableRows].size() - 10), ",4107,4125");
}

TEST(TableText, QuadraticCalibrationTermIsIgnored) {
  const auto counts = TwoColumns();
  const std::vector<std::string> names{"a.npd", "b.npd"};
  EXPECT_EQ(TableText(names, counts, Calibration({0.266730, 0.042192, 0.5}, 5.0)),
            TableText(names, counts, Calibration({0.266730, 0.042192, 0}, 5.0)));
}

struct NoDRow {
  std::array<double, 3> egc;
  double twoTheta;
  const char* firstRow;
};
class TableTextNoD : public ::testing::TestWithParam<NoDRow> {};

TEST_P(TableTextNoD, DFieldStaysEmpty) {
  const auto row = GetParam();
  const auto lines = Lines(TableText({"a.npd", "b.npd"}, TwoColumns(), Calibration(row.egc, row.twoTheta)));
  EXPECT_EQ(lines[1], row.firstRow);
}

INSTANTIATE_TEST_SUITE_P(Rows, TableTextNoD,
                         ::testing::Values(NoDRow{{0.266730, 0.042192, 0}, 0.0, " 1 ,0.309,,12,30"},
                                           NoDRow{{0, 0, 0}, 5.0, " 1 ,0.000,,12,30"},
                                           NoDRow{{0, 0, 0}, 0.0, " 1 ,0.000,,12,30"},
                                           NoDRow{{-0.042192, 0.042192, 0}, 5.0, " 1 ,0.000,,12,30"}));

TEST(TableText, NegativeCountsAndHeadings) {
  std::vector<std::int32_t> counts(kTableRows, 0);
  counts[0] = -2147483647 - 1;
  const auto lines = Lines(TableText({"a.b.npd"}, counts, Calibration({0.266730, 0.042192, 0}, 5.0)));
  EXPECT_EQ(lines[0], "Channel, Energy,d Value,a");
  EXPECT_EQ(lines[1], " 1 ,0.309,460.041,-2147483648");
}

TEST(ColumnHeading, NameUpToItsFirstDot) {
  EXPECT_EQ(ColumnHeading("a.b.npd"), "a");
  EXPECT_EQ(ColumnHeading("run0001"), "run0001");
  EXPECT_EQ(ColumnHeading("data.1/run.npd"), "run");
  EXPECT_EQ(ColumnHeading("D:\\s.x\\run2.npd"), "run2");
}

// --- the output name ----------------------------------------------------------

class TableOutputName : public ::testing::TestWithParam<std::pair<const char*, const char*>> {};

TEST_P(TableOutputName, OnlyTheFileNamesExtensionBecomesCsv) {
  EXPECT_EQ(TableOutputPath(GetParam().first), GetParam().second);
}

INSTANTIATE_TEST_SUITE_P(Rows, TableOutputName,
                         ::testing::Values(std::pair{"D:\\run.1\\out.txt", "D:\\run.1\\out.csv"},
                                           std::pair{"/data/run.1/out.txt", "/data/run.1/out.csv"},
                                           std::pair{"/data/run.1/out", "/data/run.1/out.csv"},
                                           std::pair{"my.table.dat", "my.table.csv"}, std::pair{"out.CSV", "out.csv"},
                                           std::pair{"3DFileDefaultName", "3DFileDefaultName.csv"},
                                           std::pair{"/data/.table", "/data/.table.csv"},
                                           std::pair{"out.", "out.csv"}));

// --- the run and its stops --------------------------------------------------------

TEST(Table3DRun, EmptySelection_AsksForNames) {
  FakePrompt prompt;
  ConvertContext context(prompt);
  prompt.saveName = "/nowhere/t.csv";
  EXPECT_FALSE(Run3DData("/nowhere", {""}, context));
  EXPECT_EQ(prompt.messages, std::vector<std::string>{"Plz Enter File Name!"});
}

TEST(Table3DRun, CancelledDialog_EndsQuietly) {
  TempDir dir;
  FakePrompt prompt;
  ConvertContext context(prompt);
  EXPECT_FALSE(Run3DData(dir.path().string(), {"a.npd"}, context));
  EXPECT_TRUE(prompt.messages.empty());
  EXPECT_TRUE(dir.Entries().empty());
}

TEST(Table3DRun, UnreadableFile_FileErrorAndNothingWritten) {
  TempDir dir;
  FakePrompt prompt;
  ConvertContext context(prompt);
  prompt.saveName = dir / "t.txt";
  EXPECT_FALSE(Run3DData(dir.path().string(), {"missing.npd"}, context));
  ASSERT_FALSE(prompt.messages.empty());
  EXPECT_EQ(prompt.messages.back(), "File Error: missing.npd");
  EXPECT_TRUE(dir.Entries().empty());
}

// --- whole runs over NPD files -------------------------------------------------------

SpectrumRecord NpdRecord(int channels, std::int32_t first, std::array<double, 3> egc, double twoTheta) {
  SpectrumRecord r;
  r.Head.Measure.EGC = egc;
  r.Head.Measure.TwoTheta = twoTheta;
  r.Data.DataNumber = static_cast<std::int16_t>(channels);
  for (int i = 0; i < channels; ++i) r.Data.Count[i] = first + i;
  return r;
}

class Table3DFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!Source(SourceKind::Npd).read || !Output(OutputKind::Npd).write) GTEST_SKIP() << "no NPD reader or writer";
  }
  void Save(const std::string& name, const SpectrumRecord& r) {
    FakePrompt quiet;
    ConvertContext c(quiet);
    ASSERT_TRUE(Output(OutputKind::Npd).write(dir / name, r.Data, r.Head, c));
  }
  std::vector<std::string> TableLines(const std::string& name) { return Lines(ReadAll(dir / name)); }

  TempDir dir;
  FakePrompt prompt;
  ConvertContext context{prompt};
};

TEST_F(Table3DFiles, ShortFiles_StillGive4096Rows_ChosenNameBecomesCsv) {
  Save("a.b.npd", NpdRecord(2048, 12, {0.1, 0.2, 0.3}, 10));
  Save("b.npd", NpdRecord(2048, 30, {0.266730, 0.042192, 0}, 5));  // the last file's calibration counts
  prompt.saveName = dir / "table.txt";
  ASSERT_TRUE(Run3DData(dir.path().string(), {"a.b.npd", "b.npd"}, context));
  EXPECT_EQ(prompt.messages, std::vector<std::string>{"Done"});
  EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"a.b.npd", "b.npd", "table.csv"}));
  const auto lines = TableLines("table.csv");
  ASSERT_EQ(lines.size(), 1u + kTableRows);
  EXPECT_EQ(lines[0], "Channel, Energy,d Value,a,b");
  EXPECT_EQ(lines[1], " 1 ,0.309,460.041,12,30");
  EXPECT_TRUE(lines[2048].ends_with(",2059,2077")) << lines[2048];
  EXPECT_TRUE(lines[2049].starts_with(" 2049 ,") && lines[2049].ends_with(",0,0")) << lines[2049];
  EXPECT_TRUE(lines[4096].starts_with(" 4096 ,") && lines[4096].ends_with(",0,0")) << lines[4096];
}

TEST_F(Table3DFiles, ExistingTable_AskedBeforeReplacing) {
  Save("a.npd", NpdRecord(4, 1, {0.266730, 0.042192, 0}, 5));
  WriteAll(dir / "t.csv", "old");
  prompt.saveName = dir / "t.csv";
  prompt.answers = {false};
  EXPECT_FALSE(Run3DData(dir.path().string(), {"a.npd"}, context));
  EXPECT_EQ(prompt.questions, std::vector<std::string>{ReplaceQuestion(dir / "t.csv")});
  EXPECT_TRUE(prompt.messages.empty());
  EXPECT_EQ(ReadAll(dir / "t.csv"), "old");

  prompt.answers = {true};
  EXPECT_TRUE(Run3DData(dir.path().string(), {"a.npd"}, context));
  EXPECT_EQ(TableLines("t.csv")[1], " 1 ,0.309,460.041,1");

  // Without per-file questions the table is replaced without one.
  context.settings.OverWriteCheck = false;
  prompt.questions.clear();
  EXPECT_TRUE(Run3DData(dir.path().string(), {"a.npd", "a.npd"}, context));
  EXPECT_TRUE(prompt.questions.empty());
  EXPECT_EQ(TableLines("t.csv")[1], " 1 ,0.309,460.041,1,1");
}

TEST_F(Table3DFiles, UnreadableLaterFile_NothingWritten) {
  Save("a.npd", NpdRecord(4, 1, {0.266730, 0.042192, 0}, 5));
  prompt.saveName = dir / "t";
  EXPECT_FALSE(Run3DData(dir.path().string(), SplitSelection("a.npd;gone.npd"), context));
  EXPECT_EQ(prompt.messages.back(), "File Error: gone.npd");
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"a.npd"});
}

}  // namespace
}  // namespace vantor
