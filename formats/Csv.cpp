// SPDX-License-Identifier: GPL-3.0-or-later
// The CSV output (not the layout the CSV source reader takes):
//   ten lines "label,value, " (press, load, pressure, temperature, live
//   time, EGC(0), EGC(1), 2θ), two empty lines, "N, , ",
//   "Channel,Energy,Count" and one line "channel,energy,count" per channel.
// The θ of "2θ" is its code page 932 pair 0x83 0xC6. Lines end with CR LF.
#include "formats/Csv.h"

#include "base/TextFormat.h"
#include "formats/OutputText.h"

namespace vantor {
namespace {

constexpr NumberMask kChannelMask{"######"};
constexpr NumberMask kEnergyMask{"###0.000"};
constexpr NumberMask kCountMask{"######0"};

void Condition(std::string& out, std::string_view label, double value, std::string_view mask) {
  out += label;
  out += ',';
  AppendMask(out, value, mask);
  out += ", \r\n";
}

}  // namespace

void WriteCsvBody(std::string& out, const SpecData& data, const Header& header) {
  const MeasureCondition& m = header.Measure;
  const int n = ChannelsToWrite(data);
  out.reserve(out.size() + 300 + static_cast<std::size_t>(n) * 22);
  Condition(out, "Press X", m.PressX, "##0.000");
  Condition(out, "Press Y", m.PressY, "##0.000");
  Condition(out, "Press Z", m.PressZ, "##0.000");
  Condition(out, "Press Load", m.PressLoad, "###0.000");
  Condition(out, "Pressure", m.Pressure, "###0.000");
  Condition(out, "Temperature", m.Temperature, "####0.000");
  Condition(out, "Live Time", m.LiveTime, "#####0.00");
  Condition(out, "EGC(0)", m.EGC[0], "#####0.000000");
  Condition(out, "EGC(1)", m.EGC[1], "#####0.000000");
  Condition(out, "2\x83\xC6", m.TwoTheta, "#####0.00000");
  out += "\r\n\r\n";
  AppendMask(out, std::int64_t{data.DataNumber}, "###0");
  out += ", , \r\n";
  out += "Channel,Energy,Count\r\n";
  LineBuilder lines(out);
  for (int i = 0; i < n; ++i) {
    LineBuilder::Line line = lines.Start<3>();
    line.Masked(std::int64_t{i + 1}, kChannelMask);
    line.Put(',');
    line.Masked(EnergyOfChannel(i + 1, m.EGC), kEnergyMask);
    line.Put(',');
    line.Masked(std::int64_t{data.Count[i]}, kCountMask);
    line.End();
  }
}

Encoded EncodeCsv(const SpectrumRecord& record) { return EncodeText(WriteCsvBody, record); }

}  // namespace vantor
