// SPDX-License-Identifier: GPL-3.0-or-later
// Analyser file (.cnf): arbitrary bytes. The beamline's template always
// reads and holds 4096 channels; any other file is read through its section
// table and holds whole blocks of 256 channels, at most 8192, or fails with
// "File Error".
#include "FuzzSources.h"
#include "formats/RecordFile.h"

using namespace vantor;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::FileRead read;
  fuzz::ReadSource(SourceKind::Cnf, data, size, read);
  const bool plain = size == 41984 && data[11] == 0xA4;
  const bool shifted = size == 46592 && data[11] == 0xB6;
  if (plain || shifted) FUZZ_CHECK(read.ok && read.record.Data.DataNumber == 4096);
  if (read.ok) FUZZ_CHECK(read.record.Data.DataNumber >= 256 && read.record.Data.DataNumber % 256 == 0);
  return 0;
}
