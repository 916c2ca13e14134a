#include "bench/SourceFiles.h"

#include <algorithm>
#include <cstring>

#include "base/TextFit.h"
#include "base/TextFormat.h"
#include "base/TextRoutines.h"
#include "formats/Npd.h"

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
  std::string text;
  WriteNpdBody(text, r.Data, r.Head);
  return text;
}

}  // namespace vantor::bench
