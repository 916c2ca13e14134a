// Positions of the forms are kept in twips (1440 to the inch), as the forms
// were drawn; 15 twips make one device-independent pixel at 96 dpi, so
// high-DPI screens scale the window like every other Qt window.
#pragma once

#include <QRect>
#include <QSize>

namespace vantor::ui {

constexpr int TwipsToPixels(int twips) {
  return (twips + 7) / 15;
}

inline QRect Twips(int left, int top, int width, int height) {
  return {TwipsToPixels(left), TwipsToPixels(top), TwipsToPixels(width), TwipsToPixels(height)};
}

inline QSize TwipsSize(int width, int height) {
  return {TwipsToPixels(width), TwipsToPixels(height)};
}

}  // namespace vantor::ui
