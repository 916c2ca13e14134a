// One file into one output: the output's name, the EGC and 2Theta changes;
// splitting the selection into names.
#include "convert/FileConvert.h"

#include <gtest/gtest.h>

#include "bench/SpectrumGenerator.h"
#include "formats/RecordFile.h"
#include "support/FakePrompt.h"
#include "support/TestFiles.h"

namespace vantor {
namespace {

using test::FakePrompt;

struct NameRow {
  const char* source;
  OutputKind kind;
  const char* output;
};

class OutputPathTest : public ::testing::TestWithParam<NameRow> {};

TEST_P(OutputPathTest, SourceNameWithTheOutputsSuffix) {
  EXPECT_EQ(OutputPath(GetParam().source, GetParam().kind), GetParam().output);
}

INSTANTIATE_TEST_SUITE_P(
    Names, OutputPathTest,
    ::testing::Values(NameRow{"C:\\data\\run01.xbm", OutputKind::Rpt, "C:\\data\\run01.RPT"},
                      NameRow{"D:\\scan\\run7", OutputKind::Xbm, "D:\\scan\\run7_.XBM"},
                      NameRow{"/data/a.b.npd", OutputKind::Npd, "/data/a.b.NPD"},
                      NameRow{"Run01.Xbm", OutputKind::Gsa, "Run01.GSA"},
                      NameRow{"/d/.hidden.xbm", OutputKind::Csv, "/d/.hidden.CSV"},
                      NameRow{"/d/my run \xE8\xA9\xA6\xE6\x96\x99.xbm", OutputKind::Txt,
                              "/d/my run \xE8\xA9\xA6\xE6\x96\x99.TXT"},
                      // the extension is the file name's; any ":" but a drive's belongs to the name
                      NameRow{"/data/scan.v2/run7", OutputKind::Txt, "/data/scan.v2/run7.TXT"},
                      NameRow{"/d/x:1.xbm", OutputKind::Xbm, "/d/x:1_.XBM"}));

TEST(ConvertFileTest, ChangesApplied_RelativeAddsAbsoluteSets_UnreadableWritesNothing) {
  test::TempDir dir;
  FakePrompt prompt;
  ConvertContext context(prompt);
  context.settings.OverWriteCheck = false;
  SpectrumRecord record = bench::GenerateSpectrum(11, 64);
  record.Head.Measure.TwoTheta = 5.0;
  const std::string source = dir / "run01.xbm";
  ASSERT_TRUE(WriteRecordFile(source, record.Data, record.Head, context));
  const auto converted = [&] {
    EXPECT_TRUE(ConvertFile(source, OutputKind::Xbm, SourceKind::Xbm, context));
    SpectrumRecord out;
    EXPECT_TRUE(ReadRecordFile(dir / "run01_.XBM", out));
    return out.Head.Measure;
  };
  context.settings.EnteredEGC = {0.1, 0.03, 1e-6};
  context.settings.TwoThetaValue = 0.0001;
  EXPECT_EQ(converted().EGC, record.Head.Measure.EGC);
  EXPECT_EQ(test::ReadAll(source), test::ReadAll(dir / "run01_.XBM"));  // switches off: the same file
  context.ChangeEGC = context.Change2Theta = true;
  EXPECT_EQ(converted().EGC, (std::array<double, 3>{0.1, 0.03, 1e-6}));
  EXPECT_DOUBLE_EQ(converted().TwoTheta, 5.0001);
  context.settings.TwoThetaMode = 1;
  EXPECT_DOUBLE_EQ(converted().TwoTheta, 0.0001);
  EXPECT_FALSE(ConvertFile(dir / "missing.xbm", OutputKind::Xbm, SourceKind::Xbm, context));
  EXPECT_EQ(prompt.messages, std::vector<std::string>{"Fine NotFound"});
  EXPECT_FALSE(std::filesystem::exists(dir / "missing_.XBM"));
}

TEST(SplitFileListTest, CommaAndSemicolon_TenThousandNamesAtMost) {
  FakePrompt prompt;
  std::vector<std::string> names;
  EXPECT_EQ(SplitFileList("C:\\d\\a.xbm;b.xbm,, c ", names, prompt), 4);
  EXPECT_EQ(names, (std::vector<std::string>{"C:\\d\\a.xbm", "b.xbm", "", " c "}));
  EXPECT_EQ(SplitFileList(std::string(9999, ';'), names, prompt), 10000);
  EXPECT_TRUE(prompt.messages.empty());
  EXPECT_EQ(SplitFileList(std::string(10000, ';'), names, prompt), -1);
  EXPECT_EQ(prompt.messages, std::vector<std::string>{"Too many Files! (Must be set less than 9999)"});
}

}  // namespace
}  // namespace vantor
