// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/PeakSearch.h"

#include <algorithm>
#include <cmath>

#include "analysis/PeakCandidates.h"
#include "analysis/PeakFit.h"
#include "analysis/PeakReport.h"
#include "base/DSpacing.h"
#include "base/SpectrumRecord.h"
#include "base/TextFormat.h"

namespace vantor {
namespace {

// Peaks closer than this many widths share their counts and are fitted
// together; a window reaches this many widths beyond its outer peaks, but
// stops this far short of the next group's first peak.
constexpr double kGroupWidths = 3;
constexpr double kWindowWidths = 2.5;
constexpr double kNeighbourWidths = 1.5;

using Group = std::vector<PeakCandidate>;

std::vector<Group> GroupCandidates(const std::vector<PeakCandidate>& candidates) {
  std::vector<Group> groups;
  for (const PeakCandidate& c : candidates) {
    if (!groups.empty()) {
      const PeakCandidate& last = groups.back().back();
      if (c.centre - last.centre < kGroupWidths * std::max(c.fwhm, last.fwhm)) {
        groups.back().push_back(c);
        continue;
      }
    }
    groups.push_back({c});
  }
  return groups;
}

struct Window {
  std::size_t first = 0;  // channel index
  std::size_t end = 0;
};

Window WindowOf(const std::vector<Group>& groups, std::size_t g, std::size_t channels) {
  const PeakCandidate& left = groups[g].front();
  const PeakCandidate& right = groups[g].back();
  double low = left.centre - kWindowWidths * left.fwhm;
  double high = right.centre + kWindowWidths * right.fwhm;
  if (g > 0) low = std::max(low, groups[g - 1].back().centre + kNeighbourWidths * groups[g - 1].back().fwhm);
  if (g + 1 < groups.size())
    high = std::min(high, groups[g + 1].front().centre - kNeighbourWidths * groups[g + 1].front().fwhm);
  // Enough channels for the parameters: four per peak and two more.
  const double needed = static_cast<double>(4 * groups[g].size() + 6);
  if (high - low < needed) {
    const double middle = (low + high) / 2;
    low = middle - needed / 2, high = middle + needed / 2;
  }
  const double top = static_cast<double>(channels);
  return {static_cast<std::size_t>(std::clamp(std::ceil(low), 1.0, top)) - 1,
          static_cast<std::size_t>(std::clamp(std::floor(high), 1.0, top))};
}

GroupStart StartOf(const Group& group, const Baseline& background, const Window& w) {
  GroupStart start;
  for (const PeakCandidate& c : group) {
    PseudoVoigt p{c.centre, c.fwhm, 0.5, 1.0};
    p.area = std::max(1.0, c.height) / HeightOf(p).value;
    start.peaks.push_back(p);
  }
  const double span = static_cast<double>(w.end - 1 - w.first);
  start.slope = span > 0 ? (background[w.end - 1] - background[w.first]) / span : 0;
  start.background = 0.5 * (background[w.end - 1] + background[w.first]);
  return start;
}

// The peak's own fitted counts within fwhm / 2 of its centre over the square
// root of all counts there.
double FittedSnr(const PseudoVoigt& peak, std::span<const std::int32_t> counts) {
  const ChannelSpan span = HalfWidthChannels(peak.centre, peak.fwhm, counts.size());
  std::vector<double> own(span.last - span.first + 1, 0.0);
  AddProfile(peak, static_cast<double>(span.first + 1), own);
  double netSum = 0, allSum = 0;
  for (std::size_t k = span.first; k <= span.last; ++k) {
    netSum += own[k - span.first];
    allSum += counts[k];
  }
  return SignalToNoise(netSum, allSum);
}

// Fits a group; peaks that the fit shows below the ratio (a noise bump on a
// neighbour's flank, whose counts the search gave it) leave the group, and
// the rest is fitted again.
void FitAndReport(Group group, std::span<const std::int32_t> counts, const Baseline& background, const Window& w,
                  double minSnr, const ChannelScale& scale, std::vector<PeakResult>& out) {
  const std::vector<double> window(counts.begin() + w.first, counts.begin() + w.end);
  while (!group.empty()) {
    const GroupFit fit = FitGroup(window, static_cast<double>(w.first + 1), StartOf(group, background, w));
    if (!fit.fitted) {
      for (const PeakCandidate& c : group) out.push_back(UnfittedPeak(c, fit.reason, scale));
      return;
    }
    std::vector<double> snr(group.size());
    Group kept;
    for (std::size_t j = 0; j < group.size(); ++j) {
      snr[j] = FittedSnr(fit.peaks[j], counts);
      if (snr[j] >= minSnr && fit.peaks[j].area > 0) kept.push_back(group[j]);
    }
    if (kept.size() == group.size()) {
      for (std::size_t j = 0; j < group.size(); ++j) out.push_back(FittedPeak(fit, j, snr[j], scale));
      return;
    }
    group = std::move(kept);
  }
}

struct ChannelRange {
  std::size_t first = 0, end = 0;
};

// The channel indices whose energies lie in the range.
ChannelRange RangeOf(const PeakOptions& options, const ChannelScale& scale, std::size_t channels) {
  if (!options.energyRangeKeV) return {0, channels};
  const auto [low, high] = *options.energyRangeKeV;
  ChannelRange r{channels, 0};
  for (std::size_t i = 0; i < channels; ++i) {
    const double e = EnergyOfChannel(static_cast<double>(i + 1), scale.egc);
    if (e >= low && e <= high) r.first = std::min(r.first, i), r.end = i + 1;
  }
  return r.end > r.first ? r : ChannelRange{};
}

std::string CheckInput(std::span<const std::int32_t> counts, const PeakOptions& options, bool calibrated) {
  if (counts.size() < 8) return "the spectrum has fewer than 8 channels";
  if (!(options.minSnr > 0) || !std::isfinite(options.minSnr)) return "the signal-to-noise ratio must be above 0";
  if (options.fitNear && !calibrated)
    return "choosing peaks by energy needs an energy calibration, and the spectrum has none";
  if (options.energyRangeKeV) {
    if (!calibrated) return "an energy range needs an energy calibration, and the spectrum has none";
    if (!(options.energyRangeKeV->first < options.energyRangeKeV->second)) {
      return "the energy range must run from a lower to a higher energy";
    }
  }
  return {};
}

double CandidateEnergyKeV(const PeakCandidate& c, const ChannelScale& scale) {
  return EnergyOfChannel(c.centre, scale.egc);
}
double CandidateFwhmKeV(const PeakCandidate& c, const ChannelScale& scale) {
  return c.fwhm * std::abs(scale.egc[1] + 2 * scale.egc[2] * c.centre);
}

// The groups to fit: those holding a peak near an energy the options' chooser returns,
// or all without one.
std::vector<bool> Wanted(const std::vector<Group>& groups, const std::vector<PeakCandidate>& candidates,
                         const PeakOptions& options, const ChannelScale& scale) {
  if (!options.fitNear) return std::vector<bool>(groups.size(), true);
  std::vector<PeakPlace> places;
  for (const PeakCandidate& c : candidates)
    places.push_back({CandidateEnergyKeV(c, scale), CandidateFwhmKeV(c, scale), c.snr});
  const std::vector<double> near = options.fitNear(places);
  std::vector<bool> wanted;
  for (const Group& group : groups) {
    wanted.push_back(std::any_of(group.begin(), group.end(), [&](const PeakCandidate& c) {
      const double e = CandidateEnergyKeV(c, scale), reach = 1.5 * CandidateFwhmKeV(c, scale);
      return std::any_of(near.begin(), near.end(), [&](double energy) { return std::abs(energy - e) <= reach; });
    }));
  }
  return wanted;
}

std::string NoPeakMessage(const PeakOptions& options, double bestSnr) {
  std::string m = "no peak above the threshold (signal-to-noise ratio " + FormatPlain(options.minSnr) + ")";
  if (options.energyRangeKeV) {
    m += " between " + FormatPlain(options.energyRangeKeV->first) + " and " +
         FormatPlain(options.energyRangeKeV->second) + " keV";
  }
  if (bestSnr > 0) m += "; the highest found is " + FormatMask(bestSnr, "0.0");
  return m;
}

}  // namespace

bool HasEnergyCalibration(const std::array<double, 3>& egc, std::size_t channels) {
  if (channels == 0) return false;
  // dE/dx = egc[1] + 2 egc[2] x is linear in x: rising at both ends means
  // rising throughout.
  const double top = static_cast<double>(channels);
  return egc[1] + 2 * egc[2] > 0 && egc[1] + 2 * egc[2] * top > 0 && std::isfinite(egc[0]);
}

PeakSearch FindPeaks(std::span<const std::int32_t> counts, const std::array<double, 3>& egc, double twoThetaDeg,
                     const PeakOptions& options) {
  PeakSearch result;
  const ChannelScale scale{egc, HasEnergyCalibration(egc, counts.size()), SinTheta(twoThetaDeg)};
  if (std::string why = CheckInput(counts, options, scale.calibrated); !why.empty()) {
    result.status = PeakSearchStatus::InvalidInput;
    result.message = std::move(why);
    return result;
  }
  const ChannelRange range = RangeOf(options, scale, counts.size());
  const CandidateSearch search = FindCandidates(counts, range.first, range.end, options.minSnr);
  result.typicalFwhmChannels = search.typicalFwhm;
  const std::vector<Group> groups = GroupCandidates(search.candidates);
  const std::vector<bool> wanted = Wanted(groups, search.candidates, options, scale);
  for (std::size_t g = 0; g < groups.size(); ++g) {
    if (!wanted[g]) continue;
    FitAndReport(groups[g], counts, search.background, WindowOf(groups, g, counts.size()), options.minSnr, scale,
                 result.peaks);
  }
  if (options.energyRangeKeV) {
    const auto [low, high] = *options.energyRangeKeV;
    std::erase_if(result.peaks, [&](const PeakResult& p) {
      return !p.energyKeV || p.energyKeV->value < low || p.energyKeV->value > high;
    });
  }
  std::sort(result.peaks.begin(), result.peaks.end(),
            [](const PeakResult& a, const PeakResult& b) { return a.channel.value < b.channel.value; });
  MarkEscapePeaks(result.peaks);
  if (result.peaks.empty()) {
    result.status = PeakSearchStatus::NoPeak;
    result.message = NoPeakMessage(options, search.bestSnr);
  }
  return result;
}

}  // namespace vantor
