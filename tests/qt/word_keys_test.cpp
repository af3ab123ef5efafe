// The word and caret keys on the real Qt widget agree with the headless model: the same
// text, caret and key give the same text and selection on both, since both act by the shared
// surface model (words by its rule, combining marks and goal columns by code unit), and
// raise onChange alike.
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
  int changes;  // onChange events the key raised
  bool operator==(const Outcome&) const = default;
};

void PrintTo(const Outcome& o, std::ostream* os) {
  *os << '"' << o.text.toStdString() << "\" sel " << o.selStart << '+' << o.selLength << ", "
      << o.changes << " onChange";
}

struct ChangeCounter : EventSink {
  int changes = 0;
  void onChange() override { ++changes; }
  void onEvent(int16_t&) override {}
};

Qt::Key qtKey(int16_t keyCode) {
  switch (keyCode) {
    case vk::kLeft:
      return Qt::Key_Left;
    case vk::kRight:
      return Qt::Key_Right;
    case vk::kBack:
      return Qt::Key_Backspace;
    case vk::kUp:
      return Qt::Key_Up;
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
    Qt::KeyboardModifiers modifiers;
    if ((c.shift & kCtrlMask) != 0) modifiers |= Qt::ControlModifier;
    if ((c.shift & kShiftMask) != 0) modifiers |= Qt::ShiftModifier;
    changes = 0;
    key(qtKey(c.keyCode), modifiers);
    return {value(), widget.surface().selStart(), widget.surface().selLength(), changes};
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
    ChangeCounter counter;
    control.addEventSink(&counter);
    h.key(c.keyCode, c.shift);
    control.removeEventSink(&counter);
    return {qt::toQString(h.surface().text()), h.surface().selStart(), h.surface().selLength(),
            counter.changes};
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
      // A combining mark is a unit of its own; a column inside a pair lands before it.
      {.text = u"e\u0301x", .caret = 2, .keyCode = vk::kLeft, .shift = 0},
      {.text = u"e\u0301x", .caret = 2, .keyCode = vk::kBack, .shift = 0},
      {.text = u"\U0001F600ab\r\nabcd", .caret = 7, .keyCode = vk::kUp, .shift = 0},
  };
  for (const WordKeyCase& c : cases) {
    SCOPED_TRACE(::testing::Message() << "caret " << c.caret << " key " << c.keyCode);
    EXPECT_EQ(onQt(c), onHeadless(c));
  }
}

}  // namespace
}  // namespace tavi
