// SPDX-License-Identifier: GPL-3.0-or-later
// Ortec/IAEA SPE text: arbitrary bytes.
#include "FuzzSpectra.h"
#include "formats/Spe.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  bool looksLike = false;
  vantor::fuzz::ReadSpectra(data, size, vantor::LooksLikeSpe, vantor::SpeSpectra, looksLike);
  return 0;
}
