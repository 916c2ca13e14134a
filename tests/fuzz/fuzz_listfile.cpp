// SPDX-License-Identifier: GPL-3.0-or-later
// List file (.xli): arbitrary bytes as a list file beside one series record
// file. Either "xli File Error" and nothing done, or the series is worked
// through to "Finished".
#include <cstdint>

#include "FuzzSupport.h"
#include "convert/ConvertRun.h"
#include "formats/RecordFile.h"
#include "support/FakePrompt.h"

using namespace vantor;

namespace {

std::string SeriesFolder() {
  const std::string folder = fuzz::Scratch() / "series";
  std::filesystem::create_directories(folder);
  test::WriteAll(folder + "/run_0001.xbm", RecordFileBytes(SpecData{}, Header{}));
  return folder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string path = SeriesFolder() + "/run.xli";
  FUZZ_CHECK(test::WriteAll(path, {reinterpret_cast<const char*>(data), size}));
  test::FakePrompt prompt;
  ConvertContext context(prompt);
  const OutputChoice none{};
  const RunResult result = RunListFile(path, none, context);
  if (result.completed) {
    FUZZ_CHECK(prompt.messages.empty());
    FUZZ_CHECK(prompt.statuses.size() == 2 && prompt.statuses[0] == "1/1" && prompt.statuses[1] == "Finished");
  } else {
    FUZZ_CHECK(prompt.messages.size() == 1 && prompt.messages[0] == "xli File Error");
    FUZZ_CHECK(prompt.statuses.empty());
  }
  return 0;
}
