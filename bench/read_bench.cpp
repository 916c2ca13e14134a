// SPDX-License-Identifier: GPL-3.0-or-later
// How long one source file takes from its bytes to all six outputs on disk,
// for a ten-element EPICS MCA file beside a record file of 4096 channels:
//   vantor-read-bench [MED_FILE] [ROUNDS]
// MED_FILE defaults to the shared real data's corundum run; the record file
// is generated. User and system CPU (means) and wall time (median) per
// file; the system time is the file system creating and writing the 6 or 60
// files.
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "base/FileAccess.h"
#include "bench/SpectrumGenerator.h"
#include "convert/ConvertRun.h"
#include "formats/RecordFile.h"

namespace {

namespace fs = std::filesystem;

// A prompt that answers nothing: every output replaces the last round's.
struct Silent final : vantor::UserPrompt {
  void Message(std::string_view) override {}
  bool AskYesNo(std::string_view) override { return true; }
  bool AskTwoLines(std::string_view, std::string_view) override { return true; }
  std::optional<vantor::CsvParameters> AskCsvParameters() override { return std::nullopt; }
  std::optional<std::string> AskSaveName(std::string_view, std::string_view) override { return std::nullopt; }
  void ShowStatus(std::string_view) override {}
};

struct Times {
  double userMs, systemMs, wallMs;
};

// User and system CPU milliseconds of the process so far: the system part
// is the file system's work of creating and writing the outputs.
std::pair<double, double> CpuMs() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  const auto ms = [](const timeval& t) { return 1000.0 * double(t.tv_sec) + double(t.tv_usec) / 1000.0; };
  return {ms(usage.ru_utime), ms(usage.ru_stime)};
}

// One file into all six outputs, over the rounds: the mean user and system
// CPU (the kernel counts them in ticks, so only a sum over many rounds is
// fine enough) and the median wall time.
Times Measure(const std::string& source, const std::string& folder, int rounds) {
  Silent prompt;
  vantor::ConvertContext context(prompt);
  context.settings.OverWriteCheck = false;
  context.outputFolder = folder;
  vantor::OutputChoice all{};
  all.fill(true);
  std::vector<double> wall;
  const auto [u0, s0] = CpuMs();
  for (int r = 0; r < rounds; ++r) {
    vantor::RunResult result;
    const auto w0 = std::chrono::steady_clock::now();
    vantor::ConvertToOutputs({source, ""}, all, context, result);
    wall.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - w0).count());
    if (result.written != result.requested) std::fprintf(stderr, "%s: not every output written\n", source.c_str());
  }
  const auto [u1, s1] = CpuMs();
  std::sort(wall.begin(), wall.end());
  return {(u1 - u0) / rounds, (s1 - s0) / rounds, wall[wall.size() / 2]};
}

}  // namespace

int main(int argc, char** argv) {
  const std::string med = argc > 1 && argv[1][0] != 0 ? argv[1] : VANTOR_REALDATA_DIR "/med/COSI_021_0001.med";
  const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 200;
  if (!fs::exists(med)) {
    std::fprintf(stderr, "no %s: give a .med file\n", med.c_str());
    return 2;
  }
  const fs::path work = fs::temp_directory_path() / ("vantor-read-bench-" + std::to_string(::getpid()));
  fs::create_directories(work / "out");
  const auto record = vantor::bench::GenerateSpectrum(1, 4096);
  const std::string xbm = (work / "run0001.xbm").string();
  vantor::ReplaceFileAtomically(xbm, vantor::RecordFileBytes(record.Data, record.Head));
  for (const auto& [name, path] : {std::pair{"record file, 4096 channels", xbm}, {"EPICS MCA, 10 x 2048", med}}) {
    const Times t = Measure(path, (work / "out").string(), rounds);
    std::printf(
        "%-28s into six outputs: %.3f ms user + %.3f ms system CPU (means), %.3f ms wall (median) per file, %d "
        "rounds\n",
        name, t.userMs, t.systemMs, t.wallMs, rounds);
  }
  fs::remove_all(work);
  return 0;
}
