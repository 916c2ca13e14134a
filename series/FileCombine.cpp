// SPDX-License-Identifier: GPL-3.0-or-later
// The Combine run: read, sum, write.
#include "series/FileCombine.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <memory>

#include "base/PathIdentity.h"
#include "base/RecordFields.h"
#include "formats/FormatTable.h"
#include "base/TextFit.h"
#include "base/TextRoutines.h"

namespace vantor {
namespace {

constexpr std::string_view kOutputTypeError = "Output type must be xbm, csv or npd";

// The writer for a Combine result: only the record file, CSV and NPD, and
// only when that writer is built.
const OutputFormat* CombineOutput(std::string_view path) {
  const OutputFormat* format = FindOutput(SplitPath(path).extension);
  if (format == nullptr || format->write == nullptr) return nullptr;
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

bool RunCombine(const std::string& folder, const std::vector<std::string>& names, ConvertContext& context) {
  UserPrompt& prompt = context.prompt;
  prompt.ShowStatus("");
  if (SelectionIsEmpty(names)) {
    prompt.Message("Plz Enter File Name!");
    return false;
  }
  if (!context.settings.OverWriteCheck && !prompt.AskTwoLines("All file will be over", "writed. OK?")) return false;
  // A cancelled dialog ends the run: nothing is read or written.
  const auto outputPath = prompt.AskSaveName(folder, "CombineFileDefaultName");
  if (!outputPath) return false;
  prompt.SetBusy(true);
  const bool written = CombineSelectedFiles(folder, names, *outputPath, context);
  prompt.SetBusy(false);
  if (written) prompt.Message("Done");
  return written;
}

bool CombineSelectedFiles(const std::string& folder, const std::vector<std::string>& names,
                          const std::string& outputPath, ConvertContext& context) {
  // Told before any file is read, so a mistyped name costs no time.
  if (CombineOutput(outputPath) == nullptr) {
    context.prompt.Message(kOutputTypeError);
    return false;
  }
  if (names.empty()) return false;
  // The sum and the file being added are this run's own records; each read
  // starts from a fresh one, so a short file adds zeros, never the counts
  // an earlier file left behind.
  auto SumRecord = std::make_unique<SpectrumRecord>();
  auto ScratchRecord = std::make_unique<SpectrumRecord>();
  for (std::size_t i = 0; i < names.size(); ++i) {
    SpectrumRecord& target = i == 0 ? *SumRecord : *ScratchRecord;
    if (!ReadSourceByExtension(JoinPath(folder, names[i]), target, context)) {
      context.prompt.Message("File Error: " + names[i]);
      return false;
    }
    if (i == 0) continue;
    if (const std::string odd = Mismatch(*ScratchRecord, *SumRecord, names[0]); !odd.empty())
      context.prompt.Note(names[i] + ": warning: " + odd + "; the counts are summed channel by channel");
    if (const auto channel = AddSpectrum(*ScratchRecord, *SumRecord)) {
      context.prompt.Message("Count overflow at channel " + std::to_string(*channel));
      return false;
    }
  }
  if (OutputReplacesSource(outputPath, folder, names, context.prompt)) return false;
  MeasureCondition& m = SumRecord->Head.Measure;
  m.DeadTime = DeadTimePercent(m.RealTime, m.LiveTime);
  return WriteByExtension(outputPath, SumRecord->Data, SumRecord->Head, context);
}

bool ReadSourceByExtension(const std::string& path, SpectrumRecord& record, ConvertContext& context) {
  record = SpectrumRecord{};
  const SourceFormat* format = FindSource(SplitPath(path).extension);
  if (format == nullptr || format->read == nullptr) return false;
  if (const ReadResult read = format->read(path, record); !read) {
    ReportReadFailure(context.prompt, path, read);
    return false;
  }
  Header& header = record.Head;
  if (format->kind == SourceKind::Csv) {
    // An analyser export carries no angle, calibration or temperature: it
    // gets the values last entered (0 when none was).
    const CsvParameters& entered = context.settings.csv;
    header.Measure.TwoTheta = entered.TwoTheta;
    header.Measure.EGC = entered.EGC;
    header.Measure.Temperature = entered.Temperature;
  }
  return true;
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

bool WriteByExtension(const std::string& path, const SpecData& data, const Header& header, ConvertContext& context) {
  const OutputFormat* format = CombineOutput(path);
  if (format == nullptr) {
    context.prompt.Message(kOutputTypeError);
    return false;
  }
  return format->write(path, data, header, context);
}

}  // namespace vantor
