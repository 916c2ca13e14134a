// SPDX-License-Identifier: GPL-3.0-or-later
// Draws the main window into a PNG, opened on a folder with two files
// selected and two outputs checked: the picture for the README. Optionally
// the parameter dialog and the Yes/No question too, to look at.
//   vantor-window-shot OUTPUT.png FOLDER [PARAMETERS.png QUESTION.png]
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <cstdio>

#include "base/UserPrompt.h"
#include "ui/FolderLists.h"
#include "ui/frmMessage.h"
#include "ui/frmParameter.h"
#include "ui/frmVantor.h"

namespace {

class Quiet : public vantor::UserPrompt {
  void Message(std::string_view) override {}
  bool AskYesNo(std::string_view) override { return false; }
  bool AskTwoLines(std::string_view, std::string_view) override { return false; }
  std::optional<vantor::CsvParameters> AskCsvParameters() override { return std::nullopt; }
  std::optional<std::string> AskSaveName(std::string_view, std::string_view) override { return std::nullopt; }
  void ShowStatus(std::string_view) override {}
};

bool Save(QWidget& w, const char* path) {
  w.show();
  QApplication::processEvents();
  return w.grab().save(QString::fromLocal8Bit(path));
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setStyle("Fusion");
  if (argc != 3 && argc != 5) return 2;
  vantor::ui::frmVantor window(nullptr, QString::fromLocal8Bit(argv[2]));
  auto* files = window.ui.filFiles;
  for (int i = 0; i < files->count() && i < 2; ++i) files->item(i)->setSelected(true);
  window.ui.chkOutput[1]->setChecked(true);  // TXT
  window.ui.chkOutput[2]->setChecked(true);  // CSV
  bool saved = Save(window, argv[1]);
  std::fprintf(stderr, "face %s %.2f pt, scale %.3f\n", qPrintable(window.font().family()), window.font().pointSizeF(),
               window.ui.scale);
  if (argc == 5) {
    Quiet quiet;
    vantor::ui::frmParameter parameters(quiet, &window);
    saved = Save(parameters, argv[3]) && saved;
    vantor::ui::frmMessage question(&window);
    question.setWindowTitle("Vantor");
    question.lblMes1->setText("All file will be over");
    question.lblMes2->setText("writed. OK?");
    question.cmdYes->setText("&Yes");
    question.cmdNo->setText("&No");
    saved = Save(question, argv[4]) && saved;
  }
  return saved ? 0 : 1;
}
