// Number masks, plain number text and width fitting (see TextFormat.h).
#include "convert/TextFormat.h"

#include <charconv>
#include <cmath>
#include <cstring>

#include "convert/TextRoutines.h"

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

void ReadScientific(const char* begin, const char* end, Decimal& dec) {
  dec.count = 0;
  const char* p = begin;
  for (; p != end && *p != 'e'; ++p)
    if (*p != '.') dec.d[dec.count++] = *p;
  int exponent = 0;
  if (p != end) std::from_chars(p + 1 + (p[1] == '+'), end, exponent);
  dec.point = exponent + 1;
  while (dec.count > 0 && dec.d[dec.count - 1] == '0') --dec.count;
}

Decimal Decompose(double value) {
  Decimal dec;
  dec.negative = std::signbit(value) && value != 0;
  const double magnitude = std::fabs(value);
  if (magnitude == 0) return dec;
  char buf[64];
  // The shortest round-trip form, when it has at most 15 digits, is exactly
  // the value's 15-digit form; otherwise ask for 15 digits.
  auto r = std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific);
  ReadScientific(buf, r.ptr, dec);
  if (dec.count > 15) {
    r = std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific, 14);
    ReadScientific(buf, r.ptr, dec);
  }
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

// Masks the direct writers take: room for a sign, the integer digits, the
// decimals and the blanks in front within kMaskTextRoom; longer masks go
// the general way.
constexpr int kMaxBufferedDigits = 24;
constexpr std::size_t kMaxPointColumn = 32;

bool Buffered(const NumberMask& m) {
  return !m.scientific && m.minIntegerDigits <= kMaxBufferedDigits && m.decimals <= kMaxBufferedDigits &&
         m.pointColumn <= kMaxPointColumn;
}

// Writes sign, integer part (zero-filled to the mask's "0"s; nothing for a
// zero under "#" only) and `decimals` digits of `fraction` after a point;
// when aligned, blanks first up to the mask's point column. Returns the end.
char* WriteFixed(char* p, bool negative, std::uint64_t integerPart, std::uint64_t fraction,
                 const NumberMask& m, bool aligned) {
  char digits[24];
  const char* digitsEnd = digits;
  if (integerPart != 0) digitsEnd = std::to_chars(digits, digits + sizeof digits, integerPart).ptr;
  const int digitCount = static_cast<int>(digitsEnd - digits);
  const int zeros = m.minIntegerDigits > digitCount ? m.minIntegerDigits - digitCount : 0;
  if (aligned) {
    // characters up to the point: sign, integer digits, the point itself
    const std::size_t have = (negative ? 1 : 0) + zeros + digitCount + (m.decimals > 0 ? 1 : 0);
    for (std::size_t i = have; i < m.pointColumn; ++i) *p++ = ' ';
  }
  if (negative) *p++ = '-';
  for (int i = 0; i < zeros; ++i) *p++ = '0';
  for (const char* d = digits; d != digitsEnd; ++d) *p++ = *d;
  if (m.decimals > 0) {
    *p++ = '.';
    char* end = p + m.decimals;
    for (char* q = end; q != p; fraction /= 10) *--q = static_cast<char>('0' + fraction % 10);
    p = end;
  }
  return p;
}

constexpr double kPowersOfTen[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10};
constexpr std::uint64_t kIntegerPowersOfTen[] = {1,         10,         100,         1000,
                                                 10000,     100000,     1000000,     10000000,
                                                 100000000, 1000000000, 10000000000};

// The common case without the decimal detour: when the value scaled to its
// last kept decimal stays below 1E10 and is clearly not near a half-way
// point, rounding the scaled double gives the same digits as rounding its
// 15-digit form (which lies within 1E-5 of it there). Returns nullptr when
// the case does not apply, else the end of the text.
char* WriteFixedFast(char* p, double value, const NumberMask& m, bool aligned) {
  if (m.decimals > 10 || !Buffered(m)) return nullptr;
  const double scaled = std::fabs(value) * kPowersOfTen[m.decimals];
  if (!(scaled < 1e10)) return nullptr;  // also NaN
  const double whole = std::floor(scaled);
  const double fraction = scaled - whole;  // exact below 2^52
  if (std::fabs(fraction - 0.5) < 1e-3) return nullptr;
  const std::uint64_t rounded = static_cast<std::uint64_t>(whole) + (fraction > 0.5 ? 1 : 0);
  const bool negative = std::signbit(value) && value != 0;
  switch (m.decimals) {  // constant divisors compile to multiplications
    case 0: return WriteFixed(p, negative, rounded, 0, m, aligned);
    case 2: return WriteFixed(p, negative, rounded / 100, rounded % 100, m, aligned);
    case 3: return WriteFixed(p, negative, rounded / 1000, rounded % 1000, m, aligned);
    case 4: return WriteFixed(p, negative, rounded / 10000, rounded % 10000, m, aligned);
    default: {
      const std::uint64_t unit = kIntegerPowersOfTen[m.decimals];
      return WriteFixed(p, negative, rounded / unit, rounded % unit, m, aligned);
    }
  }
}

char* WriteInteger(char* p, std::int64_t value, const NumberMask& m, bool aligned) {
  const std::uint64_t magnitude = value < 0 ? 0 - static_cast<std::uint64_t>(value) : value;
  return WriteFixed(p, value < 0, magnitude, 0, m, aligned);
}

