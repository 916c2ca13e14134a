// SPDX-License-Identifier: GPL-3.0-or-later
// Pieces shared by the text outputs (report, text, CSV, GSA, profile file):
// text fields as the outputs see them, fitting the end of a line being built
// to a width, and the date-time text of the GSA and NPD headers.
#pragma once

#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

#include "base/ConvertContext.h"
#include "base/TextFit.h"
#include "base/TextFormat.h"
#include "base/SpectrumRecord.h"

namespace vantor {

// A text field with its zero bytes read as blanks (a field never set since
// program start holds only zero bytes).
template <std::size_t N>
std::string FieldOf(const Text<N>& field) {
  return FieldText(View(field));
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

// Channel numbers 1, 2, 3 ... as decimal text, counted up rather than
// formatted anew for every line. Room for the 8192 channels of a record and
// far beyond.
class ChannelNumber {
 public:
  static constexpr std::size_t kDigits = 8;
  std::size_t Size() const { return kDigits - first_; }
  // The digits and whatever follows them, kDigits bytes in all: one fixed
  // copy instead of a loop over a varying length.
  void CopyTo(char* at) const { std::memcpy(at, digits_ + first_, kDigits); }
  void Next() {
    std::size_t i = kDigits - 1;
    while (i > 0 && digits_[i] == '9') digits_[i--] = '0';
    ++digits_[i];
    if (i < first_) first_ = i;
  }

 private:
  char digits_[2 * kDigits] = {'0', '0', '0', '0', '0', '0', '0', '1'};
  std::size_t first_ = kDigits - 1;
};

// Builds lines of numbers in a local buffer and appends them to the file a
// few kilobytes at a time; values the direct writers cannot take go the
// general way. For the channel loops, which write thousands of lines per
// file. Everything is in the file once the builder is gone.
class LineBuilder {
 public:
  explicit LineBuilder(std::string& out) : out_(out) {}
  ~LineBuilder() { Flush(); }
  LineBuilder(const LineBuilder&) = delete;
  LineBuilder& operator=(const LineBuilder&) = delete;

  template <typename Number>
  [[gnu::always_inline]] void Masked(Number value, const NumberMask& mask) {
    MakeRoom();
    if (char* end = WriteMask(at_, value, mask)) {
      at_ = end;
    } else {
      Flush();
      AppendMask(out_, value, mask);
    }
  }

  template <typename Number>
  [[gnu::always_inline]] void Aligned(Number value, const NumberMask& mask) {
    MakeRoom();
    if (char* end = WriteAligned(at_, value, mask)) {
      at_ = end;
    } else {
      Flush();
      AppendAligned(out_, value, mask);
    }
  }

  void Put(char c) {
    MakeRoom();
    *at_++ = c;
  }

  // A channel number with blanks in front up to `width` (at most 8).
  void PutRight(const ChannelNumber& number, std::size_t width) {
    MakeRoom();
    std::memset(at_, ' ', ChannelNumber::kDigits);
    const std::size_t size = number.Size();
    if (width > size) at_ += width - size;
    number.CopyTo(at_);
    at_ += size;
  }

  void EndLine() {
    MakeRoom();
    *at_++ = '\r';
    *at_++ = '\n';
  }

 private:
  void MakeRoom() {
    if (static_cast<std::size_t>(buffer_ + sizeof buffer_ - at_) < kMaskTextRoom + 2) Flush();
  }
  void Flush() {
    out_.append(buffer_, static_cast<std::size_t>(at_ - buffer_));
    at_ = buffer_;
  }

  std::string& out_;
  char buffer_[4096];
  char* at_ = buffer_;
};

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
// hold is an "Open Error"; otherwise the body is built and saved, asking
// `question` before an existing file is replaced.
bool SaveTextOutput(const std::string& path, void (*body)(std::string&, const SpecData&, const Header&),
                    const SpecData& data, const Header& header, ConvertContext& context, std::string_view question);

}  // namespace vantor
