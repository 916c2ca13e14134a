// SPDX-License-Identifier: GPL-3.0-or-later
// The one way the core talks to the user. The window answers with modal
// dialogs, the command line with stderr and its flags, the tests with a
// scripted fake. The core never waits on anything but these calls.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "base/RunSettings.h"

namespace vantor {

class UserPrompt {
 public:
  virtual ~UserPrompt() = default;

  // A message box titled "Vantor" with the single button OK.
  virtual void Message(std::string_view text) = 0;

  // A message about one file: the system's text (what Message shows) and,
  // where known, the reason. Prompts that can name the file do so.
  virtual void FileMessage(std::string_view /*path*/, std::string_view text, std::string_view /*reason*/) {
    Message(text);
  }

  // A remark about a file just written that the window leaves unshown and
  // the command line prints ("run7.GSA: counts written as hundredths").
  virtual void Note(std::string_view /*text*/) {}

  // A Yes/No box titled "Vantor", exclamation icon, No the default button.
  virtual bool AskYesNo(std::string_view text) = 0;

  // The two-line Yes/No dialog asked once before a run writes over files.
  virtual bool AskTwoLines(std::string_view line1, std::string_view line2) = 0;

  // The parameter entry for CSV sources; no value when the user cancels.
  virtual std::optional<CsvParameters> AskCsvParameters() = 0;

  // The name of a file to write; no value when the user cancels.
  virtual std::optional<std::string> AskSaveName(std::string_view folder,
                                                 std::string_view proposedName) = 0;

  // The status label: progress such as "3/12", then "Finished".
  virtual void ShowStatus(std::string_view text) = 0;

  // The busy pointer while a run works through its files.
  virtual void SetBusy(bool /*busy*/) {}

  // Whether the user asked the run to stop. Asked between files, while busy:
  // what is written stays, the next file is not begun.
  virtual bool StopRequested() { return false; }
};

}  // namespace vantor
