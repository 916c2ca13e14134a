// SPDX-License-Identifier: GPL-3.0-or-later
// vantor-cli pressure --standard NAME[:SCALE] [--temperature K] [--temperature-sigma K]
//   [--two-theta DEG] [--two-theta-sigma DEG] [--guess-pressure GPA] [--json] [--table OUT.csv]
//   [--azimuths LIST [--load-axis DEG] [--ring-offset]] [--from KIND] FILE...|FOLDER
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "analysis/PressureSeries.h"
#include "base/TextRoutines.h"
#include "cli/Commands.h"
#include "cli/ConsolePrompt.h"
#include "cli/PressureOutput.h"
#include "formats/FormatTable.h"

namespace vantor::cli {
namespace {

struct PressureOptions {
  std::string standard;
  std::optional<double> temperatureK;
  double temperatureSigmaK = 0;
  std::optional<double> twoThetaDeg;
  double twoThetaSigmaDeg = 0;
  std::optional<double> guessPressureGPa;
  CellGeometry cell;
  bool json = false;
  std::string table;
  std::string from;
  std::string calibration;
  std::vector<std::string> files;
};

// The request, or a usage error's text.
std::optional<PressureRequest> RequestOf(const PressureOptions& o, std::string& error) {
  const StandardChoice choice = ChooseStandard(o.standard);
  if (!choice.ok()) {
    error = choice.error;
    return std::nullopt;
  }
  const auto positive = [](const std::optional<double>& v) { return !v || (std::isfinite(*v) && *v > 0); };
  const auto sigma = [](double v) { return std::isfinite(v) && v >= 0; };
  if (!positive(o.temperatureK)) error = "--temperature takes kelvin above 0";
  if (!positive(o.twoThetaDeg)) error = "--two-theta takes an angle above 0 degrees";
  if (!sigma(o.temperatureSigmaK) || !sigma(o.twoThetaSigmaDeg)) error = "a sigma cannot be negative";
  if (o.guessPressureGPa && !std::isfinite(*o.guessPressureGPa)) error = "--guess-pressure takes a number";
  if ((o.cell.loadAxisDeg || o.cell.ringOffset) && o.cell.azimuthsDeg.empty() && o.calibration.empty())
    error = "--load-axis and --ring-offset need --azimuths or a calibration file";
  if (!error.empty()) return std::nullopt;
  PressureRequest r;
  r.standard = choice.standard, r.scale = choice.scale;
  r.temperatureK = o.temperatureK, r.temperatureSigmaK = o.temperatureSigmaK;
  r.twoThetaDeg = o.twoThetaDeg, r.twoThetaSigmaDeg = o.twoThetaSigmaDeg;
  r.guessPressureGPa = o.guessPressureGPa;
  return r;
}

// The files of the arguments; a folder without --from stands for its files of every
// source kind but analyser exports, which need parameters this command does not take
// (and a table written into the folder is one by its name).
std::optional<std::vector<std::string>> FilesOf(const PressureOptions& o, std::string& error) {
  if (!o.from.empty()) return CollectFiles(o.files, "", o.from, error);
  std::vector<std::string> files;
  for (const std::string& arg : o.files) {
    std::error_code ec;
    if (!std::filesystem::is_directory(arg, ec)) {
      files.push_back(arg);
      continue;
    }
    std::string why;
    for (std::string& path : SeriesFilesOf(arg, why)) files.push_back(std::move(path));
    if (!why.empty()) {
      error = "cannot list '" + arg + "': " + why;
      return std::nullopt;
    }
  }
  if (files.empty()) error = "no files to work on";
  return files.empty() ? std::nullopt : std::optional(files);
}

int RunPressureCommand(const PressureOptions& o) {
  std::string error;
  const auto request = RequestOf(o, error);
  if (!request) return UsageError(error);
  const auto files = FilesOf(o, error);
  if (!files) return UsageError(error);
  RunSettings settings;
  if (!o.calibration.empty() && !LoadCalibration(o.calibration, settings)) return kExitFailed;
  ConsolePrompt prompt(false);
  bool allGiven = true;
  std::vector<SpectrumPressure> all;
  nlohmann::ordered_json json = nlohmann::ordered_json::array();
  for (const std::string& file : *files) {
    SourcePressure source = PressureOfSource(file, o.from, settings, *request);
    if (!source.read) {
      ReportReadFailure(prompt, file, source.read);
      allGiven = false;
      continue;
    }
    for (const SpectrumPressure& p : source.spectra) {
      if (o.json) {
        json.push_back(PressureJson(p));
        allGiven = ReportPressureProblems(p) && allGiven;
      } else {
        allGiven = ShowPressure(p, false) && allGiven;
      }
    }
    CellGeometry geometry = o.cell;
    if (geometry.azimuthsDeg.empty()) geometry.azimuthsDeg = CalibratedAzimuths(settings, source.spectra.size());
    if (!geometry.azimuthsDeg.empty()) {
      const CellPressure cell = PressureOfCell(source.spectra, geometry, *request);
      if (o.json) json.push_back(CellPressureJson(cell));
      allGiven = ShowCellPressure(cell, o.json ? CellShown::None : CellShown::Line) && allGiven;
    }
    if (!o.table.empty()) std::move(source.spectra.begin(), source.spectra.end(), std::back_inserter(all));
  }
  if (o.json) PrintOut(json.dump(2) + "\n");
  if (!o.table.empty() && !WritePressureTable(o.table, all)) return kExitFailed;
  return allGiven ? kExitOk : kExitFailed;
}

}  // namespace

Command AddPressureCommand(CLI::App& app) {
  auto o = std::make_shared<PressureOptions>();
  CLI::App* cmd = app.add_subcommand("pressure", "Pressure from the peaks of a standard (Au, Pt, NaCl, MgO)");
  cmd->add_option("--standard", o->standard, "NAME[:SCALE]: nacl, au, pt or mgo, and one of its scales")->required();
  cmd->add_option("--temperature", o->temperatureK, "Kelvin (else the record's, else 300 K with a warning)");
  cmd->add_option("--temperature-sigma", o->temperatureSigmaK, "Its uncertainty in kelvin (default 0)");
  cmd->add_option("--two-theta", o->twoThetaDeg, "Set 2theta to this many degrees for every spectrum");
  cmd->add_option("--two-theta-sigma", o->twoThetaSigmaDeg, "Its uncertainty in degrees (default 0)");
  cmd->add_option("--guess-pressure", o->guessPressureGPa, "Look for the standard's peaks near this pressure (GPa)");
  cmd->add_option("--calibration", o->calibration,
                  "Apply a calibration file first; its 2theta's sigma joins the pressure's");
  cmd->add_option("--azimuths", o->cell.azimuthsDeg,
                  "DEG,...: each spectrum's azimuth on a detector ring (else the calibration file's); adds the "
                  "cell's hydrostatic pressure from the strain across it (Singh et al. 1998)")
      ->delimiter(',');
  cmd->add_option("--load-axis", o->cell.loadAxisDeg,
                  "The press's load axis as an azimuth (else fitted where the cell edge is smallest)");
  cmd->add_flag("--ring-offset", o->cell.ringOffset,
                "With --azimuths: fit each element's 2theta off its calibration by e cos(azimuth - phi) too (the "
                "beam or the sample moved since)");
  cmd->add_flag("--json", o->json, "Write a JSON array, one object per spectrum");
  cmd->add_option("--table", o->table, "Also write a CSV table, one row per spectrum by measurement time");
  cmd->add_option("--from", o->from, "Read every file as this kind; a folder gives its files of this kind");
  cmd->add_option("FILE", o->files, "Source files, or folders (without --from: their sources of every kind but csv)")
      ->required();
  cmd->footer(ScalesHelp());
  return [o] { return RunPressureCommand(*o); };
}

}  // namespace vantor::cli
