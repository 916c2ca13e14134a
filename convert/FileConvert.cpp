// SPDX-License-Identifier: GPL-3.0-or-later
// Output names and the selection text.
#include "convert/FileConvert.h"

#include "base/TextRoutines.h"

namespace vantor {

std::string OutputPath(std::string_view sourcePath, OutputKind output, std::string_view folder, std::string_view tag) {
  const PathParts parts = SplitPath(sourcePath);
  const std::string name = parts.name + std::string(tag) + std::string(Output(output).suffix);
  return folder.empty() ? parts.drive + parts.directory + name : JoinPath(folder, name);
}

std::string ElementTag(std::size_t index, std::size_t count) {
  if (count <= 1) return {};
  const std::size_t digits = std::to_string(count).size();
  std::string number = std::to_string(index + 1);
  return "_e" + std::string(digits - number.size(), '0') + number;
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
