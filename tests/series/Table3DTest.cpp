// SPDX-License-Identifier: GPL-3.0-or-later
// 3D Data: the table's text, its output name, and a whole run over NPD files.
#include <gtest/gtest.h>

#include "base/FileAccess.h"
#include "formats/Npd.h"
#include "series/File3D.h"
#include "series/FileCombine.h"
#include "support/FakePrompt.h"
#include "support/TestFiles.h"
#include "tests/formats/WriterRecords.h"

namespace vantor {
namespace {

// Two columns, 12, 13, ... and 30, -1, -2, ...; a quadratic term the table
// must ignore; no d value without an angle or an energy, or where either is
// below 0.
TEST(TableText, WorkedExample_OutputNames) {
  const auto lines = [](double twoTheta, std::array<double, 3> egc) {
    std::vector<std::int32_t> counts(2 * kTableRows);
    for (int c = 0; c < kTableRows; ++c) counts[c] = 12 + c, counts[kTableRows + c] = c == 0 ? 30 : -c;
    MeasureCondition m;
    m.EGC = egc, m.TwoTheta = twoTheta;
    return test::SplitCrLf(TableText({"a.b.npd", "b"}, counts, m));
  };
  const auto example = lines(5, {0.266730, 0.042192, 0.5});
  ASSERT_EQ(example.size(), 1u + kTableRows);
  EXPECT_EQ(example[0] + example[1] + example[2],
            "Channel, Energy,d Value,a,b 1 ,0.309,460.041,12,30 2 ,0.351,404.760,13,-1");
  EXPECT_EQ(example[kTableRows], " 4096 ,173.085,0.821,4107,-4095");
  EXPECT_EQ(lines(0, {0.266730, 0.042192, 0})[1], " 1 ,0.309,,12,30");
  EXPECT_EQ(lines(5, {-0.042192, 0.042192, 0})[1], " 1 ,0.000,,12,30");
  EXPECT_EQ(lines(-5, {0.266730, 0.042192, 0})[1], " 1 ,0.309,,12,30");
  EXPECT_EQ(lines(5, {-0.1, 0.042192, 0})[1], " 1 ,-0.058,,12,30");
  for (const auto& [chosen, path] : {std::pair{"D:\\run.1\\out.txt", "D:\\run.1\\out.csv"},
                                     {"/data/run.1/out", "/data/run.1/out.csv"},
                                     {"/data/.table", "/data/.table.csv"}})
    EXPECT_EQ(TableOutputPath(chosen), path);
}

// Short files fill 4096 rows with zeros; the last file's calibration; the
// run stops on an empty selection, a cancelled dialog, an unreadable file
// and a declined replacement.
TEST(Table3DRun, ShortFiles_LastFilesCalibration_StopsWithoutWriting) {
  test::TempDir dir;
  test::FakePrompt prompt;
  ConvertContext context(prompt);
  for (const auto& [name, first, egc] :
       {std::tuple{"a.b.npd", 12, std::array{0.1, 0.2, 0.3}}, {"b.npd", 30, std::array{0.266730, 0.042192, 0.0}}}) {
    SpectrumRecord r;
    r.Head.Measure.EGC = egc, r.Head.Measure.TwoTheta = 5, r.Data.DataNumber = 2048;
    for (int i = 0; i < 2048; ++i) r.Data.Count[i] = first + i;
    test::WriteAll(dir / name, EncodeNpd(r).bytes);
  }
  const auto run = [&](const char* selection) {
    return static_cast<bool>(Run3DData(dir.path().string(), SplitSelection(selection), context));
  };
  EXPECT_FALSE(run(""));
  EXPECT_FALSE(run("b.npd"));  // no save name: the dialog was cancelled
  prompt.saveName = dir / "table.txt";
  EXPECT_FALSE(run("gone.npd"));
  EXPECT_EQ(prompt.messages.front() + "|" + prompt.messages.back(), "Plz Enter File Name!|File Error: gone.npd");
  ASSERT_TRUE(run("a.b.npd;b.npd"));
  EXPECT_EQ(prompt.messages.back(), "Done");
  const auto lines = test::SplitCrLf(test::ReadAll(dir / "table.csv"));
  ASSERT_EQ(lines.size(), 1u + kTableRows);
  EXPECT_EQ(lines[1], " 1 ,0.309,460.041,12,30");
  EXPECT_TRUE(lines[2048].ends_with(",2059,2077") && lines[2049].starts_with(" 2049 ,") &&
              lines[2049].ends_with(",0,0"));
  prompt.answers = {false};
  EXPECT_FALSE(run("b.npd"));
  EXPECT_EQ(prompt.questions, std::vector<std::string>{ReplaceQuestion(dir / "table.csv")});
  EXPECT_EQ(test::SplitCrLf(test::ReadAll(dir / "table.csv"))[1], " 1 ,0.309,460.041,12,30");
}

}  // namespace
}  // namespace vantor
