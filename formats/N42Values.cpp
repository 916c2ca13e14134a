// SPDX-License-Identifier: GPL-3.0-or-later
// The texts inside N42 elements. Both N42.42 schemas (2006 and 2011) write
// counts as blank-separated numbers; with the compression "CountedZeroes" a
// 0 is followed by the number of zero channels it stands for. Times are XML
// Schema durations and date-times.
#include "formats/N42Values.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "base/TextRoutines.h"

namespace vantor::n42 {
namespace {

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// The next blank-separated field from `at` on, or an empty view at the end.
std::string_view NextField(std::string_view text, std::size_t& at) {
  while (at < text.size() && IsSpace(text[at])) ++at;
  const std::size_t start = at;
  while (at < text.size() && !IsSpace(text[at])) ++at;
  return text.substr(start, at - start);
}

std::optional<double> WholeNumber(std::string_view field, double lowest, double highest) {
  const auto value = ParseNumber(field);
  if (!value || std::floor(*value) != *value || *value < lowest || *value > highest) return std::nullopt;
  return value;
}

// "nn" digits from `at` as a number, advancing `at`; none when fewer digits.
std::optional<int> Digits(std::string_view text, std::size_t& at, std::size_t count) {
  if (at + count > text.size()) return std::nullopt;
  int value = 0;
  for (std::size_t i = 0; i < count; ++i) {
    if (!IsDigit(text[at + i])) return std::nullopt;
    value = value * 10 + (text[at + i] - '0');
  }
  at += count;
  return value;
}

bool Expect(std::string_view text, std::size_t& at, char c) {
  if (at >= text.size() || text[at] != c) return false;
  ++at;
  return true;
}

// "Z", "+hh:mm" or "-hh:mm" (or nothing) from `at` to the end.
std::optional<std::string> Zone(std::string_view text, std::size_t at) {
  if (at == text.size()) return std::string();
  if (text.substr(at) == "Z") return std::string("UTC");
  const std::size_t sign = at;
  if (text[at] != '+' && text[at] != '-') return std::nullopt;
  ++at;
  const auto hours = Digits(text, at, 2);
  if (!hours || !Expect(text, at, ':') || !Digits(text, at, 2) || at != text.size() || *hours > 14) return std::nullopt;
  return std::string(text.substr(sign));
}

}  // namespace

ReadResult ChannelCounts::Add(std::string_view text, std::size_t line) {
  constexpr double kInt32Low = std::numeric_limits<std::int32_t>::min();
  constexpr double kInt32High = std::numeric_limits<std::int32_t>::max();
  std::size_t at = 0;
  for (std::string_view field = NextField(text, at); !field.empty(); field = NextField(text, at)) {
    const auto lineOfField = [&] {
      const std::size_t start = static_cast<std::size_t>(field.data() - text.data());
      return line + static_cast<std::size_t>(std::count(text.begin(), text.begin() + start, '\n'));
    };
    if (zeroRun_) {
      const auto zeros = WholeNumber(field, 0, std::numeric_limits<std::uint32_t>::max());
      if (!zeros)
        return FileErrorAtLine(
            lineOfField(), "the number of zeros \"" + std::string(field) + "\" is not a whole number within 32 bits");
      channels_ += static_cast<std::uint64_t>(*zeros);
      zeroRun_ = false;
      continue;
    }
    const auto count = WholeNumber(field, kInt32Low, kInt32High);
    if (!count)
      return FileErrorAtLine(lineOfField(),
                             "the count \"" + std::string(field) + "\" is not a whole number within 32 bits");
    if (*count == 0 && countedZeros_) {
      zeroRun_ = true;
      continue;
    }
    if (channels_ < kMaxChannels) out_.Count[channels_] = static_cast<std::int32_t>(*count);
    ++channels_;
  }
  return {};
}

ReadResult ChannelCounts::Finish(std::size_t line) {
  if (zeroRun_) return FileErrorAtLine(line, "the channel data end with a 0 without its number of zeros");
  if (channels_ == 0) return FileErrorAtLine(line, "the channel data hold no counts");
  if (channels_ > kMaxChannels)
    return FileErrorAtLine(line, std::to_string(channels_) + " channels; at most 8192 can be read");
  out_.DataNumber = static_cast<std::int16_t>(channels_);
  return {};
}

std::optional<double> DurationSeconds(std::string_view written) {
  const std::string collapsed = Collapsed(written);
  const std::string_view text = collapsed;
  if (text.empty()) return std::nullopt;
  if (text[0] != 'P') {
    const auto plain = ParseNumber(text);
    if (!plain || *plain < 0) return std::nullopt;
    return plain;
  }
  double seconds = 0;
  bool timePart = false, any = false;
  std::size_t at = 1;
  while (at < text.size()) {
    if (text[at] == 'T' && !timePart) {
      timePart = true;
      ++at;
      continue;
    }
    std::size_t end = at;
    while (end < text.size() && (IsDigit(text[end]) || text[end] == '.')) ++end;
    const auto value = ParseNumber(text.substr(at, end - at));
    if (end == at || end == text.size() || !value) return std::nullopt;
    const char unit = text[end];
    const double scale = !timePart && unit == 'D'  ? 86400
                         : timePart && unit == 'H' ? 3600
                         : timePart && unit == 'M' ? 60
                         : timePart && unit == 'S' ? 1
                                                   : 0;
    if (scale == 0) return std::nullopt;
    seconds += *value * scale;
    any = true;
    at = end + 1;
  }
  if (!any || !std::isfinite(seconds)) return std::nullopt;
  return seconds;
}

std::optional<StartTime> ParseStartTime(std::string_view text) {
  const std::string trimmed = Collapsed(text);
  const std::string_view t = trimmed;
  std::size_t at = 0;
  const auto year = Digits(t, at, 4);
  if (!year || !Expect(t, at, '-')) return std::nullopt;
  const auto month = Digits(t, at, 2);
  if (!month || !Expect(t, at, '-')) return std::nullopt;
  const auto day = Digits(t, at, 2);
  if (!day || !Expect(t, at, 'T')) return std::nullopt;
  const auto hour = Digits(t, at, 2);
  if (!hour || !Expect(t, at, ':')) return std::nullopt;
  const auto minute = Digits(t, at, 2);
  if (!minute || !Expect(t, at, ':')) return std::nullopt;
  const auto second = Digits(t, at, 2);
  if (!second) return std::nullopt;
  if (*month < 1 || *month > 12 || *day < 1 || *day > 31 || *hour > 23 || *minute > 59 || *second > 60)
    return std::nullopt;
  if (at < t.size() && t[at] == '.') {
    const std::size_t fraction = ++at;
    while (at < t.size() && IsDigit(t[at])) ++at;
    if (at == fraction) return std::nullopt;
  }
  auto zone = Zone(t, at);
  if (!zone) return std::nullopt;
  return StartTime{std::string(t.substr(0, 4)) + std::string(t.substr(5, 2)) + std::string(t.substr(8, 2)),
                   std::string(t.substr(11, 2)) + std::string(t.substr(14, 2)) + std::string(t.substr(17, 2)),
                   std::move(*zone)};
}

std::optional<std::vector<double>> NumberList(std::string_view text) {
  std::vector<double> values;
  std::size_t at = 0;
  for (std::string_view field = NextField(text, at); !field.empty(); field = NextField(text, at)) {
    const auto value = ParseNumber(field);
    if (!value) return std::nullopt;
    values.push_back(*value);
  }
  return values;
}

std::optional<std::array<double, 3>> ChannelOneCoefficients(const std::vector<double>& zeroBased) {
  if (std::any_of(zeroBased.begin() + std::min<std::size_t>(zeroBased.size(), 3), zeroBased.end(),
                  [](double c) { return c != 0; }))
    return std::nullopt;
  std::array<double, 3> c{};
  std::copy_n(zeroBased.begin(), std::min<std::size_t>(zeroBased.size(), 3), c.begin());
  // c0 + c1 k + c2 k^2 with k = x - 1
  return std::array<double, 3>{c[0] - c[1] + c[2], c[1] - 2 * c[2], c[2]};
}

std::string Collapsed(std::string_view text) {
  std::string out;
  std::size_t at = 0;
  for (std::string_view field = NextField(text, at); !field.empty(); field = NextField(text, at)) {
    if (!out.empty()) out += ' ';
    out += field;
  }
  return out;
}

}  // namespace vantor::n42
