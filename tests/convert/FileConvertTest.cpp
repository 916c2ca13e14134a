// SPDX-License-Identifier: GPL-3.0-or-later
// The output's name and splitting the selection into names (the EGC and
// 2Theta changes reach the outputs in tests/data/cli-cases.txt).
#include <gtest/gtest.h>

#include "convert/FileConvert.h"
#include "formats/FormatTable.h"
#include "support/DataRows.h"
#include "support/FakePrompt.h"

namespace vantor {
namespace {

using Strings = std::vector<std::string>;

// The rows of tests/data/output-paths.tsv.
TEST(OutputPathTest, SourceNameWithTheOutputsSuffix) {
  for (const auto& row : test::DataRows("output-paths.tsv"))  // source, output, name, the line
    EXPECT_EQ(OutputPath(row[0], FindOutput(row[1])->kind), row[2]) << row.back();
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
