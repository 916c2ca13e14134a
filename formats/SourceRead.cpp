// SPDX-License-Identifier: GPL-3.0-or-later
// The read path.
#include "formats/SourceRead.h"

#include <algorithm>
#include <filesystem>

#include "base/FileAccess.h"
#include "base/TextFormat.h"
#include "base/TextRoutines.h"

namespace vantor {
namespace {

constexpr std::size_t kHeadBytes = 4096;

// The format of the bytes among those the kind stands for: the only one
// when its extension tells, else the first whose content check says yes.
const SourceFormat* FormatOf(std::string_view bytes, const std::vector<const SourceFormat*>& formats) {
  const std::string_view head = bytes.substr(0, kHeadBytes);
  if (formats.size() == 1 && formats[0]->looksLike == nullptr) return formats[0];
  for (const SourceFormat* f : formats)
    if (f->looksLike == nullptr || f->looksLike(head)) return f;
  return nullptr;
}

std::string Expected(const std::vector<const SourceFormat*>& formats) {
  std::string text = "not ";
  for (std::size_t i = 0; i < formats.size(); ++i)
    text += std::string(i == 0 ? "" : i + 1 == formats.size() ? " or " : ", ") + std::string(formats[i]->description);
  return text;
}

// The run's values for an analyser export, which carries none of its own.
void ApplyCsvParameters(const CsvParameters& entered, MeasureCondition& m) {
  m.TwoTheta = entered.TwoTheta;
  m.EGC = entered.EGC;
  m.Temperature = entered.Temperature;
}

// The changes for every other source; a refused change when the angle
// would end at or below 0: no d-spacing could be formed, and the file
// would claim an angle no one measured.
ReadResult ApplyChanges(const SourceChanges& changes, MeasureCondition& m) {
  if (changes.egc) m.EGC = *changes.egc;
  if (const auto& change = changes.twoTheta) {
    const double changed = change->absolute ? change->value : m.TwoTheta + change->value;
    if (changed <= 0 && changed != m.TwoTheta)
      return {ReadStatus::ChangeRefused, 0, "2theta would be " + FormatPlain(changed) + ", at or below 0"};
    m.TwoTheta = changed;
  }
  return {};
}

}  // namespace

SourceRead ReadSpectraOf(std::string_view bytes, const std::vector<const SourceFormat*>& formats,
                         const RunSettings& settings) {
  SourceRead read;
  read.format = FormatOf(bytes, formats);
  if (read.format == nullptr) {
    read.result = FileErrorAtByte(0, Expected(formats));
    return read;
  }
  // Each format sees no more than it would have read alone.
  read.result = read.format->read(bytes.substr(0, read.format->maxBytes), read.spectra);
  // A calibration file's values come before this run's changes, which
  // the user gave for this run alone.
  for (std::size_t k = 0; k < read.spectra.size() && read.result; ++k) {
    MeasureCondition& m = read.spectra[k].record.Head.Measure;
    const bool csv = read.format->kind == SourceKind::Csv;
    if (csv) ApplyCsvParameters(settings.csv, m);
    if (settings.calibration)
      ApplyCalibration(*settings.calibration, CalibrationElement(k, read.spectra.size()), read.spectra[k]);
    if (!csv) read.result = ApplyChanges(settings.changes, m);
  }
  if (!read.result) read.spectra.clear();
  return read;
}

void ApplyCalibration(const CalibrationValues& calibration, std::size_t element, SourceSpectrum& spectrum) {
  const auto found = calibration.elements.find(element);
  if (found == calibration.elements.end()) {
    spectrum.notes.push_back((element == 0 ? std::string("no calibration for a file of one spectrum (element 0)")
                                           : "no calibration for element " + std::to_string(element)) +
                             " in " + calibration.source + ": the file's own kept");
    return;
  }
  MeasureCondition& m = spectrum.record.Head.Measure;
  if (found->second.egc) m.EGC = *found->second.egc;
  if (found->second.twoTheta) m.TwoTheta = *found->second.twoTheta;
}

ElementPath SplitElement(const std::string& argument) {
  const auto colon = argument.rfind(':');
  if (colon == std::string::npos || colon + 1 == argument.size() || colon == 0) return {argument, 0};
  const std::string_view digits = std::string_view(argument).substr(colon + 1);
  if (digits.size() > 6 || !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return {argument, 0};
  std::error_code ec;
  if (std::filesystem::exists(argument, ec)) return {argument, 0};
  const std::size_t element = std::stoul(std::string(digits));
  return element == 0 ? ElementPath{argument, 0} : ElementPath{argument.substr(0, colon), element};
}

SourceRead ReadSpectra(const std::string& path, std::string_view kind, const RunSettings& settings) {
  const std::string extension = SplitPath(path).extension;
  const auto formats = FindSources(kind.empty() ? std::string_view(extension) : kind);
  if (formats.empty()) {
    SourceRead read;
    read.result = FileErrorAtByte(0, !kind.empty()       ? "no source kind is called '" + std::string(kind) + "'"
                                     : extension.empty() ? std::string("no extension tells the source kind")
                                                         : "no source kind reads '." + extension + "' files");
    return read;
  }
  std::size_t most = 0;
  for (const SourceFormat* f : formats) most = std::max(most, f->maxBytes);
  std::string why;
  const auto bytes = ReadFileBytes(path, most, &why);
  if (!bytes) {
    SourceRead read;
    read.result = NotFound(std::move(why));
    return read;
  }
  return ReadSpectraOf(*bytes, formats, settings);
}

}  // namespace vantor
