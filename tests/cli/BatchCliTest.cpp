// SPDX-License-Identifier: GPL-3.0-or-later
// vantor-cli at batch scale: messages that name the file, the summary,
// --quiet, -j, --files-from, folders, --out-dir and watch.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <thread>

#include "base/FileAccess.h"
#include "bench/SpectrumGenerator.h"
#include "formats/Npd.h"
#include "formats/RecordFile.h"
#include "support/RunCli.h"

namespace vantor {
namespace {

namespace fs = std::filesystem;
using test::ReadAll;

class BatchCliTest : public ::testing::Test {
 protected:
  void Record(const std::string& name, int channels = 256, std::size_t cut = 0) {
    const auto r = bench::GenerateSpectrum(7, channels);
    std::string bytes = RecordFileBytes(r.Data, r.Head);
    if (cut > 0) bytes.resize(cut);
    fs::create_directories(fs::path(dir / name).parent_path());
    ASSERT_TRUE(ReplaceFileAtomically(dir / name, bytes));
  }
  void Profile(const std::string& name) {
    const auto r = bench::GenerateSpectrum(7, 64);
    std::string bytes;
    WriteNpdBody(bytes, r.Data, r.Head);
    fs::create_directories(fs::path(dir / name).parent_path());
    ASSERT_TRUE(ReplaceFileAtomically(dir / name, bytes));
  }
  // "@" in arguments and expected texts stands for the test folder.
  std::string At(std::string text) const {
    for (auto at = text.find('@'); at != std::string::npos; at = text.find('@', at + 1))
      text.replace(at, 1, dir.path().string());
    return text;
  }
  test::CliRun Cli(const std::string& arguments, const std::string& input = "/dev/null") {
    return test::RunCli(At(arguments), input);
  }

  test::TempDir dir;
};

TEST_F(BatchCliTest, MessagesNameTheFile_SummaryLast_SameForEveryJobCount) {
  Record("good.xbm");
  Record("cut.xbm", 1024, 3000);
  const std::string files = " --to txt @/good.xbm @/cut.xbm @/missing.xbm";
  const std::string named =
      "@/cut.xbm: File Error (file ends at byte 3000; the header promises 6166 bytes)\n"
      "@/missing.xbm: Fine NotFound (No such file or directory)\n";
  const std::string summary = "3 files: 1 converted, 2 failed, 0 skipped\n";
  for (const std::string options : {"", "-j 1", "-j 3", "--jobs 2"}) {
    const auto run = Cli("convert --force " + options + files);
    EXPECT_EQ(run.exitCode, 1) << options;
    EXPECT_EQ(run.err, At(named + "Convert Finished\n" + summary)) << options;
  }
  const auto quiet = Cli("convert --quiet" + files);
  EXPECT_EQ(quiet.err,
            At("File already exist. Replace?(@/good.TXT)\n" + named + "3 files: 0 converted, 2 failed, 1 skipped\n"));
  EXPECT_EQ(quiet.exitCode, 1);

  // A write that fails names the output and the system's reason.
  const auto full = test::RunCli(At("convert --force --to txt @/good.xbm"), "/dev/null", "trap '' XFSZ; ulimit -f 1; ");
  EXPECT_EQ(full.err, At("@/good.TXT: Open Error (File too large)\nConvert Finished\n"
                         "1 file: 0 converted, 1 failed, 0 skipped\n"));
}

TEST_F(BatchCliTest, FilesFromListsAndFoldersInNaturalOrder) {
  for (const char* name : {"in/run10.xbm", "in/run2.xbm", "in/RUN3.XBM", "in/.hidden.xbm"}) Record(name, 256, 2100);
  Record("in/notes.txt");
  const std::string cut = ": File Error (file ends at byte 2100; the header promises 3094 bytes)\n";
  const std::string inOrder = "@/in/run2.xbm" + cut + "@/in/RUN3.XBM" + cut + "@/in/run10.xbm" + cut;
  const std::string end = "Convert Finished\n3 files: 0 converted, 3 failed, 0 skipped\n";

  auto run = Cli("convert --to txt --from xbm @/in");
  EXPECT_EQ(run.err, At(inOrder + end));
  test::WriteAll(dir / "list", At("@/in/run2.xbm\r\n\n@/in/RUN3.XBM\n@/in/run10.xbm\n"));
  run = Cli("convert --to txt --files-from -", dir / "list");
  EXPECT_EQ(run.err, At(inOrder + end));
  for (const char* name : {"np/run10.npd", "np/run2.npd", "np/RUN3.NPD"}) Profile(name);
  run = Cli("table -o @/t.csv @/np");
  EXPECT_TRUE(ReadAll(dir / "t.csv").starts_with("Channel, Energy,d Value,run2,RUN3,run10\r\n")) << run.err;

  EXPECT_EQ(Cli("convert --to txt @/in").exitCode, 2);  // a folder needs --from
  EXPECT_EQ(Cli("combine -o @/s.xbm --files-from @/absent").exitCode, 2);
}

TEST_F(BatchCliTest, OutDirLeavesAReadOnlySourceFolderAlone) {
  Record("archive/a.xbm");
  Record("archive/b.xbm");
  fs::permissions(dir / "archive", fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
  const auto run = Cli("convert --to txt,xbm --from xbm --out-dir @/out @/archive");
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.err, At("Convert Finished\n2 files: 2 converted, 0 failed, 0 skipped; outputs in @/out\n"));
  EXPECT_EQ(ReadAll(dir / "out/a_.XBM"), ReadAll(dir / "archive/a.xbm"));
  EXPECT_TRUE(fs::exists(dir / "out/b.TXT"));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir / "archive"), fs::directory_iterator()), 2);
}

