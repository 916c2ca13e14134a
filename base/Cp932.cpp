// SPDX-License-Identifier: GPL-3.0-or-later
// The code page 932 decoder: ASCII, half-width katakana and the double-byte
// table made from Python's cp932 codec (scripts/make_cp932_table.py).
#include "base/Cp932.h"

#include <array>
#include <cstdint>

#include "base/TextFit.h"

namespace vantor {
namespace {

constexpr std::array<std::uint16_t, 60 * 188> kDoubleByte{
#include "base/Cp932Table.inc"
};

constexpr char32_t kReplacement = 0xFFFD;

// Index of a lead byte among 0x81-0x9F, 0xE0-0xFC; -1 for any other byte.
int LeadIndex(unsigned char b) {
  if (b >= 0x81 && b <= 0x9F) return b - 0x81;
  if (b >= 0xE0 && b <= 0xFC) return b - 0xE0 + 31;
  return -1;
}

// Index of a trail byte among 0x40-0x7E, 0x80-0xFC; -1 for any other byte.
int TrailIndex(unsigned char b) {
  if (b >= 0x40 && b <= 0x7E) return b - 0x40;
  if (b >= 0x80 && b <= 0xFC) return b - 0x80 + 63;
  return -1;
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

}  // namespace

std::string Cp932ToUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    if (b < 0x80) {
      out += static_cast<char>(b);
    } else if (b >= 0xA1 && b <= 0xDF) {
      AppendUtf8(out, 0xFF61 + (b - 0xA1));  // half-width katakana
    } else if (const int lead = LeadIndex(b); lead >= 0 && i + 1 < bytes.size()) {
      const int trail = TrailIndex(static_cast<unsigned char>(bytes[i + 1]));
      if (trail < 0) {
        AppendUtf8(out, kReplacement);  // the next byte starts afresh
        continue;
      }
      const std::uint16_t c = kDoubleByte[static_cast<std::size_t>(lead) * 188 + trail];
      AppendUtf8(out, c != 0 ? c : kReplacement);
      ++i;
    } else {
      AppendUtf8(out, kReplacement);
    }
  }
  return out;
}

std::string DisplayText(std::string_view field) {
  const std::string blanks = FieldText(field);
  return Cp932ToUtf8(TrimBlanks(blanks));
}

}  // namespace vantor
