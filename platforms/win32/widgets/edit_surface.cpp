#include "win32/widgets/edit_surface.h"

#include <richedit.h>
#include <windowsx.h>

#include <algorithm>
#include <string>

#include "shell/keys.h"
#include "shell/runtime_error.h"
#include "shell/widgets/size_check.h"
#include "shell/word_stops.h"
#include "surface/caret_moves.h"
#include "surface/editing_keys.h"
#include "surface/insertion.h"
#include "surface/keyboard_clipboard.h"
#include "win32/widgets/rich_text.h"
#include "win32/widgets/units.h"

namespace tavi::win32 {

namespace {

constexpr wchar_t kSurfaceProperty[] = L"TaviColorText.Surface";
// EM_EXLIMITTEXT takes 0 as its 64K default, not as "no limit".
constexpr LPARAM kNoLimit = 0x7FFFFFFE;

bool sameRange(const CHARRANGE& a, const CHARRANGE& b) {
  return a.cpMin == b.cpMin && a.cpMax == b.cpMax;
}

// The editor's text as the caret keys read it (caret_moves.h): its units from one copy of
// the text, taken per key, and its lines from RichEdit.
class RichEditLines {
 public:
  explicit RichEditLines(HWND hwnd) : hwnd_(hwnd), text_(richText(hwnd)) {}
  int32_t textLength() const { return static_cast<int32_t>(text_.size()); }
  char16_t at(int32_t offset) const { return text_[static_cast<size_t>(offset)]; }
  int32_t lineCount() const {
    return static_cast<int32_t>(SendMessageW(hwnd_, EM_GETLINECOUNT, 0, 0));
  }
  int32_t lineFromChar(int32_t offset) const {
    return static_cast<int32_t>(SendMessageW(hwnd_, EM_EXLINEFROMCHAR, 0, offset));
  }
  int32_t lineStart(int32_t line) const {
    return static_cast<int32_t>(SendMessageW(hwnd_, EM_LINEINDEX, line, 0));
  }
  // Before the CR LF that ends the line; the last line ends with the text.
  int32_t lineEnd(int32_t line) const {
    return line + 1 < lineCount() ? lineStart(line + 1) - 2 : textLength();
  }

 private:
  HWND hwnd_;
  Text text_;
};

// Modifier mask of a key message: 1 Shift, 2 Ctrl, 4 Alt.
int16_t shiftMask(UINT message, LPARAM lParam) {
  int16_t mask = 0;
  if (GetKeyState(VK_SHIFT) < 0) mask |= kShiftMask;
  if (GetKeyState(VK_CONTROL) < 0) mask |= kCtrlMask;
  const bool altContext =
      (message == WM_SYSKEYDOWN || message == WM_SYSKEYUP) && (lParam & (1 << 29)) != 0;
  if (GetKeyState(VK_MENU) < 0 || altContext) mask |= kAltMask;
  return mask;
}

}  // namespace

// Edits and format changes of our own: RichEdit's EN_CHANGE for them is not passed on.
class Win32EditSurface::Quiet {
 public:
  explicit Quiet(Win32EditSurface& s) : s_(s) { ++s_.quiet_; }
  ~Quiet() { --s_.quiet_; }
  Quiet(const Quiet&) = delete;
  Quiet& operator=(const Quiet&) = delete;

 private:
  Win32EditSurface& s_;
};

Win32EditSurface::Win32EditSurface(Win32Services& services, HWND parent, int id, HFONT font)
    : services_(services) {
  LoadLibraryW(L"riched32.dll");
  // No word wrap, so that a line of the editor is a line of the text; WS_CLIPCHILDREN keeps
  // the editor from painting over the list and the hint that float on it.
  hwnd_ = CreateWindowExW(0, L"RICHEDIT", L"",
                          WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | WS_HSCROLL |
                              WS_CLIPCHILDREN | ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL,
                          0, 0, 0, 0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                          moduleInstance(), nullptr);
  if (hwnd_ == nullptr) throw RuntimeError(err::kInvalidCall, "The RichEdit control is missing");
  SetPropW(hwnd_, kSurfaceProperty, this);
  original_ = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&surfaceProc)));
  SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  SendMessageW(hwnd_, EM_SETTARGETDEVICE, 0, 1);
  SendMessageW(hwnd_, EM_SETEVENTMASK, 0, ENM_CHANGE);
  SendMessageW(hwnd_, EM_EXLIMITTEXT, 0, kNoLimit);
}

