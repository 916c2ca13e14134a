// SPDX-License-Identifier: GPL-3.0-or-later
// The prompt the Python module hands to the core: it shows nothing and asks
// no one. It keeps the messages said (for an error that has no outcome of
// its own to tell) and answers the replace questions as the caller's
// `overwrite` argument says; what went wrong comes back from the core as
// outcomes, which the module turns into Python exceptions.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "base/UserPrompt.h"

namespace vantor::python {

class RecordingPrompt : public UserPrompt {
 public:
  explicit RecordingPrompt(bool overwrite) : overwrite_(overwrite) {}

  std::optional<std::string> saveName;  // the output of Combine and 3D Data
  std::vector<std::string> messages;    // every message, in order

  void Message(std::string_view text) override;
  bool AskYesNo(std::string_view text) override;
  bool AskTwoLines(std::string_view line1, std::string_view line2) override;
  std::optional<CsvParameters> AskCsvParameters() override;
  std::optional<std::string> AskSaveName(std::string_view folder, std::string_view proposedName) override;
  void ShowStatus(std::string_view text) override;

 private:
  bool overwrite_;
};

}  // namespace vantor::python
