// Combine across source formats and into each output format. Sources are
// made by the format table's own writers or written out as analyser exports.
#include <gtest/gtest.h>

#include "formats/FormatTable.h"
#include "series/FileCombine.h"
#include "formats/RecordFile.h"
#include "support/FakePrompt.h"
#include "support/TestFiles.h"

namespace vantor {
namespace {

using test::ReadAll;

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

// An analyser export with live time 25 and real time 50: a title line, three
// lines skipped, the channel count, the identifier, counts behind a label.
std::string AnalyserExport(const std::vector<std::int32_t>& counts) {
  std::string text = "export\r\n\"export title\",07/07/23,14:25:30,25,50\r\n\r\n\r\n\r\n0,1," +
                     std::to_string(counts.size()) + "\r\n\"EXP-1\",\"x\"\r\nCh,Counts\r\n\"0\"";
  for (const auto c : counts) text += "," + std::to_string(c);
  return text + "\r\n";
}

class CombineFormatsTest : public ::testing::Test {
 protected:
  void Write(OutputKind kind, const std::string& name, const SpectrumRecord& r) {
    ASSERT_TRUE(Output(kind).write(dir / name, r.Data, r.Head, context));
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

// first.xbm + second.NPD + third.Csv, each read by its own extension, into
// an output named in mixed case: the same bytes as that writer gives for
// the expected sum.
class CombineEachOutput : public CombineFormatsTest,
                          public ::testing::WithParamInterface<std::pair<OutputKind, const char*>> {};

TEST_P(CombineEachOutput, MixedSources_WritersOwnBytesForTheSum) {
  const auto [kind, name] = GetParam();
  Write(OutputKind::Xbm, "first.xbm", Record({1, 2, 3, 4, 5}, 100, 100));
  Write(OutputKind::Npd, "second.NPD", Record({10, 20, 30, 40, 50}, 50, 25));
  test::WriteAll(dir / "third.Csv", AnalyserExport({100, 200, 300}));
  ASSERT_TRUE(CombineSelectedFiles(dir.path().string(), {"first.xbm", "second.NPD", "third.Csv"}, dir / name, context));
  EXPECT_TRUE(prompt.messages.empty());

  SpectrumRecord expected = Record({111, 222, 333, 44, 55}, 200, 150);
  expected.Head.Measure.DeadTime = 25;
  Write(kind, "expected", expected);
  EXPECT_TRUE(ReadAll(dir / name) == ReadAll(dir / "expected"));
}

INSTANTIATE_TEST_SUITE_P(Kinds, CombineEachOutput,
                         ::testing::Values(std::pair{OutputKind::Xbm, "sum.XBM"}, std::pair{OutputKind::Csv, "sum.Csv"},
                                           std::pair{OutputKind::Npd, "sum.npd"}));

TEST_F(CombineFormatsTest, CsvSource_GetsTheEnteredValues_ZeroWhenNoneWereEntered) {
  test::WriteAll(dir / "e.csv", AnalyserExport({7, 8}));
  Write(OutputKind::Npd, "a.npd", Record({1, 1}, 10, 10));
  ASSERT_TRUE(CombineSelectedFiles(dir.path().string(), {"e.csv", "a.npd"}, dir / "zero.xbm", context));
  const SpectrumRecord zero = Load("zero.xbm");
  EXPECT_EQ(zero.Head.Measure.TwoTheta, 0);
  EXPECT_EQ(zero.Head.Measure.EGC, (std::array<double, 3>{0, 0, 0}));
  EXPECT_EQ(zero.Head.Measure.Temperature, 0);
  EXPECT_EQ(zero.Data.Count[1], 9);

  context.settings.TwoThetaValue = 7.5;
  context.settings.EnteredEGC = {0.1, 0.03, 0.001};
  context.settings.EnteredTemperature = 25;
  ASSERT_TRUE(CombineSelectedFiles(dir.path().string(), {"e.csv"}, dir / "set.xbm", context));
  const SpectrumRecord set = Load("set.xbm");
  EXPECT_EQ(set.Head.Measure.TwoTheta, 7.5);
  EXPECT_EQ(set.Head.Measure.EGC, (std::array<double, 3>{0.1, 0.03, 0.001}));
  EXPECT_EQ(set.Head.Measure.Temperature, 25);
}

TEST_F(CombineFormatsTest, OneSampleOfEachFormat_SumsWhatEachReaderReads) {
  const std::vector<std::string> names{"run0001.xbm", "analyser.cnf", "export.csv", "profile.npd"};
  ASSERT_TRUE(CombineSelectedFiles(VANTOR_SAMPLES_DIR, names, dir / "sum.xbm", context));
  const SpectrumRecord sum = Load("sum.xbm");
  std::int64_t expected = 0, got = 0;
  double real = 0;
  for (const auto& name : names) {
    SpectrumRecord r;
    ASSERT_TRUE(ReadSourceByExtension(std::string(VANTOR_SAMPLES_DIR) + "/" + name, r, context));
    for (int i = 0; i < sum.Data.DataNumber; ++i) expected += r.Data.Count[i];
    real += r.Head.Measure.RealTime;
  }
  for (int i = 0; i < sum.Data.DataNumber; ++i) got += sum.Data.Count[i];
  EXPECT_GT(sum.Data.DataNumber, 0);
  EXPECT_EQ(got, expected);
  EXPECT_EQ(sum.Head.Measure.RealTime, real);
  EXPECT_TRUE(prompt.messages.empty());
}

}  // namespace
}  // namespace vantor
