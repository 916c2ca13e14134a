// SPDX-License-Identifier: GPL-3.0-or-later
// The window's three browsing lists: the drives (mounted volumes outside
// Windows), the directory list (the folder, its ancestors and its
// subfolders) and the file list (one folder's files matching one pattern,
// several selectable).
#pragma once

#include <QComboBox>
#include <QListWidget>
#include <QString>
#include <QTreeWidget>

namespace vantor::ui {

// Names in the core's natural order (base/FolderFiles.h): runs of digits
// compare as numbers (run2 before run10), letters without regard to case.
bool NaturalLess(const QString& a, const QString& b);

// Each entry carries its root folder as item data.
class DriveList : public QComboBox {
  Q_OBJECT
 public:
  explicit DriveList(QWidget* parent = nullptr);
  // The drive or mounted volume a folder lies on.
  static QString DriveOf(const QString& folder);
  // Whether the directory list can move there (present, ready, readable).
  static bool Usable(const QString& root);
  QString drive() const;
  // Selects the entry of a root (adding it when missing); raises the change
  // event when the selection moves.
  void setDrive(const QString& root);
  // Shows the root again without raising the change event.
  void showDrive(const QString& root);

 private:
  int IndexOf(const QString& root);
};

class DirectoryList : public QTreeWidget {
  Q_OBJECT
 public:
  explicit DirectoryList(QWidget* parent = nullptr);
  QString path() const { return path_; }
  // Rebuilds the list around the folder and raises pathChanged.
  void setPath(const QString& folder);

 signals:
  void pathChanged(const QString& folder);

 private:
  QString path_;
};

class FileList : public QListWidget {
  Q_OBJECT
 public:
  explicit FileList(QWidget* parent = nullptr);
  QString path() const { return path_; }
  QString pattern() const { return pattern_; }
  void setPath(const QString& folder);
  void setPattern(const QString& pattern);
  // Lists the folder again. The old selection is gone, which is announced
  // like any other change of the selection.
  void Refresh();
  // Lists the folder again, keeping the entries that were selected and the
  // current one where they still exist; one selection change is announced.
  void RefreshKeepingSelection();
  // The names of the selected entries in list order.
  QStringList selectedNames() const;

 private:
  QString path_;
  QString pattern_;
};

}  // namespace vantor::ui
