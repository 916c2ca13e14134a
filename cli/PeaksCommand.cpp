// SPDX-License-Identifier: GPL-3.0-or-later
// vantor-cli peaks [--json] [--min-snr S] [--energy-range E1:E2] [--two-theta V]
//                  [--calibration FILE] FILE...
#include <cstdio>
#include <memory>

#include "analysis/PeakTable.h"
#include "base/TextRoutines.h"
#include "cli/Commands.h"
#include "cli/ConsolePrompt.h"
#include "formats/FormatTable.h"
#include "formats/SourceRead.h"

namespace vantor::cli {
namespace {

struct PeaksOptions {
  bool json = false;
  double minSnr = 5;
  std::string energyRange;
  std::string twoTheta;
  std::string calibration;
  std::vector<std::string> files;
};

// "E1:E2" in keV, low to high.
std::optional<std::pair<double, double>> ParseRange(const std::string& text) {
  const auto colon = text.find(':');
  if (colon == std::string::npos) return std::nullopt;
  const auto low = ParseNumber(std::string_view(text).substr(0, colon));
  const auto high = ParseNumber(std::string_view(text).substr(colon + 1));
  if (!low || !high || !(*low < *high)) return std::nullopt;
  return std::pair{*low, *high};
}

struct Ready {
  PeakOptions peaks;
  std::optional<double> twoTheta;
  RunSettings settings;
};

// The options checked; -1 when the run can start, else the exit status.
int Prepare(const PeaksOptions& o, Ready& ready) {
  for (const auto& file : o.files)
    if (FindSources(SplitPath(SplitElement(file).path).extension).empty())
      return UsageError("cannot tell the source kind of '" + file + "' (" + SourceNames() + ")");
  ready.peaks.minSnr = o.minSnr;
  if (!(o.minSnr > 0)) return UsageError("--min-snr must be above 0");
  if (!o.energyRange.empty()) {
    ready.peaks.energyRangeKeV = ParseRange(o.energyRange);
    if (!ready.peaks.energyRangeKeV) return UsageError("--energy-range takes E1:E2 in keV, low to high");
  }
  if (!o.twoTheta.empty()) {
    ready.twoTheta = ParseNumber(o.twoTheta);
    if (!ready.twoTheta || !(*ready.twoTheta > 0 && *ready.twoTheta < 180))
      return UsageError("--two-theta takes an angle above 0 and below 180 degrees");
  }
  if (!o.calibration.empty() && !LoadCalibration(o.calibration, ready.settings)) return kExitFailed;
  return -1;
}

int RunPeaksCommand(const PeaksOptions& o) {
  Ready ready;
  if (const int status = Prepare(o, ready); status >= 0) return status;
  ConsolePrompt prompt(false);
  bool allDone = true;
  nlohmann::ordered_json all = nlohmann::ordered_json::array();
  std::string text;
  for (const auto& argument : o.files) {
    const auto [file, wanted] = SplitElement(argument);
    const SourceRead read = ReadSpectra(file, "", ready.settings);
    if (!read.result) {
      ReportReadFailure(prompt, file, read.result);
      allDone = false;
      continue;
    }
    if (wanted > read.spectra.size()) {
      const std::size_t count = read.spectra.size();
      prompt.Message(file + " holds " + std::to_string(count) + (count == 1 ? " spectrum" : " spectra") + ": element " +
                     std::to_string(wanted) + " is not one of them");
      allDone = false;
      continue;
    }
    for (std::size_t k = 0; k < read.spectra.size(); ++k) {
      if (wanted != 0 && k + 1 != wanted) continue;
      const SourceSpectrum& s = read.spectra[k];
      for (const auto& note : s.notes) prompt.Note(file + ": " + note);
      const MeasureCondition& m = s.record.Head.Measure;
      SpectrumPeaks peaks{
          file, CalibrationElement(k, read.spectra.size()), ready.twoTheta.value_or(m.TwoTheta), o.minSnr, {}};
      const auto counts = std::span(s.record.Data.Count).first(static_cast<std::size_t>(s.record.Data.DataNumber));
      peaks.search = FindPeaks(counts, m.EGC, peaks.twoThetaDeg, ready.peaks);
      if (peaks.search.status == PeakSearchStatus::InvalidInput) {
        prompt.Message(file + (peaks.element != 0 ? ":" + std::to_string(peaks.element) : "") + ": " +
                       peaks.search.message);
        allDone = false;
        continue;
      }
      if (o.json) {
        all.push_back(PeaksJson(peaks));
      } else {
        text += (text.empty() ? "" : "\n") + PeaksText(peaks);
      }
    }
  }
  PrintOut(o.json ? all.dump(2) + "\n" : text);
  return allDone ? kExitOk : kExitFailed;
}

}  // namespace

Command AddPeaksCommand(CLI::App& app) {
  auto options = std::make_shared<PeaksOptions>();
  CLI::App* cmd = app.add_subcommand("peaks", "Find and fit the peaks of each spectrum");
  cmd->add_flag("--json", options->json, "Write a JSON array, one object per spectrum");
  cmd->add_option("--min-snr", options->minSnr, "Least signal-to-noise ratio of a peak")->capture_default_str();
  cmd->add_option("--energy-range", options->energyRange, "Only peaks between E1 and E2 keV: E1:E2");
  cmd->add_option("--two-theta", options->twoTheta, "2theta in degrees for the d-spacings (instead of the file's)");
  cmd->add_option("--calibration", options->calibration, "Apply this calibration file (from calibrate)");
  cmd->add_option("FILE", options->files, "Source files of any kind Vantor reads; FILE:K for element K only")
      ->required();
  return [options] { return RunPeaksCommand(*options); };
}

}  // namespace vantor::cli
