// Analyser file (.cnf): arbitrary bytes. A file shorter than the last kept
// channel fails with "File Error"; a good read always holds 4096 channels.
#include "FuzzSources.h"
#include "formats/RecordFile.h"

using namespace vantor;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::SourceRead read;
  fuzz::ReadSource(SourceKind::Cnf, data, size, read, {"File Error"});
  if (size < 41984) FUZZ_CHECK(!read.ok);
  if (read.ok) FUZZ_CHECK(read.record.Data.DataNumber == 4096);
  return 0;
}
