// SPDX-License-Identifier: GPL-3.0-or-later
// The report file (.RPT), a compact fixed-column text:
//   line 1      the channel count, "####0" right-fitted to 5
//   count block every count aligned under "######0", eight to a line (one
//               empty line when there are none)
//   ident line  SampleID (20) SampleTitle (40) yy/mm/dd hh:mm:ss + 3 blanks
//   load line   "PressLoad,Temperature" left-fitted to 30, LiveTime right-
//               fitted to 7
//   then the angle and press, beam, heater and calibration lines, each
//   left-fitted to 65. Every line ends with CR LF.
#include "formats/Rpt.h"

#include <initializer_list>

#include "base/TextFit.h"
#include "base/TextFormat.h"
#include "base/TextRoutines.h"
#include "formats/OutputText.h"

namespace vantor {
namespace {

constexpr int kCountsPerLine = 8;
constexpr NumberMask kCountMask{"######0"};

void AppendCountBlock(std::string& out, const SpecData& data) {
  const int n = ChannelsToWrite(data);
  LineBuilder lines(out);
  int i = 0;
  do {  // one empty line when there are no counts
    LineBuilder::Line line = lines.Start<kCountsPerLine>();
    for (int k = 0; k < kCountsPerLine && i < n; ++k, ++i) line.Aligned(std::int64_t{data.Count[i]}, kCountMask);
    line.End();
  } while (i < n);
}

void AppendIdentification(std::string& out, const CommonCondition& c) {
  out += LeftFit(FieldOf(c.SampleID), 20);
  out += LeftFit(FieldOf(c.SampleTitle), 40);
  out += FormatShortDate(FieldOf(c.MeasDate));
  out += ' ';
  out += FormatClock(FieldOf(c.MeasTime));
  out += "   \r\n";
}

// Masked values joined by ",", the whole left-fitted to `width`.
void AppendJoined(std::string& out, std::initializer_list<double> values, std::string_view mask, std::size_t width) {
  const std::size_t start = out.size();
  bool first = true;
  for (const double v : values) {
    if (!first) out += ',';
    first = false;
    AppendMask(out, v, mask);
  }
  LeftFitTail(out, start, width);
  out += "\r\n";
}

void AppendConditions(std::string& out, const MeasureCondition& m) {
  std::size_t start = out.size();
  AppendMask(out, m.PressLoad, "###0.000");
  out += ',';
  AppendMask(out, m.Temperature, "#0.0");
  LeftFitTail(out, start, 30);
  start = out.size();
  AppendMask(out, m.LiveTime, "##0.0");
  RightFitTail(out, start, 7);
  out += "\r\n";

  start = out.size();
  AppendMask(out, m.TwoTheta, "##0.00000");
  out += ',';
  AppendMask(out, m.TwoTheta, "##0.00000");
  for (const double v : {m.PressX, m.PressY, m.PressZ, m.PressTZ}) {
    out += ',';
    AppendMask(out, v, "##0.000");
  }
  LeftFitTail(out, start, 65);
  out += "\r\n";

  AppendJoined(out, {m.RingCurrent, m.MiriVolt, m.RateMeter}, "##0.00", 65);
  AppendJoined(out, {m.Volt, m.Current2, m.Power}, "##0.00", 65);

  start = out.size();
  AppendMask(out, m.EGC[0], "###0.000000");
  out += ',';
  AppendMask(out, m.EGC[1], "##0.000000");
  LeftFitTail(out, start, 65);
  out += "\r\n";
}

}  // namespace

void WriteRptBody(std::string& out, const SpecData& data, const Header& header) {
  out.reserve(out.size() + 600 + static_cast<std::size_t>(ChannelsToWrite(data)) * 8);
  const std::size_t start = out.size();
  AppendMask(out, std::int64_t{data.DataNumber}, "####0");
  RightFitTail(out, start, 5);
  out += "\r\n";
  AppendCountBlock(out, data);
  AppendIdentification(out, header.Common);
  AppendConditions(out, header.Measure);
}

Encoded EncodeRpt(const SpectrumRecord& record) { return EncodeText(WriteRptBody, record); }

}  // namespace vantor
