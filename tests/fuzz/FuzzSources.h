// SPDX-License-Identifier: GPL-3.0-or-later
// The common body of the source-file harnesses: the input becomes a file of
// the source kind, read through the format table's reader. A failed read
// has one of the expected statuses and says why; a good one gives a channel
// count the record can hold. Before a reader is in the table the harness
// does nothing.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "FuzzSupport.h"
#include "formats/FormatTable.h"

namespace vantor::fuzz {

struct SourceRead {
  bool ok = false;
  SpectrumRecord record;
};

inline void ReadSource(SourceKind kind, const std::uint8_t* data, std::size_t size, SourceRead& read,
                       std::initializer_list<std::string_view> failureMessages) {
  const SourceFormat& format = Source(kind);
  if (format.read == nullptr) return;
  static const std::string path = Scratch() / ("input." + std::string(format.name));
  WriteInput(path, data, size);
  const ReadResult result = format.read(path, read.record);
  read.ok = static_cast<bool>(result);
  if (read.ok) {
    FUZZ_CHECK(read.record.Data.DataNumber <= kMaxChannels);
  } else {
    FUZZ_CHECK(!result.why.empty());
    bool known = false;
    for (const auto m : failureMessages) known = known || StatusMessage(result.status) == m;
    FUZZ_CHECK(known);
  }
}

}  // namespace vantor::fuzz
