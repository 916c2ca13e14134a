// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's controls: one table row per control, Left, Top, Width,
// Height in twips relative to its container (the window or a frame). The
// whole table is scaled by one factor, the smallest at which every caption
// fits in the platform's face; "&" marks the Alt key of a caption.
#include "ui/frmVantorLayout.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>
#include <iterator>
#include <limits>
#include <vector>

#include "ui/EntryText.h"
#include "ui/FolderLists.h"
#include "ui/FormScale.h"

namespace vantor::ui {
namespace {

enum class Kind { Frame, Option, Check, Text, Label, Button, Drives, Directories, Files };

struct Place {
  const char* name;
  Kind kind;
  const char* container;  // nullptr: the window
  const char* caption;    // caption or initial text
  int left, top, width, height;
};

// clang-format off
constexpr Place kPlaces[] = {
    {"Frame5", Kind::Frame, nullptr, "Mode", 15, 30, 5400, 645},
    {"optMode(0)", Kind::Option, "Frame5", "Con&vert", 165, 225, 1395, 285},
    {"optMode(1)", Kind::Option, "Frame5", "Co&mbine", 1815, 240, 1830, 285},
    {"optMode(2)", Kind::Option, "Frame5", "&3D Data", 3705, 240, 1395, 285},
    {"Frame1", Kind::Frame, nullptr, "&Directories", 0, 720, 3555, 2865},
    {"drvDrive", Kind::Drives, "Frame1", "", 120, 300, 3345, 315},
    {"dirDirectory", Kind::Directories, "Frame1", "", 120, 660, 3345, 2115},
    {"Frame2", Kind::Frame, nullptr, "&Files", 3630, 720, 4425, 2295},
    {"filFiles", Kind::Files, "Frame2", "", 120, 180, 4215, 2040},
    {"txtSelFile", Kind::Text, "Frame2", "", 4710, 1320, 4215, 360},
    {"Frame4", Kind::Frame, nullptr, "Select &List File", 3630, 3000, 4440, 585},
    {"chkXli", Kind::Check, "Frame4", "", 150, 240, 165, 195},
    {"txtXliName", Kind::Text, "Frame4", "", 450, 210, 3840, 285},
    {"fraSourceFileType", Kind::Frame, nullptr, "S&ource File Type", 0, 3720, 8055, 585},
    {"optSourceFileType(0)", Kind::Option, "fraSourceFileType", "xbm", 60, 210, 645, 285},
    {"optSourceFileType(1)", Kind::Option, "fraSourceFileType", "cnf", 900, 210, 645, 285},
    {"optSourceFileType(2)", Kind::Option, "fraSourceFileType", "csv(*)", 1620, 210, 825, 285},
    {"optSourceFileType(3)", Kind::Option, "fraSourceFileType", "npd", 2580, 210, 645, 285},
    {"Frame3", Kind::Frame, nullptr, "Create File Type", 0, 4410, 4365, 540},
    {"chkNPD", Kind::Check, "Frame3", "&NPD", 90, 210, 690, 210},
    {"chkRPT", Kind::Check, "Frame3", "&RPT", 780, 210, 675, 240},
    {"chkCSV", Kind::Check, "Frame3", "&CSV", 1500, 210, 690, 210},
    {"chkTXT", Kind::Check, "Frame3", "&TXT", 2220, 210, 690, 210},
    {"chkGSA", Kind::Check, "Frame3", "&GSA", 2940, 210, 660, 210},
    {"chkXBM", Kind::Check, "Frame3", "&XBM", 3660, 210, 660, 210},
    {"Frame7", Kind::Frame, nullptr, "Change &2Theta", 4410, 4410, 3645, 555},
    {"chkChange2Theta", Kind::Check, "Frame7", "On", 60, 150, 525, 315},
    {"opt2ThetaMode(0)", Kind::Option, "Frame7", "R&elative", 720, 210, 975, 180},
    {"opt2ThetaMode(1)", Kind::Option, "Frame7", "A&bsolute", 1740, 210, 975, 180},
    {"txt2Theta", Kind::Text, "Frame7", "0.0001", 2730, 150, 825, 315},
    {"Frame8", Kind::Frame, nullptr, "Change EGC &Parameter", 30, 5100, 8025, 645},
    {"chkChangeEGC", Kind::Check, "Frame8", "On", 90, 210, 525, 315},
    {"Label3", Kind::Label, "Frame8", "EGC(0)", 780, 270, 615, 195},
    {"txtEGC(0)", Kind::Text, "Frame8", "0.266730", 1350, 210, 855, 315},
    {"Label5", Kind::Label, "Frame8", "+EGC(1)", 2310, 270, 645, 225},
    {"txtEGC(1)", Kind::Text, "Frame8", "0.042192", 3000, 210, 855, 315},
    {"Label6", Kind::Label, "Frame8", "*ch + EGC(2)", 3930, 270, 1095, 225},
    {"txtEGC(2)", Kind::Text, "Frame8", "0.000000", 5040, 210, 855, 315},
    {"Label2", Kind::Label, "Frame8", "*ch^2", 6000, 270, 585, 225},
    {"chkOverWrite", Kind::Check, nullptr, "Over&WriteCheck", 60, 5880, 1575, 255},
    {"lblDisp", Kind::Label, nullptr, "", 1770, 5880, 810, 270},
    {"cmdSet", Kind::Button, nullptr, "Convert &Start", 2670, 5880, 1230, 525},
    {"cmdCombine", Kind::Button, nullptr, "Combine &Start", 3930, 5880, 1230, 525},
    {"cmd3D", Kind::Button, nullptr, "3D Da&ta", 5175, 5880, 1230, 525},
    {"cmdCancel", Kind::Button, nullptr, "&Quit", 6450, 6015, 720, 375},
};
// clang-format on

// The window's client area as drawn.
constexpr int kWindowWidth = 8175, kWindowHeight = 6525;

// How the controls follow the window when it grows: the fractions of the
// extra width and height by which each moves (x, y) and grows (w, h). The
// folder and file lists take the room; what lies below them moves down.
struct Follow {
  const char* name;
  double x, y, w, h;
};

// clang-format off
constexpr Follow kFollows[] = {
    {"Frame1", 0, 0, 0.5, 1},
    {"drvDrive", 0, 0, 0.5, 0},
    {"dirDirectory", 0, 0, 0.5, 1},
    {"Frame2", 0.5, 0, 0.5, 1},
    {"filFiles", 0, 0, 0.5, 1},
    {"Frame4", 0.5, 1, 0.5, 0},
    {"txtXliName", 0, 0, 0.5, 0},
    {"fraSourceFileType", 0, 1, 1, 0},
    {"Frame3", 0, 1, 0, 0},
    {"Frame7", 0, 1, 1, 0},
    {"Frame8", 0, 1, 1, 0},
    {"chkOverWrite", 0, 1, 0, 0},
    {"lblDisp", 0, 1, 0, 0},
    {"cmdSet", 0, 1, 0, 0},
    {"cmdCombine", 0, 1, 0, 0},
    {"cmd3D", 0, 1, 0, 0},
    {"cmdCancel", 1, 1, 0, 0},
};
// clang-format on

const QColor kFrameCaption(0, 0, 255);
const QColor kButtonFace(192, 192, 255);

QWidget* Create(const Place& p, QWidget* parent) {
  switch (p.kind) {
    case Kind::Frame:
      return new QGroupBox(p.caption, parent);
    case Kind::Option:
      return new QRadioButton(p.caption, parent);
    case Kind::Check:
      return new QCheckBox(p.caption, parent);
    case Kind::Text:
      return new QLineEdit(LocaleDefault(p.caption), parent);
    case Kind::Label:
      return new QLabel(p.caption, parent);
    case Kind::Button: {
      auto* button = new QPushButton(p.caption, parent);
      QPalette face = button->palette();
      face.setColor(QPalette::Button, kButtonFace);
      button->setPalette(face);
      // Enter in the file list belongs to the list, never to a start button.
      button->setAutoDefault(false);
      return button;
    }
    case Kind::Drives:
      return new DriveList(parent);
    case Kind::Directories:
      return new DirectoryList(parent);
    case Kind::Files:
      return new FileList(parent);
  }
  return nullptr;
}

template <class T>
T* Get(const QWidget* window, const QString& name) {
  return window->findChild<T*>(name);
}

std::vector<FormPlace> Places(const QWidget* window) {
  std::vector<FormPlace> places;
  for (const Place& p : kPlaces)
    places.push_back({Get<QWidget>(window, p.name), QRect(p.left, p.top, p.width, p.height)});
  return places;
}

// Fonts and looks: the platform's face (never below 9 pt) everywhere, the
// mode buttons' larger face in the drawing's proportion to it, blue frame
// titles on the frame's line. Each frame carries its own style sheet, so
// that nothing of it reaches the dialogs the window opens.
void SetLooks(QWidget* window) {
  const QFont face = FormFont();
  window->setFont(face);
  QFont modeFont(face);
  modeFont.setFamilies({"Arial", "Liberation Sans"});
  modeFont.setPointSizeF(14.25 * face.pointSizeF() / kDrawnPointSize);
  for (int i = 0; i < 3; ++i) Get<QWidget>(window, QString("optMode(%1)").arg(i))->setFont(modeFont);
  for (QGroupBox* frame : window->findChildren<QGroupBox*>())
    frame->setStyleSheet(FrameStyleSheet(face, kFrameCaption));
  // Every folder the directory list shows is open: no expand marks.
  Get<QWidget>(window, "dirDirectory")->setStyleSheet("QTreeView::branch { image: none; border-image: none; }");
}

}  // namespace

QSize frmVantorSize(double scale) {
  return Scaled(QRect(0, 0, kWindowWidth, kWindowHeight), scale).size();
}

void PlacefrmVantor(QWidget* window, double scale) {
  const QSize extra = (window->size() - frmVantorSize(scale)).expandedTo(QSize(0, 0));
  for (const FormPlace& place : Places(window)) {
    QRect at = Placed(place, scale);
    const auto follow = std::find_if(std::begin(kFollows), std::end(kFollows), [&](const Follow& f) {
      return place.widget->objectName() == QLatin1String(f.name);
    });
    if (follow != std::end(kFollows)) {
      at.translate(qRound(follow->x * extra.width()), qRound(follow->y * extra.height()));
      at.setSize(at.size() + QSize(qRound(follow->w * extra.width()), qRound(follow->h * extra.height())));
    }
    place.widget->setGeometry(at);
  }
}

frmVantorControls BuildfrmVantor(QWidget* window) {
  for (const Place& p : kPlaces) {
    QWidget* parent = p.container ? Get<QWidget>(window, p.container) : window;
    Create(p, parent)->setObjectName(p.name);
  }
  SetLooks(window);

  frmVantorControls c{};
  c.scale = FitFactor(Places(window));
  c.Frame5 = Get<QGroupBox>(window, "Frame5");
  for (int i = 0; i < 3; ++i) c.optMode[i] = Get<QRadioButton>(window, QString("optMode(%1)").arg(i));
  c.Frame1 = Get<QGroupBox>(window, "Frame1");
  c.drvDrive = Get<DriveList>(window, "drvDrive");
  c.dirDirectory = Get<DirectoryList>(window, "dirDirectory");
  c.Frame2 = Get<QGroupBox>(window, "Frame2");
  c.filFiles = Get<FileList>(window, "filFiles");
  c.txtSelFile = Get<QLineEdit>(window, "txtSelFile");
  c.Frame4 = Get<QGroupBox>(window, "Frame4");
  c.chkXli = Get<QCheckBox>(window, "chkXli");
  c.txtXliName = Get<QLineEdit>(window, "txtXliName");
  c.fraSourceFileType = Get<QGroupBox>(window, "fraSourceFileType");
  for (int i = 0; i < 4; ++i)
    c.optSourceFileType[i] = Get<QRadioButton>(window, QString("optSourceFileType(%1)").arg(i));
  c.Frame3 = Get<QGroupBox>(window, "Frame3");
  const char* outputs[] = {"chkRPT", "chkTXT", "chkCSV", "chkNPD", "chkGSA", "chkXBM"};
  for (int i = 0; i < 6; ++i) c.chkOutput[i] = Get<QCheckBox>(window, outputs[i]);
  c.Frame7 = Get<QGroupBox>(window, "Frame7");
  c.chkChange2Theta = Get<QCheckBox>(window, "chkChange2Theta");
  for (int i = 0; i < 2; ++i) c.opt2ThetaMode[i] = Get<QRadioButton>(window, QString("opt2ThetaMode(%1)").arg(i));
  c.txt2Theta = Get<QLineEdit>(window, "txt2Theta");
  c.Frame8 = Get<QGroupBox>(window, "Frame8");
  c.chkChangeEGC = Get<QCheckBox>(window, "chkChangeEGC");
  for (int i = 0; i < 3; ++i) c.txtEGC[i] = Get<QLineEdit>(window, QString("txtEGC(%1)").arg(i));
  c.chkOverWrite = Get<QCheckBox>(window, "chkOverWrite");
  c.lblDisp = Get<QLabel>(window, "lblDisp");
  c.cmdSet = Get<QPushButton>(window, "cmdSet");
  c.cmdCombine = Get<QPushButton>(window, "cmdCombine");
  c.cmd3D = Get<QPushButton>(window, "cmd3D");
  c.cmdCancel = Get<QPushButton>(window, "cmdCancel");

  // The selection can hold thousands of names.
  c.txtSelFile->setMaxLength(std::numeric_limits<int>::max());
  c.txtSelFile->hide();
  c.cmdCombine->hide();
  c.cmd3D->hide();
  c.optMode[0]->setChecked(true);
  c.opt2ThetaMode[0]->setChecked(true);

  // The drawing is the smallest the window gets; larger, the lists grow.
  window->setMinimumSize(frmVantorSize(c.scale));
  window->resize(frmVantorSize(c.scale));
  PlacefrmVantor(window, c.scale);
  return c;
}

}  // namespace vantor::ui
