// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/SpectrumPressure.h"

#include <gsl/gsl_cdf.h>

#include <algorithm>
#include <cmath>

#include "base/DSpacing.h"
#include "base/TextFormat.h"
#include "base/TextRoutines.h"
#include "formats/SourceRead.h"

namespace vantor {
namespace {

constexpr double kAssumedTemperatureK = 300;

std::string Trimmed(std::string_view text) {
  const auto first = text.find_first_not_of(" \0", 0, 2);
  if (first == std::string_view::npos) return "";
  return std::string(text.substr(first, text.find_last_not_of(" \0", std::string_view::npos, 2) - first + 1));
}

bool Digits(std::string_view text, std::size_t count) {
  return text.size() == count && text.find_first_not_of("0123456789") == std::string_view::npos;
}

void TakeRecordFields(const SpectrumRecord& record, SpectrumPressure& out) {
  const std::string date = Trimmed(View(record.Head.Common.MeasDate));
  const std::string time = Trimmed(View(record.Head.Common.MeasTime));
  out.date = Digits(date, 8) ? FormatLongDate(date, '-') : date;
  out.time = Digits(time, 6) ? FormatClock(time) : time;
  out.pressLoad = record.Head.Measure.PressLoad;
}

// The rule for the temperature: given, else the record's (degrees Celsius; 0 means not
// measured, no press run sits at the freezing point), else room temperature, said so.
void TakeTemperature(const SpectrumRecord& record, const PressureRequest& request, SpectrumPressure& out) {
  if (request.temperatureK) {
    out.temperatureK = *request.temperatureK, out.temperatureSource = TemperatureSource::Option;
  } else if (const double celsius = record.Head.Measure.Temperature; celsius != 0) {
    out.temperatureK = celsius + kZeroCelsiusInKelvin, out.temperatureSource = TemperatureSource::Record;
  } else {
    out.temperatureK = kAssumedTemperatureK, out.temperatureSource = TemperatureSource::Assumed;
    out.warnings.push_back("no temperature in " + out.Name() + ": taken as 300 K");
  }
}

std::string CheckAngleAndCalibration(const SpectrumRecord& record, const SpectrumPressure& out) {
  if (!(out.twoThetaDeg > 0))
    return "2theta is " + FormatPlain(out.twoThetaDeg) + " deg: no d-spacing without an angle";
  const auto& egc = record.Head.Measure.EGC;
  const auto channels = static_cast<std::size_t>(std::clamp<int>(record.Data.DataNumber, 0, kMaxChannels));
  if (!HasEnergyCalibration(egc, channels)) {
    return "no energy calibration (EGC " + FormatPlain(egc[0]) + " " + FormatPlain(egc[1]) + " " + FormatPlain(egc[2]) +
           ")";
  }
  return "";
}

// The peaks near the standard's lines found and fitted, and the cell edge from them;
// why not, or empty.
std::string FitCellEdge(const SpectrumRecord& record, const PressureRequest& request, SpectrumPressure& out) {
  const auto& egc = record.Head.Measure.EGC;
  const auto channels = static_cast<std::size_t>(std::clamp<int>(record.Data.DataNumber, 0, kMaxChannels));
  const std::span<const std::int32_t> counts(record.Data.Count.data(), channels);
  const double topKeV = EnergyOfChannel(static_cast<double>(counts.size()), egc);
  const LatticeOptions options{out.temperatureK, request.guessPressureGPa};
  PeakOptions peakOptions;
  peakOptions.minSnr = request.minSnr;
  // The search only where the standard's lines can be: faster, and clear of the
  // fluorescence lines below them.
  peakOptions.energyRangeKeV =
      ReflectionEnergyWindow(*request.standard, *request.scale, out.twoThetaDeg, topKeV, options);
  // Only the peaks near the lines of the edge the places found suggest are fitted: the
  // fits take nearly all the time, and a second phase's peaks elsewhere need none.
  EdgeLook look;
  peakOptions.fitNear = [&](std::span<const PeakPlace> places) {
    look = LookForEdge(*request.standard, *request.scale, places, out.twoThetaDeg, topKeV, options);
    return look.lineEnergiesKeV;
  };
  PeakSearch search;
  if (peakOptions.energyRangeKeV->first < peakOptions.energyRangeKeV->second)
    search = FindPeaks(counts, egc, out.twoThetaDeg, peakOptions);
  if (search.status == PeakSearchStatus::InvalidInput) return search.message;
  out.lattice = FitLattice(*request.standard, *request.scale, search.peaks, out.twoThetaDeg, topKeV, options);
  // The look saw every place; the fit only the peaks near the chosen lines. One says so.
  if (look.rivalPressureGPa)
    out.rival = SpectrumPressure::Rival{*look.rivalPressureGPa, look.rivalScore, look.bestScore};
  if (!look.rivalWarning.empty() && out.lattice.warnings.empty()) out.lattice.warnings.push_back(look.rivalWarning);
  for (const std::string& warning : out.lattice.warnings) out.warnings.push_back(out.Name() + ": " + warning);
  return out.lattice.status == LatticeStatus::Ok ? "" : out.lattice.message;
}

// The three parts of sigma(P). 2theta moves every d, hence a, by sin(theta) /
// sin(theta + delta / 2): the fitted edge scales exactly so.
bool PropagateSigmas(const PressureRequest& request, SpectrumPressure& out) {
  const PressureScale& scale = *request.scale;
  const double aA = out.lattice.aA.value, t = out.temperatureK;
  const double sinTheta = SinTheta(out.twoThetaDeg);
  PressureSigmaParts& parts = out.sigmaParts;
  parts.edge = HalfSpread([&](double d) { return PressureGPa(scale, aA + d, t).pressureGPa; }, out.lattice.aA.sigma);
  parts.temperature =
      HalfSpread([&](double d) { return PressureGPa(scale, aA, t + d).pressureGPa; }, request.temperatureSigmaK);
  parts.twoTheta = HalfSpread(
      [&](double d) { return PressureGPa(scale, aA * sinTheta / SinTheta(out.twoThetaDeg + d), t).pressureGPa; },
      request.twoThetaSigmaDeg);
  out.pressureGPa.sigma =
      std::sqrt(parts.edge * parts.edge + parts.temperature * parts.temperature + parts.twoTheta * parts.twoTheta);
  return std::isfinite(out.pressureGPa.sigma);
}

void WarnOfSpread(const LatticeFit& fit, SpectrumPressure& out) {
  const double dof = static_cast<double>(fit.reflections.size() - 1);
  if (fit.reflections.size() < 3 || !SpreadBeyondErrors(fit.chiSquaredReduced, dof)) return;
  out.warnings.push_back(out.Name() +
                         ": the reflections' own a spread beyond their counting errors (chi2 per degree of freedom " +
                         FormatMask(fit.chiSquaredReduced, "0.0") +
                         "): stress that is not hydrostatic, or an energy or 2theta calibration off; sigma(a) "
                         "widened by its square root");
}

std::string ScaleNamesText(std::string_view standard) {
  std::string text;
  for (const std::string_view name : ScaleNames(standard)) text += (text.empty() ? "" : ", ") + std::string(name);
  return text;
}

}  // namespace

std::string_view TemperatureSourceName(TemperatureSource source) {
  switch (source) {
    case TemperatureSource::Option:
      return "option";
    case TemperatureSource::Record:
      return "record";
    case TemperatureSource::Assumed:
      break;
  }
  return "assumed";
}

std::string SpectrumPressure::Name() const {
  return element == 0 ? file : file + ":" + std::to_string(element);
}

StandardChoice ChooseStandard(std::string_view standard, std::string_view scale) {
  StandardChoice choice;
  choice.standard = FindStandard(standard);
  if (choice.standard == nullptr || choice.standard->pressureStandard.empty()) {
    std::string known;
    for (const Standard& s : Standards())
      if (!s.pressureStandard.empty()) known += (known.empty() ? "" : ", ") + std::string(s.name);
    choice.error = "unknown pressure standard '" + std::string(standard) + "' (" + known + ")";
    return choice;
  }
  choice.scale = FindScale(choice.standard->pressureStandard, scale);
  if (choice.scale == nullptr) {
    choice.error = "unknown scale '" + std::string(scale) + "' for " + std::string(choice.standard->pressureStandard) +
                   " (" + ScaleNamesText(choice.standard->pressureStandard) + ")";
  }
  return choice;
}

StandardChoice ChooseStandard(std::string_view text) {
  const auto colon = text.find(':');
  if (colon == std::string_view::npos) return ChooseStandard(text, "");
  const std::string_view scale = text.substr(colon + 1);
  if (scale.empty()) return {nullptr, nullptr, "no scale after ':' in '" + std::string(text) + "'"};
  return ChooseStandard(text.substr(0, colon), scale);
}

bool SpreadBeyondErrors(double chiSquaredReduced, double dof) {
  return gsl_cdf_chisq_Q(chiSquaredReduced * dof, dof) < 1e-3;
}

double HalfSpread(const std::function<double(double)>& pressure, double sigma) {
  if (!(sigma > 0)) return 0;
  return std::abs(pressure(sigma) - pressure(-sigma)) / 2;
}

SpectrumPressure PressureOfSpectrum(const SpectrumRecord& record, std::string file, std::size_t element,
                                    const PressureRequest& request) {
  SpectrumPressure out;
  out.file = std::move(file), out.element = element, out.scale = request.scale;
  TakeRecordFields(record, out);
  TakeTemperature(record, request, out);
  out.twoThetaDeg = request.twoThetaDeg.value_or(record.Head.Measure.TwoTheta);
  out.twoThetaSigmaDeg = request.twoThetaSigmaDeg;
  out.error = CheckAngleAndCalibration(record, out);
  if (out.ok()) out.error = FitCellEdge(record, request, out);
  if (!out.ok()) return out;
  const PressureResult p = PressureGPa(*request.scale, out.lattice.aA.value, out.temperatureK);
  if (!p.ok()) {
    out.error = p.error;
    return out;
  }
  out.pressureGPa.value = p.pressureGPa;
  out.volumeRatio = p.volumeRatio;
  out.volumeA3 = std::pow(out.lattice.aA.value, 3);
  for (const std::string& warning : p.warnings) out.warnings.push_back(out.Name() + ": " + warning);
  WarnOfSpread(out.lattice, out);
  if (!PropagateSigmas(request, out)) out.error = "sigma(P) cannot be propagated through the scale at this a and T";
  return out;
}

PressureRequest RequestForElement(const PressureRequest& request, const RunSettings& settings, std::size_t element) {
  PressureRequest one = request;
  if (!settings.calibration || request.twoThetaDeg) return one;
  const auto& elements = settings.calibration->elements;
  const auto found = elements.find(element);
  if (found != elements.end() && found->second.twoTheta)
    one.twoThetaSigmaDeg = std::hypot(one.twoThetaSigmaDeg, found->second.twoThetaSigma);
  return one;
}

namespace {

// How far apart the elements of one cell may lie (they scatter by about a
// GPa with the stress across the cell) and still vote for one pressure.
constexpr double kOneCellGPa = 3;

// The elements' summed score for the pressure `p`: each element gives the
// score of its chosen edge or of its rival, whichever lies near `p`.
double Votes(const std::vector<SpectrumPressure>& pressures, double p) {
  double sum = 0;
  for (const SpectrumPressure& e : pressures) {
    if (!e.ok() || !e.rival) continue;
    if (std::abs(e.pressureGPa.value - p) <= kOneCellGPa)
      sum += e.rival->bestScore;
    else if (std::abs(e.rival->pressureGPa - p) <= kOneCellGPa)
      sum += e.rival->score;
  }
  return sum;
}

}  // namespace

void SettleRivalElements(std::vector<SpectrumPressure>& pressures, const PressureRequest& request,
                         const std::function<SpectrumPressure(std::size_t, double)>& refit) {
  if (request.guessPressureGPa || pressures.size() < 2) return;
  std::optional<double> chosen;
  double most = 0;
  for (const SpectrumPressure& e : pressures) {
    if (!e.ok() || !e.rival) continue;
    for (const double p : {e.pressureGPa.value, e.rival->pressureGPa})
      if (const double votes = Votes(pressures, p); votes > most) most = votes, chosen = p;
  }
  if (!chosen) return;
  for (std::size_t i = 0; i < pressures.size(); ++i) {
    const SpectrumPressure& e = pressures[i];
    if (!e.ok() || !e.rival || std::abs(e.pressureGPa.value - *chosen) <= kOneCellGPa) continue;
    SpectrumPressure again = refit(i, *chosen);
    if (!again.ok()) continue;
    again.warnings.insert(again.warnings.begin(),
                          again.Name() + ": fitted near " + FormatMask(*chosen, "0.0") +
                              " GPa, where the file's elements together fit best; alone it fitted " +
                              FormatMask(e.pressureGPa.value, "0.0") + " GPa nearly as well");
    pressures[i] = std::move(again);
  }
}

SourcePressure PressureOfSource(const std::string& path, std::string_view kind, const RunSettings& settings,
                                const PressureRequest& request) {
  SourcePressure out;
  const SourceRead read = ReadSpectra(path, kind, settings);
  out.read = read.result;
  if (!read.result) return out;
  const std::size_t count = read.spectra.size();
  for (std::size_t k = 0; k < count; ++k) {
    const std::size_t element = CalibrationElement(k, count);
    out.spectra.push_back(
        PressureOfSpectrum(read.spectra[k].record, path, element, RequestForElement(request, settings, element)));
  }
  SettleRivalElements(out.spectra, request, [&](std::size_t k, double guessGPa) {
    PressureRequest near = RequestForElement(request, settings, CalibrationElement(k, count));
    near.guessPressureGPa = guessGPa;
    return PressureOfSpectrum(read.spectra[k].record, path, CalibrationElement(k, count), near);
  });
  return out;
}

}  // namespace vantor
