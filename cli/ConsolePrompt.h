// SPDX-License-Identifier: GPL-3.0-or-later
// The command line's way of answering the core: messages on stderr, one a
// line, exactly as the window would show them, a message about a file led by
// the file's path and followed by the reason; questions answered from the
// flags; progress only when stderr is a terminal.
#pragma once

#include <optional>
#include <string>

#include "base/UserPrompt.h"

namespace vantor::cli {

class ConsolePrompt : public UserPrompt {
 public:
  // force: replace files without a question (the up-front question is
  // answered Yes); otherwise every "Replace?" question is printed and
  // answered No. quiet: no progress and no closing "Convert Finished" or
  // "Done"; errors and questions stay.
  explicit ConsolePrompt(bool force, bool quiet = false);

  std::optional<CsvParameters> csvParameters;  // from --csv-params
  std::optional<std::string> saveName;         // from -o

  void Message(std::string_view text) override;
  void Note(std::string_view text) override;
  // "data/cut.xbm: File Error (file ends at byte 3000; ...)"
  void FileMessage(std::string_view path, std::string_view text, std::string_view reason) override;
  bool AskYesNo(std::string_view text) override;
  bool AskTwoLines(std::string_view line1, std::string_view line2) override;
  std::optional<CsvParameters> AskCsvParameters() override;
  std::optional<std::string> AskSaveName(std::string_view folder, std::string_view proposedName) override;
  void ShowStatus(std::string_view text) override;

  // A line that --quiet keeps: the summary.
  void Line(std::string_view text);
  bool quiet() const { return quiet_; }

 private:
  void EndProgressLine();

  bool force_;
  bool quiet_;
  bool terminal_;
  bool progressShown_ = false;
};

}  // namespace vantor::cli
