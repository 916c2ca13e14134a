// SPDX-License-Identifier: GPL-3.0-or-later
// EPICS multichannel-analyser text, as the EPICS mca module's save routine
// writes it (file version 3.1), "KEY: value" lines:
//   VERSION:     3.1
//   ELEMENTS:    n                       1 when the line is missing
//   DATE:        Nov 04, 2016 04:52:52.890
//   CHANNELS:    2048
//   ROIS, REAL_TIME, LIVE_TIME (s), CAL_OFFSET, CAL_SLOPE, CAL_QUAD (keV),
//   TWO_THETA (degrees), ROI_i_LEFT, ROI_i_RIGHT: one value per element,
//   separated by blanks; ROI_i_LABEL: one label per element, each ended by "&"
//   ENVIRONMENT: PV="reading" (description)      any number of them
//   DATA:
//   CHANNELS lines of n whole counts, one column per element
// The calibration CAL_OFFSET + CAL_SLOPE·k + CAL_QUAD·k² counts the first
// channel as k = 0 (the offset is the first channel's energy, and the ROI
// channels count the same way); the record's EGC is regrouped so that the
// energies agree. A file without TWO_THETA has no angle: 2θ stays 0. A dead
// element (counts and calibration all 0) is still a spectrum.
// Extras of each spectrum, in file order: VERSION, "element" (with more than
// one), CAL_OFFSET/CAL_SLOPE/CAL_QUAD as written, ROI_i_LEFT/RIGHT/LABEL of
// the element's own ROIs (as many as ROIS says), each ENVIRONMENT line as
// "PV (description)" = reading, any other key as written. A SampleName or
// OperatorName PV also gives the sample title or the operator.
#include "formats/Med.h"

#include <cmath>
#include <string>

#include "base/TextRoutines.h"
#include "formats/DetectorText.h"

