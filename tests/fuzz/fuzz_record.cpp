// SPDX-License-Identifier: GPL-3.0-or-later
// Record file reader: arbitrary bytes as a .xbm file. A read either fails
// with a file error and its reason, or gives a record that writes back to exactly the bytes
// it came from (signature and SourceFormat aside), whose numbers all go
// through the writers' masks.
#include <algorithm>
#include <cstdint>

#include "FuzzNumbers.h"
#include "FuzzSupport.h"
#include "formats/RecordFile.h"

using namespace vantor;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  SpectrumRecord record;
  const std::string_view input(reinterpret_cast<const char*>(data), std::min(size, kRecordFileBytesRead));
  if (const ReadResult read = RecordFileRecord(input, record); !read) {
    FUZZ_CHECK(read.status == ReadStatus::FileError && !read.why.empty());
    return 0;
  }
  const int n = record.Data.DataNumber;
  FUZZ_CHECK(n >= 0 && n <= kMaxChannels);
  const std::string again = RecordFileBytes(record.Data, record.Head);
  FUZZ_CHECK(again.size() == kRecordHeaderBytes + 4u * n && again.size() <= size);
  // 0: signature "00"; 282: SourceFormat, set to 1 by the reader.
  const std::string_view original(reinterpret_cast<const char*>(data), again.size());
  FUZZ_CHECK(again.compare(0, 2, "00") == 0 && again.compare(282, 2, std::string("\1\0", 2)) == 0);
  FUZZ_CHECK(original.substr(2, 280) == std::string_view(again).substr(2, 280));
  FUZZ_CHECK(original.substr(284) == std::string_view(again).substr(284));

  const MeasureCondition& m = record.Head.Measure;
  for (const double v : {m.PrsRTime, m.ROISigma, m.EGC[0], m.EGC[1], m.EGC[2], m.TwoTheta, m.Temperature, m.RealTime,
                         m.LiveTime, m.DeadTime})
    fuzz::CheckNumberTexts(v);
  if (n > 0) {
    fuzz::CheckNumberTexts(EnergyOfChannel(1, m.EGC));
    fuzz::CheckNumberTexts(EnergyOfChannel(n, m.EGC));
  }
  return 0;
}
