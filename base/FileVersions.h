// SPDX-License-Identifier: GPL-3.0-or-later
// The versions of a watched folder's files already taken. A writer that
// closes a file it left as it was, or a listing of the whole folder after
// lost notifications, reports a file again without new data; a file is
// new again only when its size or modification time changed. What the
// folder watch reports passes this before a file is read.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>

namespace vantor {

class FileVersions {
 public:
  // True once for each version of the file at `path`, which it then marks
  // as taken; false when that version was taken already or the file is
  // gone.
  bool Take(const std::string& path);

 private:
  std::map<std::string, std::pair<std::uintmax_t, long long>> taken_;  // path: size, modification time
};

}  // namespace vantor
