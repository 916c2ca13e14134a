// The main window's controls: one table row per control, Left, Top, Width,
// Height in twips relative to its container (the window or a frame).
#include "ui/frmVantorLayout.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <limits>
#include <string_view>

#include "ui/EntryText.h"
#include "ui/FolderLists.h"
#include "ui/Twips.h"

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
    {"optMode(0)", Kind::Option, "Frame5", "Convert", 165, 225, 1395, 285},
    {"optMode(1)", Kind::Option, "Frame5", "Combine", 1815, 240, 1830, 285},
    {"optMode(2)", Kind::Option, "Frame5", "3D Data", 3705, 240, 1395, 285},
    {"Frame1", Kind::Frame, nullptr, "Directories", 0, 720, 3555, 2865},
    {"drvDrive", Kind::Drives, "Frame1", "", 120, 300, 3345, 315},
    {"dirDirectory", Kind::Directories, "Frame1", "", 120, 660, 3345, 2115},
    {"Frame2", Kind::Frame, nullptr, "Files", 3630, 720, 4425, 2295},
    {"filFiles", Kind::Files, "Frame2", "", 120, 180, 4215, 2040},
    {"txtSelFile", Kind::Text, "Frame2", "", 4710, 1320, 4215, 360},
    {"Frame4", Kind::Frame, nullptr, "Select List File", 3630, 3000, 4440, 585},
    {"chkXli", Kind::Check, "Frame4", "", 150, 240, 165, 195},
    {"txtXliName", Kind::Text, "Frame4", "", 450, 210, 3840, 285},
    {"fraSourceFileType", Kind::Frame, nullptr, "Source File Type", 0, 3720, 8055, 585},
    {"optSourceFileType(0)", Kind::Option, "fraSourceFileType", "xbm", 60, 210, 645, 285},
    {"optSourceFileType(1)", Kind::Option, "fraSourceFileType", "cnf", 900, 210, 645, 285},
    {"optSourceFileType(2)", Kind::Option, "fraSourceFileType", "csv(*)", 1620, 210, 825, 285},
    {"optSourceFileType(3)", Kind::Option, "fraSourceFileType", "npd", 2580, 210, 645, 285},
    {"Frame3", Kind::Frame, nullptr, "Create File Type", 0, 4410, 4365, 540},
    {"chkNPD", Kind::Check, "Frame3", "NPD", 90, 210, 690, 210},
    {"chkRPT", Kind::Check, "Frame3", "RPT", 780, 210, 675, 240},
    {"chkCSV", Kind::Check, "Frame3", "CSV", 1500, 210, 690, 210},
    {"chkTXT", Kind::Check, "Frame3", "TXT", 2220, 210, 690, 210},
    {"chkGSA", Kind::Check, "Frame3", "GSA", 2940, 210, 660, 210},
    {"chkXBM", Kind::Check, "Frame3", "XBM", 3660, 210, 660, 210},
    {"Frame7", Kind::Frame, nullptr, "Change 2Theta", 4410, 4410, 3645, 555},
    {"chkChange2Theta", Kind::Check, "Frame7", "On", 60, 150, 525, 315},
    {"opt2ThetaMode(0)", Kind::Option, "Frame7", "Relative", 720, 210, 975, 180},
    {"opt2ThetaMode(1)", Kind::Option, "Frame7", "Absolute", 1740, 210, 975, 180},
    {"txt2Theta", Kind::Text, "Frame7", "0.0001", 2730, 150, 825, 315},
    {"Frame8", Kind::Frame, nullptr, "Change EGC Parameter", 30, 5100, 8025, 645},
    {"chkChangeEGC", Kind::Check, "Frame8", "On", 90, 210, 525, 315},
    {"Label3", Kind::Label, "Frame8", "EGC(0)", 780, 270, 615, 195},
    {"txtEGC(0)", Kind::Text, "Frame8", "0.266730", 1350, 210, 855, 315},
    {"Label5", Kind::Label, "Frame8", "+EGC(1)", 2310, 270, 645, 225},
    {"txtEGC(1)", Kind::Text, "Frame8", "0.042192", 3000, 210, 855, 315},
    {"Label6", Kind::Label, "Frame8", "*ch + EGC(2)", 3930, 270, 1095, 225},
    {"txtEGC(2)", Kind::Text, "Frame8", "0.000000", 5040, 210, 855, 315},
    {"Label2", Kind::Label, "Frame8", "*ch^2", 6000, 270, 585, 225},
    {"chkOverWrite", Kind::Check, nullptr, "OverWriteCheck", 60, 5880, 1575, 255},
    {"lblDisp", Kind::Label, nullptr, "", 1770, 5880, 810, 270},
    {"cmdSet", Kind::Button, nullptr, "Convert Start", 2670, 5880, 1230, 525},
    {"cmdCombine", Kind::Button, nullptr, "Combine Start", 3930, 5880, 1230, 525},
    {"cmd3D", Kind::Button, nullptr, "3D Data", 5175, 5880, 1230, 525},
    {"cmdCancel", Kind::Button, nullptr, "Quit", 6450, 6015, 720, 375},
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

