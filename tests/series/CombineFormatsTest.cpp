// Combine across source formats and into each output format. Sources are
// made by the format table's own writers or written out as text.
#include <gtest/gtest.h>

#include "convert/Formats.h"
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

bool FormatsBuilt() {
  return Source(SourceKind::Npd).read && Source(SourceKind::Csv).read && Output(OutputKind::Npd).write &&
         Output(OutputKind::Csv).write;
}

SpectrumRecord Record(std::vector<std::int32_t> counts, double real, double live) {
  SpectrumRecord r;
  AssignText(r.Head.Common.SampleTitle, "first file");
  r.Head.Common.SourceFormat = 1;
  r.Head.Measure.EGC = {0.26673, 0.042192, 0};
  r.Head.Measure.TwoTheta = 5;
  r.Head.Measure.RealTime = real;
  r.Head.Measure.LiveTime = live;
  r.Data.DataNumber = static_cast<std::int16_t>(counts.size());
  std::copy(counts.begin(), counts.end(), r.Data.Count.begin());
  return r;
}

// An analyser export: title, date, time, live and real time, the channel
// count, the identifier and the counts ten a line behind a label.
std::string AnalyserExport(const std::vector<std::int32_t>& counts, double live, double real) {
  std::string text = "Spectrum export\r\n\"export title\",07/07/23,14:25:30," + std::to_string(live) + "," +
                     std::to_string(real) + "\r\n\r\n\r\n\r\n0,1," + std::to_string(counts.size()) +
                     "\r\n\"EXP-1\",\"x\"\r\nCh,Counts\r\n";
  for (std::size_t start = 0; start < counts.size(); start += 10) {
    text += "\"" + std::to_string(start) + "\"";
    for (std::size_t i = start; i < counts.size() && i < start + 10; ++i) text += "," + std::to_string(counts[i]);
    text += "\r\n";
  }
  return text;
}

class CombineFormatsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!FormatsBuilt()) GTEST_SKIP() << "CSV and NPD readers and writers are not in this build";
  }
  bool WriteWith(OutputKind kind, const std::string& path, const SpectrumRecord& r) {
    return Output(kind).write(path, r.Data, r.Head, context);
  }

  TempDir dir;
  FakePrompt prompt;
  ConvertContext context{prompt};
};

// first.xbm + second.NPD + third.Csv: every reader by its own extension, a
// shorter file adding zeros, the header of the first file.
class CombineEachOutput : public CombineFormatsTest, public ::testing::WithParamInterface<OutputKind> {};

TEST_P(CombineEachOutput, MixedSourcesGiveTheWritersOwnBytesForTheSum) {
  const SpectrumRecord first = Record({1, 2, 3, 4, 5}, 100, 100);
  ASSERT_TRUE(WriteWith(OutputKind::Xbm, dir / "first.xbm", first));
  ASSERT_TRUE(WriteWith(OutputKind::Npd, dir / "second.NPD", Record({10, 20, 30, 40, 50}, 50, 25)));
  WriteAll(dir / "third.Csv", AnalyserExport({100, 200, 300}, 25, 50));

  const std::string name = std::string("sum.") + std::string(Output(GetParam()).name);
  ASSERT_TRUE(CombineSelectedFiles(dir.path().string(), {"first.xbm", "second.NPD", "third.Csv"}, dir / name, context));
  EXPECT_TRUE(prompt.messages.empty());

  SpectrumRecord expected = Record({111, 222, 333, 44, 55}, 200, 150);
  expected.Head.Measure.DeadTime = 25;
  ASSERT_TRUE(WriteWith(GetParam(), dir / ("expected." + std::string(Output(GetParam()).name)), expected));
  EXPECT_TRUE(ReadAll(dir / name) == ReadAll(dir / ("expected." + std::string(Output(GetParam()).name))));
}

INSTANTIATE_TEST_SUITE_P(Kinds, CombineEachOutput, ::testing::Values(OutputKind::Xbm, OutputKind::Csv, OutputKind::Npd),
                         [](const auto& info) { return std::string(Output(info.param).name); });

TEST_F(CombineFormatsTest, UpperCaseOutputNames_PickTheirWriters) {
  ASSERT_TRUE(WriteWith(OutputKind::Xbm, dir / "a.xbm", Record({1, 2}, 1, 1)));
  for (const char* name : {"sum.CSV", "sum.Npd", "sum.XBM"})
    EXPECT_TRUE(CombineSelectedFiles(dir.path().string(), {"a.xbm"}, dir / name, context)) << name;
  EXPECT_EQ(ReadAll(dir / "sum.Npd").substr(0, 16), "Record length,27");
  EXPECT_EQ(ReadAll(dir / "sum.XBM").substr(0, 2), "00");
  EXPECT_NE(ReadAll(dir / "sum.CSV"), "");
}

TEST_F(CombineFormatsTest, CsvSource_GetsTheEnteredValues) {
  WriteAll(dir / "only.csv", AnalyserExport({7, 8}, 90, 100));
  context.settings.TwoThetaValue = 7.5;
  context.settings.EnteredEGC = {0.1, 0.03, 0.001};
  context.settings.EnteredTemperature = 25;
  ASSERT_TRUE(CombineSelectedFiles(dir.path().string(), {"only.csv"}, dir / "sum.xbm", context));
  SpectrumRecord out;
  ASSERT_TRUE(ReadRecordFile(dir / "sum.xbm", out.Data, out.Head, context));
  EXPECT_EQ(out.Head.Measure.TwoTheta, 7.5);
  EXPECT_EQ(out.Head.Measure.EGC, (std::array<double, 3>{0.1, 0.03, 0.001}));
  EXPECT_EQ(out.Head.Measure.Temperature, 25);
  EXPECT_EQ(out.Data.Count[1], 8);
}

TEST_F(CombineFormatsTest, CsvSource_WithoutEnteredValues_GetsZeros) {
  // The first file's calibration must not reach the CSV source either.
  ASSERT_TRUE(WriteWith(OutputKind::Npd, dir / "a.npd", Record({1, 1}, 10, 10)));
  WriteAll(dir / "b.csv", AnalyserExport({1, 1}, 10, 10));
  ASSERT_TRUE(CombineSelectedFiles(dir.path().string(), {"b.csv", "a.npd"}, dir / "sum.xbm", context));
  SpectrumRecord out;
  ASSERT_TRUE(ReadRecordFile(dir / "sum.xbm", out.Data, out.Head, context));
  EXPECT_EQ(out.Head.Measure.TwoTheta, 0);
  EXPECT_EQ(out.Head.Measure.EGC, (std::array<double, 3>{0, 0, 0}));
  EXPECT_EQ(out.Head.Measure.Temperature, 0);
  EXPECT_EQ(out.Data.Count[0], 2);
}

TEST_F(CombineFormatsTest, BrokenCsvSource_StopsTheRun) {
  ASSERT_TRUE(WriteWith(OutputKind::Xbm, dir / "a.xbm", Record({1}, 1, 1)));
  std::string text = AnalyserExport({1, 2, 3}, 90, 100);
  WriteAll(dir / "cut.csv", text.substr(0, text.size() - 4));
  EXPECT_FALSE(CombineSelectedFiles(dir.path().string(), {"a.xbm", "cut.csv"}, dir / "sum.npd", context));
  EXPECT_EQ(prompt.messages, (std::vector<std::string>{"File Error", "File Error: cut.csv"}));
  EXPECT_FALSE(std::filesystem::exists(dir / "sum.npd"));
}

}  // namespace
}  // namespace vantor
