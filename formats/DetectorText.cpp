// SPDX-License-Identifier: GPL-3.0-or-later
// Shared pieces of the detectors' text readers.
#include "formats/DetectorText.h"

#include <cmath>
#include <limits>

#include "base/TextRoutines.h"

namespace vantor {
namespace {

bool IsSpace(char c) {
  return c == ' ' || c == '\t';
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// Digits [from, from + count) of `text` as a number; none unless all are digits.
std::optional<int> DigitsAt(std::string_view text, std::size_t from, std::size_t count) {
  if (from + count > text.size() || count == 0) return std::nullopt;
  int value = 0;
  for (std::size_t i = from; i < from + count; ++i) {
    if (!IsDigit(text[i])) return std::nullopt;
    value = value * 10 + (text[i] - '0');
  }
  return value;
}

struct NumericDate {
  std::array<int, 3> fields{};
  bool yearFirst = false;
};

// Three fields of 1 to 4 digits with one separator kind between them.
std::optional<NumericDate> ParseNumericDate(std::string_view text) {
  NumericDate date;
  std::size_t pos = 0;
  char separator = 0;
  for (int f = 0; f < 3; ++f) {
    std::size_t end = pos;
    while (end < text.size() && IsDigit(text[end])) ++end;
    const auto value = end - pos <= 4 ? DigitsAt(text, pos, end - pos) : std::nullopt;
    if (!value) return std::nullopt;
    date.fields[f] = *value;
    if (f == 0) date.yearFirst = end - pos == 4;
    if (f == 2) return end == text.size() ? std::optional(date) : std::nullopt;
    if (end >= text.size() || (text[end] != '/' && text[end] != '-' && text[end] != '.')) return std::nullopt;
    if (separator != 0 && text[end] != separator) return std::nullopt;
    separator = text[end];
    pos = end + 1;
  }
  return std::nullopt;
}

// "hh:mm", "hh:mm:ss" or "hh:mm:ss.fraction" (one-digit hours too); the
// fraction of a second is cut, not rounded.
std::optional<std::array<int, 3>> ParseClock(std::string_view clock) {
  const std::size_t colon = clock.size() > 1 && IsDigit(clock[1]) ? 2 : 1;
  std::array<int, 3> hms{DigitsAt(clock, 0, colon).value_or(-1), -1, 0};
  if (colon < clock.size() && clock[colon] == ':') hms[1] = DigitsAt(clock, colon + 1, 2).value_or(-1);
  std::size_t end = colon + 3;
  if (end < clock.size() && clock[end] == ':') hms[2] = DigitsAt(clock, end + 1, 2).value_or(-1), end += 3;
  if (end < clock.size() && clock[end] == '.') {
    ++end;
    while (end < clock.size() && IsDigit(clock[end])) ++end;
  }
  const bool valid =
      end == clock.size() && hms[0] >= 0 && hms[0] <= 23 && hms[1] >= 0 && hms[1] <= 59 && hms[2] >= 0 && hms[2] <= 59;
  return valid ? std::optional(hms) : std::nullopt;
}

int DaysInMonth(int year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : kDays[month - 1];
}

void AppendDigits(std::string& out, int value, int width) {
  std::string digits = std::to_string(value);
  if (static_cast<int>(digits.size()) < width) out.append(width - digits.size(), '0');
  out += digits;
}

// Length of the UTF-8 character at `i`, or 0 when the bytes there are not one.
std::size_t Utf8Length(std::string_view text, std::size_t i) {
  const auto lead = static_cast<unsigned char>(text[i]);
  const std::size_t length = lead < 0x80                   ? 1
                             : lead >= 0xC2 && lead < 0xE0 ? 2
                             : lead >= 0xE0 && lead < 0xF0 ? 3
                             : lead >= 0xF0 && lead < 0xF5 ? 4
                                                           : 0;
  if (length == 0 || i + length > text.size()) return 0;
  for (std::size_t k = 1; k < length; ++k)
    if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return 0;
  return length;
}

}  // namespace

void TextLines::Unread() {
  if (number_ == 0) return;
  pos_ = last_;
  --number_;
}

std::string_view Fields::Rest() const {
  return TrimSpace(line_.substr(std::min(pos_, line_.size())));
}

std::string_view TrimSpace(std::string_view text) {
  while (!text.empty() && IsSpace(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsSpace(text.back())) text.remove_suffix(1);
  return text;
}

std::optional<std::int32_t> ParseCount(std::string_view field) {
  constexpr std::int64_t kMin = std::numeric_limits<std::int32_t>::min();
  constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
  std::size_t i = !field.empty() && (field[0] == '-' || field[0] == '+') ? 1 : 0;
  const std::size_t start = i;
  std::int64_t value = 0;
  // Digits alone (the common case) without the general number parser;
  // accumulation stops before it could overflow and leaves the rest to it.
  while (i < field.size() && IsDigit(field[i]) && value <= kMax + 1) value = value * 10 + (field[i++] - '0');
  if (i > start && i < field.size() && field[i] == '.') {
    ++i;
    while (i < field.size() && field[i] == '0') ++i;
  }
  if (i > start && i == field.size()) {
    if (field[0] == '-') value = -value;
    if (value < kMin || value > kMax) return std::nullopt;
    return static_cast<std::int32_t>(value);
  }
  const auto number = ParseNumber(field);
  if (!number || *number != std::floor(*number) || *number < kMin || *number > kMax) return std::nullopt;
  return static_cast<std::int32_t>(*number);
}

DayOrder OrderOfDates(std::span<const std::string_view> dates, DayOrder usual) {
  for (const std::string_view text : dates) {
    std::string_view date;
    Fields(text).Next(date);
    const auto parsed = ParseNumericDate(date);
    if (!parsed || parsed->yearFirst) continue;
    if (parsed->fields[0] > 12) return DayOrder::DayFirst;
    if (parsed->fields[1] > 12) return DayOrder::MonthFirst;
  }
  return usual;
}

bool SetMeasured(CommonCondition& common, std::string_view date, std::string_view clock, DayOrder order) {
  const auto parsed = ParseNumericDate(date);
  if (!parsed) return false;
  const auto [a, b, c] = parsed->fields;
  if (parsed->yearFirst) return SetMeasured(common, a, b, c, clock);
  return order == DayOrder::MonthFirst ? SetMeasured(common, c, a, b, clock) : SetMeasured(common, c, b, a, clock);
}

bool SetMeasured(CommonCondition& common, int year, int month, int day, std::string_view clock) {
  if (year < 100) year += year < 70 ? 2000 : 1900;
  if (year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month)) return false;
  const auto hms = ParseClock(clock);
  if (!hms) return false;
  std::string ymd, time;
  AppendDigits(ymd, year, 4), AppendDigits(ymd, month, 2), AppendDigits(ymd, day, 2);
  for (const int part : *hms) AppendDigits(time, part, 2);
  AssignText(common.MeasDate, ymd);
  AssignText(common.MeasTime, time);
  return true;
}

std::string AsUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t length = Utf8Length(text, i);
    if (length > 0) {
      out.append(text.substr(i, length));
      i += length;
    } else {
      const auto byte = static_cast<unsigned char>(text[i++]);
      out += static_cast<char>(0xC0 | (byte >> 6));
      out += static_cast<char>(0x80 | (byte & 0x3F));
    }
  }
  return out;
}

