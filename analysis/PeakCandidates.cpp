// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/PeakCandidates.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <numbers>

#include "analysis/PeakBackground.h"

namespace vantor {
namespace {

// The binomial smoothing has a variance of one channel squared, which adds
// 8 ln 2 channels squared to the square of a Gaussian's FWHM.
const double kSmoothingFwhmSquared = 8 * std::numbers::ln2;
const double kSigmaPerFwhm = 1 / (2 * std::sqrt(2 * std::numbers::ln2));
// A place is looked at when the filtered counts stand this many standard
// deviations above zero; the signal-to-noise ratio decides after that.
constexpr double kMinSignificance = 3;
constexpr double kFallbackFwhm = 5;  // channels, when no clear peak shows one
constexpr double kFirstFwhm = 16;    // channels, for the first, coarse baseline

// The smoothed counts less the background, taken where asked rather than
// stored: the search reads them at few places but over the whole spectrum.
struct NetCounts {
  std::span<const double> smoothed;
  const Baseline& background;
  double operator[](std::size_t i) const { return smoothed[i] - background[i]; }
  std::size_t size() const { return smoothed.size(); }
};

// Twice the distance at which the net counts fall to half their value at
// `peak`, interpolated, on the nearer side within `limit` channels; 0 when
// neither side gets there. The nearer side: a neighbour close on one side
// widens only the other.
double HalfMaxWidth(const NetCounts& net, std::size_t peak, double limit) {
  const double half = net[peak] / 2;
  const auto reach = static_cast<std::ptrdiff_t>(limit);
  const auto p = static_cast<std::ptrdiff_t>(peak);
  const auto n = static_cast<std::ptrdiff_t>(net.size());
  double left = -1, right = -1;
  for (std::ptrdiff_t j = p - 1; j >= 0 && p - j <= reach; --j) {
    if (net[j] <= half) {
      left = static_cast<double>(p - j) - (half - net[j]) / (net[j + 1] - net[j]);
      break;
    }
  }
  for (std::ptrdiff_t j = p + 1; j < n && j - p <= reach; ++j) {
    if (net[j] <= half) {
      right = static_cast<double>(j - p) - (half - net[j]) / (net[j - 1] - net[j]);
      break;
    }
  }
  if (left < 0 && right < 0) return 0;
  const double observed = 2 * (left < 0 ? right : right < 0 ? left : std::min(left, right));
  return std::sqrt(std::max(1.0, observed * observed - kSmoothingFwhmSquared));
}

template <typename Values>
bool IsLocalMax(const Values& v, std::size_t i) {
  return i > 0 && i + 1 < v.size() && v[i] > v[i - 1] && v[i] >= v[i + 1];
}

// The median width of the clearly significant maxima of the smoothed net
// counts (at most the seven highest).
double TypicalFwhm(const NetCounts& net, std::size_t first, std::size_t end) {
  // v |v| > 25 s holds exactly where v > 5 sqrt(s): one test, false almost
  // everywhere, where v > 0 alone would guess wrong on half the background.
  std::vector<std::size_t> maxima;
  const double* smoothed = net.smoothed.data();
  net.background.Walk(std::max<std::size_t>(first, 1), end, [&](std::size_t i, double background) {
    const double v = smoothed[i] - background;
    if (v * std::abs(v) > 25 * std::max(1.0, smoothed[i]) && IsLocalMax(net, i)) maxima.push_back(i);
  });
  std::sort(maxima.begin(), maxima.end(), [&](std::size_t a, std::size_t b) { return net[a] > net[b]; });
  if (maxima.size() > 7) maxima.resize(7);
  std::vector<double> widths;
  for (std::size_t i : maxima) {
    if (const double w = HalfMaxWidth(net, i, 200); w > 0) widths.push_back(w);
  }
  if (widths.empty()) return kFallbackFwhm;
  std::nth_element(widths.begin(), widths.begin() + widths.size() / 2, widths.end());
  return widths[widths.size() / 2];
}

// The response of a zero-sum second-derivative-of-Gaussian filter of the
// peaks' sigma over its standard deviation under Poisson noise: a constant
// or sloping background gives 0, a peak a large positive value. The
// variance takes the smoothed counts at the centre for the whole kernel,
// close enough for a threshold. Nothing is computed where the smoothed net
// counts stay below half of what a peak of the minimum ratio has at its
// centre (its height h gives about 0.8 h fwhm net counts within fwhm / 2
// over the square root of background x fwhm, so h >= 1.2 minSnr
// sqrt(background / fwhm)): no such peak can start there. The places
// computed are listed in `looked`, in order, with their values in z; z is 0
// elsewhere.
struct Filtered {
  std::vector<std::size_t> looked;
  std::vector<double> z;
  // z one channel before and after looked[k].
  double Before(std::size_t k) const { return k > 0 && looked[k - 1] + 1 == looked[k] ? z[k - 1] : 0.0; }
  double After(std::size_t k) const { return k + 1 < looked.size() && looked[k + 1] == looked[k] + 1 ? z[k + 1] : 0.0; }
};

// The filter's taps for peaks of the given fwhm (kernel[j] weighs the
// channels j either side: it is symmetric), made to sum to zero, and the
// sum of their squares.
struct Kernel {
  std::vector<double> taps;
  double squares = 0;
};

Kernel FilterKernel(double fwhm) {
  const double s = std::max(0.7, fwhm * kSigmaPerFwhm);
  const auto half = static_cast<std::size_t>(std::ceil(3 * s));
  Kernel kernel{std::vector<double>(half + 1), 0};
  std::vector<double>& k = kernel.taps;
  double sum = 0;
  for (std::size_t j = 0; j <= half; ++j) {
    const double x = static_cast<double>(j) / s;
    k[j] = (1 - x * x) * std::exp(-0.5 * x * x);
    sum += j == 0 ? k[j] : 2 * k[j];
  }
  const double mean = sum / static_cast<double>(2 * half + 1);
  for (std::size_t j = 0; j <= half; ++j) {
    k[j] -= mean;
    kernel.squares += j == 0 ? k[j] * k[j] : 2 * k[j] * k[j];
  }
  return kernel;
}

// The filter's response at channel i; two partial sums halve the chain of
// dependent additions.
double Response(std::span<const double> counts, const std::vector<double>& k, std::size_t i) {
  const std::size_t half = k.size() - 1;
  double even = k[0] * counts[i], odd = 0;
  std::size_t j = 1;
  for (; j + 1 <= half; j += 2) {
    odd += k[j] * (counts[i - j] + counts[i + j]);
    even += k[j + 1] * (counts[i - j - 1] + counts[i + j + 1]);
  }
  if (j <= half) odd += k[j] * (counts[i - j] + counts[i + j]);
  return even + odd;
}

Filtered Significance(std::span<const double> counts, const NetCounts& net, double fwhm, double minSnr,
                      std::size_t first, std::size_t end) {
  const Kernel kernel = FilterKernel(fwhm);
  const std::size_t half = kernel.taps.size() - 1;
  Filtered f;
  const double gate = 0.36 * minSnr * minSnr / fwhm;
  const std::size_t from = std::max(first, half);
  const std::size_t last = std::min(end, counts.size() > half ? counts.size() - half : 0);
  if (from >= last) return f;
  const double* smoothed = net.smoothed.data();
  // The channels that pass are listed without a branch: whether one passes
  // changes often along the spectrum and would be guessed wrong each time.
  const auto passing = std::make_unique_for_overwrite<std::size_t[]>(last - from);
  std::size_t count = 0;
  net.background.Walk(from, last, [&](std::size_t i, double background) {
    // As in TypicalFwhm: v |v| >= gate variance holds exactly where v > 0
    // and v^2 >= gate variance, with one test that is rarely true.
    const double v = smoothed[i] - background;
    passing[count] = i;
    count += v * std::abs(v) >= gate * std::max(1.0, smoothed[i]) ? 1 : 0;
  });
  f.looked.assign(passing.get(), passing.get() + count);
  f.z.resize(count);
  for (std::size_t k = 0; k < count; ++k) {
    const std::size_t i = f.looked[k];
    f.z[k] = Response(counts, kernel.taps, i) / std::sqrt(kernel.squares * std::max(1.0, smoothed[i]));
  }
  return f;
}

// A candidate at the filter's maximum i: centre from a parabola through the
// three values there, width and height from the smoothed net counts.
PeakCandidate Describe(std::span<const std::int32_t> counts, const NetCounts& net, const Filtered& f, std::size_t k,
                       const CandidateSearch& search) {
  PeakCandidate c;
  const std::size_t i = f.looked[k];
  const double before = f.Before(k), after = f.After(k);
  const double curvature = before - 2 * f.z[k] + after;
  const double shift = curvature < 0 ? 0.5 * (before - after) / curvature : 0;
  c.centre = static_cast<double>(i + 1) + std::clamp(shift, -0.5, 0.5);
  const double w0 = search.typicalFwhm;
  const double width = HalfMaxWidth(net, i, 4 * w0);
  c.fwhm = width > 0 ? std::clamp(width, 0.5 * w0, 4 * w0) : w0;
  c.height = net[i];
  const ChannelSpan span = HalfWidthChannels(c.centre, c.fwhm, counts.size());
  double netSum = 0, allSum = 0;
  for (std::size_t k = span.first; k <= span.last; ++k) {
    const double value = counts[k];
    netSum += value - search.background[k];
    allSum += value;
  }
  c.snr = SignalToNoise(netSum, allSum);
  return c;
}

}  // namespace

ChannelSpan HalfWidthChannels(double centre, double fwhm, std::size_t channels) {
  const double top = static_cast<double>(channels);
  const double low = std::clamp(std::ceil(centre - fwhm / 2), 1.0, top);
  const double high = std::clamp(std::floor(centre + fwhm / 2), 1.0, top);
  if (low > high) {
    const double nearest = std::clamp(std::round(centre), 1.0, top);
    return {static_cast<std::size_t>(nearest) - 1, static_cast<std::size_t>(nearest) - 1};
  }
  return {static_cast<std::size_t>(low) - 1, static_cast<std::size_t>(high) - 1};
}

double SignalToNoise(double netCounts, double allCounts) {
  return allCounts > 0 ? netCounts / std::sqrt(allCounts) : 0;
}

CandidateSearch FindCandidates(std::span<const std::int32_t> counts, std::size_t first, std::size_t end,
                               double minSnr) {
  CandidateSearch search;
  const SnipBaseline baseline(counts);
  const std::span<const double> smoothed = baseline.Smoothed();
  // A first baseline for peaks of a usual width shows the peaks' real
  // width; the baseline for that width is the one the search uses.
  const Baseline coarse = baseline.For(kFirstFwhm);
  search.typicalFwhm = TypicalFwhm({smoothed, coarse}, first, end);
  search.background = baseline.For(search.typicalFwhm);
  const NetCounts net{smoothed, search.background};
  const Filtered f = Significance(baseline.Clipped(), net, search.typicalFwhm, minSnr, first, end);
  for (std::size_t k = 0; k < f.looked.size(); ++k) {
    const std::size_t i = f.looked[k];
    if (i == 0 || i + 1 >= counts.size() || f.z[k] < kMinSignificance) continue;
    if (!(f.z[k] > f.Before(k) && f.z[k] >= f.After(k))) continue;
    const PeakCandidate c = Describe(counts, net, f, k, search);
    search.bestSnr = std::max(search.bestSnr, c.snr);
    if (c.snr >= minSnr) search.candidates.push_back(c);
  }
  return search;
}

}  // namespace vantor
