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

void AddCommon(FieldList& f, const CommonCondition& c) {
  f.Add("DataType", c.DataType);
  f.Add("SampleTitle", c.SampleTitle);
  f.Add("SampleID", c.SampleID);
  f.Add("MeasDate", c.MeasDate);
  f.Add("MeasTime", c.MeasTime);
  f.Add("Operator", c.Operator);
  f.Add("Comment", c.Comment);
  f.Add("SourceFormat", c.SourceFormat);
}

void AddMeasure(FieldList& f, const MeasureCondition& m) {
  f.Add("MeasureType", m.MeasureType);
  f.Add("PrsRTime", m.PrsRTime);
  f.Add("PrsLTime", m.PrsLTime);
  f.Add("ROIStart", m.ROIStart);
  f.Add("ROIEnd", m.ROIEnd);
  f.Add("ROISigma", m.ROISigma);
  f.Add("EGC", m.EGC);
  f.Add("TwoTheta", m.TwoTheta);
  f.Add("Volt", m.Volt);
  f.Add("RingCurrent", m.RingCurrent);
  f.Add("Pressure", m.Pressure);
  f.Add("Temperature", m.Temperature);
  f.Add("MiriVolt", m.MiriVolt);
  f.Add("RateMeter", m.RateMeter);
  f.Add("GainConv", m.GainConv);
  f.Add("RealTime", m.RealTime);
  f.Add("LiveTime", m.LiveTime);
  f.Add("PressX", m.PressX);
  f.Add("PressY", m.PressY);
  f.Add("PressZ", m.PressZ);
  f.Add("PressTZ", m.PressTZ);
  f.Add("HGonioX", m.HGonioX);
  f.Add("HGonioY", m.HGonioY);
  f.Add("HGonioZ", m.HGonioZ);
  f.Add("VGonioX", m.VGonioX);
  f.Add("VGonioY", m.VGonioY);
  f.Add("VGonioZ", m.VGonioZ);
  f.Add("VAngle", m.VAngle);
  f.Add("PressLoad", m.PressLoad);
  f.Add("RamStroke", m.RamStroke);
  f.Add("Power", m.Power);
  f.Add("Resistance", m.Resistance);
  f.Add("RingCurrent2", m.RingCurrent2);
  f.Add("DeadTime", m.DeadTime);
  f.Add("InSlitV", m.InSlitV);
  f.Add("InSlitH", m.InSlitH);
  f.Add("InSlitX", m.InSlitX);
  f.Add("InSlitZ", m.InSlitZ);
  f.Add("InSlitTY", m.InSlitTY);
  f.Add("ReSlitV", m.ReSlitV);
  f.Add("ReSlitH", m.ReSlitH);
  f.Add("ReSlitX", m.ReSlitX);
  f.Add("ReSlitZ", m.ReSlitZ);
  f.Add("ReSlitTY", m.ReSlitTY);
  f.Add("CollimatorSize", m.CollimatorSize);
  f.Add("Current2", m.Current2);
}

}  // namespace

std::vector<RecordField> RecordFields(const Header& header) {
  FieldList fields;
  AddCommon(fields, header.Common);
  AddMeasure(fields, header.Measure);
  return fields.Take();
}

std::string NumberText(double value) {
  if (std::isnan(value)) return "NaN";
  if (std::isinf(value)) return value > 0 ? "Inf" : "-Inf";
  char buffer[32];
  const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
  return {buffer, end};
}

std::string FieldText(const RecordField::Value& value) {
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

bool HasCalibration(const MeasureCondition& measure) {
  return measure.EGC[1] != 0 || measure.EGC[2] != 0;
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
