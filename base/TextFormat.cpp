// SPDX-License-Identifier: GPL-3.0-or-later
// Number masks, plain number text and width fitting (see TextFormat.h).
#include "base/TextFormat.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

#include "base/TextRoutines.h"

namespace vantor {
namespace {

// A finite value as decimal digits: value = 0.d[0]d[1]... x 10^point, with
// at most 15 significant digits and no trailing zeros (count 0 for zero).
struct Decimal {
  char d[24];
  int count = 0;
  int point = 0;
  bool negative = false;
};

#ifdef __SIZEOF_INT128__
// The everyday range without the general floating-point printer: the value
// is m / 2^shift exactly; scaled by a power of ten in 128-bit integers and
// rounded half to even it gives the same 15 digits the printer gives.
bool DecomposeExactly(double magnitude, Decimal& dec) {
  using mask_detail::kPowersOfTen;
  if (!(magnitude >= 1e-5 && magnitude < 1e15)) return false;
  int e2 = 0;
  const double fraction = std::frexp(magnitude, &e2);
  const auto m = static_cast<std::uint64_t>(std::ldexp(fraction, 53));
  const int shift = 53 - e2;  // 3 .. 70 in this range
  // First guess of the decimal exponent; corrected below when it is off.
  int q = static_cast<int>(std::floor(std::log10(magnitude)));
  for (int attempt = 0; attempt < 3; ++attempt) {
    const int s = 14 - q;
    if (s < 0 || s > 19) return false;
    const unsigned __int128 scaled = static_cast<unsigned __int128>(m) * kPowersOfTen[s];
    std::uint64_t n = static_cast<std::uint64_t>(scaled >> shift);
    const unsigned __int128 rest = scaled & ((static_cast<unsigned __int128>(1) << shift) - 1);
    const unsigned __int128 half = static_cast<unsigned __int128>(1) << (shift - 1);
    if (rest > half || (rest == half && (n & 1))) ++n;
    if (n >= kPowersOfTen[15]) {
      ++q;
    } else if (n < kPowersOfTen[14]) {
      --q;
    } else {
      std::to_chars(dec.d, dec.d + 15, n);
      dec.count = 15;
      while (dec.count > 1 && dec.d[dec.count - 1] == '0') --dec.count;
      dec.point = q + 1;
      return true;
    }
  }
  return false;
}
#else
bool DecomposeExactly(double, Decimal&) {
  return false;
}
#endif

Decimal Decompose(double value) {
  Decimal dec;
  dec.negative = std::signbit(value) && value != 0;
  const double magnitude = std::fabs(value);
  if (magnitude == 0 || DecomposeExactly(magnitude, dec)) return dec;
  // "d.dddddddddddddde+XX": the value correctly rounded to 15 digits.
  char buf[32];
  const auto end = std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific, 14).ptr;
  dec.d[0] = buf[0];
  std::memcpy(dec.d + 1, buf + 2, 14);
  dec.count = 15;
  while (dec.count > 1 && dec.d[dec.count - 1] == '0') --dec.count;
  int exponent = 0;
  std::from_chars(buf + 17 + (buf[17] == '+'), end, exponent);
  dec.point = exponent + 1;
  return dec;
}

// Keeps `keep` leading digits, rounding half away from zero.
void RoundToDigits(Decimal& dec, int keep) {
  if (keep >= dec.count) return;
  if (keep < 0) {
    dec.count = 0;
    return;
  }
  const bool up = dec.d[keep] >= '5';
  dec.count = keep;
  if (!up) {
    while (dec.count > 0 && dec.d[dec.count - 1] == '0') --dec.count;
    return;
  }
  int i = keep - 1;
  while (i >= 0 && dec.d[i] == '9') --i;
  if (i < 0) {  // 9.99 -> 10.0: one digit more in front
    dec.d[0] = '1';
    dec.count = 1;
    ++dec.point;
    return;
  }
  ++dec.d[i];
  dec.count = i + 1;
}

bool AppendNonFinite(std::string& out, double value) {
  if (std::isnan(value)) {
    out += "NaN";
  } else if (std::isinf(value)) {
    out += value < 0 ? "-Inf" : "Inf";
  } else {
    return false;
  }
  return true;
}

// Longest digit-mask text: sign, 309 integer digits, point, the decimals.
// Leading zeros beyond 309 would write past it, so a mask's "0"s before its
// point count up to that many.
constexpr int kMaxDecimals = 64;
constexpr int kMaxIntegerDigits = 309;
constexpr std::size_t kDigitBuffer = 1 + kMaxIntegerDigits + 1 + kMaxDecimals;

struct DigitMask {
  int minIntegerDigits = 0;  // the "0"s before the point
  int decimals = 0;
};

DigitMask ParseDigitMask(std::string_view mask) {
  DigitMask m;
  const auto point = mask.find('.');
  for (std::size_t i = 0; i < mask.size(); ++i) {
    if (mask[i] != '0' && mask[i] != '#') continue;
    if (point == std::string_view::npos || i < point) {
      if (mask[i] == '0' && m.minIntegerDigits < kMaxIntegerDigits) ++m.minIntegerDigits;
    } else {
      if (m.decimals < kMaxDecimals) ++m.decimals;
    }
  }
  return m;
}

// Writes the masked value into buf (kDigitBuffer bytes); returns its length.
std::size_t DigitMaskChars(char* buf, double value, const DigitMask& m) {
  Decimal dec = Decompose(value);
  RoundToDigits(dec, dec.point + m.decimals);
  if (dec.count == 0) dec.point = 0;  // rounded to zero
  char* p = buf;
  if (dec.negative) *p++ = '-';
  const int integerDigits = dec.point > 0 ? dec.point : 0;
  for (int i = integerDigits; i < m.minIntegerDigits; ++i) *p++ = '0';
  for (int i = 0; i < integerDigits; ++i) *p++ = i < dec.count ? dec.d[i] : '0';
  if (m.decimals > 0) {
    *p++ = '.';
    for (int i = 0; i < m.decimals; ++i) {
      const int index = dec.point + i;  // digit index of this decimal place
      *p++ = index >= 0 && index < dec.count ? dec.d[index] : '0';
    }
  }
  return static_cast<std::size_t>(p - buf);
}

std::size_t IntegerMaskChars(char* buf, std::int64_t value, const DigitMask& m) {
  char digits[24];
  const std::uint64_t magnitude = value < 0 ? 0 - static_cast<std::uint64_t>(value) : value;
  const auto end = std::to_chars(digits, digits + sizeof digits, magnitude).ptr;
  const int count = magnitude == 0 ? 0 : static_cast<int>(end - digits);
  char* p = buf;
  if (value < 0) *p++ = '-';
  for (int i = count; i < m.minIntegerDigits; ++i) *p++ = '0';
  std::memcpy(p, digits, count);
  p += count;
  if (m.decimals > 0) {
    *p++ = '.';
    std::memset(p, '0', m.decimals);
    p += m.decimals;
  }
  return static_cast<std::size_t>(p - buf);
}

void AppendExponent(std::string& out, int exponent, int minDigits) {
  out += exponent < 0 ? '-' : '+';
  char buf[16];
  const auto r = std::to_chars(buf, buf + sizeof buf, exponent < 0 ? -exponent : exponent);
  for (int i = static_cast<int>(r.ptr - buf); i < minDigits; ++i) out += '0';
  out.append(buf, r.ptr);
}

// "0.00000E+00" and the like: one digit, the mask's decimals, exponent.
void AppendScientific(std::string& out, double value, std::string_view mask) {
  const auto e = mask.find_first_of("Ee");
  const auto point = mask.find('.');
  const int decimals = point != std::string_view::npos && point < e ? static_cast<int>(e - point - 1) : 0;
  int exponentDigits = 0;
  for (std::size_t i = e + 1; i < mask.size(); ++i) exponentDigits += mask[i] == '0';
  Decimal dec = Decompose(value);
  RoundToDigits(dec, 1 + decimals);
  if (dec.negative) out += '-';
  out += dec.count > 0 ? dec.d[0] : '0';
  if (decimals > 0) out += '.';
  for (int i = 1; i <= decimals; ++i) out += i < dec.count ? dec.d[i] : '0';
  out += mask[e];
  AppendExponent(out, dec.count > 0 ? dec.point - 1 : 0, exponentDigits);
}

// 1-based column of the first "." of a text, or its length when it has none.
std::size_t PointColumn(std::string_view text) {
  const auto p = text.find('.');
  return p == std::string_view::npos ? text.size() : p + 1;
}

// Appends the text with blanks in front so that its point sits where the
// mask has its point.
void AppendAtPoint(std::string& out, std::string_view text, std::string_view mask) {
  const std::size_t wanted = PointColumn(mask);
  const std::size_t have = PointColumn(text);
  if (wanted > have) out.append(wanted - have, ' ');
  out.append(text);
}

void GeneralMask(std::string& out, double value, std::string_view mask) {
  if (AppendNonFinite(out, value)) return;
  if (mask.find_first_of("Ee") != std::string_view::npos) {
    AppendScientific(out, value, mask);
    return;
  }
  char buf[kDigitBuffer];
  out.append(buf, DigitMaskChars(buf, value, ParseDigitMask(mask)));
}

void GeneralMask(std::string& out, std::int64_t value, std::string_view mask) {
  if (mask.find_first_of("Ee") != std::string_view::npos) {
    AppendScientific(out, static_cast<double>(value), mask);
    return;
  }
  char buf[kDigitBuffer];
  out.append(buf, IntegerMaskChars(buf, value, ParseDigitMask(mask)));
}

void GeneralAligned(std::string& out, double value, std::string_view mask) {
  if (mask.find_first_of("Ee") != std::string_view::npos || !std::isfinite(value)) {
    std::string text;
    GeneralMask(text, value, mask);
    AppendAtPoint(out, text, mask);
    return;
  }
  char buf[kDigitBuffer];
  AppendAtPoint(out, {buf, DigitMaskChars(buf, value, ParseDigitMask(mask))}, mask);
}

void GeneralAligned(std::string& out, std::int64_t value, std::string_view mask) {
  char buf[kDigitBuffer];
  AppendAtPoint(out, {buf, IntegerMaskChars(buf, value, ParseDigitMask(mask))}, mask);
}

}  // namespace

