// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/PeakBackground.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace vantor {
namespace {

// The log-log-sqrt operator and its inverse (Morhac et al. 1997, eq. 2):
// it compresses the dynamic range so that large peaks do not hold the
// clipped baseline up beside them. Single precision: the transform only
// orders values for clipping, and a baseline needs no more digits than the
// counts' noise leaves it; the float functions take a third of the time.
float Lls(double y) {
  return std::log(std::log(std::sqrt(static_cast<float>(y) + 1.0f) + 1.0f) + 1.0f);
}

double InverseLls(float v) {
  const float r = std::exp(std::exp(v) - 1.0f) - 1.0f;
  return static_cast<double>(r) * r - 1;
}

// The mean over `width` channels (odd) centred on channel i; the window
// shrinks symmetrically near the ends.
double BoxcarAt(std::span<const double> values, std::size_t i, std::size_t width) {
  const std::size_t h = std::min({width / 2, i, values.size() - 1 - i});
  double sum = 0;
  for (std::size_t k = i - h; k <= i + h; ++k) sum += values[k];
  return sum / static_cast<double>(2 * h + 1);
}

// Clipping with windows of half-width 1 to m samples; samples closer to an
// end than the window keep their value.
void Clip(std::vector<float>& v, std::size_t m) {
  const std::size_t n = v.size();
  std::vector<float> work(n);
  for (std::size_t p = 1; p <= m && 2 * p < n; ++p) {
    std::copy(v.begin(), v.end(), work.begin());
    for (std::size_t i = p; i + p < n; ++i) v[i] = std::min(work[i], 0.5f * (work[i - p] + work[i + p]));
  }
}

}  // namespace

Baseline::Baseline(std::vector<double> levels, std::size_t step, std::size_t channels)
    : levels_(std::move(levels)),
      rises_(std::max<std::size_t>(levels_.size(), 1) - 1, 0.0),
      step_(std::max<std::size_t>(step, 1)),
      n_(levels_.empty() ? 0 : channels) {
  for (std::size_t k = 0; k < rises_.size(); ++k)
    rises_[k] = (levels_[k + 1] - levels_[k]) / static_cast<double>(Start(k + 1) - Start(k));
  if (rises_.empty()) rises_.push_back(0);
}

// One pass: channel i is clipped, and channel i - 2, whose window then is
// complete, smoothed.
SnipBaseline::SnipBaseline(std::span<const std::int32_t> counts)
    : n_(counts.size()),
      clipped_(std::make_unique_for_overwrite<double[]>(n_)),
      smoothed_(std::make_unique_for_overwrite<double[]>(n_)) {
  const std::size_t n = n_;
  const double* c = clipped_.get();
  for (std::size_t i = 0; i < n; ++i) {
    clipped_[i] = std::max(0.0, static_cast<double>(counts[i]));
    if (i >= 4) smoothed_[i - 2] = (c[i - 4] + 4 * c[i - 3] + 6 * c[i - 2] + 4 * c[i - 1] + c[i]) / 16;
  }
  for (const std::size_t i : {std::size_t{0}, std::size_t{1}, n - 2, n - 1}) {
    if (i >= n || (i >= 2 && i + 2 < n)) continue;
    smoothed_[i] = i >= 1 && i + 1 < n ? (c[i - 1] + 2 * c[i] + c[i + 1]) / 4 : c[i];
  }
}

Baseline SnipBaseline::For(double fwhm) const {
  const std::size_t n = n_;
  if (n == 0) return {};
  const std::size_t width = static_cast<std::size_t>(std::max(1.0, fwhm)) | 1;
  const std::size_t step = static_cast<std::size_t>(std::max(1.0, std::floor(fwhm)));
  // Samples at 0, step, 2 step, ... and at the last channel.
  const std::size_t samples = (n - 1) / step + 1 + ((n - 1) % step != 0 ? 1 : 0);
  std::vector<float> v(samples);
  for (std::size_t k = 0; k < samples; ++k) v[k] = Lls(BoxcarAt(Clipped(), std::min(k * step, n - 1), width));
  Clip(v, static_cast<std::size_t>(std::ceil(2.5 * fwhm / static_cast<double>(step))));
  std::vector<double> levels(samples);
  for (std::size_t k = 0; k < samples; ++k) levels[k] = std::max(0.0, InverseLls(v[k]));
  return Baseline(std::move(levels), step, n);
}

}  // namespace vantor