// Starts `vantor-cli watch`, drops a file in after it has converted the one
// already there, stops it with SIGINT. Waits are bounded, never timed.
class WatchCliTest : public BatchCliTest, public ::testing::WithParamInterface<bool> {};

bool WaitFor(const std::function<bool()>& done) {
  for (int i = 0; i < 300; ++i, std::this_thread::sleep_for(std::chrono::milliseconds(50)))
    if (done()) return true;
  return false;
}

TEST_P(WatchCliTest, ConvertsAFileWrittenAfterStart) {
  Record("in/old.xbm");
  const std::string err = dir / "err";
  std::vector<std::string> args = {VANTOR_CLI_PATH, "watch", "--to", "txt", "--out-dir", dir / "out", dir / "in"};
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  std::vector<std::string> env = {"PATH=/usr/bin:/bin"};
  if (GetParam()) env.push_back("VANTOR_WATCH_POLL=1");
  std::vector<char*> envp;
  for (auto& e : env) envp.push_back(e.data());
  envp.push_back(nullptr);
  pid_t pid = 0;
  ASSERT_EQ(posix_spawn(&pid, VANTOR_CLI_PATH, &actions, nullptr, argv.data(), envp.data()), 0);
  posix_spawn_file_actions_destroy(&actions);

  EXPECT_TRUE(WaitFor([&] { return ReadAll(err).find("old.xbm: converted") != std::string::npos; }));
  test::WriteAll(dir / "in/new.xbm", ReadAll(dir / "in/old.xbm"));
  EXPECT_TRUE(WaitFor([&] { return fs::exists(dir / "out/new.TXT"); }));
  ::kill(pid, SIGINT);
  int status = 0;
  ASSERT_EQ(::waitpid(pid, &status, 0), pid);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  EXPECT_EQ(ReadAll(err), At("@/in/old.xbm: converted\n@/in/new.xbm: converted\n"
                             "2 files: 2 converted, 0 failed, 0 skipped; outputs in @/out\n"));
  EXPECT_EQ(ReadAll(dir / "out/new.TXT"), ReadAll(dir / "out/old.TXT"));
}

INSTANTIATE_TEST_SUITE_P(NotifiedOrPolled, WatchCliTest, ::testing::Bool());

}  // namespace
}  // namespace vantor
