// SPDX-License-Identifier: GPL-3.0-or-later
// EPICS multichannel-analyser text (.med): arbitrary bytes.
#include "FuzzSpectra.h"
#include "formats/Med.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  bool looksLike = false;
  vantor::fuzz::ReadSpectra(data, size, vantor::LooksLikeMed, vantor::MedSpectra, looksLike);
  return 0;
}
