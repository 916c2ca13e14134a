// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/Screenshot.h"

#include <QApplication>
#include <QPixmap>
#include <QWidget>

namespace vantor::ui {

bool SaveScreenshot(QWidget& window, const QString& path) {
  window.show();
  // Replaced chart axes go at the next turn of the event loop, which a
  // program that only paints never reaches.
  // Layouts that answer layouts (charts aligned to each other) take a few
  // turns.
  for (int turn = 0; turn < 3; ++turn) {
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QApplication::processEvents();
  }
  return window.grab().save(path, "PNG");
}

}  // namespace vantor::ui