// Every mask goes the direct way first; what that cannot take, the general.
void AppendMask(std::string& out, double value, std::string_view mask) {
  AppendMask(out, value, NumberMask(mask));
}

void AppendMask(std::string& out, std::int64_t value, std::string_view mask) {
  AppendMask(out, value, NumberMask(mask));
}

std::string FormatMask(double value, std::string_view mask) {
  std::string out;
  AppendMask(out, value, mask);
  return out;
}

void AppendMask(std::string& out, double value, const NumberMask& m) {
  char buf[kMaskTextRoom];
  if (const char* end = WriteMask(buf, value, m)) {
    out.append(buf, static_cast<std::size_t>(end - buf));
  } else {
    GeneralMask(out, value, m.mask);
  }
}

void AppendMask(std::string& out, std::int64_t value, const NumberMask& m) {
  char buf[kMaskTextRoom];
  if (const char* end = WriteMask(buf, value, m)) {
    out.append(buf, static_cast<std::size_t>(end - buf));
  } else {
    GeneralMask(out, value, m.mask);
  }
}

void AppendAligned(std::string& out, double value, const NumberMask& m) {
  char buf[kMaskTextRoom];
  if (const char* end = WriteAligned(buf, value, m)) {
    out.append(buf, static_cast<std::size_t>(end - buf));
  } else {
    GeneralAligned(out, value, m.mask);
  }
}

