// SPDX-License-Identifier: GPL-3.0-or-later
// One file into one output: the output's name, the EGC and 2Theta changes;
// splitting the selection into names.
#include <gtest/gtest.h>

#include "bench/SpectrumGenerator.h"
#include "convert/FileConvert.h"
#include "formats/RecordFile.h"
#include "support/FakePrompt.h"
#include "support/TestFiles.h"

namespace vantor {
namespace {

using Strings = std::vector<std::string>;

// The source's name with the output's suffix; the extension is the file
// name's, and any ":" but a drive's belongs to the name.
TEST(OutputPathTest, SourceNameWithTheOutputsSuffix) {
  const std::tuple<const char*, OutputKind, const char*> rows[] = {
      {"C:\\data\\run01.xbm", OutputKind::Rpt, "C:\\data\\run01.RPT"},
      {"D:\\scan\\run7", OutputKind::Xbm, "D:\\scan\\run7_.XBM"},
      {"/data/a.b.npd", OutputKind::Npd, "/data/a.b.NPD"},
      {"Run01.Xbm", OutputKind::Gsa, "Run01.GSA"},
      {"/d/.hidden.xbm", OutputKind::Csv, "/d/.hidden.CSV"},
      {"/data/scan.v2/run7", OutputKind::Txt, "/data/scan.v2/run7.TXT"},
      {"/d/x:1.xbm", OutputKind::Xbm, "/d/x:1_.XBM"}};
  for (const auto& [source, kind, output] : rows) EXPECT_EQ(OutputPath(source, kind), output);
}

// Switches off: the same file; EGC replaced; 2Theta relative adds,
// absolute sets; an unreadable source writes nothing.
TEST(ConvertFileTest, ChangesApplied_UnreadableWritesNothing) {
  test::TempDir dir;
  test::FakePrompt prompt;
  ConvertContext context(prompt);
  context.settings.OverWriteCheck = false;
  SpectrumRecord record = bench::GenerateSpectrum(11, 64);
  record.Head.Measure.TwoTheta = 5.0;
  const std::string source = dir / "run01.xbm";
  ASSERT_TRUE(WriteRecordFile(source, record.Data, record.Head, context));
  const auto converted = [&] {
    SpectrumRecord out;
    EXPECT_TRUE(ConvertFile(source, OutputKind::Xbm, SourceKind::Xbm, context));
    EXPECT_TRUE(ReadRecordFile(dir / "run01_.XBM", out));
    return out.Head.Measure;
  };
  context.settings.EnteredEGC = {0.1, 0.03, 1e-6};
  context.settings.TwoThetaValue = 0.0001;
  EXPECT_EQ(converted().EGC, record.Head.Measure.EGC);
  EXPECT_EQ(test::ReadAll(source), test::ReadAll(dir / "run01_.XBM"));
  context.ChangeEGC = context.Change2Theta = true;
  EXPECT_EQ(converted().EGC, (std::array<double, 3>{0.1, 0.03, 1e-6}));
  EXPECT_DOUBLE_EQ(converted().TwoTheta, 5.0001);
  context.settings.TwoThetaMode = 1;
  EXPECT_DOUBLE_EQ(converted().TwoTheta, 0.0001);
  EXPECT_FALSE(ConvertFile(dir / "missing.xbm", OutputKind::Xbm, SourceKind::Xbm, context));
  EXPECT_EQ(prompt.messages, Strings{"Fine NotFound"});
  EXPECT_EQ(dir.Entries(), (Strings{"run01.xbm", "run01_.XBM"}));
}

TEST(SplitFileListTest, CommaAndSemicolon_TenThousandNamesAtMost) {
  test::FakePrompt prompt;
  Strings names;
  EXPECT_EQ(SplitFileList("C:\\d\\a.xbm;b.xbm,, c ", names, prompt), 4);
  EXPECT_EQ(names, (Strings{"C:\\d\\a.xbm", "b.xbm", "", " c "}));
  EXPECT_EQ(SplitFileList(std::string(9999, ';'), names, prompt), 10000);
  EXPECT_TRUE(prompt.messages.empty());
  EXPECT_EQ(SplitFileList(std::string(10000, ';'), names, prompt), -1);
  EXPECT_EQ(prompt.messages, Strings{"Too many Files! (Must be set less than 9999)"});
}

}  // namespace
}  // namespace vantor
