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

// A header text as people read it: zero bytes as blanks, blanks around it
// removed, decoded.
std::string DisplayText(std::string_view field);

template <std::size_t N>
std::string DisplayText(const Text<N>& field) {
  return DisplayText(View(field));
}

}  // namespace vantor
