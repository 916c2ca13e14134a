// SPDX-License-Identifier: GPL-3.0-or-later
// A read-only table of result cells, as the analysis words them, and the
// text the user sees for a spectrum's place in a file of several.
#pragma once

#include <QTableWidget>

#include "analysis/ResultCells.h"

namespace vantor::ui {

// Whole rows are selected; cells cannot be edited.
QTableWidget* NewResultTable(QWidget* parent);

// Replaces the table's header and rows by the cells'.
void FillTable(QTableWidget* table, const CellTable& cells);

// The rows that have a selected cell, in order.
std::vector<int> SelectedRows(const QTableWidget* table);

}  // namespace vantor::ui
