// SPDX-License-Identifier: GPL-3.0-or-later
// The common body of the detector-format harnesses, which read bytes: the
// format check on the first 4096 bytes, then the reader. A failed read is a
// "File Error" that says why and leaves no spectrum; a good one gives
// spectra of 1 to 8192 channels with nothing counted past the last one.
#pragma once

#include <string_view>
#include <vector>

#include "FuzzSupport.h"
#include "base/ReadResult.h"
#include "base/SourceSpectrum.h"

namespace vantor::fuzz {

// Whether the reader took the bytes; `looksLike` is what the check said.
template <typename Check, typename Reader>
bool ReadSpectra(const std::uint8_t* data, std::size_t size, Check check, Reader reader, bool& looksLike) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  looksLike = check(bytes.substr(0, 4096));
  std::vector<SourceSpectrum> spectra;
  const ReadResult result = reader(bytes, spectra);
  FUZZ_CHECK(result ? !spectra.empty()
                    : result.status == ReadStatus::FileError && !result.why.empty() && spectra.empty());
  for (std::size_t i = 0; i < spectra.size(); ++i) {
    const SpecData& d = spectra[i].record.Data;
    FUZZ_CHECK(d.DataNumber >= 1 && d.DataNumber <= kMaxChannels);
    for (int k = d.DataNumber; k < kMaxChannels && i < 4; ++k) FUZZ_CHECK(d.Count[k] == 0);  // the first few
  }
  return static_cast<bool>(result);
}

}  // namespace vantor::fuzz
