// SPDX-License-Identifier: GPL-3.0-or-later
// The Convert run and the list-file run.
#include "convert/ConvertRun.h"

#include <algorithm>
#include <string>

#include "base/TextFit.h"
#include "base/TextRoutines.h"
#include "convert/FileConvert.h"
#include "convert/OutputFile.h"
#include "convert/ParallelConvert.h"
#include "formats/SourceRead.h"

namespace vantor {
namespace {

// The file list's folder and the selection text as one path; a first name
// whose file name has no extension gets the pattern's (a "." in a folder
// name does not count).
std::string SelectionPath(const ConvertRequest& request) {
  std::string extension;
  const std::string_view pattern = TrimBlanks(request.pattern);
  const auto dot = pattern.find('.');
  if (dot != std::string_view::npos) {
    extension = pattern.substr(dot + 1, 3);
  } else {
    extension = pattern;
  }
  std::string selection = request.selection;
  const std::size_t firstEnd = std::min(selection.find_first_of(",;"), selection.size());
  if (SplitPath(std::string_view(selection).substr(0, firstEnd)).extension.empty())
    selection.insert(firstEnd, "." + extension);
  return JoinPath(request.filesFolder, selection);
}

}  // namespace

std::string ProgressText(int done, int count) {
  return std::to_string(done) + "/" + std::to_string(count);
}

bool StopBetweenFiles(UserPrompt& prompt) {
  if (!prompt.StopRequested()) return false;
  prompt.ShowStatus("Stopped");
  return true;
}

bool IsAnalyserExport(const SourceFile& file) {
  const auto formats = FindSources(file.kind.empty() ? SplitPath(file.path).extension : file.kind);
  return !formats.empty() && formats.front()->kind == SourceKind::Csv;
}

void ConvertToOutputs(const SourceFile& file, const OutputChoice& outputs, ConvertContext& context, RunResult& result) {
  const int wanted = static_cast<int>(std::count(outputs.begin(), outputs.end(), true));
  if (wanted == 0) return;
  // One read serves every output: an unreadable source is reported once,
  // and no output can change what the later ones are made from.
  const SourceRead read = ReadSpectra(file.path, file.kind, context.settings);
  if (!read.result) {
    result.requested += wanted;
    ReportReadFailure(context.prompt, file.path, read.result);
    return;
  }
  const std::size_t count = read.spectra.size();
  result.requested += wanted * static_cast<int>(count);
  for (std::size_t k = 0; k < count; ++k) {
    const SourceSpectrum& spectrum = read.spectra[k];
    const std::string element = count > 1 ? " (element " + std::to_string(k + 1) + ")" : "";
    for (const auto& note : spectrum.notes) context.prompt.Note(file.path + element + ": " + note);
    const std::string tag = ElementTag(k, count);
    for (const auto& output : OutputFormats()) {
      if (!outputs[static_cast<int>(output.kind)]) continue;
      const std::string path = OutputPath(file.path, output.kind, context.outputFolder, tag);
      if (WriteOutputFile(output, path, spectrum.record, context)) ++result.written;
    }
  }
}

bool StoreChanges(const ConvertRequest& request, ConvertContext& context) {
  SourceChanges& changes = context.settings.changes;
  changes = {};
  if (request.changeEGC) {
    if (!request.egc[0] || !request.egc[1] || !request.egc[2]) {
      context.prompt.Message("EGC Paramter Error");
      return false;
    }
    changes.egc = {*request.egc[0], *request.egc[1], *request.egc[2]};
  }
  if (request.change2Theta) {
    if (!request.twoTheta) {
      context.prompt.Message("2Theta Value Error");
      return false;
    }
    changes.twoTheta = TwoThetaChange{*request.twoTheta, request.twoThetaMode == 1};
  }
  return true;
}

bool CheckOutputsAndConfirm(const OutputChoice& outputs, ConvertContext& context) {
  if (std::none_of(outputs.begin(), outputs.end(), [](bool b) { return b; })) {
    context.prompt.Message("Plz Check Create File Type!");
    return false;
  }
  if (!context.settings.OverWriteCheck) return context.prompt.AskTwoLines("All file will be over", "writed. OK?");
  return true;
}

RunResult ConvertFiles(const std::vector<SourceFile>& files, const OutputChoice& outputs, ConvertContext& context) {
  // The window converts one file after another: its questions are modal.
  return ConvertBatch(files, outputs, context, BatchOptions{});
}

RunResult RunConvert(const ConvertRequest& request, ConvertContext& context) {
  UserPrompt& prompt = context.prompt;
  prompt.ShowStatus("");
  if (!StoreChanges(request, context)) return {};
  const bool noSelection = TrimBlanks(request.selection).empty();
  const bool noListName = TrimBlanks(request.listName).empty();
  if ((noSelection && !(request.useListFile && !noListName)) || (request.useListFile && noListName)) {
    prompt.Message("Plz Enter File Name!");
    return {};
  }
  if (!CheckOutputsAndConfirm(request.outputs, context)) return {};
  if (request.useListFile) {
    const std::string listPath = JoinPath(request.directory, request.listName);
    return RunListFile(std::string(TrimBlanks(listPath)), request.outputs, context);
  }

  prompt.SetBusy(true);
  std::vector<SourceFile> files;
  if (!request.picked.empty()) {
    if (request.picked.size() > kMaxSelectedNames) {
      prompt.Message(kTooManyFiles);
      prompt.Message("Convert Error");
      prompt.SetBusy(false);
      return {};
    }
    for (const auto& name : request.picked)
      files.push_back({JoinPath(request.filesFolder, name), std::string(Source(request.source).name)});
    return ConvertFiles(files, request.outputs, context);
  }
  std::vector<std::string> names;
  if (SplitFileList(SelectionPath(request), names, prompt) < 0) {
    prompt.Message("Convert Error");
    prompt.SetBusy(false);
    return {};
  }
  // Later names are taken relative to the first name's folder, as typed.
  const PathParts first = SplitPath(names[0]);
  const std::string folder = first.drive + first.directory;
  files.reserve(names.size());
  const std::string kind(Source(request.source).name);
  files.push_back({names[0], kind});
  for (std::size_t i = 1; i < names.size(); ++i) files.push_back({folder + names[i], kind});
  return ConvertFiles(files, request.outputs, context);
}

}  // namespace vantor
