// SPDX-License-Identifier: GPL-3.0-or-later
// Ortec/IAEA SPE text, as GammaVision and Maestro write it: sections that
// each start with a line "$KEYWORD:" and hold the lines up to the next one.
//   $SPEC_ID:   a description of the sample                → sample title
//   $SPEC_REM:  remarks, mostly "KEY# value"               → extras KEY = value
//   $DATE_MEA:  mm/dd/yyyy hh:mm:ss, month first as Ortec writes it (a
//               first field above 12 shows a day-first file)
//   $MEAS_TIM:  live time and real time, seconds
//   $DATA:      the first and last channel number, then one count per
//               channel, one or several to a line ("9." is a whole count)
//   $ENER_FIT:  offset and slope
//   $MCA_CAL:   the number of coefficients, then the coefficients and
//               maybe their unit (keV without one)
//   $ROI:       the number of ROIs, then first and last channel of each
//   any other:  an extra of its lines (PRESETS, SHAPE_CAL, ...)
// Calibrations count channels as the file does, from the first number of
// $DATA (0 in Ortec's files: the offset is the first channel's energy); the
// record's EGC is regrouped so that the energies agree. $MCA_CAL is used
// unless it is all zero, then $ENER_FIT; both are also kept as written.
#include "formats/Spe.h"

#include <algorithm>
#include <optional>
#include <string>

#include "base/TextRoutines.h"
#include "formats/DetectorText.h"

