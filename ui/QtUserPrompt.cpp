// Message boxes and dialogs behind the core's questions.
#include "ui/QtUserPrompt.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

#include "ui/EntryText.h"
#include "ui/frmMessage.h"
#include "ui/frmParameter.h"

namespace vantor::ui {
namespace {
const QString kTitle = QStringLiteral("Vantor");
}

QtUserPrompt::QtUserPrompt(QWidget* window, QLabel* status) : window_(window), status_(status) {}

QtUserPrompt::~QtUserPrompt() {
  if (busy_) QApplication::restoreOverrideCursor();
  delete parameters_.data();
}

void QtUserPrompt::Message(std::string_view text) {
  QMessageBox box(QMessageBox::NoIcon, kTitle, FromCore(text), QMessageBox::Ok, window_);
  box.exec();
}

bool QtUserPrompt::AskYesNo(std::string_view text) {
  QMessageBox box(QMessageBox::Warning, kTitle, FromCore(text), QMessageBox::Yes | QMessageBox::No, window_);
  box.setDefaultButton(QMessageBox::No);
  box.setEscapeButton(QMessageBox::No);
  return box.exec() == QMessageBox::Yes;
}

bool QtUserPrompt::AskTwoLines(std::string_view line1, std::string_view line2) {
  frmMessage question(window_);  // a new dialog per question, so the answer starts at No
  question.setWindowTitle(kTitle);
  question.lblMes1->setText(FromCore(line1));
  question.lblMes2->setText(FromCore(line2));
  question.cmdYes->setText("Yes");
  question.cmdNo->setText("No");
  question.exec();
  return question.YesNo();
}

std::optional<CsvParameters> QtUserPrompt::AskCsvParameters() {
  if (parameters_.isNull()) parameters_ = new frmParameter(*this, window_);
  parameters_->mblnCancel = true;
  parameters_->exec();
  if (parameters_->mblnCancel) return std::nullopt;
  return parameters_->Entered();
}

std::optional<std::string> QtUserPrompt::AskSaveName(std::string_view folder, std::string_view proposedName) {
  const QString start = QDir(FromCore(folder)).filePath(FromCore(proposedName));
  // The writers ask their own "Replace?" question when the overwrite check
  // is on; the dialog must not ask a second one.
  const QString chosen =
      QFileDialog::getSaveFileName(window_, QString(), start, QString(), nullptr, QFileDialog::DontConfirmOverwrite);
  if (chosen.isEmpty()) return std::nullopt;
  return ToCore(QDir::toNativeSeparators(chosen));
}

void QtUserPrompt::ShowStatus(std::string_view text) {
  status_->setText(FromCore(text));
  status_->repaint();  // paints now, without handling any waiting input
}

void QtUserPrompt::SetBusy(bool busy) {
  if (busy == busy_) return;
  busy_ = busy;
  if (busy)
    QApplication::setOverrideCursor(Qt::BusyCursor);
  else
    QApplication::restoreOverrideCursor();
}

}  // namespace vantor::ui
