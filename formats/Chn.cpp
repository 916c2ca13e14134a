// SPDX-License-Identifier: GPL-3.0-or-later
// Ortec CHN spectra. The layout is Ortec's (the "Software File Structure
// Manual" for its MCA programs), little-endian throughout:
//
//   0   int16    -1, the file type
//   2   int16    MCA number
//   4   int16    segment number
//   6   char[2]  start time, seconds "ss"
//   8   uint32   real time, 20 ms ticks
//   12  uint32   live time, 20 ms ticks
//   16  char[8]  start date "ddMmmyyC": C is '1' from the year 2000 on
//   24  char[4]  start time "hhmm"
//   28  uint16   start channel: the analyser channel of the first count
//   30  uint16   channel count N
//   32  uint32   N counts
//
// and, when the file goes on, a trailer of 512 bytes from T = 32 + 4N:
//
//   T+0    int16    -101, or -102 when the calibrations are quadratic
//   T+4    float32  energy calibration: constant, linear, quadratic (-102 only)
//   T+16   float32  FWHM calibration: constant, linear, quadratic (-102 only)
//   T+256  uint8    detector description length, then up to 63 characters
//   T+320  uint8    sample description length, then up to 63 characters
//
// The calibration counts the analyser's channels from 0, so count k (from 0)
// lies at channel k + start channel. Maestro writes 0 + 1 x channel for a
// spectrum that was never calibrated; that is read as no calibration (EGC
// 0 0 0), not as one keV a channel, which would give every d-spacing a
// meaningless value. The stored coefficients stay in the extra values.
#include "formats/Chn.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cstdint>
#include <limits>
#include <string>

#include "base/ByteReader.h"
#include "base/Cp932.h"
#include "base/TextRoutines.h"

namespace vantor {
namespace {

constexpr std::size_t kHeaderBytes = 32;
constexpr std::size_t kTrailerBytes = 512;
constexpr double kTickSeconds = 0.02;
constexpr std::size_t kDescriptionMax = 63;

std::string FloatText(float value) {
  std::array<char, 32> text{};
  const auto end = std::to_chars(text.data(), text.data() + text.size(), value).ptr;
  return {text.data(), end};
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

bool TwoDigits(std::string_view text, int& value) {
  if (text.size() != 2 || !IsDigit(text[0]) || !IsDigit(text[1])) return false;
  value = (text[0] - '0') * 10 + (text[1] - '0');
  return true;
}

int MonthNumber(std::string_view name) {
  static constexpr std::array<std::string_view, 12> kMonths = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                               "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  for (std::size_t i = 0; i < kMonths.size(); ++i)
    if (EqualsIgnoreCase(name, kMonths[i])) return static_cast<int>(i) + 1;
  return 0;
}

// Date "ddMmmyyC" and time "hhmm" + "ss" into MeasDate and MeasTime; a
// field that does not hold a date or a time leaves its record field unset.
// A century mark other than '1' or '0' (some writers leave a blank) counts
// years 70 to 99 as 19yy and the others as 20yy.
void SetStart(std::string_view date, std::string_view hhmm, std::string_view ss, CommonCondition& c) {
  int day = 0, year = 0, hour = 0, minute = 0, second = 0;
  const int month = MonthNumber(date.substr(2, 3));
  if (TwoDigits(date.substr(0, 2), day) && day >= 1 && day <= 31 && month != 0 && TwoDigits(date.substr(5, 2), year)) {
    const char century = date[7];
    year += century == '1' ? 2000 : century == '0' ? 1900 : year >= 70 ? 1900 : 2000;
    std::array<char, 16> text{};
    std::to_chars(text.data(), text.data() + 4, year);
    text[4] = static_cast<char>('0' + month / 10), text[5] = static_cast<char>('0' + month % 10);
    text[6] = date[0], text[7] = date[1];
    AssignText(c.MeasDate, std::string_view(text.data(), 8));
  }
  if (TwoDigits(hhmm.substr(0, 2), hour) && hour < 24 && TwoDigits(hhmm.substr(2, 2), minute) && minute < 60 &&
      TwoDigits(ss, second) && second < 60)
    AssignText(c.MeasTime, std::string(hhmm) + std::string(ss));
}

// Energies of the file's calibration c at channel k + start (k from 0)
// equal EnergyOfChannel(x) at x = k + 1.
std::array<double, 3> ChannelOneCoefficients(const std::array<float, 3>& c, int start) {
  const double shift = start - 1.0;
  const double c0 = c[0], c1 = c[1], c2 = c[2];
  return {c0 + c1 * shift + c2 * shift * shift, c1 + 2 * c2 * shift, c2};
}

// A description's characters up to its length (at most 63), without the
// blanks and zero bytes around them.
std::string Description(ByteReader& in, std::size_t at) {
  in.Seek(at);
  const std::size_t length = std::min<std::size_t>(in.U8(), kDescriptionMax);
  std::string text(length, '\0');
  in.Bytes(text.data(), length);
  const auto first = text.find_first_not_of(std::string_view(" \0", 2));
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(std::string_view(" \0", 2)) - first + 1);
}

// The extra values are UTF-8; the analyser programs write single-byte
// Windows texts, read here as Latin-1.
std::string Latin1ToUtf8(std::string_view text) {
  std::string out;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x80) {
      out += c;
    } else {
      out += static_cast<char>(0xC0 | byte >> 6);
      out += static_cast<char>(0x80 | (byte & 0x3F));
    }
  }
  return out;
}

