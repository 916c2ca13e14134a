// SPDX-License-Identifier: GPL-3.0-or-later
// Texts fitted to fixed widths, as the text outputs lay them out.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vantor {

// Shift_JIS-aware cutting. Widths count bytes; a double-byte character is
// never split: a half that would be cut off becomes a blank.
std::string SjisSlice(std::string_view text, std::size_t start, std::size_t length);
std::string LeftFit(std::string_view text, std::size_t width);
std::string RightFit(std::string_view text, std::size_t width);

// A text field as the text outputs see it: zero bytes count as blanks.
std::string BlankedText(std::string_view field);
// Leading and trailing blanks removed.
std::string_view TrimBlanks(std::string_view text);

}  // namespace vantor
