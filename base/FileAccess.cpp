// SPDX-License-Identifier: GPL-3.0-or-later
// Reading file bytes safely and replacing files atomically.
#include "base/FileAccess.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
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

NewFile WriteNewFile(const fs::path& path, std::string_view bytes, std::string& why) {
  // "x": fail rather than open a file that already exists.
  errno = 0;
  std::FILE* file = std::fopen(path.c_str(), "wbx");
  if (file == nullptr) {
    why = SystemReason(errno);
    return errno == EEXIST ? NewFile::NameTaken : NewFile::NotCreated;
  }
  errno = 0;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size() &&
                       std::fflush(file) == 0;
  if (!written) why = SystemReason(errno);
  errno = 0;
  const bool closed = std::fclose(file) == 0;
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

}  // namespace

std::optional<std::string> ReadFileBytes(const std::string& path, std::size_t maxBytes, std::string* why) {
  const auto fail = [why](std::string reason) -> std::optional<std::string> {
    if (why != nullptr) *why = std::move(reason);
    return std::nullopt;
  };
  std::error_code ec;
  // Only regular files: opening a FIFO would block, a folder reads nothing.
  const fs::file_status status = fs::status(path, ec);
  if (!fs::exists(status)) return fail(ec ? ec.message() : "no such file");
  if (!fs::is_regular_file(status)) return fail("not a regular file");
  const auto size = fs::file_size(path, ec);
  if (ec) return fail(ec.message());
  errno = 0;
  std::ifstream in(path, std::ios::binary);
  if (!in) return fail(errno != 0 ? std::generic_category().message(errno) : "cannot be opened");
  std::string bytes(std::min<std::uintmax_t>(size, maxBytes), '\0');
  in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (in.bad()) return fail("read error");
  bytes.resize(static_cast<std::size_t>(in.gcount()));
  return bytes;
}

bool ReplaceFileAtomically(const std::string& path, std::string_view bytes, std::string* why) {
  const fs::path target(path);
  std::string reason = "no free temporary name";
  const auto fail = [&] {
    if (why != nullptr) *why = std::move(reason);
    return false;
  };
  for (unsigned attempt = 0; attempt < 8; ++attempt) {
    const fs::path temporary = TemporaryNameFor(target, attempt);
    const NewFile result = WriteNewFile(temporary, bytes, reason);
    if (result == NewFile::NameTaken) continue;
    if (result == NewFile::NotCreated) return fail();
    std::error_code ec;
    if (result == NewFile::WriteFailed) {
      fs::remove(temporary, ec);
      return fail();
    }
    KeepPermissions(target, temporary);
    fs::rename(temporary, target, ec);
    if (ec) {
      reason = ec.message();
      fs::remove(temporary, ec);
      return fail();
    }
    return true;
  }
  return fail();
}

std::string ReplaceQuestion(std::string_view path) {
  std::string text = "File already exist. Replace?(";
  text += path;
  text += ')';
  return text;
}

bool SaveOutput(const std::string& path, std::string_view bytes, ConvertContext& context,
                std::string_view question) {
  if (context.settings.OverWriteCheck) {
    std::error_code ec;
    const bool exists = fs::exists(fs::symlink_status(path, ec));
    if (ec && ec != std::errc::no_such_file_or_directory) {
      context.prompt.FileMessage(path, "Open Error", ec.message());
      return false;
    }
    if (exists && !context.prompt.AskYesNo(question)) return false;
  }
  if (std::string why; !ReplaceFileAtomically(path, bytes, &why)) {
    context.prompt.FileMessage(path, "Open Error", why);
    return false;
  }
  return true;
}

}  // namespace vantor
