#include "qt/services.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPalette>
#include <QPushButton>

#include "qt/units.h"
#include "shell/keys.h"
#include "shell/runtime_error.h"
#include "shell/widgets/edit_surface.h"
#include "surface/insertion.h"

namespace tavi::qt {

namespace {

int32_t toColorRef(const QColor& c) { return c.red() | (c.green() << 8) | (c.blue() << 16); }

QString withLf(TextView text) { return toQString(withLfBreaks(text)); }

}  // namespace

QtScreen::~QtScreen() {
  if (overridden_ && qGuiApp != nullptr) QGuiApplication::restoreOverrideCursor();
}

void QtScreen::setMousePointer(int16_t pointer) {
  pointer_ = pointer;
  const bool busy = pointer == kPointerHourglass;
  if (busy == overridden_ || qGuiApp == nullptr) return;
  if (busy)
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
  else
    QGuiApplication::restoreOverrideCursor();
  overridden_ = busy;
}

void QtScreen::pressKey(int virtualKey) {
  if (virtualKey == vk::kCapital && down_.count(virtualKey) == 0) capsLock_ = !capsLock_;
  down_.insert(virtualKey);
}

int16_t QtScreen::keyState(int virtualKey) const {
  bool down = down_.count(virtualKey) != 0;
  // Modifiers may have gone down while another window had the keyboard.
  if (qGuiApp != nullptr) {
    const Qt::KeyboardModifiers held = QGuiApplication::queryKeyboardModifiers();
    if (virtualKey == vk::kShift) down = down || held.testFlag(Qt::ShiftModifier);
    if (virtualKey == vk::kControl) down = down || held.testFlag(Qt::ControlModifier);
    if (virtualKey == vk::kMenu) down = down || held.testFlag(Qt::AltModifier);
  }
  int state = down ? 0x8000 : 0;
  if (virtualKey == vk::kCapital && capsLock_) state |= 1;
  return static_cast<int16_t>(static_cast<uint16_t>(state));
}

std::optional<int32_t> QtScreen::systemColor(int index) const {
  const QPalette palette = QGuiApplication::palette();
  QPalette::ColorGroup group = QPalette::Active;
  QPalette::ColorRole role;
  switch (index) {
    case 4:   // menu
    case 15:  // button face
    case 30:  // menu bar
      role = QPalette::Button;
      break;
    case 5:  // window
      role = QPalette::Base;
      break;
    case 7:  // menu text
    case 8:  // window text
      role = QPalette::WindowText;
      break;
    case 13:  // highlight
    case 29:
      role = QPalette::Highlight;
      break;
    case 14:
      role = QPalette::HighlightedText;
      break;
    case 16:  // button shadow
      role = QPalette::Dark;
      break;
    case 17:  // grey text
      group = QPalette::Disabled;
      role = QPalette::WindowText;
      break;
    case 18:  // button text
      role = QPalette::ButtonText;
      break;
    case 20:  // button highlight
      role = QPalette::Light;
      break;
    case 21:  // 3D dark shadow
      role = QPalette::Shadow;
      break;
    case 22:  // 3D light
      role = QPalette::Midlight;
      break;
    case 23:
      role = QPalette::ToolTipText;
      break;
    case 24:
      role = QPalette::ToolTipBase;
      break;
    default:
      return std::nullopt;
  }
  return toColorRef(palette.color(group, role));
}

void QtClipboard::open() const {
  if (locked_) throw RuntimeError(err::kCantOpenClipboard);
}

std::optional<Text> QtClipboard::text() {
  open();
  const QString s = QGuiApplication::clipboard()->text();
  if (s.isNull()) return std::nullopt;
  return withCrLfBreaks(toText(s));
}

void QtClipboard::setText(TextView text) {
  open();
  QGuiApplication::clipboard()->setText(withLf(text));
}

void QtClipboard::clear() {
  open();
  QGuiApplication::clipboard()->clear();
}

int QtMessageBoxes::show(TextView text, int32_t style, TextView title) {
  if (answerer_) return answerer_(text, style, title);
  enum { kOk = 1, kCancel, kAbort, kRetry, kIgnore, kYes, kNo };
  QMessageBox box;
  box.setWindowTitle(toQString(title));
  box.setText(toQString(text));
  switch (style & 0xF0) {
    case 16:
      box.setIcon(QMessageBox::Critical);
      break;
    case 32:
      box.setIcon(QMessageBox::Question);
      break;
    case 48:
      box.setIcon(QMessageBox::Warning);
      break;
    case 64:
      box.setIcon(QMessageBox::Information);
      break;
    default:
      break;
  }
  std::map<QAbstractButton*, int> ids;
  const auto add = [&](QMessageBox::StandardButton button, int id) {
    ids[box.addButton(button)] = id;
  };
  switch (style & 0xF) {
    case 1:
      add(QMessageBox::Ok, kOk);
      add(QMessageBox::Cancel, kCancel);
      break;
    case 2:
      add(QMessageBox::Abort, kAbort);
      add(QMessageBox::Retry, kRetry);
      add(QMessageBox::Ignore, kIgnore);
      break;
    case 3:
      add(QMessageBox::Yes, kYes);
      add(QMessageBox::No, kNo);
      add(QMessageBox::Cancel, kCancel);
      break;
    case 4:
      add(QMessageBox::Yes, kYes);
      add(QMessageBox::No, kNo);
      break;
    case 5:
      add(QMessageBox::Retry, kRetry);
      add(QMessageBox::Cancel, kCancel);
      break;
    default:
      add(QMessageBox::Ok, kOk);
      break;
  }
  box.exec();
  const auto it = ids.find(box.clickedButton());
  return it != ids.end() ? it->second : kCancel;
}

QtServices& QtServices::forThisThread() {
  thread_local QtServices services;
  return services;
}

}  // namespace tavi::qt
