// SPDX-License-Identifier: GPL-3.0-or-later
// Every writer's body on hostile records, in memory: the header as the record
// file lays it out (any doubles: NaN, infinities, huge values; any text
// bytes), and any channel count a reader can hand over, negative ones
// included. Every text output ends with CR LF; the record file reads back.
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "FuzzSupport.h"
#include "formats/Csv.h"
#include "formats/Gsa.h"
#include "formats/Npd.h"
#include "formats/RecordFile.h"
#include "formats/Rpt.h"
#include "formats/Txt.h"

using namespace vantor;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  // The first two bytes are the channel count, the rest a record file whose
  // missing bytes are zeros.
  std::int16_t channels;
  std::memcpy(&channels, data, 2);
  channels = std::min<std::int16_t>(channels, kMaxChannels);
  std::string bytes(reinterpret_cast<const char*>(data) + 2, size - 2);
  if (bytes.size() < kRecordHeaderBytes) bytes.resize(kRecordHeaderBytes, '\0');
  bytes[0] = bytes[1] = '0';  // signed: the length may be any
  bytes[2068] = bytes[2069] = 0;
  SpectrumRecord record;
  FUZZ_CHECK(RecordFileRecord(bytes, record));
  record.Data.DataNumber = channels;
  const std::size_t kept = std::min<std::size_t>((bytes.size() - kRecordHeaderBytes) / 4, kMaxChannels);
  std::memcpy(record.Data.Count.data(), bytes.data() + kRecordHeaderBytes, 4 * kept);

  for (const auto body : {WriteRptBody, WriteTxtBody, WriteCsvBody, WriteNpdBody, WriteGsaBody}) {
    std::string out;
    body(out, record.Data, record.Head);
    FUZZ_CHECK(out.ends_with("\r\n"));  // texts may hold any byte, CR and LF too
  }
  SpectrumRecord back;
  FUZZ_CHECK(RecordFileRecord(RecordFileBytes(record.Data, record.Head), back));
  FUZZ_CHECK(back.Data.DataNumber == std::max<int>(0, channels));
  return 0;
}
