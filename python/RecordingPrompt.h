// SPDX-License-Identifier: GPL-3.0-or-later
// The prompt the Python module hands to the core: it shows nothing and asks
// no one. It keeps what the core said, answers the replace questions as the
// caller's `overwrite` argument says, and lets the module turn a failed step
// into the matching Python exception afterwards.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "base/UserPrompt.h"

namespace vantor::python {

struct ReadFailure {
  bool notFound = false;  // else the contents could not be read
  std::string path;
  std::string reason;
};

class RecordingPrompt : public UserPrompt {
 public:
  explicit RecordingPrompt(bool overwrite) : overwrite_(overwrite) {}

  std::optional<std::string> saveName;     // the output of Combine and 3D Data
  std::vector<std::string> messages;       // every message, in order
  std::optional<ReadFailure> readFailure;  // the first file that could not be read
  std::string writeReason;                 // the system's reason for the first "Open Error"
  bool declined = false;                   // a replace question was answered No

  void Message(std::string_view text) override;
  void FileMessage(std::string_view path, std::string_view text, std::string_view reason) override;
  bool AskYesNo(std::string_view text) override;
  bool AskTwoLines(std::string_view line1, std::string_view line2) override;
  std::optional<CsvParameters> AskCsvParameters() override;
  std::optional<std::string> AskSaveName(std::string_view folder, std::string_view proposedName) override;
  void ShowStatus(std::string_view text) override;

  bool Said(std::string_view text) const;

 private:
  bool overwrite_;
};

}  // namespace vantor::python
