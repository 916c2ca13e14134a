// Every writer of the format table on hostile records: the header as the
// record file lays it out (any doubles: NaN, infinities, huge values; any
// text bytes), and any channel count a reader can hand over, negative ones
// included. Every write succeeds without a message.
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "FuzzSupport.h"
#include "formats/FormatTable.h"
#include "formats/RecordFile.h"
#include "support/FakePrompt.h"

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
  bytes[2068] = bytes[2069] = 0;
  static const std::string recordPath = fuzz::Scratch() / "input.xbm";
  fuzz::WriteInput(recordPath, reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());

  test::FakePrompt prompt;
  ConvertContext context(prompt);
  context.settings.OverWriteCheck = false;
  SpectrumRecord record;
  FUZZ_CHECK(ReadRecordFile(recordPath, record));
  record.Data.DataNumber = channels;
  const std::size_t kept = (bytes.size() - kRecordHeaderBytes) / 4;
  for (std::size_t i = 0; i < std::min<std::size_t>(kept, kMaxChannels); ++i)
    std::memcpy(&record.Data.Count[i], bytes.data() + kRecordHeaderBytes + 4 * i, 4);

  for (const auto& output : OutputFormats()) {
    if (output.write == nullptr) continue;
    const std::string path = fuzz::Scratch() / ("output" + std::string(output.suffix));
    FUZZ_CHECK(output.write(path, record.Data, record.Head, context));
  }
  FUZZ_CHECK(prompt.messages.empty());
  return 0;
}
