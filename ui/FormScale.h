// SPDX-License-Identifier: GPL-3.0-or-later
// The forms were drawn in twips for an 8.25 pt face. They are shown at the
// platform's own face, and the whole form grows by one factor until every
// caption fits: the proportions of the drawing hold, nothing is cut.
#pragma once

#include <QFont>
#include <QRect>
#include <span>

class QColor;
class QGroupBox;
class QWidget;

namespace vantor::ui {

// The face the forms were drawn for.
constexpr double kDrawnPointSize = 8.25;

// The platform's face, never below 9 pt.
QFont FormFont();

// One control of a form and its place in twips within its container.
struct FormPlace {
  QWidget* widget;
  QRect twips;
};

// The smallest factor, at least 1, at which every caption, every text-box
// text and every frame title fits the places scaled by it. The controls
// must carry their fonts and texts already.
double FitFactor(std::span<const FormPlace> places);

// A place in twips, scaled: edges are rounded on their own, so controls that
// touch in the drawing still touch.
QRect Scaled(const QRect& twips, double factor);

// Where the control goes: its scaled place; check boxes, option buttons and
// labels lower than their text grow about their middle, and a check box
// without caption as wide as its indicator.
QRect Placed(const FormPlace& place, double factor);

// Caption text as drawn: without the mnemonic marks.
QString Shown(QString caption);

// Frame titles sit on the frame's top line, this far from its left edge,
// with this much room on either side.
constexpr int kTitleLeft = 6, kTitlePadding = 2;
// Where a frame's title ends, from the frame's left edge.
int TitleRight(const QGroupBox* frame);
// The look of a frame in the given face: a plain line, the title on it in
// the caption colour.
QString FrameStyleSheet(const QFont& face, const QColor& caption);

}  // namespace vantor::ui