// Check boxes and option buttons drawn lower than the platform's indicator
// grow about their middle, so that the indicator is never cut.
QRect Geometry(const Place& p, const QWidget* w) {
  QRect at = Twips(p.left, p.top, p.width, p.height);
  if (p.kind == Kind::Check || p.kind == Kind::Option) {
    const QSize hint = w->sizeHint();
    if (hint.height() > at.height()) {
      at.translate(0, -(hint.height() - at.height()) / 2);
      at.setHeight(hint.height());
    }
    if (p.caption[0] == '\0' && hint.width() > at.width()) at.setWidth(hint.width());
  }
  return at;
}

// The width a caption needs in a face: its text, and for check boxes and
// option buttons the indicator and the gap after it.
int NeededWidth(const Place& p, const QWidget* w, const QFont& face) {
  const int text = QFontMetrics(face).horizontalAdvance(QString::fromLatin1(p.caption));
  const QStyle* style = w->style();
  switch (p.kind) {
    case Kind::Check:
      return text + style->pixelMetric(QStyle::PM_IndicatorWidth) + style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing);
    case Kind::Option:
      return text + style->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth) +
             style->pixelMetric(QStyle::PM_RadioButtonLabelSpacing);
    case Kind::Label:
      return text;
    default:
      return 0;
  }
}

// The form was drawn for an 8 pt face. The platform's own face may be wider;
// then the whole window takes the largest size at which no caption is cut,
// so that all controls keep one size. The mode buttons have their own face.
void FitCaptions(QWidget* window) {
  constexpr double kLargest = 8, kSmallest = 6;
  QFont face = window->font();
  for (double size = kLargest; size > kSmallest; size -= 0.25) {
    face.setPointSizeF(size);
    bool fits = true;
    for (const Place& p : kPlaces) {
      const auto* w = window->findChild<QWidget*>(p.name);
      const bool ownFace = std::string_view(p.name).starts_with("optMode");
      if (!ownFace && p.caption[0] != '\0' && NeededWidth(p, w, face) > w->width()) fits = false;
    }
    if (fits) break;
  }
  window->setFont(face);
}

template <class T>
T* Get(QWidget* window, const QString& name) {
  return window->findChild<T*>(name);
}

}  // namespace

frmVantorControls BuildfrmVantor(QWidget* window) {
  for (const Place& p : kPlaces) {
    QWidget* parent = p.container ? Get<QWidget>(window, p.container) : window;
    QWidget* w = Create(p, parent);
    w->setObjectName(p.name);
    w->setGeometry(Twips(p.left, p.top, p.width, p.height));
  }
  QFont modeFont("Arial");
  modeFont.setPointSizeF(14.25);
  for (int i = 0; i < 3; ++i) Get<QWidget>(window, QString("optMode(%1)").arg(i))->setFont(modeFont);
  FitCaptions(window);
  for (const Place& p : kPlaces) {
    QWidget* w = Get<QWidget>(window, p.name);
    w->setGeometry(Geometry(p, w));
  }
  // Frame captions in blue on the frame's top line; the controls inside keep
  // the usual colours. The directory list shows its folders without
  // expand marks: every folder it shows is open.
  window->setStyleSheet(QString(R"(
      QGroupBox { border: 1px solid palette(mid); margin-top: 6px; }
      QGroupBox::title { subcontrol-origin: margin; left: 6px; padding: 0 2px; color: %1; }
      QTreeView::branch { image: none; border-image: none; })")
                            .arg(kFrameCaption.name()));

  frmVantorControls c{};
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
  return c;
}

}  // namespace vantor::ui
