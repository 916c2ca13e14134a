// SPDX-License-Identifier: GPL-3.0-or-later
// A scripted stand-in for the user: records every message and question in
// order, answers Yes/No questions from a queue (No when it runs dry) and the
// parameter entry and save dialog from what the test set.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "base/UserPrompt.h"

namespace vantor::test {

class FakePrompt : public UserPrompt {
 public:
  std::vector<std::string> messages;   // OK boxes
  std::vector<std::string> questions;  // Yes/No boxes and two-line questions ("line1|line2")
  std::vector<std::string> statuses;   // status label texts
  std::vector<std::string> files;      // the files of file messages, whose texts are in `messages`
  std::vector<std::string> notes;
  std::deque<bool> answers;            // next Yes/No answers
  std::optional<CsvParameters> csvParameters;
  std::optional<std::string> saveName;
  std::string saveAsked;  // "folder|proposed name" of the last save dialog
  int csvParameterRequests = 0;
  bool busy = false;
  int busyMessages = 0;  // messages shown with the busy pointer up

  void Message(std::string_view text) override {
    messages.emplace_back(text);
    busyMessages += busy;
  }
  void FileMessage(std::string_view path, std::string_view text, std::string_view reason) override {
    files.emplace_back(path);
    UserPrompt::FileMessage(path, text, reason);
  }
  void Note(std::string_view text) override { notes.emplace_back(text); }
  void SetBusy(bool on) override { busy = on; }
  bool AskYesNo(std::string_view text) override {
    questions.emplace_back(text);
    return NextAnswer();
  }
  bool AskTwoLines(std::string_view line1, std::string_view line2) override {
    questions.push_back(std::string(line1) + "|" + std::string(line2));
    return NextAnswer();
  }
  std::optional<CsvParameters> AskCsvParameters() override {
    ++csvParameterRequests;
    return csvParameters;
  }
  std::optional<std::string> AskSaveName(std::string_view folder, std::string_view proposed) override {
    saveAsked = std::string(folder) + "|" + std::string(proposed);
    return saveName;
  }
  void ShowStatus(std::string_view text) override { statuses.emplace_back(text); }

 private:
  bool NextAnswer() {
    if (answers.empty()) return false;
    const bool answer = answers.front();
    answers.pop_front();
    return answer;
  }
};

}  // namespace vantor::test
