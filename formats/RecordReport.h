// SPDX-License-Identifier: GPL-3.0-or-later
// A spectrum file described for people and for other programs: the text of
// `vantor-cli show` and its JSON form (one object per file, the header's
// fields under their record names, numbers as JSON numbers).
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "base/SourceSpectrum.h"
#include "base/SpectrumRecord.h"

namespace vantor {

// One spectrum of a file: which of several it is (1-based; 0 for the one
// spectrum of its file) and the header values without a record field.
struct ShownSpectrum {
  std::string_view file;
  std::string_view kind;
  const SpectrumRecord& record;
  std::size_t element = 0;
  std::span<const HeaderValue> extra = {};
};

// {"file": ..., "element": k (files of several spectra), "kind": ...,
//  "channels": ..., "total_counts": ..., "max_count": ..., "max_channel": ...,
//  "energy_range": [lo, hi] or null (no energy calibration),
//  "header": {"DataType": 0, "SampleTitle": "...", ..., "EGC": [a, b, c], ...},
//  "extra": {name: value, ...} (when the file gives any)}
// Numbers that are not finite become null; bytes of a text that are not
// UTF-8 become U+FFFD. Two blanks a level, the whole shifted right by
// `indent` blanks.
std::string SpectrumJson(const ShownSpectrum& shown, int indent = 0);

// The header, one "Name: value" line a field, the extra values, then the
// summary.
std::string SpectrumText(const ShownSpectrum& shown);

}  // namespace vantor
