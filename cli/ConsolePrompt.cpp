// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/ConsolePrompt.h"

#include <unistd.h>

#include <cstdio>

namespace vantor::cli {

ConsolePrompt::ConsolePrompt(bool force, bool quiet)
    : force_(force), quiet_(quiet), terminal_(::isatty(STDERR_FILENO) == 1) {}

void ConsolePrompt::EndProgressLine() {
  if (!progressShown_) return;
  std::fputc('\n', stderr);
  progressShown_ = false;
}

void ConsolePrompt::Line(std::string_view text) {
  EndProgressLine();
  std::fprintf(stderr, "%.*s\n", static_cast<int>(text.size()), text.data());
}

void ConsolePrompt::Message(std::string_view text) {
  // The closing notices tell nothing the summary does not.
  if (quiet_ && (text == "Convert Finished" || text == "Done")) return;
  Line(text);
}

void ConsolePrompt::FileMessage(std::string_view path, std::string_view text, std::string_view reason) {
  std::string line(path);
  line += ": ";
  line += text;
  if (!reason.empty()) {
    line += " (";
    line += reason;
    line += ')';
  }
  Line(line);
}

void ConsolePrompt::Note(std::string_view text) {
  if (!quiet_) Line(text);
}

bool ConsolePrompt::AskYesNo(std::string_view text) {
  Line(text);
  return false;
}

bool ConsolePrompt::AskTwoLines(std::string_view, std::string_view) {
  return force_;
}

std::optional<CsvParameters> ConsolePrompt::AskCsvParameters() {
  return csvParameters;
}

std::optional<std::string> ConsolePrompt::AskSaveName(std::string_view, std::string_view) {
  return saveName;
}

void ConsolePrompt::ShowStatus(std::string_view text) {
  if (!terminal_ || quiet_ || text.empty()) return;
  std::fprintf(stderr, "\r%.*s\033[K", static_cast<int>(text.size()), text.data());
  progressShown_ = true;
  if (text == "Finished") EndProgressLine();
}

}  // namespace vantor::cli
