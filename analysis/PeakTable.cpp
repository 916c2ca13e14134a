// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/PeakTable.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "base/TextFormat.h"

namespace vantor {
namespace {

using json = nlohmann::ordered_json;

// A number, or null where it is not one (NaN: a failed fit's sigma).
json Number(double value) {
  return std::isfinite(value) ? json(value) : json(nullptr);
}

json Value(const std::optional<Measured>& m) {
  return m ? Number(m->value) : json(nullptr);
}
json Sigma(const std::optional<Measured>& m) {
  return m ? Number(m->sigma) : json(nullptr);
}

// A fitted value with its sigma; a value whose fit failed (sigma NaN) to
// the mask's decimals; "-" where there is none.
std::string Cell(const Measured& m, std::string_view mask) {
  if (!std::isfinite(m.value)) return "-";
  return std::isfinite(m.sigma) ? FormatUncertain(m.value, m.sigma) : FormatMask(m.value, mask);
}
std::string Cell(const std::optional<Measured>& m, std::string_view mask) {
  return m ? Cell(*m, mask) : "-";
}

std::string Heading(const SpectrumPeaks& p) {
  std::string text = p.file;
  if (p.element != 0) text += " element " + std::to_string(p.element);
  return text + ": 2theta " + (p.twoThetaDeg > 0 ? FormatPlain(p.twoThetaDeg) : std::string("none")) + "\n";
}

}  // namespace

json PeaksJson(const SpectrumPeaks& p) {
  json out = {{"file", p.file}};
  if (p.element != 0) out["element"] = p.element;
  out["two_theta"] = p.twoThetaDeg;
  json peaks = json::array();
  for (const PeakResult& r : p.search.peaks) {
    peaks.push_back({{"channel", Number(r.channel.value)},
                     {"channel_sigma", Number(r.channel.sigma)},
                     {"energy", Value(r.energyKeV)},
                     {"energy_sigma", Sigma(r.energyKeV)},
                     {"d", Value(r.dSpacingA)},
                     {"d_sigma", Sigma(r.dSpacingA)},
                     {"fwhm", Number(r.fwhm.value)},
                     {"fwhm_sigma", Number(r.fwhm.sigma)},
                     {"height", Number(r.height.value)},
                     {"height_sigma", Number(r.height.sigma)},
                     {"area", Number(r.area.value)},
                     {"area_sigma", Number(r.area.sigma)},
                     {"escape", r.escape},
                     {"fitted", r.fitted}});
  }
  out["peaks"] = std::move(peaks);
  return out;
}

std::string PeaksText(const SpectrumPeaks& p) {
  if (p.search.peaks.empty()) return Heading(p) + "  " + p.search.message + "\n";
  const bool inKeV = p.search.peaks.front().fwhmInKeV;
  std::vector<std::vector<std::string>> rows{
      {"channel", "energy/keV", "d/A", inKeV ? "FWHM/keV" : "FWHM/channels", "height", "area", ""}};
  for (const PeakResult& r : p.search.peaks) {
    rows.push_back({Cell(r.channel, "0.0"), Cell(r.energyKeV, "0.000"), Cell(r.dSpacingA, "0.0000"),
                    Cell(r.fwhm, inKeV ? "0.000" : "0.0"), Cell(r.height, "0"), Cell(r.area, "0"),
                    r.escape    ? "escape"
                    : !r.fitted ? "not fitted: " + r.reason
                                : ""});
  }
  return Heading(p) + AlignedColumns(rows);
}

}  // namespace vantor
