#include "qt/edit_surface.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QKeyEvent>
#include <QMimeData>
#include <QScrollBar>
#include <QTextBlock>

#include <algorithm>

#include "qt/key_codes.h"
#include "qt/units.h"
#include "search/text_search.h"
#include "shell/keys.h"
#include "shell/runtime_error.h"
#include "shell/widgets/size_check.h"
#include "shell/word_stops.h"
#include "surface/insertion.h"
#include "surface/keyboard_clipboard.h"

namespace tavi::qt {

namespace {

constexpr intptr_t kSbThumbPosition = 4;
constexpr int kLeftMargin = 3;  // pixels between the frame and the text

bool isNavigationKey(int16_t keyCode) {
  return keyCode == vk::kLeft || keyCode == vk::kRight || keyCode == vk::kUp ||
         keyCode == vk::kDown || keyCode == vk::kHome || keyCode == vk::kEnd ||
         keyCode == vk::kPrior || keyCode == vk::kNext;
}

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

}  // namespace

// ---- SurfaceTextEdit ----

SurfaceTextEdit::SurfaceTextEdit(QtEditSurface& surface, QWidget* parent)
    : QTextEdit(parent), surface_(surface) {
  setAcceptRichText(false);
  setUndoRedoEnabled(false);
  setLineWrapMode(QTextEdit::NoWrap);
  setTabChangesFocus(false);
  // No document margin, so that lines sit on a grid of whole line heights from the top,
  // as the gutter numbers them; a little room on the left instead.
  document()->setDocumentMargin(0);
  setViewportMargins(kLeftMargin, 0, 0, 0);
}

bool SurfaceTextEdit::event(QEvent* e) {
  // The host's Undo and Redo shortcuts reach the host: the widget has no history.
  if (e->type() == QEvent::ShortcutOverride) {
    auto* key = static_cast<QKeyEvent*>(e);
    if (key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo)) {
      e->ignore();
      return false;
    }
  }
  return QTextEdit::event(e);
}

void SurfaceTextEdit::keyPressEvent(QKeyEvent* e) { surface_.keyPressed(e); }
void SurfaceTextEdit::keyReleaseEvent(QKeyEvent* e) { surface_.keyReleased(e); }
void SurfaceTextEdit::mousePressEvent(QMouseEvent* e) { surface_.mousePressed(e); }
void SurfaceTextEdit::mouseReleaseEvent(QMouseEvent* e) { surface_.mouseReleased(e); }

void SurfaceTextEdit::focusInEvent(QFocusEvent* e) {
  QTextEdit::focusInEvent(e);
  surface_.focusGained(e->reason());
}

void SurfaceTextEdit::focusOutEvent(QFocusEvent* e) {
  QTextEdit::focusOutEvent(e);
  surface_.focusLost(e->reason());
}

void SurfaceTextEdit::resizeEvent(QResizeEvent* e) {
  QTextEdit::resizeEvent(e);
  surface_.fitWholeLines();
}

void SurfaceTextEdit::changeEvent(QEvent* e) {
  QTextEdit::changeEvent(e);
  if (e->type() == QEvent::FontChange) surface_.fitWholeLines();
}

void SurfaceTextEdit::contextMenuEvent(QContextMenuEvent* e) { e->accept(); }

bool SurfaceTextEdit::canInsertFromMimeData(const QMimeData* source) const {
  return source->hasText();
}

void SurfaceTextEdit::insertFromMimeData(const QMimeData* source) {
  if (source->hasText()) surface_.pasteInput(toText(source->text()));
}

// ---- QtEditSurface ----

QtEditSurface::QtEditSurface(QtServices& services, QWidget* parent)
    : services_(services),
      edit_(new SurfaceTextEdit(*this, parent)),
      map_(*edit_->document()),
      hwnd_(services.windows.createWindow()) {
  plain_.setForeground(QColor(0, 0, 0));
  plain_.setFontWeight(QFont::Normal);
  QPalette palette = edit_->palette();
  palette.setColor(QPalette::Base, Qt::white);
  palette.setColor(QPalette::Text, Qt::black);
  edit_->setPalette(palette);
  QObject::connect(edit_->document(), &QTextDocument::contentsChange, edit_,
                   [this](int, int, int) { documentChanged(); });
  QObject::connect(edit_->verticalScrollBar(), &QScrollBar::valueChanged, edit_,
                   [this](int value) { scrolled(value); });
}

