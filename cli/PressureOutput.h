// SPDX-License-Identifier: GPL-3.0-or-later
// What pressure and watch show of a spectrum's pressure: its line on
// standard output, its warnings and errors on standard error, its JSON
// object, and the table of a series written whole each time.
#pragma once

#include <nlohmann/json.hpp>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/PressureJson.h"
#include "analysis/PressureSeries.h"

namespace vantor::cli {

// The line (or the short line) on stdout, the warnings on stderr; for a
// spectrum without a pressure only "NAME: why" on stderr. False then.
bool ShowPressure(const SpectrumPressure& p, bool brief);

// Its warnings, or "NAME: why", on stderr; false when there is no pressure.
bool ReportPressureProblems(const SpectrumPressure& p);

// How much of a cell's pressure goes to stdout.
enum class CellShown { None, Brief, Line };

// The cell's line on stdout and its warnings on stderr, or "FILE: no cell
// pressure: why" on stderr; false then.
bool ShowCellPressure(const CellPressure& cell, CellShown shown);

// Replaces the table at `path` atomically (a reader never sees half a
// row); a failure is printed with the system's reason.
bool WritePressureTable(const std::string& path, std::span<const SpectrumPressure> spectra);

// What a watch does with each file it converts: the short line of each
// spectrum's pressure on stdout, then that of the cell when the
// calibration places the file's spectra on a detector ring; and with a
// table their rows added (a file written again replaces its rows) and the
// whole table written again.
class PressureWatch {
 public:
  PressureWatch(PressureRequest request, std::string table, RunSettings settings)
      : series_(request, std::move(settings)), table_(std::move(table)) {}
  void Take(const std::string& path, std::string_view kind);

 private:
  PressureSeries series_;
  std::string table_;
};

// "--standard au:Fei2007 ...": every standard's scales with their papers.
std::string ScalesHelp();

}  // namespace vantor::cli
