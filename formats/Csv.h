// SPDX-License-Identifier: GPL-3.0-or-later
// The comma-separated output (.CSV): ten condition lines, the channel count
// and one line per channel with channel, energy and count.
#pragma once

#include <string>

#include "base/ConvertContext.h"
#include "base/SpectrumRecord.h"

namespace vantor {

// Appends the CSV file's bytes to `out`.
void WriteCsvBody(std::string& out, const SpecData& data, const Header& header);

// Writes the CSV file to `path`; false when the user keeps an existing file
// or the file cannot be written ("Open Error").
bool WriteCsvFile(const std::string& path, const SpecData& data, const Header& header, ConvertContext& context);

}  // namespace vantor
