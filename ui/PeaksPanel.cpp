// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/PeaksPanel.h"

#include <QApplication>
#include <QClipboard>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "analysis/ResultCells.h"
#include "base/FileAccess.h"
#include "ui/EntryText.h"
#include "ui/ResultTable.h"

namespace vantor::ui {

PeaksPanel::PeaksPanel(QWidget* parent) : QWidget(parent) {
  minSnrBox = new QDoubleSpinBox(this);
  minSnrBox->setRange(0.5, 1000);
  minSnrBox->setDecimals(1);
  minSnrBox->setSingleStep(0.5);
  minSnrBox->setValue(PeakOptions{}.minSnr);  // the command line's default
  minSnrBox->setToolTip("Least signal-to-noise ratio of a peak");
  findButton = new QPushButton("&Find peaks", this);
  findButton->setToolTip("Find and fit the peaks of the spectrum chosen, within the zoomed range when zoomed");
  table = NewResultTable(this);
  exportButton = new QPushButton("Export &table...", this);
  exportButton->setEnabled(false);
  statusLabel = new QLabel("Press \"Find peaks\" to find and fit the peaks of the spectrum chosen.", this);
  statusLabel->setWordWrap(true);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(exportButton);
  buttons->addStretch(1);
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->addWidget(statusLabel);
  column->addWidget(table, 1);
  column->addLayout(buttons);

  connect(findButton, &QPushButton::clicked, this, &PeaksPanel::findRequested);
  connect(exportButton, &QPushButton::clicked, this, [this] { Export(); });
  connect(table, &QTableWidget::itemSelectionChanged, this, [this] {
    if (const auto rows = SelectedRows(table); rows.size() == 1) emit peakChosen(rows.front());
  });
  table->installEventFilter(this);
}

// Ctrl+C takes the whole rows chosen, not only the current cell as a
// table's own copy would.
bool PeaksPanel::eventFilter(QObject* watched, QEvent* event) {
  if (watched == table && event->type() == QEvent::KeyPress &&
      static_cast<QKeyEvent*>(event)->matches(QKeySequence::Copy)) {
    QApplication::clipboard()->setText(SelectedText());
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

void PeaksPanel::Show(const std::vector<SpectrumPeakSearch>& searches, const QString& where) {
  peaks_.clear();
  rows_.clear();
  QStringList problems;
  for (const SpectrumPeakSearch& s : searches) {
    for (const PeakResult& p : s.search.peaks) {
      peaks_.push_back(p);
      rows_.push_back({s.spectrum, ToCore(s.name)});
    }
    if (s.search.status != PeakSearchStatus::Ok && s.search.peaks.empty())
      problems << s.name + ": " + FromCore(s.search.message);
  }
  CellTable cells = PeakCells(peaks_);
  if (searches.size() > 1) {
    cells.header.insert(cells.header.begin(), "spectrum");
    for (std::size_t i = 0; i < cells.rows.size(); ++i) cells.rows[i].insert(cells.rows[i].begin(), rows_[i].name);
  }
  FillTable(table, cells);
  for (std::size_t i = 0; i < peaks_.size(); ++i)
    if (peaks_[i].escape || !peaks_[i].fitted)
      for (int c = 0; c < table->columnCount(); ++c)
        if (auto* item = table->item(static_cast<int>(i), c)) item->setForeground(Qt::gray);
  exportButton->setEnabled(!peaks_.empty());
  const auto escapes = std::count_if(peaks_.begin(), peaks_.end(), [](const PeakResult& p) { return p.escape; });
  const QString what = searches.size() == 1 ? searches.front().name : QString("%1 spectra").arg(searches.size());
  QString text =
      QString("%1, %2: %3 peaks at SNR %4 or more").arg(what, where).arg(peaks_.size()).arg(minSnrBox->value());
  if (escapes > 0) text += QString(", %1 of them escape peaks (grey)").arg(escapes);
  text += ".";
  if (!problems.isEmpty()) text += "\n" + problems.join("\n");
  statusLabel->setText(text);
}

void PeaksPanel::Clear() {
  peaks_.clear();
  rows_.clear();
  table->setRowCount(0);
  exportButton->setEnabled(false);
}

QString PeaksPanel::Delimited(const std::vector<int>& rows, char separator) const {
  std::string text;
  for (std::size_t k = 0; k < rows.size();) {
    // Consecutive rows of one spectrum go in one call.
    const auto first = static_cast<std::size_t>(rows[k]);
    std::vector<PeakResult> run;
    for (; k < rows.size() && rows_[static_cast<std::size_t>(rows[k])].spectrum == rows_[first].spectrum; ++k)
      run.push_back(peaks_[static_cast<std::size_t>(rows[k])]);
    std::string part = PeaksDelimited(run, rows_[first].name, separator);
    if (!text.empty()) part.erase(0, part.find('\n') + 1);  // the header once
    text += part;
  }
  return FromCore(text);
}

QString PeaksPanel::SelectedText() const {
  std::vector<int> rows;
  for (const int row : SelectedRows(table))
    if (row >= 0 && static_cast<std::size_t>(row) < peaks_.size()) rows.push_back(row);
  return Delimited(rows, '\t');
}

bool PeaksPanel::WriteTable(const QString& path, QString* why) const {
  std::vector<int> rows(peaks_.size());
  for (std::size_t i = 0; i < rows.size(); ++i) rows[i] = static_cast<int>(i);
  std::string reason;
  if (ReplaceFileAtomically(ToCore(path), ToCore(Delimited(rows, ',')), &reason)) return true;
  if (why != nullptr) *why = FromCore(reason);
  return false;
}

void PeaksPanel::Export() {
  const QString first = rows_.empty() ? QString("spectrum") : FromCore(rows_.front().name);
  const QString proposed = QFileInfo(first.section(':', 0, 0)).completeBaseName() + "-peaks.csv";
  const QString path = QFileDialog::getSaveFileName(this, "Export peaks", proposed, "CSV table (*.csv)");
  if (path.isEmpty()) return;
  QString why;
  if (!WriteTable(path, &why))
    QMessageBox::warning(this, "Vantor", "The table could not be written.\n" + path + "\n" + why);
}

}  // namespace vantor::ui
