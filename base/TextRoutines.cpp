// SPDX-License-Identifier: GPL-3.0-or-later
// Path splitting, date and time display forms, SplitNumbers, the number test.
#include "base/TextRoutines.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#if __has_include(<fnmatch.h>)
#include <fnmatch.h>
#include <locale.h>
#endif

#include "base/TextFit.h"
#include "base/TextFormat.h"

namespace vantor {
namespace {

bool IsSeparator(char c) {
  return c == '\\' || c == '/';
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// Length of a leading run of digits.
std::size_t Digits(std::string_view s, std::size_t from) {
  std::size_t n = 0;
  while (from + n < s.size() && IsDigit(s[from + n])) ++n;
  return n;
}

// Whether a checked number text (digits, optional point, optional exponent)
// is below 1 in magnitude: the decimal position of its first non-zero digit
// plus its exponent. Decides between underflow and overflow, including long
// texts such as "0.000...0001" without any exponent.
bool BelowOne(std::string_view number) {
  const auto e = number.find_first_of("eE");
  const std::string_view digits = number.substr(0, e);
  const auto first = digits.find_first_of("123456789");
  if (first == std::string_view::npos) return true;
  const auto point = std::min(digits.find('.'), digits.size());
  long long magnitude =
      first < point ? static_cast<long long>(point - first) : -static_cast<long long>(first - point - 1);
  if (e != std::string_view::npos) {
    std::size_t i = e + 1;
    const bool negative = number[i] == '-';
    if (number[i] == '+' || number[i] == '-') ++i;
    long long exponent = 0;
    for (; i < number.size(); ++i) exponent = std::min(exponent * 10 + (number[i] - '0'), 1000000000LL);
    magnitude += negative ? -exponent : exponent;
  }
  return magnitude <= 0;
}

}  // namespace

PathParts SplitPath(std::string_view path) {
  PathParts parts;
  // A drive is one letter and ":" at the very start; any other ":" belongs
  // to a folder or file name, as Linux and macOS allow.
  const auto isLetter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
  if (path.size() >= 2 && isLetter(path[0]) && path[1] == ':') {
    parts.drive = path.substr(0, 2);
    path.remove_prefix(2);
  }
  std::size_t slash = path.size();
  while (slash > 0 && !IsSeparator(path[slash - 1])) --slash;
  parts.directory = path.substr(0, slash);
  std::string_view name = path.substr(slash);
  // The extension is looked for in the file name only: "scan.v2/run7" has
  // none, so its outputs stay beside it instead of landing on "scan.*".
  const auto dot = name.rfind('.');
  if (dot != std::string_view::npos && dot != 0) {
    parts.extension = name.substr(dot + 1);
    name = name.substr(0, dot);
  }
  parts.name = name;
  return parts;
}

std::string JoinPath(std::string_view folder, std::string_view name) {
  std::string path(folder);
  if (!path.empty() && !IsSeparator(path.back())) path += kFolderSeparator;
  path += name;
  return path;
}

std::string ColumnSlice(std::string_view text, std::size_t first, std::size_t count) {
  if (first == 0 || first > text.size()) return {};
  return SjisSlice(text, first - 1, std::min(count, text.size() - (first - 1)));
}

std::string FormatShortDate(std::string_view date) {
  const auto year = ParseNumber(ColumnSlice(date, 1, 4));
  if (!year) return {};
  const double yy = *year >= 2000 ? *year - 2000 : *year - 1900;
  const std::string twoDigits = "0" + FormatPlain(yy);
  std::string out = twoDigits.substr(twoDigits.size() - 2);
  out += '/';
  out += ColumnSlice(date, 5, 2);
  out += '/';
  out += ColumnSlice(date, 7, 2);
  return out;
}

std::string FormatClock(std::string_view time) {
  std::string out(ColumnSlice(time, 1, 2));
  out += ':';
  out += ColumnSlice(time, 3, 2);
  out += ':';
  out += ColumnSlice(time, 5, 2);
  return out;
}

std::string FormatLongDate(std::string_view date, char separator) {
  std::string out(ColumnSlice(date, 1, 4));
  out += separator;
  out += ColumnSlice(date, 5, 2);
  out += separator;
  out += ColumnSlice(date, 7, 2);
  return out;
}

int SplitNumbers(std::string_view text, std::array<double, 11>& values) {
  constexpr std::size_t kLastPosition = 99;
  constexpr int kMaxField = 10;
  std::array<std::string, 11> fields;
  int k = 0;
  auto append = [&](char c) {
    if (k <= kMaxField) fields[k] += c;  // fields past the eleventh are ignored
  };
  const std::size_t end = std::min(text.size(), kLastPosition);
  for (std::size_t p = 0; p < end; ++p) {
    const char c = text[p];
    if (c == ',') {
      if (p + 1 >= text.size() || text[p + 1] != ' ') ++k;
    } else if (c == ' ') {
      std::size_t q = p + 1;
      while (q < text.size() && q < 100 && text[q] == ' ') ++q;
      if (q >= text.size() || q >= 100) break;
      ++k;
      append(text[q]);
      p = q;
    } else {
      append(c);
    }
  }
  const int count = std::min(k, kMaxField) + 1;
  for (int j = 0; j < count; ++j) values[j] = ParseNumber(fields[j]).value_or(0.0);
  return count;
}

std::optional<double> ParseNumber(std::string_view text) {
  text = TrimBlanks(text);
  std::size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  const std::size_t mantissa = i;
  const std::size_t whole = Digits(text, i);
  i += whole;
  std::size_t fraction = 0;
  if (i < text.size() && text[i] == '.') fraction = Digits(text, ++i), i += fraction;
  if (whole == 0 && fraction == 0) return std::nullopt;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    std::size_t j = i + 1;
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
    const std::size_t exponentDigits = Digits(text, j);
    if (exponentDigits == 0) return std::nullopt;
    i = j + exponentDigits;
  }
  if (i != text.size()) return std::nullopt;
  double value = 0;
  const auto r = std::from_chars(text.data() + mantissa, text.data() + text.size(), value);
  if (r.ec == std::errc::result_out_of_range) {
    // Too small to hold reads as zero; too large to hold is not a number.
    if (!BelowOne(text.substr(mantissa))) return std::nullopt;
    value = 0;
  } else if (r.ec != std::errc()) {
    return std::nullopt;
  }
  return negative ? -value : value;
}

namespace {
char Lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}
}  // namespace

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (Lower(a[i]) != Lower(b[i])) return false;
  return true;
}

