// SPDX-License-Identifier: GPL-3.0-or-later
// Helpers every command shares: usage errors, number lists, the calibration file.
#include <cstdio>

#include "base/SpectrumRecord.h"
#include "base/TextRoutines.h"
#include "cli/Commands.h"
#include "convert/CalibrationFile.h"

namespace vantor::cli {

void PrintOut(const std::string& text) {
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fflush(stdout);
}

int UsageError(const std::string& text) {
  std::fprintf(stderr, "vantor-cli: %s\n", text.c_str());
  return kExitUsage;
}

std::optional<std::vector<double>> ParseNumberList(const std::string& text, std::size_t count) {
  std::vector<double> values;
  std::size_t start = 0;
  while (true) {
    const auto comma = text.find(',', start);
    const auto number = ParseNumber(
        std::string_view(text).substr(start, comma == std::string::npos ? std::string::npos : comma - start));
    if (!number) return std::nullopt;
    values.push_back(*number);
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  if (values.size() != count) return std::nullopt;
  return values;
}

bool LoadCalibration(const std::string& path, RunSettings& settings, CalibrationFile* file) {
  CalibrationRead read = ReadCalibrationFile(path);
  if (!read.ok) {
    std::fprintf(stderr, "vantor-cli: %s\n", read.message.c_str());
    return false;
  }
  settings.calibration = ValuesOf(read.calibration, path);
  if (file != nullptr) *file = std::move(read.calibration);
  return true;
}

std::optional<CsvParameters> ParseCsvParameters(const std::string& text) {
  const auto v = ParseNumberList(text, 5);
  if (!v) return std::nullopt;
  CsvParameters p;
  p.TwoTheta = (*v)[0];
  p.EGC = {(*v)[1], (*v)[2], (*v)[3]};
  p.Temperature = (*v)[4] - kZeroCelsiusInKelvin;  // entered in kelvin, kept in degrees Celsius
  return p;
}

}  // namespace vantor::cli
