// SPDX-License-Identifier: GPL-3.0-or-later
// The output's name, one output written, and splitting the selection into
// names (the EGC and 2Theta changes reach the outputs in
// tests/data/cli-cases.txt).
#include <gtest/gtest.h>

#include "bench/SpectrumGenerator.h"
#include "convert/FileConvert.h"
#include "convert/OutputFile.h"
#include "formats/FormatTable.h"
#include "support/DataRows.h"
#include "support/FakePrompt.h"
#include "support/TestFiles.h"

namespace vantor {
namespace {

using Strings = std::vector<std::string>;

// The rows of tests/data/output-paths.tsv.
TEST(OutputPathTest, SourceNameWithTheOutputsSuffix) {
  for (const auto& row : test::DataRows("output-paths.tsv"))  // source, output, name, the line
    EXPECT_EQ(OutputPath(row[0], FindOutput(row[1])->kind), row[2]) << row.back();
  // Elements of a file of several spectra, in a folder or beside it.
  const std::pair<std::string, std::string> tagged[] = {
      {OutputPath("d/COSI.med", OutputKind::Npd, "", ElementTag(2, 10)), "d/COSI_e03.NPD"},
      {OutputPath("d/x.med", OutputKind::Xbm, "out", ElementTag(0, 153)), "out/x_e001_.XBM"},
      {OutputPath("x.med", OutputKind::Txt, "", ElementTag(3, 4)), "x_e4.TXT"},
      {OutputPath("x.med", OutputKind::Txt, "", ElementTag(0, 1)), "x.TXT"}};
  for (const auto& [made, expected] : tagged) EXPECT_EQ(made, expected);
}

// Every format through the same steps: its bytes under the name given, the
// question before an existing file is replaced (a No keeps it), the note
// about the file named by its file name, "Open Error" with the reason.
TEST(WriteOutputFile, BytesQuestionNoteFailure) {
  for (const auto& output : OutputFormats()) {
    SCOPED_TRACE(output.name);
    test::TempDir dir;
    test::FakePrompt prompt;
    ConvertContext context(prompt);
    SpectrumRecord r = bench::GenerateSpectrum(5, 32);
    r.Data.Count[3] = 12'345'678;  // GSA writes hundredths
    const std::string path = dir / "run7.out";
    ASSERT_EQ(WriteOutputFile(output, path, r, context).state, SaveState::Written);
    EXPECT_TRUE(test::ReadAll(path) == output.encode(r).bytes);
    EXPECT_EQ(WriteOutputFile(output, path, r, context).state, SaveState::Declined);  // the fake user answers No
    const bool named = output.kind == OutputKind::Gsa || output.kind == OutputKind::Npd;
    EXPECT_EQ(prompt.questions.at(0), ReplaceQuestion(named ? output.suffix.substr(1) : path));
    EXPECT_EQ(prompt.notes, Strings(output.kind == OutputKind::Gsa ? 1 : 0, "run7.out: counts written as hundredths"));
    const Saved failed = WriteOutputFile(output, dir / "none/x", r, context);
    EXPECT_TRUE(failed.state == SaveState::Failed && !failed.why.empty());
    EXPECT_EQ(prompt.messages, Strings{"Open Error"});
  }
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
