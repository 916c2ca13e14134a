// SPDX-License-Identifier: GPL-3.0-or-later
// Checks on the number texts the writers produce, for harnesses that feed
// arbitrary doubles through the masks: NaN and infinities give "NaN", "Inf",
// "-Inf"; a finite value's text reads back as the value within the mask's
// rounding; aligned texts are the masked text with blanks in front.
#pragma once

#include <cmath>
#include <cstdlib>
#include <string>
#include <string_view>

#include "FuzzSupport.h"
#include "base/TextFormat.h"

namespace vantor::fuzz {

// The masks the writers use.
inline constexpr std::string_view kWriterMasks[] = {"######0", "######0.000", "###0",        "##0.000",
                                                    "#0.00",   "##0.0000",    "0.000",       "00",
                                                    "0000",    "0",           "0.00000E+00", "0.00000E+000"};

inline bool NonFiniteText(const std::string& text, double value) {
  if (std::isfinite(value)) return false;
  FUZZ_CHECK(text == (std::isnan(value) ? "NaN" : value < 0 ? "-Inf" : "Inf"));
  return true;
}

inline void CheckNumberTexts(double value) {
  for (const std::string_view mask : kWriterMasks) {
    const std::string text = FormatMask(value, mask);
    std::string aligned;
    AppendAligned(aligned, value, NumberMask(mask));
    FUZZ_CHECK(aligned.ends_with(text) && aligned.find_first_not_of(' ') == aligned.size() - text.size());
    if (NonFiniteText(text, value) || std::fabs(value) > 1e300 || std::fabs(value) < 1e-300) continue;
    char* end = nullptr;
    const double back = std::strtod(text.c_str(), &end);
    FUZZ_CHECK(end == text.c_str() + text.size());
    const auto point = mask.find('.'), e = mask.find('E');
    const double decimals =
        point == std::string_view::npos ? 0 : static_cast<double>(std::min(e, mask.size()) - point - 1);
    const double allowed = e != std::string_view::npos
                               ? 6e-6 * std::fabs(value)
                               : 0.5 * std::pow(10.0, -decimals) * (1 + 1e-9) + std::fabs(value) * 1e-14;
    FUZZ_CHECK(std::fabs(back - value) <= allowed);
  }
  const std::string plain = FormatPlain(value);
  if (value == 0) FUZZ_CHECK(plain == "0");
  if (NonFiniteText(plain, value) || std::fabs(value) > 1e300 || std::fabs(value) < 1e-300) return;
  FUZZ_CHECK(std::fabs(std::strtod(plain.c_str(), nullptr) - value) <= 1e-14 * std::fabs(value));
}

}  // namespace vantor::fuzz
