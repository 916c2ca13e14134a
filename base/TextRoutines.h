// SPDX-License-Identifier: GPL-3.0-or-later
// Small text routines shared by readers, writers and runs: splitting paths,
// display forms of the record's date and time, pulling numbers out of free
// text, and the number test for file contents.
#pragma once

#include <array>
#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

namespace vantor {

// Where output paths join a folder and a name.
#ifdef _WIN32
inline constexpr char kFolderSeparator = '\\';
#else
inline constexpr char kFolderSeparator = '/';
#endif

struct PathParts {
  std::string drive;      // a letter and ":" at the very start ("C:"), else empty
  std::string directory;  // with its trailing separator ("\data\", "/data/")
  std::string name;
  std::string extension;  // of the file name only, without the "."
};

// "\" and "/" are both folder separators, so the rules hold on every platform.
PathParts SplitPath(std::string_view path);

// A name inside a folder: the folder, a separator unless it ends with one,
// the name. An empty folder leaves the name as it is.
std::string JoinPath(std::string_view folder, std::string_view name);

// Characters [first, first + count) of a text by 1-based position, as
// fixed-column layouts count them; what lies beyond the text's end is
// simply missing. A double-byte character cut in half at either end leaves
// a blank for its half.
std::string ColumnSlice(std::string_view text, std::size_t first, std::size_t count);

// yyyymmdd -> yy/mm/dd; empty when the first four characters hold no number.
std::string FormatShortDate(std::string_view date);
// hhmmss -> hh:mm:ss
std::string FormatClock(std::string_view time);
// yyyymmdd -> yyyy/mm/dd and yyyy-mm-dd (the date shown by the text outputs)
std::string FormatLongDate(std::string_view date, char separator);

// Fields of a free text separated by blanks or ",", at most 11; each value
// is the number its field holds, else 0. Returns the number of fields.
int SplitNumbers(std::string_view text, std::array<double, 11>& values);

// The number test for file contents: blanks around, "." as decimal point,
// optional sign and exponent, nothing else. An overflowing value is none.
std::optional<double> ParseNumber(std::string_view text);

// A value rounded half to even to an integer of type T; none outside T's
// range (a count one beyond 32 bits is not wrapped).
template <typename T>
std::optional<T> RoundToInteger(double value) {
  const double rounded = std::nearbyint(value);
  if (!(rounded >= std::numeric_limits<T>::min() && rounded <= std::numeric_limits<T>::max())) return std::nullopt;
  return static_cast<T>(rounded);
}

// ASCII letters compared without regard to case.
bool EqualsIgnoreCase(std::string_view a, std::string_view b);

// Wildcard match of a file name: "*" any run, "?" any one byte, ASCII
// letters compared without regard to case; every other byte, "[" and "\" too,
// stands for itself.
bool MatchesWildcard(std::string_view name, std::string_view pattern);

}  // namespace vantor