Win32EditSurface::~Win32EditSurface() {
  if (hwnd_ != nullptr) DestroyWindow(hwnd_);
}

Win32EditSurface* Win32EditSurface::fromWindow(HWND hwnd) {
  return static_cast<Win32EditSurface*>(GetPropW(hwnd, kSurfaceProperty));
}

WNDPROC Win32EditSurface::subclassProcedure() { return &surfaceProc; }

LRESULT CALLBACK Win32EditSurface::surfaceProc(HWND hwnd, UINT message, WPARAM wParam,
                                               LPARAM lParam) {
  Win32EditSurface* surface = fromWindow(hwnd);
  if (surface == nullptr) return DefWindowProcW(hwnd, message, wParam, lParam);
  const OwnerHeld held(surface->owner_);
  return surface->handle(message, wParam, lParam);
}

LRESULT Win32EditSurface::original(UINT message, WPARAM wParam, LPARAM lParam) {
  return CallWindowProcW(original_, hwnd_, message, wParam, lParam);
}

LRESULT Win32EditSurface::handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      return keyDown(message, wParam, lParam);
    case WM_KEYUP:
    case WM_SYSKEYUP:
      return keyUp(message, wParam, lParam);
    case WM_CHAR:
      character(static_cast<wchar_t>(wParam));
      return 0;
    case WM_UNICHAR:
      if (wParam == UNICODE_NOCHAR) return TRUE;
      if (wParam <= 0xFFFF) {
        character(static_cast<wchar_t>(wParam));
      } else {
        const auto cp = static_cast<uint32_t>(wParam - 0x10000);
        character(static_cast<wchar_t>(0xD800 + (cp >> 10)));
        character(static_cast<wchar_t>(0xDC00 + (cp & 0x3FF)));
      }
      return FALSE;
    case WM_IME_STARTCOMPOSITION:
      composing_ = true;
      composed_.clear();
      return DefWindowProcW(hwnd_, message, wParam, lParam);
    case WM_IME_COMPOSITION:
      // Not RichEdit's own insertion (its format, past the limit): the default procedure
      // sends the result as WM_IME_CHAR units.
      return DefWindowProcW(hwnd_, message, wParam, lParam);
    case WM_IME_CHAR:
      imeCharacter(static_cast<wchar_t>(wParam));
      return 0;
    case WM_IME_ENDCOMPOSITION: {
      composing_ = false;
      const Text text = std::move(composed_);
      composed_.clear();
      composeInput(text);
      return DefWindowProcW(hwnd_, message, wParam, lParam);
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_LBUTTONUP:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP: {
      // Only the left button acts in RichEdit; the right one belongs to the control's menu.
      const bool right = message == WM_RBUTTONDOWN || message == WM_RBUTTONUP;
      const LRESULT result = right ? 0 : original(message, wParam, lParam);
      mouse(message, wParam, lParam);
      return result;
    }
    case WM_CONTEXTMENU:
      return 0;
    case WM_SETFOCUS: {
      const LRESULT result = original(message, wParam, lParam);
      keysDown_.clear();
      focusGained();
      return result;
    }
    case WM_KILLFOCUS: {
      const LRESULT result = original(message, wParam, lParam);
      focusLost();
      return result;
    }
    case WM_CUT:
    case WM_COPY:
    case WM_PASTE:
    case WM_CLEAR:
      // The surface's own clipboard commands: plain text, within the maximum length.
      try {
        clipboardError_ = 0;
        if (message == WM_CUT) cutSelection();
        if (message == WM_COPY) copySelection();
        if (message == WM_PASTE) pasteClipboard();
        if (message == WM_CLEAR && !locked_) replaceRange(selStart(), selLength(), u"");
      } catch (const RuntimeError& e) {
        clipboardError_ = e.number();
      } catch (...) {
        clipboardError_ = err::kCantOpenClipboard;
      }
      return 0;
    case WM_SETCURSOR:
      if (LOWORD(lParam) == HTCLIENT) {
        HCURSOR busy = services_.screen.overrideCursor();
        if (busy == nullptr && mousePointer_ == kPointerHourglass)
          busy = LoadCursorW(nullptr, IDC_WAIT);
        if (busy != nullptr) {
          SetCursor(busy);
          return TRUE;
        }
      }
      return original(message, wParam, lParam);
    case WM_NCDESTROY: {
      const LRESULT result = original(message, wParam, lParam);
      RemovePropW(hwnd_, kSurfaceProperty);
      hwnd_ = nullptr;
      return result;
    }
    default:
      return original(message, wParam, lParam);
  }
}

