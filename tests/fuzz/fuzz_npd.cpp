// Profile file (.npd source): arbitrary text. The reader is tolerant: an
// existing file always reads, with 0..8192 channels.
#include "FuzzSources.h"

using namespace vantor;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::SourceRead read;
  fuzz::ReadSource(SourceKind::Npd, data, size, read, {});
  if (Source(SourceKind::Npd).read == nullptr) return 0;
  FUZZ_CHECK(read.ok);
  FUZZ_CHECK(read.record.Data.DataNumber >= 0);
  return 0;
}
