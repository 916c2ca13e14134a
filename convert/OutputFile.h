// SPDX-License-Identifier: GPL-3.0-or-later
// One output file from one record: the format's bytes, the replace
// question, the atomic save, and what the writer has to say about the file.
// Shared by conversions, Combine and the Python module.
#pragma once

#include <string>

#include "base/ConvertContext.h"
#include "base/FileAccess.h"
#include "formats/FormatTable.h"

namespace vantor {

// Writes the record as `format` to `path`. A record the format cannot hold
// fails with "Open Error" and the reason; the format's note about the bytes
// goes to the user as "run7.GSA: counts written as hundredths".
Saved WriteOutputFile(const OutputFormat& format, const std::string& path, const SpectrumRecord& record,
                      ConvertContext& context);

}  // namespace vantor
