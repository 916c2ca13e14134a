// SPDX-License-Identifier: GPL-3.0-or-later
// The 3D Data run and the table's text.
#include "series/File3D.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "base/DSpacing.h"
#include "base/FileAccess.h"
#include "base/TextFormat.h"
#include "base/TextRoutines.h"
#include "formats/SourceRead.h"
#include "series/FileCombine.h"

namespace vantor {
namespace {

std::size_t FileNameStart(std::string_view path) {
  const auto slash = path.find_last_of("\\/");
  return slash == std::string_view::npos ? 0 : slash + 1;
}

// " 1 ,0.309,460.041" and the counts of one channel across the files.
void AppendRow(std::string& out, int channel, std::span<const std::int32_t> counts, std::size_t files,
               const MeasureCondition& last, double sinTheta) {
  const double x = channel + 1;
  const double energy = x * last.EGC[1] + last.EGC[0];
  out += ' ';
  AppendInt(out, channel + 1);
  out += " ,";
  AppendMask(out, energy, "##0.000");
  out += ',';
  // Without an energy or an angle no d-spacing can be formed: the field
  // stays empty rather than showing an infinity.
  if (const auto d = DSpacing(energy, sinTheta, kHcTable)) AppendMask(out, *d, "##0.000");
  for (std::size_t k = 0; k < files; ++k) {
    out += ',';
    AppendInt(out, counts[k * kTableRows + channel]);
  }
  out += "\r\n";
}

}  // namespace

SeriesOutcome Run3DData(const std::string& folder, const std::vector<std::string>& names, ConvertContext& context) {
  UserPrompt& prompt = context.prompt;
  if (SelectionIsEmpty(names)) {
    prompt.Message("Plz Enter File Name!");
    return {SeriesOutcome::State::Stopped, {}, {}, "Plz Enter File Name!"};
  }
  // A cancelled dialog ends the run: nothing is read or written.
  const auto chosen = prompt.AskSaveName(folder, "3DFileDefaultName");
  if (!chosen) return {};
  prompt.SetBusy(true);
  SeriesOutcome outcome = Write3DTable(folder, names, TableOutputPath(*chosen), context);
  prompt.SetBusy(false);
  if (outcome) prompt.Message("Done");
  return outcome;
}

std::string TableOutputPath(std::string_view chosenName) {
  const std::size_t start = FileNameStart(chosenName);
  const auto dot = chosenName.rfind('.');
  std::string path(chosenName);
  // A name that starts with "." (a hidden file) has no extension to replace.
  if (dot != std::string_view::npos && dot > start) path.resize(dot);
  return path + ".csv";
}

std::string ColumnHeading(std::string_view name) {
  name.remove_prefix(FileNameStart(name));
  return std::string(name.substr(0, name.find('.')));
}

SeriesOutcome Write3DTable(const std::string& folder, const std::vector<std::string>& names,
                           const std::string& outputPath, ConvertContext& context) {
  std::vector<std::int32_t> counts(names.size() * kTableRows);
  MeasureCondition last;
  for (std::size_t k = 0; k < names.size(); ++k) {
    // Each file is read into fresh records, so a file read in part never
    // shows the counts or the calibration of the one before it.
    const std::string path = JoinPath(folder, names[k]);
    SourceRead read = ReadSpectra(path, "npd", RunSettings{});
    if (!read.result) {
      ReportReadFailure(context.prompt, path, read.result);
      context.prompt.Message("File Error: " + names[k]);
      return {SeriesOutcome::State::ReadFailed, path, std::move(read.result), {}};
    }
    const SpectrumRecord& r = read.spectra.front().record;
    std::copy_n(r.Data.Count.begin(), kTableRows, counts.begin() + k * kTableRows);
    last = r.Head.Measure;
  }
  const std::string text = TableText(names, counts, last);
  if (OutputReplacesSource(outputPath, folder, names, context.prompt)) return {};
  const Saved saved = SaveOutput(outputPath, text, context, ReplaceQuestion(outputPath));
  if (saved) return {SeriesOutcome::State::Written, {}, {}, {}};
  return {saved.state == SaveState::Declined ? SeriesOutcome::State::Declined : SeriesOutcome::State::WriteFailed,
          {},
          {},
          saved.why};
}

std::string TableText(const std::vector<std::string>& names, std::span<const std::int32_t> counts,
                      const MeasureCondition& last) {
  const std::size_t files = std::min(names.size(), counts.size() / kTableRows);
  std::string out = "Channel, Energy,d Value";
  for (const auto& name : names) {
    out += ',';
    out += ColumnHeading(name);
  }
  out += "\r\n";
  out.reserve(out.size() + kTableRows * (24 + 8 * files));
  const double sinTheta = SinTheta(last.TwoTheta);
  for (int c = 0; c < kTableRows; ++c) AppendRow(out, c, counts, files, last, sinTheta);
  return out;
}

}  // namespace vantor
