// SPDX-License-Identifier: GPL-3.0-or-later
// Analyser files of any layout, read through their own section table (the
// layout is described in CnfSections.h). Every read is bounds checked; a
// file that lacks what the record needs is a file error, never a record
// made of whatever bytes happen to lie at a guessed place.
#include "formats/CnfSections.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <limits>
#include <optional>
#include <string>

#include "base/ByteReader.h"

namespace vantor::cnf {
namespace {

struct SectionStarts {
  std::size_t parameters = 0;  // 0: not found (no section starts inside the table)
  std::size_t sample = 0;
  std::size_t data = 0;
  bool cut = false;  // the table, or a section it names, runs past the end of the file
};

bool StartsSection(std::string_view bytes, std::size_t start, Section kind) {
  return start + 2 <= bytes.size() && bytes[start] == static_cast<char>(kind) && bytes[start + 1] == kSectionMark;
}

// The first section of each kind whose start repeats its kind. The table
// ends at an empty entry or where the first section starts; entries of other
// forms (some files hold a "05 40 00" entry) are passed over.
SectionStarts FindSections(std::string_view bytes) {
  SectionStarts found;
  std::size_t tableEnd = bytes.size();
  for (std::size_t entry = kTableStart; entry + kEntryBytes <= tableEnd; entry += kEntryBytes) {
    ByteReader in(bytes);
    in.Seek(entry);
    const auto kind = static_cast<Section>(in.U8());
    const char mark = static_cast<char>(in.U8());
    const char version = static_cast<char>(in.U8());
    in.Seek(entry + kEntryStart);
    const std::size_t start = in.U32();
    if (in.Failed() || start >= bytes.size()) found.cut = true;
    if (start == 0 && mark == 0) break;
    if (mark != kSectionMark || version != kEntryVersion || start < entry + kEntryBytes) continue;
    tableEnd = std::min(tableEnd, start);
    if (!StartsSection(bytes, start, kind)) continue;
    std::size_t* slot = kind == Section::Parameters ? &found.parameters
                        : kind == Section::Sample   ? &found.sample
                        : kind == Section::Data     ? &found.data
                                                    : nullptr;
    if (slot != nullptr && *slot == 0) *slot = start;
  }
  return found;
}

std::array<double, 3> CoefficientsAt(ByteReader& in, std::size_t offset) {
  in.Seek(offset);
  std::array<double, 3> c{};
  for (double& value : c) value = FromPdp11(in.U32());
  return c;
}

// keV per unit of the calibration's unit text; none for a unit that is no
// energy (or none at all): such coefficients give no energies.
std::optional<double> KeVPerUnit(ByteReader& in, std::size_t coefficients) {
  std::array<char, kUnitBytes> text{};
  in.Seek(coefficients + kUnitAfterCoefficients);
  in.Bytes(text);
  if (in.Failed()) return std::nullopt;
  std::string_view unit(text.data(), text.size());
  unit = unit.substr(0, unit.find_first_of(std::string_view(" \0", 2)));
  if (unit == "keV" || unit == "KeV" || unit == "KEV" || unit == "kev") return 1.0;
  if (unit == "MeV" || unit == "MEV") return 1000.0;
  if (unit == "eV" || unit == "EV" || unit == "ev") return 0.001;
  return std::nullopt;
}

// The calibration in keV where the parameter section points, or at its
// fixed place when that one has no linear term (as other readers of the
// format do); 0 0 0 when its unit is no energy.
std::array<double, 3> Calibration(std::string_view bytes, std::size_t parameters) {
  ByteReader in(bytes);
  in.Seek(parameters + kCalibrationShift);
  std::size_t at = parameters + kCoefficientsBase + in.U16();
  auto c = CoefficientsAt(in, at);
  if (in.Failed() || c[1] == 0) {
    in = ByteReader(bytes);
    at = parameters + kCoefficientsBase;
    c = CoefficientsAt(in, at);
  }
  const auto scale = KeVPerUnit(in, at);
  if (!scale) return {};
  for (double& value : c) value *= *scale;
  return c;
}

// A stored time: its 100 ns ticks negated (0 stays 0: never set).
double Seconds(std::uint64_t stored) {
  return static_cast<double>(0 - stored) / kTicksPerSecond;
}

// yyyymmdd and hhmmss of a start date; nothing for 0 or a year past 9999.
void SetStart(std::uint64_t ticks, CommonCondition& c) {
  using namespace std::chrono;
  if (ticks == 0) return;
  const std::uint64_t seconds = ticks / 10'000'000;
  // Compared as day counts: the largest tick count lies some 58 000 years
  // on, beyond the years std::chrono::year holds (up to 32767).
  constexpr auto kLastDay = sys_days{year{9999} / December / 31} - kTickEpoch;
  const std::uint64_t dayCount = seconds / 86400;
  if (dayCount > static_cast<std::uint64_t>(kLastDay.count())) return;
  const year_month_day date{kTickEpoch + days{static_cast<days::rep>(dayCount)}};
  const auto clock = static_cast<int>(seconds % 86400);
  std::array<char, 40> text{};
  std::snprintf(text.data(), text.size(), "%04d%02u%02u", static_cast<int>(date.year()),
                static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()));
  AssignText(c.MeasDate, text.data());
  std::snprintf(text.data(), text.size(), "%02d%02d%02d", clock / 3600, clock / 60 % 60, clock % 60);
  AssignText(c.MeasTime, text.data());
}

ReadResult ReadTimes(std::string_view bytes, std::size_t parameters, SpectrumRecord& fresh) {
  ByteReader in(bytes);
  in.Seek(parameters + kTimesShift);
  const std::size_t at = parameters + kTimesBase + in.U16();
  in.Seek(at);
  const std::uint64_t start = in.U64();
  const double real = Seconds(in.U64());
  const double live = Seconds(in.U64());
  if (in.Failed())
    return FileErrorAtByte(at, "the acquisition times at byte " + std::to_string(at) + " lie past the end");
  MeasureCondition& m = fresh.Head.Measure;
  m.RealTime = real;
  m.LiveTime = live;
  m.DeadTime = DeadTimePercent(real, live);
  SetStart(start, fresh.Head.Common);
  return {};
}

ReadResult ReadCounts(std::string_view bytes, std::size_t data, int channels, SpecData& out) {
  const std::size_t first = data + kDataCounts;
  const std::size_t end = first + 4 * static_cast<std::size_t>(channels);
  if (end > bytes.size())
    return FileErrorAtByte(bytes.size(), "file ends at byte " + std::to_string(bytes.size()) + "; its " +
                                             std::to_string(channels) + " counts end at byte " + std::to_string(end));
  ByteReader in(bytes);
  in.Seek(first);
  for (int k = 0; k < channels; ++k) {
    const std::uint32_t count = in.U32();
    if (count > static_cast<std::uint32_t>(std::numeric_limits<std::int32_t>::max()))
      return FileErrorAtByte(first + 4 * k, "count of channel " + std::to_string(k) + " is " + std::to_string(count) +
                                                ", above 2147483647");
    out.Count[k] = static_cast<std::int32_t>(count);
  }
  out.DataNumber = static_cast<std::int16_t>(channels);
  return {};
}

// Title and identifier, when the file has a sample section holding them.
void ReadSample(std::string_view bytes, std::size_t sample, CommonCondition& c) {
  if (sample == 0) return;
  ByteReader in(bytes);
  Text<64> title{};
  std::array<char, 16> identifier{};
  in.Seek(sample + kSampleTitle);
  in.Bytes(title);
  in.Seek(sample + kSampleIdentifier);
  in.Bytes(identifier);
  if (in.Failed()) return;
  c.SampleTitle = title;
  AssignText(c.SampleID, std::string_view(identifier.data(), identifier.size()));
}

}  // namespace

