// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/TwoThetaCalibrationDialog.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "analysis/CalibrationReport.h"
#include "analysis/ResultCells.h"
#include "ui/EntryText.h"
#include "ui/ResultTable.h"
#include "view/SpectrumCalibration.h"

namespace vantor::ui {

TwoThetaCalibrationDialog::TwoThetaCalibrationDialog(std::vector<ChartSpectrum> spectra,
                                                     std::optional<CalibrationFile> applied, QWidget* parent)
    : CalibrationDialog("Calibrate 2\u03B8", parent), spectra_(std::move(spectra)), applied_(std::move(applied)) {
  standardBox = new QComboBox(this);
  for (const Standard& s : Standards()) standardBox->addItem(FromCore(s.description), FromCore(s.name));
  auto* row = new QHBoxLayout;
  auto* label = new QLabel("S&tandard:", this);
  label->setBuddy(standardBox);
  row->addWidget(label);
  row->addWidget(standardBox);
  row->addWidget(calibrateButton);
  row->addStretch(1);
  body->addLayout(row);
  summaryTable = NewResultTable(this);
  reflectionTable = NewResultTable(this);
  body->addWidget(summaryTable, 2);
  body->addWidget(new QLabel("Reflections of the spectrum chosen above:", this));
  body->addWidget(reflectionTable, 3);
  FinishLayout();
  resize(620, 640);
  connect(summaryTable, &QTableWidget::itemSelectionChanged, this, [this] {
    if (const auto rows = SelectedRows(summaryTable); rows.size() == 1) ShowReflections(rows.front());
  });
}

bool TwoThetaCalibrationDialog::ChooseStandard(const QString& name) {
  const Standard* s = FindStandard(ToCore(name));
  if (s == nullptr) return false;
  standardBox->setCurrentIndex(standardBox->findData(FromCore(s->name)));
  return true;
}

void TwoThetaCalibrationDialog::Calibrate() {
  const Standard* standard = FindStandard(ToCore(standardBox->currentData().toString()));
  if (standard == nullptr) return;
  results_ = CalibrateTwoThetaOfSpectra(spectra_, *standard, TwoThetaOptions{});
  std::string why;
  SetCalibration(TwoThetaCalibrationFile(results_, standard->name, applied_ ? &*applied_ : nullptr, why),
                 FromCore(why));
  {
    const QSignalBlocker quiet(summaryTable);
    FillTable(summaryTable, TwoThetaSummaryCells(results_));
  }
  summaryTable->selectRow(0);
  ShowReflections(0);
}

void TwoThetaCalibrationDialog::ShowReflections(int row) {
  if (row < 0 || static_cast<std::size_t>(row) >= results_.size()) {
    reflectionTable->setRowCount(0);
    return;
  }
  FillTable(reflectionTable, TwoThetaReflectionCells(results_[static_cast<std::size_t>(row)]));
}

}  // namespace vantor::ui
