// The common body of the source-file harnesses: the input becomes a file of
// the source kind, read through the format table's reader. A failed read
// shows exactly one of the reader's messages; a good one gives a channel
// count the record can hold. Before a reader is in the table the harness
// does nothing.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "FuzzSupport.h"
#include "formats/FormatTable.h"
#include "support/FakePrompt.h"

namespace vantor::fuzz {

struct SourceRead {
  bool ok = false;
  SpectrumRecord record;
  test::FakePrompt prompt;
};

inline void ReadSource(SourceKind kind, const std::uint8_t* data, std::size_t size, SourceRead& read,
                       std::initializer_list<std::string_view> failureMessages) {
  const SourceFormat& format = Source(kind);
  if (format.read == nullptr) return;
  static const std::string path = Scratch() / ("input." + std::string(format.name));
  WriteInput(path, data, size);
  ConvertContext context(read.prompt);
  read.ok = format.read(path, read.record.Data, read.record.Head, context);
  const auto& messages = read.prompt.messages;
  if (read.ok) {
    FUZZ_CHECK(messages.empty());
    FUZZ_CHECK(read.record.Data.DataNumber <= kMaxChannels);
  } else {
    FUZZ_CHECK(messages.size() == 1);
    bool known = false;
    for (const auto m : failureMessages) known = known || messages[0] == m;
    FUZZ_CHECK(known);
  }
}

}  // namespace vantor::fuzz
