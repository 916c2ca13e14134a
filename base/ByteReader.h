// SPDX-License-Identifier: GPL-3.0-or-later
// Bounds-checked little-endian reading of a byte buffer. A read that would
// run past the end returns zeros and sets a failure flag that stays set, so
// a reader checks once per section instead of after every field.
#pragma once

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace vantor {

class ByteReader {
 public:
  explicit ByteReader(std::string_view bytes) : bytes_(bytes) {}

  void Seek(std::size_t offset) { pos_ = offset; }
  bool Failed() const { return failed_; }

  void Bytes(char* out, std::size_t count) {
    if (pos_ > bytes_.size() || bytes_.size() - pos_ < count) {
      failed_ = true;
      std::memset(out, 0, count);
      return;
    }
    std::memcpy(out, bytes_.data() + pos_, count);
    pos_ += count;
  }

  template <std::size_t N>
  void Bytes(std::array<char, N>& field) {
    Bytes(field.data(), N);
  }

  std::uint8_t U8() { return Number<std::uint8_t>(); }
  std::int16_t I16() { return Number<std::int16_t>(); }
  std::uint16_t U16() { return Number<std::uint16_t>(); }
  std::int32_t I32() { return Number<std::int32_t>(); }
  std::uint32_t U32() { return Number<std::uint32_t>(); }
  std::uint64_t U64() { return Number<std::uint64_t>(); }
  double F64() { return Number<double>(); }
  // Many 32-bit values: on a little-endian machine copied as they lie.
  void I32s(std::int32_t* to, std::size_t count) {
    if constexpr (std::endian::native == std::endian::little) {
      Bytes(reinterpret_cast<char*>(to), count * 4);
    } else {
      for (std::size_t i = 0; i < count; ++i) to[i] = I32();
    }
  }

 private:
  template <typename T>
  T Number() {
    unsigned char raw[sizeof(T)];
    Bytes(reinterpret_cast<char*>(raw), sizeof(T));
    std::uint64_t bits = 0;
    for (std::size_t i = sizeof(T); i-- > 0;) bits = (bits << 8) | raw[i];
    T value;
    if constexpr (sizeof(T) == 8) {
      std::memcpy(&value, &bits, 8);
    } else {
      value = static_cast<T>(bits);
    }
    return value;
  }

  std::string_view bytes_;
  std::size_t pos_ = 0;
  bool failed_ = false;
};

// The matching writer: appends little-endian numbers and fixed fields.
class ByteWriter {
 public:
  explicit ByteWriter(std::string& out) : out_(out) {}

  void Bytes(const char* data, std::size_t count) { out_.append(data, count); }
  template <std::size_t N>
  void Bytes(const std::array<char, N>& field) {
    out_.append(field.data(), N);
  }
  void I16(std::int16_t v) { Number(static_cast<std::uint16_t>(v), 2); }
  void I32(std::int32_t v) { Number(static_cast<std::uint32_t>(v), 4); }
  // Many 32-bit values: on a little-endian machine their bytes as they lie.
  void I32s(const std::int32_t* values, std::size_t count) {
    if constexpr (std::endian::native == std::endian::little) {
      out_.append(reinterpret_cast<const char*>(values), count * 4);
    } else {
      for (std::size_t i = 0; i < count; ++i) I32(values[i]);
    }
  }
  void F64(double v) {
    std::uint64_t bits;
    std::memcpy(&bits, &v, 8);
    Number(bits, 8);
  }

 private:
  void Number(std::uint64_t bits, int size) {
    for (int i = 0; i < size; ++i, bits >>= 8) out_ += static_cast<char>(bits & 0xFF);
  }

  std::string& out_;
};

}  // namespace vantor
