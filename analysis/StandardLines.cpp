// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/StandardLines.h"

#include <xraylib.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>

#include "base/TextFormat.h"

namespace vantor {
namespace {

// The atoms of the pressure standards: an fcc metal (one atom at 0 0 0) or rock salt
// (cation at 0 0 0, anion at 1/2 1/2 1/2), by atomic number.
struct Atoms {
  std::string_view standard;
  int cation, anion;  // anion 0: a metal
};
constexpr std::array<Atoms, 4> kAtoms{{{"au", 79, 0}, {"pt", 78, 0}, {"nacl", 11, 17}, {"mgo", 12, 8}}};

struct XrlErrorFree {
  void operator()(xrl_error* e) const { xrl_error_free(e); }
};

// xraylib's atomic form factor at q = sin(theta) / lambda = 1 / (2d); 0 where it fails.
double FormFactor(int z, double dA) {
  if (z == 0) return 0;
  xrl_error* raw = nullptr;
  const double f = FF_Rayl(z, 1 / (2 * dA), &raw);
  const std::unique_ptr<xrl_error, XrlErrorFree> error(raw);
  return error ? 0 : f;
}

}  // namespace

std::vector<double> ExpectedStrengths(const Standard& standard, std::span<const Reflection> reflections) {
  std::vector<double> strengths(reflections.size(), 1.0);
  const auto atoms =
      std::find_if(kAtoms.begin(), kAtoms.end(), [&](const Atoms& a) { return a.standard == standard.name; });
  if (atoms == kAtoms.end()) return strengths;
  double strongest = 0;
  for (std::size_t i = 0; i < reflections.size(); ++i) {
    const Reflection& r = reflections[i];
    // F-centring gives 4 per cell; the anion adds in phase on all-even lines and
    // against it on all-odd ones.
    const bool allOdd = (r.h & 1) && (r.k & 1) && (r.l & 1);
    const double anion = FormFactor(atoms->anion, r.dA);
    const double f = 4 * (FormFactor(atoms->cation, r.dA) + (allOdd ? -anion : anion));
    strengths[i] = r.multiplicity * f * f * r.dA * r.dA;
    strongest = std::max(strongest, strengths[i]);
  }
  if (!(strongest > 0)) return std::vector<double>(reflections.size(), 1.0);
  for (double& s : strengths) s /= strongest;
  return strengths;
}

std::string FluorescenceNear(const Standard& standard, double energyKeV, double toleranceKeV) {
  const auto atoms =
      std::find_if(kAtoms.begin(), kAtoms.end(), [&](const Atoms& a) { return a.standard == standard.name; });
  // Only the metals' K lines reach the energies of reflections; Na, Cl, Mg, O stay below 3 keV.
  if (atoms == kAtoms.end() || atoms->anion != 0) return "";
  const std::pair<int, const char*> lines[] = {
      {KA1_LINE, "Ka1"}, {KA2_LINE, "Ka2"}, {KB1_LINE, "Kb1"}, {KB2_LINE, "Kb2"}};
  for (const auto& [macro, name] : lines) {
    xrl_error* raw = nullptr;
    const double e = LineEnergy(atoms->cation, macro, &raw);
    const std::unique_ptr<xrl_error, XrlErrorFree> error(raw);
    if (!error && std::abs(e - energyKeV) <= toleranceKeV)
      return std::string(standard.pressureStandard) + " " + name + " fluorescence at " + FormatMask(e, "0.00") + " keV";
  }
  return "";
}

}  // namespace vantor
