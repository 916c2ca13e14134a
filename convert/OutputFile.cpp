// SPDX-License-Identifier: GPL-3.0-or-later
// Writing one output.
#include "convert/OutputFile.h"

namespace vantor {

Saved WriteOutputFile(const OutputFormat& format, const std::string& path, const SpectrumRecord& record,
                      ConvertContext& context) {
  const Encoded encoded = format.encode(record);
  if (!encoded.failure.empty()) {
    context.prompt.FileMessage(path, "Open Error", encoded.failure);
    return {SaveState::Failed, encoded.failure};
  }
  const std::string question = format.question.empty() ? ReplaceQuestion(path) : std::string(format.question);
  Saved saved = SaveOutput(path, encoded.bytes, context, question);
  if (saved && !encoded.note.empty())
    context.prompt.Note(path.substr(path.find_last_of("/\\") + 1) + ": " + encoded.note);
  return saved;
}

}  // namespace vantor
