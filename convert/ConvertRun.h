// SPDX-License-Identifier: GPL-3.0-or-later
// The Convert run: checks the user's entries, asks once before writing over
// files when per-file questions are off, and converts every selected file
// into every chosen output, showing progress. The window fills a request
// from its controls; the command line fills the same pieces from its flags.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "base/ConvertContext.h"
#include "formats/FormatTable.h"

namespace vantor {

using OutputChoice = std::array<bool, kOutputKinds>;  // indexed by OutputKind

// The window's controls at the moment "Convert Start" is pressed. Entry
// boxes arrive already through the number test: no value = not a number.
struct ConvertRequest {
  bool changeEGC = false;
  std::array<std::optional<double>, 3> egc;
  bool change2Theta = false;
  std::optional<double> twoTheta;
  std::int16_t twoThetaMode = 0;  // 0 Relative, 1 Absolute
  std::string selection;          // txtSelFile: names joined by ";"
  // The file list's selection as names, while txtSelFile shows it as the
  // list wrote it: taken as they are, never split again ("run,1.xbm").
  std::vector<std::string> picked;
  bool useListFile = false;       // chkXli
  std::string listName;           // txtXliName
  std::string directory;          // the directory list's folder
  std::string filesFolder;        // the file list's folder
  std::string pattern;            // the file list's pattern, "*.xbm"
  SourceKind source = SourceKind::Xbm;  // the source button checked
  OutputChoice outputs{};
};

// One file to convert and the kind it was given as (a --from name or a
// source button's); empty: its extension tells.
struct SourceFile {
  std::string path;
  std::string kind;
};

// Whether the file is read as an analyser export, which takes the
// parameter entry's values.
bool IsAnalyserExport(const SourceFile& file);

struct RunResult {
  int requested = 0;  // outputs asked for (files x checked outputs)
  int written = 0;    // outputs written
  bool completed = false;  // false when the run ended early (a check, No, Cancel)
  // Per source file: every output written, a failure (unreadable source, an
  // output not written), or skipped (only declined overwrites kept outputs).
  int files = 0;
  int converted = 0;
  int failed = 0;
  int skipped = 0;
};

// The whole run behind "Convert Start".
RunResult RunConvert(const ConvertRequest& request, ConvertContext& context);

// Its pieces, in the order the run takes them.
// Stores the EGC and 2Theta changes; "EGC Paramter Error", "2Theta Value Error".
bool StoreChanges(const ConvertRequest& request, ConvertContext& context);
// "Plz Check Create File Type!", then the one question when per-file
// questions are off.
bool CheckOutputsAndConfirm(const OutputChoice& outputs, ConvertContext& context);
// The parameter entry when any source is a CSV file, every file into every
// output with "n/count" after each file, "Finished" and "Convert Finished".
RunResult ConvertFiles(const std::vector<SourceFile>& files, const OutputChoice& outputs,
                       ConvertContext& context);

// Every checked output of one file, in the table's order, counted in result.
// A file of several spectra gives every output once per spectrum, named by
// ElementTag.
void ConvertToOutputs(const SourceFile& file, const OutputChoice& outputs, ConvertContext& context, RunResult& result);
// "3/12"
std::string ProgressText(int done, int count);
// Between files: true when the user asked to stop, which the status then says.
bool StopBetweenFiles(UserPrompt& prompt);

// A numbered series of record files named after a list file: every record
// file NAME_????.xbm beside NAME.xli, sorted by name, into every output.
RunResult RunListFile(const std::string& listPath, const OutputChoice& outputs,
                      ConvertContext& context);

}  // namespace vantor
