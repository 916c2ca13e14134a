// SPDX-License-Identifier: GPL-3.0-or-later
// Driving the window in tests: files to show, clicks on list entries and
// captions, answers to a modal dialog once it is up.
#pragma once

#include <QTest>
#include <QtWidgets>
#include <functional>

#include "formats/RecordFile.h"
#include "support/FakePrompt.h"
#include "support/TestFiles.h"
#include "ui/FolderLists.h"
#include "ui/frmVantor.h"

namespace vantor::test {

// A small record file whose counts tell the files apart.
inline void WriteRecord(const std::string& path, int firstCount = 1, std::array<double, 3> egc = {}) {
  SpectrumRecord record;
  record.Data.DataNumber = 4;
  for (int i = 0; i < 4; ++i) record.Data.Count[i] = firstCount + i;
  record.Head.Measure.TwoTheta = 5.0;
  record.Head.Measure.EGC = egc;
  WriteAll(path, RecordFileBytes(record.Data, record.Head));
}

inline QString Q(const std::filesystem::path& path) {
  return QString::fromStdString(path.string());
}

inline QStringList Names(const QListWidget* list) {
  QStringList names;
  for (int i = 0; i < list->count(); ++i) names << list->item(i)->text();
  return names;
}

// A click on an entry as the mouse gives it (with Ctrl or Shift held), or a double-click.
inline void ClickEntry(QListWidget* list, const QString& name, Qt::KeyboardModifiers keys = {}, bool twice = false) {
  const QPoint at = list->visualItemRect(list->findItems(name, Qt::MatchExactly).value(0)).center();
  QTest::mouseClick(list->viewport(), Qt::LeftButton, keys, at);
  if (twice) QTest::mouseDClick(list->viewport(), Qt::LeftButton, keys, at);
}

inline void Click(QWidget* w) {
  QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(6, w->height() / 2));
}

inline void SetText(QLineEdit* box, const QString& text) {
  box->selectAll();
  QTest::keyClick(box, Qt::Key_Delete);
  QTest::keyClicks(box, text);
}

// The button of `frame` whose caption, as the user sees it, starts with `caption`.
template <typename Button>
Button* Captioned(QWidget* frame, const QString& caption) {
  for (auto* button : frame->findChildren<Button*>())
    if (QString(button->text()).remove(QLatin1Char('&')).startsWith(caption)) return button;
  return nullptr;
}

// Runs `answer` on the next modal dialog as soon as it is shown.
inline void WhenModal(std::function<void(QWidget*)> answer) {
  auto* timer = new QTimer(qApp);
  timer->setInterval(5);
  QObject::connect(timer, &QTimer::timeout, [timer, answer] {
    if (QWidget* dialog = QApplication::activeModalWidget(); dialog != nullptr && dialog->isVisible())
      timer->stop(), timer->deleteLater(), answer(dialog);
  });
  timer->start();
}

// Answers the next file dialog with `path`; when `told` is given, the
// message box expected next is closed and its text kept there.
inline void AnswerFileDialog(const QString& path, QString* told = nullptr) {
  WhenModal([path, told](QWidget* dialog) {
    auto* files = qobject_cast<QFileDialog*>(dialog);
    files->selectFile(path);
    static_cast<QDialog*>(files)->accept();
    if (told != nullptr)
      WhenModal([told](QWidget* box) { *told = qobject_cast<QMessageBox*>(box)->text(), box->close(); });
  });
}

// A shown window on a folder, answered by a scripted user (by its own dialogs without one).
struct ShownWindow {
  ShownWindow(const std::filesystem::path& folder, UserPrompt* prompt) : window(prompt, Q(folder)), ui(window.ui) {
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) qWarning("window not exposed");
  }
  ui::frmVantor window;
  ui::frmVantorControls& ui;
};

}  // namespace vantor::test
