// SPDX-License-Identifier: GPL-3.0-or-later
// A spectrum file described for people and for other programs: the text of
// `vantor-cli show` and its JSON form (one object per file, the header's
// fields under their record names, numbers as JSON numbers).
#pragma once

#include <string>
#include <string_view>

#include "base/SpectrumRecord.h"

namespace vantor {

// {"file": ..., "kind": ..., "channels": ..., "total_counts": ...,
//  "max_count": ..., "max_channel": ..., "energy_range": [lo, hi] or null,
//  "header": {"DataType": 0, "SampleTitle": "...", ..., "EGC": [a, b, c], ...}}
// Numbers that are not finite become null; bytes of a text that are not
// UTF-8 become U+FFFD. Two blanks a level, the whole shifted right by
// `indent` blanks.
std::string SpectrumJson(std::string_view file, std::string_view kind, const SpectrumRecord& record, int indent = 0);

// The header, one "Name: value" line a field, then the summary.
std::string SpectrumText(std::string_view file, std::string_view kind, const SpectrumRecord& record);

}  // namespace vantor
