// SPDX-License-Identifier: GPL-3.0-or-later
// The profile file (.npd source, .NPD output), both directions.
//
// Reading: the profile file: 24 header lines taken by their
// position (labels are never looked at), lines up to the "Data length, "
// line skipped by the record length of line 1, then one line per channel
// with channel number, energy and count. Values that are not numbers are
// skipped and reading goes on; a file without its data fails.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "base/ReadResult.h"
#include "base/SpectrumRecord.h"
#include "formats/FormatTable.h"

namespace vantor {

// No valid profile file comes near this size (8192 data lines of about 30
// characters and a few dozen header lines stay below 1 MiB); only this much
// of a file is ever read.
inline constexpr std::size_t kMaxNpdBytes = 16u << 20;

// The record a file's text gives, filling `fresh`.
ReadResult NpdRecord(std::string_view text, SpectrumRecord& fresh);


// Writing: 29 labelled header lines, then one line "channel,energy,count"
// per channel.
// Appends the profile file's bytes to `out`.
void WriteNpdBody(std::string& out, const SpecData& data, const Header& header);

// The profile file's bytes, or why there are none (more than 8192 channels).
Encoded EncodeNpd(const SpectrumRecord& record);

}  // namespace vantor
