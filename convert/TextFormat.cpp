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
      if (mask[i] == '0') ++m.minIntegerDigits;
    } else {
      ++m.decimals;
    }
  }
  return m;
}

void AppendDigitMask(std::string& out, double value, const DigitMask& m) {
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

void AppendMask(std::string& out, double value, std::string_view mask) {
  if (AppendNonFinite(out, value)) return;
  if (mask.find_first_of("Ee") != std::string_view::npos) {
    AppendScientific(out, value, mask);
  } else {
    AppendDigitMask(out, value, ParseDigitMask(mask));
  }
}

void AppendMask(std::string& out, std::int64_t value, std::string_view mask) {
  if (mask.find_first_of("Ee") != std::string_view::npos) {
    AppendScientific(out, static_cast<double>(value), mask);
    return;
  }
  const DigitMask m = ParseDigitMask(mask);
  char buf[24];
  const std::uint64_t magnitude = value < 0 ? 0 - static_cast<std::uint64_t>(value) : value;
  const auto r = std::to_chars(buf, buf + sizeof buf, magnitude);
  if (value < 0) out += '-';
  if (magnitude != 0) {
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

std::string FormatMask(double value, std::string_view mask) {
  std::string out;
  AppendMask(out, value, mask);
  return out;
}

void AppendAligned(std::string& out, double value, std::string_view mask) {
  const std::size_t start = out.size();
  AppendMask(out, value, mask);
  PadToPoint(out, start, mask);
}

void AppendAligned(std::string& out, std::int64_t value, std::string_view mask) {
  const std::size_t start = out.size();
  AppendMask(out, value, mask);
  PadToPoint(out, start, mask);
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