void AppendAligned(std::string& out, std::int64_t value, const NumberMask& m) {
  char buf[kMaskTextRoom];
  if (const char* end = WriteAligned(buf, value, m)) {
    out.append(buf, static_cast<std::size_t>(end - buf));
  } else {
    GeneralAligned(out, value, m.mask);
  }
}

void AppendPlain(std::string& out, double value) {
  if (AppendNonFinite(out, value)) return;
  const Decimal dec = Decompose(value);
  if (dec.count == 0) {
    out += '0';
    return;
  }
  if (dec.negative) out += '-';
  const int exponent = dec.point - 1;
  if (exponent < -4 || exponent >= 15) {
    out += dec.d[0];
    if (dec.count > 1) {
      out += '.';
      out.append(dec.d + 1, dec.count - 1);
    }
    out += 'E';
    AppendExponent(out, exponent, 2);
  } else if (dec.point <= 0) {
    out += "0.";
    out.append(-dec.point, '0');
    out.append(dec.d, dec.count);
  } else if (dec.count <= dec.point) {
    out.append(dec.d, dec.count);
    out.append(dec.point - dec.count, '0');
  } else {
    out.append(dec.d, dec.point);
    out += '.';
    out.append(dec.d + dec.point, dec.count - dec.point);
  }
}

std::string FormatPlain(double value) {
  std::string out;
  AppendPlain(out, value);
  return out;
}

void AppendInt(std::string& out, std::int64_t value) {
  char buf[24];
  const auto r = std::to_chars(buf, buf + sizeof buf, value);
  out.append(buf, r.ptr);
}

std::string FormatUncertain(double value, double sigma, bool plusMinus) {
  if (!(sigma > 0) || !std::isfinite(sigma) || !std::isfinite(value)) return FormatPlain(value);
  constexpr int kMostDecimals = 15;
  const int decimals = std::clamp(1 - static_cast<int>(std::floor(std::log10(sigma))), 0, kMostDecimals);
  const std::string mask = decimals == 0 ? "0" : "0." + std::string(static_cast<std::size_t>(decimals), '0');
  // Two significant digits of sigma, also when they reach past the units.
  const double unit = std::pow(10.0, std::floor(std::log10(sigma)) - 1);
  const double rounded = decimals > 0 ? sigma : std::round(sigma / unit) * unit;
  if (plusMinus) return FormatMask(value, mask) + " \u00b1 " + FormatMask(rounded, mask);
  const double digits = decimals > 0 ? std::round(sigma * std::pow(10.0, decimals)) : rounded;
  return FormatMask(value, mask) + "(" + FormatMask(digits, "0") + ")";
}

std::string AlignedColumns(const std::vector<std::vector<std::string>>& rows) {
  std::vector<std::size_t> widths;
  for (const auto& row : rows) {
    widths.resize(std::max(widths.size(), row.size()));
    for (std::size_t c = 0; c < row.size(); ++c) widths[c] = std::max(widths[c], row[c].size());
  }
  std::string text;
  for (const auto& row : rows) {
    std::string line = " ";
    for (std::size_t c = 0; c < row.size(); ++c) line += " " + row[c] + std::string(widths[c] - row[c].size() + 1, ' ');
    line.erase(line.find_last_not_of(' ') + 1);
    text += line + "\n";
  }
  return text;
}

std::string FormatTwoDigitText(std::string_view text) {
  const auto number = ParseNumber(text);
  if (!number) return std::string(text);
  return FormatMask(*number, "00");
}

}  // namespace vantor
