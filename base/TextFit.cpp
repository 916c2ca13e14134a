// SPDX-License-Identifier: GPL-3.0-or-later
// Fitting texts to widths without splitting double-byte characters.
#include "base/TextFit.h"

#include "base/ShiftJis.h"

namespace vantor {

std::string SjisSlice(std::string_view text, std::size_t start, std::size_t length) {
  std::string out;
  out.reserve(length);
  const std::size_t end = start + length;
  std::size_t i = 0;
  while (i < text.size() && i < end) {
    const std::size_t width = IsDoubleByteAt(text, i) ? 2 : 1;
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

std::string BlankedText(std::string_view field) {
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
