// SPDX-License-Identifier: GPL-3.0-or-later
// Folder listings in natural order.
#include "base/FolderFiles.h"

#include <algorithm>
#include <filesystem>

#include "base/TextRoutines.h"

namespace vantor {
namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

char Fold(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::size_t DigitRun(std::string_view s, std::size_t i) {
  std::size_t n = 0;
  while (i + n < s.size() && IsDigit(s[i + n])) ++n;
  return n;
}

// The digits of a run without its leading zeros (one zero stays).
std::string_view Significant(std::string_view s, std::size_t i, std::size_t length) {
  std::size_t zeros = 0;
  while (zeros + 1 < length && s[i + zeros] == '0') ++zeros;
  return s.substr(i + zeros, length - zeros);
}

}  // namespace

bool NaturalLess(std::string_view a, std::string_view b) {
  std::size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    const std::size_t da = DigitRun(a, i), db = DigitRun(b, j);
    if (da > 0 && db > 0) {
      // Numbers of any length: fewer significant digits is smaller.
      const std::string_view na = Significant(a, i, da), nb = Significant(b, j, db);
      if (na.size() != nb.size()) return na.size() < nb.size();
      if (na != nb) return na < nb;
      i += da;
      j += db;
      continue;
    }
    const auto ca = static_cast<unsigned char>(Fold(a[i])), cb = static_cast<unsigned char>(Fold(b[j]));
    if (ca != cb) return ca < cb;
    ++i;
    ++j;
  }
  if ((i < a.size()) != (j < b.size())) return j < b.size();
  return a < b;  // equal but for case or zeros: a fixed order all the same
}

bool MatchesPatterns(std::string_view name, std::string_view patterns) {
  for (std::size_t start = 0; start <= patterns.size();) {
    const std::size_t end = std::min(patterns.find(';', start), patterns.size());
    if (MatchesWildcard(name, patterns.substr(start, end - start))) return true;
    start = end + 1;
  }
  return false;
}

std::vector<std::string> FolderFiles(const std::string& folder, std::string_view pattern, std::string* why) {
  namespace fs = std::filesystem;
  std::vector<std::string> names;
  std::error_code ec;
  fs::directory_iterator it(folder.empty() ? "." : folder, ec);
  for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
    std::string name = it->path().filename().string();
    if (name.starts_with('.') || !MatchesPatterns(name, pattern)) continue;
    std::error_code typeError;
    if (it->is_regular_file(typeError)) names.push_back(std::move(name));
  }
  if (ec) {
    if (why != nullptr) *why = ec.message();
    return {};
  }
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) { return NaturalLess(a, b); });
  return names;
}

}  // namespace vantor
