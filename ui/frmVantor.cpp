// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's event handlers.
#include "ui/frmVantor.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "base/Version.h"
#include "series/File3D.h"
#include "series/FileCombine.h"
#include "ui/EntryText.h"
#include "ui/FolderLists.h"
#include "ui/QtUserPrompt.h"
#include "ui/SpectrumViewer.h"

namespace vantor::ui {
namespace {

enum Mode { kConvert = 0, kCombine = 1, k3DData = 2 };

std::string CorePath(const QString& folder) {
  return ToCore(QDir::toNativeSeparators(folder));
}

// Option buttons of one frame as an indexed group: setting one from code
// raises the same handler as a click.
template <std::size_t N, class Handler>
void ConnectOptions(QWidget* owner, const std::array<QRadioButton*, N>& buttons, Handler handler) {
  auto* group = new QButtonGroup(owner);
  for (std::size_t i = 0; i < N; ++i) group->addButton(buttons[i], static_cast<int>(i));
  QObject::connect(group, &QButtonGroup::idToggled, owner, [handler](int id, bool checked) {
    if (checked) handler(id);
  });
}

// In the build tree the samples lie beside the program, one double-click
// away. Installed, the program's folder holds no data and the samples are
// read-only, so the browser opens where the program was started: the home
// folder from the desktop menu.
QString DefaultStartFolder() {
  const QString own = QCoreApplication::applicationDirPath();
  return QDir(own).exists("samples") ? own : QDir::currentPath();
}

}  // namespace

frmVantor::frmVantor(UserPrompt* prompt, const QString& startFolder) {
  // The window has no menu and so no About box: its title shows the version.
  setWindowTitle(QStringLiteral("Vantor ") + QString::fromUtf8(kVersion.data(), kVersion.size()));
  ui = BuildfrmVantor(this);
  if (prompt == nullptr) {
    ownPrompt_ = std::make_unique<QtUserPrompt>(this, ui.lblDisp);
    prompt = ownPrompt_.get();
  }
  context_ = std::make_unique<ConvertContext>(*prompt);
  Connect();
  StartSequence(startFolder.isEmpty() ? DefaultStartFolder() : startFolder);
}

frmVantor::~frmVantor() = default;

void frmVantor::Connect() {
  connect(ui.drvDrive, &QComboBox::currentIndexChanged, this, [this] { drvDrive_Change(); });
  connect(ui.dirDirectory, &DirectoryList::pathChanged, ui.filFiles, &FileList::setPath);
  connect(ui.filFiles, &QListWidget::itemSelectionChanged, this, [this] { filFiles_Click(); });
  connect(ui.filFiles, &QListWidget::itemActivated, this, [this] { filFiles_Activate(); });
  ConnectOptions(this, ui.optSourceFileType, [this](int i) { optSourceFileType_Click(i); });
  connect(ui.chkXli, &QCheckBox::toggled, this, [this] { chkXli_Click(); });
  connect(ui.chkOverWrite, &QCheckBox::toggled, this, [this](bool on) { context_->settings.OverWriteCheck = on; });
  ConnectOptions(this, ui.optMode, [this](int i) { optMode_Click(i); });
  connect(ui.cmdSet, &QPushButton::clicked, this, [this] { cmdSet_Click(); });
  connect(ui.cmdCombine, &QPushButton::clicked, this, [this] { cmdCombine_Click(); });
  connect(ui.cmd3D, &QPushButton::clicked, this, [this] { cmd3D_Click(); });
  // "Quit" ends the program at once: no question, no further handler.
  connect(ui.cmdCancel, &QPushButton::clicked, this, [] { QCoreApplication::exit(0); });
}

void frmVantor::StartSequence(const QString& startFolder) {
  context_->settings.OverWriteCheck = true;
  ui.chkOverWrite->setChecked(true);
  ui.optSourceFileType[0]->setChecked(true);
  StartDirectory = QDir(startFolder).absolutePath();
  ui.drvDrive->setDrive(DriveList::DriveOf(StartDirectory));
  ui.dirDirectory->setPath(StartDirectory);
}

void frmVantor::drvDrive_Change() {
  const QString root = ui.drvDrive->drive();
  if (!DriveList::Usable(root)) {
    context_->prompt.Message("Can not use this drive!");
    ui.dirDirectory->setPath(StartDirectory);
    ui.drvDrive->showDrive(DriveList::DriveOf(StartDirectory));
    return;
  }
  ui.dirDirectory->setPath(root);
}

void frmVantor::filFiles_Click() {
  picked_ = ui.filFiles->selectedNames();
  ui.txtSelFile->setText(picked_.join(u';'));
  if (ui.chkXli->isChecked() && ui.filFiles->currentItem() != nullptr)
    ui.txtXliName->setText(ui.filFiles->currentItem()->text());
}

// A double-click or Enter in the file list shows the selected files in a
// viewer; CSV sources get the angle and calibration last entered.
void frmVantor::filFiles_Activate() {
  QStringList paths;
  const QDir folder(ui.filFiles->path());
  for (int i = 0; i < ui.filFiles->count(); ++i)
    if (ui.filFiles->item(i)->isSelected()) paths << folder.filePath(ui.filFiles->item(i)->text());
  if (paths.isEmpty()) return;
  ConvertContext viewing(context_->prompt);
  viewing.settings = context_->settings;
  SpectrumViewer* viewer = OpenViewer(paths, viewing, this);
  if (viewer == nullptr) return;
  connect(viewer, &SpectrumViewer::energyCalibrationApplied, this, &frmVantor::TakeEnergyCalibration);
  connect(viewer, &SpectrumViewer::twoThetaApplied, this, &frmVantor::TakeTwoTheta);
}

namespace {

// Enough digits for a quadratic term of 1e-8 keV per channel squared, in
// the user's locale, as the boxes' number test reads them.
QString BoxNumber(double value) {
  QLocale locale;
  locale.setNumberOptions(QLocale::OmitGroupSeparator);
  return locale.toString(value, 'g', 10);
}

}  // namespace

void frmVantor::TakeEnergyCalibration(double a, double b, double c) {
  const std::array values{a, b, c};
  for (int i = 0; i < 3; ++i) ui.txtEGC[i]->setText(BoxNumber(values[i]));
}

void frmVantor::TakeTwoTheta(double degrees) {
  ui.opt2ThetaMode[1]->setChecked(true);  // absolute: the angle itself, not a change of it
  ui.txt2Theta->setText(BoxNumber(degrees));
}

QString frmVantor::SourcePattern() const {
  for (int i = 0; i < kWindowSourceKinds; ++i)
    if (ui.optSourceFileType[i]->isChecked()) return QString::fromLatin1(Source(static_cast<SourceKind>(i)).patterns);
  return {};
}

void frmVantor::optSourceFileType_Click(int index) {
  // Also while the list-file box is checked.
  ui.filFiles->setPattern(QString::fromLatin1(Source(static_cast<SourceKind>(index)).patterns));
}

void frmVantor::chkXli_Click() {
  if (ui.chkXli->isChecked()) {
    ui.txtXliName->setEnabled(true);
    ui.filFiles->setPattern("*.xli");
  } else {
    ui.filFiles->setPattern(SourcePattern());
    ui.txtXliName->setEnabled(false);
  }
}

// Which frames and buttons each mode shows; a frame a mode does not name
// keeps what the previous mode left.
void frmVantor::optMode_Click(int index) {
  const bool convert = index == kConvert, combine = index == kCombine, data3D = index == k3DData;
  if (convert) ui.fraSourceFileType->show();
  if (data3D) {
    ui.fraSourceFileType->hide();
    ui.optSourceFileType[static_cast<int>(SourceKind::Npd)]->setChecked(true);
  }
  ui.Frame3->setVisible(convert);
  ui.cmdSet->setVisible(convert);
  ui.cmdCombine->setVisible(combine);
  ui.cmd3D->setVisible(data3D);
  if (convert) {
    ui.chkXli->setEnabled(true);
  } else {
    ui.chkXli->setChecked(false);  // raises the list-file switch when it was checked
    ui.chkXli->setEnabled(false);
  }
  if (convert || combine) {
    ui.Frame7->setVisible(convert);
    ui.Frame8->setVisible(convert);
  }
}

ConvertRequest frmVantor::ReadConvertRequest() const {
  ConvertRequest r;
  r.changeEGC = ui.chkChangeEGC->isChecked();
  for (int i = 0; i < 3; ++i) r.egc[i] = EntryNumber(ui.txtEGC[i]->text());
  r.change2Theta = ui.chkChange2Theta->isChecked();
  r.twoTheta = EntryNumber(ui.txt2Theta->text());
  r.twoThetaMode = ui.opt2ThetaMode[1]->isChecked() ? 1 : 0;
  r.selection = ToCore(ui.txtSelFile->text());
  r.picked = PickedNames();
  r.useListFile = ui.chkXli->isChecked();
  r.listName = ToCore(ui.txtXliName->text());
  r.directory = CorePath(ui.dirDirectory->path());
  r.filesFolder = CorePath(ui.filFiles->path());
  r.pattern = ToCore(ui.filFiles->pattern());
  for (int i = 0; i < kWindowSourceKinds; ++i)
    if (ui.optSourceFileType[i]->isChecked()) r.source = static_cast<SourceKind>(i);
  for (int i = 0; i < kOutputKinds; ++i) r.outputs[i] = ui.chkOutput[i]->isChecked();
  return r;
}

void frmVantor::resizeEvent(QResizeEvent* event) {
  PlacefrmVantor(this, ui.scale);
  QWidget::resizeEvent(event);
}

// Every run may have written into the listed folder: the list shows the new
// files at once and keeps what was selected.
void frmVantor::cmdSet_Click() {
  RunConvert(ReadConvertRequest(), *context_);
  ui.filFiles->RefreshKeepingSelection();
}

std::vector<std::string> frmVantor::PickedNames() const {
  std::vector<std::string> names;
  if (picked_.isEmpty() || ui.txtSelFile->text() != picked_.join(u';')) return names;
  for (const QString& name : picked_) names.push_back(ToCore(name));
  return names;
}

// Combine and 3D Data work on the selection in the directory list's folder;
// the save dialog opens there too.
void frmVantor::cmdCombine_Click() {
  const auto picked = PickedNames();
  RunCombine(CorePath(ui.dirDirectory->path()), picked.empty() ? SplitSelection(ToCore(ui.txtSelFile->text())) : picked,
             *context_);
  ui.filFiles->RefreshKeepingSelection();
}

void frmVantor::cmd3D_Click() {
  const auto picked = PickedNames();
  Run3DData(CorePath(ui.dirDirectory->path()), picked.empty() ? SplitSelection(ToCore(ui.txtSelFile->text())) : picked,
            *context_);
  ui.filFiles->RefreshKeepingSelection();
}

}  // namespace vantor::ui
