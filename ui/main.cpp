// Vantor: the window.
#include <QApplication>

#include "ui/frmVantor.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  // One look on every platform, and one that honours the light blue faces of
  // the push buttons.
  QApplication::setStyle("Fusion");
  vantor::ui::frmVantor window;
  window.show();
  return QApplication::exec();
}
