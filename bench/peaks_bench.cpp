// SPDX-License-Identifier: GPL-3.0-or-later
// Peak search and fit speed and honesty on generated spectra of 4096
// channels with eight peaks each: CPU time per spectrum of FindPeaks on one
// core, the same spectra through a plain SciPy script (find_peaks and one
// curve_fit per peak), the ratio, and the pull statistics and detection
// rates of the fits against the truth.
//
//   vantor-peaks-bench [SPECTRA] [ROUNDS]   (defaults 200 and 5)
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "analysis/PeakSearch.h"
#include "bench/PeakSpectra.h"

namespace {

using namespace vantor;

double CpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

std::vector<bench::PeakSpectrum> MakeSpectra(int count) {
  std::vector<bench::PeakSpectrum> spectra;
  for (int i = 0; i < count; ++i) {
    spectra.push_back(bench::GenerateRandomPeaks(static_cast<std::uint32_t>(1000 + i), 4096, {0.2667, 0.04219, 0.0},
                                                 bench::RandomPeaks{}, bench::Detector{}, bench::Background{}));
  }
  return spectra;
}

void TimePass(const std::vector<bench::PeakSpectrum>& spectra, bench::PeakScore* score) {
  for (const auto& s : spectra) {
    const PeakSearch found = FindPeaks(s.counts, s.egc, 5.0, PeakOptions{});
    if (score == nullptr) continue;
    std::vector<bench::FoundPeak> reported;
    for (const PeakResult& p : found.peaks) {
      reported.push_back({p.channel.value, p.channel.sigma, p.area.value, p.area.sigma, p.fitted});
    }
    score->Add(s, reported);
  }
}

// Passes over the spectra in one round of FindPeaks: long enough (near the
// SciPy script's second) that a moment's stall weighs no more than it does
// there.
constexpr int kPasses = 10;

// The mean CPU milliseconds per spectrum of one round of FindPeaks; the
// first round's results are scored.
double TimeSearch(const std::vector<bench::PeakSpectrum>& spectra, bench::PeakScore* score) {
  const double start = CpuSeconds();
  for (int pass = 0; pass < kPasses; ++pass) {
    if (pass == 1) score = nullptr;
    TimePass(spectra, score);
  }
  return 1000 * (CpuSeconds() - start) / static_cast<double>(kPasses * spectra.size());
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// The counts for the SciPy script, one spectrum a line.
std::filesystem::path WriteCounts(const std::vector<bench::PeakSpectrum>& spectra) {
  const auto file = std::filesystem::temp_directory_path() / ("vantor-peaks-" + std::to_string(getpid()) + ".txt");
  std::ofstream out(file);
  for (const auto& s : spectra) {
    for (std::int32_t c : s.counts) out << c << ' ';
    out << '\n';
  }
  return file;
}

// Runs the SciPy script on the counts; its CPU ms per spectrum, or a
// negative number when it could not run.
double TimeScipy(const std::filesystem::path& counts, double& peaksPerSpectrum) {
  const std::string command = "/usr/bin/python3 " VANTOR_BENCH_DIR "/peaks_scipy.py " + counts.string();
  FILE* pipe = popen(command.c_str(), "r");
  double ms = -1;
  if (pipe != nullptr) {
    if (std::fscanf(pipe, "%lf %lf", &ms, &peaksPerSpectrum) != 2) ms = -1;
    pclose(pipe);
  }
  return ms;
}

}  // namespace

int main(int argc, char** argv) {
  const int count = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
  const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
  const auto spectra = MakeSpectra(count);
  bench::PeakScore score;
  // Each round times both sides back to back: the machine's pace drifts, and
  // a ratio of times taken minutes apart would measure the drift.
  const auto counts = WriteCounts(spectra);
  std::vector<double> ours, scipy, ratios;
  double scipyPeaks = 0;
  for (int r = 0; r < rounds; ++r) {
    ours.push_back(TimeSearch(spectra, r == 0 ? &score : nullptr));
    const double theirs = TimeScipy(counts, scipyPeaks);
    if (theirs < 0) continue;
    scipy.push_back(theirs);
    ratios.push_back(theirs / ours.back());
  }
  std::filesystem::remove(counts);
  const auto position = bench::Summarise(score.positionPulls);
  const auto area = bench::Summarise(score.areaPulls);
  std::printf("spectra: %d of 4096 channels, %zu true peaks\n", count, spectra.size() * 8);
  std::printf("FindPeaks:     %.3f ms CPU per spectrum (median of %d rounds), %.2f peaks reported\n", Median(ours),
              rounds, static_cast<double>(score.reported) / count);
  if (!scipy.empty()) {
    std::printf("SciPy script:  %.3f ms CPU per spectrum, %.2f peaks fitted\n", Median(scipy), scipyPeaks);
    std::printf("ratio SciPy / FindPeaks: %.1f (median of the rounds' ratios; lowest %.1f, highest %.1f)\n",
                Median(ratios), *std::min_element(ratios.begin(), ratios.end()),
                *std::max_element(ratios.begin(), ratios.end()));
  } else {
    std::printf("SciPy script:  did not run (/usr/bin/python3 with python3-scipy needed)\n");
  }
  std::printf(
      "pulls (fit - true) / sigma over %zu peaks of snr >= 10: position mean %+.3f sd %.3f, area mean %+.3f "
      "sd %.3f\n",
      score.positionPulls.size(), position.mean, position.sd, area.mean, area.sd);
  std::printf("found %d of %d peaks of snr >= 10 (%.2f %%); %d of %d reported false (%.2f %%)\n", score.strongFound,
              score.strong, 100.0 * score.strongFound / std::max(1, score.strong), score.falseReported, score.reported,
              100.0 * score.falseReported / std::max(1, score.reported));
  return 0;
}
