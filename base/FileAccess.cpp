// SPDX-License-Identifier: GPL-3.0-or-later
// Reading file bytes safely and replacing files atomically.
#include "base/FileAccess.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <random>

#include "base/ConvertContext.h"

namespace vantor {
namespace fs = std::filesystem;
namespace {

// A name for the temporary file beside the target, hidden, unlikely to be
// taken, and short enough for the file system even when the target's name
// is near its limit.
fs::path TemporaryNameFor(const fs::path& target, unsigned attempt) {
  // One source per thread: conversions run side by side, and a shared
  // engine would be a data race.
  thread_local std::mt19937 random{std::random_device{}()};
  std::string stem = target.filename().string().substr(0, 180);
  char suffix[32];
  std::snprintf(suffix, sizeof suffix, ".%08x.%u.tmp", static_cast<unsigned>(random()), attempt);
  return target.parent_path() / ("." + stem + suffix);
}

enum class NewFile { NameTaken, NotCreated, WriteFailed, Written };

std::string SystemReason(int error) {
  return error != 0 ? std::generic_category().message(error) : std::string("write failed");
}

// All bytes in as few writes as the system allows.
bool WriteAll(int fd, std::string_view bytes, std::string& why) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      why = SystemReason(n < 0 ? errno : 0);
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

NewFile WriteNewFile(const fs::path& path, std::string_view bytes, std::string& why) {
  // O_EXCL: fail rather than open a file that already exists.
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) {
    why = SystemReason(errno);
    return errno == EEXIST ? NewFile::NameTaken : NewFile::NotCreated;
  }
  const bool written = WriteAll(fd, bytes, why);
  const bool closed = ::close(fd) == 0;
  if (written && !closed) why = SystemReason(errno);
  return written && closed ? NewFile::Written : NewFile::WriteFailed;
}

// A replaced file keeps its permission bits (a file the user made
// read-only for others stays so); a new file keeps the default mode.
void KeepPermissions(const fs::path& target, const fs::path& temporary) {
  std::error_code ec;
  const fs::file_status old = fs::status(target, ec);
  if (!ec && fs::is_regular_file(old)) fs::permissions(temporary, old.permissions(), ec);
}

// The portable way: a complete temporary file beside the target, renamed
// over it.
bool ReplaceThroughTemporary(const fs::path& target, std::string_view bytes, std::string& reason) {
  reason = "no free temporary name";
  for (unsigned attempt = 0; attempt < 8; ++attempt) {
    const fs::path temporary = TemporaryNameFor(target, attempt);
    const NewFile result = WriteNewFile(temporary, bytes, reason);
    if (result == NewFile::NameTaken) continue;
    if (result == NewFile::NotCreated) return false;
    std::error_code ec;
    if (result == NewFile::WriteFailed) {
      fs::remove(temporary, ec);
      return false;
    }
    KeepPermissions(target, temporary);
    fs::rename(temporary, target, ec);
    if (ec) {
      reason = ec.message();
      fs::remove(temporary, ec);
      return false;
    }
    return true;
  }
  return false;
}

#ifdef O_TMPFILE
enum class Unnamed { Unsupported, Failed, Done };

// Gives the unnamed file behind fd the name `path`; errno says why not.
// Since Linux 6.10 the descriptor itself names the file for its owner;
// before, only its /proc link does, which costs a path look-up through
// /proc for every file. The first refusal of the direct way that /proc
// then overcomes is remembered for the rest of the run.
bool LinkUnnamed(int fd, const char* path) {
  static std::atomic<bool> direct{true};
  if (direct.load(std::memory_order_relaxed)) {
    if (::linkat(fd, "", AT_FDCWD, path, AT_EMPTY_PATH) == 0) return true;
    if (errno != ENOENT && errno != EPERM) return false;
  }
  char self[40];
  std::snprintf(self, sizeof self, "/proc/self/fd/%d", fd);
  if (::linkat(AT_FDCWD, self, AT_FDCWD, path, AT_SYMLINK_FOLLOW) != 0) return false;
  direct.store(false, std::memory_order_relaxed);
  return true;
}

// An existing target: the complete unnamed file gets a temporary name, the
// target's permission bits, and is renamed over the target.
Unnamed ReplaceWithUnnamed(int fd, const fs::path& target, std::string& why) {
  for (unsigned attempt = 0; attempt < 8; ++attempt) {
    const fs::path temporary = TemporaryNameFor(target, attempt);
    if (!LinkUnnamed(fd, temporary.c_str())) {
      if (errno == EEXIST) continue;
      return Unnamed::Unsupported;
    }
    KeepPermissions(target, temporary);
    if (::rename(temporary.c_str(), target.c_str()) == 0) return Unnamed::Done;
    why = SystemReason(errno);
    ::unlink(temporary.c_str());
    return Unnamed::Failed;
  }
  why = "no free temporary name";
  return Unnamed::Failed;
}

// Linux: the bytes go into a file without a name in the target's folder,
// which then gets the target's name at once. A new output appears complete
// with one directory entry made instead of a temporary one and a rename,
// which halves the folder work of a batch. Unsupported where the file
// system has no unnamed files or /proc is missing: the caller then takes
// the portable way, which also reports why a folder cannot be written.
Unnamed ReplaceThroughUnnamed(const fs::path& target, std::string_view bytes, std::string& why) {
  const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
  const int fd = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
  if (fd < 0) return Unnamed::Unsupported;
  Unnamed result = Unnamed::Failed;
  if (WriteAll(fd, bytes, why)) {
    if (LinkUnnamed(fd, target.c_str())) {
      result = Unnamed::Done;
    } else {
      result = errno == EEXIST ? ReplaceWithUnnamed(fd, target, why) : Unnamed::Unsupported;
    }
  }
  // Closing a local file's descriptor does not fail once its bytes are
  // written; file systems where it can (network ones) have no unnamed files.
  ::close(fd);
  return result;
}
#endif

}  // namespace

