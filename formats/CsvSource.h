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

// Fills SampleTitle, MeasDate, MeasTime, LiveTime, RealTime, DeadTime,
// DataNumber, SampleID and the counts, starting from a fresh record.
// Not found for a missing or unreadable file; a file error when the file
// ends before all fields were read, the real time is 0, the channel count
// is outside 1..8192 or a count does not fit 32 bits. The record
// changes only when the read succeeds.
ReadResult ReadCsvFile(const std::string& path, SpectrumRecord& record);

}  // namespace vantor
