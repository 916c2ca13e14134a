// SPDX-License-Identifier: GPL-3.0-or-later
// Helpers for driving the window in tests: files to show, clicks on list
// entries, and answering a modal dialog once it is up.
#pragma once

#include <QApplication>
#include <QListWidget>
#include <QTest>
#include <QTimer>
#include <functional>

#include "formats/RecordFile.h"
#include "support/FakePrompt.h"
#include "support/TestFiles.h"
#include "ui/FolderLists.h"
#include "ui/frmVantor.h"

namespace vantor::test {

// A small record file whose counts tell the files apart.
inline void WriteRecord(const std::string& path, int firstCount = 1) {
  SpectrumRecord record;
  record.Data.DataNumber = 4;
  for (int i = 0; i < 4; ++i) record.Data.Count[i] = firstCount + i;
  record.Head.Measure.TwoTheta = 5.0;
  record.Head.Common.SourceFormat = 1;  // as the reader leaves it: a copy is byte-identical
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

inline int Row(const QListWidget* list, const QString& name) {
  const auto found = list->findItems(name, Qt::MatchExactly);
  return found.isEmpty() ? -1 : list->row(found.first());
}

// A click on an entry, as the mouse gives it (with Ctrl or Shift held).
inline void ClickEntry(QListWidget* list, const QString& name, Qt::KeyboardModifiers keys = {}) {
  QTest::mouseClick(list->viewport(), Qt::LeftButton, keys, list->visualItemRect(list->item(Row(list, name))).center());
}

inline void Click(QWidget* w) {
  QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(6, w->height() / 2));
}

// Runs `answer` on the next modal dialog as soon as it is shown.
inline void WhenModal(std::function<void(QWidget*)> answer) {
  auto* timer = new QTimer(qApp);
  timer->setInterval(5);
  QObject::connect(timer, &QTimer::timeout, [timer, answer] {
    QWidget* dialog = QApplication::activeModalWidget();
    if (dialog == nullptr || !dialog->isVisible()) return;
    timer->stop();
    timer->deleteLater();
    answer(dialog);
  });
  timer->start();
}

// A shown window on a folder, answered by a scripted user.
struct ShownWindow {
  explicit ShownWindow(const std::filesystem::path& folder, UserPrompt* prompt)
      : window(prompt, Q(folder)), ui(window.ui) {
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) qWarning("window not exposed");
  }
  ui::frmVantor window;
  ui::frmVantorControls& ui;
};

}  // namespace vantor::test
