// SPDX-License-Identifier: GPL-3.0-or-later
// A reader's parse step on bytes made inside a test: the record, or no value
// where the reader reports a failure.
#pragma once

#include <optional>
#include <string_view>

#include "base/ReadResult.h"
#include "base/SpectrumRecord.h"

namespace vantor::test {

template <typename Parse>
std::optional<SpectrumRecord> Parsed(Parse parse, std::string_view bytes) {
  std::optional<SpectrumRecord> record(std::in_place);
  if (!parse(bytes, *record)) record.reset();
  return record;
}

}  // namespace vantor::test
