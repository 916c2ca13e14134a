// SPDX-License-Identifier: GPL-3.0-or-later
// The smooth background under the peaks, by the statistics-sensitive
// non-linear iterative peak-clipping filter (SNIP): C. G. Ryan et al.,
// Nucl. Instrum. Methods B 34 (1988) 396; M. Morhac et al., Nucl. Instrum.
// Methods A 401 (1997) 113, eq. 3 and its clipping loop.
#pragma once

#include <cstddef>
#include <memory>
#include <span>
#include <vector>

namespace vantor {

// The background of counts (>= 0) whose peaks are about fwhm channels wide.
// Clipping raw Poisson counts follows the dips of the noise and sits low;
// so the counts are first averaged over about a peak width and taken into
// log-log-sqrt space, then clipped with windows up to 2.5 widths, wide
// enough to remove a peak's base. A background changes slowly, so the
// clipping runs on every fwhm-th channel of the averaged counts and the
// result is interpolated between them: the same baseline for a fraction of
// the work.
//
// The counts are read once: clipped at 0, their running sums (which give
// the averages for every width) and their 1-4-6-4-1 binomial smoothing
// (variance one channel squared; the ends use the shorter 1-2-1 window or
// the value itself), which the peak search reads too.
class SnipBaseline {
 public:
  explicit SnipBaseline(std::span<const double> counts);
  std::vector<double> For(double fwhm) const;

  std::span<const double> Clipped() const { return {clipped_.get(), n_}; }
  std::span<const double> Smoothed() const { return {smoothed_.get(), n_}; }

 private:
  // Every element is written before it is read: no zero-filling first.
  std::size_t n_ = 0;
  std::unique_ptr<double[]> clipped_, smoothed_;
  std::unique_ptr<double[]> sums_;  // sums_[k]: the sum of the first k clipped counts
};

}  // namespace vantor
