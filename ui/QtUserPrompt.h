// SPDX-License-Identifier: GPL-3.0-or-later
// The window's way of answering the core: modal message boxes titled
// "Vantor", the two dialogs, the save-file dialog, the status label and the
// busy pointer. While a run works the window repaints and takes no input
// but Esc, which stops the run after the file in hand.
#pragma once

#include <QPointer>
#include <QString>
#include <memory>

#include "base/UserPrompt.h"

class QLabel;
class QObject;
class QWidget;

namespace vantor::ui {

class frmParameter;

class QtUserPrompt : public UserPrompt {
 public:
  // window: the parent of every dialog; status: the label that shows progress.
  QtUserPrompt(QWidget* window, QLabel* status);
  ~QtUserPrompt() override;

  void Message(std::string_view text) override;
  // The system's text, and the file's name on a second line.
  void FileMessage(std::string_view path, std::string_view text, std::string_view reason) override;
  bool AskYesNo(std::string_view text) override;
  bool AskTwoLines(std::string_view line1, std::string_view line2) override;
  std::optional<CsvParameters> AskCsvParameters() override;
  std::optional<std::string> AskSaveName(std::string_view folder, std::string_view proposedName) override;
  void ShowStatus(std::string_view text) override;
  void SetBusy(bool busy) override;
  bool StopRequested() override;

 private:
  void ShowMessage(const QString& text);

  QWidget* window_;
  QLabel* status_;
  QPointer<frmParameter> parameters_;  // created on first use, then kept
  bool busy_ = false;
  bool stop_ = false;              // Esc pressed (or the window closed) during the run
  std::unique_ptr<QObject> gate_;  // while busy: the window's input goes here
};

}  // namespace vantor::ui
