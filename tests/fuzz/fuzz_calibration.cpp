// SPDX-License-Identifier: GPL-3.0-or-later
// Calibration file: arbitrary bytes either refused with a message, or read
// into values that write and read back to the same text.
#include <cstdint>

#include "FuzzSupport.h"
#include "convert/CalibrationFile.h"

using namespace vantor;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const CalibrationRead read = ParseCalibration({reinterpret_cast<const char*>(data), size});
  if (!read.ok) {
    FUZZ_CHECK(!read.message.empty());
    return 0;
  }
  const std::string text = CalibrationText(read.calibration);
  const CalibrationRead again = ParseCalibration(text);
  FUZZ_CHECK(again.ok && CalibrationText(again.calibration) == text);
  return 0;
}