namespace {

// The portable matcher, for systems without fnmatch's case folding and for
// the patterns fnmatch would read otherwise. Greedy matching with one
// back-tracking point per "*": linear in practice.
bool MatchesWildcardPortably(std::string_view name, std::string_view pattern) {
  std::size_t n = 0, p = 0, starP = std::string_view::npos, starN = 0;
  while (n < name.size()) {
    // "*" first: a name may hold a "*" itself (Linux allows it), and taking
    // it as a literal match would leave no point to back-track to.
    if (p < pattern.size() && pattern[p] == '*') {
      starP = p++, starN = n;
    } else if (p < pattern.size() && (pattern[p] == '?' || Lower(pattern[p]) == Lower(name[n]))) {
      ++n, ++p;
    } else if (starP != std::string_view::npos) {
      p = starP + 1, n = ++starN;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

}  // namespace

bool MatchesWildcard(std::string_view name, std::string_view pattern) {
#ifdef FNM_CASEFOLD
  // fnmatch would take "[" for a set of characters, but a series' pattern
  // repeats its list file's name, which may hold one; a zero byte would end
  // the C strings early. Those go the portable way, as does everything
  // where no C locale can be had.
  static const locale_t kCLocale = newlocale(LC_ALL_MASK, "C", locale_t{});
  if (kCLocale != locale_t{} && pattern.find_first_of(std::string_view("[\0", 2)) == std::string_view::npos &&
      name.find('\0') == std::string_view::npos) {
    // The C locale whatever the program's: bytes are characters and only
    // ASCII letters fold, so the window (where Qt sets the user's locale)
    // lists the same files as the command line.
    const locale_t previous = uselocale(kCLocale);
    const int result = fnmatch(std::string(pattern).c_str(), std::string(name).c_str(), FNM_NOESCAPE | FNM_CASEFOLD);
    uselocale(previous);
    return result == 0;
  }
#endif
  return MatchesWildcardPortably(name, pattern);
}

}  // namespace vantor
