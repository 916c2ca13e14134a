// SPDX-License-Identifier: GPL-3.0-or-later
// Converting side by side gives the bytes, messages and counts of one file
// after another. Also run under ThreadSanitizer (test.sh, "Parallel").
#include <gtest/gtest.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/syscall.h>

#include <algorithm>
#include <atomic>
#include <cstddef>

#include "base/FileAccess.h"
#include "bench/SpectrumGenerator.h"
#include "convert/ParallelConvert.h"
#include "formats/RecordFile.h"
#include "support/FakePrompt.h"
#include "support/TestFiles.h"

namespace vantor {
namespace {

// Names the file of a file message and shows notes, as the command line does.
struct NamingPrompt : test::FakePrompt {
  void FileMessage(std::string_view path, std::string_view text, std::string_view reason) override {
    messages.push_back(std::string(path) + ": " + std::string(text) + " (" + std::string(reason) + ")");
  }
  void Note(std::string_view text) override { messages.emplace_back(text); }
};

struct Outcome {
  NamingPrompt prompt;
  std::vector<std::string> entries, bytes;
  RunResult result;
};

// Forty files in a fresh folder: good ones, cut ones, missing ones, one of
// counts so large that its GSA output says so, a pair whose outputs are the
// same files (a.xbm, a.XBM), one file listed four times in a row and one
// with an output already there; converted with `jobs` at once.
Outcome ConvertFolder(unsigned jobs) {
  test::TempDir dir;
  std::vector<SourceFile> files;
  for (int i = 0; i < 40; ++i) {
    const std::string name = dir / ("run" + std::to_string(i) + ".xbm");
    auto r = bench::GenerateSpectrum(static_cast<std::uint32_t>(i), i == 0 ? 8192 : 64 + i);  // run0 takes a while
    if (i == 20) r.Data.Count[0] = 2'000'000'000;
    std::string bytes = RecordFileBytes(r.Data, r.Head);
    if (i % 7 == 3) bytes.resize(2070 + i);                          // cut short
    EXPECT_TRUE(i % 11 == 5 || ReplaceFileAtomically(name, bytes));  // 5, 16, 27 and 38 missing
    files.push_back({name, "xbm"});
  }
  test::WriteAll(dir / "run8.TXT", "kept");
  test::WriteAll(dir / "a.xbm", test::ReadAll(dir / "run1.xbm"));
  test::WriteAll(dir / "a.XBM", test::ReadAll(dir / "run2.xbm"));
  files.insert(files.begin() + 10, {dir / "a.xbm", "xbm"});
  files.insert(files.begin() + 11, {dir / "a.XBM", "xbm"});
  files.insert(files.begin() + 1, 3, files[0]);

  Outcome out;
  ConvertContext context(out.prompt);
  OutputChoice outputs{};
  outputs.fill(true);
  out.result = ConvertBatch(files, outputs, context, {jobs, false});
  const std::string folder = dir.path().string();
  for (auto* list : {&out.prompt.messages, &out.prompt.questions})
    for (auto& m : *list)
      for (auto at = m.find(folder); at != std::string::npos; at = m.find(folder)) m.replace(at, folder.size(), "@");
  out.entries = dir.Entries();
  for (const auto& e : out.entries) out.bytes.push_back(test::ReadAll(dir / e));
  return out;
}

TEST(ParallelConvert, SideBySideEqualsOneAfterAnother) {
  const Outcome serial = ConvertFolder(1), parallel = ConvertFolder(4);
  const auto talk = [](const Outcome& o) { return std::tie(o.prompt.messages, o.prompt.questions, o.prompt.statuses); };
  EXPECT_EQ(talk(parallel), talk(serial));
  EXPECT_EQ(parallel.entries, serial.entries);
  EXPECT_TRUE(parallel.bytes == serial.bytes);

  // 45 files: 5 cut, 4 missing; the second "a" and the repeats of run0
  // would write the outputs of the first, and are refused; run8 finds an
  // output there.
  const RunResult& r = parallel.result;
  EXPECT_EQ(SummaryText(r), "45 files: 31 converted, 13 failed, 1 skipped");
  EXPECT_EQ(r.requested, 45 * 6);
  EXPECT_EQ(r.written, 31 * 6 + 5);
  const test::FakePrompt& said = serial.prompt;
  EXPECT_EQ(said.questions, std::vector<std::string>{"File already exist. Replace?(@/run8.TXT)"});
  EXPECT_NE(std::find(said.messages.begin(), said.messages.end(), "run20.GSA: counts divided by 10^4"),
            said.messages.end());
  EXPECT_EQ(said.messages[0], "@/run0.xbm: @/run0.CSV is also the output of @/run0.xbm ()");
  EXPECT_EQ(said.messages[5], "@/a.XBM: @/a.CSV is also the output of @/a.xbm ()");
  EXPECT_EQ(said.messages.back(), "Convert Finished");
  EXPECT_EQ(said.statuses.back(), "Finished");
}

// Where the system refuses to start threads (here a filter on the thread
// system calls, in a child process) the batch is converted one file at a time.
// The child ends with _Exit: a leak check at exit would need a thread.
TEST(ParallelConvert, NoThreadsToBeHad_OneFileAtATime) {
#ifdef __SANITIZE_THREAD__
  GTEST_SKIP() << "the thread sanitizer needs threads of its own";
#endif
  test::TempDir dir;
  const auto r = bench::GenerateSpectrum(1, 16);
  test::WriteAll(dir / "a.xbm", RecordFileBytes(r.Data, r.Head));
  const auto convert = [&] {
    sock_filter refuse[] = {
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_clone, 2, 0), BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_clone3, 1, 0),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW), BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | EAGAIN)};
    const sock_fprog program{std::size(refuse), refuse};
    if (::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0 || ::prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) != 0)
      std::_Exit(3);
    NamingPrompt prompt;
    ConvertContext context(prompt);
    OutputChoice txt{};
    txt[static_cast<int>(OutputKind::Txt)] = true;
    const RunResult result = ConvertBatch({{dir / "a.xbm", "xbm"}, {dir / "b.xbm", "xbm"}}, txt, context, {4, false});
    std::_Exit(SummaryText(result) == "2 files: 1 converted, 1 failed, 0 skipped" && prompt.statuses.size() == 3 ? 0
                                                                                                                 : 1);
  };
  EXPECT_EXIT(convert(), ::testing::ExitedWithCode(0), "");
  EXPECT_TRUE(std::filesystem::exists(dir / "a.TXT"));
}

