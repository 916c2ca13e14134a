// SPDX-License-Identifier: GPL-3.0-or-later
// A pressure series: the pressure, temperature and press load of every
// spectrum of a run's files, in the order they were measured. The window's
// series view and `watch --pressure` keep one each and feed it file by file
// as files arrive; a file read again replaces what it gave before.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/SpectrumPressure.h"

namespace vantor {

// The file patterns of the sources a series is made of: every kind but
// analyser exports, which carry neither the angle nor the calibration.
std::string SeriesPatterns();

// The folder's files of those kinds, as paths, in natural order; none and
// the reason in `why` when the folder cannot be listed.
std::vector<std::string> SeriesFilesOf(const std::string& folder, std::string& why);

// Seconds since 1970-01-01 00:00 of the measurement date and time as the
// record gives them (the beamline's clock, no time zone); none when the
// record has no date in the form 2016-11-05.
std::optional<double> MeasurementSeconds(const SpectrumPressure& p);

class PressureSeries {
 public:
  PressureSeries(PressureRequest request, RunSettings settings) : request_(request), settings_(std::move(settings)) {}

  // Reads the file the one way every source is read (kind as ReadSpectra
  // takes it) and keeps each of its spectra's pressure, replacing the
  // file's earlier ones; gives what the file gave.
  SourcePressure Take(const std::string& path, std::string_view kind = "");

  // Every spectrum taken, those without a pressure too, by measurement
  // date and time; ties in the order taken.
  const std::vector<SpectrumPressure>& spectra() const { return spectra_; }
  // The table of `pressure --table` of them.
  std::string Table() const;

  const PressureRequest& request() const { return request_; }
  const RunSettings& settings() const { return settings_; }

 private:
  PressureRequest request_;
  RunSettings settings_;
  std::vector<SpectrumPressure> spectra_;
};

}  // namespace vantor
