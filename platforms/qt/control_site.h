// The control's own widget as its layout and its measures see it: the size in twips,
// and text measured in the widget's font.
#pragma once

#include <QFontMetricsF>
#include <QWidget>

#include "qt/units.h"
#include "shell/widgets/environment.h"

namespace tavi::qt {

class QtControlSite final : public ControlSite {
 public:
  explicit QtControlSite(QWidget& widget) : widget_(widget) {}
  double scaleWidth() const override { return toTwips(&widget_, widget_.width()); }
  double scaleHeight() const override { return toTwips(&widget_, widget_.height()); }
  double textWidth(TextView text) const override {
    return QFontMetricsF(widget_.font()).horizontalAdvance(toQString(text));
  }
  double textHeight(TextView) const override { return QFontMetricsF(widget_.font()).height(); }

 private:
  QWidget& widget_;
};

}  // namespace tavi::qt
