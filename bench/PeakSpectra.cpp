// SPDX-License-Identifier: GPL-3.0-or-later
#include "bench/PeakSpectra.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>

namespace vantor::bench {
namespace {

// The area of a unit pseudo-Voigt below t channels from its centre.
double ProfileBelow(double t, double fwhm, double eta) {
  const double sigma = fwhm / (2 * std::sqrt(2 * std::log(2.0)));
  const double gauss = 0.5 * (1 + std::erf(t / (sigma * std::numbers::sqrt2)));
  const double lorentz = 0.5 + std::atan(2 * t / fwhm) / std::numbers::pi;
  return (1 - eta) * gauss + eta * lorentz;
}

// Expected counts of one peak in channel index i (channel number i + 1).
double PeakCounts(const TruePeak& p, std::size_t i) {
  const double x = static_cast<double>(i + 1) - p.channel;
  return p.area * (ProfileBelow(x + 0.5, p.fwhm, p.eta) - ProfileBelow(x - 0.5, p.fwhm, p.eta));
}

double Energy(double channel, const std::array<double, 3>& egc) {
  return egc[0] + egc[1] * channel + egc[2] * channel * channel;
}

// The ratio the search must find: this peak's expected counts within
// fwhm / 2 of its centre over the square root of all expected counts there.
double TrueSnr(const TruePeak& p, const std::vector<double>& expected) {
  double own = 0, all = 0;
  for (std::size_t i = 0; i < expected.size(); ++i) {
    if (std::abs(static_cast<double>(i + 1) - p.channel) > p.fwhm / 2) continue;
    own += PeakCounts(p, i);
    all += expected[i];
  }
  return all > 0 ? own / std::sqrt(all) : 0;
}

}  // namespace

double Detector::FwhmKeV(double energyKeV) const {
  return std::sqrt(noiseKeV * noiseKeV + fanoKeV * energyKeV);
}

double ChannelOfEnergy(double energyKeV, const std::array<double, 3>& egc) {
  // The root of egc[2] x^2 + egc[1] x + (egc[0] - E) = 0 written so that it
  // stays exact as egc[2] goes to 0.
  const double q = energyKeV - egc[0];
  return 2 * q / (egc[1] + std::sqrt(egc[1] * egc[1] + 4 * egc[2] * q));
}

PeakSpectrum GeneratePeaks(std::vector<TruePeak> peaks, int channels, const std::array<double, 3>& egc,
                           const Background& background, std::uint32_t seed) {
  PeakSpectrum s;
  s.egc = egc;
  const auto n = static_cast<std::size_t>(std::max(0, channels));
  s.expected.resize(n);
  for (std::size_t i = 0; i < n; ++i) {
    const double x = static_cast<double>(i + 1);
    s.expected[i] = background.level + background.amplitude * std::exp(-x / background.decayChannels);
    for (const TruePeak& p : peaks) s.expected[i] += PeakCounts(p, i);
  }
  std::mt19937_64 engine(seed);
  s.counts.resize(n);
  for (std::size_t i = 0; i < n; ++i) {
    s.counts[i] = s.expected[i] > 0 ? std::poisson_distribution<std::int32_t>(s.expected[i])(engine) : 0;
  }
  for (TruePeak& p : peaks) {
    p.energyKeV = Energy(p.channel, egc);
    p.snr = TrueSnr(p, s.expected);
  }
  s.peaks = std::move(peaks);
  return s;
}

PeakSpectrum GenerateLines(std::span<const Line> lines, int channels, const std::array<double, 3>& egc,
                           const Detector& detector, const Background& background, std::uint32_t seed) {
  std::vector<TruePeak> peaks;
  for (const Line& line : lines) {
    TruePeak p;
    p.channel = ChannelOfEnergy(line.energyKeV, egc);
    p.fwhm = detector.FwhmKeV(line.energyKeV) / (egc[1] + 2 * egc[2] * p.channel);
    p.area = line.area;
    p.eta = line.eta;
    peaks.push_back(p);
  }
  return GeneratePeaks(std::move(peaks), channels, egc, background, seed);
}

double EnergyOfSpacing(double dA, double twoThetaDeg) {
  constexpr double kHalfHcKeVA = 12.398419843320026 / 2;
  return kHalfHcKeVA / (dA * std::sin(twoThetaDeg / 2 * std::numbers::pi / 180));
}

PeakSpectrum GenerateRandomPeaks(std::uint32_t seed, int channels, const std::array<double, 3>& egc,
                                 const RandomPeaks& how, const Detector& detector, const Background& background) {
  std::mt19937_64 engine(seed ^ 0x9e3779b97f4a7c15ULL);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  const double margin = 0.05 * channels;
  std::vector<TruePeak> peaks;
  for (int tries = 0; static_cast<int>(peaks.size()) < how.count && tries < 1000; ++tries) {
    TruePeak p;
    p.channel = margin + unit(engine) * (channels - 2 * margin);
    p.fwhm = detector.FwhmKeV(Energy(p.channel, egc)) / (egc[1] + 2 * egc[2] * p.channel);
    const bool crowded = std::any_of(peaks.begin(), peaks.end(), [&](const TruePeak& q) {
      return std::abs(q.channel - p.channel) < how.minSeparation * std::max(p.fwhm, q.fwhm);
    });
    if (crowded) continue;
    p.area = how.minArea * std::pow(how.maxArea / how.minArea, unit(engine));
    p.eta = how.maxEta * unit(engine);
    peaks.push_back(p);
  }
  return GeneratePeaks(std::move(peaks), channels, egc, background, seed);
}

void PeakScore::Add(const PeakSpectrum& truth, std::span<const FoundPeak> found) {
  std::vector<bool> taken(truth.peaks.size(), false);
  for (const TruePeak& p : truth.peaks) strong += p.snr >= strongSnr;
  for (const FoundPeak& f : found) {
    ++reported;
    std::size_t best = truth.peaks.size();
    for (std::size_t t = 0; t < truth.peaks.size(); ++t) {
      const double distance = std::abs(truth.peaks[t].channel - f.channel);
      if (!taken[t] && distance <= truth.peaks[t].fwhm / 2 &&
          (best == truth.peaks.size() || distance < std::abs(truth.peaks[best].channel - f.channel))) {
        best = t;
      }
    }
    if (best == truth.peaks.size()) {
      ++falseReported;
      continue;
    }
    taken[best] = true;
    const TruePeak& t = truth.peaks[best];
    if (t.snr < strongSnr) continue;
    ++strongFound;
    if (!f.fitted) continue;
    positionPulls.push_back((f.channel - t.channel) / f.channelSigma);
    areaPulls.push_back((f.area - t.area) / f.areaSigma);
  }
}

PullSummary Summarise(std::span<const double> pulls) {
  PullSummary s;
  if (pulls.empty()) return s;
  for (double p : pulls) s.mean += p;
  s.mean /= static_cast<double>(pulls.size());
  for (double p : pulls) s.sd += (p - s.mean) * (p - s.mean);
  s.sd = std::sqrt(s.sd / static_cast<double>(pulls.size() > 1 ? pulls.size() - 1 : 1));
  return s;
}

}  // namespace vantor::bench
