// The analyser export (.csv source): a comma-separated text file with the
// sample title, date, time, live and real time, the channel count, the
// sample identifier and the counts, but no calibration, angle or
// temperature (the conversion takes those from the parameter entry). Its
// layout differs from the CSV output's.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "base/ConvertContext.h"
#include "base/SpectrumRecord.h"

namespace vantor {

// No valid export comes near this size (8192 counts of at most eleven
// characters, with labels and header, stay far below 1 MiB); only this much
// of a file is ever read.
inline constexpr std::size_t kMaxCsvSourceBytes = 16u << 20;

// The record a file's text gives, from a fresh one; no value where the
// reader reports "File Error".
std::optional<SpectrumRecord> CsvSourceRecord(std::string_view text);

// Fills SampleTitle, MeasDate, MeasTime, LiveTime, RealTime, DeadTime,
// DataNumber, SampleID and the counts, starting from a fresh record.
// "Fine NotFound" for a missing or unreadable file; "File Error" when the
// file ends before all fields were read, the real time is 0, the channel
// count is outside -32768..8192 or a count does not fit 32 bits. On false
// the caller's record is left alone.
bool ReadCsvFile(const std::string& path, SpecData& data, Header& header, ConvertContext& context);

}  // namespace vantor
