// SPDX-License-Identifier: GPL-3.0-or-later
// The common body of the source-file harnesses: the input becomes a file of
// the source kind, read through the format table's reader. A failed read
// is a "File Error" that says why; a good one gives a channel count the
// record can hold.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzSupport.h"
#include "formats/FormatTable.h"

namespace vantor::fuzz {

struct SourceRead {
  bool ok = false;
  SpectrumRecord record;
};

inline void ReadSource(SourceKind kind, const std::uint8_t* data, std::size_t size, SourceRead& read) {
  const SourceFormat& format = Source(kind);
  static const std::string path = Scratch() / ("input." + std::string(format.name));
  FUZZ_CHECK(test::WriteAll(path, {reinterpret_cast<const char*>(data), size}));
  const ReadResult result = format.read(path, read.record);
  read.ok = static_cast<bool>(result);
  if (read.ok) {
    FUZZ_CHECK(read.record.Data.DataNumber <= kMaxChannels);
  } else {
    FUZZ_CHECK(StatusMessage(result.status) == "File Error" && !result.why.empty());
  }
}

}  // namespace vantor::fuzz