// A batch fed one file at a time (missing files, each failing at once)
// holds only its window of files, however long the list, and ends cleanly
// when the list ends before its count. The feed is its own prompt: the
// statuses tell how far the reports have come.
class CountingFeed final : public FileFeed, public test::FakePrompt {
 public:
  CountingFeed(std::size_t count, std::size_t given) : count_(count), given_(given) {}
  std::size_t Count() const override { return count_; }
  bool AnyCsv() const override { return false; }
  std::optional<SourceFile> Next() override {
    if (taken_ == given_) return std::nullopt;
    mostAhead = std::max(mostAhead, ++taken_ - reported_);
    return SourceFile{"/nonexistent/run" + std::to_string(taken_) + ".xbm", "xbm"};
  }
  // The batch looks at every file's paths first: only the conversion counts.
  void Rewind() override { taken_ = 0, mostAhead = 0; }
  void ShowStatus(std::string_view text) override { FakePrompt::ShowStatus(text), reported_ = statuses.size(); }
  std::size_t mostAhead = 0;

 private:
  std::size_t count_, given_, taken_ = 0;
  std::atomic<std::size_t> reported_ = 0;
};

TEST(ParallelFeed, HoldsOnlyTheWindow_EndsWhenTheListEndsEarly) {
  for (const auto& [count, given] : {std::pair<std::size_t, std::size_t>{500, 500}, {500, 37}}) {
    CountingFeed feed(count, given);
    ConvertContext context(feed);
    OutputChoice outputs{};
    outputs[0] = true;
    const RunResult result = ConvertBatch(feed, outputs, context, {2, false});
    EXPECT_EQ(result.files, static_cast<int>(given));
    EXPECT_EQ(result.failed, static_cast<int>(given));
    EXPECT_EQ(feed.statuses.at(given - 1), std::to_string(given) + "/" + std::to_string(count));
    EXPECT_LE(feed.mostAhead, 4u * 2 + 1);  // the window of 4 per job, and the one being reported
  }
}

// A list too long for the check's memory whose temporary files cannot be
// written (a full disk, as a file-size limit): nothing is converted, the
// reason is said once and the busy pointer goes.
TEST(ParallelFeed, NoRoomToCheckTheList_NothingConverted) {
  CountingFeed feed(4000, 4000);
  ConvertContext context(feed);
  OutputChoice outputs{};
  outputs.fill(true);
  rlimit saved{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
  const auto previous = ::signal(SIGXFSZ, SIG_IGN);
  const rlimit none{0, saved.rlim_max};
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &none), 0);
  const RunResult result = ConvertBatch(feed, outputs, context, {2, false});
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &saved), 0);
  ::signal(SIGXFSZ, previous);
  EXPECT_TRUE(!result.completed && result.files == 0 && feed.statuses.empty());
  EXPECT_EQ(feed.messages, std::vector<std::string>{"Convert Error (cannot keep sorted lines: File too large)"});
  EXPECT_FALSE(feed.busy);
}

TEST(ParallelConvert, PathKeysMeetAcrossCaseAndOutputFolders) {
  OutputChoice csv{};
  csv[static_cast<int>(OutputKind::Csv)] = true;
  const auto keys = [&](const char* path, const char* folder = "") {
    return PathKeys({path, "csv"}, csv, folder, "/w");
  };
  EXPECT_EQ(keys("d/A.csv")[0], "/w/d/a.csv");
  EXPECT_EQ(PathKeys({"d/a.csv", "csv"}, csv, "", "/")[0], "/d/a.csv");
  // d/a.csv writes d/a.CSV, which is d/x/../A.csv read, folded.
  EXPECT_EQ(keys("d/a.csv")[1], keys("d/x/../A.csv")[0]);
  EXPECT_EQ(keys("d/a.xbm", "out")[1], keys("e/A.xbm", "out")[1]);
  EXPECT_NE(keys("d/a.xbm")[1], keys("e/a.xbm")[1]);
}

}  // namespace
}  // namespace vantor