void AppendDigitMask(std::string& out, double value, const NumberMask& m) {
  Decimal dec = Decompose(value);
  RoundToDigits(dec, dec.point + m.decimals);
  if (dec.count == 0) dec.point = 0;  // rounded to zero
  if (dec.negative) out += '-';
  const int integerDigits = dec.point > 0 ? dec.point : 0;
  for (int i = integerDigits; i < m.minIntegerDigits; ++i) out += '0';
  for (int i = 0; i < integerDigits; ++i) out += i < dec.count ? dec.d[i] : '0';
  if (m.decimals == 0) return;
  out += '.';
  for (int i = 0; i < m.decimals; ++i) {
    const int index = dec.point + i;  // digit index of this decimal place
    out += index >= 0 && index < dec.count ? dec.d[index] : '0';
  }
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

std::size_t PointColumn(std::string_view text, std::size_t from) {
  const auto p = text.find('.', from);
  return p == std::string_view::npos ? text.size() - from : p - from + 1;
}

void PadToPoint(std::string& out, std::size_t start, std::string_view mask) {
  const std::size_t wanted = PointColumn(mask, 0);
  const std::size_t have = PointColumn(out, start);
  if (wanted > have) out.insert(start, wanted - have, ' ');
}

bool IsLeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }
bool IsTrailByte(unsigned char c) { return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFC); }

}  // namespace

char* WriteMask(char* at, double value, const NumberMask& m) {
  return WriteFixedFast(at, value, m, false);
}

char* WriteMask(char* at, std::int64_t value, const NumberMask& m) {
  return Buffered(m) ? WriteInteger(at, value, m, false) : nullptr;
}

char* WriteAligned(char* at, double value, const NumberMask& m) {
  return WriteFixedFast(at, value, m, true);
}

char* WriteAligned(char* at, std::int64_t value, const NumberMask& m) {
  return Buffered(m) ? WriteInteger(at, value, m, true) : nullptr;
}

void AppendMask(std::string& out, double value, const NumberMask& m) {
  char buf[kMaskTextRoom];
  if (const char* end = WriteMask(buf, value, m)) {
    out.append(buf, static_cast<std::size_t>(end - buf));
  } else if (AppendNonFinite(out, value)) {
  } else if (m.scientific) {
    AppendScientific(out, value, m.mask);
  } else {
    AppendDigitMask(out, value, m);
  }
}

void AppendMask(std::string& out, std::int64_t value, const NumberMask& m) {
  char buf[kMaskTextRoom];
  if (const char* end = WriteMask(buf, value, m)) {
    out.append(buf, static_cast<std::size_t>(end - buf));
  } else if (m.scientific) {
    AppendScientific(out, static_cast<double>(value), m.mask);
  } else {
    const std::uint64_t magnitude = value < 0 ? 0 - static_cast<std::uint64_t>(value) : value;
    if (value < 0) out += '-';
    if (magnitude != 0) {
      const auto r = std::to_chars(buf, buf + sizeof buf, magnitude);
      for (int i = static_cast<int>(r.ptr - buf); i < m.minIntegerDigits; ++i) out += '0';
      out.append(buf, r.ptr);
    } else {
      out.append(m.minIntegerDigits, '0');
    }
    if (m.decimals > 0) {
      out += '.';
      out.append(m.decimals, '0');
    }
  }
}

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

void AppendAligned(std::string& out, double value, const NumberMask& m) {
  char buf[kMaskTextRoom];
  if (const char* end = WriteAligned(buf, value, m)) {
    out.append(buf, static_cast<std::size_t>(end - buf));
    return;
  }
  const std::size_t start = out.size();
  AppendMask(out, value, m);
  PadToPoint(out, start, m.mask);
}

void AppendAligned(std::string& out, std::int64_t value, const NumberMask& m) {
  char buf[kMaskTextRoom];
  if (const char* end = WriteAligned(buf, value, m)) {
    out.append(buf, static_cast<std::size_t>(end - buf));
    return;
  }
  const std::size_t start = out.size();
  AppendMask(out, value, m);
  PadToPoint(out, start, m.mask);
}

void AppendAligned(std::string& out, double value, std::string_view mask) {
  AppendAligned(out, value, NumberMask(mask));
}

void AppendAligned(std::string& out, std::int64_t value, std::string_view mask) {
  AppendAligned(out, value, NumberMask(mask));
}

std::string FormatAligned(double value, std::string_view mask) {
  std::string out;
  AppendAligned(out, value, mask);
  return out;
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

std::string FormatTwoDigitText(std::string_view text) {
  const auto number = ParseNumber(text);
  if (!number) return std::string(text);
  return FormatMask(*number, "00");
}

std::string SjisSlice(std::string_view text, std::size_t start, std::size_t length) {
  std::string out;
  out.reserve(length);
  const std::size_t end = start + length;
  std::size_t i = 0;
  while (i < text.size() && i < end) {
    const bool pair = IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size() &&
                      IsTrailByte(static_cast<unsigned char>(text[i + 1]));
    const std::size_t width = pair ? 2 : 1;
    if (i + width > start) {
      if (i < start || i + width > end) {
        // Only half of the character falls inside: its bytes there become blanks.
        for (std::size_t j = i; j < i + width; ++j)
          if (j >= start && j < end) out += ' ';
      } else {
        out.append(text.substr(i, width));
      }
    }
    i += width;
  }
  return out;
}

std::string LeftFit(std::string_view text, std::size_t width) {
  std::string out = SjisSlice(text, 0, width);
  out.append(width - out.size(), ' ');
  return out;
}

std::string RightFit(std::string_view text, std::size_t width) {
  if (text.size() >= width) return SjisSlice(text, text.size() - width, width);
  std::string out(width - text.size(), ' ');
  out.append(text);
  return out;
}

std::string FieldText(std::string_view field) {
  std::string out(field);
  for (char& c : out)
    if (c == '\0') c = ' ';
  return out;
}

std::string_view TrimBlanks(std::string_view text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(' ');
  return text.substr(first, last - first + 1);
}

}  // namespace vantor