// ---- Keys ----

LRESULT Win32EditSurface::keyDown(UINT message, WPARAM wParam, LPARAM lParam) {
  const auto keyCode = static_cast<int16_t>(wParam & 0xFFFF);
  const int16_t shift = shiftMask(message, lParam);
  swallowChars_ = false;
  keysDown_.insert(keyCode);
  int16_t k = keyCode;
  int16_t s = shift;
  notify([&] { listener_->surfaceKeyDown(k, s); });
  if (k == 0) {
    // Swallowed: neither RichEdit nor the characters of the key act on it.
    swallowChars_ = true;
    return 0;
  }
  return keyAction(message, wParam, lParam, keyCode, shift);
}

LRESULT Win32EditSurface::keyUp(UINT message, WPARAM wParam, LPARAM lParam) {
  const auto keyCode = static_cast<int16_t>(wParam & 0xFFFF);
  int16_t shift = shiftMask(message, lParam);
  swallowChars_ = false;
  const LRESULT result = original(message, wParam, lParam);
  // A key that went down elsewhere (in the keyword list) raises no KeyUp here.
  if (keysDown_.erase(keyCode) == 0) return result;
  int16_t k = keyCode;
  notify([&] { listener_->surfaceKeyUp(k, shift); });
  return result;
}

LRESULT Win32EditSurface::keyAction(UINT message, WPARAM wParam, LPARAM lParam, int16_t keyCode,
                                    int16_t shift) {
  const auto after = [](auto&& command) {
    try {
      command();
    } catch (...) {
      // A clipboard that cannot be opened: the key does nothing.
    }
    return LRESULT{0};
  };
  const SurfaceKey key = surfaceKeyOf(keyCode, shift);
  switch (key.command) {
    case SurfaceCommand::Move:
      moveCaret(keyCode, key.extend, key.byWord);
      return 0;
    case SurfaceCommand::DeleteBack:
    case SurfaceCommand::DeleteForward:
      deleteKey(key.command == SurfaceCommand::DeleteBack, key.byWord);
      return 0;
    case SurfaceCommand::Cut:
      return after([this] { cutSelection(); });
    case SurfaceCommand::Copy:
      return after([this] { copySelection(); });
    case SurfaceCommand::Paste:
      return after([this] { pasteClipboard(); });
    case SurfaceCommand::SelectAll:
      select(0, textLength());
      SendMessageW(hwnd_, EM_SCROLLCARET, 0, 0);
      return 0;
    case SurfaceCommand::NewLine:
      // The key types the break, whatever character it sends after (CR, LF with Ctrl, none
      // with Ctrl+Shift): those are control characters, which type nothing.
      typeInput(u"\r\n");
      return 0;
    case SurfaceCommand::TabOut:
      tabAway(shift == kShiftMask);
      return 0;
    case SurfaceCommand::Type:
    case SurfaceCommand::None:
      break;
  }
  // Alt+Enter, Escape and F1 never reach RichEdit: in a dialog it would hand Enter and
  // Escape to the dialog (Escape closes it), and F1 would ask the host for help.
  if (keyCode == vk::kReturn || keyCode == vk::kEscape || keyCode == vk::kF1) return 0;
  // Plain text: none of RichEdit's Ctrl shortcuts; no undo of its own (the control keeps
  // the history), no alignment, no line spacing. Ctrl with Alt is AltGr, which types
  // characters.
  if ((shift & kCtrlMask) != 0 && (shift & kAltMask) == 0) return 0;
  return original(message, wParam, lParam);
}

