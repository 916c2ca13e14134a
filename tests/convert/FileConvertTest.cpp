#include "convert/FileConvert.h"

#include <gtest/gtest.h>

#include "bench/SpectrumGenerator.h"
#include "formats/RecordFile.h"
#include "support/FakePrompt.h"
#include "support/TestFiles.h"

namespace vantor {
namespace {

using test::FakePrompt;
using test::TempDir;

// ---- output names

struct NameRow {
  const char* source;
  OutputKind kind;
  const char* output;
};

class OutputPathTest : public ::testing::TestWithParam<NameRow> {};

TEST_P(OutputPathTest, BuildsTheNameFromTheSource) {
  EXPECT_EQ(OutputPath(GetParam().source, GetParam().kind), GetParam().output);
}

INSTANTIATE_TEST_SUITE_P(
    Names, OutputPathTest,
    ::testing::Values(NameRow{"C:\\data\\run01.xbm", OutputKind::Rpt, "C:\\data\\run01.RPT"},
                      NameRow{"C:\\data\\run01.xbm", OutputKind::Xbm, "C:\\data\\run01_.XBM"},
                      NameRow{"D:\\scan\\run7", OutputKind::Csv, "D:\\scan\\run7.CSV"},
                      NameRow{"/data/run01.xbm", OutputKind::Gsa, "/data/run01.GSA"},
                      NameRow{"/data/run.v2/run7", OutputKind::Txt, "/data/run.TXT"},
                      NameRow{"/data/a.b.npd", OutputKind::Npd, "/data/a.b.NPD"},
                      NameRow{"run01.XBM", OutputKind::Xbm, "run01_.XBM"}));

// ---- the calibration and angle changes

class ConvertFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    record = bench::GenerateSpectrum(11, 64);
    record.Head.Measure.TwoTheta = 5.0;
    source = dir / "run01.xbm";
    ASSERT_TRUE(WriteRecordFile(source, record.Data, record.Head, context));
  }
  SpectrumRecord Converted() {
    EXPECT_TRUE(ConvertFile(source, OutputKind::Xbm, SourceKind::Xbm, context));
    SpectrumRecord out;
    EXPECT_TRUE(ReadRecordFile(dir / "run01_.XBM", out));
    return out;
  }

  FakePrompt prompt;
  ConvertContext context{prompt};
  TempDir dir;
  SpectrumRecord record;
  std::string source;
};

TEST_F(ConvertFileTest, WithoutChangesTheRecordFileIsReproduced) {
  context.settings.OverWriteCheck = false;
  Converted();
  EXPECT_EQ(test::ReadAll(source), test::ReadAll(dir / "run01_.XBM"));
}

TEST_F(ConvertFileTest, TwoThetaRelativeAddsAbsoluteSets) {
  context.settings.OverWriteCheck = false;
  context.Change2Theta = true;
  context.settings.TwoThetaValue = 0.0001;
  context.settings.TwoThetaMode = 0;
  EXPECT_DOUBLE_EQ(Converted().Head.Measure.TwoTheta, 5.0001);
  context.settings.TwoThetaMode = 1;
  EXPECT_DOUBLE_EQ(Converted().Head.Measure.TwoTheta, 0.0001);
}

TEST_F(ConvertFileTest, EgcChangeReplacesTheCalibration) {
  context.settings.OverWriteCheck = false;
  context.settings.EnteredEGC = {0.1, 0.03, 1e-6};
  EXPECT_EQ(Converted().Head.Measure.EGC, record.Head.Measure.EGC);  // switch off: unchanged
  context.ChangeEGC = true;
  const auto egc = Converted().Head.Measure.EGC;
  EXPECT_EQ(egc, (std::array<double, 3>{0.1, 0.03, 1e-6}));
}

TEST_F(ConvertFileTest, UnreadableSourceWritesNothing) {
  EXPECT_FALSE(ConvertFile(dir / "missing.xbm", OutputKind::Xbm, SourceKind::Xbm, context));
  EXPECT_EQ(prompt.messages, std::vector<std::string>{"Fine NotFound"});
  EXPECT_FALSE(std::filesystem::exists(dir / "missing_.XBM"));
}

// ---- splitting the selection

TEST(SplitFileListTest, SplitsOnCommaAndSemicolon) {
  FakePrompt prompt;
  std::vector<std::string> names;
  EXPECT_EQ(SplitFileList("C:\\d\\a.xbm;b.xbm,c.xbm", names, prompt), 3);
  EXPECT_EQ(names, (std::vector<std::string>{"C:\\d\\a.xbm", "b.xbm", "c.xbm"}));
  EXPECT_EQ(SplitFileList("a,,b", names, prompt), 3);
  EXPECT_EQ(names[1], "");
  EXPECT_EQ(SplitFileList(" one name ", names, prompt), 1);
  EXPECT_EQ(names[0], " one name ");
  EXPECT_EQ(SplitFileList("", names, prompt), 1);
  EXPECT_TRUE(prompt.messages.empty());
}

TEST(SplitFileListTest, TenThousandNamesAtMost) {
  FakePrompt prompt;
  std::vector<std::string> names;
  EXPECT_EQ(SplitFileList(std::string(9999, ';'), names, prompt), 10000);
  EXPECT_EQ(SplitFileList(std::string(10000, ';'), names, prompt), -1);
  EXPECT_EQ(prompt.messages, std::vector<std::string>{"Too many Files! (Must be set less than 9999)"});
}

}  // namespace
}  // namespace vantor
