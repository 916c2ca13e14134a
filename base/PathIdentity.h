// SPDX-License-Identifier: GPL-3.0-or-later
// Which paths name the same file, as the file system sees it: an existing
// file by its device and inode (another spelling, a link, another case on a
// disk that ignores case all give the same key); a path not there yet by its
// folder's identity and its name, the name's letter case folded where the
// folder ignores case (found by probing the folder once). For the checks
// that keep one run from writing over its own sources or writing one output
// twice.
#pragma once

#include <string>
#include <unordered_map>

namespace vantor {

class PathIdentity {
 public:
  // A text that is equal for two paths exactly when they name one file.
  std::string Key(const std::string& path);
  // The key of the path's place: its folder's identity and its name (case
  // folded where the folder ignores case), whether a file is there or not.
  // For checks made over time, before and after the file is written.
  std::string PlaceKey(const std::string& path);

 private:
  struct Folder {
    std::string key;
    bool ignoresCase = false;
  };
  const Folder& FolderOf(const std::string& folder);

  std::unordered_map<std::string, Folder> folders_;  // by the folder's path as written
};

// Whether letters in names in the folder are compared without regard to
// case: an entry found again under its name with the case of its letters
// swapped, or else a probe file made and looked for so. False when the
// folder cannot be read or written.
bool FolderIgnoresCase(const std::string& folder);

}  // namespace vantor
