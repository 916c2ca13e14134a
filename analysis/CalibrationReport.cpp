// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/CalibrationReport.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "base/TextFormat.h"

namespace vantor {
namespace {

using json = nlohmann::ordered_json;

std::span<const std::int32_t> Counts(const SpectrumRecord& r) {
  return {r.Data.Count.data(), static_cast<std::size_t>(std::clamp<int>(r.Data.DataNumber, 0, kMaxChannels))};
}

std::string Residual(double keV) {
  return FormatMask(keV, "0.0000");
}

json OneEnergyJson(const ElementEnergy& e) {
  const EnergyCalibration& c = e.calibration;
  if (c.status != CalibrationStatus::Ok) return {{"error", c.message}};
  json cov = json::array(), lines = json::array();
  for (const auto& row : c.covariance) cov.push_back(row);
  for (const CalibrationPoint& p : c.points) {
    lines.push_back({{"name", p.line},
                     {"energy", p.energyKeV},
                     {"file", p.file},
                     {"channel", p.channel.value},
                     {"channel_sigma", p.channel.sigma},
                     {"residual", p.residualKeV}});
  }
  return {{"egc", {c.egc[0].value, c.egc[1].value, c.egc[2].value}},
          {"egc_sigma", {c.egc[0].sigma, c.egc[1].sigma, c.egc[2].sigma}},
          {"egc_cov", cov},
          {"degree", c.degree},
          {"chi2_per_degree", c.chiSquaredPerDegree},
          {"lines", lines},
          {"unmatched", c.unmatched},
          {"files", c.files}};
}

std::string EgcOption(const EnergyCalibration& c) {
  return "--egc " + FormatPlain(c.egc[0].value) + "," + FormatPlain(c.egc[1].value) + "," + FormatPlain(c.egc[2].value);
}

}  // namespace

std::string SpectrumName(const std::string& file, std::size_t element) {
  return element == 0 ? file : file + ":" + std::to_string(element);
}

std::vector<ElementEnergy> CalibrateEnergyByElement(std::span<const ElementSpectrum> spectra,
                                                    std::span<const CalibrationLine> lines,
                                                    const EnergyCalibrationOptions& options) {
  std::map<std::size_t, std::vector<CalibrationSpectrum>> byElement;
  for (const ElementSpectrum& s : spectra) {
    byElement[s.element].push_back({SpectrumName(s.file, s.element), Counts(*s.record), s.record->Head.Measure.EGC});
  }
  std::vector<ElementEnergy> results;
  for (const auto& [element, group] : byElement) results.push_back({element, CalibrateEnergy(group, lines, options)});
  return results;
}

json EnergyJson(std::span<const ElementEnergy> calibrations) {
  if (calibrations.size() == 1 && calibrations[0].element == 0) return OneEnergyJson(calibrations[0]);
  json all = json::array();
  for (const ElementEnergy& e : calibrations) {
    json one = {{"element", e.element}};
    one.update(OneEnergyJson(e));
    all.push_back(std::move(one));
  }
  return all;
}

std::string EnergyText(const ElementEnergy& e) {
  const EnergyCalibration& c = e.calibration;
  std::string text = e.element == 0 ? "" : "element " + std::to_string(e.element) + "\n";
  if (c.status != CalibrationStatus::Ok) return text + "  not calibrated: " + c.message + "\n";
  const char* units[] = {"keV", "keV/channel", "keV/channel^2"};
  const char* names[] = {"A", "B", "C"};
  for (std::size_t i = 0; i < 3; ++i)
    text += "  " + std::string(names[i]) + " = " + FormatUncertain(c.egc[i].value, c.egc[i].sigma, true) + " " +
            units[i] + "\n";
  text += "  " + std::string(c.degree == 2 ? "quadratic" : "linear") + ", chi2 per degree of freedom " +
          FormatMask(c.chiSquaredPerDegree, "0.00") + " (" + std::to_string(c.degreesOfFreedom) + ")\n";
  std::vector<std::vector<std::string>> rows{{"line", "energy/keV", "spectrum", "channel", "residual/keV"}};
  for (const CalibrationPoint& p : c.points)
    rows.push_back({p.line, FormatPlain(p.energyKeV), p.file, FormatUncertain(p.channel.value, p.channel.sigma),
                    Residual(p.residualKeV)});
  text += AlignedColumns(rows);
  for (const std::string& u : c.unmatched) text += "  not matched: " + u + "\n";
  return text + "  " + EgcOption(c) + "\n";
}

std::vector<TwoThetaCalibration> CalibrateTwoThetaOf(std::span<const ElementSpectrum> spectra, const Standard& standard,
                                                     const TwoThetaOptions& options) {
  std::vector<TwoThetaCalibration> results;
  for (const ElementSpectrum& s : spectra) {
    const MeasureCondition& m = s.record->Head.Measure;
    results.push_back(CalibrateTwoTheta({s.file, s.element, Counts(*s.record), m.EGC, m.TwoTheta}, standard, options));
  }
  return results;
}

json TwoThetaJson(std::span<const TwoThetaCalibration> calibrations) {
  json all = json::array();
  for (const TwoThetaCalibration& c : calibrations) {
    const bool ok = c.status == TwoThetaStatus::Ok;
    json reflections = json::array(), leftOut = json::array();
    for (const TwoThetaReflection& r : c.reflections) {
      reflections.push_back({{"hkl", r.hkl},
                             {"d", r.dA},
                             {"energy", r.energyKeV.value},
                             {"energy_sigma", r.energyKeV.sigma},
                             {"residual", r.residualKeV}});
    }
    for (const LeftOutReflection& r : c.leftOut) leftOut.push_back({{"hkl", r.hkl}, {"d", r.dA}, {"why", r.why}});
    json one = {{"file", c.file},
                {"element", c.element},
                {"two_theta", ok ? json(c.twoThetaDeg.value) : json(nullptr)},
                {"two_theta_sigma", ok ? json(c.twoThetaDeg.sigma) : json(nullptr)},
                {"file_two_theta", c.fileTwoThetaDeg},
                {"chi2_per_degree", ok ? json(c.chiSquaredPerDegree) : json(nullptr)},
                {"reflections", reflections},
                {"left_out", leftOut}};
    if (!ok) one["error"] = c.message;
    all.push_back(std::move(one));
  }
  return all;
}

std::string TwoThetaText(const TwoThetaCalibration& c) {
  std::string text;
  if (c.status != TwoThetaStatus::Ok) {
    text = "not calibrated: " + c.message + "\n";  // the message names the spectrum
    if (c.status != TwoThetaStatus::TooFewReflections) return text;
  } else {
    text = c.file + (c.element == 0 ? "" : " element " + std::to_string(c.element)) + ": 2theta " +
           FormatUncertain(c.twoThetaDeg.value, c.twoThetaDeg.sigma, true) + " degrees (the file gives " +
           FormatPlain(c.fileTwoThetaDeg) + "), " + std::to_string(c.reflections.size()) +
           " reflections, chi2 per degree of freedom " + FormatMask(c.chiSquaredPerDegree, "0.00") + "\n";
  }
  std::vector<std::vector<std::string>> rows{{"hkl", "d/A", "energy/keV", "residual/keV"}};
  for (const TwoThetaReflection& r : c.reflections)
    rows.push_back({r.hkl, FormatMask(r.dA, "0.0000"), FormatUncertain(r.energyKeV.value, r.energyKeV.sigma),
                    c.status == TwoThetaStatus::Ok ? Residual(r.residualKeV) : "-"});
  for (const LeftOutReflection& r : c.leftOut) rows.push_back({r.hkl, FormatMask(r.dA, "0.0000"), "left out", r.why});
  return text + AlignedColumns(rows);
}

std::optional<CalibrationFile> EnergyCalibrationFile(std::span<const ElementEnergy> calibrations,
                                                     std::string_view lines, std::string& why) {
  CalibrationFile file;
  file.date = UtcNow();
  for (const ElementEnergy& e : calibrations) {
    const EnergyCalibration& c = e.calibration;
    if (c.status != CalibrationStatus::Ok) continue;
    file.elements[e.element].energy = EnergyEntry{
        {c.egc[0].value, c.egc[1].value, c.egc[2].value}, c.covariance, std::string(lines), c.files, file.date};
  }
  if (file.elements.empty()) {
    why = "no element was calibrated";
    return std::nullopt;
  }
  return file;
}

std::optional<CalibrationFile> TwoThetaCalibrationFile(std::span<const TwoThetaCalibration> calibrations,
                                                       std::string_view standard, const CalibrationFile* applied,
                                                       std::string& why) {
  CalibrationFile file;
  file.date = UtcNow();
  std::map<std::size_t, std::string> from;
  for (const TwoThetaCalibration& c : calibrations) {
    if (c.status != TwoThetaStatus::Ok) continue;
    const std::string name = SpectrumName(c.file, c.element);
    if (const auto [at, fresh] = from.emplace(c.element, name); !fresh) {
      why = "element " + std::to_string(c.element) + " is calibrated from both " + at->second + " and " + name +
            ": write the calibration from one of them";
      return std::nullopt;
    }
    CalibrationEntry& entry = file.elements[c.element];
    entry.twoTheta = AngleEntry{c.twoThetaDeg.value, c.twoThetaDeg.sigma, std::string(standard), {name}, file.date, {}};
    if (applied == nullptr) continue;
    if (const auto old = applied->elements.find(c.element); old != applied->elements.end())
      entry.energy = old->second.energy;
  }
  if (file.elements.empty()) {
    why = "no 2theta was found";
    return std::nullopt;
  }
  return file;
}

}  // namespace vantor