std::optional<std::string> ReadFileBytes(const std::string& path, std::size_t maxBytes, std::string* why) {
  const auto fail = [why](std::string reason) -> std::optional<std::string> {
    if (why != nullptr) *why = std::move(reason);
    return std::nullopt;
  };
  // Only regular files: opening a FIFO would block, a device could act on
  // being opened, a folder reads nothing. The look before opening keeps
  // those unopened; the look after checks what was actually opened.
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) return fail(SystemReason(errno));
  if (!S_ISREG(status.st_mode)) return fail("not a regular file");
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) return fail(SystemReason(errno));
  std::string bytes;
  if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
    ::close(fd);
    return fail("not a regular file");
  }
  bytes.resize(std::min<std::uintmax_t>(static_cast<std::uintmax_t>(status.st_size), maxBytes));
  std::size_t got = 0;
  while (got < bytes.size()) {
    const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      ::close(fd);
      return fail("read error");
    }
    if (n == 0) break;  // the file shrank meanwhile
    got += static_cast<std::size_t>(n);
  }
  ::close(fd);
  bytes.resize(got);
  return bytes;
}

bool ReplaceFileAtomically(const std::string& path, std::string_view bytes, std::string* why) {
  const fs::path target(path);
  std::string reason;
#ifdef O_TMPFILE
  const Unnamed unnamed = ReplaceThroughUnnamed(target, bytes, reason);
  if (unnamed != Unnamed::Unsupported) {
    if (unnamed == Unnamed::Failed && why != nullptr) *why = std::move(reason);
    return unnamed == Unnamed::Done;
  }
#endif
  if (ReplaceThroughTemporary(target, bytes, reason)) return true;
  if (why != nullptr) *why = std::move(reason);
  return false;
}

std::string ReplaceQuestion(std::string_view path) {
  std::string text = "File already exist. Replace?(";
  text += path;
  text += ')';
  return text;
}

Saved SaveOutput(const std::string& path, std::string_view bytes, ConvertContext& context, std::string_view question) {
  const auto failed = [&](std::string why) {
    context.prompt.FileMessage(path, "Open Error", why);
    return Saved{SaveState::Failed, std::move(why)};
  };
  if (context.settings.OverWriteCheck) {
    std::error_code ec;
    const bool exists = fs::exists(fs::symlink_status(path, ec));
    if (ec && ec != std::errc::no_such_file_or_directory) return failed(ec.message());
    if (exists && !context.prompt.AskYesNo(question)) return {SaveState::Declined, {}};
  }
  if (std::string why; !ReplaceFileAtomically(path, bytes, &why)) return failed(std::move(why));
  return {};
}

}  // namespace vantor
