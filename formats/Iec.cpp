// SPDX-License-Identifier: GPL-3.0-or-later
// IEC 61455 (IEC 1455, "MCA histogram data interchange format for nuclear
// spectroscopy"): lines ("records") of about 70 characters, each starting
// with the tag "A004"; a record's meaning is its place:
//   1       system and sub-system identification, ADC number, segment
//           number, digital offset (the first channel's number)
//   2       live time, real time (s), channel count
//   3       start of the acquisition, then the sample collection time,
//           dd/mm/yy hh:mm:ss
//   4       energy calibration a0..a3 (keV) in channel numbers
//   5       FWHM calibration
//   6-9     sample description; 10 spare
//   11-22   energy/channel pairs; 23-34 energy/resolution pairs;
//           35-46 energy/efficiency pairs; 47-58 user defined
//   59-     a channel number, then the counts of it and the next four
// Numbers of records 4 on may run together ("8.0E-01-2.9E-08": a sign after
// a digit starts a new number). Dates: the standard writes the day first,
// but the programs that write the files put the month first; a date's
// field above 12 decides for the file, else the day comes first.
// Calibration: record 4 when it is not all zero, else the line fitted to
// two or more energy/channel pairs; the record's EGC is regrouped so that
// energies agree with the file's channel numbers, which count from the
// digital offset. The channel numbers of the data lines must follow on.
#include "formats/Iec.h"

#include <string>

#include "base/TextRoutines.h"
#include "formats/DetectorText.h"

