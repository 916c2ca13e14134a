// SPDX-License-Identifier: GPL-3.0-or-later
// vantor-generate-sources FOLDER [CHANNELS]
// Writes analyser.cnf (always the analyser's 4096 channels), export.csv and
// profile.npd (CHANNELS channels, default 256). The names differ so that
// their outputs, named after the source without its extension, do not meet.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>

#include "bench/SourceFiles.h"
#include "bench/SpectrumGenerator.h"
#include "base/FileAccess.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: vantor-generate-sources FOLDER [CHANNELS]\n");
    return 2;
  }
  const std::filesystem::path folder = argv[1];
  const int channels = argc > 2 ? std::atoi(argv[2]) : 256;
  std::filesystem::create_directories(folder);
  using namespace vantor::bench;
  const auto analyser = GenerateSpectrum(7, 4096);
  const auto small = GenerateSpectrum(8, channels);
  const std::pair<std::string, std::string> files[] = {
      {"analyser.cnf", CnfFileBytes(analyser)},
      {"export.csv", CsvSourceText(small)},
      {"profile.npd", NpdFileText(small)},
  };
  for (const auto& [file, bytes] : files) {
    if (!vantor::ReplaceFileAtomically((folder / file).string(), bytes)) {
      std::fprintf(stderr, "cannot write %s\n", (folder / file).c_str());
      return 1;
    }
  }
  return 0;
}
