// SPDX-License-Identifier: GPL-3.0-or-later
// Reading a source, writing one output, and splitting the selection text.
#include "convert/FileConvert.h"

#include "base/TextFormat.h"
#include "base/TextRoutines.h"

namespace vantor {

std::string OutputPath(std::string_view sourcePath, OutputKind output) {
  const PathParts parts = SplitPath(sourcePath);
  return parts.drive + parts.directory + parts.name + std::string(Output(output).suffix);
}

std::string OutputPath(std::string_view sourcePath, OutputKind output, std::string_view folder) {
  if (folder.empty()) return OutputPath(sourcePath, output);
  return JoinPath(folder, SplitPath(sourcePath).name + std::string(Output(output).suffix));
}

bool ReadSource(const std::string& sourcePath, SourceKind source, SpectrumRecord& record, ConvertContext& context) {
  const SourceFormat& reader = Source(source);
  if (reader.read == nullptr) return false;
  record = SpectrumRecord{};
  if (const ReadResult read = reader.read(sourcePath, record); !read) {
    ReportReadFailure(context.prompt, sourcePath, read);
    return false;
  }

  MeasureCondition& m = record.Head.Measure;
  const RunSettings& s = context.settings;
  if (source == SourceKind::Csv) {
    // The parameter entry's values are final for CSV sources; the window's
    // changes are not applied on top of them.
    m.TwoTheta = s.csv.TwoTheta;
    m.EGC = s.csv.EGC;
    m.Temperature = s.csv.Temperature;
  } else {
    if (s.changes.egc) m.EGC = *s.changes.egc;
    if (const auto& change = s.changes.twoTheta) {
      const double changed = change->absolute ? change->value : m.TwoTheta + change->value;
      // An angle at or below 0 gives no d-spacing: such a change would
      // make up a file that no program can index. One that leaves the
      // angle as it was is no change.
      if (changed <= 0 && changed != m.TwoTheta) {
        context.prompt.FileMessage(sourcePath, "2Theta Value Error",
                                   "2theta would be " + FormatPlain(changed) + ", at or below 0");
        return false;
      }
      m.TwoTheta = changed;
    }
  }
  return true;
}

bool WriteOutput(const std::string& sourcePath, OutputKind output, const SpectrumRecord& record,
                 ConvertContext& context) {
  const OutputFormat& writer = Output(output);
  if (writer.write == nullptr) return false;
  return writer.write(OutputPath(sourcePath, output, context.outputFolder), record.Data, record.Head, context);
}

int SplitFileList(std::string_view text, std::vector<std::string>& names, UserPrompt& prompt) {
  std::vector<std::string> found(1);
  for (const char c : text) {
    if (c != ',' && c != ';') {
      found.back() += c;
      continue;
    }
    if (found.size() == kMaxSelectedNames) {
      prompt.Message(kTooManyFiles);
      return -1;
    }
    found.emplace_back();
  }
  names = std::move(found);
  return static_cast<int>(names.size());
}

}  // namespace vantor
