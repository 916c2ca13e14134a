// SPDX-License-Identifier: GPL-3.0-or-later
#include "python/RecordingPrompt.h"

#include <algorithm>

#include "base/ReadResult.h"

namespace vantor::python {

void RecordingPrompt::Message(std::string_view text) {
  messages.emplace_back(text);
}

void RecordingPrompt::FileMessage(std::string_view path, std::string_view text, std::string_view reason) {
  Message(text);
  const bool readStatus = text == StatusMessage(ReadStatus::NotFound) || text == StatusMessage(ReadStatus::FileError);
  if (!readStatus) {  // a writer's "Open Error"
    if (writeReason.empty()) writeReason = reason;
    return;
  }
  if (readFailure) return;
  readFailure = ReadFailure{text == StatusMessage(ReadStatus::NotFound), std::string(path),
                            std::string(reason.empty() ? text : reason)};
}

// The writers ask only whether to replace an existing file.
bool RecordingPrompt::AskYesNo(std::string_view text) {
  Message(text);
  declined = declined || !overwrite_;
  return overwrite_;
}

bool RecordingPrompt::AskTwoLines(std::string_view, std::string_view) {
  return overwrite_;
}

// The module stores the CSV values in the run settings itself.
std::optional<CsvParameters> RecordingPrompt::AskCsvParameters() {
  return std::nullopt;
}

std::optional<std::string> RecordingPrompt::AskSaveName(std::string_view, std::string_view) {
  return saveName;
}

void RecordingPrompt::ShowStatus(std::string_view) {}

bool RecordingPrompt::Said(std::string_view text) const {
  return std::find(messages.begin(), messages.end(), text) != messages.end();
}

}  // namespace vantor::python
