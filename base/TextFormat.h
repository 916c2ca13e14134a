// SPDX-License-Identifier: GPL-3.0-or-later
// Every conversion of numbers to text. All writers go through here, so the window and the command line write the
// same bytes. Locale-free; built on std::to_chars.
//
// Masks:
//   "#"/"0" digit masks with an optional "." and k decimals ("##0.000",
//   "######", "0000"): the integer part in full, at least as many digits as
//   the mask has "0" before its point, exactly k decimals.
//   "0.00000E+00" / "0.00000E+000": one digit, five decimals, exponent with
//   sign and at least two or three digits.
// Rounding works on the value's 15-significant-digit decimal form, half away
// from zero. NaN and infinities are written "NaN", "Inf", "-Inf".
#pragma once

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace vantor {

// A mask read once, for loops over many values. Holds a view of the mask
// text, so the text must outlive it (masks are literals).
struct NumberMask {
  constexpr explicit NumberMask(std::string_view text) : mask(text), pointColumn(text.size()) {
    bool afterPoint = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
      const char c = text[i];
      if (c == '.') {
        if (!afterPoint) pointColumn = i + 1;
        afterPoint = true;
      } else if (c == 'E' || c == 'e') {
        scientific = true;
      } else if (c == '0' || c == '#') {
        if (afterPoint) {
          ++decimals;
        } else if (c == '0') {
          ++minIntegerDigits;
        }
      }
    }
  }

  std::string_view mask;
  std::size_t pointColumn = 0;  // characters up to and including the point
  int minIntegerDigits = 0;     // the "0"s before the point
  int decimals = 0;             // digits after the point
  bool scientific = false;      // "0.00000E+00" and the like
};

// Direct writing for loops over many values: the masked (or aligned) text
// written at `at`, which has room for kMaskTextRoom bytes; returns its end,
// or nullptr when the value needs the Append functions (large, close to a
// half-way point, not finite; scientific or very long masks). Inline, so
// that with a constant mask the compiler folds the mask's branches away.
inline constexpr std::size_t kMaskTextRoom = 96;
inline char* WriteMask(char* at, double value, const NumberMask& mask);
inline char* WriteMask(char* at, std::int64_t value, const NumberMask& mask);
inline char* WriteAligned(char* at, double value, const NumberMask& mask);
inline char* WriteAligned(char* at, std::int64_t value, const NumberMask& mask);

void AppendMask(std::string& out, double value, const NumberMask& mask);
void AppendMask(std::string& out, std::int64_t value, const NumberMask& mask);
// The masked text with blanks in front so that it has as many characters
// before its point as the mask has (numbers line up on their points).
void AppendAligned(std::string& out, double value, const NumberMask& mask);
void AppendAligned(std::string& out, std::int64_t value, const NumberMask& mask);

void AppendMask(std::string& out, double value, std::string_view mask);
void AppendMask(std::string& out, std::int64_t value, std::string_view mask);
std::string FormatMask(double value, std::string_view mask);

// Plain number text: at most 15 significant digits, no trailing zeros or
// point; exponent form ("1E-05", "1.5E+15") below 1E-4 and from 1E+15 on.
void AppendPlain(std::string& out, double value);
std::string FormatPlain(double value);
void AppendInt(std::string& out, std::int64_t value);

// A value and its standard uncertainty, both to the decimal of the
// uncertainty's second significant digit: "42.8776(16)" (the digits of
// sigma in brackets) or, with `plusMinus`, "42.8776 ± 0.0016"; an
// uncertainty of ten or more in full, "12345(160)". A sigma not above 0 or
// not finite gives the plain value.
std::string FormatUncertain(double value, double sigma, bool plusMinus = false);

// Rows of cells as lines indented by two blanks, each column left-aligned
// to its widest cell (in bytes) and two blanks from the next.
std::string AlignedColumns(const std::vector<std::vector<std::string>>& rows);

// The "00" mask applied to a text (an hour): a numeric text becomes a whole
// number of at least two digits, any other text comes out unchanged.
std::string FormatTwoDigitText(std::string_view text);

// ---- the direct writers (inline) ----

