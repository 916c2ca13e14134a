// SPDX-License-Identifier: GPL-3.0-or-later
// The profile file as our NPD writer produces it:
//   line  1       Record length,27      lines before "Data length, "
//   lines 2-24    one value each after the label's ",", by position
//   lines 25-27   ","                   skipped through the record length
//   line  28      Data length, N
//   line  29      Counting sec, t       not read (times come from 11, 12)
//   then N lines  channel,energy,count  only the count is read
// A line ends at CR LF, a lone CR or a lone LF, so files re-saved on Unix or
// by other tools read the same. A spreadsheet that re-saves the file pads
// every row with "," to the data lines' three fields ("Record length,27,");
// line 1 ending in "," gives such a file away, since we never write one.
// Values that are not numbers are tolerated; a file without its data is not.
#include "formats/Npd.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "base/TextFit.h"
#include "base/TextRoutines.h"

namespace vantor {
namespace {

constexpr int kHeaderLines = 24;

// A line without its trailing empty fields (a "," followed only by blanks
// and further ","), keeping the line's first ",": "Sample name,,," gives
// "Sample name,", "Record length,27, " gives "Record length,27".
std::string_view WithoutPadding(std::string_view line) {
  const auto first = line.find(',');
  if (first == std::string_view::npos) return line;
  std::size_t end = line.size();
  while (end > first + 1) {
    const auto last = line.find_last_not_of(' ', end - 1);
    if (last == std::string_view::npos || last <= first || line[last] != ',') break;
    end = last;
  }
  const auto kept = line.find_last_not_of(' ', end - 1);
  return line.substr(0, kept == first ? first + 1 : end);
}

class LineReader {
 public:
  explicit LineReader(std::string_view text) : text_(text) {}

  // The next line; no value once the file is used up. Line 1 tells whether
  // the file is padded; from then on every line loses its padding.
  std::optional<std::string_view> Next() {
    if (pos_ >= text_.size()) return std::nullopt;
    const std::size_t end = std::min(text_.find_first_of("\r\n", pos_), text_.size());
    std::string_view line = text_.substr(pos_, end - pos_);
    pos_ = end + 1;
    if (end < text_.size() && text_[end] == '\r' && pos_ < text_.size() && text_[pos_] == '\n') ++pos_;
    if (++number_ == 1) {
      const auto last = line.find_last_not_of(' ');
      padded_ = last != std::string_view::npos && line[last] == ',';
    }
    return padded_ ? WithoutPadding(line) : line;
  }

  // The number of the line read last, counted from 1.
  std::size_t Number() const { return number_; }

