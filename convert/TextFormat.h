// Every conversion of numbers to text and every fitting of text to a width.
// All writers go through here, so the window and the command line write the
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

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

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
// half-way point, not finite; scientific or very long masks).
inline constexpr std::size_t kMaskTextRoom = 96;
char* WriteMask(char* at, double value, const NumberMask& mask);
char* WriteMask(char* at, std::int64_t value, const NumberMask& mask);
char* WriteAligned(char* at, double value, const NumberMask& mask);
char* WriteAligned(char* at, std::int64_t value, const NumberMask& mask);

void AppendMask(std::string& out, double value, const NumberMask& mask);
void AppendMask(std::string& out, std::int64_t value, const NumberMask& mask);
void AppendAligned(std::string& out, double value, const NumberMask& mask);
void AppendAligned(std::string& out, std::int64_t value, const NumberMask& mask);

void AppendMask(std::string& out, double value, std::string_view mask);
void AppendMask(std::string& out, std::int64_t value, std::string_view mask);
std::string FormatMask(double value, std::string_view mask);

// The masked text with blanks in front so that it has as many characters
// before its point as the mask has (numbers line up on their points).
void AppendAligned(std::string& out, double value, std::string_view mask);
void AppendAligned(std::string& out, std::int64_t value, std::string_view mask);
std::string FormatAligned(double value, std::string_view mask);

// Plain number text: at most 15 significant digits, no trailing zeros or
// point; exponent form ("1E-05", "1.5E+15") below 1E-4 and from 1E+15 on.
void AppendPlain(std::string& out, double value);
std::string FormatPlain(double value);
void AppendInt(std::string& out, std::int64_t value);

// The "00" mask applied to a text (an hour): a numeric text becomes a whole
// number of at least two digits, any other text comes out unchanged.
std::string FormatTwoDigitText(std::string_view text);

// Shift_JIS-aware cutting. Widths count bytes; a double-byte character is
// never split: a half that would be cut off becomes a blank.
std::string SjisSlice(std::string_view text, std::size_t start, std::size_t length);
std::string LeftFit(std::string_view text, std::size_t width);
std::string RightFit(std::string_view text, std::size_t width);

// A text field as the text outputs see it: zero bytes count as blanks.
std::string FieldText(std::string_view field);
// Leading and trailing blanks removed.
std::string_view TrimBlanks(std::string_view text);

}  // namespace vantor
