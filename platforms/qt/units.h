// Units at the Qt boundary: the control measures its widgets in twips and draws in
// pixels; strings cross as UTF-16 in both worlds; colours are COLORREFs.
#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

#include <cstdint>

#include "shell/text.h"

namespace tavi::qt {

// Twips per logical pixel of a widget's screen (15 at 96 dpi).
inline int32_t twipsPerPixel(const QWidget* widget) {
  const int dpi = widget != nullptr ? widget->logicalDpiY() : 96;
  return dpi > 0 ? (1440 + dpi / 2) / dpi : 15;
}

inline int32_t toTwips(const QWidget* widget, int pixels) { return pixels * twipsPerPixel(widget); }

// Pixels of a twips value, rounded to the nearest pixel.
inline int toPixels(const QWidget* widget, int32_t twips) {
  const int32_t tpp = twipsPerPixel(widget);
  return static_cast<int>((twips + (twips >= 0 ? tpp / 2 : -tpp / 2)) / tpp);
}

// A colour of the control (0x00BBGGRR) as Qt's.
inline QColor toQColor(int32_t colorRef) {
  return QColor(colorRef & 0xFF, (colorRef >> 8) & 0xFF, (colorRef >> 16) & 0xFF);
}

inline QString toQString(TextView text) {
  return QString(reinterpret_cast<const QChar*>(text.data()), static_cast<qsizetype>(text.size()));
}

inline Text toText(const QString& s) {
  return Text(reinterpret_cast<const char16_t*>(s.utf16()), static_cast<size_t>(s.size()));
}

}  // namespace tavi::qt