 private:
  std::string_view text_;
  std::size_t pos_ = 0;
  std::size_t number_ = 0;
  bool padded_ = false;
};

// The text after the first `separator`, or the whole text when it has none.
std::string_view After(std::string_view text, char separator) {
  const auto at = text.find(separator);
  return at == std::string_view::npos ? text : text.substr(at + 1);
}

// The value of a header line: after the first ",", without blanks around.
std::string_view Value(std::string_view line) {
  return TrimBlanks(After(line, ','));
}

// A number of the text rounded half to even; none outside T's range.
template <typename T>
std::optional<T> Integer(std::string_view text) {
  const auto number = ParseNumber(text);
  return number ? RoundToInteger<T>(*number) : std::nullopt;
}

void SetNumber(double& field, std::string_view text) {
  if (const auto number = ParseNumber(text)) field = *number;
}

// "yyyy-mm-dd hh:mm:ss": the date at fixed places, the time split at its two
// ":" with one-digit parts padded ("9:5:30" gives 090530). Without two ":"
// the time stays as it was.
void ReadDateTime(std::string_view value, CommonCondition& c) {
  std::string date = ColumnSlice(value, 1, 4);
  date += ColumnSlice(value, 6, 2);
  date += ColumnSlice(value, 9, 2);
  AssignText(c.MeasDate, date);

  const std::string rest = ColumnSlice(value, 11, std::string_view::npos);
  const std::string_view time = TrimBlanks(rest);
  const auto first = time.find(':');
  if (first == std::string_view::npos) return;
  const auto second = time.find(':', first + 1);
  if (second == std::string_view::npos) return;
  std::string joined;
  for (const std::string_view part :
       {time.substr(0, first), time.substr(first + 1, second - first - 1), time.substr(second + 1)}) {
    if (part.size() == 1) joined += '0';
    joined += part;
  }
  AssignText(c.MeasTime, joined);
}

// "X(mm)=1.500 Y(mm)=-2.000 ...": each number runs from an "=" to the next
// blank, the last one to the end. An item without its "=" or its blank ends
// the line; a number that is not one leaves its field alone.
void ReadItems(std::string_view value, std::span<double* const> fields) {
  std::size_t from = 0;
  for (std::size_t f = 0; f < fields.size(); ++f) {
    const auto equals = value.find('=', from);
    if (equals == std::string_view::npos) return;
    std::string_view number = value.substr(equals + 1);
    if (f + 1 < fields.size()) {
      const auto blank = value.find(' ', equals + 1);
      if (blank == std::string_view::npos) return;
      number = value.substr(equals + 1, blank - equals - 1);
      from = blank;
    }
    SetNumber(*fields[f], number);
  }
}

// The field that header lines 7 to 18 and 24 hold as a plain number.
double* NumberLine(int line, MeasureCondition& m) {
  switch (line) {
    case 7:
      return &m.EGC[0];
    case 8:
      return &m.EGC[1];
    case 9:
      return &m.EGC[2];
    case 10:
      return &m.TwoTheta;
    case 11:
      return &m.LiveTime;
    case 12:
      return &m.RealTime;
    case 13:
      return &m.DeadTime;
    case 15:
      return &m.PressLoad;
    case 17:
      return &m.MiriVolt;
    case 18:
      return &m.RateMeter;
    case 24:
      return &m.RamStroke;
    default:
      return nullptr;
  }
}

// Header lines 19 to 22: press, slits, heater.
void ReadItemLine(int line, std::string_view value, MeasureCondition& m) {
  switch (line) {
    case 19:
      ReadItems(value, std::array{&m.PressX, &m.PressY, &m.PressZ, &m.PressTZ});
      break;
    case 20:
      ReadItems(value, std::array{&m.InSlitV, &m.InSlitH});
      break;
    case 21:
      ReadItems(value, std::array{&m.ReSlitV, &m.ReSlitH, &m.CollimatorSize});
      break;
    case 22:
      ReadItems(value, std::array{&m.Volt, &m.Current2, &m.Power, &m.Resistance});
      break;
  }
}

void ReadHeaderLine(int line, std::string_view text, Header& h, int& recordLength) {
  CommonCondition& c = h.Common;
  MeasureCondition& m = h.Measure;
  const std::string_view value = Value(text);
  if (double* field = NumberLine(line, m)) {
    SetNumber(*field, value);
    return;
  }
  switch (line) {
    case 1:
      if (const auto length = Integer<std::int16_t>(After(text, ','))) recordLength = *length;
      break;
    case 2:
      AssignText(c.SampleTitle, value);
      break;
    case 3:
      AssignText(c.Operator, value);
      break;
    case 4:
      AssignText(c.SampleID, value);
      break;
    case 5:
      ReadDateTime(value, c);
      break;
    case 6:
      if (value == "Real") m.MeasureType = 2;
      if (value == "Live") m.MeasureType = 1;
      if (value == "Separate") m.MeasureType = 4;
      break;
    case 14:
      if (const auto kelvin = ParseNumber(value)) m.Temperature = *kelvin - kZeroCelsiusInKelvin;
      break;
    case 16:
      if (const auto current = ParseNumber(After(text, '='))) m.RingCurrent = m.RingCurrent2 = *current;
      break;
    case 19:
    case 20:
    case 21:
    case 22:
      ReadItemLine(line, value, m);
      break;
    case 23:
      AssignText(c.Comment, value);
      break;
    default:
      break;
  }
}

// The count of a data line: the text after its second ",", or the whole
// line with fewer commas.
std::optional<std::int32_t> CountOf(std::string_view line) {
  const auto first = line.find(',');
  const auto second = first == std::string_view::npos ? first : line.find(',', first + 1);
  const std::string_view text = second == std::string_view::npos ? line : line.substr(second + 1);
  return Integer<std::int32_t>(text);
}

// The "Data length, " line's N, or why there is none that the record holds.
// A negative N has no channels.
ReadResult ReadDataLength(LineReader& in, int& n) {
  const auto line = in.Next();
  if (!line) return FileErrorAtLine(in.Number() + 1, "file ends before the Data length line");
  const std::string_view text = Value(*line);
  if (const auto number = ParseNumber(text); number && std::nearbyint(*number) > kMaxChannels)
    return FileErrorAtLine(in.Number(), "Data length " + std::string(text) + " is above 8192");
  const auto value = Integer<std::int16_t>(text);
  if (!value) return FileErrorAtLine(in.Number(), "Data length is not a number");
  n = std::max<int>(*value, 0);
  return {};
}

ReadResult ReadProfile(std::string_view text, SpectrumRecord& r) {
  LineReader in(text);
  int recordLength = 0;
  for (int line = 1; line <= kHeaderLines; ++line) {
    const auto content = in.Next();
    if (!content) break;  // the Data length line below is then missing too
    ReadHeaderLine(line, *content, r.Head, recordLength);
  }
  for (int line = kHeaderLines; line < recordLength; ++line) in.Next();
  int n = 0;
  if (ReadResult length = ReadDataLength(in, n); !length) return length;
  in.Next();  // the counting time
  for (int i = 0; i < n; ++i) {
    const auto line = in.Next();
    if (!line)
      return FileErrorAtLine(in.Number() + 1,
                             "file ends after " + std::to_string(i) + " of " + std::to_string(n) + " data lines");
    const auto count = CountOf(*line);
    // A count read as 0 would be a made-up number in every output.
    if (!count) return FileErrorAtLine(in.Number(), "count is not a whole number within 32 bits");
    r.Data.Count[i] = *count;
  }
  r.Data.DataNumber = static_cast<std::int16_t>(n);
  return {};
}

}  // namespace

ReadResult NpdRecord(std::string_view text, SpectrumRecord& fresh) {
  fresh.Head.Common.SourceFormat = 4;
  return ReadProfile(text, fresh);
}

}  // namespace vantor
