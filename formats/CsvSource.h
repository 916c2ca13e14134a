// SPDX-License-Identifier: GPL-3.0-or-later
// The analyser export (.csv source): a comma-separated text file with the
// sample title, date, time, live and real time, the channel count, the
// sample identifier and the counts, but no calibration, angle or
// temperature (the conversion takes those from the parameter entry). Its
// layout differs from the CSV output's.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "base/ReadResult.h"
#include "base/SpectrumRecord.h"

namespace vantor {

// No valid export comes near this size (8192 counts of at most eleven
// characters, with labels and header, stay far below 1 MiB); only this much
// of a file is ever read.
inline constexpr std::size_t kMaxCsvSourceBytes = 16u << 20;

// The record a file's text gives, filling `fresh`.
ReadResult CsvSourceRecord(std::string_view text, SpectrumRecord& fresh);


}  // namespace vantor
