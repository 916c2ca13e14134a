// The profile file (.NPD), writing side: 29 labelled header lines, then one
// line "channel,energy,count" per channel.
#pragma once

#include <string>

#include "convert/ConvertContext.h"
#include "spectrum/SpectrumRecord.h"

namespace vantor {

// Appends the profile file's bytes to `out`.
void WriteNpdBody(std::string& out, const SpecData& data, const Header& header);

// Writes the profile file to `path`; false when the user keeps an existing
// file or the file cannot be written ("Open Error").
bool WriteNpdFile(const std::string& path, const SpecData& data, const Header& header, ConvertContext& context);

}  // namespace vantor
