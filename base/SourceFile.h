// SPDX-License-Identifier: GPL-3.0-or-later
// The common frame of the source readers: the file's bytes (never more
// than a valid file can hold), then the format's parser. A file that cannot
// be read is "not found", bytes that do not parse a "file error"; the
// caller's record changes only when the read succeeds.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "base/FileAccess.h"
#include "base/ReadResult.h"
#include "base/SpectrumRecord.h"

namespace vantor {

// Parse: ReadResult(std::string_view bytes, SpectrumRecord& fresh).
template <typename Parse>
ReadResult ReadSourceFile(const std::string& path, std::size_t maxBytes, Parse parse, SpectrumRecord& record) {
  std::string failure;
  const auto bytes = ReadFileBytes(path, maxBytes, &failure);
  if (!bytes) return NotFound(std::move(failure));
  auto fresh = std::make_unique<SpectrumRecord>();
  ReadResult result = parse(std::string_view(*bytes), *fresh);
  if (result) record = *fresh;
  return result;
}

}  // namespace vantor
