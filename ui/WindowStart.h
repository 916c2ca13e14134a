// SPDX-License-Identifier: GPL-3.0-or-later
// What `vantor` does with its command line: the main window, or the
// viewer on the files with the analysis asked for done, shown or drawn
// into a picture.
#pragma once

#include <QString>

#include "ui/WindowArguments.h"

class QWidget;

namespace vantor::ui {

class SpectrumViewer;

// Sets the viewer as the arguments ask (axis, peaks, pressure, the
// calibration dialogs); the window to draw for a picture: a calibration
// dialog when one was opened, else the viewer. An argument the viewer
// cannot take (an unknown standard) is an error in `why`, and null.
QWidget* ApplyArguments(SpectrumViewer& viewer, const WindowArguments& arguments, QString* why);

// Runs the application on the arguments checked: the exit status.
int RunWindow(const WindowArguments& arguments);

}  // namespace vantor::ui
