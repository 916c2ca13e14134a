// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/Standards.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>

#include "analysis/PressureScale.h"
#include "base/TextRoutines.h"

namespace vantor {

namespace {

using Indices = std::array<int, 3>;

constexpr double kMostIndex = 100;

// The ambient edge of a pressure standard: its default scale's V0.
double DefaultScaleA0(std::string_view standard) {
  return FindScale(standard, "")->a0A;
}

std::vector<Standard> BuildStandards() {
  using enum CrystalLattice;
  return {
      {"au", "Au, fcc (Fm-3m)", kFaceCentredCubic, CubicCell(DefaultScaleA0("Au")), 4, false, "Au",
       "V0 of Fei2007 (300 K)"},
      {"pt", "Pt, fcc (Fm-3m)", kFaceCentredCubic, CubicCell(DefaultScaleA0("Pt")), 4, false, "Pt",
       "V0 of Fei2007 (300 K)"},
      {"nacl", "NaCl, rock salt B1 (Fm-3m)", kFaceCentredCubic, CubicCell(DefaultScaleA0("NaCl")), 4, true, "NaCl",
       "V0 of Decker1971 (298.15 K)"},
      {"mgo", "MgO, rock salt B1 (Fm-3m)", kFaceCentredCubic, CubicCell(DefaultScaleA0("MgO")), 4, true, "MgO",
       "V0 of Tange2009 (300 K)"},
      // NIST certificate values as GSAS-II's calibrant table lists them.
      {"ceo2", "CeO2, fluorite (Fm-3m)", kFaceCentredCubic, CubicCell(5.411651), 4, false, "", "SRM 674b"},
      {"si", "Si, diamond (Fd-3m)", kDiamond, CubicCell(5.4311946), 8, false, "", "SRM 640c"},
      {"lab6", "LaB6, primitive cubic (Pm-3m)", kPrimitiveCubic, CubicCell(4.1569162), 1, false, "", "SRM 660a"},
      {"al2o3", "corundum alpha-Al2O3 (R-3c, hexagonal axes)", kCorundum, Cell{4.759091, 12.991779}, 6, false, "",
       "SRM 676a"},
  };
}

bool AllOdd(int h, int k, int l) {
  return (h & 1) && (k & 1) && (l & 1);
}
bool AllEven(int h, int k, int l) {
  return !(h & 1) && !(k & 1) && !(l & 1);
}

// F-centring leaves all-even and all-odd; the diamond glide further needs h + k + l = 4n
// of the all-even ones; a primitive cell has no absences.
bool CubicAllowed(CrystalLattice lattice, int h, int k, int l) {
  if (lattice == CrystalLattice::kPrimitiveCubic) return true;
  if (AllOdd(h, k, l)) return true;
  if (!AllEven(h, k, l)) return false;
  return lattice != CrystalLattice::kDiamond || (h + k + l) % 4 == 0;
}

// Laue class m-3m: the distinct permutations of h >= k >= l >= 0 times the sign choices.
int CubicMultiplicity(int h, int k, int l) {
  const int permutations = h == k && k == l ? 1 : (h == k || k == l) ? 3 : 6;
  return permutations * (h != 0 ? 2 : 1) * (k != 0 ? 2 : 1) * (l != 0 ? 2 : 1);
}

std::string IndexText(const Indices& i) {
  const bool spaced = std::any_of(i.begin(), i.end(), [](int index) { return index >= 10; });
  std::string text;
  for (int index : i) text += (spaced && !text.empty() ? " " : "") + std::to_string(index);
  return text;
}

std::vector<Reflection> CubicReflections(const Standard& standard, double aA, double minDA) {
  std::map<int, Reflection> bySquareSum;  // exact overlaps share h^2 + k^2 + l^2
  const int most = static_cast<int>(aA / minDA);
  for (int h = 0; h <= most; ++h) {
    for (int k = 0; k <= h; ++k) {
      for (int l = 0; l <= k; ++l) {
        const int squareSum = h * h + k * k + l * l;
        if (squareSum == 0 || !CubicAllowed(standard.lattice, h, k, l)) continue;
        const double dA = aA / std::sqrt(squareSum);
        if (!(dA >= minDA)) continue;
        const bool weak = standard.allOddWeak && AllOdd(h, k, l);
        const auto [at, fresh] = bySquareSum.try_emplace(squareSum, Reflection{"", dA, 0, weak, h, k, l});
        Reflection& line = at->second;
        line.hkl += (fresh ? "" : "/") + IndexText({h, k, l});
        line.multiplicity += CubicMultiplicity(h, k, l);
        line.weak = line.weak && weak;
      }
    }
  }
  std::vector<Reflection> lines;
  for (auto& [squareSum, line] : bySquareSum) lines.push_back(std::move(line));
  return lines;
}

// R-3c on hexagonal axes, obverse: -h + k + l = 3n; the h -h 0 l family (h0l and 0kl
// with it, by the 3-fold) needs l even (c-glide); 00l needs l = 6n.
bool CorundumAllowed(int h, int k, int l) {
  if ((-h + k + l) % 3 != 0) return false;
  if (h == 0 && k == 0) return l % 6 == 0;
  if (h == 0 || k == 0 || h + k == 0) return l % 2 == 0;
  return true;
}

// The images of hkl under Laue class -3m with the 2-fold axes along a: the 3-fold
// (h, k, l) -> (k, -h-k, l), the 2-fold (h, k, l) -> (k, h, -l), and inversion.
std::array<Indices, 12> CorundumImages(const Indices& hkl) {
  std::array<Indices, 12> images{};
  Indices turned = hkl;
  for (int turn = 0; turn < 3; ++turn) {
    const Indices flipped{turned[1], turned[0], -turned[2]};
    images[4 * turn] = turned, images[4 * turn + 1] = flipped;
    images[4 * turn + 2] = {-turned[0], -turned[1], -turned[2]};
    images[4 * turn + 3] = {-flipped[0], -flipped[1], -flipped[2]};
    turned = {turned[1], -turned[0] - turned[1], turned[2]};
  }
  return images;
}

std::vector<Reflection> CorundumReflections(const Cell& cell, double minDA) {
  std::vector<Reflection> lines;
  const int mostHk = static_cast<int>(cell.aA / minDA), mostL = static_cast<int>(cell.cA / minDA);
  for (int h = 0; h <= mostHk; ++h) {
    for (int k = 0; k <= mostHk; ++k) {
      for (int l = 0; l <= mostL; ++l) {
        if ((h | k | l) == 0 || !CorundumAllowed(h, k, l)) continue;
        const double inverseD2 = 4.0 / 3 * (h * h + h * k + k * k) / (cell.aA * cell.aA) + l * l / (cell.cA * cell.cA);
        const double dA = 1 / std::sqrt(inverseD2);
        if (!(dA >= minDA)) continue;
        std::array<Indices, 12> images = CorundumImages({h, k, l});
        // One line per family: the member with h, k, l >= 0 and the largest h (hk0 and kh0
        // are both such, every other family has one).
        const bool largest = std::none_of(images.begin(), images.end(), [&](const Indices& i) {
          return i[0] >= 0 && i[1] >= 0 && i[2] >= 0 && i > Indices{h, k, l};
        });
        if (!largest) continue;
        std::sort(images.begin(), images.end());
        const int multiplicity = static_cast<int>(std::unique(images.begin(), images.end()) - images.begin());
        lines.push_back({IndexText({h, k, l}), dA, multiplicity, false, h, k, l});
      }
    }
  }
  return lines;
}

}  // namespace

std::span<const Standard> Standards() {
  static const std::vector<Standard> standards = BuildStandards();
  return standards;
}

std::vector<std::string_view> StandardNames() {
  std::vector<std::string_view> names;
  for (const Standard& standard : Standards()) names.push_back(standard.name);
  return names;
}

const Standard* FindStandard(std::string_view name) {
  for (const Standard& standard : Standards())
    if (EqualsIgnoreCase(standard.name, name)) return &standard;
  return nullptr;
}

std::vector<Reflection> Reflections(const Standard& standard, const Cell& cell, double minDA) {
  // Index ranges grow as cell / minDA; beyond a hundred the list is no longer one of lines.
  const auto indexRange = [&](double edgeA) { return edgeA / minDA; };
  if (!(minDA > 0 && indexRange(cell.aA) > 0 && indexRange(cell.aA) <= kMostIndex && indexRange(cell.cA) > 0 &&
        indexRange(cell.cA) <= kMostIndex))
    return {};
  std::vector<Reflection> lines = standard.lattice == CrystalLattice::kCorundum
                                      ? CorundumReflections(cell, minDA)
                                      : CubicReflections(standard, cell.aA, minDA);
  std::stable_sort(lines.begin(), lines.end(), [](const Reflection& a, const Reflection& b) { return a.dA > b.dA; });
  return lines;
}

}  // namespace vantor
