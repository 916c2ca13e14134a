// Writers on failing disks and in hostile folders, readers on sources that
// are not what their name says. Every writer and reader of the format table
// is covered as soon as it is in the table. A failed write must leave the
// old file byte for byte, no temporary file, "Open Error" and false.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <climits>
#include <filesystem>

#include "convert/ConvertRun.h"
#include "convert/FileConvert.h"
#include "formats/FormatTable.h"
#include "formats/RecordFile.h"
#include "support/ChildProcess.h"
#include "support/FakePrompt.h"
#include "support/TestFiles.h"

namespace vantor {
namespace {

namespace fs = std::filesystem;
using test::FakePrompt;
using test::RunInChild;
using test::TempDir;

SpectrumRecord SampleRecord(int channels) {
  SpectrumRecord r;
  r.Data.DataNumber = static_cast<std::int16_t>(channels);
  for (int i = 0; i < channels; ++i) r.Data.Count[i] = (i * 37) % 5000 + 10;
  AssignText(r.Head.Common.SampleTitle, "Fault injection sample");
  AssignText(r.Head.Common.MeasDate, "20070723");
  AssignText(r.Head.Common.MeasTime, "142530");
  r.Head.Measure.EGC = {0.05, 0.035, 1e-7};
  r.Head.Measure.TwoTheta = 5;
  r.Head.Measure.RealTime = r.Head.Measure.LiveTime = 300;
  return r;
}

std::vector<OutputKind> AvailableWriters() {
  std::vector<OutputKind> kinds;
  for (const auto& f : OutputFormats())
    if (f.write != nullptr) kinds.push_back(f.kind);
  return kinds;
}

std::vector<SourceKind> AvailableReaders() {
  std::vector<SourceKind> kinds;
  for (const auto& f : SourceFormats())
    if (f.read != nullptr) kinds.push_back(f.kind);
  return kinds;
}

// A writer's result and the messages it showed, as one text: "false|Open Error".
std::string WriteReport(OutputKind kind, const std::string& path, const SpectrumRecord& r) {
  FakePrompt prompt;
  ConvertContext context(prompt);
  context.settings.OverWriteCheck = false;
  std::string report = Output(kind).write(path, r.Data, r.Head, context) ? "true" : "false";
  for (const auto& m : prompt.messages) report += "|" + m;
  return report;
}

// ---- A disk that fills up part-way -----------------------------------------

class DiskFull : public testing::TestWithParam<OutputKind> {};

TEST_P(DiskFull, WriteFailsPartWay_OldTargetKeptNoTemporaryOpenError) {
  const OutputKind kind = GetParam();
  const SpectrumRecord record = SampleRecord(2048);
  TempDir reference;
  ASSERT_EQ(WriteReport(kind, reference / "out", record), "true");
  const std::string whole = test::ReadAll(reference / "out");
  ASSERT_GT(whole.size(), 2u);

  TempDir dir;
  const std::string target = dir / "out";
  // Longer than the new file: a stale tail would show after the last write.
  const std::string old = "the user's old file\r\n" + std::string(whole.size(), 'o');
  test::WriteAll(target, old);
  for (const rlim_t limit : {rlim_t{0}, rlim_t{1}, rlim_t{whole.size() / 2}, rlim_t{whole.size() - 1}}) {
    SCOPED_TRACE("file size limit " + std::to_string(limit));
    const auto child = RunInChild([&](std::string& report) { report = WriteReport(kind, target, record); }, 10, limit);
    ASSERT_TRUE(child.finished);
    EXPECT_EQ(child.report, "false|Open Error");
    EXPECT_TRUE(test::ReadAll(target) == old) << "the old target changed";
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"out"});
  }
  // Room for exactly the whole file: the limit, nothing else, made the writes above fail.
  const auto child = RunInChild([&](std::string& report) { report = WriteReport(kind, target, record); }, 10,
                                whole.size());
  ASSERT_TRUE(child.finished);
  EXPECT_EQ(child.report, "true");
  EXPECT_TRUE(test::ReadAll(target) == whole) << "not the whole file";
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"out"});
}

