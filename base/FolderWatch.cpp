// SPDX-License-Identifier: GPL-3.0-or-later
// inotify where there is one, a look at the folder every half second
// elsewhere.
#include "base/FolderWatch.h"

#include <filesystem>
#include <thread>

#include "base/FolderFiles.h"
#include "base/TextRoutines.h"

#ifdef __linux__
#include <poll.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace vantor {
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr auto kLookEvery = std::chrono::milliseconds(500);
constexpr auto kSteadyFor = std::chrono::seconds(1);

}  // namespace

FolderWatch::FolderWatch(std::string folder, std::string pattern, bool poll)
    : folder_(std::move(folder)), pattern_(std::move(pattern)) {
  std::error_code ec;
  ok_ = fs::is_directory(folder_, ec);
  if (!ok_) return;
#ifdef __linux__
  if (!poll) {
    fd_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (fd_ >= 0 && ::inotify_add_watch(fd_, folder_.c_str(), IN_CLOSE_WRITE | IN_MOVED_TO | IN_CREATE) < 0) {
      ::close(fd_);
      fd_ = -1;
    }
  }
#else
  (void)poll;
#endif
  // Looking: what is there now is known, so only what changes after this
  // is reported (files already there are the caller's to take).
  if (fd_ < 0) {
    Look(std::chrono::milliseconds(0));
    for (auto& [name, seen] : seen_) seen.reported = true;
  }
}

FolderWatch::~FolderWatch() {
#ifdef __linux__
  if (fd_ >= 0) ::close(fd_);
#endif
}

bool FolderWatch::Wanted(const std::string& name) const {
  return !name.empty() && name[0] != '.' && MatchesPatterns(name, pattern_);
}

std::vector<std::string> FolderWatch::Wait(std::chrono::milliseconds timeout) {
  return fd_ >= 0 ? Notifications(timeout) : Look(timeout);
}

std::vector<std::string> FolderWatch::Notifications(std::chrono::milliseconds timeout) {
  std::vector<std::string> names;
#ifdef __linux__
  pollfd waiting{fd_, POLLIN, 0};
  if (::poll(&waiting, 1, static_cast<int>(timeout.count())) <= 0) return names;
  alignas(inotify_event) char buffer[64 * 1024];
  for (ssize_t n; (n = ::read(fd_, buffer, sizeof buffer)) > 0;) {
    for (ssize_t at = 0; at < n;) {
      const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
      at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
      if (event->mask & IN_Q_OVERFLOW) {
        // Events were lost: everything there may be new; the caller skips
        // what it has converted already.
        for (auto& name : FolderFiles(folder_, pattern_)) names.push_back(std::move(name));
        continue;
      }
      if (event->len == 0 || (event->mask & IN_ISDIR)) continue;
      std::string name(event->name);
      if (Wanted(name) && (!(event->mask & IN_CREATE) || Linked(name))) names.push_back(std::move(name));
    }
  }
#else
  (void)timeout;
#endif
  return names;
}

// A name made by link(2) or symlink(2) (ln, cp -l, a backup's hard links)
// is complete as it appears, and no close or move follows it; a file
// created to be written has one link until it is closed.
bool FolderWatch::Linked(const std::string& name) const {
#ifdef __linux__
  struct stat st {};
  if (::lstat(JoinPath(folder_, name).c_str(), &st) != 0) return false;
  return S_ISLNK(st.st_mode) || (S_ISREG(st.st_mode) && st.st_nlink > 1);
#else
  (void)name;
  return false;
#endif
}

std::vector<std::string> FolderWatch::Look(std::chrono::milliseconds timeout) {
  const auto due = lastLook_ + kLookEvery;
  if (const auto now = Clock::now(); now < due)
    std::this_thread::sleep_for(std::min<Clock::duration>(due - now, timeout));
  std::vector<std::string> names;
  const auto now = Clock::now();
  if (now < due) return names;
  lastLook_ = now;
  std::map<std::string, Seen> present;
  for (const std::string& name : FolderFiles(folder_, pattern_)) {
    std::error_code ec;
    const fs::path path = fs::path(folder_) / name;
    const auto size = fs::file_size(path, ec);
    const auto time = fs::last_write_time(path, ec).time_since_epoch().count();
    if (ec) continue;
    Seen seen{size, static_cast<long long>(time), now, false};
    if (const auto old = seen_.find(name); old != seen_.end() && old->second.size == size && old->second.time == time)
      seen = old->second;
    if (!seen.reported && now - seen.since >= kSteadyFor) {
      seen.reported = true;
      names.push_back(name);
    }
    present.emplace(name, seen);
  }
  seen_ = std::move(present);
  return names;
}

}  // namespace vantor
