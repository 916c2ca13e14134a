// Checks on the number texts the writers produce, used by the harnesses that
// feed arbitrary doubles (from a record file or straight from the input)
// through the masks: NaN and infinities give "NaN", "Inf", "-Inf"; a finite
// value's text reads back as the value within the mask's rounding.
#pragma once

#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <string>
#include <string_view>

#include "FuzzSupport.h"
#include "base/TextFormat.h"

namespace vantor::fuzz {

// The masks the writers use.
inline constexpr std::string_view kWriterMasks[] = {
    "######0", "######0.000", "###0", "##0.000", "#0.00", "##0.0000", "0.000",
    "00",      "0000",        "0",    "0.00000E+00", "0.00000E+000"};

inline double ReadBack(const std::string& text) {
  char* end = nullptr;
  const double value = std::strtod(text.c_str(), &end);
  FUZZ_CHECK(end == text.c_str() + text.size());
  return value;
}

inline bool NonFiniteText(const std::string& text, double value) {
  if (std::isnan(value)) {
    FUZZ_CHECK(text == "NaN");
  } else if (std::isinf(value)) {
    FUZZ_CHECK(text == (value < 0 ? "-Inf" : "Inf"));
  } else {
    return false;
  }
  return true;
}

// Digits after the point and the value read back, for a digit mask.
inline void CheckDigitMask(const std::string& text, double value, std::string_view mask) {
  const auto maskPoint = mask.find('.');
  std::size_t decimals = 0;
  if (maskPoint != std::string_view::npos)
    for (std::size_t i = maskPoint + 1; i < mask.size(); ++i) decimals += mask[i] == '0' || mask[i] == '#';
  const auto point = text.find('.');
  FUZZ_CHECK(decimals == 0 ? point == std::string::npos : text.size() - point - 1 == decimals);
  const double back = ReadBack(text);
  if (std::fabs(value) > 1e300) return;  // the text may read back as infinite
  const double allowed = 0.5 * std::pow(10.0, -static_cast<double>(decimals)) * (1 + 1e-9) + std::fabs(value) * 1e-14;
  FUZZ_CHECK(std::fabs(back - value) <= allowed);
}

inline void CheckScientific(const std::string& text, double value) {
  const double back = ReadBack(text);
  if (std::fabs(value) < 1e-300 || std::fabs(value) > 1e300) return;
  FUZZ_CHECK(std::fabs(back - value) <= 6e-6 * std::fabs(value));
}

inline void CheckPlain(const std::string& text, double value) {
  if (NonFiniteText(text, value)) return;
  std::size_t digits = 0;
  bool leading = true;
  for (const char c : text) {
    if (c == 'E') break;
    if (c < '0' || c > '9') continue;
    if (c != '0') leading = false;
    if (!leading) ++digits;
  }
  FUZZ_CHECK(digits <= 15);
  const double back = ReadBack(text);
  // 15 digits of a value near the largest double may read back as infinite.
  if (std::fabs(value) >= DBL_MIN && std::fabs(value) <= 1e300) FUZZ_CHECK(std::fabs(back - value) <= 1e-14 * std::fabs(value));
  if (value == 0) FUZZ_CHECK(text == "0");
}

// Every writer mask, aligned and not, and the plain text of one value.
inline void CheckNumberTexts(double value) {
  for (const std::string_view mask : kWriterMasks) {
    const std::string text = FormatMask(value, mask);
    const std::string aligned = FormatAligned(value, mask);
    FUZZ_CHECK(aligned.size() >= text.size() && aligned.ends_with(text) &&
               aligned.find_first_not_of(' ') == aligned.size() - text.size());
    if (NonFiniteText(text, value)) continue;
    if (mask.find('E') != std::string_view::npos) {
      CheckScientific(text, value);
    } else {
      CheckDigitMask(text, value, mask);
    }
  }
  CheckPlain(FormatPlain(value), value);
}

}  // namespace vantor::fuzz
