// SPDX-License-Identifier: GPL-3.0-or-later
// Opening the series window, from the program and from its command line.
#include <QApplication>
#include <QFileInfo>
#include <QLineEdit>
#include <cstdio>

#include "analysis/Standards.h"
#include "ui/EntryText.h"
#include "ui/Screenshot.h"
#include "ui/SeriesWindow.h"

namespace vantor::ui {
namespace {

SeriesWindow* Open(const QString& folder, const QStringList& files, const QString& pressure, QString* why,
                   QWidget* parent) {
  std::string text = ToCore(pressure);
  for (const Standard& s : Standards())
    if (text.empty() && !s.pressureStandard.empty()) text = s.name;
  const StandardChoice choice = ChooseStandard(text);
  if (!choice.ok()) {
    if (why != nullptr) *why = FromCore(choice.error);
    return nullptr;
  }
  if (files.isEmpty() && !QFileInfo(folder).isDir()) {
    if (why != nullptr) *why = "'" + folder + "' is not a folder";
    return nullptr;
  }
  PressureRequest request;
  request.standard = choice.standard, request.scale = choice.scale;
  auto* window = new SeriesWindow(folder, files, request, parent);
  window->show();
  return window;
}

}  // namespace

SeriesWindow* OpenSeriesWindow(const QString& folder, const QString& pressure, QString* why, QWidget* parent) {
  return Open(folder, {}, pressure, why, parent);
}

SeriesWindow* OpenSeriesWindow(const QStringList& files, const QString& pressure, QString* why, QWidget* parent) {
  return Open({}, files, pressure, why, parent);
}

int RunSeriesWindow(const WindowArguments& arguments) {
  QString why;
  SeriesWindow* window = OpenSeriesWindow(arguments.series, arguments.pressure, &why);
  if (window == nullptr) {
    std::fprintf(stderr, "vantor: %s\n", ToCore(why).c_str());
    return 2;
  }
  if (const QString screenshot = arguments.screenshot; !screenshot.isEmpty())
    QObject::connect(
        window, &SeriesWindow::loaded, window,
        [window, screenshot] { QApplication::exit(SaveScreenshot(*window, screenshot) ? 0 : 1); },
        Qt::QueuedConnection);  // also when loaded before the event loop runs, which exit needs
  if (!arguments.guessPressure.isEmpty()) {
    window->guessBox->setText(arguments.guessPressure);
    window->ApplyChoice();
  }
  return QApplication::exec();
}

}  // namespace vantor::ui
