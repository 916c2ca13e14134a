#include "bench/SourceFiles.h"

#include <algorithm>
#include <cstring>

#include "convert/TextFormat.h"
#include "convert/TextRoutines.h"

namespace vantor::bench {
namespace {

void Put(std::string& bytes, std::size_t offset, std::string_view text, std::size_t width) {
  std::memcpy(bytes.data() + offset, text.data(), std::min(text.size(), width));
}

std::string Trimmed(std::string_view field) {
  return std::string(TrimBlanks(FieldText(field)));
}

int Channels(const SpectrumRecord& r) {
  return std::clamp<int>(r.Data.DataNumber, 0, kMaxChannels);
}

}  // namespace

std::string CnfFileBytes(const SpectrumRecord& r) {
  const auto& m = r.Head.Measure;
  std::string bytes(41984, '\0');
  bytes[11] = static_cast<char>(0xA4);
  Put(bytes, 16944, Trimmed(View(r.Head.Common.SampleTitle)), 64);
  Put(bytes, 17008, Trimmed(View(r.Head.Common.SampleID)), 16);
  Put(bytes, 17622, FormatPlain(m.Pressure) + " " + FormatPlain(m.Temperature), 24);
  Put(bytes, 17774, FormatMask(m.TwoTheta, "0.0000"), 24);
  Put(bytes, 17966, FormatPlain(m.EGC[0]) + " " + FormatPlain(m.EGC[1]), 64);
  const int n = std::min(Channels(r), 4095);
  for (int k = 0; k < n; ++k) {
    const auto v = static_cast<std::uint32_t>(r.Data.Count[k]);
    for (int b = 0; b < 4; ++b) bytes[25604 + 4 * k + b] = static_cast<char>((v >> (8 * b)) & 0xFF);
  }
  return bytes;
}

std::string CsvSourceText(const SpectrumRecord& r) {
  const auto& c = r.Head.Common;
  const auto& m = r.Head.Measure;
  const int n = Channels(r);
  std::string text = "\"Spectrum export\",\"MCA\"\r\n";
  text += "\"" + Trimmed(View(c.SampleTitle)) + "\"," + FormatShortDate(View(c.MeasDate)) + "," +
          FormatClock(View(c.MeasTime)) + "," + FormatPlain(m.LiveTime) + "," + FormatPlain(m.RealTime) + "\r\n";
  text += "\"Preset\",\"Real\"\r\n\"Gain\",1\r\n\"Channels\"\r\n";
  text += "0,1," + std::to_string(n) + "\r\n";
  text += "\"" + Trimmed(View(c.SampleID)) + "\",\"" + Trimmed(View(c.Operator)) + "\"\r\n";
  text += "\"Channel\",\"Counts\"\r\n";
  for (int start = 0; start < n; start += 10) {
    text += "\"" + std::to_string(start) + "\"";
    for (int i = start; i < std::min(n, start + 10); ++i) text += "," + std::to_string(r.Data.Count[i]);
    text += "\r\n";
  }
  return text;
}

std::string NpdFileText(const SpectrumRecord& r) {
  const auto& c = r.Head.Common;
  const auto& m = r.Head.Measure;
  const int n = Channels(r);
  auto line = [](std::string& out, std::string_view label, const std::string& value) {
    out.append(label).append(value).append("\r\n");
  };
  auto items = [](std::initializer_list<std::pair<const char*, std::string>> list) {
    std::string out;
    for (const auto& [name, value] : list) out.append(name).append(value);
    return out;
  };
  const bool live = m.MeasureType == 1 || m.MeasureType == 3;
  std::string t;
  line(t, "Record length,", "27");
  line(t, "Sample name,", Trimmed(View(c.SampleTitle)));
  line(t, "Operator name,", Trimmed(View(c.Operator)));
  line(t, "Profile number,", Trimmed(View(c.SampleID)));
  line(t, "Time,", FormatLongDate(View(c.MeasDate), '-') + " " + FormatClock(View(c.MeasTime)));
  line(t, "Measurement mode,", live ? "Live" : (m.MeasureType == 4 ? "Separate" : "Real"));
  for (int i = 0; i < 3; ++i) line(t, "EGC" + std::to_string(i) + ",", FormatMask(m.EGC[i], "0.00000E+000"));
  line(t, "2Theta(deg),", FormatMask(m.TwoTheta, "#0.0000"));
  line(t, "Live time(sec),", FormatMask(m.LiveTime, "#0.00"));
  line(t, "Real time(sec),", FormatMask(m.RealTime, "#0.00"));
  line(t, "Dead time(%),", FormatMask(m.DeadTime, "#0.00000"));
  line(t, "Temperature(K),", FormatMask(m.Temperature + 273.15, "#0.00"));
  line(t, "Press load(ton),", FormatMask(m.PressLoad, "#0.00"));
  line(t, "Ring status,current(mA)=", FormatMask(m.RingCurrent, "#0.00"));
  line(t, "Beam intensity,", FormatMask(m.MiriVolt, "#0.00"));
  line(t, "Counting rate,", FormatMask(m.RateMeter, "#0.00"));
  const char* mm = "#0.000";
  line(t, "Press conditions,",
       items({{" X(mm)=", FormatMask(m.PressX, mm)},
              {" Y(mm)=", FormatMask(m.PressY, mm)},
              {" Z(mm)=", FormatMask(m.PressZ, mm)},
              {" PHI(deg)=", FormatMask(m.PressTZ, mm)}}));
  line(t, "Incident slit conditions,",
       items({{" V(mm)=", FormatMask(m.InSlitV, mm)}, {" H(mm)=", FormatMask(m.InSlitH, mm)}}));
  line(t, "Receiving slit conditions,",
       items({{" V(mm)=", FormatMask(m.ReSlitV, mm)},
              {" H(mm)=", FormatMask(m.ReSlitH, mm)},
              {" Collimator(mm)=", FormatMask(m.CollimatorSize, mm)}}));
  line(t, "Heating conditions,",
       items({{" V(V)=", FormatMask(m.Volt, "#0.00")},
              {" C(A)=", FormatMask(m.Current2, "#0.00")},
              {" P(W)=", FormatMask(m.Power, "#0.00")},
              {" R(OHM)=", FormatMask(m.Resistance, mm)}}));
  line(t, "Comment,", FieldText(View(c.Comment)));
  line(t, "Ram Stroke,", FormatMask(m.RamStroke, "#0.00"));
  for (int i = 0; i < 3; ++i) line(t, ",", "");
  line(t, "Data length, ", std::to_string(n));
  line(t, "Counting sec, ", FormatMask(live ? m.LiveTime : m.RealTime, "#0.000"));
  for (int i = 0; i < n; ++i) {
    line(t, std::to_string(i + 1) + "," + FormatMask(EnergyOfChannel(i + 1, m.EGC), "0.0000") + ",",
         std::to_string(r.Data.Count[i]));
  }
  return t;
}

}  // namespace vantor::bench
