// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/LineTable.h"

#include <xraylib.h>

#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <memory>

#include "base/TextFormat.h"

namespace vantor {
namespace {

// Gamma lines of the check sources, keV: the recommended values of the
// Decay Data Evaluation Project (LNHB, Table de Radionucleides, Monographie
// BIPM-5 vols. 1 and 2, and www.lnhb.fr/nuclear-data/nuclear-data-table),
// the same digits as NNDC NuDat 3. Lines of at least about 1 % emission
// probability only; the daughters' K and L X-rays are left out: each is an
// unresolved group of lines whose centroid depends on the detector's width.
struct SourceLine {
  std::string_view source;
  double energyKeV;
};
constexpr std::array<SourceLine, 25> kSourceLines{{
    {"Co-57", 14.41295},  {"Co-57", 122.06065}, {"Co-57", 136.47356},  // 57Fe levels
    {"Am-241", 26.3446},  {"Am-241", 59.5409},                         // 237Np levels
    {"Ba-133", 53.1622},  {"Ba-133", 79.6142},  {"Ba-133", 80.9979},   // 133Cs levels
    {"Ba-133", 276.3989}, {"Ba-133", 302.8508}, {"Ba-133", 356.0129}, {"Ba-133", 383.8485},
    {"Cd-109", 88.0336},                                               // 109mAg
    {"Cs-137", 661.657},                                               // 137mBa
    {"Eu-152", 121.7817}, {"Eu-152", 244.6974}, {"Eu-152", 344.2785},  // 152Sm, 152Gd levels
    {"Eu-152", 411.1165}, {"Eu-152", 443.9606}, {"Eu-152", 778.9045}, {"Eu-152", 867.380},
    {"Eu-152", 964.057},  {"Eu-152", 1085.837}, {"Eu-152", 1112.076}, {"Eu-152", 1408.013},
}};
constexpr std::array<std::string_view, 6> kSources{"Co-57", "Am-241", "Ba-133", "Cd-109", "Cs-137", "Eu-152"};

// Siegbahn names and xraylib's line macros (IUPAC transitions). Note that
// K-beta1 (K-M3) lies within about 0.5 keV of K-beta3 (K-M2) for heavy
// elements (Pb: 84.94 and 84.45 keV), closer than a germanium detector
// resolves there: the fitted peak is their blend and sits below Kb1.
struct XrayLine {
  std::string_view name;
  int macro;
};
constexpr std::array<XrayLine, 14> kXrayLines{{
    {"Ka1", KA1_LINE},
    {"Ka2", KA2_LINE},
    {"Kb1", KB1_LINE},
    {"Kb2", KB2_LINE},
    {"Kb3", KB3_LINE},
    {"La1", LA1_LINE},
    {"La2", LA2_LINE},
    {"Lb1", LB1_LINE},
    {"Lb2", LB2_LINE},
    {"Lb3", LB3_LINE},
    {"Lb4", LB4_LINE},
    {"Lg1", LG1_LINE},
    {"Lg2", LG2_LINE},
    {"Ma1", MA1_LINE},
}};

bool SameIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  }
  return true;
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
  return s;
}

std::string UnknownMessage(std::string_view entry) {
  std::string m = "unknown line \"" + std::string(entry) + "\": sources are";
  for (std::string_view s : kSources) m += " " + std::string(s);
  m += "; X-ray lines are Element-Line with a line of";
  for (const XrayLine& l : kXrayLines) m += " " + std::string(l.name);
  return m + " (Pb-Ka1); or an energy in keV (59.5409)";
}

struct XrlErrorFree {
  void operator()(xrl_error* e) const { xrl_error_free(e); }
};

// The energy of an X-ray line from xraylib, or an error text.
bool XrayLineEnergy(std::string_view element, std::string_view line, double& energy, std::string& why) {
  const XrayLine* found = nullptr;
  for (const XrayLine& l : kXrayLines) {
    if (SameIgnoringCase(l.name, line)) found = &l;
  }
  if (found == nullptr) return false;
  xrl_error* raw = nullptr;
  const int z = SymbolToAtomicNumber(std::string(element).c_str(), &raw);
  std::unique_ptr<xrl_error, XrlErrorFree> error(raw);
  if (z == 0) return false;
  raw = nullptr;
  energy = LineEnergy(z, found->macro, &raw);
  error.reset(raw);
  if (error || !(energy > 0)) {
    why = std::string(element) + "-" + std::string(found->name) + ": " +
          (error ? error->message : "xraylib has no energy for this line");
    return false;
  }
  return true;
}

// "pb" and "PB" name lead as "Pb" does.
std::string ElementSymbol(std::string_view text) {
  std::string symbol(text);
  for (std::size_t i = 0; i < symbol.size(); ++i) {
    const auto c = static_cast<unsigned char>(symbol[i]);
    symbol[i] = static_cast<char>(i == 0 ? std::toupper(c) : std::tolower(c));
  }
  return symbol;
}

// One entry of the list into `out`; false with `why` set when unknown.
bool ParseEntry(std::string_view entry, std::vector<CalibrationLine>& out, std::string& why) {
  bool source = false;
  for (const SourceLine& s : kSourceLines) {
    if (!SameIgnoringCase(s.source, entry)) continue;
    out.push_back({std::string(s.source) + " " + FormatPlain(s.energyKeV), s.energyKeV});
    source = true;
  }
  if (source) return true;
  double energy = 0;
  const auto [end, error] = std::from_chars(entry.data(), entry.data() + entry.size(), energy);
  if (error == std::errc() && end == entry.data() + entry.size()) {
    if (!(energy > 0) || !std::isfinite(energy)) {
      why = "an energy must be above 0 keV: " + std::string(entry);
      return false;
    }
    out.push_back({std::string(entry), energy});
    return true;
  }
  if (const auto dash = entry.find('-'); dash != std::string_view::npos) {
    if (XrayLineEnergy(ElementSymbol(entry.substr(0, dash)), entry.substr(dash + 1), energy, why)) {
      out.push_back({std::string(entry), energy});
      return true;
    }
    if (!why.empty()) return false;
  }
  why = UnknownMessage(entry);
  return false;
}

}  // namespace

LineList ParseLineList(std::string_view list) {
  LineList result;
  while (true) {
    const auto comma = list.find(',');
    const std::string_view entry = Trim(list.substr(0, comma));
    if (entry.empty()) {
      result.message = "an empty entry in the list of lines";
      return result;
    }
    std::vector<CalibrationLine> lines;
    if (!ParseEntry(entry, lines, result.message)) return result;
    result.lines.insert(result.lines.end(), lines.begin(), lines.end());
    if (comma == std::string_view::npos) break;
    list.remove_prefix(comma + 1);
  }
  result.ok = true;
  return result;
}

std::vector<std::string_view> CheckSourceNames() {
  return {kSources.begin(), kSources.end()};
}

std::vector<std::string_view> XrayLineNames() {
  std::vector<std::string_view> names;
  for (const XrayLine& l : kXrayLines) names.push_back(l.name);
  return names;
}

}  // namespace vantor
