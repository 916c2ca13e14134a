// SPDX-License-Identifier: GPL-3.0-or-later
// Spectra of a pressure standard at a known pressure and temperature, for
// the pressure tests and benchmark: the standard's reflections at the
// energies its cell edge a(P, T) gives at 2theta, with widths of a germanium
// detector, Poisson noise, and in the way a second phase's lines and the
// standard's own K fluorescence. The truth is the scale's a(P, T), checked
// on its own against published tables; the peak fit, the assignment and
// the lattice fit never see it.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "base/SpectrumRecord.h"
#include "bench/PeakSpectra.h"

namespace vantor::bench {

struct StandardScene {
  std::string standard = "au";  // a pressure standard's name
  std::string scale;            // empty: its default
  double pressureGPa = 0;
  double temperatureK = 300;
  double twoThetaDeg = 6.5;
  int channels = 4096;
  std::array<double, 3> egc{0.05, 0.0335, 0};  // to 137 keV
  double strongestArea = 20000;                // counts in the strongest reflection
  bool secondPhase = true;                     // ten lines of another phase, 30-130 keV
  bool fluorescence = true;                    // Au or Pt K lines
  std::vector<Line> extraLines;                // more lines in the way
  std::uint32_t seed = 1;
};

struct StandardSpectrum {
  PeakSpectrum spectrum;
  double aA = 0;                      // the true cell edge; NaN when the scale has none at (P, T)
  std::vector<double> reflectionKeV;  // where the standard's lines are
  // The counts, calibration, 2theta and temperature (degrees Celsius) of the
  // scene, dated 2016-11-05 at hh:mm:ss of the seed.
  SpectrumRecord record;
};

StandardSpectrum GenerateStandardSpectrum(const StandardScene& scene);

// Writes the spectrum into the folder as run<seed>.xbm and prints its truth
// row "run<seed>.xbm,P,T,a" on standard output; false, with a message on
// standard error, when the file cannot be written.
bool WriteWithTruth(const std::string& folder, const StandardScene& scene, const StandardSpectrum& spectrum);

}  // namespace vantor::bench
