// SPDX-License-Identifier: GPL-3.0-or-later
// Analyser files. The beamline's template (41 984 bytes with byte 11 =
// 0xA4, 46 592 bytes with 0xB6; bytes 10-13 hold the file size) is read at
// fixed places, as the beamline's programs always read it; every other
// analyser file through its own section table (CnfSections.cpp).
//
// Template layout (offsets in bytes; B is the block base):
//      11  layout byte: 0xB6 gives B = 4608, 0xA4 B = 0
// B+16944  sample title, 64 bytes
// B+17008  sample identifier, 16 bytes
// B+17622  pressure and temperature text, 24 bytes
// B+17774  angle text, 24 bytes (first number: 2theta in degrees)
// B+17966  calibration text, 64 bytes (constant and linear term)
// B+25604  counts of file channels 0..4094, i32 each (the file ends there)
// The record keeps them one channel higher, with file channel 0 in Count[0]
// and Count[1]. The calibrations of the programs that read our outputs rely
// on that shift. The template is itself a section-table file whose data
// section starts at B+25088: file channel k is the section's count k + 1, so
// both ways of reading it give the same Count[j] for j >= 1.
#include "formats/Cnf.h"

#include <array>
#include <optional>
#include <string_view>

#include "base/ByteReader.h"
#include "base/TextRoutines.h"
#include "formats/CnfSections.h"

namespace vantor {
namespace {

constexpr std::size_t kLayoutByte = 11;
constexpr char kPlainLayout = static_cast<char>(0xA4);
constexpr char kShiftedLayout = static_cast<char>(0xB6);
constexpr std::size_t kTitle = 16944;
constexpr std::size_t kIdentifier = 17008;
constexpr std::size_t kPressureText = 17622;
constexpr std::size_t kAngleText = 17774;
constexpr std::size_t kCalibrationText = 17966;
constexpr std::size_t kCounts = 25604;
constexpr int kFileChannelsKept = 4095;  // file channels 0..4094
constexpr std::int16_t kCnfChannels = 4096;
static_assert(kCounts + 4 * kFileChannelsKept == kCnfBlockBytes);

// The numbers of a text field: the text ends at its first zero byte, since
// the analyser pads its texts with zeros.
std::array<double, 11> NumbersOf(ByteReader& in, std::size_t offset, std::size_t length) {
  std::array<char, 64> raw{};
  in.Seek(offset);
  in.Bytes(raw.data(), length);
  std::string_view text(raw.data(), length);
  text = text.substr(0, text.find('\0'));
  std::array<double, 11> values{};
  SplitNumbers(text, values);
  return values;
}

// The template's block base, when the file is the template: its exact size
// and the layout byte that goes with it.
std::optional<std::size_t> TemplateBase(std::string_view bytes) {
  if (bytes.size() == kCnfBlockBytes && bytes[kLayoutByte] == kPlainLayout) return 0;
  if (bytes.size() == kCnfShiftedBase + kCnfBlockBytes && bytes[kLayoutByte] == kShiftedLayout) return kCnfShiftedBase;
  return std::nullopt;
}

void TemplateRecord(std::string_view bytes, std::size_t base, SpectrumRecord& fresh) {
  ByteReader in(bytes);
  CommonCondition& c = fresh.Head.Common;
  MeasureCondition& m = fresh.Head.Measure;
  in.Seek(base + kTitle);
  in.Bytes(c.SampleTitle);
  std::array<char, 16> identifier{};
  in.Seek(base + kIdentifier);
  in.Bytes(identifier);
  AssignText(c.SampleID, std::string_view(identifier.data(), identifier.size()));
  AssignText(c.Operator, "");

  const auto calibration = NumbersOf(in, base + kCalibrationText, 64);
  m.EGC = {calibration[0], calibration[1], 0.0};
  const auto conditions = NumbersOf(in, base + kPressureText, 24);
  m.Pressure = conditions[0];
  m.Temperature = conditions[1];
  m.TwoTheta = NumbersOf(in, base + kAngleText, 24)[0];

  in.Seek(base + kCounts);
  for (int k = 0; k < kFileChannelsKept; ++k) fresh.Data.Count[k + 1] = in.I32();
  fresh.Data.Count[0] = fresh.Data.Count[1];
  fresh.Data.DataNumber = kCnfChannels;
}

}  // namespace

ReadResult CnfRecord(std::string_view bytes, SpectrumRecord& fresh) {
  const auto base = TemplateBase(bytes);
  if (!base) return cnf::SectionTableRecord(bytes, fresh);
  TemplateRecord(bytes, *base, fresh);
  return {};
}

}  // namespace vantor
