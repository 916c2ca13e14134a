// SPDX-License-Identifier: GPL-3.0-or-later
// Message boxes and dialogs behind the core's questions.
#include "ui/QtUserPrompt.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

#include "ui/EntryText.h"
#include "ui/frmMessage.h"
#include "ui/frmParameter.h"

namespace vantor::ui {
namespace {

const QString kTitle = QStringLiteral("Vantor");

// While a run works the window takes no input: a click would start another
// run inside this one. Esc asks the run to stop after the file in hand, and
// so does closing the window. Dialogs the run opens take input as usual.
class InputGate : public QObject {
 public:
  InputGate(QWidget* window, bool& stop) : window_(window), stop_(stop) { qApp->installEventFilter(this); }

 protected:
  bool eventFilter(QObject* target, QEvent* event) override {
    const auto* widget = qobject_cast<QWidget*>(target);
    if (widget == nullptr || widget->window() != window_) return false;
    switch (event->type()) {
      case QEvent::KeyPress:
        if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) stop_ = true;
        return true;
      case QEvent::Close:
        stop_ = true;
        event->ignore();
        return true;
      case QEvent::KeyRelease:
      case QEvent::ShortcutOverride:
      case QEvent::Shortcut:
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonRelease:
      case QEvent::MouseButtonDblClick:
      case QEvent::Wheel:
      case QEvent::ContextMenu:
      case QEvent::Drop:
        return true;
      default:
        return false;
    }
  }

 private:
  QWidget* window_;
  bool& stop_;
};

}  // namespace

QtUserPrompt::QtUserPrompt(QWidget* window, QLabel* status) : window_(window), status_(status) {}

QtUserPrompt::~QtUserPrompt() {
  if (busy_) QApplication::restoreOverrideCursor();
  delete parameters_.data();
}

void QtUserPrompt::Message(std::string_view text) {
  ShowMessage(FromCore(text));
}

// The system's message, the file, and why, as the command line says it.
void QtUserPrompt::FileMessage(std::string_view path, std::string_view text, std::string_view reason) {
  QString shown = FromCore(text) + "\n" + QFileInfo(QDir::fromNativeSeparators(FromCore(path))).fileName();
  if (!reason.empty()) shown += "\n" + FromCore(reason);
  ShowMessage(shown);
}

void QtUserPrompt::ShowMessage(const QString& text) {
  QMessageBox box(QMessageBox::NoIcon, kTitle, text, QMessageBox::Ok, window_);
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
  question.cmdYes->setText("&Yes");
  question.cmdNo->setText("&No");
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
  if (busy_)
    QApplication::processEvents();  // the gate holds the window's input back
  else
    status_->repaint();  // paints now, without handling any waiting input
}

void QtUserPrompt::SetBusy(bool busy) {
  if (busy == busy_) return;
  busy_ = busy;
  if (busy) {
    stop_ = false;
    gate_ = std::make_unique<InputGate>(window_, stop_);
    QApplication::setOverrideCursor(Qt::BusyCursor);
    QApplication::processEvents();  // away with what an answered question left painted
  } else {
    gate_.reset();
    QApplication::restoreOverrideCursor();
  }
}

bool QtUserPrompt::StopRequested() {
  if (busy_) QApplication::processEvents();
  return stop_;
}

}  // namespace vantor::ui