std::array<float, 3> Floats(ByteReader& in, std::size_t at, bool quadratic) {
  in.Seek(at);
  std::array<float, 3> c{};
  for (int i = 0; i < (quadratic ? 3 : 2); ++i) c[i] = std::bit_cast<float>(in.U32());
  return c;
}

std::string CoefficientsText(const std::array<float, 3>& c, bool quadratic) {
  std::string text = FloatText(c[0]) + " " + FloatText(c[1]);
  if (quadratic) text += " " + FloatText(c[2]);
  return text;
}

// The trailer from `at` to the end of the file: calibrations and texts.
ReadResult ReadTrailer(std::string_view bytes, std::size_t at, int start, SourceSpectrum& s) {
  if (bytes.size() - at < kTrailerBytes)
    return FileErrorAtByte(at, "the trailer at byte " + std::to_string(at) + " holds " +
                                   std::to_string(bytes.size() - at) + " of its 512 bytes");
  ByteReader in(bytes);
  in.Seek(at);
  const bool quadratic = in.I16() == -102;
  const auto energy = Floats(in, at + 4, quadratic);
  const auto fwhm = Floats(in, at + 16, quadratic);
  const std::string detector = Description(in, at + 256);
  const std::string sample = Description(in, at + 320);

  s.extra.push_back({"energy calibration", CoefficientsText(energy, quadratic)});
  s.extra.push_back({"FWHM calibration", CoefficientsText(fwhm, quadratic)});
  if (!detector.empty()) s.extra.push_back({"detector", Latin1ToUtf8(detector)});
  if (energy[0] == 0 && energy[1] == 1 && energy[2] == 0) {
    s.notes.push_back("energy calibration 0 + 1 x channel is the analyser's uncalibrated default: no calibration");
  } else {
    s.record.Head.Measure.EGC = ChannelOneCoefficients(energy, start);
  }
  if (!sample.empty()) {
    bool replaced = false;
    AssignText(s.record.Head.Common.SampleTitle, Utf8ToCp932(sample, &replaced));
    if (replaced) s.notes.push_back("title: characters code page 932 cannot hold were written as \"?\"");
  }
  return {};
}

}  // namespace

bool LooksLikeChn(std::string_view head) {
  ByteReader in(head);
  return head.size() >= kHeaderBytes && in.I16() == -1;
}

ReadResult ChnSpectra(std::string_view bytes, std::vector<SourceSpectrum>& spectra) {
  spectra.clear();
  if (bytes.size() < kHeaderBytes)
    return FileErrorAtByte(bytes.size(), "the header ends at byte " + std::to_string(bytes.size()) + " of 32");
  ByteReader in(bytes);
  if (in.I16() != -1) return FileErrorAtByte(0, "not a CHN file: the first word is not -1");
  SourceSpectrum s{};
  const int mca = in.I16(), segment = in.I16();
  in.Seek(8);
  const double real = in.U32() * kTickSeconds, live = in.U32() * kTickSeconds;
  in.Seek(28);
  const int start = in.U16(), channels = in.U16();
  if (channels == 0) return FileErrorAtByte(30, "the channel count at byte 30 is 0");
  if (channels > kMaxChannels)
    return FileErrorAtByte(30, std::to_string(channels) + " channels; at most 8192 can be read");
  const std::size_t end = kHeaderBytes + 4 * static_cast<std::size_t>(channels);
  if (bytes.size() < end)
    return FileErrorAtByte(bytes.size(), "the counts end at byte " + std::to_string(end) + " but the file has " +
                                             std::to_string(bytes.size()) + " bytes");

  SpectrumRecord& r = s.record;
  in.Seek(kHeaderBytes);
  for (int i = 0; i < channels; ++i) {
    const std::uint32_t count = in.U32();
    if (count > static_cast<std::uint32_t>(std::numeric_limits<std::int32_t>::max()))
      return FileErrorAtByte(kHeaderBytes + 4 * i,
                             "the count at byte " + std::to_string(kHeaderBytes + 4 * i) + " is above 2147483647");
    r.Data.Count[i] = static_cast<std::int32_t>(count);
  }
  r.Data.DataNumber = static_cast<std::int16_t>(channels);
  r.Head.Measure.RealTime = real;
  r.Head.Measure.LiveTime = live;
  r.Head.Measure.DeadTime = DeadTimePercent(real, live);
  SetStart(bytes.substr(16, 8), bytes.substr(24, 4), bytes.substr(6, 2), r.Head.Common);
  s.extra = {{"MCA number", std::to_string(mca)},
             {"segment", std::to_string(segment)},
             {"start channel", std::to_string(start)}};

  // Bytes that do not start with a trailer mark (-101 or -102: 9B FF or
  // 9A FF) are not a trailer: files without one end at the counts, and some
  // writers pad them. A lone 9A or 9B is a trailer cut short.
  const std::string_view tail = bytes.substr(end);
  const bool marked =
      !tail.empty() && (tail[0] == '\x9A' || tail[0] == '\x9B') && (tail.size() == 1 || tail[1] == '\xFF');
  if (marked) {
    if (ReadResult trailer = ReadTrailer(bytes, end, start, s); !trailer) return trailer;
  }
  spectra.push_back(std::move(s));
  return {};
}

}  // namespace vantor
