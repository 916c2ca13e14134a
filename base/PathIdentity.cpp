// SPDX-License-Identifier: GPL-3.0-or-later
// File identities through stat, folder case through a probe.
#include "base/PathIdentity.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>

namespace vantor {
namespace {

std::optional<std::string> InodeKey(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return std::nullopt;
  char key[64];
  std::snprintf(key, sizeof key, "I%llx:%llx", static_cast<unsigned long long>(st.st_dev),
                static_cast<unsigned long long>(st.st_ino));
  return std::string(key);
}

bool HasLetter(const std::string& name) {
  for (const char c : name)
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) return true;
  return false;
}

std::string SwapCase(std::string name) {
  for (char& c : name) {
    if (c >= 'a' && c <= 'z') {
      c = static_cast<char>(c - 'a' + 'A');
    } else if (c >= 'A' && c <= 'Z') {
      c = static_cast<char>(c - 'A' + 'a');
    }
  }
  return name;
}

std::string FoldCase(std::string name) {
  for (char& c : name)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return name;
}

bool SameFile(const std::string& a, const std::string& b) {
  const auto ka = InodeKey(a);
  return ka && ka == InodeKey(b);
}

// Whether the folder's first entry with a letter in its name (and there to
// look at) is found again with the case of its letters swapped; none when
// the folder has no such entry.
std::optional<bool> SwappedEntryFound(const std::string& folder, const std::string& prefix) {
  const std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.c_str()), ::closedir);
  if (!dir) return std::nullopt;
  while (const dirent* entry = ::readdir(dir.get())) {
    const std::string name = entry->d_name;
    if (name == "." || name == ".." || !HasLetter(name) || !InodeKey(prefix + name)) continue;
    return SameFile(prefix + name, prefix + SwapCase(name));
  }
  return std::nullopt;
}

}  // namespace

bool FolderIgnoresCase(const std::string& folder) {
  const std::string prefix = folder.empty() ? std::string() : folder + "/";
  if (const auto found = SwappedEntryFound(folder.empty() ? "." : folder, prefix)) return *found;
  // An empty folder: a probe file, removed at once.
  const std::string probe = prefix + ".vantor-case-probe-" + std::to_string(::getpid());
  const int fd = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  ::close(fd);
  const bool ignores = SameFile(probe, prefix + SwapCase(probe.substr(prefix.size())));
  ::unlink(probe.c_str());
  return ignores;
}

const PathIdentity::Folder& PathIdentity::FolderOf(const std::string& folder) {
  if (const auto found = folders_.find(folder); found != folders_.end()) return found->second;
  if (folders_.size() >= 4096) folders_.clear();  // a bound, for lists that visit folder after folder
  Folder f;
  if (const auto key = InodeKey(folder.empty() ? "." : folder)) {
    f.key = *key;
    f.ignoresCase = FolderIgnoresCase(folder);
  } else {
    // Not there yet (an output folder made when the run starts).
    std::error_code ec;
    f.key = "P" + std::filesystem::absolute(folder.empty() ? "." : folder, ec).lexically_normal().string();
  }
  return folders_.emplace(folder, std::move(f)).first->second;
}

std::string PathIdentity::Key(const std::string& path) {
  if (auto key = InodeKey(path)) return std::move(*key);
  return PlaceKey(path);
}

std::string PathIdentity::PlaceKey(const std::string& path) {
  const auto slash = path.find_last_of('/');
  const std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash == 0 ? 1 : slash);
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  const Folder& f = FolderOf(folder);
  return f.key + "/" + (f.ignoresCase ? FoldCase(name) : name);
}

}  // namespace vantor
