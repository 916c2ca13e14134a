// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/EnergyCalibrationDialog.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "analysis/LineTable.h"
#include "analysis/ResultCells.h"
#include "base/TextFormat.h"
#include "ui/EntryText.h"
#include "ui/ResultTable.h"
#include "view/SpectrumCalibration.h"

namespace vantor::ui {
namespace {

QString ElementName(std::size_t element) {
  return element == 0 ? QString("the spectrum") : QString("element %1").arg(element);
}

}  // namespace

EnergyCalibrationDialog::EnergyCalibrationDialog(std::vector<ChartSpectrum> spectra, QWidget* parent)
    : CalibrationDialog("Calibrate energy", parent), spectra_(std::move(spectra)) {
  sourceList = new QListWidget(this);
  for (const std::string_view name : CheckSourceNames()) {
    auto* item = new QListWidgetItem(FromCore(name), sourceList);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(Qt::Unchecked);
  }
  sourceList->setMaximumHeight(sourceList->sizeHintForRow(0) * std::min(sourceList->count(), 8) + 8);
  elementEdit = new QLineEdit(this);
  elementEdit->setPlaceholderText("Pb");
  elementEdit->setMaximumWidth(60);
  lineBox = new QComboBox(this);
  for (const std::string_view name : XrayLineNames()) lineBox->addItem(FromCore(name));
  auto* addButton = new QPushButton("A&dd line", this);
  moreEdit = new QLineEdit(this);
  moreEdit->setPlaceholderText("Pb-Ka1,59.5409 (lines or energies in keV)");
  degreeBox = new QComboBox(this);
  degreeBox->addItem("quadratic from four lines on", 0);
  degreeBox->addItem("linear", 1);
  degreeBox->addItem("quadratic", 2);
  auto* xray = new QHBoxLayout;
  xray->addWidget(elementEdit);
  xray->addWidget(lineBox);
  xray->addWidget(addButton);
  xray->addStretch(1);
  auto* form = new QFormLayout;
  form->addRow("Check sources:", sourceList);
  form->addRow("Fluorescence line:", xray);
  form->addRow("Further lines:", moreEdit);
  form->addRow("Polynomial:", degreeBox);
  body->addLayout(form);
  auto* run = new QHBoxLayout;
  resultBox = new QComboBox(this);
  resultBox->hide();
  run->addWidget(calibrateButton);
  run->addWidget(resultBox);
  run->addStretch(1);
  body->addLayout(run);
  coefficientLabel = new QLabel(this);
  coefficientLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
  coefficientLabel->setWordWrap(true);
  pointTable = NewResultTable(this);
  body->addWidget(coefficientLabel);
  body->addWidget(pointTable, 1);
  FinishLayout();
  resize(620, 600);

  connect(addButton, &QPushButton::clicked, this, [this] {
    if (elementEdit->text().trimmed().isEmpty()) return;
    const QString line = elementEdit->text().trimmed() + "-" + lineBox->currentText();
    moreEdit->setText(moreEdit->text().isEmpty() ? line : moreEdit->text() + "," + line);
  });
  connect(resultBox, &QComboBox::currentIndexChanged, this, [this](int i) { ShowResult(i); });
}

QString EnergyCalibrationDialog::LinesText() const {
  QStringList parts;
  for (int i = 0; i < sourceList->count(); ++i)
    if (sourceList->item(i)->checkState() == Qt::Checked) parts << sourceList->item(i)->text();
  if (!moreEdit->text().trimmed().isEmpty()) parts << moreEdit->text().trimmed();
  return parts.join(',');
}

void EnergyCalibrationDialog::SetLines(const QString& list) {
  QStringList rest;
  for (const QString& part : list.split(',', Qt::SkipEmptyParts)) {
    const auto found = sourceList->findItems(part.trimmed(), Qt::MatchFixedString);
    if (found.isEmpty())
      rest << part.trimmed();
    else
      found.first()->setCheckState(Qt::Checked);
  }
  moreEdit->setText(rest.join(','));
}

void EnergyCalibrationDialog::Calibrate() {
  const std::string text = ToCore(LinesText());
  const LineList lines = ParseLineList(text);
  results_.clear();
  {
    const QSignalBlocker quiet(resultBox);
    resultBox->clear();
  }
  // Nothing picked yet is not a faulty list.
  if (text.empty() || !lines.ok) {
    coefficientLabel->setText(text.empty() ? QString("Pick the lines the spectra show.") : FromCore(lines.message));
    pointTable->setRowCount(0);
    SetCalibration(std::nullopt, "no lines");
    return;
  }
  EnergyCalibrationOptions options;
  options.degree = degreeBox->currentData().toInt();
  results_ = CalibrateEnergyOfSpectra(spectra_, lines.lines, options);
  std::string why;
  SetCalibration(EnergyCalibrationFile(results_, text, why), FromCore(why));
  {
    const QSignalBlocker quiet(resultBox);
    for (const ElementEnergy& e : results_) resultBox->addItem("Result for " + ElementName(e.element));
  }
  resultBox->setVisible(results_.size() > 1);
  ShowResult(0);
}

void EnergyCalibrationDialog::ShowResult(int index) {
  if (index < 0 || static_cast<std::size_t>(index) >= results_.size()) return;
  const EnergyCalibration& c = results_[static_cast<std::size_t>(index)].calibration;
  if (c.status != CalibrationStatus::Ok) {
    coefficientLabel->setText("Not calibrated: " + FromCore(c.message));
    FillTable(pointTable, CalibrationPointCells(c));
    return;
  }
  const auto texts = CoefficientTexts(c);
  QString text = QString("<b>E(x) = A + B x + C x\u00B2</b><br>%1<br>%2<br>%3")
                     .arg(FromCore(texts[0]).toHtmlEscaped(), FromCore(texts[1]).toHtmlEscaped(),
                          FromCore(texts[2]).toHtmlEscaped());
  text += QString("<br>%1, %2 lines matched, \u03C7\u00B2 per degree of freedom %3 (%4)")
              .arg(c.degree == 2 ? "quadratic" : "linear")
              .arg(c.points.size())
              .arg(FromCore(FormatMask(c.chiSquaredPerDegree, "0.00")))
              .arg(c.degreesOfFreedom);
  if (!c.unmatched.empty()) {
    QStringList unmatched;
    for (const auto& u : c.unmatched) unmatched << FromCore(u).toHtmlEscaped();
    text += "<br>no peak for: " + unmatched.join("; ");
  }
  coefficientLabel->setText(text);
  FillTable(pointTable, CalibrationPointCells(c));
}

}  // namespace vantor::ui
