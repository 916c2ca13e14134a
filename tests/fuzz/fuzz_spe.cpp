// SPDX-License-Identifier: GPL-3.0-or-later
// Ortec/IAEA SPE text: arbitrary bytes.
#include "FuzzSpectra.h"
#include "formats/Spe.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  vantor::fuzz::ReadSpectra(vantor::LooksLikeSpe, vantor::SpeSpectra, data, size);
  return 0;
}
