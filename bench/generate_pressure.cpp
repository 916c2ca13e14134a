// SPDX-License-Identifier: GPL-3.0-or-later
// vantor-generate-pressure FOLDER COUNT [STANDARD] [FIRST_SEED]
// Writes COUNT record files runNNNNN.xbm of a pressure standard (default au)
// at pressures and temperatures drawn from each file's seed: 0-30 GPa and
// 300-1300 K (NaCl 0-15 GPa, 300-1073 K), the temperature in the record.
// Prints the truth as CSV on stdout: file,pressure_GPa,temperature_K,a_A.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

#include "bench/PressureSpectra.h"

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: vantor-generate-pressure FOLDER COUNT [STANDARD] [FIRST_SEED]\n");
    return 2;
  }
  const std::filesystem::path folder = argv[1];
  const int count = std::atoi(argv[2]);
  vantor::bench::StandardScene scene;
  scene.standard = argc > 3 ? argv[3] : "au";
  const auto first = static_cast<std::uint32_t>(argc > 4 ? std::atol(argv[4]) : 1);
  const bool nacl = scene.standard == "nacl";
  std::filesystem::create_directories(folder);
  std::printf("file,pressure_GPa,temperature_K,a_A\n");
  for (int k = 0; k < count; ++k) {
    scene.seed = first + static_cast<std::uint32_t>(k);
    std::mt19937_64 engine(scene.seed * 0x9e3779b97f4a7c15ULL);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    scene.pressureGPa = (nacl ? 15 : 30) * unit(engine);
    scene.temperatureK = 300 + (nacl ? 773 : 1000) * unit(engine);
    const auto s = vantor::bench::GenerateStandardSpectrum(scene);
    if (!vantor::bench::WriteWithTruth(folder.string(), scene, s)) return 1;
  }
  return 0;
}
