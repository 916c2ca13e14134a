// The end of every text writer: the overwrite question, atomic replacement
// and "Open Error", and the special cases of the GSA counts.
#include <gtest/gtest.h>

#include <filesystem>

#include "base/ConvertContext.h"
#include "formats/Npd.h"
#include "tests/support/FakePrompt.h"
#include "tests/support/TestFiles.h"
#include "tests/formats/WriterRecords.h"
#include "formats/Csv.h"
#include "formats/Gsa.h"
#include "formats/Rpt.h"
#include "formats/Txt.h"

namespace vantor::test {
namespace {

using WriteFn = bool (*)(const std::string&, const SpecData&, const Header&, ConvertContext&);
using BodyFn = void (*)(std::string&, const SpecData&, const Header&);

struct WriterRow {
  const char* name;
  WriteFn write;
  BodyFn body;
  bool questionShowsPath;  // else the fixed text "...(" + name + ")"
};

std::ostream& operator<<(std::ostream& os, const WriterRow& row) {
  return os << row.name;
}

class SaveOutputOf : public ::testing::TestWithParam<WriterRow> {
 protected:
  TempDir dir;
  FakePrompt prompt;
  ConvertContext context{prompt};
  SpectrumRecord record = SampleRecord();
  std::string path = dir / "run01.out";

  bool Write() { return GetParam().write(path, record.Data, record.Head, context); }
  std::string Expected() const {
    std::string bytes;
    GetParam().body(bytes, record.Data, record.Head);
    return bytes;
  }
  std::string Question() const {
    return GetParam().questionShowsPath ? "File already exist. Replace?(" + path + ")"
                                        : std::string("File already exist. Replace?(") + GetParam().name + ")";
  }
};

TEST_P(SaveOutputOf, NewFile_IsWrittenWithoutQuestion) {
  EXPECT_TRUE(Write());
  EXPECT_EQ(ReadAll(path), Expected());
  EXPECT_TRUE(prompt.questions.empty());
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"run01.out"});
}

TEST_P(SaveOutputOf, ExistingFileAnswerYes_IsReplaced) {
  WriteAll(path, "old contents that are longer than nothing at all");
  prompt.answers = {true};
  EXPECT_TRUE(Write());
  EXPECT_EQ(ReadAll(path), Expected());
  EXPECT_EQ(prompt.questions, std::vector<std::string>{Question()});
}

TEST_P(SaveOutputOf, ExistingFileAnswerNo_IsLeftAlone) {
  WriteAll(path, "old");
  prompt.answers = {false};
  EXPECT_FALSE(Write());
  EXPECT_EQ(ReadAll(path), "old");
  EXPECT_EQ(prompt.questions, std::vector<std::string>{Question()});
  EXPECT_TRUE(prompt.messages.empty());
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"run01.out"});
}

TEST_P(SaveOutputOf, OverWriteCheckOff_ReplacesWithoutQuestion) {
  WriteAll(path, "old");
  context.settings.OverWriteCheck = false;
  EXPECT_TRUE(Write());
  EXPECT_EQ(ReadAll(path), Expected());
  EXPECT_TRUE(prompt.questions.empty());
}

// Failures of the file work itself (full disk, unwritable folders, a folder
// in the way) are covered for every writer by the fault-injection tests.
TEST_P(SaveOutputOf, ChannelCountBeyondRecord_ReportsOpenErrorAndWritesNothing) {
  record.Data.DataNumber = kMaxChannels + 1;
  EXPECT_FALSE(Write());
  EXPECT_EQ(prompt.messages, std::vector<std::string>{"Open Error"});
  EXPECT_TRUE(dir.Entries().empty());
}

INSTANTIATE_TEST_SUITE_P(Writers, SaveOutputOf,
                         ::testing::Values(WriterRow{"RPT", WriteRptFile, WriteRptBody, true},
                                           WriterRow{"TXT", WriteTxtFile, WriteTxtBody, true},
                                           WriterRow{"CSV", WriteCsvFile, WriteCsvBody, true},
                                           WriterRow{"GSA", WriteGsaFile, WriteGsaBody, false},
                                           WriterRow{"NPD", WriteNpdFile, WriteNpdBody, false}),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- GSA counts: scaling threshold and right-fitting to 8 ----

struct GsaRow {
  std::int32_t first, second;
  const char* fields;  // the two fields as written
};

class GsaCounts : public ::testing::TestWithParam<GsaRow> {};

TEST_P(GsaCounts, TwoCounts_WrittenAsTheirFields) {
  SpectrumRecord r = SampleRecord();
  r.Data.DataNumber = 2;
  r.Data.Count[0] = GetParam().first;
  r.Data.Count[1] = GetParam().second;
  std::string out;
  WriteGsaBody(out, r.Data, r.Head);
  std::string fill;
  for (int i = 0; i < 8; ++i) fill += "       0";
  EXPECT_EQ(SplitCrLf(out).at(2), GetParam().fields + fill);
}

TEST(GsaBank, NegativeChannelCount_RoundsRecordCountTowardZeroAndWritesNoData) {
  SpectrumRecord r = SampleRecord();
  r.Data.DataNumber = -15;
  std::string out;
  WriteGsaBody(out, r.Data, r.Head);
  const auto lines = SplitCrLf(out);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[1].substr(0, 21), "BANK 1 -15   -1  EDS ");
}

INSTANTIATE_TEST_SUITE_P(
    Rows, GsaCounts,
    ::testing::Values(GsaRow{999'999, -99'999, "  999999  -99999"},      // six characters: as they are
                      GsaRow{15, 1'000'000, "       1  100000"},         // seven: all written as tenths
                      GsaRow{-19, 99'999'999, "       0  999999"},       // hundredths, truncated toward zero
                      GsaRow{-100'000, 5, "  -10000       0"},           // negatives scale as well
                      GsaRow{INT32_MAX, INT32_MIN, "   21474  -21474"},  // 10^5
                      GsaRow{0, -1, "       0      -1"}));

}  // namespace
}  // namespace vantor::test
