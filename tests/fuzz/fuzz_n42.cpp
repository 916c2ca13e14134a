// SPDX-License-Identifier: GPL-3.0-or-later
// N42 XML: arbitrary bytes (the seeds are small documents of both schemas).
// The reader never reads out of bounds or recurses without limit on deep
// nesting; it either gives spectra of at most 8192 channels or a file error.
#include "FuzzSpectra.h"
#include "formats/N42.h"

using namespace vantor;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  bool looksLike = false;
  fuzz::ReadSpectra(data, size, LooksLikeN42, N42Spectra, looksLike);
  return 0;
}
