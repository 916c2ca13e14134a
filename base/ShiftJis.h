// SPDX-License-Identifier: GPL-3.0-or-later
// Code page 932 (Shift_JIS) as the text fields hold it: bytes, never
// transcoded. Cutting a text must not leave half of a double-byte character.
#pragma once

#include <cstddef>
#include <string_view>

namespace vantor {

// Whether the bytes at `at` are one double-byte character of code page 932:
// a lead byte followed by a trail byte.
inline bool IsDoubleByteAt(std::string_view text, std::size_t at) {
  const auto lead = static_cast<unsigned char>(text[at]);
  if (!((lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC)) || at + 1 >= text.size()) return false;
  const auto trail = static_cast<unsigned char>(text[at + 1]);
  return (trail >= 0x40 && trail <= 0x7E) || (trail >= 0x80 && trail <= 0xFC);
}

}  // namespace vantor