// The widget belongs to its parent and may be gone already.
QtEditSurface::~QtEditSurface() { services_.windows.destroyWindow(hwnd_); }

Text QtEditSurface::text() const {
  if (!text_) text_ = map_.text();
  return *text_;
}

int32_t QtEditSurface::selStart() const {
  const QTextCursor c = edit_->textCursor();
  if (selection_ && c.selectionStart() == selection_->from && c.selectionEnd() == selection_->to)
    return selection_->start;
  return map_.toOffset(c.selectionStart());
}

int32_t QtEditSurface::selLength() const {
  const QTextCursor c = edit_->textCursor();
  if (selection_ && c.selectionStart() == selection_->from && c.selectionEnd() == selection_->to)
    return selection_->length;
  return map_.toOffset(c.selectionEnd()) - map_.toOffset(c.selectionStart());
}

void QtEditSurface::setSelStart(int32_t start) { select(std::clamp(start, 0, textLength()), 0); }

void QtEditSurface::setSelLength(int32_t length) {
  const int32_t start = selStart();
  select(start, std::clamp(length, 0, textLength() - start));
}

void QtEditSurface::select(int32_t start, int32_t length) {
  int from = 0;
  int to = 0;
  map_.toRange(start, length, from, to);
  QTextCursor c(edit_->document());
  c.setPosition(from);
  c.setPosition(to, QTextCursor::KeepAnchor);
  edit_->setTextCursor(c);
  selection_ = Remembered{start, length, from, to};
}

Text QtEditSurface::selText() const {
  const int32_t start = selStart();
  return text().substr(static_cast<size_t>(start), static_cast<size_t>(selLength()));
}

TextView QtEditSurface::fitting(TextView insert) const {
  return fittingInsert(insert, maxLength_, textLength(), selLength());
}

void QtEditSurface::replaceSelection(TextView text) {
  replaceRange(selStart(), selLength(), fitting(text));
}

void QtEditSurface::replaceRange(int32_t start, int32_t length, TextView insert) {
  if (length == 0 && insert.empty()) return;
  settleFormats();
  int from = 0;
  int to = 0;
  map_.toRange(start, length, from, to);
  QTextCursor c(edit_->document());
  c.setPosition(from);
  c.setPosition(to, QTextCursor::KeepAnchor);
  ownEdit_ = true;
  // The widget turns CR LF, a lone CR and a lone LF each into one block break.
  if (insert.empty())
    c.removeSelectedText();
  else
    c.insertText(toQString(insert), plain_);
  ownEdit_ = false;
  text_.reset();
  edit_->setTextCursor(c);
  selection_.reset();
  notify([&] { listener_->surfaceChanged(); });
}

void QtEditSurface::documentChanged() {
  if (formatting_) return;
  text_.reset();
  selection_.reset();
  if (ownEdit_) return;
  // An edit by the widget itself: deletion keys, input methods.
  notify([&] { listener_->surfaceChanged(); });
}

void QtEditSurface::applyFormat(const QTextCharFormat& format) {
  int from = 0;
  int to = 0;
  map_.toRange(selStart(), selLength(), from, to);
  pending_.add(from, to, format);
  if (notifying_ == 0) settleFormats();
}

void QtEditSurface::settleFormats() const {
  if (pending_.empty()) return;
  // The document reports the changes as a contents change when their edit block closes.
  formatting_ = true;
  pending_.applyTo(*edit_->document());
  formatting_ = false;
}

void QtEditSurface::setSelColor(int32_t color) {
  QTextCharFormat f;
  f.setForeground(toQColor(color));
  applyFormat(f);
}

void QtEditSurface::setSelBold(bool bold) {
  QTextCharFormat f;
  f.setFontWeight(bold ? QFont::Bold : QFont::Normal);
  applyFormat(f);
}

int32_t QtEditSurface::colorAt(int32_t offset) const {
  settleFormats();
  QTextCursor c(edit_->document());
  c.setPosition(map_.toPosition(offset, BreakSide::kBefore) + 1);
  const QColor q = c.charFormat().foreground().color();
  return q.red() | (q.green() << 8) | (q.blue() << 16);
}

bool QtEditSurface::boldAt(int32_t offset) const {
  settleFormats();
  QTextCursor c(edit_->document());
  c.setPosition(map_.toPosition(offset, BreakSide::kBefore) + 1);
  return c.charFormat().fontWeight() >= QFont::Bold;
}

