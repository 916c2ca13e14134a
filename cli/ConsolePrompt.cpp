#include "cli/ConsolePrompt.h"

#include <unistd.h>

#include <cstdio>

namespace vantor::cli {

ConsolePrompt::ConsolePrompt(bool force) : force_(force), terminal_(::isatty(STDERR_FILENO) == 1) {}

void ConsolePrompt::EndProgressLine() {
  if (!progressShown_) return;
  std::fputc('\n', stderr);
  progressShown_ = false;
}

void ConsolePrompt::Message(std::string_view text) {
  EndProgressLine();
  std::fprintf(stderr, "%.*s\n", static_cast<int>(text.size()), text.data());
}

void ConsolePrompt::Note(std::string_view text) { Message(text); }

bool ConsolePrompt::AskYesNo(std::string_view text) {
  Message(text);
  return false;
}

bool ConsolePrompt::AskTwoLines(std::string_view, std::string_view) { return force_; }

std::optional<CsvParameters> ConsolePrompt::AskCsvParameters() { return csvParameters; }

std::optional<std::string> ConsolePrompt::AskSaveName(std::string_view, std::string_view) { return saveName; }

void ConsolePrompt::ShowStatus(std::string_view text) {
  if (!terminal_ || text.empty()) return;
  std::fprintf(stderr, "\r%.*s\033[K", static_cast<int>(text.size()), text.data());
  progressShown_ = true;
  if (text == "Finished") EndProgressLine();
}

}  // namespace vantor::cli
