// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/PressureOutput.h"

#include <cstdio>

#include "analysis/PressureReport.h"
#include "base/FileAccess.h"

namespace vantor::cli {
namespace {

using Json = nlohmann::ordered_json;

void Err(const std::string& text) {
  std::fprintf(stderr, "%s\n", text.c_str());
}

Json Head(const SpectrumPressure& p) {
  Json j;
  j["file"] = p.file;
  if (p.element > 0) j["element"] = p.element;
  j["standard"] = std::string(p.scale->standard);
  j["scale"] = std::string(p.scale->name);
  return j;
}

Json ReflectionsJson(const LatticeFit& fit) {
  Json list = Json::array();
  for (const AssignedReflection& r : fit.reflections) {
    list.push_back({{"hkl", r.hkl},
                    {"weak", r.weak},
                    {"energy", r.energyKeV.value},
                    {"energy_sigma", r.energyKeV.sigma},
                    {"d_obs", r.dObsA.value},
                    {"d_obs_sigma", r.dObsA.sigma},
                    {"d_calc", r.dCalcA},
                    {"a", r.aA.value},
                    {"a_sigma", r.aA.sigma}});
  }
  return list;
}

}  // namespace

bool ReportPressureProblems(const SpectrumPressure& p) {
  if (!p.ok()) {
    Err(p.Name() + ": " + p.error);
    return false;
  }
  for (const std::string& warning : p.warnings) Err(warning);
  return true;
}

bool ShowPressure(const SpectrumPressure& p, bool brief) {
  if (p.ok()) {
    const std::string line = (brief ? PressureBrief(p) : PressureLine(p)) + "\n";
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fflush(stdout);
  }
  return ReportPressureProblems(p);
}

Json PressureJson(const SpectrumPressure& p) {
  Json j = Head(p);
  if (!p.ok()) {
    j["error"] = p.error;
    return j;
  }
  j["reference"] = CitationText(p.scale->reference);
  j["date"] = p.date;
  j["time"] = p.time;
  j["a"] = p.lattice.aA.value;
  j["a_sigma"] = p.lattice.aA.sigma;
  j["volume"] = p.volumeA3;
  j["v_over_v0"] = p.volumeRatio;
  j["temperature"] = p.temperatureK;
  j["temperature_source"] = std::string(TemperatureSourceName(p.temperatureSource));
  j["two_theta"] = p.twoThetaDeg;
  j["pressure"] = p.pressureGPa.value;
  j["pressure_sigma"] = p.pressureGPa.sigma;
  j["pressure_sigma_parts"] = {
      {"a", p.sigmaParts.edge}, {"temperature", p.sigmaParts.temperature}, {"two_theta", p.sigmaParts.twoTheta}};
  j["chi2_reduced"] = p.lattice.chiSquaredReduced;
  j["warnings"] = p.warnings;
  j["reflections"] = ReflectionsJson(p.lattice);
  j["dropped"] = Json::array();
  for (const DroppedReflection& d : p.lattice.dropped) j["dropped"].push_back({{"hkl", d.hkl}, {"why", d.why}});
  return j;
}

bool WritePressureTable(const std::string& path, std::span<const SpectrumPressure> spectra) {
  std::string why;
  if (ReplaceFileAtomically(path, PressureTable(spectra), &why)) return true;
  Err(path + ": Open Error (" + why + ")");
  return false;
}

void PressureWatch::Take(const std::string& path, std::string_view kind) {
  const SourcePressure source = series_.Take(path, kind);
  if (!source.read) {
    Err(path + ": " + std::string(StatusMessage(source.read.status)) + " (" + source.read.why + ")");
    return;
  }
  for (const SpectrumPressure& p : source.spectra) ShowPressure(p, true);
  if (!table_.empty()) WritePressureTable(table_, series_.spectra());
}

std::string ScalesHelp() {
  std::string text = "Standards and scales (NAME:SCALE; the first of each is its default):\n";
  for (const Standard& standard : Standards()) {
    if (standard.pressureStandard.empty()) continue;
    text += "  " + std::string(standard.name) + "\n";
    for (const PressureScale& scale : PressureScales()) {
      if (scale.standard != standard.pressureStandard) continue;
      text += "    " + std::string(scale.name) + ": " + CitationText(scale.reference) + "\n";
    }
  }
  return text;
}

}  // namespace vantor::cli
