// SPDX-License-Identifier: GPL-3.0-or-later
// The readable text output (.TXT): labelled condition lines and one line per
// channel.
#pragma once

#include <string>

#include "base/SpectrumRecord.h"
#include "formats/FormatTable.h"

namespace vantor {

// Appends the text file's bytes to `out`.
void WriteTxtBody(std::string& out, const SpecData& data, const Header& header);

// The file's bytes, or why there are none (more than 8192 channels).
Encoded EncodeTxt(const SpectrumRecord& record);

}  // namespace vantor
