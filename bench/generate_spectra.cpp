// SPDX-License-Identifier: GPL-3.0-or-later
// vantor-generate FOLDER COUNT [CHANNELS] [PREFIX]
// Writes COUNT record files PREFIX0001.xbm ... with CHANNELS channels each.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "bench/SpectrumGenerator.h"
#include "base/FileAccess.h"
#include "formats/RecordFile.h"

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: vantor-generate FOLDER COUNT [CHANNELS] [PREFIX]\n");
    return 2;
  }
  const std::filesystem::path folder = argv[1];
  const int count = std::atoi(argv[2]);
  const int channels = argc > 3 ? std::atoi(argv[3]) : 4096;
  const std::string prefix = argc > 4 ? argv[4] : "run";
  std::filesystem::create_directories(folder);
  for (int i = 1; i <= count; ++i) {
    const auto record = vantor::bench::GenerateSpectrum(static_cast<std::uint32_t>(i), channels);
    char name[64];
    std::snprintf(name, sizeof name, "%s%04d.xbm", prefix.c_str(), i);
    if (!vantor::ReplaceFileAtomically((folder / name).string(), vantor::RecordFileBytes(record.Data, record.Head))) {
      std::fprintf(stderr, "cannot write %s\n", (folder / name).c_str());
      return 1;
    }
  }
  return 0;
}