int32_t QtEditSurface::find(TextView what, int32_t start, int32_t end, int options) {
  const Text all = text();
  const auto len = static_cast<int32_t>(all.size());
  const SearchPattern pattern(what, options);
  const int32_t from = std::clamp(start, 0, len);
  const int32_t to = end < 0 ? len : std::clamp(end, from, len);
  const TextView text(all);
  const int32_t found = pattern.firstIn(
      text.substr(from, to - from), from > 0 ? all[from - 1] : u'\0', to < len ? all[to] : u'\0');
  if (found < 0) return -1;
  select(from + found, pattern.length());
  return from + found;
}

void QtEditSurface::setMousePointer(int16_t pointer) {
  edit_->viewport()->setCursor(pointer == kPointerHourglass ? Qt::WaitCursor : Qt::IBeamCursor);
}

void QtEditSurface::setLocked(bool locked) {
  locked_ = locked;
  edit_->setReadOnly(locked);
  // Read-only still lets the user move the caret and select with the keyboard.
  edit_->setTextInteractionFlags(locked ? Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard
                                        : Qt::TextEditorInteraction);
}

void QtEditSurface::setOleDropMode(int16_t mode) { edit_->setAcceptDrops(mode != 0); }
void QtEditSurface::setVisible(bool visible) { edit_->setVisible(visible); }

void QtEditSurface::setTabStop(bool tabStop) {
  edit_->setFocusPolicy(tabStop ? Qt::StrongFocus : Qt::ClickFocus);
}

void QtEditSurface::setFocus() {
  if (focusAway_) {
    // The control takes the focus back while it hears that Tab took it away.
    focusAway_ = false;
    focusAnnounced_ = true;
    notify([&] { listener_->surfaceGotFocus(); });
    return;
  }
  edit_->setFocus(Qt::OtherFocusReason);
}

void QtEditSurface::refresh() {
  settleFormats();
  edit_->viewport()->update();
}

int32_t QtEditSurface::left() const { return toTwips(edit_, edit_->x()); }
void QtEditSurface::setLeft(int32_t v) { edit_->move(toPixels(edit_, v), edit_->y()); }
int32_t QtEditSurface::top() const { return toTwips(edit_, edit_->y()); }
int32_t QtEditSurface::width() const { return toTwips(edit_, edit_->width()); }

void QtEditSurface::setWidth(int32_t v) {
  edit_->resize(toPixels(edit_, checkedSize(v)), edit_->height());
}

int32_t QtEditSurface::height() const { return toTwips(edit_, edit_->height()); }

void QtEditSurface::setHeight(int32_t v) {
  edit_->resize(edit_->width(), toPixels(edit_, checkedSize(v)));
}

Text QtEditSurface::fontName() const { return toText(edit_->font().family()); }

void QtEditSurface::sendEditMessage(int message) {
  if (message != kWmCut && message != kWmCopy) return;
  if (message == kWmCut && locked_) return;
  if (selLength() == 0) return;
  services_.clipboard.setText(selText());
  if (message == kWmCut) replaceRange(selStart(), selLength(), u"");
}

int32_t QtEditSurface::lineCount() const { return edit_->document()->blockCount(); }

// The line at the top row of pixels (a hit on a line's top edge gives the line above).
int32_t QtEditSurface::firstVisibleLine() const {
  settleFormats();
  return edit_->cursorForPosition(QPoint(0, 1)).blockNumber();
}

int32_t QtEditSurface::lineFromChar(int32_t offset) const {
  if (offset < 0) offset = selStart();
  if (offset >= textLength()) return lineCount() - 1;
  return map_.lineOf(offset);
}

PixelPoint QtEditSurface::caretPosition() const {
  settleFormats();
  QTextCursor c = edit_->textCursor();
  c.setPosition(c.selectionStart());
  const QRect r = edit_->cursorRect(c);
  return {r.left(), r.top()};
}

int QtEditSurface::lineSpacing() const {
  const QTextDocument* doc = edit_->document();
  return qRound(doc->documentLayout()->blockBoundingRect(doc->firstBlock()).height());
}

void QtEditSurface::fitWholeLines() {
  const int spacing = lineSpacing();
  if (spacing <= 0) return;
  // The rest below the last whole line stays outside the text area, blank.
  const int rest = edit_->contentsRect().height() % spacing;
  if (edit_->viewportMargins().bottom() != rest) edit_->setViewportMargins(kLeftMargin, 0, 0, rest);
}

