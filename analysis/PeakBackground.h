// SPDX-License-Identifier: GPL-3.0-or-later
// The smooth background under the peaks, by the statistics-sensitive
// non-linear iterative peak-clipping filter (SNIP): C. G. Ryan et al.,
// Nucl. Instrum. Methods B 34 (1988) 396; M. Morhac et al., Nucl. Instrum.
// Methods A 401 (1997) 113, eq. 3 and its clipping loop.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace vantor {

// A background known at every step-th channel index (0, step, 2 step, ...,
// and the last channel) and straight between them. It is kept that way
// rather than spelt out channel by channel: the search reads it once in
// order and then only near its candidates.
class Baseline {
 public:
  Baseline() = default;
  Baseline(std::vector<double> levels, std::size_t step, std::size_t channels);

  std::size_t size() const { return n_; }
  double operator[](std::size_t i) const {
    const std::size_t k = Piece(i);
    return levels_[k] + rises_[k] * static_cast<double>(i - Start(k));
  }

  // f(i, background at i) for the channel indices first..end - 1 in order,
  // piece by piece: the same values as [].
  template <typename F>
  void Walk(std::size_t first, std::size_t end, F&& f) const {
    end = std::min(end, n_);
    for (std::size_t i = first; i < end;) {
      const std::size_t k = Piece(i), from = Start(k);
      const std::size_t stop = std::min(end, k == LastPiece() ? n_ : Start(k + 1));
      const double level = levels_[k], rise = rises_[k];
      for (; i < stop; ++i) f(i, level + rise * static_cast<double>(i - from));
    }
  }

 private:
  std::size_t LastPiece() const { return levels_.size() >= 2 ? levels_.size() - 2 : 0; }
  std::size_t Piece(std::size_t i) const { return std::min(i / step_, LastPiece()); }
  std::size_t Start(std::size_t k) const { return std::min(k * step_, n_ - 1); }

  std::vector<double> levels_;
  std::vector<double> rises_;  // per channel along each piece; 0 for a lone level
  std::size_t step_ = 1, n_ = 0;
};

// The background of counts (>= 0) whose peaks are about fwhm channels wide.
// Clipping raw Poisson counts follows the dips of the noise and sits low;
// so the counts are first averaged over about a peak width and taken into
// log-log-sqrt space, then clipped with windows up to 2.5 widths, wide
// enough to remove a peak's base. A background changes slowly, so the
// clipping runs on every fwhm-th channel of the averaged counts and the
// result is a straight line between them: the same baseline for a fraction
// of the work.
//
// The counts are read once: clipped at 0, and their 1-4-6-4-1 binomial
// smoothing (variance one channel squared; the ends use the shorter 1-2-1
// window or the value itself), which the peak search reads too.
class SnipBaseline {
 public:
  explicit SnipBaseline(std::span<const std::int32_t> counts);
  Baseline For(double fwhm) const;

  std::span<const double> Clipped() const { return {clipped_.get(), n_}; }
  std::span<const double> Smoothed() const { return {smoothed_.get(), n_}; }

 private:
  // Every element is written before it is read: no zero-filling first.
  std::size_t n_ = 0;
  std::unique_ptr<double[]> clipped_, smoothed_;
};

}  // namespace vantor
