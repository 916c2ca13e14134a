// Text routines that take free text from files and from the user: the path
// split, the record's date and time display forms, SplitNumbers, the number
// test (checked against strtod on texts of number characters), wildcards.
#include <fuzzer/FuzzedDataProvider.h>

#include <cerrno>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "FuzzSupport.h"
#include "base/TextFit.h"
#include "base/TextFormat.h"
#include "base/TextRoutines.h"

using namespace vantor;

namespace {

void CheckSplitPath(std::string_view path) {
  const PathParts p = SplitPath(path);
  const std::string joined = p.drive + p.directory + p.name;
  FUZZ_CHECK(joined + "." + p.extension == path || (p.extension.empty() && joined == path));
  FUZZ_CHECK(p.directory.empty() || p.directory.back() == '/' || p.directory.back() == '\\');
  FUZZ_CHECK(p.name.find_first_of("/\\") == std::string::npos);
}

// Where the text holds only number characters, the number test agrees with
// strtod: accepted exactly when strtod reads all of it to a finite value.
void CheckParseNumber(std::string_view text) {
  const auto value = ParseNumber(text);
  if (value) FUZZ_CHECK(std::isfinite(*value));
  const std::string trimmed(TrimBlanks(text));
  if (trimmed.empty() || trimmed.find_first_not_of("0123456789.eE+-") != std::string::npos) return;
  char* end = nullptr;
  errno = 0;
  const double expected = std::strtod(trimmed.c_str(), &end);
  const bool whole = end == trimmed.c_str() + trimmed.size();
  const bool overflow = errno == ERANGE && std::isinf(expected);
  FUZZ_CHECK(value.has_value() == (whole && !overflow));
  if (value && std::fabs(expected) >= DBL_MIN) FUZZ_CHECK(*value == expected);
  if (value && std::fabs(expected) < DBL_MIN) FUZZ_CHECK(std::fabs(*value) < DBL_MIN);
}

void CheckDates(std::string_view text) {
  // The pieces are cut Shift_JIS-safely: half a character becomes a blank.
  const std::string shortDate = FormatShortDate(text);
  const bool year = ParseNumber(SjisSlice(text, 0, 4)).has_value();
  FUZZ_CHECK(shortDate.empty() != year);
  if (year) {
    FUZZ_CHECK(shortDate.size() >= 4 && shortDate[2] == '/');
    FUZZ_CHECK(shortDate.substr(3) == SjisSlice(text, 4, 2) + "/" + SjisSlice(text, 6, 2));
  }
  FUZZ_CHECK(FormatClock(text).size() == 2 + std::min<std::size_t>(text.size(), 6));
  FUZZ_CHECK(FormatLongDate(text, '-').size() == 2 + std::min<std::size_t>(text.size(), 8));
}

void CheckSplitNumbers(std::string_view text) {
  std::array<double, 11> values;
  values.fill(-1);
  const int count = SplitNumbers(text, values);
  FUZZ_CHECK(count >= 1 && count <= 11);
  for (int i = 0; i < count; ++i) FUZZ_CHECK(std::isfinite(values[i]));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const int routine = input.ConsumeIntegralInRange(0, 4);
  const std::string text = input.ConsumeRemainingBytesAsString();
  switch (routine) {
    case 0: CheckSplitPath(text); break;
    case 1: CheckParseNumber(text); break;
    case 2: CheckDates(text); break;
    case 3: CheckSplitNumbers(text); break;
    default: {
      FUZZ_CHECK(MatchesWildcard(text, text) && MatchesWildcard(text, "*"));
      const std::string two = FormatTwoDigitText(text);
      if (!ParseNumber(text)) FUZZ_CHECK(two == text);
    }
  }
  return 0;
}
