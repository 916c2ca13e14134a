// SPDX-License-Identifier: GPL-3.0-or-later
// The file helpers every reader and writer goes through, with their failure
// paths tested here once: targets that cannot be written, a disk that fills
// up part-way, the overwrite question, permission bits, and sources that are
// missing, folders or FIFOs. Each writer and reader has one routing row in
// the formats tests.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstddef>

#include "base/ConvertContext.h"
#include "base/FileAccess.h"
#include "base/FolderFiles.h"
#include "support/FakePrompt.h"
#include "support/TestFiles.h"

namespace vantor {
namespace {

namespace fs = std::filesystem;
using test::TempDir;
using Strings = std::vector<std::string>;

// Every path below `root` with the contents of the files.
std::string Snapshot(const fs::path& root) {
  std::string all;
  for (const auto& e : fs::recursive_directory_iterator(root))
    all += e.path().string() + (e.is_regular_file() ? "=" + test::ReadAll(e.path().string()) : "/") + "\n";
  return all;
}

TEST(SaveOutput, UnwritableTargets_OpenError_FolderUnchanged) {
  TempDir dir;
  test::WriteAll(dir / "plain", "x");
  fs::create_directory(dir / "folder");
  std::string deep = dir.path().string();
  while (deep.size() <= PATH_MAX) deep += "/" + std::string(200, 'd');
  Strings targets{dir / "plain/out", dir / "folder", dir / "missing/out", dir / std::string(NAME_MAX + 1, 'n'),
                  deep + "/out"};
  if (::getuid() != 0) {  // root writes into folders without write permission
    fs::create_directory(dir / "locked");
    test::WriteAll(dir / "locked/out", "old");
    fs::permissions(dir / "locked", fs::perms::owner_read | fs::perms::owner_exec);
    targets.push_back(dir / "locked/out");
  }
  const std::string before = Snapshot(dir.path());
  for (const std::string& target : targets) {
    test::FakePrompt prompt;
    ConvertContext context(prompt);
    context.settings.OverWriteCheck = false;
    EXPECT_EQ(SaveOutput(target, "new bytes", context, "?").state, SaveState::Failed) << target.substr(0, 80);
    EXPECT_EQ(prompt.messages, Strings{"Open Error"});
  }
  EXPECT_EQ(Snapshot(dir.path()), before);
}

// A write that fails part-way (a full disk, as a file-size limit) leaves the
// old file byte for byte and no temporary file; room for exactly the new
// file is enough.
TEST(ReplaceFileAtomically, DiskFullPartWay_OldTargetKeptNoTemporary) {
  TempDir dir;
  const std::string target = dir / "out", bytes(5000, 'n'), old = "old file\r\n" + std::string(6000, 'o');
  test::WriteAll(target, old);
  rlimit saved{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
  const auto previous = ::signal(SIGXFSZ, SIG_IGN);
  std::string results;
  for (const rlim_t limit : {rlim_t{0}, rlim_t{1}, rlim_t{2500}, rlim_t{4999}, rlim_t{5000}}) {
    const rlimit lower{limit, saved.rlim_max};
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &lower), 0);
    results += ReplaceFileAtomically(target, bytes) ? "1" : "0";
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &saved), 0);
    EXPECT_TRUE(test::ReadAll(target) == (limit == 5000 ? bytes : old)) << limit;
    EXPECT_EQ(dir.Entries(), Strings{"out"});
  }
  ::signal(SIGXFSZ, previous);
  EXPECT_EQ(results, "00001");
}

TEST(ReplaceFileAtomically, ReplacedFileKeepsItsPermissionBits_NewFileTheDefault) {
  TempDir dir;
  test::WriteAll(dir / "made", "");
  test::WriteAll(dir / "kept", "old");
  const auto mode = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
  fs::permissions(dir / "kept", mode);
  ASSERT_TRUE(ReplaceFileAtomically(dir / "kept", "new"));
  ASSERT_TRUE(ReplaceFileAtomically(dir / "fresh", "new"));
  EXPECT_EQ(fs::status(dir / "kept").permissions(), mode);
  EXPECT_EQ(fs::status(dir / "fresh").permissions(), fs::status(dir / "made").permissions());
  EXPECT_EQ(test::ReadAll(dir / "kept"), "new");
}

