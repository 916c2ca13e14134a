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

void PeaksPanel::Show(const PeakSearch& search, const QString& spectrum, const QString& where) {
  peaks_ = search.peaks;
  spectrum_ = spectrum;
  FillTable(table, PeakCells(peaks_));
  for (std::size_t i = 0; i < peaks_.size(); ++i)
    if (peaks_[i].escape || !peaks_[i].fitted)
      for (int c = 0; c < table->columnCount(); ++c)
        if (auto* item = table->item(static_cast<int>(i), c)) item->setForeground(Qt::gray);
  exportButton->setEnabled(!peaks_.empty());
  const auto escapes = std::count_if(peaks_.begin(), peaks_.end(), [](const PeakResult& p) { return p.escape; });
  QString text = QString("%1, %2: ").arg(spectrum, where);
  if (search.status != PeakSearchStatus::Ok && peaks_.empty())
    text += FromCore(search.message);
  else
    text += QString("%1 peaks at SNR %2 or more").arg(peaks_.size()).arg(minSnrBox->value());
  if (escapes > 0) text += QString(", %1 of them escape peaks (grey)").arg(escapes);
  statusLabel->setText(text + ".");
}

void PeaksPanel::Clear() {
  peaks_.clear();
  table->setRowCount(0);
  exportButton->setEnabled(false);
}

QString PeaksPanel::SelectedText() const {
  std::vector<PeakResult> chosen;
  for (const int row : SelectedRows(table))
    if (row >= 0 && static_cast<std::size_t>(row) < peaks_.size())
      chosen.push_back(peaks_[static_cast<std::size_t>(row)]);
  if (chosen.empty()) return {};
  return FromCore(PeaksDelimited(chosen, ToCore(spectrum_), '\t'));
}

bool PeaksPanel::WriteTable(const QString& path, QString* why) const {
  std::string reason;
  if (ReplaceFileAtomically(ToCore(path), PeaksDelimited(peaks_, ToCore(spectrum_), ','), &reason)) return true;
  if (why != nullptr) *why = FromCore(reason);
  return false;
}

void PeaksPanel::Export() {
  const QString proposed = QFileInfo(spectrum_).completeBaseName().replace(':', '_') + "-peaks.csv";
  const QString path = QFileDialog::getSaveFileName(this, "Export peaks", proposed, "CSV table (*.csv)");
  if (path.isEmpty()) return;
  QString why;
  if (!WriteTable(path, &why))
    QMessageBox::warning(this, "Vantor", "The table could not be written.\n" + path + "\n" + why);
}

}  // namespace vantor::ui
