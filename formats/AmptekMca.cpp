// SPDX-License-Identifier: GPL-3.0-or-later
// Amptek MCA text, as ADMCA, DppMCA and PMCA write it (Amptek's "MCA file
// format" description), blocks that start with a "<<NAME>>" line:
//   <<PMCA SPECTRUM>>      "KEY - value" lines: TAG, DESCRIPTION (the
//                          title), GAIN, ..., LIVE_TIME, REAL_TIME (s),
//                          START_TIME (mm/dd/yyyy hh:mm:ss), SERIAL_NUMBER
//   <<CALIBRATION>>        "LABEL - unit", then "channel energy" lines
//   <<ROI>>                "first last" channel lines
//   <<DATA>>               one count a line, channel 0 first
//   <<END>>                the end of the counts; a file without it is cut
//   <<DP5 CONFIGURATION>>  "CMD=value;    description" lines, to
//   <<DP5 CONFIGURATION END>>
//   <<DPP STATUS>>         "Name: value" lines, to <<DPP STATUS END>>
// The calibration is the least-squares line through the points (through
// both of two), in channels counted from 0; the record's EGC is regrouped
// so that energies agree. One point or an unknown unit gives none.
// Extras: every header key but the times, the date and the description
// that fits its field; the calibration's label and points and the ROIs as
// written; configuration and status lines as "BLOCK: name" = value, a
// configuration command's description beside its name.
#include "formats/AmptekMca.h"

#include <string>

#include "base/TextRoutines.h"
#include "formats/DetectorText.h"

