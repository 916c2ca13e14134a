// SPDX-License-Identifier: GPL-3.0-or-later
// Text routines and number masks on arbitrary input: doubles of every bit
// pattern (NaN, infinities, subnormals) through the writers' masks and
// masks of any bytes; Shift_JIS cuts at any start and width; the path
// split; the number test against strtod; dates; SplitNumbers; wildcards.
#include <fuzzer/FuzzedDataProvider.h>

#include <bit>
#include <cerrno>
#include <cfloat>

#include "FuzzNumbers.h"
#include "base/TextFit.h"
#include "base/TextRoutines.h"
#include "support/ShiftJisSlice.h"

using namespace vantor;

namespace {

void CheckNumbers(FuzzedDataProvider& input) {
  const double value = std::bit_cast<double>(input.ConsumeIntegral<std::uint64_t>());
  fuzz::CheckNumberTexts(value);
  for (const std::string_view mask : fuzz::kWriterMasks) {
    std::string text;
    AppendMask(text, std::bit_cast<std::int64_t>(value), mask);  // the integer overload keeps every digit
    if (mask.find('E') == std::string_view::npos)
      FUZZ_CHECK(std::strtoll(text.c_str(), nullptr, 10) == std::bit_cast<std::int64_t>(value));
  }
  const std::string mask = input.ConsumeRandomLengthString(400);  // any bytes must not crash
  fuzz::NonFiniteText(FormatMask(value, mask), value);
  std::string aligned;
  AppendAligned(aligned, value, NumberMask(mask));
}

void CheckFitting(FuzzedDataProvider& input) {
  const std::size_t start = input.ConsumeIntegralInRange<std::size_t>(0, 300);
  const std::size_t width = input.ConsumeIntegralInRange<std::size_t>(0, 300);
  const std::string text = input.ConsumeRemainingBytesAsString();
  FUZZ_CHECK(SjisSlice(text, start, width) == test::ExpectedSlice(text, start, width));
  FUZZ_CHECK(LeftFit(text, width) == test::ExpectedLeftFit(text, width));
  const std::string right = RightFit(text, width);
  FUZZ_CHECK(
      right.size() == width &&
      (text.size() >= width ? right == test::ExpectedSlice(text, text.size() - width, width) : right.ends_with(text)));
  FUZZ_CHECK(BlankedText(text).find('\0') == std::string::npos);
}

// Where the text holds only number characters, the number test accepts it
// exactly when strtod reads all of it to a finite value, and agrees on it.
void CheckParseNumber(const std::string& text) {
  const auto value = ParseNumber(text);
  FUZZ_CHECK(!value || std::isfinite(*value));
  const std::string trimmed(TrimBlanks(text));
  if (trimmed.empty() || trimmed.find_first_not_of("0123456789.eE+-") != std::string::npos) return;
  char* end = nullptr;
  errno = 0;
  const double expected = std::strtod(trimmed.c_str(), &end);
  FUZZ_CHECK(value.has_value() ==
             (end == trimmed.c_str() + trimmed.size() && !(errno == ERANGE && std::isinf(expected))));
  if (value) FUZZ_CHECK(std::fabs(expected) >= DBL_MIN ? *value == expected : std::fabs(*value) < DBL_MIN);
}

void CheckRoutines(const std::string& text) {
  const PathParts p = SplitPath(text);
  const std::string joined = p.drive + p.directory + p.name;
  FUZZ_CHECK(joined + "." + p.extension == text || (p.extension.empty() && joined == text));
  FUZZ_CHECK(p.name.find_first_of("/\\") == std::string::npos && p.extension.find_first_of("/\\") == std::string::npos);
  CheckParseNumber(text);
  // Date pieces are cut Shift_JIS-safely: half a character becomes a blank.
  const bool year = ParseNumber(SjisSlice(text, 0, 4)).has_value();
  FUZZ_CHECK(FormatShortDate(text).empty() != year);
  if (year) FUZZ_CHECK(FormatShortDate(text).substr(3) == SjisSlice(text, 4, 2) + "/" + SjisSlice(text, 6, 2));
  FUZZ_CHECK(FormatClock(text).size() == 2 + std::min<std::size_t>(text.size(), 6));
  std::array<double, 11> values;
  const int count = SplitNumbers(text, values);
  FUZZ_CHECK(count >= 1 && count <= 11);
  for (int i = 0; i < count; ++i) FUZZ_CHECK(std::isfinite(values[i]));
  FUZZ_CHECK(MatchesWildcard(text, text) && MatchesWildcard(text, "*"));
  if (!ParseNumber(text)) FUZZ_CHECK(FormatTwoDigitText(text) == text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  switch (input.ConsumeIntegralInRange(0, 2)) {
    case 0:
      CheckNumbers(input);
      break;
    case 1:
      CheckFitting(input);
      break;
    default:
      CheckRoutines(input.ConsumeRemainingBytesAsString());
  }
  return 0;
}
