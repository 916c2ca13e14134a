// SPDX-License-Identifier: GPL-3.0-or-later
// IEC 61455 text: arbitrary bytes.
#include "FuzzSpectra.h"
#include "formats/Iec.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  bool looksLike = false;
  vantor::fuzz::ReadSpectra(data, size, vantor::LooksLikeIec, vantor::IecSpectra, looksLike);
  return 0;
}
