// SPDX-License-Identifier: GPL-3.0-or-later
// Helpers shared by the fuzz harnesses: a scratch folder for readers that
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

}  // namespace vantor::fuzz