// Kernels before 6.10 refuse to name an unnamed file by its descriptor
// (ENOENT): the file is then named through /proc, new or replacing one. The
// portable way is shut (no file can be created by name), so only that can
// succeed.
TEST(ReplaceFileAtomically, KernelRefusesDescriptorLinks_NamedThroughProc) {
  TempDir dir;
  test::WriteAll(dir / "old", "old bytes");
  const auto replace = [&] {
    sock_filter refuse[] = {
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_linkat, 0, 2),
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, args[4])),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, AT_EMPTY_PATH, 4, 5),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_openat, 0, 4),
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, args[2])),
        BPF_JUMP(BPF_JMP | BPF_JSET | BPF_K, O_CREAT, 0, 2),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | EACCES),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | ENOENT), BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW)};
    const sock_fprog program{std::size(refuse), refuse};
    if (::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0 || ::prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) != 0)
      std::_Exit(3);
    const bool done = ReplaceFileAtomically(dir / "new", "new bytes") && ReplaceFileAtomically(dir / "old", "more") &&
                      ReplaceFileAtomically(dir / "new", "again");
    std::_Exit(done ? 0 : 1);
  };
  EXPECT_EXIT(replace(), ::testing::ExitedWithCode(0), "");
  EXPECT_EQ(dir.Entries(), (Strings{"new", "old"}));
  EXPECT_EQ(test::ReadAll(dir / "new"), "again");
  EXPECT_EQ(test::ReadAll(dir / "old"), "more");
}

// No keeps the file and says nothing; a target whose state cannot be found
// out (a file where a folder should be) is an error before anything is asked.
TEST(SaveOutput, OverwriteQuestion_NoKeeps_YesOrCheckOffReplaces_UnknownStateFails) {
  TempDir dir;
  const std::string path = dir / "out";
  test::WriteAll(path, "old");
  test::FakePrompt prompt;
  ConvertContext context(prompt);
  prompt.answers = {false, true, true};
  EXPECT_EQ(SaveOutput(path, "new", context, ReplaceQuestion(path)).state, SaveState::Declined);
  EXPECT_EQ(test::ReadAll(path), "old");
  EXPECT_TRUE(prompt.messages.empty());
  EXPECT_EQ(SaveOutput(path, "new", context, ReplaceQuestion(path)).state, SaveState::Written);
  EXPECT_EQ(prompt.questions, Strings(2, "File already exist. Replace?(" + path + ")"));
  const Saved failed = SaveOutput(path + "/x", "new", context, "?");
  EXPECT_TRUE(failed.state == SaveState::Failed && !failed.why.empty());
  EXPECT_EQ(prompt.messages, Strings{"Open Error"});
  context.settings.OverWriteCheck = false;
  EXPECT_EQ(SaveOutput(path, "newer", context, "?").state, SaveState::Written);
  EXPECT_EQ(prompt.questions.size(), 2u);
  EXPECT_EQ(test::ReadAll(path), "newer");
}

TEST(ReadFileBytes, OnlyRegularFiles_NeverBlocks_CutAtTheLimit_FolderListingSaysWhy) {
  TempDir dir;
  test::WriteAll(dir / "file", "0123456789");
  fs::create_directory(dir / "folder");
  ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
  EXPECT_EQ(ReadFileBytes(dir / "file", 4), "0123");
  EXPECT_EQ(ReadFileBytes(dir / "file", 100), "0123456789");
  ::alarm(10);  // opening the FIFO would wait for a writer forever
  for (const char* name : {"missing", "folder", "fifo"}) {
    std::string why;
    EXPECT_FALSE(ReadFileBytes(dir / name, 100, &why)) << name;
    EXPECT_FALSE(why.empty()) << name;
  }
  ::alarm(0);
  std::string why;  // a folder listing that fails says why (what it lists: a case in cli-cases.txt)
  EXPECT_TRUE(FolderFiles(dir / "missing", "*", &why).empty() && !why.empty());
}


}  // namespace
}  // namespace vantor