std::array<double, 3> EgcOfChannelNumbers(const std::array<double, 3>& c, double first) {
  // k = x + s with s = first - 1: c0 + c1·(x + s) + c2·(x + s)² regrouped by powers of x.
  const double s = first - 1;
  return {c[0] + c[1] * s + c[2] * s * s, c[1] + 2 * c[2] * s, c[2]};
}

std::optional<double> KeVPerUnit(std::string_view unit) {
  if (unit.empty() || EqualsIgnoreCase(unit, "keV")) return 1.0;
  if (EqualsIgnoreCase(unit, "eV")) return 1e-3;
  if (EqualsIgnoreCase(unit, "MeV")) return 1e3;
  return std::nullopt;
}

std::optional<std::array<double, 2>> FitLine(std::span<const std::array<double, 2>> points) {
  if (points.size() < 2) return std::nullopt;
  double meanX = 0, meanY = 0;
  for (const auto& [x, y] : points) meanX += x, meanY += y;
  meanX /= static_cast<double>(points.size());
  meanY /= static_cast<double>(points.size());
  double sxx = 0, sxy = 0;
  for (const auto& [x, y] : points) sxx += (x - meanX) * (x - meanX), sxy += (x - meanX) * (y - meanY);
  if (!(sxx > 0) || !std::isfinite(sxy)) return std::nullopt;
  const double slope = sxy / sxx;
  return std::array{meanY - slope * meanX, slope};
}

void SetTimes(MeasureCondition& measure, double realTime, double liveTime) {
  measure.RealTime = realTime;
  measure.LiveTime = liveTime;
  measure.DeadTime = DeadTimePercent(realTime, liveTime);
}

ReadResult TooManyChannels(std::size_t line, long long channels) {
  return FileErrorAtLine(
      line, std::to_string(channels) + " channels; at most " + std::to_string(kMaxChannels) + " can be read");
}

}  // namespace vantor
