// SPDX-License-Identifier: GPL-3.0-or-later
// The common body of the detector-format harnesses: the content check on
// the first bytes, then the reader on all of them. A failed read is a file
// error that says why and leaves no spectra; a good one gives spectra of 1
// to 8192 channels.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "FuzzSupport.h"
#include "base/ReadResult.h"
#include "base/SourceSpectrum.h"

namespace vantor::fuzz {

using LooksLike = bool (*)(std::string_view);
using SpectraReader = ReadResult (*)(std::string_view, std::vector<SourceSpectrum>&);

inline void ReadSpectra(LooksLike looks, SpectraReader read, const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  looks(bytes.substr(0, 4096));
  std::vector<SourceSpectrum> spectra;
  const ReadResult result = read(bytes, spectra);
  if (!result) {
    FUZZ_CHECK(result.status == ReadStatus::FileError && !result.why.empty() && spectra.empty());
    return;
  }
  FUZZ_CHECK(!spectra.empty());
  for (const SourceSpectrum& s : spectra)
    FUZZ_CHECK(s.record.Data.DataNumber >= 1 && s.record.Data.DataNumber <= kMaxChannels);
}

}  // namespace vantor::fuzz
