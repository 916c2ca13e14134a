// SPDX-License-Identifier: GPL-3.0-or-later
// Analyser export layout, read as a stream of fields and lines:
//   line 1       skipped
//   line 2       title, date yy/mm/dd (or yyyy/mm/dd, yyyy-mm-dd), time
//                hh:mm:ss, live time, real time
//   lines 3-5    skipped
//   line 6       two unused numbers, the channel count N (1..8192)
//   line 7       sample identifier, one unused text
//   line 8       skipped
//   then         groups of a label followed by up to ten counts, until N
//                counts are read (N = 2048 gives 205 labels)
// A field ends at a comma, at CR LF or at a lone LF; blanks (spaces) around it do not
// count; a text may be quoted, and whatever follows its closing quote up to
// the delimiter is dropped. A number field that holds no number reads as 0.
#include "formats/CsvSource.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string_view>

#include "base/TextRoutines.h"

namespace vantor {
namespace {

// Fields and lines of the export, front to back; every step moves forward,
// so a whole file is read in linear time. Reading past the end fails.
class FieldReader {
 public:
  explicit FieldReader(std::string_view text) : text_(text) {}

  std::optional<std::string_view> Field() {
    while (pos_ < text_.size() && text_[pos_] == ' ') ++pos_;
    if (pos_ >= text_.size()) return std::nullopt;
    std::string_view value;
    if (text_[pos_] == '"') {
      const std::size_t open = pos_ + 1;
      const std::size_t close = std::min(text_.find('"', open), text_.size());
      value = text_.substr(open, close - open);
      Consume(Delimiter(std::min(close + 1, text_.size())));
    } else {
      const std::size_t end = Delimiter(pos_);
      value = text_.substr(pos_, end - pos_);
      while (!value.empty() && value.back() == ' ') value.remove_suffix(1);
      Consume(end);
    }
    return value;
  }

  // Discards everything up to and including the next line end.
  bool SkipLine() {
    if (pos_ >= text_.size()) return false;
    const std::size_t end = text_.find('\n', pos_);
    pos_ = end == std::string_view::npos ? text_.size() : end + 1;
    ++line_;
    return true;
  }

  // The line the next field starts on, counted from 1.
  std::size_t Line() const { return line_; }

 private:
  // Where the field starting at `from` ends: a comma, a CR LF, a lone LF,
  // or the end.
  std::size_t Delimiter(std::size_t from) const {
    for (std::size_t i = from; i < text_.size(); ++i) {
      if (text_[i] == ',' || text_[i] == '\n' || (text_[i] == '\r' && i + 1 < text_.size() && text_[i + 1] == '\n'))
        return i;
    }
    return text_.size();
  }

  void Consume(std::size_t delimiter) {
    if (delimiter >= text_.size()) {
      pos_ = text_.size();
    } else if (text_[delimiter] == ',') {
      pos_ = delimiter + 1;
    } else {
      pos_ = delimiter + (text_[delimiter] == '\r' ? 2 : 1);
      ++line_;
    }
  }

  std::string_view text_;
  std::size_t pos_ = 0;
  std::size_t line_ = 1;
};

bool ReadNumber(FieldReader& in, double& value) {
  const auto field = in.Field();
  if (!field) return false;
  value = ParseNumber(*field).value_or(0.0);
  return true;
}

// A count: the number rounded half to even; one beyond 32 bits fails.
bool ReadCount(FieldReader& in, std::int32_t& count) {
  double value = 0;
  if (!ReadNumber(in, value)) return false;
  const auto rounded = RoundToInteger<std::int32_t>(value);
  if (!rounded) return false;
  count = *rounded;
  return true;
}

// The text of "07/07/23" or "14:25:30" without its separators.
std::string Pairs(std::string_view text) {
  std::string out = ColumnSlice(text, 1, 2);
  out += ColumnSlice(text, 4, 2);
  out += ColumnSlice(text, 7, 2);
  return out;
}

bool IsDigits(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// yyyymmdd: "2006/09/09" and "2006-09-09" as they are; any other date the
// analyser's yy/mm/dd with the century 20 ("07/07/23" gives 20070723).
std::string DateOf(std::string_view date) {
  if (date.size() == 10 && (date[4] == '/' || date[4] == '-') && date[7] == date[4] && IsDigits(date.substr(0, 4)) &&
      IsDigits(date.substr(5, 2)) && IsDigits(date.substr(8, 2)))
    return std::string(date.substr(0, 4)) + std::string(date.substr(5, 2)) + std::string(date.substr(8, 2));
  return "20" + Pairs(date);
}

ReadResult Failure(const FieldReader& in, std::string_view why) { return FileErrorAtLine(in.Line(), why); }

ReadResult ReadTimes(FieldReader& in, SpectrumRecord& r) {
  CommonCondition& c = r.Head.Common;
  MeasureCondition& m = r.Head.Measure;
  const std::size_t line = in.Line();  // reading its last field moves on to the next line
  const auto title = in.Field();
  const auto date = title ? in.Field() : std::nullopt;
  const auto time = date ? in.Field() : std::nullopt;
  if (!time || !ReadNumber(in, m.LiveTime) || !ReadNumber(in, m.RealTime))
    return Failure(in, "file ends before the title, date, time, live and real time");
  AssignText(c.SampleTitle, *title);
  AssignText(c.MeasDate, DateOf(*date));
  AssignText(c.MeasTime, Pairs(*time));
  if (m.RealTime == 0) return FileErrorAtLine(line, "real time is 0");  // no dead time without a real time
  m.DeadTime = DeadTimePercent(m.RealTime, m.LiveTime);
  return {};
}

ReadResult ReadCounts(FieldReader& in, SpecData& data) {
  const int n = data.DataNumber;
  for (int stored = 0; stored < n;) {
    if (!in.Field()) return Failure(in, "file ends after " + std::to_string(stored) + " of " + std::to_string(n) + " counts");
    for (int j = 0; j < 10 && stored < n; ++j, ++stored) {
      if (!ReadCount(in, data.Count[stored]))
        return Failure(in, "count " + std::to_string(stored + 1) + " is missing or beyond 32 bits");
    }
  }
  return {};
}

}  // namespace

ReadResult CsvSourceRecord(std::string_view text, SpectrumRecord& r) {
  // The CSV table this program writes shares the extension; it is no source.
  if (text.starts_with("Press X,"))
    return FileErrorAtByte(0, "a CSV table written by convert or combine, not an analyser export");
  FieldReader in(text);
  if (!in.SkipLine()) return Failure(in, "file is empty");
  if (ReadResult times = ReadTimes(in, r); !times) return times;
  for (int i = 0; i < 3; ++i)
    if (!in.SkipLine()) return Failure(in, "file ends before the channel count");
  double unused = 0, channels = 0;
  const std::size_t countLine = in.Line();
  if (!ReadNumber(in, unused) || !ReadNumber(in, unused) || !ReadNumber(in, channels))
    return Failure(in, "file ends before the channel count");
  // An export always has channels; our own CSV output read as a source has
  // none where an export keeps its channel count.
  const double n = std::nearbyint(channels);
  if (!(n >= 1 && n <= kMaxChannels)) return FileErrorAtLine(countLine, "channel count is not in 1..8192");
  r.Data.DataNumber = static_cast<std::int16_t>(n);
  const auto id = in.Field();
  if (!id || !in.Field() || !in.SkipLine()) return Failure(in, "file ends before the sample identifier");
  AssignText(r.Head.Common.SampleID, *id);
  return ReadCounts(in, r.Data);
}

}  // namespace vantor
