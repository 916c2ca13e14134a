// SPDX-License-Identifier: GPL-3.0-or-later
// The report (.RPT): the channel count and every count in fixed columns,
// eight to a line, then six lines of identification and conditions.
#pragma once

#include <string>

#include "base/ConvertContext.h"
#include "base/SpectrumRecord.h"

namespace vantor {

// Appends the report's bytes to `out`.
void WriteRptBody(std::string& out, const SpecData& data, const Header& header);

// Writes the report to `path`; false when the user keeps an existing file or
// the file cannot be written ("Open Error").
bool WriteRptFile(const std::string& path, const SpecData& data, const Header& header, ConvertContext& context);

}  // namespace vantor
