// SPDX-License-Identifier: GPL-3.0-or-later
// The text file (.TXT):
//   "CommonCondition:" and "MeasureCondition:" sections, one field a line,
//   each a 16-character label ending in "= " and the value from column 17;
//   then "SpecData:", "DataNumber         =" + the count, the column heading,
//   one line per channel (channel "###0", energy "######0.000", count
//   "######0", each aligned on its point, no separator), "SpecData_End:" and
//   an empty line. Text fields are written whole; every line ends with CR LF.
#include "formats/Txt.h"

#include "base/TextFit.h"
#include "base/TextFormat.h"
#include "base/TextRoutines.h"
#include "formats/OutputText.h"

namespace vantor {
namespace {

constexpr NumberMask kChannelMask{"###0"};
constexpr NumberMask kEnergyMask{"######0.000"};
constexpr NumberMask kCountMask{"######0"};

void Integer(std::string& out, std::string_view label, std::int64_t value) {
  out += label;
  AppendInt(out, value);
  out += "\r\n";
}

void Number(std::string& out, std::string_view label, double value) {
  out += label;
  AppendPlain(out, value);
  out += "\r\n";
}

void Line(std::string& out, std::string_view label, std::string_view value) {
  out += label;
  out += value;
  out += "\r\n";
}

void AppendCommon(std::string& out, const CommonCondition& c, const MeasureCondition& m) {
  out += "CommonCondition:\r\n";
  Integer(out, "DataType      = ", c.DataType);
  Line(out, "SampleTitle   = ", FieldOf(c.SampleTitle));
  Line(out, "SampleID      = ", FieldOf(c.SampleID));
  Number(out, "Ring Current  = ", m.RingCurrent);
  Line(out, "Meas Date     = ", FormatLongDate(FieldOf(c.MeasDate), '/'));
  Line(out, "Meas Time     = ", FormatClock(FieldOf(c.MeasTime)));
  Line(out, "Operator      = ", FieldOf(c.Operator));
  const std::string comment = FieldOf(c.Comment);
  Line(out, "Comment1      = ", SjisSlice(comment, 0, 50));
  Line(out, "Comment2      = ", SjisSlice(comment, 50, 50));
  out += "\r\n";
}

// The measurement mode and presets, then slit, goniometer and press positions.
void AppendPositions(std::string& out, const MeasureCondition& m) {
  out += "MeasureCondition:\r\n";
  Integer(out, " Measure Type = ", m.MeasureType);
  Number(out, "Prs R Time    = ", m.PrsRTime);
  Number(out, "Prs L Time    = ", m.PrsLTime);
  Integer(out, "ROI Start     = ", m.ROIStart);
  Integer(out, "ROI End       = ", m.ROIEnd);
  Number(out, "ROI Sigma     = ", m.ROISigma);
  constexpr std::string_view k3 = "##0.000";
  AppendMaskedLine(out, "In Slit V     = ", m.InSlitV, k3);
  AppendMaskedLine(out, "In Slit H     = ", m.InSlitH, k3);
  AppendMaskedLine(out, "In Slit X     = ", m.InSlitX, k3);
  AppendMaskedLine(out, "In Slit Z     = ", m.InSlitZ, k3);
  AppendMaskedLine(out, "In Slit TY    = ", m.InSlitTY, k3);
  AppendMaskedLine(out, "Re Slit V     = ", m.ReSlitV, k3);
  AppendMaskedLine(out, "Re Slit H     = ", m.ReSlitH, k3);
  AppendMaskedLine(out, "Re Slit X     = ", m.ReSlitX, k3);
  AppendMaskedLine(out, "Re Slit Z     = ", m.ReSlitZ, k3);
  AppendMaskedLine(out, "Re Slit TY    = ", m.ReSlitTY, k3);
  AppendMaskedLine(out, "H_Gonio X     = ", m.HGonioX, k3);
  AppendMaskedLine(out, "H_Gonio Y     = ", m.HGonioY, k3);
  AppendMaskedLine(out, "H_Gonio Z     = ", m.HGonioZ, k3);
  AppendMaskedLine(out, "H_Angle       = ", m.TwoTheta, "##0.00000");
  AppendMaskedLine(out, "V_Gonio X     = ", m.VGonioX, k3);
  AppendMaskedLine(out, "V_Gonio Y     = ", m.VGonioY, k3);
  AppendMaskedLine(out, "V_Gonio Z     = ", m.VGonioZ, k3);
  AppendMaskedLine(out, "V_Angle       = ", m.VAngle, k3);
  AppendMaskedLine(out, "Press X       = ", m.PressX, k3);
  AppendMaskedLine(out, "Press Y       = ", m.PressY, k3);
  AppendMaskedLine(out, "Press Z       = ", m.PressZ, k3);
  AppendMaskedLine(out, "PressTZ       = ", m.PressTZ, k3);
}

// The press, heater, monitor and time lines, and the calibration block.
void AppendConditions(std::string& out, const MeasureCondition& m) {
  AppendMaskedLine(out, "Press Load    = ", m.PressLoad, "###0.000");
  AppendMaskedLine(out, "Pressure      = ", m.Pressure, "###0.000");
  Number(out, "Ram Stroke    = ", m.RamStroke);
  AppendMaskedLine(out, "Tempurature   = ", m.Temperature, "####0.000");
  AppendMaskedLine(out, "Current2      = ", m.Current2, "####0.000");
  AppendMaskedLine(out, "Volt          = ", m.Volt, "####0.000");
  AppendMaskedLine(out, "Power         = ", m.Power, "####0.000");
  AppendMaskedLine(out, "Registance    = ", m.Resistance, "#####0.000");
  AppendMaskedLine(out, "Miri Volt     = ", m.MiriVolt, "###0.000");
  AppendMaskedLine(out, "Colimeter Size= ", m.CollimatorSize, "###0.000");
  Number(out, "Rate Meter    = ", m.RateMeter);
  AppendMaskedLine(out, "Dead Time     = ", m.DeadTime, "#####0.00");
  AppendMaskedLine(out, "Real Time     = ", m.RealTime, "#####0.00");
  AppendMaskedLine(out, "Live Time     = ", m.LiveTime, "#####0.00");
  out += "\r\n";
  AppendMaskedLine(out, "Energy Cal A  = ", m.EGC[0], "#####0.000000");
  AppendMaskedLine(out, "Energy Cal B  = ", m.EGC[1], "#####0.000000");
  AppendMaskedLine(out, "Energy Cal C  = ", m.EGC[2], "#####0.000000");
  AppendMaskedLine(out, "2Sita         = ", m.TwoTheta, "#####0.00000");
  Integer(out, "Gain Conv     = ", m.GainConv);
}

void AppendChannels(std::string& out, const SpecData& data, const MeasureCondition& m) {
  out += "SpecData:\r\n";
  out += "DataNumber         =";
  AppendMask(out, std::int64_t{data.DataNumber}, "###0");
  out += "\r\n";
  out +=
      "  Ch "
      "   keV  "
      " Intencity\r\n";
  const int n = ChannelsToWrite(data);
  {
    LineBuilder lines(out);
    for (int i = 0; i < n; ++i) {
      LineBuilder::Line line = lines.Start<3>();
      line.Aligned(std::int64_t{i + 1}, kChannelMask);
      line.Aligned(EnergyOfChannel(i + 1, m.EGC), kEnergyMask);
      line.Aligned(std::int64_t{data.Count[i]}, kCountMask);
      line.End();
    }
  }  // all channel lines are in `out` from here on
  out += "SpecData_End:\r\n\r\n";
}

}  // namespace

void WriteTxtBody(std::string& out, const SpecData& data, const Header& header) {
  out.reserve(out.size() + 2400 + static_cast<std::size_t>(ChannelsToWrite(data)) * 24);
  AppendCommon(out, header.Common, header.Measure);
  AppendPositions(out, header.Measure);
  AppendConditions(out, header.Measure);
  AppendChannels(out, data, header.Measure);
}

Encoded EncodeTxt(const SpectrumRecord& record) { return EncodeText(WriteTxtBody, record); }

}  // namespace vantor