void Win32EditSurface::moveCaret(int16_t keyCode, bool extend, bool byWord) {
  if (!sameRange(actualSelection(), goalLeft_)) goalColumn_ = -1;
  int32_t goalColumn = goalColumn_;
  const int32_t rows = rowsPerPage();
  const CaretKey key{keyCode, extend, byWord};
  const CaretMove move =
      caretMove(RichEditLines(hwnd_), anchorEnd(), activeEnd(), key, rows, goalColumn);
  // The view scrolls first, so that the caret lands where a page key leaves it in view.
  if (move.scrollRows != 0) scrollRows(move.scrollRows, rows);
  select(move.anchor, move.active);
  SendMessageW(hwnd_, EM_SCROLLCARET, 0, 0);
  goalColumn_ = goalColumn;  // after select(), which ends a run of vertical moves
  goalLeft_ = actualSelection();
}

// Backspace and Delete: the selection, or else one unit (Ctrl: to the word stop) before or
// after the caret; nothing while locked.
void Win32EditSurface::deleteKey(bool back, bool byWord) {
  if (locked_) return;
  const int32_t start = selStart();
  const int32_t length = selLength();
  if (length > 0) {
    replaceRange(start, length, u"");
    return;
  }
  const RichEditLines text(hwnd_);
  const UnitsOf<RichEditLines> units{text};
  if (back) {
    const int32_t from = byWord ? previousWordStop(units, start) : previousUnit(text, start);
    replaceRange(from, start - from, u"");
  } else {
    const int32_t to =
        byWord ? nextWordStop(units, text.textLength(), start) : nextUnit(text, start);
    replaceRange(start, to - start, u"");
  }
}

int32_t Win32EditSurface::rowsPerPage() const {
  // A line's height as RichEdit lays it out: the distance between two line starts, or with
  // one line only the font's height (the rows then change nothing: a page key goes to the
  // text's start or end).
  int32_t lineHeight = 0;
  if (lineCount() >= 2) {
    POINTL first{};
    POINTL second{};
    SendMessageW(hwnd_, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&first),
                 SendMessageW(hwnd_, EM_LINEINDEX, 0, 0));
    SendMessageW(hwnd_, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&second),
                 SendMessageW(hwnd_, EM_LINEINDEX, 1, 0));
    lineHeight = static_cast<int32_t>(second.y - first.y);
  }
  if (lineHeight <= 0) return 1;
  return std::max(1, clientHeight() / lineHeight);
}

void Win32EditSurface::scrollRows(int32_t rows, int32_t rowsPerPage) {
  const int32_t first = firstVisibleLine();
  const int32_t top = std::clamp(first + rows, 0, std::max(0, lineCount() - rowsPerPage));
  if (top != first) SendMessageW(hwnd_, EM_LINESCROLL, 0, top - first);
}

void Win32EditSurface::character(wchar_t c) {
  if (swallowChars_) return;
  // Control characters (Enter's CR, Tab, Escape, Ctrl+letter) type nothing; their keys act
  // instead.
  if (c < 0x20 || c == 0x7F) return;
  if (isHighSurrogate(c)) {
    pendingHigh_ = c;
    return;
  }
  if (isLowSurrogate(c)) {
    if (pendingHigh_ != 0) {
      const char16_t pair[] = {static_cast<char16_t>(pendingHigh_), static_cast<char16_t>(c)};
      pendingHigh_ = 0;
      typeInput(TextView(pair, 2));
    }
    return;
  }
  pendingHigh_ = 0;
  const char16_t one = static_cast<char16_t>(c);
  typeInput(TextView(&one, 1));
}