namespace mask_detail {

// Masks the direct writers take: sign, integer digits, decimals and the
// blanks in front fit kMaskTextRoom; longer masks go the general way.
inline constexpr int kMostZeros = 24;
inline constexpr std::size_t kMostBlanks = 32;
constexpr bool Buffered(const NumberMask& m) {
  return !m.scientific && m.minIntegerDigits <= kMostZeros && m.decimals <= 24 && m.pointColumn <= kMostBlanks;
}

inline constexpr std::uint64_t kPowersOfTen[20] = {1,
                                                   10ULL,
                                                   100ULL,
                                                   1000ULL,
                                                   10000ULL,
                                                   100000ULL,
                                                   1000000ULL,
                                                   10000000ULL,
                                                   100000000ULL,
                                                   1000000000ULL,
                                                   10000000000ULL,
                                                   100000000000ULL,
                                                   1000000000000ULL,
                                                   10000000000000ULL,
                                                   100000000000000ULL,
                                                   1000000000000000ULL,
                                                   10000000000000000ULL,
                                                   100000000000000000ULL,
                                                   1000000000000000000ULL,
                                                   10000000000000000000ULL};
inline constexpr double kScales[11] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10};
inline constexpr char kDigitPairs[] =
    "000102030405060708091011121314151617181920212223242526272829303132333435363738394041424344454647484950515253545556"
    "57585960616263646566676869707172737475767778798081828384858687888990919293949596979899";

// "0000" to "9999" one after another, and room to read four bytes from
// inside the last: the up to four last digits of a number in one copy.
inline constexpr auto kDigitQuads = [] {
  std::array<char, 4 * 10000 + 4> quads{};
  for (int i = 0; i < 10000; ++i) {
    quads[4 * i] = static_cast<char>('0' + i / 1000);
    quads[4 * i + 1] = static_cast<char>('0' + i / 100 % 10);
    quads[4 * i + 2] = static_cast<char>('0' + i / 10 % 10);
    quads[4 * i + 3] = static_cast<char>('0' + i % 10);
  }
  return quads;
}();

// 0 to 9999 one after another, each right-aligned in four characters with
// blanks in front ("   0", "  12", "9999"): the aligned text of a number
// below 10 000 in one copy, without counting its digits.
inline constexpr auto kBlankQuads = [] {
  std::array<char, 4 * 10000> quads{};
  for (int i = 0; i < 10000; ++i) {
    for (int k = 3, v = i; k >= 0; --k, v /= 10)
      quads[4 * i + k] = (k == 3 || v > 0) ? static_cast<char>('0' + v % 10) : ' ';
  }
  return quads;
}();

// Writes the last `count` (at most 4) digits of v < 10000 at p, and up to
// 4 - count bytes after them that the text's next characters replace.
[[gnu::always_inline]] inline void CopyLastDigits(char* p, std::uint64_t v, int count) {
  std::memcpy(p, kDigitQuads.data() + 4 * v + 4 - count, 4);
}

// The decimal digits of v, none for 0. Branches on purpose, the usual
// sizes first: the processor predicts them, so the text's length is known
// at once, where a branch-free count would hold up every store that
// follows.
inline int DigitCount(std::uint64_t v) {
  if (v < 10) return v == 0 ? 0 : 1;
  if (v < 100) return 2;
  if (v < 1000) return 3;
  if (v < 10000) return 4;
  int n = 5;
  while (n < 20 && v >= kPowersOfTen[n]) ++n;
  return n;
}

// The last `count` decimal digits of v, written so that they end at `end`.
[[gnu::always_inline]] inline void WriteDigitsBefore(char* end, std::uint64_t v, int count) {
  for (; count >= 2; count -= 2) {
    const auto pair = static_cast<unsigned>(v % 100) * 2;
    v /= 100;
    end -= 2;
    end[0] = kDigitPairs[pair];
    end[1] = kDigitPairs[pair + 1];
  }
  if (count > 0) end[-1] = static_cast<char>('0' + v % 10);
}

// The point and m.decimals digits of `fraction` (none without decimals).
[[gnu::always_inline]] inline char* WriteDecimals(char* p, std::uint64_t fraction, const NumberMask& m) {
  if (m.decimals > 0) {
    *p++ = '.';
    if (m.decimals <= 4) {
      CopyLastDigits(p, fraction, m.decimals);
      p += m.decimals;
    } else {
      p += m.decimals;
      WriteDigitsBefore(p, fraction, m.decimals);
    }
  }
  return p;
}

