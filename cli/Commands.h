// SPDX-License-Identifier: GPL-3.0-or-later
// The subcommands of vantor-cli. Each registers its options on the app and
// returns the function that runs it after parsing; the function returns the
// exit status: 0 every requested output written, 1 something failed or was
// skipped, 2 a usage error.
#pragma once

#include <CLI/CLI.hpp>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "base/UserPrompt.h"

namespace vantor {
struct CalibrationFile;
}

namespace vantor::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

using Command = std::function<int()>;

Command AddConvertCommand(CLI::App& app);
Command AddCombineCommand(CLI::App& app);
Command AddTableCommand(CLI::App& app);
Command AddShowCommand(CLI::App& app);
// Only in builds with the chart library, in the program vantor-cli-plot.
Command AddPlotCommand(CLI::App& app);
inline constexpr const char* kPlotSummary = "Draw spectra into a PNG or SVG picture (no display needed)";
Command AddWatchCommand(CLI::App& app);
Command AddPressureCommand(CLI::App& app);
Command AddPeaksCommand(CLI::App& app);
Command AddCalibrateCommand(CLI::App& app);

// A usage error found after parsing: printed, exit status 2.
int UsageError(const std::string& text);

// The text on standard output as it is, at once (a watch's reader sees
// each line as it is known).
void PrintOut(const std::string& text);

// "A,B,C" as exactly `count` numbers (the number test of file contents).
std::optional<std::vector<double>> ParseNumberList(const std::string& text, std::size_t count);

// The files a command works on, in this order: FILE arguments as given, a
// folder argument as the files of kind `from` in it (as the window lists
// them), then the lines of the list `filesFrom` ("-": standard input). No
// value, and the reason in `error`, when none is left or a list or folder
// cannot be read.
std::optional<std::vector<std::string>> CollectFiles(const std::vector<std::string>& args, const std::string& filesFrom,
                                                     const std::string& from, std::string& error);
// Its pieces: the arguments and folders, added to `files`; each line of
// the list (no line ends, no empty lines), given to `take` as it is read.
bool CollectArguments(const std::vector<std::string>& args, const std::string& from, std::vector<std::string>& files,
                      std::string& error);
bool ForEachListed(const std::string& filesFrom, const std::function<void(std::string&)>& take, std::string& error);

// --calibration FILE: the calibration file's values into `settings` (and
// the file into `file` when given); false, with the reason printed, when it
// cannot be read or is broken.
bool LoadCalibration(const std::string& path, RunSettings& settings, CalibrationFile* file = nullptr);

// --csv-params TWOTHETA,EGC0,EGC1,EGC2,KELVIN as the parameter entry gives
// them (temperature in degrees Celsius); no value when malformed.
std::optional<CsvParameters> ParseCsvParameters(const std::string& text);

}  // namespace vantor::cli
