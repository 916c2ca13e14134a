// SPDX-License-Identifier: GPL-3.0-or-later
// A window's picture as the screen would show it, for --screenshot.
#pragma once

#include <QString>

class QWidget;

namespace vantor::ui {

// Shows the window and lets pending layout and deferred deletions happen
// first; false when the PNG cannot be written.
bool SaveScreenshot(QWidget& window, const QString& path);

}  // namespace vantor::ui
