// SPDX-License-Identifier: GPL-3.0-or-later
// Tells which files of one folder have become complete: closed by the
// program that wrote them, moved in, or linked in (a hard or symbolic
// link to a file that was complete already), as the system's file notification
// reports it (inotify on Linux); elsewhere, or where notification is not
// available, by looking at the folder every half second and taking a file
// whose size and time stayed the same for a second.
#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace vantor {

class FolderWatch {
 public:
  // Files whose names match `pattern` ("*.xbm"); hidden files never. With
  // `poll` the folder is looked at even where notification works.
  FolderWatch(std::string folder, std::string pattern, bool poll = false);
  ~FolderWatch();
  FolderWatch(const FolderWatch&) = delete;
  FolderWatch& operator=(const FolderWatch&) = delete;

  // False when the folder cannot be watched at all.
  bool ok() const { return ok_; }

  // Names of the files completed since the last call, in the order they
  // completed; waits up to `timeout` for the first (less when a signal
  // arrives).
  std::vector<std::string> Wait(std::chrono::milliseconds timeout);

 private:
  struct Seen {
    std::uintmax_t size = 0;
    long long time = 0;
    std::chrono::steady_clock::time_point since;
    bool reported = false;
  };
  bool Wanted(const std::string& name) const;
  bool Linked(const std::string& name) const;
  std::vector<std::string> Notifications(std::chrono::milliseconds timeout);
  std::vector<std::string> Look(std::chrono::milliseconds timeout);

  std::string folder_;
  std::string pattern_;
  int fd_ = -1;
  bool ok_ = false;
  std::map<std::string, Seen> seen_;  // polling: every matching file and how long it stayed the same
  std::chrono::steady_clock::time_point lastLook_;
};

}  // namespace vantor
