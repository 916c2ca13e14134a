// SPDX-License-Identifier: GPL-3.0-or-later
// Profile file (.npd source): arbitrary text. Either "File Error" (no data
// length, too many channels, missing data lines), or a record of 0..8192
// channels.
#include "FuzzSources.h"

using namespace vantor;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::FileRead read;
  fuzz::ReadSource(SourceKind::Npd, data, size, read);
  if (read.ok) FUZZ_CHECK(read.record.Data.DataNumber >= 0 && read.record.Data.DataNumber <= 8192);
  return 0;
}
