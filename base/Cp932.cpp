// SPDX-License-Identifier: GPL-3.0-or-later
// The code page 932 decoder: ASCII, half-width katakana and the double-byte
// table made from Python's cp932 codec (scripts/make_cp932_table.py).
#include "base/Cp932.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <utility>
#include <vector>

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

// The double-byte table turned round: (character, lead and trail byte),
// sorted by character; the first pair of the table wins where code page 932
// gives one character two pairs.
std::vector<std::pair<char32_t, std::uint16_t>> MakeEncodeTable() {
  std::vector<std::pair<char32_t, std::uint16_t>> table;
  for (std::size_t lead = 0; lead < 60; ++lead)
    for (std::size_t trail = 0; trail < 188; ++trail)
      if (const char32_t c = kDoubleByte[lead * 188 + trail]; c != 0) {
        const unsigned leadByte = lead < 31 ? 0x81 + lead : 0xE0 + lead - 31;
        const unsigned trailByte = trail < 63 ? 0x40 + trail : 0x80 + trail - 63;
        table.emplace_back(c, static_cast<std::uint16_t>(leadByte << 8 | trailByte));
      }
  std::stable_sort(table.begin(), table.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  return table;
}

// The character that starts at text[i] and its length in bytes: a valid
// UTF-8 sequence, or the single byte as Latin-1.
std::pair<char32_t, std::size_t> NextCharacter(std::string_view text, std::size_t i) {
  const auto b = static_cast<unsigned char>(text[i]);
  const std::size_t length = b >= 0xF0 && b <= 0xF4 ? 4 : b >= 0xE0 ? 3 : b >= 0xC2 && b <= 0xDF ? 2 : 1;
  if (b < 0x80 || length == 1 || i + length > text.size()) return {b, 1};
  char32_t c = b & (0x7F >> length);
  for (std::size_t k = 1; k < length; ++k) {
    const auto next = static_cast<unsigned char>(text[i + k]);
    if ((next & 0xC0) != 0x80) return {b, 1};
    c = c << 6 | (next & 0x3F);
  }
  const bool overlong = (length == 3 && c < 0x800) || (length == 4 && c < 0x10000);
  if (overlong || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return {b, 1};
  return {c, length};
}

}  // namespace

std::string Utf8ToCp932(std::string_view text, bool* replaced) {
  static const auto table = MakeEncodeTable();
  std::string out;
  out.reserve(text.size());
  bool any = false;
  for (std::size_t i = 0; i < text.size();) {
    const auto [c, length] = NextCharacter(text, i);
    i += length;
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c >= 0xFF61 && c <= 0xFF9F) {
      out += static_cast<char>(0xA1 + (c - 0xFF61));  // half-width katakana
    } else if (const auto found = std::lower_bound(table.begin(), table.end(), std::pair{c, std::uint16_t{0}});
               found != table.end() && found->first == c) {
      out += static_cast<char>(found->second >> 8);
      out += static_cast<char>(found->second & 0xFF);
    } else {
      out += '?';
      any = true;
    }
  }
  if (replaced != nullptr) *replaced = any;
  return out;
}

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
  const std::string blanks = BlankedText(field);
  return Cp932ToUtf8(TrimBlanks(blanks));
}

}  // namespace vantor
