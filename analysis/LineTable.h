// SPDX-License-Identifier: GPL-3.0-or-later
// Energies to calibrate against: the gamma lines of the usual radioactive
// check sources, X-ray fluorescence lines by element and Siegbahn name, or
// plain energies in keV, given as one comma-separated list.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vantor {

struct CalibrationLine {
  std::string name;  // "Co-57 122.06065", "Pb-Ka1", "59.5409"
  double energyKeV = 0;
};

struct LineList {
  bool ok = false;
  std::vector<CalibrationLine> lines;  // in the order given, a source's lines by energy
  std::string message;                 // why not, when not ok
};

// Parses "Co-57,Pb-Ka1,59.5409": a source name stands for all its gamma
// lines, Element-Line for one X-ray line, a number for itself. An unknown
// entry makes the whole list fail with a message that lists what is known.
LineList ParseLineList(std::string_view list);

// The names a list may use, for a picker: the check sources ("Co-57") and
// the X-ray line names that follow an element ("Ka1").
std::vector<std::string_view> CheckSourceNames();
std::vector<std::string_view> XrayLineNames();

}  // namespace vantor
