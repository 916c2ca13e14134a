// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/PressureSeries.h"

#include <algorithm>
#include <charconv>
#include <tuple>

#include "analysis/PressureReport.h"
#include "base/FolderFiles.h"
#include "base/TextRoutines.h"
#include "formats/FormatTable.h"

namespace vantor {
namespace {

// The number of `width` digits at `at`, or -1.
int Digits(std::string_view text, std::size_t at, std::size_t width) {
  if (text.size() < at + width) return -1;
  int value = 0;
  const char* first = text.data() + at;
  const auto [end, error] = std::from_chars(first, first + width, value);
  return error == std::errc() && end == first + width ? value : -1;
}

// Days from 1970-01-01 of a date of the proleptic Gregorian calendar
// (H. Hinnant's days_from_civil, chrono-compatible low-level date algorithms).
long long DaysFromCivil(int year, int month, int day) {
  year -= month <= 2;
  const int era = (year >= 0 ? year : year - 399) / 400;
  const int yearOfEra = year - era * 400;
  const int dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const int dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return static_cast<long long>(era) * 146097 + dayOfEra - 719468;
}

}  // namespace

std::string SeriesPatterns() {
  std::string patterns;
  for (const SourceFormat& f : SourceFormats())
    if (f.kind != SourceKind::Csv) patterns += (patterns.empty() ? "" : ";") + std::string(f.patterns);
  return patterns;
}

std::vector<std::string> SeriesFilesOf(const std::string& folder, std::string& why) {
  std::vector<std::string> paths;
  for (const std::string& name : FolderFiles(folder, SeriesPatterns(), &why)) paths.push_back(JoinPath(folder, name));
  return paths;
}

std::optional<double> MeasurementSeconds(const SpectrumPressure& p) {
  const std::string_view date = p.date, time = p.time;
  const int year = Digits(date, 0, 4), month = Digits(date, 5, 2), day = Digits(date, 8, 2);
  if (date.size() != 10 || year < 0 || month < 1 || month > 12 || day < 1 || day > 31) return std::nullopt;
  double seconds = static_cast<double>(DaysFromCivil(year, month, day)) * 86400;
  if (const int h = Digits(time, 0, 2), m = Digits(time, 3, 2), s = Digits(time, 6, 2);
      time.size() == 8 && h >= 0 && m >= 0 && s >= 0)
    seconds += h * 3600 + m * 60 + s;
  return seconds;
}

SourcePressure PressureSeries::Take(const std::string& path, std::string_view kind) {
  SourcePressure source = PressureOfSource(path, kind, settings_, request_);
  std::erase_if(spectra_, [&](const SpectrumPressure& p) { return p.file == path; });
  spectra_.insert(spectra_.end(), source.spectra.begin(), source.spectra.end());
  std::stable_sort(spectra_.begin(), spectra_.end(), [](const SpectrumPressure& a, const SpectrumPressure& b) {
    return std::tie(a.date, a.time) < std::tie(b.date, b.time);
  });
  return source;
}

std::string PressureSeries::Table() const {
  return PressureTable(spectra_);
}

}  // namespace vantor
