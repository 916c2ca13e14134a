// SPDX-License-Identifier: GPL-3.0-or-later
// Amptek MCA text: arbitrary bytes.
#include "FuzzSpectra.h"
#include "formats/AmptekMca.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  vantor::fuzz::ReadSpectra(vantor::LooksLikeAmptekMca, vantor::AmptekMcaSpectra, data, size);
  return 0;
}
