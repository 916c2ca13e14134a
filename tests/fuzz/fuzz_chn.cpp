// SPDX-License-Identifier: GPL-3.0-or-later
// Ortec CHN: arbitrary bytes. A file the reader takes starts as a CHN file
// does, so the format check says yes to it.
#include "FuzzSpectra.h"
#include "formats/Chn.h"

using namespace vantor;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  bool looksLike = false;
  if (fuzz::ReadSpectra(data, size, LooksLikeChn, ChnSpectra, looksLike)) FUZZ_CHECK(looksLike);
  return 0;
}