double FromPdp11(std::uint32_t bits) {
  const std::uint32_t high = bits & 0xFFFF, low = bits >> 16;
  const int exponent = static_cast<int>((high >> 7) & 0xFF);
  if (exponent == 0) return 0.0;  // zero, or the "reserved operand", which no calibration holds
  const std::uint32_t mantissa = 0x800000 | ((high & 0x7F) << 16) | low;
  const double value = std::ldexp(static_cast<double>(mantissa), exponent - 128 - 24);
  return (high & 0x8000) != 0 ? -value : value;
}

ReadResult SectionTableRecord(std::string_view bytes, SpectrumRecord& fresh) {
  const SectionStarts s = FindSections(bytes);
  if ((s.parameters == 0 || s.data == 0) && s.cut)
    return FileErrorAtByte(bytes.size(), "file ends at byte " + std::to_string(bytes.size()) +
                                             ", inside the sections its header names: the file is cut");
  if (s.parameters == 0 || s.data == 0)
    return FileErrorAtByte(kTableStart,
                           "neither the beamline's layout (41 984 bytes with byte 11 = 0xA4, 46 592 with 0xB6) nor "
                           "an analyser file whose section table names a parameter and a data section");
  ByteReader in(bytes);
  in.Seek(s.parameters + kChannelBlocks);
  const int channels = in.U16() * kChannelsPerBlock;
  if (in.Failed())
    return FileErrorAtByte(bytes.size(), "the parameter section at byte " + std::to_string(s.parameters) +
                                             " is cut short by the end of the file");
  if (channels == 0 || channels > kMaxChannels)
    return FileErrorAtByte(s.parameters + kChannelBlocks,
                           std::to_string(channels) + " channels; a spectrum holds 256 to 8192");

  if (ReadResult times = ReadTimes(bytes, s.parameters, fresh); !times) return times;
  if (ReadResult counts = ReadCounts(bytes, s.data, channels, fresh.Data); !counts) return counts;
  const auto c = Calibration(bytes, s.parameters);
  fresh.Head.Measure.EGC = {c[0], c[1], c[2]};
  ReadSample(bytes, s.sample, fresh.Head.Common);
  AssignText(fresh.Head.Common.Operator, "");
  return {};
}

}  // namespace vantor::cnf