std::string WriterName(const testing::TestParamInfo<OutputKind>& info) { return std::string(Output(info.param).name); }
INSTANTIATE_TEST_SUITE_P(EveryWriter, DiskFull, testing::ValuesIn(AvailableWriters()), WriterName);

// The Convert run shows "Open Error" for each output that did not fit and goes
// on with the next output and the next file.
TEST(DiskFullRun, ConvertFiles_GoesOnWithNextOutputAndFile) {
  OutputChoice outputs{};
  for (const OutputKind kind : AvailableWriters()) outputs[static_cast<int>(kind)] = true;
  const int chosen = static_cast<int>(AvailableWriters().size());
  const auto makeSources = [](const TempDir& dir) {
    const auto big = SampleRecord(kMaxChannels), small = SampleRecord(4);
    test::WriteAll(dir / "big.xbm", RecordFileBytes(big.Data, big.Head));
    test::WriteAll(dir / "small.xbm", RecordFileBytes(small.Data, small.Head));
    return std::vector<SourceFile>{{dir / "big.xbm", SourceKind::Xbm}, {dir / "small.xbm", SourceKind::Xbm}};
  };
  // Sizes of every output, from an unhindered run.
  TempDir reference;
  FakePrompt referencePrompt;
  ConvertContext referenceContext(referencePrompt);
  referenceContext.settings.OverWriteCheck = false;
  ASSERT_EQ(ConvertFiles(makeSources(reference), outputs, referenceContext).written, 2 * chosen);
  std::uintmax_t smallestBig = UINTMAX_MAX, largestSmall = 0;
  for (const auto& output : OutputFormats()) {
    if (output.write == nullptr) continue;
    smallestBig = std::min(smallestBig, fs::file_size(reference / ("big" + std::string(output.suffix))));
    largestSmall = std::max(largestSmall, fs::file_size(reference / ("small" + std::string(output.suffix))));
  }
  ASSERT_LT(largestSmall, smallestBig);

  TempDir dir;
  const auto sources = makeSources(dir);
  test::WriteAll(dir / "big_.XBM", "old output");
  const auto child = RunInChild(
      [&](std::string& report) {
        FakePrompt prompt;
        ConvertContext context(prompt);
        context.settings.OverWriteCheck = false;
        const RunResult result = ConvertFiles(sources, outputs, context);
        report = std::to_string(result.written) + "/" + std::to_string(result.requested);
        for (const auto& m : prompt.messages) report += "|" + m;
      },
      30, smallestBig - 1);
  ASSERT_TRUE(child.finished);
  std::string expected = std::to_string(chosen) + "/" + std::to_string(2 * chosen);
  for (int i = 0; i < chosen; ++i) expected += "|Open Error";
  EXPECT_EQ(child.report, expected + "|Convert Finished");
  EXPECT_EQ(test::ReadAll(dir / "big_.XBM"), "old output");
  std::vector<std::string> expectedEntries{"big.xbm", "big_.XBM", "small.xbm"};
  for (const auto& output : OutputFormats()) {
    if (output.write == nullptr) continue;
    const std::string name = "small" + std::string(output.suffix);
    EXPECT_TRUE(test::ReadAll(dir / name) == test::ReadAll(reference / name)) << name << " differs";
    expectedEntries.push_back(name);
  }
  std::sort(expectedEntries.begin(), expectedEntries.end());
  EXPECT_EQ(dir.Entries(), expectedEntries);
}

// ---- Targets that cannot be written -----------------------------------------

struct BadTarget {
  const char* name;
  std::string (*make)(const TempDir& dir);  // the target path
  bool needsNonRoot;
};

