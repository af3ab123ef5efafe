#include "qt/edit_surface.h"

#include <QApplication>
#include <QKeyEvent>
#include <QScrollBar>

#include "qt/key_codes.h"
#include "qt/units.h"
#include "shell/keys.h"
#include "shell/widgets/size_check.h"
#include "surface/keyboard_clipboard.h"

namespace tavi::qt {

namespace {

constexpr intptr_t kSbThumbPosition = 4;

int16_t buttonOf(Qt::MouseButton button) {
  switch (button) {
    case Qt::LeftButton:
      return kLeftButton;
    case Qt::RightButton:
      return kRightButton;
    case Qt::MiddleButton:
      return 4;
    default:
      return 0;
  }
}

// What a key types: its text when every character of it is printable (a character outside
// the BMP arrives as a surrogate pair and is one key); control characters type nothing.
Text typedBy(const QKeyEvent* e) {
  const QString text = e->text();
  for (qsizetype i = 0; i < text.size(); ++i) {
    char32_t c = text[i].unicode();
    if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
      c = QChar::surrogateToUcs4(text[i], text[i + 1]);
      ++i;
    }
    if (QChar::isSurrogate(c) || !QChar::isPrint(c)) return {};
  }
  return toText(text);
}

}  // namespace

QtEditSurface::QtEditSurface(QtServices& services, QWidget* parent)
    : services_(services),
      view_(new SurfaceView(model_, *this, parent)),
      hwnd_(services.windows.createWindow()) {
  QPalette palette = view_->palette();
  palette.setColor(QPalette::Base, Qt::white);
  palette.setColor(QPalette::Text, Qt::black);
  view_->setPalette(palette);
  // The scroll notification goes down the window-procedure chain of the surface.
  QObject::connect(view_->verticalScrollBar(), &QScrollBar::valueChanged, view_, [this](int value) {
    services_.windows.sendMessage(hwnd_, kWmVScroll, (intptr_t{value} << 16) | kSbThumbPosition, 0);
  });
}

// The widget belongs to its parent and may be gone already; one still there goes with the
// model it draws.
QtEditSurface::~QtEditSurface() {
  delete view_.data();
  services_.windows.destroyWindow(hwnd_);
}

void QtEditSurface::setSelColor(int32_t color) {
  model_.setSelColor(color);
  view_->refresh();
}

void QtEditSurface::setSelBold(bool bold) {
  model_.setSelBold(bold);
  view_->refresh();
}

void QtEditSurface::applyStyleRuns(std::span<const StyleRun> runs) {
  model_.applyStyleRuns(runs);
  view_->refresh();
}

void QtEditSurface::setHideSelection(bool hide) {
  hideSelection_ = hide;
  view_->setHideSelection(hide);
}

FormatRun QtEditSurface::formatAt(int32_t offset) const {
  const std::vector<FormatRun> runs = model_.formats(offset, 1);
  return runs.empty() ? FormatRun{} : runs.front();
}

int32_t QtEditSurface::colorAt(int32_t offset) const { return formatAt(offset).color; }
bool QtEditSurface::boldAt(int32_t offset) const { return formatAt(offset).bold; }

void QtEditSurface::setMousePointer(int16_t pointer) {
  view_->viewport()->setCursor(pointer == kPointerHourglass ? Qt::WaitCursor : Qt::IBeamCursor);
}

void QtEditSurface::setOleDropMode(int16_t mode) {
  view_->setAcceptDrops(mode != 0);
  view_->viewport()->setAcceptDrops(mode != 0);
}

void QtEditSurface::setVisible(bool visible) { view_->setVisible(visible); }

void QtEditSurface::setTabStop(bool tabStop) {
  view_->setFocusPolicy(tabStop ? Qt::StrongFocus : Qt::ClickFocus);
}

void QtEditSurface::setFocus() {
  if (focusAway_) {
    // The control takes the focus back while it hears that Tab took it away.
    focusAway_ = false;
    focusAnnounced_ = true;
    if (listener_ != nullptr) listener_->surfaceGotFocus();
    return;
  }
  view_->setFocus(Qt::OtherFocusReason);
}

void QtEditSurface::refresh() { view_->refresh(); }

int32_t QtEditSurface::left() const { return toTwips(view_, view_->x()); }
void QtEditSurface::setLeft(int32_t v) { view_->move(toPixels(view_, v), view_->y()); }
int32_t QtEditSurface::top() const { return toTwips(view_, view_->y()); }
int32_t QtEditSurface::width() const { return toTwips(view_, view_->width()); }

void QtEditSurface::setWidth(int32_t v) {
  view_->resize(toPixels(view_, checkedSize(v)), view_->height());
}

