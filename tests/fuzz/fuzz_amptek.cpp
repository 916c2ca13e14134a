// SPDX-License-Identifier: GPL-3.0-or-later
// Amptek MCA text: arbitrary bytes.
#include "FuzzSpectra.h"
#include "formats/AmptekMca.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  bool looksLike = false;
  vantor::fuzz::ReadSpectra(data, size, vantor::LooksLikeAmptekMca, vantor::AmptekMcaSpectra, looksLike);
  return 0;
}
