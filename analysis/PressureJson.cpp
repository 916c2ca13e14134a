// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/PressureJson.h"

namespace vantor {
namespace {

using Json = nlohmann::ordered_json;

// The file, then what `tag` adds (the element, or the cell's mark), then the
// standard and scale.
template <typename Tag>
Json Head(const std::string& file, Tag tag, const PressureScale& scale) {
  Json j;
  j["file"] = file;
  tag(j);
  j["standard"] = std::string(scale.standard);
  j["scale"] = std::string(scale.name);
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

void TakeTemperature(double temperatureK, TemperatureSource source, Json& j) {
  j["temperature"] = temperatureK;
  j["temperature_source"] = std::string(TemperatureSourceName(source));
}

}  // namespace

Json PressureJson(const SpectrumPressure& p) {
  Json j = Head(
      p.file,
      [&](Json& h) {
        if (p.element > 0) h["element"] = p.element;
      },
      *p.scale);
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
  TakeTemperature(p.temperatureK, p.temperatureSource, j);
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

Json CellPressureJson(const CellPressure& cell) {
  Json j = Head(
      cell.file, [](Json& h) { h["cell"] = true; }, *cell.scale);
  if (!cell.ok()) {
    j["error"] = cell.error;
    return j;
  }
  j["reference"] = CitationText(cell.scale->reference);
  j["elements"] = cell.elements;
  j["a"] = cell.aA.value;
  j["a_sigma"] = cell.aA.sigma;
  j["volume"] = cell.volumeA3;
  j["v_over_v0"] = cell.volumeRatio;
  TakeTemperature(cell.temperatureK, cell.temperatureSource, j);
  j["pressure"] = cell.pressureGPa.value;
  j["pressure_sigma"] = cell.pressureGPa.sigma;
  j["pressure_sigma_parts"] = {{"a", cell.sigmaParts.edge}, {"temperature", cell.sigmaParts.temperature}};
  j["strain_q"] = cell.strainQ.value;
  j["strain_q_sigma"] = cell.strainQ.sigma;
  j["load_axis"] = cell.loadAxisDeg.value;
  j["load_axis_sigma"] = cell.loadAxisDeg.sigma;
  j["load_axis_source"] = cell.loadAxisGiven ? "option" : "fitted";
  if (cell.ringOffset) {
    j["ring_offset"] = {{"two_theta", cell.ringOffset->twoThetaDeg.value},
                        {"two_theta_sigma", cell.ringOffset->twoThetaDeg.sigma},
                        {"azimuth", cell.ringOffset->azimuthDeg.value},
                        {"azimuth_sigma", cell.ringOffset->azimuthDeg.sigma}};
  }
  j["chi2_reduced"] = cell.chiSquaredReduced;
  j["pulls"] = cell.pulls;
  j["warnings"] = cell.warnings;
  return j;
}

}  // namespace vantor
