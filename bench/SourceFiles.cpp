// SPDX-License-Identifier: GPL-3.0-or-later
#include "bench/SourceFiles.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstring>
#include <utility>

#include "base/TextFit.h"
#include "base/TextFormat.h"
#include "base/TextRoutines.h"
#include "formats/Cnf.h"
#include "formats/CnfSections.h"
#include "formats/Npd.h"

namespace vantor::bench {
namespace {

void Put(std::string& bytes, std::size_t offset, std::string_view text, std::size_t width) {
  std::memcpy(bytes.data() + offset, text.data(), std::min(text.size(), width));
}

std::string Trimmed(std::string_view field) {
  return std::string(TrimBlanks(BlankedText(field)));
}

int Channels(const SpectrumRecord& r) {
  return std::clamp<int>(r.Data.DataNumber, 0, kMaxChannels);
}

// The analyser file's sections, placed where the beamline's template has
// them: its sample title at 16 944 and its counts from 25 600 (the template's
// file channel 0 is the data section's count 1).
constexpr std::size_t kParameterSection = 2048;
constexpr std::size_t kSampleSection = 16896;
constexpr std::size_t kEfficiencySection = 19456;
constexpr std::size_t kDataSection = 25088;
constexpr std::size_t kTimesShift = 512;
constexpr std::size_t kCalibrationShift = 737;
constexpr std::size_t kTimes = kParameterSection + cnf::kTimesBase + kTimesShift;
constexpr std::size_t kCalibration = kParameterSection + cnf::kCoefficientsBase + kCalibrationShift;
static_assert(kSampleSection + cnf::kSampleTitle == 16944 && kDataSection + cnf::kDataCounts + 4 == 25604);

void PutNumber(std::string& bytes, std::size_t offset, std::uint64_t value, int size) {
  for (int b = 0; b < size; ++b) bytes[offset + b] = static_cast<char>((value >> (8 * b)) & 0xFF);
}

void PutSections(std::string& bytes) {
  constexpr std::pair<cnf::Section, std::size_t> sections[] = {{cnf::Section::Parameters, kParameterSection},
                                                               {cnf::Section::Sample, kSampleSection},
                                                               {cnf::Section::Efficiency, kEfficiencySection},
                                                               {cnf::Section::Data, kDataSection}};
  std::size_t entry = cnf::kTableStart;
  for (const auto& [kind, start] : sections) {
    for (const std::size_t at : {entry, start}) {
      bytes[at] = static_cast<char>(kind);
      bytes[at + 1] = cnf::kSectionMark;
      bytes[at + 2] = cnf::kEntryVersion;
    }
    PutNumber(bytes, entry + cnf::kEntryStart, start, 4);
    entry += cnf::kEntryBytes;
  }
  PutNumber(bytes, kParameterSection + cnf::kCalibrationShift, kCalibrationShift, 2);
  PutNumber(bytes, kParameterSection + cnf::kTimesShift, kTimesShift, 2);
  Put(bytes, kParameterSection + cnf::kModeKeyword, "PHA ", 4);
  PutNumber(bytes, kParameterSection + cnf::kChannelBlocks, 4096 / cnf::kChannelsPerBlock, 2);
}

// A PDP-11 float: sign, excess-128 exponent, 24-bit mantissa with its
// leading 1 hidden, in two little-endian 16-bit words, high word first.
std::uint32_t ToPdp11(double value) {
  int exponent = 0;
  const double fraction = std::frexp(std::fabs(value), &exponent);
  if (value == 0 || !std::isfinite(value) || exponent + 128 < 1) return 0;
  auto mantissa = static_cast<std::uint32_t>(std::lround(std::ldexp(fraction, 24)));
  if (mantissa == 0x1000000) {  // rounded up to the next power of two
    mantissa >>= 1;
    ++exponent;
  }
  exponent = std::min(exponent + 128, 255);
  const std::uint32_t high =
      (value < 0 ? 0x8000u : 0u) | (static_cast<std::uint32_t>(exponent) << 7) | ((mantissa >> 16) & 0x7F);
  return high | ((mantissa & 0xFFFF) << 16);
}

// yyyymmdd and hhmmss as 100 ns ticks since 1858-11-17; 0 when not a date.
std::uint64_t StartTicks(const CommonCondition& c) {
  int field[6] = {};
  const std::string text = std::string(View(c.MeasDate)) + std::string(View(c.MeasTime));
  for (int i = 0; i < 6; ++i) {
    const char* first = text.data() + (i == 0 ? 0 : 2 + 2 * i);
    const auto [end, error] = std::from_chars(first, first + (i == 0 ? 4 : 2), field[i]);
    if (error != std::errc() || end != first + (i == 0 ? 4 : 2)) return 0;
  }
  using namespace std::chrono;
  const year_month_day date{year{field[0]}, month{static_cast<unsigned>(field[1])},
                            day{static_cast<unsigned>(field[2])}};
  if (!date.ok()) return 0;
  const std::int64_t days = (sys_days{date} - cnf::kTickEpoch).count();
  const std::int64_t seconds = days * 86400 + field[3] * 3600 + field[4] * 60 + field[5];
  return seconds > 0 ? static_cast<std::uint64_t>(seconds) * 10'000'000 : 0;
}

std::uint64_t StoredTime(double seconds) {
  return seconds > 0 ? 0 - static_cast<std::uint64_t>(std::llround(seconds * cnf::kTicksPerSecond)) : 0;
}

}  // namespace

std::string CnfFileBytes(const SpectrumRecord& r) {
  const auto& m = r.Head.Measure;
  std::string bytes(kCnfBlockBytes, '\0');
  PutNumber(bytes, 10, kCnfBlockBytes, 4);  // bytes 10-13: the file size, so byte 11 is 0xA4
  PutSections(bytes);
  // The calibration as the analyser stores it, and the same values in the
  // template's text: both ways of reading the file give the same energies.
  std::array<std::uint32_t, 3> stored{};
  std::array<double, 3> egc{};
  for (int i = 0; i < 2; ++i) {
    stored[i] = ToPdp11(m.EGC[i]);
    egc[i] = cnf::FromPdp11(stored[i]);
  }
  for (int i = 0; i < 3; ++i) PutNumber(bytes, kCalibration + 4 * i, stored[i], 4);
  Put(bytes, kCalibration + cnf::kUnitAfterCoefficients, "keV     ", cnf::kUnitBytes);
  PutNumber(bytes, kTimes, StartTicks(r.Head.Common), 8);
  PutNumber(bytes, kTimes + 8, StoredTime(m.RealTime), 8);
  PutNumber(bytes, kTimes + 16, StoredTime(m.LiveTime), 8);

  Put(bytes, 16944, Trimmed(View(r.Head.Common.SampleTitle)), 64);
  Put(bytes, 17008, Trimmed(View(r.Head.Common.SampleID)), 16);
  Put(bytes, 17622, FormatPlain(m.Pressure) + " " + FormatPlain(m.Temperature), 24);
  Put(bytes, 17774, FormatMask(m.TwoTheta, "0.0000"), 24);
  Put(bytes, 17966, FormatPlain(egc[0]) + " " + FormatPlain(egc[1]), 64);
  const int n = std::min(Channels(r), 4096);
  for (int k = 0; k < n; ++k) PutNumber(bytes, kDataSection + cnf::kDataCounts + 4 * k, r.Data.Count[k], 4);
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
