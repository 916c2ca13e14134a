// Vantor: the window.
#include <QApplication>

#include "ui/QtUserPrompt.h"
#include "ui/SpectrumViewer.h"
#include "ui/frmVantor.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  // One look on every platform, and one that honours the light blue faces of
  // the push buttons.
  QApplication::setStyle("Fusion");
  // `vantor FILE...` shows the files in the spectrum viewer.
  if (const QStringList files = QApplication::arguments().mid(1); !files.isEmpty()) {
    vantor::ui::QtUserPrompt prompt(nullptr, nullptr);
    vantor::ConvertContext context(prompt);
    if (vantor::ui::OpenViewer(files, context) == nullptr) return 1;
    return QApplication::exec();
  }
  vantor::ui::frmVantor window;
  window.show();
  return QApplication::exec();
}