// Sign, integer part (zero-filled to the mask's "0"s; nothing for a zero
// under "#" only), and `decimals` digits of `fraction` after a point; when
// aligned, blanks first up to the mask's point column. Returns the end.
// Blanks, and zeros for masks of several "0"s, are laid down as whole
// blocks of the most a buffered mask can need, which the room of
// kMaskTextRoom allows, and the text goes on after as many of them as it
// needs.
[[gnu::always_inline]] inline char* WriteFixed(char* p, bool negative, std::uint64_t integerPart,
                                               std::uint64_t fraction, const NumberMask& m, bool aligned) {
  // Aligned with one "0" and room for four places before the point: an
  // integer part below 10 000 is copied as its blank-filled text, and the
  // width is the mask's, whatever the digits.
  const std::size_t places = m.pointColumn - (m.decimals > 0 ? 1 : 0);
  if (aligned && m.minIntegerDigits == 1 && places >= 4 && !negative && integerPart < 10000) {
    if (places > 4) std::memset(p, ' ', places - 4 <= 8 ? 8 : kMostBlanks);
    std::memcpy(p + places - 4, kBlankQuads.data() + 4 * integerPart, 4);
    return WriteDecimals(p + places, fraction, m);
  }
  const int digits = DigitCount(integerPart);
  const int zeros = m.minIntegerDigits > digits ? m.minIntegerDigits - digits : 0;
  if (aligned) {
    const std::size_t have = (negative ? 1 : 0) + zeros + digits + (m.decimals > 0 ? 1 : 0);
    std::memset(p, ' ', kMostBlanks);
    p += have < m.pointColumn ? m.pointColumn - have : 0;
  }
  if (negative) *p++ = '-';
  if (m.minIntegerDigits == 1) {  // the usual mask: a "0" only for a zero
    *p = '0';
    p += zeros;
  } else if (m.minIntegerDigits > 1) {
    std::memset(p, '0', kMostZeros);
    p += zeros;
  }
  if (integerPart < 10000) {
    CopyLastDigits(p, integerPart, digits);
    p += digits;
  } else {
    p += digits;
    WriteDigitsBefore(p, integerPart, digits);
  }
  return WriteDecimals(p, fraction, m);
}

// The common case without the decimal detour: when the value scaled to its
// last kept decimal stays below 1E10 and is clearly not near a half-way
// point, rounding the scaled double gives the same digits as rounding its
// 15-digit form (which lies within 1E-5 of it there).
[[gnu::always_inline]] inline char* WriteFixedFast(char* p, double value, const NumberMask& m, bool aligned) {
  if (m.decimals > 10 || !Buffered(m)) return nullptr;
  const double magnitude = std::fabs(value);
  const double scaled = magnitude * kScales[m.decimals];
  if (!(scaled < 1e10)) return nullptr;  // also NaN
  // Signed conversions: one instruction each, unlike the unsigned ones.
  const auto whole = static_cast<std::int64_t>(scaled);
  const double fraction = scaled - static_cast<double>(whole);  // exact below 2^52
  if (fraction > 0.499 && fraction < 0.501) return nullptr;
  const auto rounded = static_cast<std::uint64_t>(whole + (fraction > 0.5 ? 1 : 0));
  const bool negative = value < 0;  // -0 has no sign
  const std::uint64_t unit = kPowersOfTen[m.decimals];
  return WriteFixed(p, negative, rounded / unit, rounded % unit, m, aligned);
}

[[gnu::always_inline]] inline char* WriteInteger(char* p, std::int64_t value, const NumberMask& m, bool aligned) {
  const std::uint64_t magnitude = value < 0 ? 0 - static_cast<std::uint64_t>(value) : value;
  return WriteFixed(p, value < 0, magnitude, 0, m, aligned);
}

}  // namespace mask_detail

[[gnu::always_inline]] inline char* WriteMask(char* at, double value, const NumberMask& mask) {
  return mask_detail::WriteFixedFast(at, value, mask, false);
}

[[gnu::always_inline]] inline char* WriteMask(char* at, std::int64_t value, const NumberMask& mask) {
  return mask_detail::Buffered(mask) ? mask_detail::WriteInteger(at, value, mask, false) : nullptr;
}

[[gnu::always_inline]] inline char* WriteAligned(char* at, double value, const NumberMask& mask) {
  return mask_detail::WriteFixedFast(at, value, mask, true);
}

[[gnu::always_inline]] inline char* WriteAligned(char* at, std::int64_t value, const NumberMask& mask) {
  return mask_detail::Buffered(mask) ? mask_detail::WriteInteger(at, value, mask, true) : nullptr;
}

}  // namespace vantor
