// SPDX-License-Identifier: GPL-3.0-or-later
// The common body of the source-file harnesses: the input becomes a file of
// the source kind, read through the one read path. A failed read is a
// "File Error" that says why; a good one gives one spectrum of a channel
// count the record can hold.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzSupport.h"
#include "formats/SourceRead.h"

namespace vantor::fuzz {

struct FileRead {
  bool ok = false;
  SpectrumRecord record;
};

inline void ReadSource(SourceKind kind, const std::uint8_t* data, std::size_t size, FileRead& read) {
  const SourceFormat& format = Source(kind);
  static const std::string path = Scratch() / ("input." + std::string(format.name));
  FUZZ_CHECK(test::WriteAll(path, {reinterpret_cast<const char*>(data), size}));
  const vantor::SourceRead result = ReadSpectra(path, format.name, RunSettings{});
  read.ok = static_cast<bool>(result.result);
  if (read.ok) {
    FUZZ_CHECK(result.spectra.size() == 1 && result.spectra[0].record.Data.DataNumber <= kMaxChannels);
    read.record = result.spectra[0].record;
  } else {
    FUZZ_CHECK(StatusMessage(result.result.status) == "File Error" && !result.result.why.empty());
  }
}

}  // namespace vantor::fuzz
