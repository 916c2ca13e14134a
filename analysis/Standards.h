// SPDX-License-Identifier: GPL-3.0-or-later
// Diffraction standards: the pressure standards (Au, Pt, NaCl, MgO) and the
// ambient calibrants (CeO2, Si, LaB6, corundum), their cells and the reflections
// their space groups allow, for 2theta calibration and for the pressure.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vantor {

enum class CrystalLattice {
  kFaceCentredCubic,  // Fm-3m: fcc metals, rock salt, fluorite
  kDiamond,           // Fd-3m
  kPrimitiveCubic,    // Pm-3m
  kCorundum,          // R-3c on hexagonal axes, obverse setting
};

struct Cell {
  double aA;
  double cA;  // hexagonal c; a cubic cell's is its a
};

inline Cell CubicCell(double aA) {
  return {aA, aA};
}

struct Standard {
  std::string_view name;         // "au", "nacl", "al2o3", ...
  std::string_view description;  // "Au, fcc (Fm-3m)"
  CrystalLattice lattice;
  Cell ambient;
  int z;                              // formula units per cell
  bool allOddWeak;                    // rock salt: F of all-odd lines is f(cation) - f(anion)
  std::string_view pressureStandard;  // its name for FindScale; empty for a calibrant
  std::string_view cellSource;        // where the ambient cell comes from
};

struct Reflection {
  std::string hkl;  // "111", "1 0 10" (an index of 10 or more), "333/511" (exact overlaps)
  double dA;
  int multiplicity;  // summed over overlapping families
  bool weak;         // allowed but weak by near cancellation
  int h, k, l;       // of the first family
};

inline constexpr double kDefaultMinDA = 0.8;

std::span<const Standard> Standards();
std::vector<std::string_view> StandardNames();

// Case-insensitive; nullptr for an unknown name.
const Standard* FindStandard(std::string_view name);

// The reflections with d >= minDA of a standard's lattice at `cell`, d decreasing.
// Cubic families with the same h^2 + k^2 + l^2 are merged into one line. Empty when
// minDA is not positive or below a hundredth of a cell edge.
std::vector<Reflection> Reflections(const Standard& standard, const Cell& cell, double minDA = kDefaultMinDA);

}  // namespace vantor
