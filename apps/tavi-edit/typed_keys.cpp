#include "typed_keys.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMouseEvent>

#include <vector>

#include "main_window.h"
#include "qt/surface_view.h"
#include "qt/tavi_color_text_widget.h"

namespace tavi {

namespace {

// A little more than one tick of the control's 1000 ms timer.
constexpr int kSettleMs = 1100;
constexpr int kActivationTimeoutMs = 3000;

struct Stroke {
  int key = 0;
  Qt::KeyboardModifiers modifiers;
  QString text;  // what the key types, empty for keys that type nothing
};

struct NamedKey {
  const char* name;
  int key;
  const char* text;
};

constexpr NamedKey kNamedKeys[] = {
    {"ENTER", Qt::Key_Return, "\r"}, {"TAB", Qt::Key_Tab, "\t"},
    {"ESC", Qt::Key_Escape, "\x1b"}, {"BS", Qt::Key_Backspace, "\b"},
    {"DEL", Qt::Key_Delete, ""},     {"INS", Qt::Key_Insert, ""},
    {"UP", Qt::Key_Up, ""},          {"DOWN", Qt::Key_Down, ""},
    {"LEFT", Qt::Key_Left, ""},      {"RIGHT", Qt::Key_Right, ""},
    {"HOME", Qt::Key_Home, ""},      {"END", Qt::Key_End, ""},
    {"PGUP", Qt::Key_PageUp, ""},    {"PGDN", Qt::Key_PageDown, ""},
    {"SPACE", Qt::Key_Space, " "},
};

// The key a character is typed with, as a keyboard reports it: letters by their capital.
Stroke characterStroke(QChar c) {
  if (c == QLatin1Char('\n')) return {Qt::Key_Return, {}, QStringLiteral("\r")};
  if (c == QLatin1Char('\t')) return {Qt::Key_Tab, {}, QStringLiteral("\t")};
  return {static_cast<int>(c.toUpper().unicode()), {}, QString(c)};
}

// "CTRL+END", "F1", "SHIFT+TAB": the key and the modifiers held; false for an unknown name.
bool namedStroke(const QString& keyName, Stroke& stroke) {
  QStringList parts = keyName.split(QLatin1Char('+'));
  const QString given = parts.takeLast();
  const QString name = given.toUpper();
  for (const QString& modifier : parts) {
    const QString m = modifier.toUpper();
    if (m == QLatin1String("CTRL"))
      stroke.modifiers |= Qt::ControlModifier;
    else if (m == QLatin1String("SHIFT"))
      stroke.modifiers |= Qt::ShiftModifier;
    else if (m == QLatin1String("ALT"))
      stroke.modifiers |= Qt::AltModifier;
    else
      return false;
  }
  // Held Ctrl or Alt, a key types nothing.
  const bool typesText = !stroke.modifiers.testAnyFlags(Qt::ControlModifier | Qt::AltModifier);
  for (const NamedKey& k : kNamedKeys) {
    if (name == QLatin1String(k.name)) {
      stroke.key = k.key;
      if (typesText) stroke.text = QString::fromLatin1(k.text);
      return true;
    }
  }
  if (given.size() == 1) {  // {CTRL+A}, {{}: a character's own key
    stroke.key = name[0].unicode();
    if (typesText) stroke.text = given;
    return true;
  }
  bool ok = false;
  const int f = name.startsWith(QLatin1Char('F')) ? name.mid(1).toInt(&ok) : 0;
  if (!ok || f < 1 || f > 12) return false;
  stroke.key = Qt::Key_F1 + f - 1;
  return true;
}

bool parseKeys(const QString& keys, std::vector<Stroke>& strokes, QString& error) {
  for (qsizetype i = 0; i < keys.size(); ++i) {
    if (keys[i] != QLatin1Char('{')) {
      strokes.push_back(characterStroke(keys[i]));
      continue;
    }
    // "{{}" names the brace itself, so the name ends at the first "}" after it.
    const qsizetype end = keys.indexOf(QLatin1Char('}'), i + 2);
    Stroke stroke;
    if (end < 0 || !namedStroke(keys.mid(i + 1, end - i - 1), stroke)) {
      error = QStringLiteral("unknown key in --type at character %1: %2")
                  .arg(i + 1)
                  .arg(keys.mid(i, end < 0 ? -1 : end - i + 1));
      return false;
    }
    strokes.push_back(stroke);
    i = end;
  }
  return true;
}

// Key events go where a keyboard's go: to the widget with the focus at that moment.
void sendKey(QEvent::Type type, int key, Qt::KeyboardModifiers modifiers, const QString& text,
             QWidget* fallback) {
  QWidget* to = QApplication::focusWidget();
  QKeyEvent event(type, key, modifiers, text);
  QApplication::sendEvent(to != nullptr ? to : fallback, &event);
  QApplication::processEvents();
}

constexpr std::pair<Qt::KeyboardModifier, Qt::Key> kModifierKeys[] = {
    {Qt::ControlModifier, Qt::Key_Control},
    {Qt::ShiftModifier, Qt::Key_Shift},
    {Qt::AltModifier, Qt::Key_Alt},
};

// A stroke as a keyboard delivers it: the modifier keys go down first and come up last.
void strike(const Stroke& s, QWidget* fallback) {
  Qt::KeyboardModifiers held;
  for (const auto& [modifier, key] : kModifierKeys) {
    if (!s.modifiers.testFlag(modifier)) continue;
    held |= modifier;
    sendKey(QEvent::KeyPress, key, held, {}, fallback);
  }
  sendKey(QEvent::KeyPress, s.key, s.modifiers, s.text, fallback);
  sendKey(QEvent::KeyRelease, s.key, s.modifiers, s.text, fallback);
  for (const auto& [modifier, key] : kModifierKeys) {
    if (!s.modifiers.testFlag(modifier)) continue;
    held &= ~modifier;
    sendKey(QEvent::KeyRelease, key, held, {}, fallback);
  }
}

void click(QWidget* widget, QPoint at) {
  widget->setFocus(Qt::MouseFocusReason);
  const QPointF local(at);
  const QPointF global(widget->mapToGlobal(at));
  QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton,
                    Qt::NoModifier);
  QApplication::sendEvent(widget, &press);
  QMouseEvent release(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton,
                      Qt::NoModifier);
  QApplication::sendEvent(widget, &release);
  QApplication::processEvents();
}

// Runs the event loop for `ms` milliseconds or until `done` says so.
template <typename Done>
void runEventsFor(int ms, Done done) {
  QElapsedTimer clock;
  clock.start();
  while (!done() && clock.elapsed() < ms) QApplication::processEvents(QEventLoop::AllEvents, 20);
}

}  // namespace

bool typeIntoEditor(MainWindow& window, const QString& keys, QString& error) {
  std::vector<Stroke> strokes;
  if (!parseKeys(keys, strokes, error)) return false;
  window.show();
  window.activateWindow();
  runEventsFor(kActivationTimeoutMs, [&window] { return window.isActiveWindow(); });
  qt::SurfaceView* editor = window.editor().editor();
  const QPoint caret = editor->pointOf(editor->model().selStart());
  click(editor->viewport(), caret + QPoint(0, editor->lineHeight() / 2));
  for (const Stroke& s : strokes) strike(s, editor);
  runEventsFor(kSettleMs, [] { return false; });
  return true;
}

}  // namespace tavi