namespace vantor {
namespace {

struct Amptek {
  std::string_view block;
  std::string_view unit;
  std::vector<std::array<double, 2>> points;  // {channel, energy}
  bool counted = false;
  int rois = 0;
};

// The name of a "<<NAME>>" line, or nothing.
std::string_view BlockName(std::string_view line) {
  line = TrimSpace(line);
  if (line.size() < 4 || !line.starts_with("<<") || !line.ends_with(">>")) return {};
  return line.substr(2, line.size() - 4);
}

// "KEY - value" as {KEY, value}; the whole line as the value without " - ".
std::pair<std::string_view, std::string_view> KeyValue(std::string_view line) {
  const std::size_t dash = line.find(" -");
  if (dash == std::string_view::npos) return {{}, TrimSpace(line)};
  return {TrimSpace(line.substr(0, dash)), TrimSpace(line.substr(dash + 2))};
}

ReadResult ReadHeaderLine(std::string_view line, std::size_t number, SourceSpectrum& s) {
  const auto [key, value] = KeyValue(line);
  MeasureCondition& m = s.record.Head.Measure;
  if (key == "LIVE_TIME" || key == "REAL_TIME") {
    const auto seconds = ParseNumber(value);
    if (!seconds) return FileErrorAtLine(number, std::string(key) + " is not a number");
    SetTimes(m, key == "REAL_TIME" ? *seconds : m.RealTime, key == "LIVE_TIME" ? *seconds : m.LiveTime);
  } else if (key == "START_TIME") {
    Fields fields(value);
    std::string_view date, clock;
    const std::string_view dates[] = {value};
    if (!fields.Next(date) || !fields.Next(clock) ||
        !SetMeasured(s.record.Head.Common, date, clock, OrderOfDates(dates, DayOrder::MonthFirst)))
      s.notes.push_back("start time \"" + AsUtf8(value) + "\" not understood");
  } else if (key == "DESCRIPTION") {
    if (!SetText(s.record.Head.Common.SampleTitle, value, "title", s.notes))
      s.extra.push_back({"DESCRIPTION", AsUtf8(value)});
  } else if (!TrimSpace(line).empty()) {
    s.extra.push_back({AsUtf8(key.empty() ? "PMCA SPECTRUM" : key), AsUtf8(value)});
  }
  return {};
}

ReadResult ReadCalibrationLine(std::string_view line, std::size_t number, Amptek& a, SourceSpectrum& s) {
  const auto [key, value] = KeyValue(line);
  if (key == "LABEL") {
    a.unit = value;
    s.extra.push_back({"calibration label", AsUtf8(value)});
    return {};
  }
  Fields fields(line);
  std::string_view channel, energy, more;
  const auto x = fields.Next(channel) ? ParseNumber(channel) : std::nullopt;
  const auto y = fields.Next(energy) ? ParseNumber(energy) : std::nullopt;
  if (TrimSpace(line).empty()) return {};
  if (!x || !y || fields.Next(more)) return FileErrorAtLine(number, "calibration point is not a channel and an energy");
  a.points.push_back({*x, *y});
  s.extra.push_back({"calibration point", AsUtf8(TrimSpace(line))});
  return {};
}

// A configuration line "CMD=value;    description" or a status line "Name: value".
void ReadDeviceLine(std::string_view block, std::string_view line, SourceSpectrum& s) {
  line = TrimSpace(line);
  const std::size_t equals = line.find('='), semicolon = line.find(';'), colon = line.find(':');
  std::string name(block);
  std::string_view value = line;
  if (equals != std::string_view::npos && semicolon != std::string_view::npos && equals < semicolon) {
    name += ": " + std::string(TrimSpace(line.substr(0, equals)));
    const std::string_view about = TrimSpace(line.substr(semicolon + 1));
    if (!about.empty()) name += " (" + std::string(about) + ")";
    value = TrimSpace(line.substr(equals + 1, semicolon - equals - 1));
  } else if (colon != std::string_view::npos) {
    name += ": " + std::string(TrimSpace(line.substr(0, colon)));
    value = TrimSpace(line.substr(colon + 1));
  }
  if (!line.empty()) s.extra.push_back({AsUtf8(name), AsUtf8(value)});
}

// The counts from the line after <<DATA>> to <<END>>.
ReadResult ReadCounts(TextLines& lines, SpecData& data) {
  long long channels = 0;
  for (std::string_view line; lines.Next(line);) {
    if (BlockName(line) == "END") {
      if (channels == 0) return FileErrorAtLine(lines.Number(), "no counts between <<DATA>> and <<END>>");
      if (channels > kMaxChannels) return TooManyChannels(lines.Number(), channels);
      data.DataNumber = static_cast<std::int16_t>(channels);
      return {};
    }
    line = TrimSpace(line);
    if (line.empty()) continue;
    std::int32_t count = 0;
    if (!ReadCount(line, count)) return FileErrorAtLine(lines.Number(), "count is not a whole number within 32 bits");
    if (channels < kMaxChannels) data.Count[channels] = count;
    ++channels;
  }
  return FileErrorAtLine(lines.Number(), "file ends before <<END>>: it is cut short");
}

void SetCalibration(const Amptek& a, SourceSpectrum& s) {
  if (a.points.empty()) return;
  const auto perUnit = KeVPerUnit(a.unit);
  const auto line = FitLine(a.points);
  if (!perUnit || !line) {
    s.notes.push_back("energy calibration left out: its unit is unknown or its points give no line");
    return;
  }
  s.record.Head.Measure.EGC = EgcOfChannelNumbers({(*line)[0] * *perUnit, (*line)[1] * *perUnit, 0}, 0);
}

ReadResult ReadAmptek(std::string_view bytes, std::vector<SourceSpectrum>& spectra) {
  if (!LooksLikeAmptekMca(bytes)) return FileErrorAtLine(1, "the first line is not <<PMCA SPECTRUM>>");
  TextLines lines(bytes);
  SourceSpectrum& s = spectra.emplace_back();
  Amptek a;
  for (std::string_view line; lines.Next(line);) {
    if (const std::string_view block = BlockName(line); !block.empty()) {
      a.block = block;
      if (block != "DATA") continue;
      if (a.counted) return FileErrorAtLine(lines.Number(), "a second <<DATA>> block");
      if (ReadResult r = ReadCounts(lines, s.record.Data); !r) return r;
      a.counted = true;
    } else if (a.block == "PMCA SPECTRUM") {
      if (ReadResult r = ReadHeaderLine(line, lines.Number(), s); !r) return r;
    } else if (a.block == "CALIBRATION") {
      if (ReadResult r = ReadCalibrationLine(line, lines.Number(), a, s); !r) return r;
    } else if (a.block == "ROI") {
      if (!TrimSpace(line).empty()) s.extra.push_back({"ROI " + std::to_string(++a.rois), AsUtf8(TrimSpace(line))});
    } else {
      ReadDeviceLine(a.block, line, s);
    }
  }
  if (!a.counted) return FileErrorAtLine(lines.Number(), "no <<DATA>> block");
  SetCalibration(a, s);
  return {};
}

}  // namespace

bool LooksLikeAmptekMca(std::string_view head) {
  std::string_view first;
  TextLines(head).Next(first);
  return BlockName(first) == "PMCA SPECTRUM";
}

ReadResult AmptekMcaSpectra(std::string_view bytes, std::vector<SourceSpectrum>& spectra) {
  spectra.clear();
  ReadResult result = ReadAmptek(bytes, spectra);
  if (!result) spectra.clear();
  return result;
}

}  // namespace vantor
