// SPDX-License-Identifier: GPL-3.0-or-later
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

// Every field a person reads or sets, in record order, the opaque spare
// fields left out: visit(name, field). `H` is Header or const Header, so one
// list serves reading and setting.
template <typename H, typename Visit>
void ForEachHeaderField(H& header, Visit&& visit) {
  auto& c = header.Common;
  visit("DataType", c.DataType);
  visit("SampleTitle", c.SampleTitle);
  visit("SampleID", c.SampleID);
  visit("MeasDate", c.MeasDate);
  visit("MeasTime", c.MeasTime);
  visit("Operator", c.Operator);
  visit("Comment", c.Comment);
  visit("SourceFormat", c.SourceFormat);
  auto& m = header.Measure;
  visit("MeasureType", m.MeasureType);
  visit("PrsRTime", m.PrsRTime);
  visit("PrsLTime", m.PrsLTime);
  visit("ROIStart", m.ROIStart);
  visit("ROIEnd", m.ROIEnd);
  visit("ROISigma", m.ROISigma);
  visit("EGC", m.EGC);
  visit("TwoTheta", m.TwoTheta);
  visit("Volt", m.Volt);
  visit("RingCurrent", m.RingCurrent);
  visit("Pressure", m.Pressure);
  visit("Temperature", m.Temperature);
  visit("MiriVolt", m.MiriVolt);
  visit("RateMeter", m.RateMeter);
  visit("GainConv", m.GainConv);
  visit("RealTime", m.RealTime);
  visit("LiveTime", m.LiveTime);
  visit("PressX", m.PressX);
  visit("PressY", m.PressY);
  visit("PressZ", m.PressZ);
  visit("PressTZ", m.PressTZ);
  visit("HGonioX", m.HGonioX);
  visit("HGonioY", m.HGonioY);
  visit("HGonioZ", m.HGonioZ);
  visit("VGonioX", m.VGonioX);
  visit("VGonioY", m.VGonioY);
  visit("VGonioZ", m.VGonioZ);
  visit("VAngle", m.VAngle);
  visit("PressLoad", m.PressLoad);
  visit("RamStroke", m.RamStroke);
  visit("Power", m.Power);
  visit("Resistance", m.Resistance);
  visit("RingCurrent2", m.RingCurrent2);
  visit("DeadTime", m.DeadTime);
  visit("InSlitV", m.InSlitV);
  visit("InSlitH", m.InSlitH);
  visit("InSlitX", m.InSlitX);
  visit("InSlitZ", m.InSlitZ);
  visit("InSlitTY", m.InSlitTY);
  visit("ReSlitV", m.ReSlitV);
  visit("ReSlitH", m.ReSlitH);
  visit("ReSlitX", m.ReSlitX);
  visit("ReSlitZ", m.ReSlitZ);
  visit("ReSlitTY", m.ReSlitTY);
  visit("CollimatorSize", m.CollimatorSize);
  visit("Current2", m.Current2);
}

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
std::string FieldValueText(const RecordField::Value& value);

// Whether the calibration gives energies that change with the channel (an
// analyser export read without entered parameters has none; 0 0 0 is "no
// energy calibration" for every source).
bool HasCalibration(const std::array<double, 3>& egc);
inline bool HasCalibration(const MeasureCondition& measure) { return HasCalibration(measure.EGC); }

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
