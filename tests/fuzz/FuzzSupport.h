// SPDX-License-Identifier: GPL-3.0-or-later
// Helpers shared by the fuzz harnesses: a temporary file for readers that
// take a path, and a check that aborts loudly so libFuzzer keeps the input.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "support/TestFiles.h"

namespace vantor::fuzz {

// Aborts with the failed condition; libFuzzer saves the input as a crash.
#define FUZZ_CHECK(condition)                                                            \
  do {                                                                                   \
    if (!(condition)) {                                                                  \
      std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                                      \
    }                                                                                    \
  } while (false)

// One private folder per process, removed when the process ends normally.
inline test::TempDir& Scratch() {
  static test::TempDir folder;
  return folder;
}

// Writes the input to a file, replacing what the previous input left there.
inline void WriteInput(const std::string& path, const std::uint8_t* data, std::size_t size) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  FUZZ_CHECK(file != nullptr);
  FUZZ_CHECK(size == 0 || std::fwrite(data, 1, size, file) == size);
  FUZZ_CHECK(std::fclose(file) == 0);
}

}  // namespace vantor::fuzz
