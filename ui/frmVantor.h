// SPDX-License-Identifier: GPL-3.0-or-later
// frmVantor: the main window. It holds every choice of the user, hands the
// runs what the controls say at the moment a start button is pressed, and
// shows what the core reports. It does no file work itself.
#pragma once

#include <QWidget>
#include <memory>

#include "base/ConvertContext.h"
#include "convert/ConvertRun.h"
#include "ui/frmVantorLayout.h"

namespace vantor::ui {

class frmVantor : public QWidget {
  Q_OBJECT
 public:
  // prompt: who answers the core (the window's own dialogs when null, a
  // scripted user in tests); startFolder: where the browser opens (when
  // empty, the program's own folder if the samples lie there, else the
  // current folder).
  explicit frmVantor(UserPrompt* prompt = nullptr, const QString& startFolder = {});
  ~frmVantor() override;

  frmVantorControls ui;

  // The run settings the window owns (OverWriteCheck) and the runs leave
  // behind (the entered calibration and angle).
  const RunSettings& Settings() const { return context_->settings; }
  // The request "Convert Start" hands to the Convert run.
  ConvertRequest ReadConvertRequest() const;

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void Connect();
  void StartSequence(const QString& startFolder);
  void drvDrive_Change();
  void filFiles_Click();
  void filFiles_Activate();
  // A calibration applied in a viewer opened from here fills the boxes a
  // conversion takes it from (their "On" boxes stay the user's to tick).
  void TakeEnergyCalibration(double a, double b, double c);
  void TakeTwoTheta(double degrees);
  void optSourceFileType_Click(int index);
  void chkXli_Click();
  void optMode_Click(int index);
  void cmdSet_Click();
  void cmdCombine_Click();
  void cmd3D_Click();
  QString SourcePattern() const;
  // The names picked in the file list while the selection box shows them
  // as the list wrote them; else none, and the box's text is split.
  std::vector<std::string> PickedNames() const;

  std::unique_ptr<UserPrompt> ownPrompt_;
  std::unique_ptr<ConvertContext> context_;
  QString StartDirectory;
  QStringList picked_;  // the file list's selection when it last changed
};

}  // namespace vantor::ui
