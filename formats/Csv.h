// SPDX-License-Identifier: GPL-3.0-or-later
// The comma-separated output (.CSV): ten condition lines, the channel count
// and one line per channel with channel, energy and count.
#pragma once

#include <string>

#include "base/SpectrumRecord.h"
#include "formats/FormatTable.h"

namespace vantor {

// Appends the CSV file's bytes to `out`.
void WriteCsvBody(std::string& out, const SpecData& data, const Header& header);

// The file's bytes, or why there are none (more than 8192 channels).
Encoded EncodeCsv(const SpectrumRecord& record);

}  // namespace vantor
