// SPDX-License-Identifier: GPL-3.0-or-later
// What the readers of detectors' text formats (MED, SPE, IEC 61455, Amptek
// MCA) share: lines and blank-separated fields, whole counts, dates whose
// day and month order the file has to tell, texts into the record's fields,
// and calibrations written for channel numbers that start elsewhere than 1.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/Cp932.h"
#include "base/ReadResult.h"
#include "base/SourceSpectrum.h"
#include "base/SpectrumRecord.h"

namespace vantor {

// The lines of a text, numbered from 1. A line ends at LF; a CR before it
// is dropped, and so is a last line's CR without LF.
class TextLines {
 public:
  explicit TextLines(std::string_view text) : text_(text) {}
  // The next line; false at the end of the text.
  bool Next(std::string_view& line) {
    if (pos_ >= text_.size()) return false;
    last_ = pos_;
    const std::size_t end = std::min(text_.find('\n', pos_), text_.size());
    line = text_.substr(pos_, end - pos_);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    pos_ = end + 1;
    ++number_;
    return true;
  }
  // Gives the line Next gave last once more.
  void Unread();
  std::size_t Number() const { return number_; }  // of the line Next gave last

 private:
  std::string_view text_;
  std::size_t pos_ = 0;
  std::size_t last_ = 0;
  std::size_t number_ = 0;
};

// The fields of a line that blanks or tabs separate, front to back.
class Fields {
 public:
  explicit Fields(std::string_view line) : line_(line) {}
  // Inline: the data lines' counts go through here.
  bool Next(std::string_view& field) {
    while (pos_ < line_.size() && (line_[pos_] == ' ' || line_[pos_] == '\t')) ++pos_;
    if (pos_ >= line_.size()) return false;
    const std::size_t start = pos_;
    while (pos_ < line_.size() && line_[pos_] != ' ' && line_[pos_] != '\t') ++pos_;
    field = line_.substr(start, pos_ - start);
    return true;
  }
  // What is left of the line, without blanks around it.
  std::string_view Rest() const;

 private:
  std::string_view line_;
  std::size_t pos_ = 0;
};

std::string_view TrimSpace(std::string_view text);

// A count: a whole number within 32 bits, as digits, digits with a point
// and zeros ("9.", "9.00") or any number form with a whole value ("1.5E3").
std::optional<std::int32_t> ParseCount(std::string_view field);
// The same as a flag and the count, inline for the data lines' many
// counts: an optional returned from two paths goes through memory, and
// that store stalls the loop.
inline bool ReadCount(std::string_view field, std::int32_t& count) {
  if (field.empty() || field.size() > 9) {
    const auto parsed = ParseCount(field);
    count = parsed.value_or(0);
    return parsed.has_value();
  }
  std::int32_t value = 0;
  for (const char c : field) {
    if (c < '0' || c > '9') {
      const auto parsed = ParseCount(field);
      count = parsed.value_or(0);
      return parsed.has_value();
    }
    value = value * 10 + (c - '0');
  }
  count = value;
  return true;
}

// How a file writes a numeric date of two-digit day and month fields.
enum class DayOrder { MonthFirst, DayFirst };

// The order the file's numeric dates ("09/12/21", "08/25/21 11:34:36")
// allow: a first field above 12 can only be a day, a second one above 12
// only a day too; the first date that decides decides for the file, and
// `usual` (the format's own order) holds when none does.
DayOrder OrderOfDates(std::span<const std::string_view> dates, DayOrder usual);

// Sets MeasDate and MeasTime from a numeric date ("mm/dd/yy", "dd.mm.yyyy",
// "yyyy-mm-dd"; separators / - .) and a clock "hh:mm[:ss[.fraction]]" whose
// fraction is cut. False, the record untouched, when either is not a valid
// date or time.
bool SetMeasured(CommonCondition& common, std::string_view date, std::string_view clock, DayOrder order);
// The same from numbers; years of two digits are 1970 to 2069.
bool SetMeasured(CommonCondition& common, int year, int month, int day, std::string_view clock);

// A text of another program (UTF-8, else Latin-1 byte by byte) as UTF-8.
std::string AsUtf8(std::string_view text);

// Writes a text into a record field in code page 932, with a note naming
// `what` when characters had to become "?". False when the field cut it.
template <std::size_t N>
bool SetText(Text<N>& field, std::string_view text, std::string_view what, std::vector<std::string>& notes) {
  bool replaced = false;
  const std::string bytes = Utf8ToCp932(TrimSpace(text), &replaced);
  AssignText(field, bytes);
  if (replaced) notes.push_back(std::string(what) + ": characters code page 932 cannot hold were written as \"?\"");
  return bytes.size() <= N;
}

// The record's calibration (channels numbered from 1) of a polynomial
// c0 + c1·k + c2·k² in the file's channel numbers k, where the first
// channel is number `first`: the energies, not the coefficients, agree.
std::array<double, 3> EgcOfChannelNumbers(const std::array<double, 3>& c, double first);

// keV per unit of an energy unit's name ("keV", "eV", "MeV"; no name is
// keV); none for any other name.
std::optional<double> KeVPerUnit(std::string_view unit);

// The least-squares line {offset, slope} through points {x, y}; none for
// fewer than two distinct x.
std::optional<std::array<double, 2>> FitLine(std::span<const std::array<double, 2>> points);

// Live and real time with the dead time they give.
void SetTimes(MeasureCondition& measure, double realTime, double liveTime);

// The refusal of a spectrum longer than the record holds.
ReadResult TooManyChannels(std::size_t line, long long channels);

}  // namespace vantor
