// SPDX-License-Identifier: GPL-3.0-or-later
#include "python/RecordingPrompt.h"

namespace vantor::python {

void RecordingPrompt::Message(std::string_view text) {
  messages.emplace_back(text);
}

// The writers ask only whether to replace an existing file.
bool RecordingPrompt::AskYesNo(std::string_view text) {
  Message(text);
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

}  // namespace vantor::python
