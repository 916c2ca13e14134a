// The end of every text writer: the overwrite question, atomic replacement
// and "Open Error", and the special cases of the GSA counts.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <filesystem>

#include "convert/ConvertContext.h"
#include "npd/NpdWriter.h"
#include "tests/support/FakePrompt.h"
#include "tests/support/TestFiles.h"
#include "tests/writers/WriterRecords.h"
#include "writers/CsvWriter.h"
#include "writers/GsaWriter.h"
#include "writers/RptWriter.h"
#include "writers/TxtWriter.h"

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

TEST_P(SaveOutputOf, FolderIsAFile_ReportsOpenError) {
  WriteAll(dir / "plain", "x");
  path = dir / "plain" + "/run01.out";  // creation fails even for root
  EXPECT_FALSE(Write());
  EXPECT_EQ(prompt.messages, std::vector<std::string>{"Open Error"});
  EXPECT_EQ(ReadAll(dir / "plain"), "x");
}

TEST_P(SaveOutputOf, UnwritableFolder_LeavesOldFileIntact) {
  if (RunningAsRoot())
    GTEST_SKIP() << "root writes into read-only folders; WriteFailsHalfWay covers the failure for root";
  WriteAll(path, "old");
  context.settings.OverWriteCheck = false;
  std::filesystem::permissions(dir.path(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
  EXPECT_FALSE(Write());
  std::filesystem::permissions(dir.path(), std::filesystem::perms::owner_all);
  EXPECT_EQ(ReadAll(path), "old");
  EXPECT_EQ(prompt.messages, std::vector<std::string>{"Open Error"});
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"run01.out"});
}

// A write that fails half-way (as on a full disk), also for root: the file
// size limit stops the temporary file after 1000 bytes.
TEST_P(SaveOutputOf, WriteFailsHalfWay_LeavesOldFileAndNoTemporary) {
  WriteAll(path, "old");
  context.settings.OverWriteCheck = false;
  record.Data.DataNumber = 2048;
  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  const auto savedHandler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = saved;
  small.rlim_cur = 1000;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const bool written = Write();
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, savedHandler);
  EXPECT_FALSE(written);
  EXPECT_EQ(ReadAll(path), "old");
  EXPECT_EQ(prompt.messages, std::vector<std::string>{"Open Error"});
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"run01.out"});
}

TEST_P(SaveOutputOf, TargetIsAFolder_StaysAndReportsOpenError) {
  std::filesystem::create_directory(path);
  WriteAll(path + "/inside", "kept");
  context.settings.OverWriteCheck = false;
  EXPECT_FALSE(Write());
  EXPECT_EQ(ReadAll(path + "/inside"), "kept");
  EXPECT_EQ(prompt.messages, std::vector<std::string>{"Open Error"});
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"run01.out"});  // no temporary left
}

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
    ::testing::Values(GsaRow{15, 9'999'999, "      15 9999999"},         // below the threshold
                      GsaRow{15, 10'000'000, "       1 1000000"},        // at it: all divided by ten
                      GsaRow{-19, 99'999'999, "      -1 9999999"},       // truncated toward zero
                      GsaRow{-10'000'000, 5, "10000000       5"},        // negatives never scale; "-" cut off
                      GsaRow{INT32_MAX, INT32_MIN, "1474836414748364"},  // scaled, then the last eight
                      GsaRow{0, -1, "       0      -1"}));

}  // namespace
}  // namespace vantor::test