namespace vantor {
namespace {

constexpr std::string_view kTag = "A004";
constexpr std::size_t kHeaderRecords = 58;

// The numbers of a record: blank-separated, and split where a sign follows a digit or a point.
std::vector<std::string_view> Numbers(std::string_view record) {
  std::vector<std::string_view> out;
  Fields fields(record);
  for (std::string_view field; fields.Next(field);) {
    std::size_t start = 0;
    for (std::size_t i = 1; i < field.size(); ++i) {
      const char before = field[i - 1];
      if ((field[i] == '-' || field[i] == '+') && ((before >= '0' && before <= '9') || before == '.')) {
        out.push_back(field.substr(start, i - start));
        start = i;
      }
    }
    out.push_back(field.substr(start));
  }
  return out;
}

std::string Join(const std::vector<std::string_view>& parts, std::size_t from, std::size_t count) {
  std::string text;
  for (std::size_t i = from; i < from + count && i < parts.size(); ++i) (text.empty() ? text : text += ' ') += parts[i];
  return text;
}

struct Iec {
  std::array<std::string_view, kHeaderRecords> records;  // without the tag
  std::size_t channels = 0;
  double offset = 0;
  std::vector<std::array<double, 2>> calibrationPoints;  // {channel, energy}
};

std::vector<std::string_view> Words(std::string_view record) {
  std::vector<std::string_view> out;
  Fields fields(record);
  for (std::string_view field; fields.Next(field);) out.push_back(field);
  return out;
}

void ReadIdentification(Iec& iec, SourceSpectrum& s) {
  static constexpr std::string_view kNames[] = {"system identification", "sub-system identification", "ADC number",
                                                "segment number", "digital offset"};
  const auto fields = Words(iec.records[0]);
  if (fields.size() < 4 || fields.size() > 5) return s.extra.push_back({"record 1", AsUtf8(TrimSpace(iec.records[0]))});
  const std::size_t skip = 5 - fields.size();  // 1 without a system identification
  for (std::size_t i = 0; i < fields.size(); ++i) s.extra.push_back({std::string(kNames[i + skip]), AsUtf8(fields[i])});
  iec.offset = ParseCount(fields.back()).value_or(0);
}

// Record 3: the start date and time, then the sample collection's.
void ReadDates(const Iec& iec, SourceSpectrum& s) {
  auto fields = Words(iec.records[2]);
  fields.resize(4);
  const std::string_view dates[] = {fields[0], fields[2]};
  const DayOrder order = OrderOfDates(dates, DayOrder::DayFirst);
  if (!SetMeasured(s.record.Head.Common, fields[0], fields[1], order))
    s.notes.push_back("start date \"" + AsUtf8(TrimSpace(iec.records[2])) + "\" not understood");
  else if (order == DayOrder::MonthFirst)
    s.notes.push_back("dates read month first, as the file's own dates show");
  if (!fields[2].empty()) s.extra.push_back({"sample collection time", AsUtf8(Join(fields, 2, 2))});
}

// Records 6 to 58: description, pairs and user lines.
void ReadDescriptions(Iec& iec, SourceSpectrum& s) {
  std::string description;
  for (std::size_t r = 5; r < 9; ++r) {
    const std::string_view line = TrimSpace(iec.records[r]);
    if (!line.empty()) (description.empty() ? description : description += ' ') += line;
  }
  if (!SetText(s.record.Head.Common.SampleTitle, description, "sample description", s.notes))
    s.extra.push_back({"sample description", AsUtf8(description)});
  static constexpr std::string_view kPairs[] = {"energy/channel pair", "energy/resolution pair",
                                                "energy/efficiency pair"};
  for (std::size_t r = 10; r < 46; ++r) {
    const auto fields = Numbers(iec.records[r]);
    for (std::size_t i = 0; i + 1 < fields.size(); i += 2) {
      const auto energy = ParseNumber(fields[i]), other = ParseNumber(fields[i + 1]);
      if (!energy || !other || (*energy == 0 && *other == 0)) continue;
      s.extra.push_back({std::string(kPairs[(r - 10) / 12]), Join(fields, i, 2)});
      if (r < 22) iec.calibrationPoints.push_back({*other, *energy});
    }
  }
  for (std::size_t r = 46; r < kHeaderRecords; ++r)
    if (!TrimSpace(iec.records[r]).empty()) s.extra.push_back({"user defined", AsUtf8(TrimSpace(iec.records[r]))});
}

void ReadCalibration(const Iec& iec, SourceSpectrum& s) {
  const auto fields = Numbers(iec.records[3]);
  std::array<double, 4> a{};
  for (std::size_t i = 0; i < fields.size() && i < 4; ++i) a[i] = ParseNumber(fields[i]).value_or(0);
  s.extra.push_back({"energy calibration", Join(fields, 0, fields.size())});
  s.extra.push_back({"FWHM calibration", Join(Numbers(iec.records[4]), 0, 8)});
  std::array<double, 3> c{a[0], a[1], a[2]};
  if (a[3] != 0) {
    s.notes.push_back("energy calibration left out: its cubic term cannot be kept");
    return;
  }
  if (c == std::array<double, 3>{}) {
    const auto line = FitLine(iec.calibrationPoints);
    if (!line) return;
    c = {(*line)[0], (*line)[1], 0};
  }
  s.record.Head.Measure.EGC = EgcOfChannelNumbers(c, iec.offset);
}

ReadResult ReadTimes(const Iec& iec, SpectrumRecord& r, std::size_t& channels) {
  const auto fields = Numbers(iec.records[1]);
  const auto live = fields.size() == 3 ? ParseNumber(fields[0]) : std::nullopt;
  const auto real = fields.size() == 3 ? ParseNumber(fields[1]) : std::nullopt;
  const auto n = fields.size() == 3 ? ParseCount(fields[2]) : std::nullopt;
  if (!live || !real || !n || *n < 1) return FileErrorAtLine(2, "record 2 needs live time, real time and channels");
  if (*n > kMaxChannels) return TooManyChannels(2, *n);
  channels = static_cast<std::size_t>(*n);
  SetTimes(r.Head.Measure, *real, *live);
  r.Data.DataNumber = static_cast<std::int16_t>(*n);
  return {};
}

// Lines of a channel number and five counts until every channel has its count.
ReadResult ReadCounts(TextLines& lines, std::size_t channels, SpecData& data) {
  std::string_view line, field;
  long long firstLabel = 0;
  for (std::size_t stored = 0, j = 0; stored < channels; ++j) {
    if (!lines.Next(line) || !line.starts_with(kTag))
      return FileErrorAtLine(lines.Number(), "counts end after " + std::to_string(stored) + " of " +
                                                 std::to_string(channels) + " channels");
    Fields fields(line.substr(kTag.size()));
    const auto label = fields.Next(field) ? ParseCount(field) : std::nullopt;
    if (j == 0 && label) firstLabel = *label;
    if (!label || *label != firstLabel + 5 * static_cast<long long>(j))
      return FileErrorAtLine(lines.Number(), "channel number does not follow on from the line before");
    for (int k = 0; k < 5 && stored < channels; ++k) {
      if (!fields.Next(field) || !ReadCount(field, data.Count[stored++]))
        return FileErrorAtLine(lines.Number(), "count is missing or not a whole number within 32 bits");
    }
  }
  while (lines.Next(line))
    if (!TrimSpace(line).empty()) return FileErrorAtLine(lines.Number(), "more counts than channels");
  return {};
}

ReadResult ReadIec(std::string_view bytes, std::vector<SourceSpectrum>& spectra) {
  TextLines lines(bytes);
  Iec iec;
  for (std::string_view& record : iec.records) {
    std::string_view line;
    if (!lines.Next(line)) return FileErrorAtLine(lines.Number(), "file ends within the header records");
    if (!line.starts_with(kTag)) return FileErrorAtLine(lines.Number(), "line does not start with A004");
    record = line.substr(kTag.size());
  }
  SourceSpectrum& s = spectra.emplace_back();
  if (ReadResult r = ReadTimes(iec, s.record, iec.channels); !r) return r;
  ReadIdentification(iec, s);
  ReadDates(iec, s);
  ReadDescriptions(iec, s);
  ReadCalibration(iec, s);
  return ReadCounts(lines, iec.channels, s.record.Data);
}

}  // namespace

bool LooksLikeIec(std::string_view head) {
  TextLines lines(head);
  std::string_view line;
  int tagged = 0;
  while (tagged < 3 && lines.Next(line)) {
    if (!line.starts_with(kTag)) return false;
    ++tagged;
  }
  return tagged == 3 || (tagged > 0 && head.size() < 4096);
}

ReadResult IecSpectra(std::string_view bytes, std::vector<SourceSpectrum>& spectra) {
  spectra.clear();
  ReadResult result = ReadIec(bytes, spectra);
  if (!result) spectra.clear();
  return result;
}

}  // namespace vantor
