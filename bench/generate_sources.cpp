// vantor-generate-sources FOLDER [CHANNELS] [NAME]
// Writes NAME.cnf (always the analyser's 4096 channels), NAME.csv and
// NAME.npd (CHANNELS channels, default 256) from one generated spectrum.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "bench/SourceFiles.h"
#include "bench/SpectrumGenerator.h"
#include "convert/FileAccess.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: vantor-generate-sources FOLDER [CHANNELS] [NAME]\n");
    return 2;
  }
  const std::filesystem::path folder = argv[1];
  const int channels = argc > 2 ? std::atoi(argv[2]) : 256;
  const std::string name = argc > 3 ? argv[3] : "source";
  std::filesystem::create_directories(folder);
  using namespace vantor::bench;
  const auto analyser = GenerateSpectrum(7, 4096);
  const auto small = GenerateSpectrum(8, channels);
  const std::pair<std::string, std::string> files[] = {
      {name + ".cnf", CnfFileBytes(analyser)},
      {name + ".csv", CsvSourceText(small)},
      {name + ".npd", NpdFileText(small)},
  };
  for (const auto& [file, bytes] : files) {
    if (!vantor::ReplaceFileAtomically((folder / file).string(), bytes)) {
      std::fprintf(stderr, "cannot write %s\n", (folder / file).c_str());
      return 1;
    }
  }
  return 0;
}
