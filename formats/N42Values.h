// SPDX-License-Identifier: GPL-3.0-or-later
// The texts inside N42 elements: channel data (plain or with counted
// zeros), xs:duration times, xs:dateTime start times and number lists.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/ReadResult.h"
#include "base/SpectrumRecord.h"

namespace vantor::n42 {

// Counts of one <ChannelData>, fed piece by piece (an element's text may be
// split by comments or CDATA sections). Channels beyond 8192 are counted,
// not stored, so that the file can be refused with its true channel count.
class ChannelCounts {
 public:
  ChannelCounts(bool countedZeros, SpecData& out) : countedZeros_(countedZeros), out_(out) {}

  // A piece of text that starts on line `line` of the file.
  ReadResult Add(std::string_view text, std::size_t line);
  // After the last piece; `line` is where the element starts. Sets DataNumber.
  ReadResult Finish(std::size_t line);

 private:
  bool countedZeros_;
  bool zeroRun_ = false;  // a 0 was read; its number of zeros comes next
  std::uint64_t channels_ = 0;
  SpecData& out_;
};

// Seconds of an xs:duration ("PT1802.089966S", "P1DT2H3M4.5S") or of a
// plain number of seconds; none for anything else (negative durations,
// years and months, which have no fixed length, included).
std::optional<double> DurationSeconds(std::string_view text);

// An xs:dateTime "yyyy-mm-ddThh:mm:ss[.fff][Z|+hh:mm|-hh:mm]" as the
// record's "yyyymmdd" and "hhmmss" (fractions cut) and its zone as written:
// "UTC" for "Z", the offset otherwise, empty for a local time.
struct StartTime {
  std::string date;
  std::string time;
  std::string zone;
};
std::optional<StartTime> ParseStartTime(std::string_view text);

// The numbers of a blank-separated list; none when a field is not a number.
std::optional<std::vector<double>> NumberList(std::string_view text);

// A polynomial calibration that counts the first channel as 0, as the
// record's coefficients (first channel 1), energies unchanged; none when it
// has a nonzero term beyond the quadratic, which the record cannot hold.
std::optional<std::array<double, 3>> ChannelOneCoefficients(const std::vector<double>& zeroBased);

// A text with the blanks, tabs and line ends around it removed and those
// inside it each run made one blank.
std::string Collapsed(std::string_view text);

}  // namespace vantor::n42
