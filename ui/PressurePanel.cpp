// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/PressurePanel.h"

#include <QComboBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableWidget>
#include <QVBoxLayout>

#include "analysis/PressureReport.h"
#include "analysis/ResultCells.h"
#include "ui/EntryText.h"
#include "ui/ResultTable.h"

namespace vantor::ui {
namespace {

QString Html(const std::string& text) {
  return FromCore(text).toHtmlEscaped();
}

// "MgO" of "MgO, rock salt B1 (Fm-3m)": the bar has room for no more.
QString ShortName(const Standard& s) {
  return FromCore(s.description).section(QRegularExpression("(, | \\()"), 0, 0);
}

QString ReadoutOf(const SpectrumPressure& p) {
  // The file's name, as the chart's legend and list give it; the warnings keep the path.
  const QString name = QFileInfo(FromCore(p.file)).fileName() + (p.element > 0 ? QString(":%1").arg(p.element) : "");
  QString text = "<b>" + name.toHtmlEscaped() + "</b><br>";
  if (!p.ok()) return text + "no pressure: " + Html(p.error);
  text += QString("<span style='font-size:large'><b>P = %1</b></span> &nbsp;(%2, %3)<br>")
              .arg(Html(PressureText(p)), FromCore(p.scale->standard), FromCore(p.scale->name));
  text += "T = " + Html(TemperatureText(p)) + "<br>";
  text += "a = " + Html(EdgeText(p)) + " &nbsp;&nbsp; V/V0 = " + Html(VolumeRatioText(p)) + "<br>";
  QStringList used, dropped;
  for (const auto& r : p.lattice.reflections) used << FromCore(r.hkl);
  for (const auto& d : p.lattice.dropped) dropped << FromCore(d.hkl);
  text += "reflections " + used.join(' ');
  if (!dropped.isEmpty()) text += " (dropped " + dropped.join(' ') + ")";
  return text;
}

}  // namespace

PressurePanel::PressurePanel(QWidget* parent) : QWidget(parent) {
  standardBox = new QComboBox(this);
  standardBox->addItem("none", QString());
  for (const Standard& s : Standards()) {
    standardBox->addItem(ShortName(s), FromCore(s.name));
    standardBox->setItemData(standardBox->count() - 1, FromCore(s.description), Qt::ToolTipRole);
  }
  standardBox->setToolTip("Its reflections are marked on the chart; a pressure standard gives the pressure");
  scaleBox = new QComboBox(this);
  scaleBox->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  pressureButton = new QPushButton("&Pressure", this);
  pressureButton->setToolTip("The pressure of every spectrum shown, from the standard and scale chosen");
  readoutLabel = new QLabel("Choose a pressure standard and press \"Pressure\".", this);
  readoutLabel->setWordWrap(true);
  readoutLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
  warningLabel = new QLabel(this);
  warningLabel->setWordWrap(true);
  warningLabel->setStyleSheet("color: #a03000");
  warningLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
  temperatureEdit = new QLineEdit(this);
  temperatureEdit->setPlaceholderText("the record's, else 300 K");
  guessEdit = new QLineEdit(this);
  guessEdit->setPlaceholderText("none: the whole range of the scale");
  guessEdit->setToolTip("Where two cell edges fit the peaks nearly as well, a guess picks the one near it");
  summaryTable = NewResultTable(this);
  cellLabel = new QLabel(this);
  cellLabel->setWordWrap(true);
  cellLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
  cellLabel->hide();
  reflectionTable = NewResultTable(this);
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  auto* form = new QFormLayout;
  form->addRow("T (K):", temperatureEdit);
  form->addRow("Guessed P (GPa):", guessEdit);
  column->addLayout(form);
  column->addWidget(summaryTable, 3);
  column->addWidget(cellLabel);
  column->addWidget(readoutLabel);
  column->addWidget(warningLabel);
  column->addWidget(reflectionTable, 2);
  summaryTable->hide();
  FillScales();

  connect(standardBox, &QComboBox::currentIndexChanged, this, [this] {
    FillScales();
    emit standardChanged();
  });
  connect(scaleBox, &QComboBox::currentIndexChanged, this, &PressurePanel::standardChanged);
  connect(pressureButton, &QPushButton::clicked, this, &PressurePanel::pressureRequested);
  connect(summaryTable, &QTableWidget::itemSelectionChanged, this, [this] {
    const auto rows = SelectedRows(summaryTable);
    if (rows.size() == 1 && static_cast<std::size_t>(rows.front()) < spectra_.size())
      emit spectrumChosen(spectra_[static_cast<std::size_t>(rows.front())]);
  });
}

void PressurePanel::FillScales() {
  const QSignalBlocker quiet(scaleBox);
  scaleBox->clear();
  const Standard* s = standard();
  if (s != nullptr && !s->pressureStandard.empty())
    for (const std::string_view name : ScaleNames(s->pressureStandard)) scaleBox->addItem(FromCore(name));
  scaleBox->setEnabled(scaleBox->count() > 0);
  pressureButton->setEnabled(scaleBox->count() > 0);
}

const Standard* PressurePanel::standard() const {
  return FindStandard(ToCore(standardBox->currentData().toString()));
}

const PressureScale* PressurePanel::scale() const {
  const Standard* s = standard();
  if (s == nullptr || s->pressureStandard.empty() || scaleBox->currentIndex() < 0) return nullptr;
  return FindScale(s->pressureStandard, ToCore(scaleBox->currentText()));
}

std::optional<PressureRequest> PressurePanel::Request(QString* why) const {
  const StandardChoice choice =
      ChooseStandard(ToCore(standardBox->currentData().toString()), ToCore(scaleBox->currentText()));
  if (!choice.ok()) {
    *why = FromCore(choice.error);
    return std::nullopt;
  }
  PressureRequest request;
  request.standard = choice.standard, request.scale = choice.scale;
  if (!temperatureEdit->text().trimmed().isEmpty()) {
    request.temperatureK = EntryNumber(temperatureEdit->text());
    if (!request.temperatureK || !(*request.temperatureK > 0)) {
      *why = "T takes kelvin above 0";
      return std::nullopt;
    }
  }
  if (!guessEdit->text().trimmed().isEmpty()) {
    request.guessPressureGPa = EntryNumber(guessEdit->text());
    if (!request.guessPressureGPa) {
      *why = "the guessed pressure takes a number of GPa";
      return std::nullopt;
    }
  }
  return request;
}

bool PressurePanel::Choose(const QString& text, QString* why) {
  const StandardChoice choice = ChooseStandard(ToCore(text));
  if (!choice.ok()) {
    *why = FromCore(choice.error);
    return false;
  }
  standardBox->setCurrentIndex(standardBox->findData(FromCore(choice.standard->name)));
  scaleBox->setCurrentIndex(scaleBox->findText(FromCore(choice.scale->name)));
  return true;
}

void PressurePanel::ShowResults(std::vector<SpectrumPressure> results, std::vector<std::size_t> spectra,
                                std::size_t current, const std::optional<CellPressure>& cell) {
  results_ = std::move(results);
  spectra_ = std::move(spectra);
  {
    const QSignalBlocker quiet(summaryTable);
    FillTable(summaryTable, PressureSummaryCells(results_));
  }
  summaryTable->setVisible(results_.size() > 1);
  if (cell) {
    // The file is the table's; the line as vantor-cli prints it after it.
    const std::string line = cell->ok() ? CellPressureLine(*cell) : cell->file + ": no cell pressure: " + cell->error;
    QString text = "<b>" + FromCore(line.substr(cell->file.size() + 2)).toHtmlEscaped().replace("  ", " · ") + "</b>";
    for (const std::string& w : cell->warnings)
      text += "<br><span style=\"color: #a03000\">\u26A0 " + FromCore(w).toHtmlEscaped() + "</span>";
    cellLabel->setText(text);
  }
  cellLabel->setVisible(cell.has_value());
  ShowDetails(current);
}

const SpectrumPressure* PressurePanel::ResultFor(std::size_t spectrum) const {
  for (std::size_t i = 0; i < spectra_.size(); ++i)
    if (spectra_[i] == spectrum) return &results_[i];
  return nullptr;
}

void PressurePanel::ShowDetails(std::size_t spectrum) {
  const SpectrumPressure* p = ResultFor(spectrum);
  if (p == nullptr) {
    readoutLabel->setText(results_.empty() ? "Choose a pressure standard and press \"Pressure\"."
                                           : "No pressure for this spectrum: it was not shown when it was asked for.");
    warningLabel->clear();
    reflectionTable->setRowCount(0);
    return;
  }
  readoutLabel->setText(ReadoutOf(*p));
  QStringList warnings;
  for (const std::string& w : p->warnings) warnings << "\u26A0 " + FromCore(w);
  warningLabel->setText(warnings.join('\n'));
  warningLabel->setVisible(!warnings.isEmpty());
  FillTable(reflectionTable, p->ok() ? PressureReflectionCells(*p) : CellTable{});
}

void PressurePanel::ClearResults() {
  results_.clear();
  spectra_.clear();
  summaryTable->setRowCount(0);
  summaryTable->hide();
  cellLabel->hide();
  ShowDetails(0);
}

}  // namespace vantor::ui
