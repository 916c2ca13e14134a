// SPDX-License-Identifier: GPL-3.0-or-later
// What a run (the window's, a command's, a Python call's) takes from the
// user besides its files, one field for each meaning: the values an
// analyser export lacks, the changes asked for every other source, and
// whether an existing file is replaced without asking.
#pragma once

#include <array>
#include <cstddef>
#include <map>
#include <optional>
#include <string>

namespace vantor {

// The five values an analyser export does not carry, as the parameter
// entry returns them: the angle, the calibration and the temperature in
// degrees Celsius (the entry itself takes kelvin).
struct CsvParameters {
  double TwoTheta = 0;
  std::array<double, 3> EGC{};
  double Temperature = 0;
};

// A change of 2theta: `value` degrees added, or 2theta set to it.
struct TwoThetaChange {
  double value = 0;
  bool absolute = false;
};

// The changes a run makes to every source but analyser exports, whose
// parameter entry is final.
struct SourceChanges {
  std::optional<std::array<double, 3>> egc;  // the calibration that replaces each source's
  std::optional<TwoThetaChange> twoTheta;
};

// A calibration made earlier (a calibration file's values) for each
// detector element it holds: what replaces a spectrum's own calibration
// and angle on every read, viewing included.
struct ElementCalibration {
  std::optional<std::array<double, 3>> egc;
  std::optional<double> twoTheta;
  double twoThetaSigma = 0;  // degrees, with the angle: what a pressure from it carries
  std::optional<double> azimuthDeg;  // on a detector ring, with the angle
};
struct CalibrationValues {
  std::string source;  // the file it came from, for messages
  std::map<std::size_t, ElementCalibration> elements;
};

// The element number of spectrum `index` (from 0) of a file of `count`:
// 1.. in a file of several, as the detector numbers them; 0 for a file's
// only spectrum, so that a single detector's calibration never passes for
// one element's of a multi-element detector, nor the other way round.
inline std::size_t CalibrationElement(std::size_t index, std::size_t count) {
  return count > 1 ? index + 1 : 0;
}

struct RunSettings {
  CsvParameters csv;      // the values last entered for analyser exports (0 when none were)
  SourceChanges changes;  // this run's changes to the other sources
  std::optional<CalibrationValues> calibration;
  bool OverWriteCheck = true;
};

// The settings for reading a source as it is (to view, sum or show it): an
// analyser export still takes the values entered for it, but no source the
// changes of a conversion.
inline RunSettings WithoutChanges(RunSettings settings) {
  settings.changes = {};
  return settings;
}

}  // namespace vantor
