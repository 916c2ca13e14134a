// The common frame of the source readers: the file's bytes (never more
// than a valid file can hold), then the format's parser. A file that cannot
// be read is "Fine NotFound", bytes that do not parse are "File Error"; the
// caller's record changes only when the read succeeds.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "base/ConvertContext.h"
#include "base/FileAccess.h"
#include "base/SpectrumRecord.h"

namespace vantor {

template <typename Parse>
bool ReadSourceFile(const std::string& path, std::size_t maxBytes, Parse parse, SpecData& data, Header& header,
                    ConvertContext& context) {
  const auto bytes = ReadFileBytes(path, maxBytes);
  if (!bytes) {
    context.prompt.Message("Fine NotFound");
    return false;
  }
  const std::optional<SpectrumRecord> record = parse(std::string_view(*bytes));
  if (!record) {
    context.prompt.Message("File Error");
    return false;
  }
  data = record->Data;
  header = record->Head;
  return true;
}

}  // namespace vantor