int32_t QtEditSurface::clientWidth() const { return edit_->viewport()->width(); }
int32_t QtEditSurface::clientHeight() const { return edit_->viewport()->height(); }

// ---- Input ----

bool QtEditSurface::holdsKeyboard() const {
  if (focusAway_) return false;
  return edit_->hasFocus() || QApplication::focusWidget() == nullptr;
}

void QtEditSurface::keyPressed(QKeyEvent* e) {
  const QString typed = e->text();
  const bool typesText = !typed.isEmpty() && typed.at(0).isPrint();
  int16_t keyCode = virtualKeyOf(e->key(), e->modifiers(), typesText);
  int16_t shift = shiftMaskOf(e->modifiers(), keyCode, true);
  if (keyCode != 0) {
    services_.screen.pressKey(keyCode);
    keysDown_.insert(keyCode);
    int16_t k = keyCode;
    int16_t s = shift;
    notify([&] { listener_->surfaceKeyDown(k, s); });
    if (k == 0) return;  // swallowed
  }
  // The key's action belongs to whoever holds the focus after KeyDown.
  if (holdsKeyboard()) keyAction(e, keyCode, shift);
}

void QtEditSurface::keyReleased(QKeyEvent* e) {
  // Held keys repeat their KeyDown only; KeyUp comes once, when the key goes up.
  if (e->isAutoRepeat()) return;
  int16_t keyCode = virtualKeyOf(e->key(), e->modifiers(), !e->text().isEmpty());
  int16_t shift = shiftMaskOf(e->modifiers(), keyCode, false);
  if (keyCode == 0) return;
  services_.screen.releaseKey(keyCode);
  // A key that went down elsewhere (in the keyword list) raises no KeyUp here.
  if (keysDown_.erase(keyCode) == 0) return;
  if (holdsKeyboard()) notify([&] { listener_->surfaceKeyUp(keyCode, shift); });
}

void QtEditSurface::keyAction(QKeyEvent* e, int16_t keyCode, int16_t shift) {
  const bool ctrl = (shift & kCtrlMask) != 0;
  const bool alt = (shift & kAltMask) != 0;
  switch (keyCode) {
    case vk::kTab:
      tabAway();
      return;
    case vk::kReturn:
      // Shift+Enter too is a line break: the widget's own would be a line separator.
      if (!alt) typeInput(u"\r\n");
      return;
    case vk::kDelete:
      if (shift == kShiftMask) return cutByKey();
      break;
    case vk::kInsert:
      if (shift == kCtrlMask) copyByKey();
      if (shift == kShiftMask) pasteByKey();
      return;
    default:
      break;
  }
  const bool wordKeyCode = keyCode == vk::kLeft || keyCode == vk::kRight || keyCode == vk::kBack ||
                           keyCode == vk::kDelete;
  if (ctrl && !alt && wordKeyCode) return wordKey(keyCode, (shift & kShiftMask) != 0);
  if (isNavigationKey(keyCode) || keyCode == vk::kBack || keyCode == vk::kDelete) {
    edit_->QTextEdit::keyPressEvent(e);
    return;
  }
  if (shift == kCtrlMask) {
    if (keyCode == vk::kX) return cutByKey();
    if (keyCode == vk::kC) return copyByKey();
    if (keyCode == vk::kV) return pasteByKey();
    if (e->matches(QKeySequence::SelectAll)) edit_->QTextEdit::keyPressEvent(e);
    return;
  }
  if (ctrl || alt) return;
  const QString typed = e->text();
  if (!typed.isEmpty() && typed.at(0).isPrint()) typeInput(toText(typed));
}

void QtEditSurface::wordKey(int16_t keyCode, bool extend) {
  const QTextCursor c = edit_->textCursor();
  const int32_t active = map_.toOffset(c.position());
  const Text t = text();
  const bool forward = keyCode == vk::kRight || keyCode == vk::kDelete;
  const int32_t stop = forward ? nextWordStop(t, static_cast<int32_t>(t.size()), active)
                               : previousWordStop(t, active);
  if (keyCode == vk::kBack || keyCode == vk::kDelete) {
    if (locked_) return;
    // With a selection only the selection goes, as Backspace and Delete do.
    if (c.hasSelection()) return replaceRange(selStart(), selLength(), u"");
    return replaceRange(std::min(active, stop), std::max(active, stop) - std::min(active, stop),
                        u"");
  }
  // From the active end of a selection; Shift keeps its anchor.
  const int to = map_.toPosition(stop, forward ? BreakSide::kAfter : BreakSide::kBefore);
  QTextCursor moved(edit_->document());
  moved.setPosition(extend ? c.anchor() : to);
  moved.setPosition(to, QTextCursor::KeepAnchor);
  edit_->setTextCursor(moved);
  selection_.reset();
}

