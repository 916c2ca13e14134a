// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/ResultCells.h"

#include <cmath>

#include "analysis/PressureReport.h"
#include "base/TextFormat.h"

namespace vantor {
namespace {

// As the peaks command writes them: a value whose fit failed (sigma NaN) to
// the mask's decimals, "-" where there is none.
std::string ValueCell(const Measured& m, std::string_view mask) {
  if (!std::isfinite(m.value)) return "-";
  return std::isfinite(m.sigma) ? FormatUncertain(m.value, m.sigma) : FormatMask(m.value, mask);
}
std::string ValueCell(const std::optional<Measured>& m, std::string_view mask) {
  return m ? ValueCell(*m, mask) : "-";
}

std::string Residual(double keV) {
  return FormatMask(keV, "0.0000");
}

std::string Name(const std::string& file, std::size_t element) {
  const auto slash = file.find_last_of("\\/");
  const std::string base = slash == std::string::npos ? file : file.substr(slash + 1);
  return element == 0 ? base : base + ":" + std::to_string(element);
}

// A field, quoted when it holds the separator, a quote or a line end.
std::string Field(std::string_view text, char separator) {
  if (text.find_first_of(std::string{separator, '"', '\r', '\n'}) == std::string_view::npos) return std::string(text);
  std::string quoted = "\"";
  for (const char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + "\"";
}

void AppendNumber(std::string& out, double value, char separator) {
  out += separator;
  if (std::isfinite(value)) AppendPlain(out, value);
}

void AppendMeasured(std::string& out, const std::optional<Measured>& m, char separator) {
  AppendNumber(out, m ? m->value : NAN, separator);
  AppendNumber(out, m ? m->sigma : NAN, separator);
}

}  // namespace

CellTable PeakCells(std::span<const PeakResult> peaks) {
  const bool inKeV = peaks.empty() || peaks.front().fwhmInKeV;
  CellTable t{{"channel", "energy/keV", "d/Å", inKeV ? "FWHM/keV" : "FWHM/channels", "area", ""}, {}};
  for (const PeakResult& r : peaks) {
    t.rows.push_back({ValueCell(r.channel, "0.0"), ValueCell(r.energyKeV, "0.000"), ValueCell(r.dSpacingA, "0.0000"),
                      ValueCell(r.fwhm, inKeV ? "0.000" : "0.0"), ValueCell(r.area, "0"),
                      r.escape    ? "escape"
                      : !r.fitted ? "not fitted: " + r.reason
                                  : ""});
  }
  return t;
}

std::string PeaksDelimited(std::span<const PeakResult> peaks, std::string_view spectrum, char separator) {
  std::string text;
  for (const char* column :
       {"spectrum", "channel", "channel_sigma", "energy_keV", "energy_sigma_keV", "d_A", "d_sigma_A", "fwhm",
        "fwhm_sigma", "fwhm_unit", "height", "height_sigma", "area", "area_sigma", "escape", "fitted"})
    text += (text.empty() ? "" : std::string(1, separator)) + column;
  text += "\n";
  for (const PeakResult& r : peaks) {
    text += Field(spectrum, separator);
    for (const auto& m : {std::optional(r.channel), r.energyKeV, r.dSpacingA, std::optional(r.fwhm)})
      AppendMeasured(text, m, separator);
    text += separator + std::string(r.fwhmInKeV ? "keV" : "channels");
    AppendMeasured(text, r.height, separator);
    AppendMeasured(text, r.area, separator);
    text += separator + std::string(r.escape ? "yes" : "no") + separator + (r.fitted ? "yes" : "no") + "\n";
  }
  return text;
}

std::array<std::string, 3> CoefficientTexts(const EnergyCalibration& c) {
  const char* names[] = {"A", "B", "C"};
  const char* units[] = {"keV", "keV/channel", "keV/channel^2"};
  std::array<std::string, 3> texts;
  for (std::size_t i = 0; i < 3; ++i)
    texts[i] = std::string(names[i]) + " = " + FormatUncertain(c.egc[i].value, c.egc[i].sigma, true) + " " + units[i];
  return texts;
}

CellTable CalibrationPointCells(const EnergyCalibration& c) {
  CellTable t{{"line", "energy/keV", "spectrum", "channel", "residual/keV"}, {}};
  for (const CalibrationPoint& p : c.points)
    t.rows.push_back({p.line, FormatPlain(p.energyKeV), p.file, FormatUncertain(p.channel.value, p.channel.sigma),
                      Residual(p.residualKeV)});
  return t;
}

CellTable TwoThetaSummaryCells(std::span<const TwoThetaCalibration> calibrations) {
  CellTable t{{"spectrum", "file's 2θ", "2θ/°", "reflections"}, {}};
  for (const TwoThetaCalibration& c : calibrations) {
    const bool ok = c.status == TwoThetaStatus::Ok;
    t.rows.push_back({Name(c.file, c.element), FormatPlain(c.fileTwoThetaDeg),
                      ok ? FormatUncertain(c.twoThetaDeg.value, c.twoThetaDeg.sigma, true) : "-",
                      ok ? std::to_string(c.reflections.size()) : "not calibrated: " + c.message});
  }
  return t;
}

CellTable TwoThetaReflectionCells(const TwoThetaCalibration& c) {
  CellTable t{{"hkl", "d/Å", "energy/keV", "residual/keV"}, {}};
  for (const TwoThetaReflection& r : c.reflections)
    t.rows.push_back({r.hkl, FormatMask(r.dA, "0.0000"), FormatUncertain(r.energyKeV.value, r.energyKeV.sigma),
                      c.status == TwoThetaStatus::Ok ? Residual(r.residualKeV) : "-"});
  for (const LeftOutReflection& r : c.leftOut)
    t.rows.push_back({r.hkl, FormatMask(r.dA, "0.0000"), "-", "left out: " + r.why});
  return t;
}

CellTable PressureReflectionCells(const SpectrumPressure& p) {
  CellTable t{{"hkl", "energy/keV", "d/Å", "d calc/Å", "a/Å"}, {}};
  if (!p.ok()) return t;
  for (const AssignedReflection& r : p.lattice.reflections)
    t.rows.push_back({r.hkl + (r.weak ? " (weak)" : ""), ValueCell(r.energyKeV, "0.000"), ValueCell(r.dObsA, "0.0000"),
                      FormatMask(r.dCalcA, "0.00000"), ValueCell(r.aA, "0.0000")});
  for (const DroppedReflection& d : p.lattice.dropped) t.rows.push_back({d.hkl, "-", "-", "-", "dropped: " + d.why});
  return t;
}

CellTable PressureSummaryCells(std::span<const SpectrumPressure> pressures) {
  CellTable t{{"spectrum", "P", "T", "a", "V/V0", "reflections"}, {}};
  for (const SpectrumPressure& p : pressures) {
    if (!p.ok()) {
      t.rows.push_back({Name(p.file, p.element), "-", "-", "-", "-", p.error});
      continue;
    }
    std::string used;
    for (const AssignedReflection& r : p.lattice.reflections) used += (used.empty() ? "" : " ") + r.hkl;
    t.rows.push_back(
        {Name(p.file, p.element), PressureText(p), TemperatureText(p), EdgeText(p), VolumeRatioText(p), used});
  }
  return t;
}

}  // namespace vantor