void Win32EditSurface::typeInput(TextView chars) {
  if (locked_) return;
  if (!typedFits(chars.size(), maxLength_, textLength(), selLength())) {
    MessageBeep(MB_OK);
    return;
  }
  replaceRange(selStart(), selLength(), chars);
}

void Win32EditSurface::imeCharacter(wchar_t c) {
  composed_.push_back(static_cast<char16_t>(c));
  if (composing_ || isHighSurrogate(c)) return;  // the pair's second half follows
  const Text text = std::move(composed_);
  composed_.clear();
  composeInput(text);
}

void Win32EditSurface::composeInput(TextView text) {
  if (!locked_) replaceSelection(text);
}

void Win32EditSurface::tabAway(bool backwards) {
  focusAway_ = true;
  if (focusAnnounced_) {
    focusAnnounced_ = false;
    notify([&] { listener_->surfaceLostFocus(); });
  }
  if (!focusAway_) return;  // taken back
  focusAway_ = false;
  HWND next = GetNextDlgTabItem(GetAncestor(hwnd_, GA_ROOT), hwnd_, backwards);
  if (next != nullptr && next != hwnd_) {
    SetFocus(next);  // its WM_KILLFOCUS finds the loss told already
    return;
  }
  // Nowhere to go: the focus stays, and the control hears that it has it.
  focusAnnounced_ = true;
  notify([&] { listener_->surfaceGotFocus(); });
}

// ---- Mouse and focus ----

void Win32EditSurface::mouse(UINT message, WPARAM wParam, LPARAM lParam) {
  int16_t button = 0;
  bool down = false;
  switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      down = true;
      [[fallthrough]];
    case WM_LBUTTONUP:
      button = kLeftButton;
      break;
    case WM_RBUTTONDOWN:
      down = true;
      [[fallthrough]];
    case WM_RBUTTONUP:
      button = kRightButton;
      break;
    case WM_MBUTTONDOWN:
      down = true;
      [[fallthrough]];
    default:
      button = 4;
      break;
  }
  int16_t shift = 0;
  if ((wParam & MK_SHIFT) != 0) shift |= kShiftMask;
  if ((wParam & MK_CONTROL) != 0) shift |= kCtrlMask;
  if (GetKeyState(VK_MENU) < 0) shift |= kAltMask;
  const auto x = static_cast<float>(toTwips(GET_X_LPARAM(lParam)));
  const auto y = static_cast<float>(toTwips(GET_Y_LPARAM(lParam)));
  notify([&] {
    if (down)
      listener_->surfaceMouseDown(button, shift, x, y);
    else
      listener_->surfaceMouseUp(button, shift, x, y);
  });
}

void Win32EditSurface::focusGained() {
  if (focusAnnounced_) return;
  focusAway_ = false;
  focusAnnounced_ = true;
  notify([&] { listener_->surfaceGotFocus(); });
}

void Win32EditSurface::focusLost() {
  if (!focusAnnounced_) return;
  focusAnnounced_ = false;
  notify([&] { listener_->surfaceLostFocus(); });
}

void Win32EditSurface::setFocus() {
  if (focusAway_) {
    // The control takes the focus back while it hears that Tab took it away.
    focusAway_ = false;
    focusAnnounced_ = true;
    notify([&] { listener_->surfaceGotFocus(); });
    return;
  }
  if (GetFocus() != hwnd_) SetFocus(hwnd_);
}

// ---- Clipboard ----

// The clipboard's error reaches the caller: the window message reports it, the keys drop it.
void Win32EditSurface::cutSelection() { tavi::cutSelection(*this, locked_, services_.clipboard); }
void Win32EditSurface::copySelection() { tavi::copySelection(*this, services_.clipboard); }
void Win32EditSurface::pasteClipboard() {
  tavi::pasteClipboard(*this, locked_, services_.clipboard);
}

