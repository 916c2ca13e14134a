// SPDX-License-Identifier: GPL-3.0-or-later
// What a source file gives: one spectrum or several (a multi-element
// detector writes one per element), each a record plus the header values
// the record has no field for, in the order the file gives them.
#pragma once

#include <string>
#include <vector>

#include "base/SpectrumRecord.h"

namespace vantor {

// A header value without a record field: "ENVIRONMENT: 13IDD:m1.VAL", "Sample".
struct HeaderValue {
  std::string name;
  std::string value;
};

struct SourceSpectrum {
  SpectrumRecord record;
  std::vector<HeaderValue> extra;
  // What the reader changed on the way in, for the user to see: a text
  // that code page 932 cannot hold was written with "?" in its place.
  std::vector<std::string> notes;
};

}  // namespace vantor
