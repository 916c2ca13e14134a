// SPDX-License-Identifier: GPL-3.0-or-later
// The drive, directory and file lists.
#include "ui/FolderLists.h"

#include <QDir>
#include <QFileInfo>
#include <QScrollBar>
#include <QSet>
#include <QSignalBlocker>
#include <QStorageInfo>
#include <QStyle>
#include <algorithm>

#include "base/FolderFiles.h"
#include "ui/EntryText.h"

namespace vantor::ui {
namespace {

constexpr int kRootRole = Qt::UserRole;

QStringList Sorted(QStringList names) {
  std::sort(names.begin(), names.end(), NaturalLess);
  return names;
}

QString Label(const QString& root) {
  const QStorageInfo info(root);
  const QString shown = QDir::toNativeSeparators(root);
  return info.name().isEmpty() ? shown : shown + " [" + info.name() + "]";
}

}  // namespace

bool NaturalLess(const QString& a, const QString& b) {
  return vantor::NaturalLess(ToCore(a), ToCore(b));
}

// ---- drives

DriveList::DriveList(QWidget* parent) : QComboBox(parent) {
  QStringList roots;
#ifdef _WIN32
  for (const QFileInfo& drive : QDir::drives()) roots << drive.absolutePath();
#else
  for (const QStorageInfo& volume : QStorageInfo::mountedVolumes())
    // Bind mounts of single files are volumes too, but no place to browse.
    if (volume.isValid() && volume.isReady() && QFileInfo(volume.rootPath()).isDir() &&
        !roots.contains(volume.rootPath()))
      roots << volume.rootPath();
#endif
  for (const QString& root : Sorted(roots)) addItem(Label(root), root);
}

QString DriveList::DriveOf(const QString& folder) {
  return QStorageInfo(folder).rootPath();
}

bool DriveList::Usable(const QString& root) {
  const QFileInfo info(root);
  return info.isDir() && info.isReadable() && QStorageInfo(root).isReady();
}

QString DriveList::drive() const {
  return currentData(kRootRole).toString();
}

int DriveList::IndexOf(const QString& root) {
  int index = findData(root, kRootRole);
  if (index < 0) {
    addItem(Label(root), root);
    index = count() - 1;
  }
  return index;
}

void DriveList::setDrive(const QString& root) {
  setCurrentIndex(IndexOf(root));
}

void DriveList::showDrive(const QString& root) {
  const QSignalBlocker quiet(this);
  setCurrentIndex(IndexOf(root));
}

// ---- directories

DirectoryList::DirectoryList(QWidget* parent) : QTreeWidget(parent) {
  setHeaderHidden(true);
  setRootIsDecorated(false);
  setItemsExpandable(false);
  setIndentation(10);
  setUniformRowHeights(true);
  // A double-click (or Enter) opens a folder, as in every folder list.
  connect(this, &QTreeWidget::itemActivated, this,
          [this](QTreeWidgetItem* item) { setPath(item->data(0, kRootRole).toString()); });
}

void DirectoryList::setPath(const QString& folder) {
  path_ = QDir::cleanPath(QDir(folder).absolutePath());
  QStringList chain;
  QDir up(path_);
  do chain.prepend(up.absolutePath());
  while (up.cdUp());

  clear();
  const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
  const QIcon closed = style()->standardIcon(QStyle::SP_DirClosedIcon);
  QTreeWidgetItem* item = nullptr;
  for (const QString& ancestor : chain) {
    const QString name = item == nullptr ? QDir::toNativeSeparators(ancestor) : QFileInfo(ancestor).fileName();
    item = item == nullptr ? new QTreeWidgetItem(this, {name}) : new QTreeWidgetItem(item, {name});
    item->setIcon(0, open);
    item->setData(0, kRootRole, ancestor);
  }
  const QDir here(path_);
  for (const QString& sub : Sorted(here.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::NoSort))) {
    auto* child = new QTreeWidgetItem(item, {sub});
    child->setIcon(0, closed);
    child->setData(0, kRootRole, here.filePath(sub));
  }
  expandAll();
  setCurrentItem(item);
  scrollToItem(item);
  emit pathChanged(path_);
}

// ---- files

FileList::FileList(QWidget* parent) : QListWidget(parent) {
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setUniformItemSizes(true);
}

void FileList::setPath(const QString& folder) {
  path_ = folder;
  Refresh();
}

void FileList::setPattern(const QString& pattern) {
  pattern_ = pattern;
  Refresh();
}

void FileList::Refresh() {
  // The core lists the folder, so the command line's folder arguments mean
  // the same files as this list.
  QStringList names;
  if (!path_.isEmpty())
    for (const std::string& name : FolderFiles(ToCore(path_), ToCore(pattern_))) names << FromCore(name);
  setUpdatesEnabled(false);
  clear();
  addItems(names);
  setUpdatesEnabled(true);
  emit itemSelectionChanged();
}

void FileList::RefreshKeepingSelection() {
  QSet<QString> selected;
  for (const QListWidgetItem* entry : selectedItems()) selected.insert(entry->text());
  const QString current = currentItem() != nullptr ? currentItem()->text() : QString();
  const int scrolled = verticalScrollBar()->value();
  {
    const QSignalBlocker quiet(this);
    Refresh();
    for (int row = 0; row < count(); ++row) {
      QListWidgetItem* entry = item(row);
      if (entry->text() == current) setCurrentItem(entry, QItemSelectionModel::NoUpdate);
      if (selected.contains(entry->text())) entry->setSelected(true);
    }
  }
  verticalScrollBar()->setValue(scrolled);
  emit itemSelectionChanged();
}

QStringList FileList::selectedNames() const {
  QList<int> rows;
  for (const QModelIndex& index : selectionModel()->selectedIndexes()) rows << index.row();
  std::sort(rows.begin(), rows.end());
  QStringList names;
  for (const int row : rows) names << item(row)->text();
  return names;
}

}  // namespace vantor::ui
