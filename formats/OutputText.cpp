// SPDX-License-Identifier: GPL-3.0-or-later
// Shared pieces of the text outputs (see OutputText.h).
#include "formats/OutputText.h"

#include "base/FileAccess.h"

#include "base/TextFit.h"
#include "base/TextRoutines.h"

namespace vantor {

void LeftFitTail(std::string& out, std::size_t start, std::size_t width) {
  const std::size_t length = out.size() - start;
  if (length < width) {
    out.append(width - length, ' ');
  } else if (length > width) {
    const std::string fitted = LeftFit(std::string_view(out).substr(start), width);
    out.replace(start, std::string::npos, fitted);
  }
}

void RightFitTail(std::string& out, std::size_t start, std::size_t width) {
  const std::size_t length = out.size() - start;
  if (length < width) {
    out.insert(start, width - length, ' ');
  } else if (length > width) {
    const std::string fitted = RightFit(std::string_view(out).substr(start), width);
    out.replace(start, std::string::npos, fitted);
  }
}

void AppendMaskedLine(std::string& out, std::string_view label, double value, std::string_view mask) {
  out += label;
  AppendMask(out, value, mask);
  out += "\r\n";
}

void AppendDateTime(std::string& out, const Text<8>& date, const Text<6>& time) {
  const std::string day = FieldOf(date);
  const std::string clock = FieldOf(time);
  out += FormatLongDate(day, '-');
  out += ' ';
  out += FormatTwoDigitText(SjisSlice(clock, 0, 2));
  out += ':';
  out += SjisSlice(clock, 2, 2);
  out += ':';
  out += SjisSlice(clock, 4, 2);
}

Encoded EncodeText(void (*body)(std::string&, const SpecData&, const Header&), const SpectrumRecord& record) {
  Encoded encoded;
  if (!ChannelCountValid(record.Data)) {
    encoded.failure = "more than 8192 channels";
    return encoded;
  }
  body(encoded.bytes, record.Data, record.Head);
  return encoded;
}

}  // namespace vantor
