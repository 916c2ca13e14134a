// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/ResultTable.h"

#include <QHeaderView>
#include <algorithm>

#include "ui/EntryText.h"

namespace vantor::ui {

QTableWidget* NewResultTable(QWidget* parent) {
  auto* table = new QTableWidget(0, 0, parent);
  table->verticalHeader()->setVisible(false);
  table->horizontalHeader()->setStretchLastSection(true);
  table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table->setSelectionBehavior(QAbstractItemView::SelectRows);
  table->setWordWrap(false);
  table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6);
  return table;
}

void FillTable(QTableWidget* table, const CellTable& cells) {
  table->clearContents();
  table->setColumnCount(static_cast<int>(cells.header.size()));
  table->setRowCount(static_cast<int>(cells.rows.size()));
  QStringList header;
  for (const auto& name : cells.header) header << QString::fromStdString(name);
  table->setHorizontalHeaderLabels(header);
  for (std::size_t r = 0; r < cells.rows.size(); ++r)
    for (std::size_t c = 0; c < cells.rows[r].size() && c < cells.header.size(); ++c)
      table->setItem(static_cast<int>(r), static_cast<int>(c),
                     new QTableWidgetItem(QString::fromStdString(cells.rows[r][c])));
  table->resizeColumnsToContents();
}

std::vector<int> SelectedRows(const QTableWidget* table) {
  std::vector<int> rows;
  for (const QModelIndex& index : table->selectionModel()->selectedRows()) rows.push_back(index.row());
  std::sort(rows.begin(), rows.end());
  return rows;
}

}  // namespace vantor::ui
