// The record's header as named values, and a summary of its counts: what
// the viewer's header table, `vantor-cli show` and the Python module show,
// from one list so that they name and order the fields alike.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "base/SpectrumRecord.h"

namespace vantor {

struct RecordField {
  using Value = std::variant<std::int64_t, double, std::string, std::array<double, 3>>;
  std::string_view name;  // the field's name in the record: "SampleTitle", "EGC"
  Value value;            // texts decoded for people (DisplayText)
};

// Every header field in record order, the opaque spare fields left out.
std::vector<RecordField> RecordFields(const Header& header);

// A number as the shortest text that reads back to the same double;
// "NaN", "Inf", "-Inf" for values that are not finite.
std::string NumberText(double value);

// A field's value for people: numbers as NumberText, the calibration as
// "a, b, c".
std::string FieldText(const RecordField::Value& value);

// Whether the calibration gives energies that change with the channel (an
// analyser export read without entered parameters has none).
bool HasCalibration(const MeasureCondition& measure);

struct SpectrumSummary {
  int channels = 0;
  std::int64_t totalCounts = 0;
  std::int32_t maxCount = 0;
  int maxChannel = 0;  // channel number (index + 1) of the first largest count; 0 without channels
  std::optional<std::array<double, 2>> energyRange;  // keV at the first and last channel, when calibrated
};

SpectrumSummary Summarize(std::span<const std::int32_t> counts, const MeasureCondition& measure);
SpectrumSummary Summarize(const SpectrumRecord& record);

}  // namespace vantor
