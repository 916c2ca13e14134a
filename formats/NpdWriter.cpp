// SPDX-License-Identifier: GPL-3.0-or-later
// The profile file (.NPD), comma-separated text, every line ending CR LF:
//   lines 1-24   "label," + value (line 16 "Ring status,current(mA)=");
//                lines 19-22 are groups of " name=value" items
//   lines 25-27  ","
//   line 28      "Data length, " + N
//   line 29      "Counting sec, " + live or real time by MeasureType
//   then         "channel,energy,count" for each channel, e.g. 1,0.3089,1523
// "Record length,27" counts the lines before "Data length, ". Temperatures
// are stored in degrees Celsius and written in kelvin.
#include "formats/Npd.h"

#include "base/TextFit.h"
#include "base/TextFormat.h"
#include "formats/OutputText.h"

namespace vantor {
namespace {

constexpr NumberMask kWholeMask{"0"};
constexpr NumberMask kEnergyMask{"0.0000"};

void Trimmed(std::string& out, std::string_view label, std::string_view field) {
  out += label;
  out += TrimBlanks(field);
  out += "\r\n";
}

// " name=value" items following each other on one line.
void Item(std::string& out, std::string_view name, double value, std::string_view mask) {
  out += name;
  AppendMask(out, value, mask);
}

struct Mode {
  std::string_view word;
  double countingTime;
};

Mode ModeOf(const MeasureCondition& m) {
  if (m.MeasureType == 1 || m.MeasureType == 3) return {"Live", m.LiveTime};
  if (m.MeasureType == 4) return {"Separate", m.RealTime};
  return {"Real", m.RealTime};
}

void AppendIdentification(std::string& out, const CommonCondition& c, const Mode& mode) {
  out += "Record length,27\r\n";
  Trimmed(out, "Sample name,", FieldOf(c.SampleTitle));
  Trimmed(out, "Operator name,", FieldOf(c.Operator));
  Trimmed(out, "Profile number,", FieldOf(c.SampleID));
  out += "Time,";
  AppendDateTime(out, c.MeasDate, c.MeasTime);
  out += "\r\nMeasurement mode,";
  out += mode.word;
  out += "\r\n";
}

void AppendConditions(std::string& out, const MeasureCondition& m) {
  AppendMaskedLine(out, "EGC0,", m.EGC[0], "0.00000E+000");
  AppendMaskedLine(out, "EGC1,", m.EGC[1], "0.00000E+000");
  AppendMaskedLine(out, "EGC2,", m.EGC[2], "0.00000E+000");
  AppendMaskedLine(out, "2Theta(deg),", m.TwoTheta, "#0.0000");
  AppendMaskedLine(out, "Live time(sec),", m.LiveTime, "#0.00");
  AppendMaskedLine(out, "Real time(sec),", m.RealTime, "#0.00");
  AppendMaskedLine(out, "Dead time(%),", m.DeadTime, "#0.00000");
  AppendMaskedLine(out, "Temperature(K),", m.Temperature + kZeroCelsiusInKelvin, "#0.00");
  AppendMaskedLine(out, "Press load(ton),", m.PressLoad, "#0.00");
  AppendMaskedLine(out, "Ring status,current(mA)=", m.RingCurrent, "#0.00");
  AppendMaskedLine(out, "Beam intensity,", m.MiriVolt, "#0.00");
  AppendMaskedLine(out, "Counting rate,", m.RateMeter, "#0.00");
  out += "Press conditions,";
  Item(out, " X(mm)=", m.PressX, "#0.000");
  Item(out, " Y(mm)=", m.PressY, "#0.000");
  Item(out, " Z(mm)=", m.PressZ, "#0.000");
  Item(out, " PHI(deg)=", m.PressTZ, "#0.000");
  out += "\r\nIncident slit conditions,";
  Item(out, " V(mm)=", m.InSlitV, "#0.000");
  Item(out, " H(mm)=", m.InSlitH, "#0.000");
  out += "\r\nReceiving slit conditions,";
  Item(out, " V(mm)=", m.ReSlitV, "#0.000");
  Item(out, " H(mm)=", m.ReSlitH, "#0.000");
  Item(out, " Collimator(mm)=", m.CollimatorSize, "#0.000");
  out += "\r\nHeating conditions,";
  Item(out, " V(V)=", m.Volt, "#0.00");
  Item(out, " C(A)=", m.Current2, "#0.00");
  Item(out, " P(W)=", m.Power, "#0.00");
  Item(out, " R(OHM)=", m.Resistance, "#0.000");
  out += "\r\n";
}

}  // namespace

void WriteNpdBody(std::string& out, const SpecData& data, const Header& header) {
  const CommonCondition& c = header.Common;
  const MeasureCondition& m = header.Measure;
  const int n = ChannelsToWrite(data);
  out.reserve(out.size() + 1200 + static_cast<std::size_t>(n) * 20);
  const Mode mode = ModeOf(m);
  AppendIdentification(out, c, mode);
  AppendConditions(out, m);
  out += "Comment,";
  out += FieldOf(c.Comment);  // whole, trailing blanks included
  out += "\r\n";
  AppendMaskedLine(out, "Ram Stroke,", m.RamStroke, "#0.00");
  out += ",\r\n,\r\n,\r\nData length, ";
  AppendInt(out, data.DataNumber);
  out += "\r\n";
  AppendMaskedLine(out, "Counting sec, ", mode.countingTime, "#0.000");
  LineBuilder lines(out);
  for (int i = 0; i < n; ++i) {
    LineBuilder::Line line = lines.Start<3>();
    line.Masked(std::int64_t{i + 1}, kWholeMask);
    line.Put(',');
    line.Masked(EnergyOfChannel(i + 1, m.EGC), kEnergyMask);
    line.Put(',');
    line.Masked(std::int64_t{data.Count[i]}, kWholeMask);
    line.End();
  }
}

Encoded EncodeNpd(const SpectrumRecord& record) { return EncodeText(WriteNpdBody, record); }

}  // namespace vantor
