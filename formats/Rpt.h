// SPDX-License-Identifier: GPL-3.0-or-later
// The report (.RPT): the channel count and every count in fixed columns,
// eight to a line, then six lines of identification and conditions.
#pragma once

#include <string>

#include "base/SpectrumRecord.h"
#include "formats/FormatTable.h"

namespace vantor {

// Appends the report's bytes to `out`.
void WriteRptBody(std::string& out, const SpecData& data, const Header& header);

// The file's bytes, or why there are none (more than 8192 channels).
Encoded EncodeRpt(const SpectrumRecord& record);

}  // namespace vantor