void QtEditSurface::typeInput(TextView chars) {
  if (locked_) return;
  if (!typedFits(chars.size(), maxLength_, textLength(), selLength())) return;
  replaceRange(selStart(), selLength(), chars);
}

void QtEditSurface::pasteInput(TextView text) {
  if (locked_) return;
  const Text normal = withCrLfBreaks(text);
  replaceRange(selStart(), selLength(), fitting(normal));
}

void QtEditSurface::tabAway() {
  focusAway_ = true;
  if (focusAnnounced_) {
    focusAnnounced_ = false;
    notify([&] { listener_->surfaceLostFocus(); });
  }
  if (!focusAway_) return;  // taken back
  focusAway_ = false;
  // On to the next tab stop of the window.
  for (QWidget* w = edit_->nextInFocusChain(); w != nullptr && w != edit_;
       w = w->nextInFocusChain()) {
    if (w->isVisible() && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus) != 0) {
      w->setFocus(Qt::TabFocusReason);
      return;
    }
  }
}

void QtEditSurface::cutByKey() {
  byKey([this] { cutSelection(*this, locked_, services_.clipboard); });
}
void QtEditSurface::copyByKey() {
  byKey([this] { copySelection(*this, services_.clipboard); });
}
void QtEditSurface::pasteByKey() {
  byKey([this] { pasteClipboard(*this, locked_, services_.clipboard); });
}

void QtEditSurface::mousePressed(QMouseEvent* e) { mouseButton(e, true); }

void QtEditSurface::mouseReleased(QMouseEvent* e) { mouseButton(e, false); }

void QtEditSurface::mouseButton(QMouseEvent* e, bool down) {
  const int16_t button = buttonOf(e->button());
  // Only the left button places the caret; the right one opens the control's menu.
  if (e->button() == Qt::LeftButton) {
    if (down)
      edit_->QTextEdit::mousePressEvent(e);
    else
      edit_->QTextEdit::mouseReleaseEvent(e);
  }
  if (button == 0) return;
  const int16_t shift = shiftMaskOf(e->modifiers(), 0, true);
  const int32_t tpp = twipsPerPixel(edit_);
  const float x = static_cast<float>(e->position().x() * tpp);
  const float y = static_cast<float>(e->position().y() * tpp);
  notify([&] {
    if (down)
      listener_->surfaceMouseDown(button, shift, x, y);
    else
      listener_->surfaceMouseUp(button, shift, x, y);
  });
}

void QtEditSurface::focusGained(Qt::FocusReason reason) {
  // A popup menu closing gives the focus back without the surface ever losing it.
  if (reason == Qt::PopupFocusReason || focusAnnounced_) return;
  focusAway_ = false;
  focusAnnounced_ = true;
  notify([&] { listener_->surfaceGotFocus(); });
}

void QtEditSurface::focusLost(Qt::FocusReason reason) {
  // Popups and other windows taking the keyboard leave the focus inside the host's form.
  if (reason == Qt::PopupFocusReason || reason == Qt::ActiveWindowFocusReason) return;
  if (!focusAnnounced_) return;
  focusAnnounced_ = false;
  notify([&] { listener_->surfaceLostFocus(); });
}

void QtEditSurface::scrolled(int value) {
  if (snapping_) return;
  // The widget scrolls by pixels; the gutter numbers whole lines from the top, so the
  // view rests on the top of a line (the end of the range excepted).
  QScrollBar* bar = edit_->verticalScrollBar();
  const QTextBlock block = edit_->document()->findBlockByNumber(firstVisibleLine());
  const int top =
      static_cast<int>(edit_->document()->documentLayout()->blockBoundingRect(block).top() + 0.5);
  if (top != value && value < bar->maximum()) {
    snapping_ = true;
    bar->setValue(top);
    snapping_ = false;
  }
  // The scroll notification goes down the window-procedure chain of the surface.
  const intptr_t position = firstVisibleLine();
  services_.windows.sendMessage(hwnd_, kWmVScroll, (position << 16) | kSbThumbPosition, 0);
}

}  // namespace tavi::qt