void Win32EditSurface::sendEditMessage(int message) {
  if (message != kWmCut && message != kWmCopy) return;
  clipboardError_ = 0;
  SendMessageW(hwnd_, static_cast<UINT>(message), 0, 0);
  if (const int error = clipboardError_; error != 0) {
    clipboardError_ = 0;
    throw RuntimeError(error);
  }
}

// ---- Text and selection ----

Text Win32EditSurface::text() const { return richText(hwnd_); }

int32_t Win32EditSurface::textLength() const { return richTextLength(hwnd_); }

CHARRANGE Win32EditSurface::actualSelection() const {
  CHARRANGE range{};
  SendMessageW(hwnd_, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
  return range;
}

bool Win32EditSurface::selectionRemembered() const {
  return selection_ && sameRange(selection_->actual, actualSelection());
}

int32_t Win32EditSurface::selStart() const {
  if (selectionRemembered()) return selection_->start;
  return actualSelection().cpMin;
}

int32_t Win32EditSurface::selLength() const {
  if (selectionRemembered()) return selection_->end - selection_->start;
  const CHARRANGE range = actualSelection();
  return range.cpMax - range.cpMin;
}

int32_t Win32EditSurface::activeEnd() const {
  const bool atStart = selectionRemembered() && selection_->activeAtStart;
  return atStart ? selStart() : selStart() + selLength();
}

int32_t Win32EditSurface::anchorEnd() const {
  const bool atStart = selectionRemembered() && selection_->activeAtStart;
  return atStart ? selStart() + selLength() : selStart();
}

void Win32EditSurface::select(int32_t anchor, int32_t active) {
  Quiet quiet(*this);
  // RichEdit keeps the order: the caret stands at cpMax even when it is the lower end.
  CHARRANGE range{anchor, active};
  SendMessageW(hwnd_, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
  selection_ = Remembered{std::min(anchor, active), std::max(anchor, active), actualSelection(),
                          active < anchor, std::min(anchor, active)};
  goalColumn_ = -1;
}

void Win32EditSurface::setSelStart(int32_t start) {
  const int32_t s = std::clamp(start, 0, textLength());
  const UnitRange caret = wholeUnitRange(RichEditLines(hwnd_), s, s);
  select(caret.start, caret.end);
  selection_->requestedStart = s;
}

// The range begins at the start setSelStart was asked for (while the selection it left
// stays), so that [s, s + n) is widened even when s lies inside a unit.
void Win32EditSurface::setSelLength(int32_t length) {
  const int32_t from = selectionRemembered() ? selection_->requestedStart : selStart();
  const int32_t to = from + std::clamp(length, 0, textLength() - from);
  const UnitRange range = wholeUnitRange(RichEditLines(hwnd_), from, to);
  select(range.start, range.end);
  selection_->requestedStart = from;
}

Text Win32EditSurface::selText() const {
  const int32_t start = selStart();
  const int32_t length = selLength();
  const Text all = text();
  if (start >= static_cast<int32_t>(all.size())) return Text();
  return all.substr(static_cast<size_t>(start), static_cast<size_t>(length));
}

TextView Win32EditSurface::fitting(TextView insert) const {
  return fittingInsert(insert, maxLength_, textLength(), selLength());
}

void Win32EditSurface::replaceSelection(TextView text) {
  // RichEdit 1.0 takes a lone CR or LF for a line break of one character; the surface
  // keeps every line break as CR LF, so that each counts as two.
  const Text normal = withCrLfBreaks(text);
  replaceRange(selStart(), selLength(), fitting(normal));
}

void Win32EditSurface::replaceRange(int32_t start, int32_t length, TextView insert) {
  if (length == 0 && insert.empty()) return;
  {
    // One pass over the inserted text: RichEdit takes it in with the plain format already
    // chosen, and only a text that outgrew the limit has the limit put back.
    Quiet quiet(*this);
    const int32_t before = textLength();
    select(start, start + length);
    // Inserted text is plain whatever the text before it looks like: the format of an empty
    // selection is the one the next insertion takes, and a replaced range's first character
    // gives its format to what replaces it.
    applyFormat(CFM_COLOR | CFM_BOLD, 0, kColorPlain);
    insertRichText(hwnd_, insert);
    const int32_t after = textLength();
    const int32_t inserted = after - (before - length);
    select(start + inserted, start + inserted);
    // RichEdit raises its limit to hold what the program inserts; ours stays.
    if (maxLength_ > 0 && after > maxLength_) SendMessageW(hwnd_, EM_EXLIMITTEXT, 0, maxLength_);
  }
  notify([&] { listener_->surfaceChanged(); });
}

void Win32EditSurface::richEditChanged() {
  if (quiet_ > 0) return;
  selection_.reset();
  goalColumn_ = -1;
  // An edit by RichEdit itself (a drop): every key's edit is the surface's own.
  notify([&] { listener_->surfaceChanged(); });
}

void Win32EditSurface::applyFormat(DWORD mask, DWORD effects, COLORREF color) {
  Quiet quiet(*this);
  CHARFORMATW format{};
  format.cbSize = sizeof format;
  format.dwMask = mask;
  format.dwEffects = effects;  // without CFE_AUTOCOLOR: the colour given counts
  format.crTextColor = color;
  SendMessageW(hwnd_, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
}

void Win32EditSurface::setSelColor(int32_t color) {
  applyFormat(CFM_COLOR, 0, static_cast<COLORREF>(color));
}

void Win32EditSurface::setSelBold(bool bold) { applyFormat(CFM_BOLD, bold ? CFE_BOLD : 0, 0); }

void Win32EditSurface::setHideSelection(bool hide) {
  Quiet quiet(*this);
  hideSelection_ = hide;
  // Hiding the selection means hiding it while the editor is without the focus.
  SendMessageW(hwnd_, EM_SETOPTIONS, hide ? ECOOP_AND : ECOOP_OR,
               hide ? ~static_cast<LPARAM>(ECO_NOHIDESEL) : ECO_NOHIDESEL);
}

int32_t Win32EditSurface::find(TextView what, int32_t start, int32_t end, int options) {
  const auto m = static_cast<int32_t>(what.size());
  if (m == 0) return -1;
  const int32_t length = textLength();
  const int32_t from = std::clamp(start, 0, length);
  const int32_t to = end < 0 ? length : std::clamp(end, from, length);
  if (to - from < m) return -1;
  const bool wholeWord = (options & kFindWholeWord) != 0;
  const WPARAM flags = FR_DOWN | ((options & kFindMatchCase) != 0 ? FR_MATCHCASE : 0);
  const std::wstring pattern = wideString(what);
  // RichEdit's whole-word rule takes "_" for a break; the control's word characters
  // (letters, digits, "_") decide, so each candidate is checked here.
  const Text all = wholeWord ? text() : Text();
  for (int32_t at = from; at + m <= to;) {
    FINDTEXTEXW request{};
    request.chrg = {at, to};
    request.lpstrText = pattern.c_str();
    const auto found = static_cast<int32_t>(
        SendMessageW(hwnd_, EM_FINDTEXTEXW, flags, reinterpret_cast<LPARAM>(&request)));
    if (found < 0 || found + m > to) return -1;
    if (wholeWord && ((found > 0 && isWordChar(all[static_cast<size_t>(found - 1)])) ||
                      (found + m < length && isWordChar(all[static_cast<size_t>(found + m)])))) {
      at = found + 1;
      continue;
    }
    const UnitRange match = wholeUnitRange(RichEditLines(hwnd_), found, found + m);
    select(match.start, match.end);
    return found;
  }
  return -1;
}

void Win32EditSurface::setMaxLength(int32_t maxLength) {
  maxLength_ = maxLength;
  SendMessageW(hwnd_, EM_EXLIMITTEXT, 0, maxLength > 0 ? maxLength : kNoLimit);
}

void Win32EditSurface::setMousePointer(int16_t pointer) {
  mousePointer_ = pointer;
  POINT at{};
  GetCursorPos(&at);
  if (WindowFromPoint(at) == hwnd_)
    SetCursor(LoadCursorW(nullptr, pointer == kPointerHourglass ? IDC_WAIT : IDC_IBEAM));
}

void Win32EditSurface::setLocked(bool locked) {
  locked_ = locked;
  SendMessageW(hwnd_, EM_SETREADONLY, locked ? TRUE : FALSE, 0);
}

void Win32EditSurface::setOleDropMode(int16_t mode) {
  // 0 accepts no drops: RichEdit's drop target, where it has one, goes.
  if (mode == 0) RevokeDragDrop(hwnd_);
}

void Win32EditSurface::setVisible(bool visible) {
  ShowWindow(hwnd_, visible ? SW_SHOWNA : SW_HIDE);
}

void Win32EditSurface::setTabStop(bool tabStop) {
  LONG_PTR style = GetWindowLongPtrW(hwnd_, GWL_STYLE);
  style = tabStop ? (style | WS_TABSTOP) : (style & ~static_cast<LONG_PTR>(WS_TABSTOP));
  SetWindowLongPtrW(hwnd_, GWL_STYLE, style);
}

void Win32EditSurface::refresh() {
  InvalidateRect(hwnd_, nullptr, TRUE);
  UpdateWindow(hwnd_);
}

// ---- Position and size ----

RECT Win32EditSurface::boundsInParent() const {
  RECT r{};
  GetWindowRect(hwnd_, &r);
  MapWindowPoints(HWND_DESKTOP, GetParent(hwnd_), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

int32_t Win32EditSurface::left() const { return toTwips(boundsInParent().left); }
int32_t Win32EditSurface::top() const { return toTwips(boundsInParent().top); }
int32_t Win32EditSurface::width() const {
  const RECT r = boundsInParent();
  return toTwips(r.right - r.left);
}
int32_t Win32EditSurface::height() const {
  const RECT r = boundsInParent();
  return toTwips(r.bottom - r.top);
}

void Win32EditSurface::setLeft(int32_t v) {
  SetWindowPos(hwnd_, nullptr, toPixels(v), boundsInParent().top, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32EditSurface::setWidth(int32_t v) {
  const RECT r = boundsInParent();
  SetWindowPos(hwnd_, nullptr, 0, 0, toPixels(checkedSize(v)), r.bottom - r.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32EditSurface::setHeight(int32_t v) {
  const RECT r = boundsInParent();
  SetWindowPos(hwnd_, nullptr, 0, 0, r.right - r.left, toPixels(checkedSize(v)),
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// ---- Lines and caret ----

int32_t Win32EditSurface::lineCount() const {
  return static_cast<int32_t>(SendMessageW(hwnd_, EM_GETLINECOUNT, 0, 0));
}

int32_t Win32EditSurface::firstVisibleLine() const {
  return static_cast<int32_t>(SendMessageW(hwnd_, EM_GETFIRSTVISIBLELINE, 0, 0));
}

int32_t Win32EditSurface::lineFromChar(int32_t offset) const {
  if (offset < 0) offset = selStart();
  return static_cast<int32_t>(SendMessageW(hwnd_, EM_EXLINEFROMCHAR, 0, offset));
}

PixelPoint Win32EditSurface::caretPosition() const {
  // The caret exists while the editor has the focus; without it, where it would stand.
  POINT caret{};
  if (GetFocus() == hwnd_ && GetCaretPos(&caret)) return {caret.x, caret.y};
  POINTL at{};
  SendMessageW(hwnd_, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&at), selStart());
  return {at.x, at.y};
}

int32_t Win32EditSurface::clientWidth() const {
  RECT r{};
  GetClientRect(hwnd_, &r);
  return r.right;
}

int32_t Win32EditSurface::clientHeight() const {
  RECT r{};
  GetClientRect(hwnd_, &r);
  return r.bottom;
}

}  // namespace tavi::win32
