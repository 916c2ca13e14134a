// SPDX-License-Identifier: GPL-3.0-or-later
// The readable text output (.TXT): labelled condition lines and one line per
// channel.
#pragma once

#include <string>

#include "base/ConvertContext.h"
#include "base/SpectrumRecord.h"

namespace vantor {

// Appends the text file's bytes to `out`.
void WriteTxtBody(std::string& out, const SpecData& data, const Header& header);

// Writes the text file to `path`; false when the user keeps an existing file
// or the file cannot be written ("Open Error").
bool WriteTxtFile(const std::string& path, const SpecData& data, const Header& header, ConvertContext& context);

}  // namespace vantor
