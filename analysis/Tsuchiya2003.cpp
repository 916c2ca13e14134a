// SPDX-License-Identifier: GPL-3.0-or-later
// Tsuchiya 2003 (J. Geophys. Res. 108(B10), 2462): a first-principles P(V, T)
// table for Au, used through a tensor-product not-a-knot cubic spline.
#include <array>

#include "analysis/CubicSpline.h"
#include "analysis/ScaleModels.h"

namespace vantor {

namespace {

// Tsuchiya 2003, Table 1: P in GPa; rows 1 - V/V0 = 0, 0.02, ..., 0.34, columns T in K.
constexpr std::array<double, 6> kTemperaturesK{300, 500, 1000, 1500, 2000, 2500};
constexpr std::array<double, 18 * 6> kPressuresGPa{
    0.00,   1.52,   5.35,   9.19,   13.04,  16.88,   //
    3.55,   5.04,   8.78,   12.54,  16.29,  20.05,   //
    7.68,   9.13,   12.79,  16.45,  20.12,  23.79,   //
    12.42,  13.83,  17.40,  20.98,  24.56,  28.14,   //
    17.86,  19.23,  22.71,  26.20,  29.70,  33.19,   //
    24.12,  25.46,  28.85,  32.25,  35.66,  39.07,   //
    31.30,  32.60,  35.90,  39.22,  42.54,  45.86,   //
    39.52,  40.78,  43.99,  47.22,  50.45,  53.68,   //
    48.94,  50.17,  53.29,  56.43,  59.58,  62.72,   //
    59.76,  60.95,  63.98,  67.03,  70.09,  73.15,   //
    72.11,  73.26,  76.21,  79.18,  82.14,  85.11,   //
    86.36,  87.48,  90.34,  93.22,  96.10,  98.98,   //
    102.65, 103.73, 106.50, 109.29, 112.08, 114.88,  //
    121.38, 122.42, 125.10, 127.80, 130.51, 133.21,  //
    142.98, 143.99, 146.58, 149.19, 151.81, 154.43,  //
    167.77, 168.74, 171.24, 173.77, 176.30, 178.83,  //
    196.48, 197.41, 199.83, 202.26, 204.70, 207.15,  //
    229.56, 230.45, 232.78, 235.13, 237.49, 239.84,  //
};

std::array<double, 18> Compressions() {
  std::array<double, 18> rows{};
  for (std::size_t i = 0; i < rows.size(); ++i) rows[i] = 0.02 * static_cast<double>(i);
  return rows;
}

}  // namespace

double Tsuchiya2003AuGPa(double volumeRatio, double temperatureK) {
  static const GridSpline table(Compressions(), kTemperaturesK, kPressuresGPa);
  return table(1 - volumeRatio, temperatureK);
}

}  // namespace vantor
