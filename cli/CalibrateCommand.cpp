// SPDX-License-Identifier: GPL-3.0-or-later
// vantor-cli calibrate energy --lines LIST [--degree 1|2] [--guess A,B[,C]] [--json]
//                             [--write-calibration FILE] FILE...
// vantor-cli calibrate two-theta --standard NAME [--guess V] [--calibration FILE] [--json]
//                                [--write-calibration FILE] FILE...
#include <cstdio>
#include <memory>

#include "analysis/CalibrationReport.h"
#include "analysis/LineTable.h"
#include "base/TextRoutines.h"
#include "cli/Commands.h"
#include "cli/ConsolePrompt.h"
#include "formats/FormatTable.h"
#include "formats/SourceRead.h"

namespace vantor::cli {
namespace {

struct CalibrateOptions {
  bool json = false;
  std::string writeCalibration;
  std::vector<std::string> files;
  // energy
  std::string lines;
  int degree = 0;
  std::string guess;
  // two-theta
  std::string standard;
  std::string calibration;
  std::vector<double> azimuths;
};

// Each element's place on the detector ring, into the calibration file: the
// pressure of a cell the ring sees needs them. False, and why, when an
// element has no azimuth.
bool SetAzimuths(const std::vector<double>& azimuths, CalibrationFile& file, std::string& why) {
  for (auto& [element, entry] : file.elements) {
    if (azimuths.empty() || !entry.twoTheta) continue;
    if (element == 0 || element > azimuths.size()) {
      why = "--azimuths gives " + std::to_string(azimuths.size()) + " azimuths: none for element " +
            std::to_string(element);
      return false;
    }
    entry.twoTheta->azimuthDeg = azimuths[element - 1];
  }
  return true;
}

// Every spectrum of the files that can be read; the others reported.
struct ReadFiles {
  std::vector<SourceRead> reads;
  std::vector<ElementSpectrum> spectra;
  bool allRead = true;
};

std::optional<ReadFiles> ReadAll(const std::vector<std::string>& files, const RunSettings& settings,
                                 ConsolePrompt& prompt) {
  for (const auto& file : files)
    if (FindSources(SplitPath(file).extension).empty()) {
      UsageError("cannot tell the source kind of '" + file + "' (" + SourceNames() + ")");
      return std::nullopt;
    }
  ReadFiles read;
  read.reads.reserve(files.size());
  for (const auto& file : files) {
    read.reads.push_back(ReadSpectra(file, "", settings));
    const SourceRead& r = read.reads.back();
    if (!r.result) {
      ReportReadFailure(prompt, file, r.result);
      read.allRead = false;
      continue;
    }
    for (std::size_t k = 0; k < r.spectra.size(); ++k) {
      for (const auto& note : r.spectra[k].notes) prompt.Note(file + ": " + note);
      read.spectra.push_back({file, CalibrationElement(k, r.spectra.size()), &r.spectra[k].record});
    }
  }
  return read;
}

// The calibration file when asked for; false when it cannot be made or written.
bool Write(const std::string& path, const std::optional<CalibrationFile>& file, const std::string& why) {
  if (path.empty()) return true;
  std::string failure = why;
  if (file && WriteCalibrationFile(path, *file, failure)) {
    std::fprintf(stderr, "calibration written to %s\n", path.c_str());
    return true;
  }
  std::fprintf(stderr, "vantor-cli: no calibration written to %s: %s\n", path.c_str(), failure.c_str());
  return false;
}

int RunEnergy(const CalibrateOptions& o) {
  const LineList lines = ParseLineList(o.lines);
  if (!lines.ok) return UsageError(lines.message);
  EnergyCalibrationOptions options;
  options.degree = o.degree;
  if (!o.guess.empty()) {
    auto guess = ParseNumberList(o.guess, 3);
    if (!guess) guess = ParseNumberList(o.guess, 2);
    if (!guess) return UsageError("--guess takes A,B or A,B,C (keV, keV/channel, keV/channel^2)");
    options.guess = std::array<double, 3>{(*guess)[0], (*guess)[1], guess->size() == 3 ? (*guess)[2] : 0};
  }
  ConsolePrompt prompt(false);
  const auto read = ReadAll(o.files, RunSettings{}, prompt);
  if (!read) return kExitUsage;
  if (read->spectra.empty()) return kExitFailed;
  const std::vector<ElementEnergy> results = CalibrateEnergyByElement(read->spectra, lines.lines, options);
  bool allDone = read->allRead;
  std::string text;
  for (const ElementEnergy& e : results) {
    if (e.calibration.status != CalibrationStatus::Ok) {
      allDone = false;
      if (o.json) prompt.Message("not calibrated: " + e.calibration.message);
    }
    text += (text.empty() ? "" : "\n") + EnergyText(e);
  }
  PrintOut(o.json ? EnergyJson(results).dump(2) + "\n" : text);
  std::string why;
  const auto file = o.writeCalibration.empty() ? std::nullopt : EnergyCalibrationFile(results, o.lines, why);
  return Write(o.writeCalibration, file, why) && allDone ? kExitOk : kExitFailed;
}

int RunTwoTheta(const CalibrateOptions& o) {
  const Standard* standard = FindStandard(o.standard);
  if (standard == nullptr) {
    std::string known;
    for (std::string_view name : StandardNames()) known += (known.empty() ? "" : ", ") + std::string(name);
    return UsageError("unknown standard '" + o.standard + "' (" + known + ")");
  }
  TwoThetaOptions options;
  if (!o.guess.empty()) {
    options.guessDeg = ParseNumber(o.guess);
    if (!options.guessDeg || !(*options.guessDeg > 0 && *options.guessDeg < 180))
      return UsageError("--guess takes 2theta in degrees, above 0 and below 180");
  }
  RunSettings settings;
  CalibrationFile applied;
  if (!o.calibration.empty() && !LoadCalibration(o.calibration, settings, &applied)) return kExitFailed;
  ConsolePrompt prompt(false);
  const auto read = ReadAll(o.files, settings, prompt);
  if (!read) return kExitUsage;
  const std::vector<TwoThetaCalibration> results = CalibrateTwoThetaOf(read->spectra, *standard, options);
  bool allDone = read->allRead && !results.empty();
  std::string text;
  for (const TwoThetaCalibration& c : results) {
    if (c.status != TwoThetaStatus::Ok) {
      allDone = false;
      if (o.json) prompt.Message("not calibrated: " + c.message);
    }
    text += (text.empty() ? "" : "\n") + TwoThetaText(c);
  }
  PrintOut(o.json ? TwoThetaJson(results).dump(2) + "\n" : text);
  std::string why;
  auto file = o.writeCalibration.empty()
                  ? std::nullopt
                  : TwoThetaCalibrationFile(results, standard->name, o.calibration.empty() ? nullptr : &applied, why);
  if (file && !SetAzimuths(o.azimuths, *file, why)) file.reset();
  return Write(o.writeCalibration, file, why) && allDone ? kExitOk : kExitFailed;
}

void AddShared(CLI::App& cmd, CalibrateOptions& o) {
  cmd.add_flag("--json", o.json, "Write the result as JSON");
  cmd.add_option("--write-calibration", o.writeCalibration,
                 "Write what was calibrated into this calibration file (for --calibration)");
  cmd.add_option("FILE", o.files, "Source files of any kind Vantor reads")->required();
}

}  // namespace

Command AddCalibrateCommand(CLI::App& app) {
  auto energy = std::make_shared<CalibrateOptions>();
  auto angle = std::make_shared<CalibrateOptions>();
  CLI::App* cmd = app.add_subcommand("calibrate", "Calibrate energy from known lines, or 2theta from a standard");
  cmd->require_subcommand(1);
  CLI::App* e = cmd->add_subcommand(
      "energy", "Energy calibration A + B x + C x^2 from known lines, the spectra of each detector element pooled");
  e->add_option("--lines", energy->lines, "Lines: sources (Co-57), X-ray lines (Pb-Ka1) or energies in keV")
      ->required();
  e->add_option("--degree", energy->degree, "1 linear, 2 quadratic (default: quadratic from four lines on)")
      ->check(CLI::IsMember({1, 2}));
  e->add_option("--guess", energy->guess, "Starting calibration A,B[,C] for files without one");
  AddShared(*e, *energy);
  CLI::App* t = cmd->add_subcommand("two-theta", "2theta of each spectrum (each element) from a standard's peaks");
  t->add_option("--standard", angle->standard, "au, pt, nacl, mgo, ceo2, si, lab6 or al2o3")->required();
  t->add_option("--guess", angle->guess, "Starting 2theta in degrees instead of the file's");
  t->add_option("--calibration", angle->calibration, "Read the spectra with this calibration file applied");
  t->add_option("--azimuths", angle->azimuths,
                "DEG,...: each element's azimuth on a detector ring, written with its 2theta (for pressure)")
      ->delimiter(',');
  AddShared(*t, *angle);
  return [energy, angle, e] { return e->parsed() ? RunEnergy(*energy) : RunTwoTheta(*angle); };
}

}  // namespace vantor::cli
