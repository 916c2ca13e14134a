// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/ReflectionMarks.h"

#include <algorithm>
#include <cmath>

#include "analysis/PeakSearch.h"
#include "base/DSpacing.h"
#include "base/SpectrumRecord.h"

namespace vantor {

std::optional<double> ChannelOfEnergy(double energyKeV, const std::array<double, 3>& egc, std::size_t channels) {
  if (!HasEnergyCalibration(egc, channels) || !std::isfinite(energyKeV)) return std::nullopt;
  const double a = egc[0] - energyKeV, b = egc[1], c = egc[2];
  // The root that goes over into -a / b as c goes to 0, in the form that
  // loses no digits when c x is small beside b.
  const double discriminant = b * b - 4 * c * a;
  if (discriminant < 0) return std::nullopt;
  const double denominator = b + std::sqrt(discriminant);
  if (!(denominator > 0)) return std::nullopt;
  const double channel = -2 * a / denominator;
  if (!(channel >= 1 && channel <= static_cast<double>(channels))) return std::nullopt;
  return channel;
}

std::vector<ReflectionMark> ReflectionMarks(const Standard& standard, const Cell& cell, double twoThetaDeg,
                                            const std::array<double, 3>& egc, std::size_t channels) {
  std::vector<ReflectionMark> marks;
  const double sinTheta = SinTheta(twoThetaDeg);
  if (!(sinTheta > 0) || !HasEnergyCalibration(egc, channels)) return marks;
  const double topKeV = EnergyOfChannel(static_cast<double>(channels), egc);
  const auto smallestD = DSpacing(topKeV, sinTheta, kHcExact);
  if (!smallestD) return marks;
  for (const Reflection& r : Reflections(standard, cell, *smallestD)) {
    const double energy = kHcExact / (2 * r.dA * sinTheta);
    if (const auto channel = ChannelOfEnergy(energy, egc, channels))
      marks.push_back({r.hkl, r.dA, energy, *channel, r.weak});
  }
  std::sort(marks.begin(), marks.end(), [](const auto& x, const auto& y) { return x.energyKeV < y.energyKeV; });
  return marks;
}

}  // namespace vantor