const BadTarget kBadTargets[] = {
    {"ParentIsRegularFile",
     [](const TempDir& d) {
       test::WriteAll(d / "plain", "x");
       return d / "plain" + "/out";
     },
     false},
    {"TargetIsDirectory",
     [](const TempDir& d) {
       fs::create_directory(d / "out");
       return d / "out";
     },
     false},
    {"MissingFolder", [](const TempDir& d) { return d / "missing/out"; }, false},
    {"NameTooLong", [](const TempDir& d) { return d / std::string(NAME_MAX + 1, 'n'); }, false},
    {"PathTooLong",
     [](const TempDir& d) {
       std::string path = d.path().string();
       while (path.size() <= PATH_MAX) path += "/" + std::string(200, 'd');
       return path + "/out";
     },
     false},
    {"FolderWithoutWritePermission",
     [](const TempDir& d) {
       fs::create_directory(d / "locked");
       test::WriteAll(d / "locked/out", "old");
       fs::permissions(d / "locked", fs::perms::owner_read | fs::perms::owner_exec);
       return d / "locked/out";
     },
     true},
};

void PrintTo(const BadTarget& t, std::ostream* os) { *os << t.name; }

// Everything below the folder: names, sizes and file contents.
std::string Snapshot(const fs::path& folder) {
  std::vector<std::string> lines;
  for (const auto& e : fs::recursive_directory_iterator(folder)) {
    const std::string name = fs::relative(e.path(), folder).string();
    lines.push_back(e.is_regular_file() ? name + "=" + test::ReadAll(e.path().string()) : name + "/");
  }
  std::sort(lines.begin(), lines.end());
  std::string all;
  for (const auto& l : lines) all += l + "\n";
  return all;
}

class UnwritableTarget : public testing::TestWithParam<std::tuple<OutputKind, BadTarget>> {};

TEST_P(UnwritableTarget, OpenErrorFalse_FolderUnchanged) {
  const auto& [kind, bad] = GetParam();
  if (bad.needsNonRoot && test::RunningAsRoot())
    GTEST_SKIP() << "root writes into folders without write permission; ParentIsRegularFile covers the "
                    "failing create as root";
  TempDir dir;
  const std::string target = bad.make(dir);
  const std::string before = Snapshot(dir.path());
  EXPECT_EQ(WriteReport(kind, target, SampleRecord(16)), "false|Open Error");
  EXPECT_EQ(Snapshot(dir.path()), before);
}

INSTANTIATE_TEST_SUITE_P(EveryWriter, UnwritableTarget,
                         testing::Combine(testing::ValuesIn(AvailableWriters()), testing::ValuesIn(kBadTargets)),
                         [](const auto& info) {
                           return std::string(Output(std::get<0>(info.param)).name) + "_" +
                                  std::get<1>(info.param).name;
                         });

// ---- Sources that are not regular files, or empty -------------------------

struct BadSource {
  const char* name;
  void (*make)(const std::string& path);
};

const BadSource kBadSources[] = {
    {"Missing", [](const std::string&) {}},
    {"Directory", [](const std::string& p) { fs::create_directory(p); }},
    {"Fifo", [](const std::string& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0); }},
    {"ZeroBytes", [](const std::string& p) { test::WriteAll(p, ""); }},
};

void PrintTo(const BadSource& s, std::ostream* os) { *os << s.name; }

// A zero-byte file holds no spectrum in any format.
std::string ExpectedReport(SourceKind, const std::string& source) {
  return source == "ZeroBytes" ? "false|File Error" : "false|Fine NotFound";
}

class UnreadableListFile : public testing::TestWithParam<BadSource> {};
class UnreadableSource : public testing::TestWithParam<std::tuple<SourceKind, BadSource>> {};

