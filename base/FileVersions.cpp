// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/FileVersions.h"

#include <filesystem>

namespace vantor {

bool FileVersions::Take(const std::string& path) {
  std::error_code ec;
  const auto size = std::filesystem::file_size(path, ec);
  if (ec) return false;
  const auto time = std::filesystem::last_write_time(path, ec);
  if (ec) return false;
  const std::pair version{size, static_cast<long long>(time.time_since_epoch().count())};
  auto [known, added] = taken_.try_emplace(path, version);
  if (!added && known->second == version) return false;
  known->second = version;
  return true;
}

}  // namespace vantor
