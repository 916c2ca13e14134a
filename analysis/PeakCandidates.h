// SPDX-License-Identifier: GPL-3.0-or-later
// Where the peaks of a spectrum may be, before any fit: the background, a
// typical peak width, and the places where the counts rise significantly
// above the background in the shape of a peak, with their signal-to-noise
// ratios.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "analysis/PeakBackground.h"

namespace vantor {

struct PeakCandidate {
  double centre = 0;  // channel number
  double fwhm = 0;    // channels
  double height = 0;  // net counts per channel at the centre
  double snr = 0;
};

struct CandidateSearch {
  Baseline background;                    // per channel index, the whole spectrum
  double typicalFwhm = 0;                 // channels
  std::vector<PeakCandidate> candidates;  // by channel, snr >= the minimum
  double bestSnr = 0;                     // of every place looked at, kept or not
};

// The channels (indices first..last) whose centres lie within fwhm / 2 of a
// centre given as a channel number; at least the nearest channel.
struct ChannelSpan {
  std::size_t first = 0;
  std::size_t last = 0;
};
ChannelSpan HalfWidthChannels(double centre, double fwhm, std::size_t channels);

// Net counts over the square root of all counts in a span: the ratio a peak
// must reach to be reported.
double SignalToNoise(double netCounts, double allCounts);

// Candidates between channel indices first and end (exclusive) whose
// signal-to-noise ratio, net counts above the background within fwhm / 2 of
// the centre, reaches minSnr.
CandidateSearch FindCandidates(std::span<const std::int32_t> counts, std::size_t first, std::size_t end, double minSnr);

}  // namespace vantor