namespace vantor {
namespace {

// Each element takes a whole record; no detector comes near this many.
constexpr std::size_t kMaxElements = 1000;

struct Entry {
  std::string_view key, value;
  std::size_t line;
};

struct Header {
  std::vector<Entry> entries;
  std::size_t elements = 1;
  int channels = 0;
  std::vector<double> rois;  // per element; empty without a ROIS line
};

ReadResult ReadEntries(TextLines& lines, std::vector<Entry>& entries) {
  std::string_view line;
  while (lines.Next(line)) {
    if (TrimSpace(line).empty()) continue;
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos) return FileErrorAtLine(lines.Number(), "not a \"KEY: value\" line");
    const Entry entry{TrimSpace(line.substr(0, colon)), TrimSpace(line.substr(colon + 1)), lines.Number()};
    if (entry.key == "DATA") return {};
    entries.push_back(entry);
  }
  return FileErrorAtLine(lines.Number(), "file ends before its DATA line");
}

// The blank-separated fields of an entry: exactly one per element.
ReadResult ElementFields(const Entry& e, std::size_t elements, std::vector<std::string_view>& out) {
  out.clear();
  Fields fields(e.value);
  for (std::string_view field; fields.Next(field);) out.push_back(field);
  if (out.size() == elements) return {};
  return FileErrorAtLine(e.line, std::string(e.key) + " has " + std::to_string(out.size()) + " values for " +
                                     std::to_string(elements) + " elements");
}

ReadResult ElementNumbers(const Entry& e, std::size_t elements, std::vector<double>& out) {
  std::vector<std::string_view> fields;
  if (ReadResult r = ElementFields(e, elements, fields); !r) return r;
  out.clear();
  for (const std::string_view field : fields) {
    const auto number = ParseNumber(field);
    if (!number)
      return FileErrorAtLine(e.line, std::string(e.key) + " value \"" + std::string(field) + "\" is not a number");
    out.push_back(*number);
  }
  return {};
}

ReadResult ReadSizes(Header& h, std::size_t dataLine) {
  const Entry* rois = nullptr;
  for (const Entry& e : h.entries) {
    if (e.key == "ELEMENTS") {
      const auto n = ParseCount(e.value);
      if (!n || *n < 1 || static_cast<std::size_t>(*n) > kMaxElements)
        return FileErrorAtLine(e.line, "ELEMENTS is not a whole number from 1 to " + std::to_string(kMaxElements));
      h.elements = static_cast<std::size_t>(*n);
    } else if (e.key == "CHANNELS") {
      const auto n = ParseCount(e.value);
      if (!n || *n < 1) return FileErrorAtLine(e.line, "CHANNELS is not a whole number above 0");
      if (*n > kMaxChannels) return TooManyChannels(e.line, *n);
      h.channels = *n;
    } else if (e.key == "ROIS") {
      rois = &e;
    }
  }
  if (h.channels == 0) return FileErrorAtLine(dataLine, "no CHANNELS line before DATA");
  return rois ? ElementNumbers(*rois, h.elements, h.rois) : ReadResult{};
}

void AddToAll(std::vector<SourceSpectrum>& spectra, std::string_view name, std::string_view value) {
  const HeaderValue extra{AsUtf8(name), AsUtf8(value)};
  for (SourceSpectrum& s : spectra) s.extra.push_back(extra);
}

// "Nov 04, 2016 04:52:52.890"
bool ParseDate(std::string_view value, CommonCondition& common) {
  static constexpr std::string_view kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                 "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  Fields fields(value);
  std::string_view month, day, year, clock, more;
  if (!fields.Next(month) || !fields.Next(day) || !fields.Next(year) || !fields.Next(clock) || fields.Next(more))
    return false;
  if (day.ends_with(',')) day.remove_suffix(1);
  const auto d = ParseCount(day), y = ParseCount(year);
  for (int m = 0; m < 12; ++m) {
    if (d && y && EqualsIgnoreCase(month, kMonths[m])) return SetMeasured(common, *y, m + 1, *d, clock);
  }
  return false;
}

// "13IDD:SampleName.VAL="Fe3O4" (Sample)" as {"13IDD:SampleName.VAL (Sample)", "Fe3O4"}; a line of
// another shape whole under "ENVIRONMENT". A SampleName or OperatorName PV also fills its field.
void AddEnvironment(std::vector<SourceSpectrum>& spectra, std::string_view value) {
  const std::size_t equals = value.find("=\"");
  const std::size_t close = equals == std::string_view::npos ? equals : value.find('"', equals + 2);
  if (close == std::string_view::npos) return AddToAll(spectra, "ENVIRONMENT", value);
  const std::string_view pv = TrimSpace(value.substr(0, equals));
  const std::string_view reading = TrimSpace(value.substr(equals + 2, close - equals - 2));
  std::string_view about = TrimSpace(value.substr(close + 1));
  if (about.size() >= 2 && about.front() == '(' && about.back() == ')')
    about = TrimSpace(about.substr(1, about.size() - 2));
  AddToAll(spectra, about.empty() ? std::string(pv) : std::string(pv) + " (" + std::string(about) + ")", reading);
  const std::size_t colon = pv.rfind(':') + 1;  // npos + 1 is 0: no prefix
  const std::string_view record = pv.substr(colon, pv.find('.', colon) - colon);
  for (SourceSpectrum& s : spectra) {
    if (record == "SampleName") SetText(s.record.Head.Common.SampleTitle, reading, "sample name", s.notes);
    if (record == "OperatorName") SetText(s.record.Head.Common.Operator, reading, "operator", s.notes);
  }
}

// ROI_i_LEFT, ROI_i_RIGHT and ROI_i_LABEL, for the elements that have ROI i.
ReadResult AddRoi(const Entry& e, const Header& h, std::vector<SourceSpectrum>& spectra) {
  const std::size_t underscore = e.key.find('_', 4);
  const auto index = ParseCount(e.key.substr(4, underscore - 4));
  const std::string_view part = underscore == std::string_view::npos ? "" : e.key.substr(underscore + 1);
  std::vector<std::string_view> values;
  if (!index || (part != "LEFT" && part != "RIGHT" && part != "LABEL")) {
    AddToAll(spectra, e.key, e.value);
    return {};
  }
  if (part != "LABEL") {
    if (ReadResult r = ElementFields(e, h.elements, values); !r) return r;
  } else {
    for (std::size_t from = 0; from < e.value.size() && values.size() < h.elements;) {
      const std::size_t end = std::min(e.value.find('&', from), e.value.size());
      values.push_back(TrimSpace(e.value.substr(from, end - from)));
      from = end + 1;
    }
    values.resize(h.elements);  // labels the line leaves out are empty
  }
  for (std::size_t i = 0; i < h.elements; ++i) {
    if (h.rois.empty() || *index < h.rois[i]) spectra[i].extra.push_back({std::string(e.key), AsUtf8(values[i])});
  }
  return {};
}

ReadResult ApplyEntry(const Entry& e, const Header& h, std::vector<SourceSpectrum>& spectra,
                      std::vector<std::array<double, 3>>& calibration) {
  static constexpr std::string_view kCalibration[] = {"CAL_OFFSET", "CAL_SLOPE", "CAL_QUAD"};
  const std::string_view key = e.key;
  std::vector<double> numbers;
  if (key == "CHANNELS" || key == "ROIS") return {};
  if (key == "ELEMENTS") {
    for (std::size_t i = 0; h.elements > 1 && i < h.elements; ++i)
      spectra[i].extra.push_back({"element", std::to_string(i + 1)});
  } else if (key == "DATE") {
    for (SourceSpectrum& s : spectra)
      if (!ParseDate(e.value, s.record.Head.Common))
        s.notes.push_back("date \"" + AsUtf8(e.value) + "\" not understood");
  } else if (key == "REAL_TIME" || key == "LIVE_TIME" || key == "TWO_THETA") {
    if (ReadResult r = ElementNumbers(e, h.elements, numbers); !r) return r;
    for (std::size_t i = 0; i < h.elements; ++i) {
      MeasureCondition& m = spectra[i].record.Head.Measure;
      (key == "REAL_TIME" ? m.RealTime : key == "LIVE_TIME" ? m.LiveTime : m.TwoTheta) = numbers[i];
    }
  } else if (key == "CAL_OFFSET" || key == "CAL_SLOPE" || key == "CAL_QUAD") {
    const std::size_t power = key == "CAL_OFFSET" ? 0 : key == "CAL_SLOPE" ? 1 : 2;
    std::vector<std::string_view> written;
    if (ReadResult r = ElementNumbers(e, h.elements, numbers); !r) return r;
    ElementFields(e, h.elements, written);
    for (std::size_t i = 0; i < h.elements; ++i) {
      calibration[i][power] = numbers[i];
      spectra[i].extra.push_back({std::string(kCalibration[power]), std::string(written[i])});
    }
  } else if (key.starts_with("ROI_")) {
    return AddRoi(e, h, spectra);
  } else if (key == "ENVIRONMENT") {
    AddEnvironment(spectra, e.value);
  } else {
    AddToAll(spectra, key, e.value);
  }
  return {};
}

ReadResult ReadData(TextLines& lines, const Header& h, std::vector<SourceSpectrum>& spectra) {
  std::string_view line, field;
  for (int channel = 0; channel < h.channels; ++channel) {
    if (!lines.Next(line))
      return FileErrorAtLine(lines.Number(), "file ends after " + std::to_string(channel) + " of " +
                                                 std::to_string(h.channels) + " channels");
    Fields fields(line);
    for (SourceSpectrum& s : spectra) {
      if (!fields.Next(field)) return FileErrorAtLine(lines.Number(), "fewer counts than elements");
      if (!ReadCount(field, s.record.Data.Count[channel]))
        return FileErrorAtLine(lines.Number(), "count is not a whole number within 32 bits");
    }
    if (fields.Next(field)) return FileErrorAtLine(lines.Number(), "more counts than elements");
  }
  while (lines.Next(line))
    if (!TrimSpace(line).empty()) return FileErrorAtLine(lines.Number(), "more data lines than CHANNELS");
  return {};
}

ReadResult ReadMed(std::string_view bytes, std::vector<SourceSpectrum>& spectra) {
  TextLines lines(bytes);
  Header h;
  if (ReadResult r = ReadEntries(lines, h.entries); !r) return r;
  if (ReadResult r = ReadSizes(h, lines.Number()); !r) return r;
  spectra.resize(h.elements);
  std::vector<std::array<double, 3>> calibration(h.elements);
  for (const Entry& e : h.entries)
    if (ReadResult r = ApplyEntry(e, h, spectra, calibration); !r) return r;
  for (std::size_t i = 0; i < h.elements; ++i) {
    SpectrumRecord& r = spectra[i].record;
    r.Data.DataNumber = static_cast<std::int16_t>(h.channels);
    r.Head.Measure.EGC = EgcOfChannelNumbers(calibration[i], 0);
    SetTimes(r.Head.Measure, r.Head.Measure.RealTime, r.Head.Measure.LiveTime);
  }
  return ReadData(lines, h, spectra);
}

}  // namespace

bool LooksLikeMed(std::string_view head) {
  std::string_view first;
  TextLines(head).Next(first);
  return first.starts_with("VERSION:") && !TrimSpace(first.substr(8)).empty();
}

ReadResult MedSpectra(std::string_view bytes, std::vector<SourceSpectrum>& spectra) {
  spectra.clear();
  ReadResult result = ReadMed(bytes, spectra);
  if (!result) spectra.clear();
  return result;
}

}  // namespace vantor
