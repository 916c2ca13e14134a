// SPDX-License-Identifier: GPL-3.0-or-later
// Pieces shared by the text outputs (report, text, CSV, GSA, profile file):
// text fields as the outputs see them, fitting the end of a line being built
// to a width, and the date-time text of the GSA and NPD headers.
#pragma once

#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

#include "base/TextFit.h"
#include "base/TextFormat.h"
#include "base/SpectrumRecord.h"
#include "formats/FormatTable.h"

namespace vantor {

// A text field with its zero bytes read as blanks (a field never set since
// program start holds only zero bytes).
template <std::size_t N>
std::string FieldOf(const Text<N>& field) {
  return BlankedText(View(field));
}

// The text appended since `start` left-fitted (blanks added, or cut at the
// width without splitting a double-byte character).
void LeftFitTail(std::string& out, std::size_t start, std::size_t width);
// The text appended since `start` right-fitted (blanks in front, or its last
// `width` bytes).
void RightFitTail(std::string& out, std::size_t start, std::size_t width);

// One line: the label, the value through the mask, CR LF.
void AppendMaskedLine(std::string& out, std::string_view label, double value, std::string_view mask);

// "yyyy-mm-dd hh:mm:ss" from the record's date (yyyymmdd) and time (hhmmss);
// only the hour passes through the "00" mask, the rest is copied as stored.
void AppendDateTime(std::string& out, const Text<8>& date, const Text<6>& time);

// Builds lines of numbers in a local buffer and appends them to the file a
// few kilobytes at a time; values the direct writers cannot take go the
// general way. For the channel loops, which write thousands of lines per
// file. Everything is in the file once the builder is gone.
//
// A line is written through a Line, a cursor the compiler can keep in a
// register: written through a pointer inside the builder, each character
// might change that pointer as far as the compiler knows, and every number
// would wait for it to be stored and loaded again.
class LineBuilder {
 public:
  class Line;
  explicit LineBuilder(std::string& out) : out_(out) {}
  ~LineBuilder() { Flush(at_); }
  LineBuilder(const LineBuilder&) = delete;
  LineBuilder& operator=(const LineBuilder&) = delete;

  // The next line, with room for `numbers` numbers and a few characters
  // between them.
  template <std::size_t numbers>
  Line Start();

 private:
  static constexpr std::size_t kSize = 4096;

  // Appends the buffer up to `end`; the next text starts at the buffer's start.
  char* Flush(char* end) {
    out_.append(buffer_, static_cast<std::size_t>(end - buffer_));
    return buffer_;
  }

  std::string& out_;
  char buffer_[kSize];
  char* at_ = buffer_;
};

class LineBuilder::Line {
 public:
  Line(LineBuilder& builder, char* at) : builder_(builder), at_(at) {}
  ~Line() { builder_.at_ = at_; }
  Line(const Line&) = delete;
  Line& operator=(const Line&) = delete;

  template <typename Number>
  [[gnu::always_inline]] void Masked(Number value, const NumberMask& mask) {
    if (char* end = WriteMask(at_, value, mask)) {
      at_ = end;
    } else {
      at_ = builder_.Flush(at_);
      AppendMask(builder_.out_, value, mask);
    }
  }

  template <typename Number>
  [[gnu::always_inline]] void Aligned(Number value, const NumberMask& mask) {
    if (char* end = WriteAligned(at_, value, mask)) {
      at_ = end;
    } else {
      at_ = builder_.Flush(at_);
      AppendAligned(builder_.out_, value, mask);
    }
  }

  void Put(char c) { *at_++ = c; }

  // CR LF.
  void End() {
    at_[0] = '\r';
    at_[1] = '\n';
    at_ += 2;
  }

 private:
  LineBuilder& builder_;
  char* at_;
};

template <std::size_t numbers>
LineBuilder::Line LineBuilder::Start() {
  constexpr std::size_t kRoom = numbers * kMaskTextRoom + 16;
  static_assert(kRoom <= kSize, "a line must fit the buffer");
  if (static_cast<std::size_t>(buffer_ + kSize - at_) < kRoom) at_ = Flush(at_);
  return Line(*this, at_);
}

// The largest channel count a writer accepts; more than the record holds is
// a failure, never a read past the counts.
inline bool ChannelCountValid(const SpecData& data) {
  return data.DataNumber <= kMaxChannels;
}

// The channels to write: none for a count of zero or less.
inline int ChannelsToWrite(const SpecData& data) {
  return data.DataNumber < 0 ? 0 : (data.DataNumber > kMaxChannels ? kMaxChannels : data.DataNumber);
}

// The frame every text writer shares: a channel count the record cannot
// hold is a failure; otherwise the body gives the bytes.
Encoded EncodeText(void (*body)(std::string&, const SpecData&, const Header&), const SpectrumRecord& record);

}  // namespace vantor
