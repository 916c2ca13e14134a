// SPDX-License-Identifier: GPL-3.0-or-later
// The header's named values and the count summary.
#include "base/RecordFields.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "base/Cp932.h"

namespace vantor {
namespace {

class FieldList {
 public:
  template <std::size_t N>
  void Add(std::string_view name, const Text<N>& text) {
    fields_.push_back({name, DisplayText(text)});
  }
  void Add(std::string_view name, std::int16_t value) { fields_.push_back({name, std::int64_t{value}}); }
  void Add(std::string_view name, double value) { fields_.push_back({name, value}); }
  void Add(std::string_view name, const std::array<double, 3>& values) { fields_.push_back({name, values}); }
  std::vector<RecordField> Take() { return std::move(fields_); }

 private:
  std::vector<RecordField> fields_;
};

}  // namespace

std::vector<RecordField> RecordFields(const Header& header) {
  FieldList fields;
  ForEachHeaderField(header, [&fields](std::string_view name, const auto& field) { fields.Add(name, field); });
  return fields.Take();
}

std::string NumberText(double value) {
  if (std::isnan(value)) return "NaN";
  if (std::isinf(value)) return value > 0 ? "Inf" : "-Inf";
  char buffer[32];
  const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
  return {buffer, end};
}

std::string FieldValueText(const RecordField::Value& value) {
  struct Visitor {
    std::string operator()(std::int64_t v) const { return std::to_string(v); }
    std::string operator()(double v) const { return NumberText(v); }
    std::string operator()(const std::string& v) const { return v; }
    std::string operator()(const std::array<double, 3>& v) const {
      return NumberText(v[0]) + ", " + NumberText(v[1]) + ", " + NumberText(v[2]);
    }
  };
  return std::visit(Visitor{}, value);
}

bool HasCalibration(const std::array<double, 3>& egc) {
  return egc[1] != 0 || egc[2] != 0;
}

SpectrumSummary Summarize(std::span<const std::int32_t> counts, const MeasureCondition& measure) {
  SpectrumSummary s;
  s.channels = static_cast<int>(counts.size());
  for (std::size_t i = 0; i < counts.size(); ++i) {
    s.totalCounts += counts[i];
    if (s.maxChannel == 0 || counts[i] > s.maxCount) {
      s.maxCount = counts[i];
      s.maxChannel = static_cast<int>(i) + 1;
    }
  }
  if (s.channels > 0 && HasCalibration(measure))
    s.energyRange = std::array<double, 2>{EnergyOfChannel(1, measure.EGC), EnergyOfChannel(s.channels, measure.EGC)};
  return s;
}

SpectrumSummary Summarize(const SpectrumRecord& record) {
  const int channels = std::clamp<int>(record.Data.DataNumber, 0, kMaxChannels);
  return Summarize(std::span(record.Data.Count.data(), channels), record.Head.Measure);
}

}  // namespace vantor
