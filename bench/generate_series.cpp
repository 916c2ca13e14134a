// SPDX-License-Identifier: GPL-3.0-or-later
// vantor-generate-series FOLDER COUNT STANDARD FIRST_SECOND STEP P0 P1 T0 T1 LOAD0 LOAD1
// Writes COUNT record files runNNNNN.xbm of a pressure standard as a run
// measures them: the k-th at FIRST_SECOND + k * STEP seconds after midnight
// of 2016-11-05, pressure, temperature and press load going in even steps
// from P0 to P1 GPa, T0 to T1 K and LOAD0 to LOAD1 ton. For the series
// window's picture and for trying its watch by hand.
// Prints the truth as CSV on stdout: file,pressure_GPa,temperature_K,a_A.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "bench/PressureSpectra.h"

int main(int argc, char** argv) {
  if (argc < 12) {
    std::fprintf(stderr,
                 "usage: vantor-generate-series FOLDER COUNT STANDARD FIRST_SECOND STEP P0 P1 T0 T1 LOAD0 LOAD1\n");
    return 2;
  }
  const std::filesystem::path folder = argv[1];
  const int count = std::atoi(argv[2]);
  const auto number = [&](int i) { return std::atof(argv[i]); };
  const auto along = [&](int first, int k) {
    return count > 1 ? number(first) + (number(first + 1) - number(first)) * k / (count - 1) : number(first);
  };
  vantor::bench::StandardScene scene;
  scene.standard = argv[3];
  std::filesystem::create_directories(folder);
  std::printf("file,pressure_GPa,temperature_K,a_A\n");
  for (int k = 0; k < count; ++k) {
    scene.seed = static_cast<std::uint32_t>(std::atol(argv[4]) + k * std::atol(argv[5]));
    scene.pressureGPa = along(6, k);
    scene.temperatureK = along(8, k);
    auto s = vantor::bench::GenerateStandardSpectrum(scene);
    s.record.Head.Measure.PressLoad = along(10, k);
    if (!vantor::bench::WriteWithTruth(folder.string(), scene, s)) return 1;
  }
  return 0;
}
