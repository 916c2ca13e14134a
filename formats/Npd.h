// The profile file (.npd source, .NPD output), both directions.
//
// Reading: the profile file: 24 header lines taken by their
// position (labels are never looked at), lines up to the "Data length, "
// line skipped by the record length of line 1, then one line per channel
// with channel number, energy and count. The reader is tolerant: any step it
// cannot carry out is skipped and it goes on with the next.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "base/ConvertContext.h"
#include "base/ReadResult.h"
#include "base/SpectrumRecord.h"

namespace vantor {

// No valid profile file comes near this size (8192 data lines of about 30
// characters and a few dozen header lines stay below 1 MiB); only this much
// of a file is ever read.
inline constexpr std::size_t kMaxNpdBytes = 16u << 20;

// The record a file's text gives, filling `fresh`.
ReadResult NpdRecord(std::string_view text, SpectrumRecord& fresh);

// Fills every header field the layout carries, the counts and DataNumber,
// starting from a fresh record with SourceFormat 4. Not found for a missing
// or unreadable file (the record is left alone); otherwise read, whatever the
// file holds. A channel count above 8192 keeps the first 8192 counts, one
// below 0 gives none.
ReadResult ReadNpdFile(const std::string& path, SpectrumRecord& record);

// Writing: 29 labelled header lines, then one line "channel,energy,count"
// per channel.
// Appends the profile file's bytes to `out`.
void WriteNpdBody(std::string& out, const SpecData& data, const Header& header);

// Writes the profile file to `path`; false when the user keeps an existing
// file or the file cannot be written ("Open Error").
bool WriteNpdFile(const std::string& path, const SpecData& data, const Header& header, ConvertContext& context);

}  // namespace vantor
