// SPDX-License-Identifier: GPL-3.0-or-later
// The calibration file: a small JSON file of what a beamtime's calibration
// found, per detector element: the energy calibration with its covariance
// and the lines it came from, 2theta with its sigma and the standard it came
// from, each with its files and date. Made once by `calibrate`, it is given
// to every command (and Python) that reads spectra; the read path applies
// it (RunSettings::calibration).
//
// {"vantor_calibration": 1, "date": "2024-03-01T09:30:00Z",
//  "elements": {"1": {"energy": {"egc": [a, b, c], "egc_cov": [[..], [..], [..]],
//                                "lines": "Co-57,Cd-109", "files": [..], "date": ".."},
//                     "two_theta": {"value": 6.4986, "sigma": 0.0002, "azimuth": 10.0,
//                                   "standard": "al2o3", "files": [..], "date": ".."}}}}
// "azimuth" (optional): the element's place on a detector ring around the
// beam, in degrees, for the pressure of a cell the ring sees.
// Element "0" is the only spectrum of a file of one; "1".. the elements of
// a multi-element file.
#pragma once

#include <array>
#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/RunSettings.h"

namespace vantor {

struct EnergyEntry {
  std::array<double, 3> egc{};  // keV, keV per channel, keV per channel^2
  std::array<std::array<double, 3>, 3> covariance{};
  std::string lines;  // as given to the calibration
  std::vector<std::string> files;
  std::string date;  // UTC, ISO 8601
};

struct AngleEntry {
  double twoThetaDeg = 0;
  double sigmaDeg = 0;
  std::string standard;
  std::vector<std::string> files;
  std::string date;
  std::optional<double> azimuthDeg;
};

struct CalibrationEntry {
  std::optional<EnergyEntry> energy;
  std::optional<AngleEntry> twoTheta;
};

struct CalibrationFile {
  std::string date;  // when written
  std::map<std::size_t, CalibrationEntry> elements;
};

struct CalibrationRead {
  bool ok = false;
  std::string message;  // what is wrong, when not ok
  CalibrationFile calibration;
};

// The text's calibration, checked: every value present is of the right
// kind and range, every element has an energy calibration or an angle.
CalibrationRead ParseCalibration(std::string_view text);
// As ParseCalibration; the message names the file.
CalibrationRead ReadCalibrationFile(const std::string& path);

std::string CalibrationText(const CalibrationFile& calibration);
// Replaces the file atomically; false and the reason in `why` on failure.
bool WriteCalibrationFile(const std::string& path, const CalibrationFile& calibration, std::string& why);

// A calibration made in steps (the energy, then 2theta): each element's
// energy calibration or angle that `from` holds replaces the one `into`
// had, the rest stays; the date becomes `from`'s.
void MergeCalibration(CalibrationFile& into, const CalibrationFile& from);

// What the read path applies, `source` naming the file in its messages.
CalibrationValues ValuesOf(const CalibrationFile& calibration, std::string source);

// Now, in UTC, as "2024-03-01T09:30:00Z".
std::string UtcNow();

}  // namespace vantor
