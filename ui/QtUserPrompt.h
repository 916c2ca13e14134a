// The window's way of answering the core: modal message boxes titled
// "Vantor", the two dialogs, the save-file dialog, the status label and the
// busy pointer.
#pragma once

#include <QPointer>

#include "base/UserPrompt.h"

class QLabel;
class QWidget;

namespace vantor::ui {

class frmParameter;

class QtUserPrompt : public UserPrompt {
 public:
  // window: the parent of every dialog; status: the label that shows progress.
  QtUserPrompt(QWidget* window, QLabel* status);
  ~QtUserPrompt() override;

  void Message(std::string_view text) override;
  bool AskYesNo(std::string_view text) override;
  bool AskTwoLines(std::string_view line1, std::string_view line2) override;
  std::optional<CsvParameters> AskCsvParameters() override;
  std::optional<std::string> AskSaveName(std::string_view folder, std::string_view proposedName) override;
  void ShowStatus(std::string_view text) override;
  void SetBusy(bool busy) override;

 private:
  QWidget* window_;
  QLabel* status_;
  QPointer<frmParameter> parameters_;  // created on first use, then kept
  bool busy_ = false;
};

}  // namespace vantor::ui
