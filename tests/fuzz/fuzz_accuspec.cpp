// SPDX-License-Identifier: GPL-3.0-or-later
// Canberra AccuSpec .mca: arbitrary bytes. A file the reader takes has the
// header words the format check looks for.
#include "FuzzSpectra.h"
#include "formats/AccuSpecMca.h"

using namespace vantor;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  bool looksLike = false;
  if (fuzz::ReadSpectra(data, size, LooksLikeAccuSpecMca, AccuSpecMcaSpectra, looksLike)) FUZZ_CHECK(looksLike);
  return 0;
}
