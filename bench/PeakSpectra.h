// SPDX-License-Identifier: GPL-3.0-or-later
// Spectra of known peaks for the peak-fit and calibration tests and the
// benchmark: pseudo-Voigt peaks integrated over each channel on a smooth
// falling background, with true Poisson noise from a seeded engine, and the
// truth they were made from. Written apart from the fitting code on purpose:
// the tests check the fit against this, not against itself.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace vantor::bench {

struct TruePeak {
  double channel = 0;  // channel number (index + 1) of the centre
  double area = 0;     // counts
  double fwhm = 0;     // channels
  double eta = 0;      // Lorentzian fraction
  double energyKeV = 0;
  double snr = 0;  // expected net counts / sqrt(expected counts) within fwhm / 2
};

// A germanium detector's resolution: FWHM^2 = noise^2 + fano * E (keV).
struct Detector {
  double noiseKeV = 0.15;
  double fanoKeV = 0.0018;
  double FwhmKeV(double energyKeV) const;
};

// Counts per channel: level + amplitude * exp(-channel / decayChannels).
struct Background {
  double level = 40;
  double amplitude = 300;
  double decayChannels = 1500;
};

struct PeakSpectrum {
  std::vector<std::int32_t> counts;
  std::vector<double> expected;  // the mean counts the noise was drawn around
  std::array<double, 3> egc{};
  std::vector<TruePeak> peaks;  // with their snr filled in
};

// The channel number whose calibrated energy is energyKeV.
double ChannelOfEnergy(double energyKeV, const std::array<double, 3>& egc);

// Peaks given by channel, area, fwhm and eta (energy and snr are filled in).
PeakSpectrum GeneratePeaks(std::vector<TruePeak> peaks, int channels, const std::array<double, 3>& egc,
                           const Background& background, std::uint32_t seed);

// Peaks at line energies with the detector's widths and the given areas.
struct Line {
  double energyKeV = 0;
  double area = 0;
  double eta = 0.1;
};
PeakSpectrum GenerateLines(std::span<const Line> lines, int channels, const std::array<double, 3>& egc,
                           const Detector& detector, const Background& background, std::uint32_t seed);

// The energy at which a d-spacing diffracts at detector angle 2theta:
// E = (hc / 2) / (d sin theta), hc = 12.398 419 843 320 026 keV A exactly (CODATA 2018).
double EnergyOfSpacing(double dA, double twoThetaDeg);

// `count` peaks at random places at least minSeparation widths apart, areas
// spread evenly in their logarithm between minArea and maxArea, eta between
// 0 and maxEta.
struct RandomPeaks {
  int count = 8;
  double minArea = 2000;
  double maxArea = 200000;
  double minSeparation = 2;
  double maxEta = 0.6;
};
PeakSpectrum GenerateRandomPeaks(std::uint32_t seed, int channels, const std::array<double, 3>& egc,
                                 const RandomPeaks& how, const Detector& detector, const Background& background);

// What a search reported of one peak, for scoring against the truth.
struct FoundPeak {
  double channel = 0;
  double channelSigma = 0;
  double area = 0;
  double areaSigma = 0;
  bool fitted = true;
};

// Found against true peaks, summed over spectra. A reported peak finds the
// nearest true peak within half its width, each true peak at most once;
// the rest are false. Pulls (fit - true) / sigma are taken for found peaks
// of true snr >= strongSnr only, where a peak is found whatever its noise,
// so that the selection does not bias them.
struct PeakScore {
  double strongSnr = 10;
  int strong = 0;  // true peaks with snr >= strongSnr
  int strongFound = 0;
  int reported = 0;
  int falseReported = 0;
  std::vector<double> positionPulls;
  std::vector<double> areaPulls;

  void Add(const PeakSpectrum& truth, std::span<const FoundPeak> found);
};

struct PullSummary {
  double mean = 0;
  double sd = 0;
};
PullSummary Summarise(std::span<const double> pulls);

}  // namespace vantor::bench