TEST_P(UnreadableSource, ReportedWithoutBlocking_NothingWritten) {
  const auto& [kind, bad] = GetParam();
  TempDir dir;
  const std::string path = dir / ("source." + std::string(Source(kind).name));
  bad.make(path);
  const std::string before = Snapshot(dir.path());
  // In a child with a time limit: opening a FIFO for reading would wait for a writer forever.
  const auto child = RunInChild(
      [&](std::string& report) {
        FakePrompt prompt;
        ConvertContext context(prompt);
        SpectrumRecord record;
        const ReadResult read = Source(kind).read(path, record);
        report = read ? "true" : "false|" + std::string(StatusMessage(read.status));
        context.settings.OverWriteCheck = false;
        for (const OutputKind output : AvailableWriters()) ConvertFile(path, output, kind, context);
      },
      5);
  ASSERT_FALSE(child.timedOut) << "reading blocked";
  ASSERT_TRUE(child.finished);
  EXPECT_EQ(child.report, ExpectedReport(kind, bad.name));
  if (child.report != "true") {
    EXPECT_EQ(Snapshot(dir.path()), before) << "an output was written";
  }
}

INSTANTIATE_TEST_SUITE_P(EveryReader, UnreadableSource,
                         testing::Combine(testing::ValuesIn(AvailableReaders()), testing::ValuesIn(kBadSources)),
                         [](const auto& info) {
                           return std::string(Source(std::get<0>(info.param)).name) + "_" +
                                  std::get<1>(info.param).name;
                         });

// The list file itself: never blocks, a bad one converts nothing.
TEST_P(UnreadableListFile, XliFileErrorWithoutBlocking) {
  TempDir dir;
  const std::string path = dir / "run.xli";
  GetParam().make(path);
  test::WriteAll(dir / "run_0001.xbm", RecordFileBytes(SampleRecord(4).Data, SampleRecord(4).Head));
  const auto child = RunInChild(
      [&](std::string& report) {
        FakePrompt prompt;
        ConvertContext context(prompt);
        OutputChoice outputs{};
        outputs[static_cast<int>(OutputKind::Xbm)] = true;
        report = std::to_string(RunListFile(path, outputs, context).written);
        for (const auto& m : prompt.messages) report += "|" + m;
      },
      5);
  ASSERT_FALSE(child.timedOut) << "reading blocked";
  ASSERT_TRUE(child.finished);
  EXPECT_EQ(child.report, "0|xli File Error");
  EXPECT_FALSE(fs::exists(dir / "run_0001_.XBM"));
}

INSTANTIATE_TEST_SUITE_P(BadListFiles, UnreadableListFile, testing::ValuesIn(kBadSources),
                         [](const auto& info) { return std::string(info.param.name); });

// A source cut short after the run listed it (a copy still in progress, a
// file replaced by another program): its read fails, the run goes on.
class TruncatingPrompt : public FakePrompt {
 public:
  std::string victim;
  void ShowStatus(std::string_view text) override {
    FakePrompt::ShowStatus(text);
    if (text == "1/3") fs::resize_file(victim, 100);
  }
};

TEST(ShrinkingSource, FileCutAfterListing_FileErrorAndRunGoesOn) {
  TempDir dir;
  const auto record = SampleRecord(64);
  for (const char* name : {"a.xbm", "b.xbm", "c.xbm"}) test::WriteAll(dir / name, RecordFileBytes(record.Data, record.Head));
  TruncatingPrompt prompt;
  prompt.victim = dir / "b.xbm";
  ConvertContext context(prompt);
  OutputChoice outputs{};
  outputs[static_cast<int>(OutputKind::Xbm)] = true;
  const RunResult result = ConvertFiles(
      {{dir / "a.xbm", SourceKind::Xbm}, {dir / "b.xbm", SourceKind::Xbm}, {dir / "c.xbm", SourceKind::Xbm}}, outputs,
      context);
  EXPECT_EQ(result.written, 2);
  EXPECT_EQ(prompt.messages, (std::vector<std::string>{"File Error", "Convert Finished"}));
  EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"a.xbm", "a_.XBM", "b.xbm", "c.xbm", "c_.XBM"}));
  EXPECT_EQ(fs::file_size(dir / "b.xbm"), 100u);
}

}  // namespace
}  // namespace vantor
