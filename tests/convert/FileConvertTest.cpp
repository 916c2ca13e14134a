// SPDX-License-Identifier: GPL-3.0-or-later
// The output's name and splitting the selection into names (the EGC and
// 2Theta changes reach the outputs in tests/data/cli-cases.txt).
#include <gtest/gtest.h>

#include "convert/FileConvert.h"
#include "support/FakePrompt.h"

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

TEST(SplitFileListTest, CommaAndSemicolon_TenThousandNamesAtMost) {
  test::FakePrompt prompt;
  Strings names;
  EXPECT_EQ(SplitFileList("C:\\d\\a.xbm;b.xbm,, c ", names, prompt), 4);
  EXPECT_EQ(names, (Strings{"C:\\d\\a.xbm", "b.xbm", "", " c "}));
  EXPECT_EQ(SplitFileList(std::string(9999, ';'), names, prompt), 10000);  // one more: a row of ConvertRunTest
  EXPECT_TRUE(prompt.messages.empty());
}

}  // namespace
}  // namespace vantor
