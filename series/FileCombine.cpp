// SPDX-License-Identifier: GPL-3.0-or-later
// The Combine run: read, sum, write.
#include "series/FileCombine.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <memory>

#include "base/PathIdentity.h"
#include "base/RecordFields.h"
#include "base/TextFit.h"
#include "base/TextRoutines.h"
#include "convert/OutputFile.h"
#include "formats/FormatTable.h"
#include "formats/SourceRead.h"

namespace vantor {
namespace {

constexpr std::string_view kOutputTypeError = "Output type must be xbm, csv or npd";

// The writer for a Combine result: only the record file, CSV and NPD, and
// only when that writer is built.
const OutputFormat* CombineOutput(std::string_view path) {
  const OutputFormat* format = FindOutput(SplitPath(path).extension);
  if (format == nullptr) return nullptr;
  const OutputKind kind = format->kind;
  if (kind != OutputKind::Xbm && kind != OutputKind::Csv && kind != OutputKind::Npd) return nullptr;
  return format;
}

// Whether two calibrations put a channel more than a tenth of a channel
// apart at the ends or the middle of the spectrum (a quadratic difference
// is largest at one of them), or only one of them gives energies at all.
bool CalibrationsDiffer(const std::array<double, 3>& a, const std::array<double, 3>& b, int channels) {
  if (a == b) return false;
  if (HasCalibration(a) != HasCalibration(b)) return true;
  for (const double x : {1.0, std::max(1.0, channels / 2.0), std::max(1.0, double(channels))}) {
    const double width = std::abs(EnergyOfChannel(x + 1, a) - EnergyOfChannel(x, a));
    if (std::abs(EnergyOfChannel(x, a) - EnergyOfChannel(x, b)) > 0.1 * width) return true;
  }
  return false;
}

// How a spectrum differs from the first one in what summing channel by
// channel takes for granted; empty when it does not.
std::string Mismatch(const SpectrumRecord& added, const SpectrumRecord& first, const std::string& firstName) {
  std::string odd;
  if (added.Data.DataNumber != first.Data.DataNumber)
    odd = std::to_string(added.Data.DataNumber) + " channels where " + firstName + " has " +
          std::to_string(first.Data.DataNumber);
  if (CalibrationsDiffer(added.Head.Measure.EGC, first.Head.Measure.EGC, first.Data.DataNumber))
    odd += (odd.empty() ? "" : ", ") + std::string("energy calibration other than ") + firstName + "'s";
  return odd;
}

// A message that stops the run before anything is written.
SeriesOutcome Stopped(UserPrompt& prompt, std::string text) {
  prompt.Message(text);
  return {SeriesOutcome::State::Stopped, {}, {}, std::move(text)};
}

// The spectra of a file that a sum takes: all of a file of one, the live
// elements of a file of several (an element whose counts are all 0 is a
// dead detector, told and left out; with none live, nothing of the file).
std::vector<std::size_t> LiveElements(const std::vector<SourceSpectrum>& spectra, const std::string& name,
                                      UserPrompt& prompt) {
  std::vector<std::size_t> live;
  std::string dead;
  for (std::size_t k = 0; k < spectra.size(); ++k) {
    const SpecData& d = spectra[k].record.Data;
    const bool counted = std::any_of(d.Count.begin(), d.Count.begin() + std::clamp<int>(d.DataNumber, 0, kMaxChannels),
                                     [](std::int32_t c) { return c != 0; });
    if (counted || spectra.size() == 1) {
      live.push_back(k);
    } else {
      dead += (dead.empty() ? "" : ", ") + std::to_string(k + 1);
    }
  }
  if (!dead.empty())
    prompt.Note(name + ": element" + (dead.find(',') == std::string::npos ? " " : "s ") + dead +
                " left out: no counts");
  return live;
}

}  // namespace

std::vector<std::string> SplitSelection(std::string_view selection) {
  std::vector<std::string> names(1);
  for (const char c : selection) {
    if (c == ';') {
      names.emplace_back();
    } else {
      names.back() += c;
    }
  }
  return names;
}

bool SelectionIsEmpty(const std::vector<std::string>& names) {
  return std::all_of(names.begin(), names.end(), [](const std::string& n) { return TrimBlanks(n).empty(); });
}

bool OutputReplacesSource(const std::string& outputPath, const std::string& folder,
                          const std::vector<std::string>& names, UserPrompt& prompt) {
  PathIdentity identity;
  const std::string output = identity.Key(outputPath);
  for (const auto& name : names) {
    if (identity.Key(JoinPath(folder, name)) != output) continue;
    prompt.Message(outputPath + " would replace " + name + ", one of the files read");
    return true;
  }
  return false;
}

SeriesOutcome RunCombine(const std::string& folder, const std::vector<std::string>& names, ConvertContext& context) {
  UserPrompt& prompt = context.prompt;
  prompt.ShowStatus("");
  if (SelectionIsEmpty(names)) return Stopped(prompt, "Plz Enter File Name!");
  if (!context.settings.OverWriteCheck && !prompt.AskTwoLines("All file will be over", "writed. OK?")) return {};
  // A cancelled dialog ends the run: nothing is read or written.
  const auto outputPath = prompt.AskSaveName(folder, "CombineFileDefaultName");
  if (!outputPath) return {};
  prompt.SetBusy(true);
  SeriesOutcome outcome = CombineSelectedFiles(folder, names, *outputPath, context);
  prompt.SetBusy(false);
  if (outcome) prompt.Message("Done");
  return outcome;
}

SeriesOutcome CombineSelectedFiles(const std::string& folder, const std::vector<std::string>& names,
                                   const std::string& outputPath, ConvertContext& context) {
  // Told before any file is read, so a mistyped name costs no time.
  const OutputFormat* output = CombineOutput(outputPath);
  if (output == nullptr) return Stopped(context.prompt, std::string(kOutputTypeError));
  if (names.empty()) return {};
  // The sum is this run's own record, started from the first spectrum read;
  // each read starts from fresh records, so a short file adds zeros, never
  // the counts an earlier file left behind.
  auto sum = std::make_unique<SpectrumRecord>();
  std::string first;  // the name of the spectrum that gave the sum its header
  const RunSettings settings = WithoutChanges(context.settings);
  for (const auto& name : names) {
    const std::string path = JoinPath(folder, name);
    SourceRead read = ReadSpectra(path, "", settings);
    if (!read.result) {
      ReportReadFailure(context.prompt, path, read.result);
      context.prompt.Message("File Error: " + name);
      return {SeriesOutcome::State::ReadFailed, path, std::move(read.result), {}};
    }
    for (const std::size_t k : LiveElements(read.spectra, name, context.prompt)) {
      const SpectrumRecord& added = read.spectra[k].record;
      const std::string label = read.spectra.size() > 1 ? name + " (element " + std::to_string(k + 1) + ")" : name;
      if (first.empty()) {
        *sum = added;
        first = label;
        continue;
      }
      if (const std::string odd = Mismatch(added, *sum, first); !odd.empty())
        context.prompt.Note(label + ": warning: " + odd + "; the counts are summed channel by channel");
      if (const auto channel = AddSpectrum(added, *sum))
        return Stopped(context.prompt, "Count overflow at channel " + std::to_string(*channel));
    }
  }
  MeasureCondition& m = sum->Head.Measure;
  m.DeadTime = DeadTimePercent(m.RealTime, m.LiveTime);
  if (OutputReplacesSource(outputPath, folder, names, context.prompt)) return {};
  const Saved saved = WriteOutputFile(*output, outputPath, *sum, context);
  switch (saved.state) {
    case SaveState::Written:
      return {SeriesOutcome::State::Written, {}, {}, {}};
    case SaveState::Declined:
      return {SeriesOutcome::State::Declined, {}, {}, {}};
    case SaveState::Failed:
      break;
  }
  return {SeriesOutcome::State::WriteFailed, {}, {}, saved.why};
}

std::optional<int> AddSpectrum(const SpectrumRecord& source, SpectrumRecord& sum) {
  MeasureCondition& m = sum.Head.Measure;
  m.RealTime += source.Head.Measure.RealTime;
  m.LiveTime += source.Head.Measure.LiveTime;
  const int channels = std::clamp<int>(sum.Data.DataNumber, 0, kMaxChannels);
  for (int i = 0; i < channels; ++i) {
    const std::int64_t total = std::int64_t{sum.Data.Count[i]} + source.Data.Count[i];
    if (total > std::numeric_limits<std::int32_t>::max() || total < std::numeric_limits<std::int32_t>::min())
      return i + 1;
    sum.Data.Count[i] = static_cast<std::int32_t>(total);
  }
  return std::nullopt;
}

}  // namespace vantor
