// SPDX-License-Identifier: GPL-3.0-or-later
// Texts of the files, for people: the record's text fields are code page 932
// (Shift_JIS as Windows writes it) and are copied byte for byte everywhere
// else; only what is shown or handed to other programs as Unicode (the
// viewer, `show --json`, the Python module) goes through this one decoder.
// Code page 932, not plain Shift_JIS: 0x5C stays "\" and 0x7E "~".
#pragma once

#include <string>
#include <string_view>

#include "base/SpectrumRecord.h"

namespace vantor {

// UTF-8 of the bytes; a byte or pair that code page 932 does not define
// becomes U+FFFD.
std::string Cp932ToUtf8(std::string_view bytes);

// Code page 932 bytes of a text from another program's file: UTF-8, or
// where a byte does not start a valid UTF-8 sequence, that byte as Latin-1
// (Windows programs write their own code page). A character code page 932
// cannot hold becomes "?"; `replaced` (when given) tells whether any did.
std::string Utf8ToCp932(std::string_view text, bool* replaced = nullptr);

// A header text as people read it: zero bytes as blanks, blanks around it
// removed, decoded.
std::string DisplayText(std::string_view field);

template <std::size_t N>
std::string DisplayText(const Text<N>& field) {
  return DisplayText(View(field));
}

}  // namespace vantor
