// SPDX-License-Identifier: GPL-3.0-or-later
// Fitting a form drawn in twips to the platform's face.
#include "ui/FormScale.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <algorithm>
#include <cmath>

namespace vantor::ui {
namespace {

constexpr double kTwipsPerPixel = 15;
constexpr double kSmallestPointSize = 9;
// Room around the text of a text box (frame and inner margin) and above and
// below any one-line text in a box or button.
constexpr int kTextBoxRoom = 10, kLineRoom = 4;
// Rounding both edges of a place may take one pixel off its width.
constexpr int kRounding = 1;

int TextWidth(const QWidget* w, const QString& text) {
  return QFontMetrics(w->font()).horizontalAdvance(Shown(text));
}

// Controls that show one line of text and grow about their middle when
// drawn lower than it.
bool GrowsAboutMiddle(const QWidget* w) {
  return qobject_cast<const QCheckBox*>(w) || qobject_cast<const QRadioButton*>(w) || qobject_cast<const QLabel*>(w);
}

QString Caption(const QWidget* w) {
  if (const auto* b = qobject_cast<const QAbstractButton*>(w)) return b->text();
  if (const auto* l = qobject_cast<const QLabel*>(w)) return l->text();
  if (const auto* e = qobject_cast<const QLineEdit*>(w)) return e->text();
  if (const auto* g = qobject_cast<const QGroupBox*>(w)) return g->title();
  return {};
}

// The size a control needs at the factor 1; zero where it sets no bound.
QSize Needed(const QWidget* w) {
  const QString caption = Caption(w);
  const int line = QFontMetrics(w->font()).height() + kLineRoom;
  if (GrowsAboutMiddle(w)) return {caption.isEmpty() ? 0 : w->sizeHint().width(), 0};
  if (const auto* g = qobject_cast<const QGroupBox*>(w)) return {caption.isEmpty() ? 0 : TitleRight(g), 0};
  if (qobject_cast<const QPushButton*>(w)) {
    const QStyle* s = w->style();
    const int margins = 2 * (s->pixelMetric(QStyle::PM_ButtonMargin) + s->pixelMetric(QStyle::PM_DefaultFrameWidth));
    return {TextWidth(w, caption) + margins, line};
  }
  if (qobject_cast<const QLineEdit*>(w)) return {caption.isEmpty() ? 0 : TextWidth(w, caption) + kTextBoxRoom, line};
  if (qobject_cast<const QComboBox*>(w)) return {0, line};
  return {};
}

const FormPlace* PlaceOf(std::span<const FormPlace> places, const QWidget* w) {
  const auto found = std::find_if(places.begin(), places.end(), [w](const FormPlace& p) { return p.widget == w; });
  return found == places.end() ? nullptr : &*found;
}

// The factor one control asks for: its own size, and inside a frame room
// for the frame's title above it and its text within the frame's bottom.
double Ratio(const FormPlace& p, std::span<const FormPlace> places) {
  const QRectF at(p.twips.left() / kTwipsPerPixel, p.twips.top() / kTwipsPerPixel, p.twips.width() / kTwipsPerPixel,
                  p.twips.height() / kTwipsPerPixel);
  double ratio = 0;
  auto need = [&ratio](double want, double have) {
    if (want > 0 && have > 0) ratio = std::max(ratio, want / have);
  };
  const QSize needed = Needed(p.widget);
  need(needed.width() + kRounding, at.width());
  need(needed.height() + kRounding, at.height());

  const auto* frame = qobject_cast<const QGroupBox*>(p.widget->parentWidget());
  if (frame == nullptr || frame->title().isEmpty()) return ratio;
  const int title = QFontMetrics(frame->font()).height();
  const double middle = at.top() + at.height() / 2;
  const double halfText = p.widget->sizeHint().height() / 2.0;
  if (at.left() < TitleRight(frame)) {
    if (GrowsAboutMiddle(p.widget))
      need(title + halfText, middle);
    else
      need(title, at.top());
  }
  if (const FormPlace* outer = PlaceOf(places, frame); outer != nullptr && GrowsAboutMiddle(p.widget))
    need(halfText + kRounding, outer->twips.height() / kTwipsPerPixel - middle);
  return ratio;
}

}  // namespace

QFont FormFont() {
  QFont face = QApplication::font();
  if (face.pointSizeF() > 0 && face.pointSizeF() < kSmallestPointSize) face.setPointSizeF(kSmallestPointSize);
  return face;
}

QString Shown(QString caption) {
  for (qsizetype i = caption.indexOf(u'&'); i >= 0 && i < caption.size(); i = caption.indexOf(u'&', i + 1))
    caption.remove(i, 1);  // "&&" leaves one "&"
  return caption;
}

int TitleRight(const QGroupBox* frame) {
  return kTitleLeft + 2 * kTitlePadding + TextWidth(frame, frame->title());
}

QString FrameStyleSheet(const QFont& face, const QColor& caption) {
  // The frame's line runs through the middle of its title.
  return QString(R"(
      QGroupBox { border: 1px solid palette(mid); margin-top: %1px; }
      QGroupBox::title { subcontrol-origin: margin; left: %2px; padding: 0 %3px; color: %4; })")
      .arg(QFontMetrics(face).height() / 2)
      .arg(kTitleLeft)
      .arg(kTitlePadding)
      .arg(caption.name());
}

double FitFactor(std::span<const FormPlace> places) {
  double factor = 1;
  for (const FormPlace& p : places) factor = std::max(factor, Ratio(p, places));
  return factor;
}

QRect Scaled(const QRect& twips, double factor) {
  auto edge = [factor](int t) { return static_cast<int>(std::lround(t * factor / kTwipsPerPixel)); };
  const int left = edge(twips.left()), top = edge(twips.top());
  return {left, top, edge(twips.left() + twips.width()) - left, edge(twips.top() + twips.height()) - top};
}

QRect Placed(const FormPlace& place, double factor) {
  QRect at = Scaled(place.twips, factor);
  if (!GrowsAboutMiddle(place.widget)) return at;
  const QSize hint = place.widget->sizeHint();
  if (hint.height() > at.height()) {
    at.translate(0, -(hint.height() - at.height()) / 2);
    at.setHeight(hint.height());
  }
  if (Caption(place.widget).isEmpty() && hint.width() > at.width()) at.setWidth(hint.width());
  return at;
}

}  // namespace vantor::ui
