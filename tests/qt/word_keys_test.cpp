// The word keys on the real Qt widget agree with the headless model: the same text, caret
// and key give the same text and selection on both, since both stop where the shared word
// rule says.
#include <thread>

#include "headless/platform.h"
#include "shell/keys.h"
#include "widget_fixture.h"

namespace tavi {
namespace {

struct WordKeyCase {
  const char16_t* text;
  int32_t caret;
  int16_t keyCode;
  int16_t shift;
};

struct Outcome {
  QString text;
  int32_t selStart;
  int32_t selLength;
  bool operator==(const Outcome&) const = default;
};

void PrintTo(const Outcome& o, std::ostream* os) {
  *os << '"' << o.text.toStdString() << "\" sel " << o.selStart << '+' << o.selLength;
}

Qt::Key qtKey(int16_t keyCode) {
  switch (keyCode) {
    case vk::kLeft:
      return Qt::Key_Left;
    case vk::kRight:
      return Qt::Key_Right;
    case vk::kBack:
      return Qt::Key_Backspace;
    default:
      return Qt::Key_Delete;
  }
}

class QtWordKeysTest : public testing::QtWidgetFixture {
 protected:
  Outcome onQt(const WordKeyCase& c) {
    widget.surface().setSelStart(0);
    widget.surface().setSelLength(widget.surface().textLength());
    widget.setText(qt::toQString(c.text));
    widget.surface().setSelStart(c.caret);
    Qt::KeyboardModifiers modifiers = Qt::ControlModifier;
    if ((c.shift & kShiftMask) != 0) modifiers |= Qt::ShiftModifier;
    key(qtKey(c.keyCode), modifiers);
    return {value(), widget.surface().selStart(), widget.surface().selLength()};
  }

  // On a thread of its own: controls on one thread share their module state (the window
  // hook among it), and the headless one must not touch the Qt control's.
  static Outcome onHeadless(const WordKeyCase& c) {
    Outcome outcome;
    std::thread([&] { outcome = headlessOutcome(c); }).join();
    return outcome;
  }

  static Outcome headlessOutcome(const WordKeyCase& c) {
    HeadlessPlatform platform;
    HeadlessControl& h = platform.createControl();
    TaviColorText control(h.widgets());
    control.resize();
    control.putText(Variant::fromString(c.text));
    h.surface().setSelStart(c.caret);
    h.key(c.keyCode, c.shift);
    return {qt::toQString(h.surface().text()), h.surface().selStart(), h.surface().selLength()};
  }
};

TEST_F(QtWordKeysTest, StopWhereTheHeadlessModelStops) {
  const char16_t* text = u"WAIT 20;; QUIT\r\n  END IF";
  const WordKeyCase cases[] = {
      {.text = text, .caret = 0, .keyCode = vk::kRight, .shift = kCtrlMask},
      {.text = text, .caret = 7, .keyCode = vk::kRight, .shift = kCtrlMask},   // punctuation
      {.text = text, .caret = 14, .keyCode = vk::kRight, .shift = kCtrlMask},  // over CR LF
      {.text = text, .caret = 16, .keyCode = vk::kLeft, .shift = kCtrlMask},   // line start
      {.text = text, .caret = 2, .keyCode = vk::kRight, .shift = kCtrlMask | kShiftMask},
      {.text = text, .caret = 12, .keyCode = vk::kBack, .shift = kCtrlMask},
      {.text = text, .caret = 5, .keyCode = vk::kDelete, .shift = kCtrlMask},
      {.text = text, .caret = 14, .keyCode = vk::kDelete, .shift = kCtrlMask},  // the break
      {.text = text, .caret = 18, .keyCode = vk::kLeft, .shift = kCtrlMask},
      {.text = text, .caret = 18, .keyCode = vk::kBack, .shift = kCtrlMask},
      {.text = text, .caret = 24, .keyCode = vk::kRight, .shift = kCtrlMask},
      {.text = u"x 20.5 y", .caret = 2, .keyCode = vk::kRight, .shift = kCtrlMask},
      {.text = u"don't stop", .caret = 0, .keyCode = vk::kRight, .shift = kCtrlMask},
      {.text = u"x 20.5 y", .caret = 6, .keyCode = vk::kBack, .shift = kCtrlMask},
  };
  for (const WordKeyCase& c : cases) {
    SCOPED_TRACE(::testing::Message() << "caret " << c.caret << " key " << c.keyCode);
    EXPECT_EQ(onQt(c), onHeadless(c));
  }
}

}  // namespace
}  // namespace tavi