int32_t QtEditSurface::height() const { return toTwips(view_, view_->height()); }

void QtEditSurface::setHeight(int32_t v) {
  view_->resize(view_->width(), toPixels(view_, checkedSize(v)));
}

Text QtEditSurface::fontName() const { return toText(view_->font().family()); }

void QtEditSurface::sendEditMessage(int message) {
  if (message == kWmCut) cutSelection(model_, model_.locked(), services_.clipboard);
  if (message == kWmCopy) copySelection(model_, services_.clipboard);
}

PixelPoint QtEditSurface::caretPosition() const {
  const QPoint at = view_->pointOf(model_.selStart());
  return {at.x(), at.y()};
}

int32_t QtEditSurface::clientWidth() const { return view_->viewport()->width(); }
int32_t QtEditSurface::clientHeight() const { return view_->viewport()->height(); }

// ---- The model's view ----

void QtEditSurface::textChanged() {
  view_->textChanged();
  if (listener_ != nullptr) listener_->surfaceChanged();
}

void QtEditSurface::tabOut() {
  focusAway_ = true;
  if (focusAnnounced_) {
    focusAnnounced_ = false;
    if (listener_ != nullptr) listener_->surfaceLostFocus();
  }
  if (!focusAway_) return;  // taken back
  focusAway_ = false;
  // On to the next tab stop of the window.
  for (QWidget* w = view_->nextInFocusChain(); w != nullptr && w != view_;
       w = w->nextInFocusChain()) {
    if (w->isVisible() && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus) != 0) {
      w->setFocus(Qt::TabFocusReason);
      return;
    }
  }
}

// ---- Input ----

bool QtEditSurface::holdsKeyboard() const {
  if (focusAway_) return false;
  return view_->hasFocus() || QApplication::focusWidget() == nullptr;
}

void QtEditSurface::keyPressed(QKeyEvent* e) {
  const Text typed = typedBy(e);
  const int16_t keyCode = virtualKeyOf(e->key(), e->modifiers(), !typed.empty());
  const int16_t shift = shiftMaskOf(e->modifiers(), keyCode, true);
  if (keyCode != 0) {
    services_.screen.pressKey(keyCode);
    keysDown_.insert(keyCode);
    int16_t k = keyCode;
    int16_t s = shift;
    if (listener_ != nullptr) listener_->surfaceKeyDown(k, s);
    if (k == 0) return;  // swallowed
  }
  // The key's action belongs to whoever holds the focus after KeyDown.
  if (holdsKeyboard()) model_.keyAction(keyCode, shift, TextView(typed), services_.clipboard);
}

void QtEditSurface::keyReleased(QKeyEvent* e) {
  // Held keys repeat their KeyDown only; KeyUp comes once, when the key goes up.
  if (e->isAutoRepeat()) return;
  int16_t keyCode = virtualKeyOf(e->key(), e->modifiers(), !typedBy(e).empty());
  int16_t shift = shiftMaskOf(e->modifiers(), keyCode, false);
  if (keyCode == 0) return;
  services_.screen.releaseKey(keyCode);
  // A key that went down elsewhere (in the keyword list) raises no KeyUp here.
  if (keysDown_.erase(keyCode) == 0) return;
  if (holdsKeyboard() && listener_ != nullptr) listener_->surfaceKeyUp(keyCode, shift);
}

void QtEditSurface::mouseButton(QMouseEvent* e, bool down) {
  const int16_t button = buttonOf(e->button());
  if (button == 0 || listener_ == nullptr) return;
  const int16_t shift = shiftMaskOf(e->modifiers(), 0, true);
  const int32_t tpp = twipsPerPixel(view_);
  const auto x = static_cast<float>(e->position().x() * tpp);
  const auto y = static_cast<float>(e->position().y() * tpp);
  if (down)
    listener_->surfaceMouseDown(button, shift, x, y);
  else
    listener_->surfaceMouseUp(button, shift, x, y);
}

void QtEditSurface::focusGained(Qt::FocusReason reason) {
  // A popup menu closing gives the focus back without the surface ever losing it.
  if (reason == Qt::PopupFocusReason || focusAnnounced_) return;
  focusAway_ = false;
  focusAnnounced_ = true;
  if (listener_ != nullptr) listener_->surfaceGotFocus();
}

void QtEditSurface::focusLost(Qt::FocusReason reason) {
  // Popups and other windows taking the keyboard leave the focus inside the host's form.
  if (reason == Qt::PopupFocusReason || reason == Qt::ActiveWindowFocusReason) return;
  if (!focusAnnounced_) return;
  focusAnnounced_ = false;
  if (listener_ != nullptr) listener_->surfaceLostFocus();
}

}  // namespace tavi::qt
