// SPDX-License-Identifier: GPL-3.0-or-later
// The controls of the main window, built from one table of names, kinds,
// captions and positions.
#pragma once

#include <QSize>
#include <array>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QWidget;

namespace vantor::ui {

class DriveList;
class DirectoryList;
class FileList;

struct frmVantorControls {
  QGroupBox* Frame5;  // "Mode"
  std::array<QRadioButton*, 3> optMode;
  QGroupBox* Frame1;  // "Directories"
  DriveList* drvDrive;
  DirectoryList* dirDirectory;
  QGroupBox* Frame2;  // "Files"
  FileList* filFiles;
  QLineEdit* txtSelFile;  // carries the selection, never seen
  QGroupBox* Frame4;      // "Select List File"
  QCheckBox* chkXli;
  QLineEdit* txtXliName;
  QGroupBox* fraSourceFileType;
  std::array<QRadioButton*, 4> optSourceFileType;
  QGroupBox* Frame3;  // "Create File Type"
  // In the order of the output kinds: RPT, TXT, CSV, NPD, GSA, XBM.
  std::array<QCheckBox*, 6> chkOutput;
  QGroupBox* Frame7;  // "Change 2Theta"
  QCheckBox* chkChange2Theta;
  std::array<QRadioButton*, 2> opt2ThetaMode;
  QLineEdit* txt2Theta;
  QGroupBox* Frame8;  // "Change EGC Parameter"
  QCheckBox* chkChangeEGC;
  std::array<QLineEdit*, 3> txtEGC;
  QCheckBox* chkOverWrite;
  QLabel* lblDisp;
  QPushButton* cmdSet;
  QPushButton* cmdCombine;
  QPushButton* cmd3D;
  QPushButton* cmdCancel;
  // The factor by which the drawing is shown, so that no caption is cut.
  double scale = 1;
};

// Creates every control inside the window, at its place, with its caption,
// colours, fonts and starting state; the window gets the drawing's size at
// the scale as its size and its smallest size.
frmVantorControls BuildfrmVantor(QWidget* window);

// The window's size as drawn, at a scale.
QSize frmVantorSize(double scale);

// Places every control for the window's present size: the drawing at the
// scale, the folder and file lists grown by whatever the window has more.
void PlacefrmVantor(QWidget* window, double scale);

}  // namespace vantor::ui
