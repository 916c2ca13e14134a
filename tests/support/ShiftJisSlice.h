// SPDX-License-Identifier: GPL-3.0-or-later
// What a Shift_JIS-safe cut must give, built byte by byte apart from the
// product's cutting; shared by the text tests and the text fuzz harness.
#pragma once

#include <algorithm>
#include <string>
#include <string_view>

namespace vantor::test {

// The bytes of `text` from `start`, `length` of them (fewer at its end), with
// a blank for each byte of a double-byte character that the window splits.
inline std::string ExpectedSlice(std::string_view text, std::size_t start, std::size_t length) {
  const auto lead = [](unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); };
  const auto trail = [](unsigned char c) { return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFC); };
  const std::size_t end = std::min(text.size(), start + std::min(length, text.size()));
  std::string out;
  for (std::size_t i = 0, width; i < end; i += width) {
    width = lead(text[i]) && i + 1 < text.size() && trail(text[i + 1]) ? 2 : 1;
    for (std::size_t j = i; j < i + width; ++j)
      if (j >= start && j < end) out += i >= start && i + width <= end ? text[j] : ' ';
  }
  return out;
}

// A field of `width` cut from the front, blanks after.
inline std::string ExpectedLeftFit(std::string_view text, std::size_t width) {
  std::string out = ExpectedSlice(text, 0, width);
  return out + std::string(width - out.size(), ' ');
}

}  // namespace vantor::test
