// A TaviColorTextWidget in an active window on the offscreen platform, with keyword
// colouring on and its changes counted. Message boxes are answered OK at once and recorded.
#pragma once

#include <QTest>

#include <gtest/gtest.h>

#include <ostream>
#include <vector>

#include "qt/edit_surface.h"
#include "qt/services.h"
#include "qt/surface_view.h"
#include "qt/tavi_color_text_widget.h"
#include "qt/units.h"

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
QT_END_NAMESPACE

namespace tavi::testing {

class QtWidgetFixture : public ::testing::Test {
 protected:
  QtWidgetFixture() {
    widget.services().messages.setAnswerer([this](TextView text, int32_t, TextView) {
      messages.push_back(qt::toQString(text));
      return 1;
    });
    widget.setKeywordHighlight(true);
    widget.resize(640, 400);
    widget.show();
    widget.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&widget));
    widget.setLoadFlag(false);
    widget.editor()->setFocus();
    QObject::connect(&widget, &TaviColorTextWidget::onChange, [this] { ++changes; });
  }
  ~QtWidgetFixture() override { widget.services().messages.setAnswerer(nullptr); }

  qt::SurfaceView* editor() { return widget.editor(); }
  void type(const QString& keys) { QTest::keyClicks(editor(), keys); }
  void key(Qt::Key k, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(editor(), k, modifiers);
  }
  QString value() { return widget.value(); }
  bool isKeyword(int32_t offset) {
    return widget.surface().colorAt(offset) == kColorKeyword && widget.surface().boldAt(offset);
  }
  // The caret's row in the editor widget's pixels.
  QRect caretRect() {
    const QPoint at = editor()->pointOf(widget.surface().selStart()) + editor()->viewport()->pos();
    return {at, QSize(1, editor()->lineHeight())};
  }

  TaviColorTextWidget widget;
  int changes = 0;
  std::vector<QString> messages;
};

}  // namespace tavi::testing
