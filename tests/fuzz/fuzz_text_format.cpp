// Number masks and Shift_JIS fitting on arbitrary doubles (every bit pattern:
// NaN, infinities, subnormals), arbitrary masks, arbitrary bytes and widths.
#include <fuzzer/FuzzedDataProvider.h>

#include <bit>
#include <cstdint>
#include <cstdlib>

#include "FuzzNumbers.h"
#include "FuzzSupport.h"
#include "base/TextFit.h"
#include "base/TextFormat.h"

using namespace vantor;

namespace {

bool Lead(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }
bool Trail(unsigned char c) { return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFC); }

// The cut keeps whole characters inside the window and puts a blank for
// every byte of a character that the window's edge splits.
void CheckSlice(std::string_view text, std::size_t start, std::size_t length, const std::string& out) {
  const std::size_t end = std::min(text.size(), start + length);
  FUZZ_CHECK(out.size() == (end > start ? end - start : 0));
  for (std::size_t i = 0; i < text.size();) {
    const bool pair = Lead(text[i]) && i + 1 < text.size() && Trail(text[i + 1]);
    const std::size_t width = pair ? 2 : 1;
    const bool whole = i >= start && i + width <= end;
    for (std::size_t j = i; j < i + width; ++j)
      if (j >= start && j < end) FUZZ_CHECK(out[j - start] == (whole ? text[j] : ' '));
    i += width;
  }
}

void CheckIntegerMasks(std::int64_t value) {
  for (const std::string_view mask : fuzz::kWriterMasks) {
    if (mask.find('E') != std::string_view::npos) continue;
    std::string text;
    AppendMask(text, value, mask);  // the integer overload: every digit kept
    FUZZ_CHECK(std::strtoll(text.c_str(), nullptr, 10) == value);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const double value = std::bit_cast<double>(input.ConsumeIntegral<std::uint64_t>());
  fuzz::CheckNumberTexts(value);
  CheckIntegerMasks(std::bit_cast<std::int64_t>(value));

  // A mask of any bytes must not crash; non-finite values keep their text.
  const std::string mask = input.ConsumeRandomLengthString(24);
  std::string out = FormatMask(value, mask);
  fuzz::NonFiniteText(out, value);
  out.clear();
  AppendMask(out, std::bit_cast<std::int64_t>(value), mask);
  FormatAligned(value, mask);

  // Widths as the writers use them: a few bytes up to a whole line.
  const std::size_t start = input.ConsumeIntegralInRange<std::size_t>(0, 300);
  const std::size_t width = input.ConsumeIntegralInRange<std::size_t>(0, 300);
  const std::string text = input.ConsumeRemainingBytesAsString();
  CheckSlice(text, start, width, SjisSlice(text, start, width));
  const std::string left = LeftFit(text, width);
  FUZZ_CHECK(left.size() == width);
  CheckSlice(text, 0, width, left.substr(0, std::min(width, text.size())));
  const std::string right = RightFit(text, width);
  FUZZ_CHECK(right.size() == width);
  if (text.size() >= width) CheckSlice(text, text.size() - width, width, right);
  else FUZZ_CHECK(right.ends_with(text));
  FUZZ_CHECK(FieldText(text).find('\0') == std::string::npos);
  return 0;
}
