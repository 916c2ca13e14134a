// SPDX-License-Identifier: GPL-3.0-or-later
// Analyser export (.csv source): arbitrary text. Either "File Error", or a
// record whose counts end within the record.
#include "FuzzSources.h"

using namespace vantor;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::FileRead read;
  fuzz::ReadSource(SourceKind::Csv, data, size, read);
  return 0;
}
