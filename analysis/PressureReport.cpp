// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/PressureReport.h"

#include <algorithm>
#include <cmath>
#include <tuple>
#include <vector>

#include "base/TextFormat.h"

namespace vantor {
namespace {

// A value with as many decimals as its sigma's first digit needs, within limits,
// so that the sigma never reads as 0.
std::string WithSigma(const Measured& m, int leastDecimals, int mostDecimals, int extraDigits) {
  const int needed = m.sigma > 0 ? static_cast<int>(-std::floor(std::log10(m.sigma))) + extraDigits : leastDecimals;
  const int decimals = std::clamp(needed, leastDecimals, mostDecimals);
  const std::string mask = "0." + std::string(static_cast<std::size_t>(decimals), '0');
  return FormatMask(m.value, mask) + " ± " + FormatMask(m.sigma, mask);
}

std::string Kelvin(double temperatureK) {
  return FormatMask(temperatureK, "0") + " K";
}

// A field of the table, quoted when it holds a comma, a quote or a line end.
std::string CsvField(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (const char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + "\"";
}

}  // namespace

std::string PressureText(const SpectrumPressure& p) {
  return WithSigma(p.pressureGPa, 2, 4, 0) + " GPa";
}

std::string EdgeText(const SpectrumPressure& p) {
  return WithSigma(p.lattice.aA, 4, 6, 1) + " Å";
}

std::string TemperatureText(const SpectrumPressure& p) {
  return Kelvin(p.temperatureK) + " (" + std::string(TemperatureSourceName(p.temperatureSource)) + ")";
}

std::string VolumeRatioText(const SpectrumPressure& p) {
  return FormatMask(p.volumeRatio, "0.0000");
}

std::string PressureLine(const SpectrumPressure& p) {
  std::string line = p.Name();
  if (!p.date.empty() || !p.time.empty()) line += "  " + p.date + (p.time.empty() ? "" : " " + p.time);
  line += "  T = " + TemperatureText(p);
  line += "  a = " + EdgeText(p);
  line += "  V/V0 = " + VolumeRatioText(p);
  line += "  P = " + PressureText(p) + "  " + std::string(p.scale->standard) + " " + std::string(p.scale->name);
  line += "  reflections";
  for (const AssignedReflection& r : p.lattice.reflections) line += " " + r.hkl;
  if (!p.lattice.dropped.empty()) {
    line += " (dropped";
    for (const DroppedReflection& d : p.lattice.dropped) line += " " + d.hkl;
    line += ")";
  }
  return line;
}

std::string CellPressureLine(const CellPressure& cell) {
  std::string line = cell.file + ": cell of elements";
  for (const std::size_t e : cell.elements) line += " " + std::to_string(e);
  line +=
      "  T = " + Kelvin(cell.temperatureK) + " (" + std::string(TemperatureSourceName(cell.temperatureSource)) + ")";
  line += "  a = " + WithSigma(cell.aA, 4, 6, 1) + " Å";
  line += "  V/V0 = " + FormatMask(cell.volumeRatio, "0.0000");
  line += "  P = " + WithSigma(cell.pressureGPa, 2, 4, 0) + " GPa  " + std::string(cell.scale->standard) + " " +
          std::string(cell.scale->name);
  line += "  strain Q = " + WithSigma(cell.strainQ, 5, 7, 1) + " along ";
  line += cell.loadAxisGiven ? FormatMask(cell.loadAxisDeg.value, "0.0") + "° (given)"
                             : WithSigma(cell.loadAxisDeg, 1, 3, 0) + "° (fitted)";
  if (cell.ringOffset) {
    line += "  ring offset " + WithSigma(cell.ringOffset->twoThetaDeg, 4, 6, 0) + "° of 2theta, largest at " +
            WithSigma(cell.ringOffset->azimuthDeg, 0, 2, 0) + "°";
  }
  return line + "  chi2 per degree of freedom " + FormatMask(cell.chiSquaredReduced, "0.0");
}

std::string PressureBrief(const SpectrumPressure& p) {
  return p.Name() + ": " + PressureText(p) + " at " + Kelvin(p.temperatureK) + " (" + std::string(p.scale->standard) +
         ", " + std::string(p.scale->name) + ")";
}

std::string CellPressureBrief(const CellPressure& cell) {
  return cell.file + ": cell " + WithSigma(cell.pressureGPa, 2, 4, 0) + " GPa at " + Kelvin(cell.temperatureK) + " (" +
         std::string(cell.scale->standard) + ", " + std::string(cell.scale->name) +
         "), strain Q = " + WithSigma(cell.strainQ, 5, 7, 1);
}

std::string PressureTable(std::span<const SpectrumPressure> spectra) {
  std::vector<const SpectrumPressure*> rows;
  for (const SpectrumPressure& p : spectra)
    if (p.ok()) rows.push_back(&p);
  std::stable_sort(rows.begin(), rows.end(), [](const SpectrumPressure* a, const SpectrumPressure* b) {
    return std::tie(a->date, a->time) < std::tie(b->date, b->time);
  });
  std::string table =
      "file,element,date,time,temperature_K,a_A,a_sigma_A,v_over_v0,pressure_GPa,pressure_sigma_GPa,"
      "n_reflections,chi2_reduced,press_load\n";
  for (const SpectrumPressure* p : rows) {
    table += CsvField(p->file) + ",";
    if (p->element > 0) table += std::to_string(p->element);
    table += "," + CsvField(p->date) + "," + CsvField(p->time) + ",";
    for (const double value : {p->temperatureK, p->lattice.aA.value, p->lattice.aA.sigma, p->volumeRatio,
                               p->pressureGPa.value, p->pressureGPa.sigma}) {
      AppendPlain(table, value);
      table += ",";
    }
    table += std::to_string(p->lattice.reflections.size()) + ",";
    AppendPlain(table, p->lattice.chiSquaredReduced);
    table += ",";
    if (p->pressLoad != 0) AppendPlain(table, p->pressLoad);
    table += "\n";
  }
  return table;
}

}  // namespace vantor