namespace vantor {
namespace {

// Coefficients a calibration may list; the record holds three of them.
constexpr long long kMaxCoefficients = 16;

struct Line {
  std::string_view text;
  std::size_t number;
};

struct Section {
  std::string_view name;
  std::size_t line;
  std::vector<Line> lines;
};

struct Calibration {
  std::vector<double> coefficients;
  std::string_view unit;
};

struct Spe {
  bool hasData = false;
  long long first = 0;
  std::optional<Calibration> mcaCal, enerFit;
};

ReadResult ReadSections(std::string_view bytes, std::vector<Section>& sections) {
  TextLines lines(bytes);
  for (std::string_view text; lines.Next(text);) {
    if (text.starts_with('$')) {
      const std::size_t colon = text.find(':');
      if (colon == std::string_view::npos) return FileErrorAtLine(lines.Number(), "a $ line without \":\"");
      sections.push_back({text.substr(1, colon - 1), lines.Number(), {}});
      text = text.substr(colon + 1);
      if (TrimSpace(text).empty()) continue;
    } else if (sections.empty()) {
      if (TrimSpace(text).empty()) continue;
      return FileErrorAtLine(lines.Number(), "text before the first $ section");
    }
    sections.back().lines.push_back({text, lines.Number()});
  }
  if (sections.empty()) return FileErrorAtLine(lines.Number(), "no $ sections");
  return {};
}

std::string JoinLines(const Section& s) {
  std::string text;
  for (const Line& l : s.lines) {
    const std::string_view part = TrimSpace(l.text);
    if (part.empty()) continue;
    if (!text.empty()) text += ' ';
    text += part;
  }
  return text;
}

ReadResult ReadCounts(const Section& s, Spe& spe, SpecData& data) {
  if (spe.hasData) return FileErrorAtLine(s.line, "a second $DATA section");
  spe.hasData = true;
  Fields range(s.lines.empty() ? std::string_view() : s.lines[0].text);
  std::string_view first, last, field;
  std::int32_t from = 0, to = 0;
  if (!range.Next(first) || !ReadCount(first, from) || !range.Next(last) || !ReadCount(last, to) || range.Next(field))
    return FileErrorAtLine(s.line + 1, "$DATA needs the first and last channel");
  const long long channels = static_cast<long long>(to) - from + 1;
  if (channels < 1) return FileErrorAtLine(s.line + 1, "the last channel lies before the first");
  if (channels > kMaxChannels) return TooManyChannels(s.line + 1, channels);
  spe.first = from;
  int stored = 0;
  for (std::size_t i = 1; i < s.lines.size(); ++i) {
    Fields fields(s.lines[i].text);
    while (fields.Next(field)) {
      if (stored == channels) return FileErrorAtLine(s.lines[i].number, "more counts than channels");
      if (!ReadCount(field, data.Count[stored++]))
        return FileErrorAtLine(s.lines[i].number, "count is not a whole number within 32 bits");
    }
  }
  if (stored < channels) {
    const std::size_t end = s.lines.empty() ? s.line : s.lines.back().number;
    return FileErrorAtLine(
        end, "$DATA ends after " + std::to_string(stored) + " of " + std::to_string(channels) + " counts");
  }
  data.DataNumber = static_cast<std::int16_t>(channels);
  return {};
}

// "$ENER_FIT: offset slope", or "$MCA_CAL: n" then n coefficients and maybe a unit.
ReadResult ReadCalibration(const Section& s, bool counted, std::optional<Calibration>& out) {
  const std::size_t at = counted ? 1 : 0;
  const auto n = counted && !s.lines.empty() ? ParseCount(TrimSpace(s.lines[0].text)) : std::nullopt;
  if (s.lines.size() <= at || (counted && (!n || *n < 1 || *n > kMaxCoefficients)))
    return FileErrorAtLine(s.line, "$" + std::string(s.name) + " needs its coefficients");
  const long long wanted = counted ? *n : kMaxCoefficients;
  const std::string_view text = s.lines[at].text;
  Calibration c;
  Fields fields(text);
  std::string_view field;
  c.unit = text;  // what follows the coefficients: their unit
  while (static_cast<long long>(c.coefficients.size()) < wanted && fields.Next(field)) {
    const auto number = ParseNumber(field);
    if (!number) break;
    c.coefficients.push_back(*number);
    c.unit = text.substr(static_cast<std::size_t>(field.data() + field.size() - text.data()));
  }
  c.unit = TrimSpace(c.unit);
  if (c.coefficients.empty() || (counted && static_cast<long long>(c.coefficients.size()) < wanted))
    return FileErrorAtLine(s.lines[at].number, "$" + std::string(s.name) + " has fewer coefficients than it says");
  out = c;
  return {};
}

void AddRemarks(const Section& s, SourceSpectrum& spectrum) {
  for (const Line& l : s.lines) {
    const std::string_view text = TrimSpace(l.text);
    const std::size_t hash = text.find('#');
    const std::string_view key = text.substr(0, std::min(hash, text.size()));
    if (text.empty()) continue;
    if (hash != std::string_view::npos && hash > 0 && key.find(' ') == std::string_view::npos) {
      spectrum.extra.push_back({AsUtf8(key), AsUtf8(TrimSpace(text.substr(hash + 1)))});
    } else {
      spectrum.extra.push_back({"SPEC_REM", AsUtf8(text)});
    }
  }
}

void SetDate(const Section& s, SourceSpectrum& spectrum) {
  const std::string text = JoinLines(s);
  Fields fields(text);
  std::string_view date, clock, more;
  const std::string_view dates[] = {text};
  const bool parsed = fields.Next(date) && fields.Next(clock) && !fields.Next(more) &&
                      SetMeasured(spectrum.record.Head.Common, date, clock, OrderOfDates(dates, DayOrder::MonthFirst));
  if (!parsed) spectrum.notes.push_back("date \"" + AsUtf8(text) + "\" not understood");
}

ReadResult ApplySection(const Section& s, Spe& spe, SourceSpectrum& spectrum) {
  SpectrumRecord& r = spectrum.record;
  if (s.name == "DATA") return ReadCounts(s, spe, r.Data);
  if (s.name == "SPEC_ID") {
    if (!SetText(r.Head.Common.SampleTitle, JoinLines(s), "title", spectrum.notes))
      spectrum.extra.push_back({"SPEC_ID", AsUtf8(JoinLines(s))});
  } else if (s.name == "SPEC_REM") {
    AddRemarks(s, spectrum);
  } else if (s.name == "DATE_MEA") {
    SetDate(s, spectrum);
  } else if (s.name == "MEAS_TIM") {
    Fields fields(s.lines.empty() ? std::string_view() : s.lines[0].text);
    std::string_view live, real;
    const auto liveTime = fields.Next(live) ? ParseNumber(live) : std::nullopt;
    const auto realTime = fields.Next(real) ? ParseNumber(real) : std::nullopt;
    if (!liveTime || !realTime) return FileErrorAtLine(s.line, "$MEAS_TIM needs the live and the real time");
    SetTimes(r.Head.Measure, *realTime, *liveTime);
  } else if (s.name == "ENER_FIT" || s.name == "MCA_CAL") {
    const bool counted = s.name == "MCA_CAL";
    if (ReadResult result = ReadCalibration(s, counted, counted ? spe.mcaCal : spe.enerFit); !result) return result;
    spectrum.extra.push_back({std::string(s.name), AsUtf8(TrimSpace(s.lines[counted ? 1 : 0].text))});
  } else if (s.name == "ROI") {
    for (std::size_t i = 1; i < s.lines.size(); ++i)
      spectrum.extra.push_back({"ROI " + std::to_string(i), AsUtf8(TrimSpace(s.lines[i].text))});
  } else {
    spectrum.extra.push_back({AsUtf8(s.name), AsUtf8(JoinLines(s))});
  }
  return {};
}

// The calibration in use, in keV per channel power, with the first channel numbered 1.
void SetCalibration(const Spe& spe, SourceSpectrum& spectrum) {
  const auto nonZero = [](const std::optional<Calibration>& c) {
    return c && std::any_of(c->coefficients.begin(), c->coefficients.end(), [](double v) { return v != 0; });
  };
  const std::optional<Calibration>& use = nonZero(spe.mcaCal) ? spe.mcaCal : spe.enerFit;
  if (!nonZero(use)) return;
  const auto perUnit = KeVPerUnit(use->unit);
  const bool beyondSquare = std::any_of(use->coefficients.begin() + std::min<std::size_t>(3, use->coefficients.size()),
                                        use->coefficients.end(), [](double v) { return v != 0; });
  if (!perUnit || beyondSquare) {
    spectrum.notes.push_back("energy calibration left out: its unit or degree cannot be kept");
    return;
  }
  std::array<double, 3> c{};
  for (std::size_t i = 0; i < 3 && i < use->coefficients.size(); ++i) c[i] = use->coefficients[i] * *perUnit;
  spectrum.record.Head.Measure.EGC = EgcOfChannelNumbers(c, static_cast<double>(spe.first));
}

ReadResult ReadSpe(std::string_view bytes, std::vector<SourceSpectrum>& spectra) {
  std::vector<Section> sections;
  if (ReadResult r = ReadSections(bytes, sections); !r) return r;
  SourceSpectrum& spectrum = spectra.emplace_back();
  Spe spe;
  for (const Section& s : sections)
    if (ReadResult r = ApplySection(s, spe, spectrum); !r) return r;
  if (!spe.hasData) return FileErrorAtLine(sections.back().line, "no $DATA section");
  SetCalibration(spe, spectrum);
  return {};
}

}  // namespace

bool LooksLikeSpe(std::string_view head) {
  std::string_view first;
  TextLines(head).Next(first);
  const std::size_t colon = first.find(':');
  if (!first.starts_with('$') || colon == std::string_view::npos || colon < 2) return false;
  return std::all_of(first.begin() + 1, first.begin() + static_cast<std::ptrdiff_t>(colon),
                     [](char c) { return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_'; });
}

ReadResult SpeSpectra(std::string_view bytes, std::vector<SourceSpectrum>& spectra) {
  spectra.clear();
  ReadResult result = ReadSpe(bytes, spectra);
  if (!result) spectra.clear();
  return result;
}

}  // namespace vantor
