// Draws the main window into a PNG, opened on a folder with two files
// selected and two outputs checked: the picture for the README.
//   vantor-window-shot OUTPUT.png FOLDER
#include <QApplication>
#include <QCheckBox>
#include <QListWidget>

#include "ui/FolderLists.h"
#include "ui/frmVantor.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setStyle("Fusion");
  if (argc < 3) return 2;
  vantor::ui::frmVantor window(nullptr, QString::fromLocal8Bit(argv[2]));
  window.show();
  auto* files = window.ui.filFiles;
  for (int i = 0; i < files->count() && i < 2; ++i) files->item(i)->setSelected(true);
  window.ui.chkOutput[1]->setChecked(true);  // TXT
  window.ui.chkOutput[2]->setChecked(true);  // CSV
  QApplication::processEvents();
  return window.grab().save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
