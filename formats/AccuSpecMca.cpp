// SPDX-License-Identifier: GPL-3.0-or-later
// Canberra AccuSpec spectra (.mca). Canberra's description of the file
// ("Appendix B: File structures" of the MCA manual, as cited by xylib) is
// not at hand; the fields read here are those the format's other readers
// rely on and that the known files bear out. Every 16-bit word is
// little-endian; a 32-bit value is two such words, the high one first (the
// PDP-11's order), and the calibration is in PDP-11 floating point:
//
//   0    uint16   0
//   24   uint16   byte offset D of the counts (1024)
//   34   uint16   4, bytes a count
//   36   uint16   channel count N
//   38   uint16   1
//   108  PDP-11 float  energy calibration, constant term (keV)
//   112  PDP-11 float  linear term
//   116  PDP-11 float  quadratic term
//   D    N counts, 32-bit, high word first
//
// The calibration numbers the first channel 1, as xylib reads the format;
// that is the record's own numbering, so the coefficients are taken as they
// are. The header's
// times and dates are not read: no description of them is at hand.
#include "formats/AccuSpecMca.h"

#include <array>
#include <charconv>
#include <cstdint>
#include <limits>
#include <string>

#include "base/ByteReader.h"
#include "formats/CnfSections.h"

namespace vantor {
namespace {

constexpr std::size_t kHeaderBytes = 120;  // through the calibration
constexpr std::size_t kCountsAt = 24, kCountBytesAt = 34, kChannelsAt = 36, kVersionAt = 38;
constexpr std::size_t kCalibrationAt = 108;

// Two 16-bit words, the high one first.
std::uint32_t Pdp11Long(ByteReader& in) {
  const std::uint32_t high = in.U16();
  return high << 16 | in.U16();
}

std::string FloatText(double value) {
  std::array<char, 32> text{};
  const auto end = std::to_chars(text.data(), text.data() + text.size(), static_cast<float>(value)).ptr;
  return {text.data(), end};
}

}  // namespace

bool LooksLikeAccuSpecMca(std::string_view head) {
  if (head.size() < kHeaderBytes) return false;
  ByteReader in(head);
  const auto word = [&](std::size_t at) {
    in.Seek(at);
    return in.U16();
  };
  return word(0) == 0 && word(kCountBytesAt) == 4 && word(kVersionAt) == 1 && word(kChannelsAt) != 0 &&
         word(kCountsAt) >= kHeaderBytes;
}

ReadResult AccuSpecMcaSpectra(std::string_view bytes, std::vector<SourceSpectrum>& spectra) {
  spectra.clear();
  if (!LooksLikeAccuSpecMca(bytes.substr(0, kHeaderBytes)))
    return FileErrorAtByte(0,
                           "not an AccuSpec file: the header words at bytes 0, 24, 34, 36 and 38 are not "
                           "AccuSpec's");
  ByteReader in(bytes);
  in.Seek(kCountsAt);
  const std::size_t countsAt = in.U16();
  in.Seek(kChannelsAt);
  const int channels = in.U16();
  if (channels > kMaxChannels)
    return FileErrorAtByte(kChannelsAt, std::to_string(channels) + " channels; at most 8192 can be read");
  const std::size_t end = countsAt + 4 * static_cast<std::size_t>(channels);
  if (bytes.size() < end)
    return FileErrorAtByte(bytes.size(), "the counts end at byte " + std::to_string(end) + " but the file has " +
                                             std::to_string(bytes.size()) + " bytes");

  SourceSpectrum s{};
  SpectrumRecord& r = s.record;
  in.Seek(countsAt);
  for (int i = 0; i < channels; ++i) {
    const std::uint32_t count = Pdp11Long(in);
    if (count > static_cast<std::uint32_t>(std::numeric_limits<std::int32_t>::max())) {
      const std::size_t at = countsAt + 4 * static_cast<std::size_t>(i);
      return FileErrorAtByte(at, "the count at byte " + std::to_string(at) + " is above 2147483647");
    }
    r.Data.Count[i] = static_cast<std::int32_t>(count);
  }
  r.Data.DataNumber = static_cast<std::int16_t>(channels);

  in.Seek(kCalibrationAt);
  std::array<double, 3> c{};
  for (double& value : c) value = cnf::FromPdp11(in.U32());
  r.Head.Measure.EGC = c;
  s.extra.push_back({"energy calibration", FloatText(c[0]) + " " + FloatText(c[1]) + " " + FloatText(c[2])});
  spectra.push_back(std::move(s));
  return {};
}

}  // namespace vantor
