#include "win32/widgets/floating.h"

#include <richedit.h>

#include "shell/runtime_error.h"
#include "win32/widgets/rich_text.h"
#include "win32/widgets/units.h"

namespace tavi::win32 {

namespace {

constexpr wchar_t kFloatingProperty[] = L"TaviColorText.Floating";
constexpr int kListWidth = 200;  // pixels
constexpr int kListHeight = 136;
constexpr int kListRowHeight = 16;

HMENU idMenu(int id) { return reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)); }

int checkedSize(int size) {
  if (size < 0) throw RuntimeError(err::kInvalidPropertyValue);
  return size;
}

}  // namespace

// ---- FloatingWindow ----

FloatingWindow::~FloatingWindow() {
  if (hwnd_ != nullptr && IsWindow(hwnd_)) DestroyWindow(hwnd_);
}

void FloatingWindow::show(bool visible) {
  if (visible)
    SetWindowPos(hwnd_, HWND_TOP, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  else
    ShowWindow(hwnd_, SW_HIDE);
}

RECT FloatingWindow::bounds() const {
  RECT r{};
  GetWindowRect(hwnd_, &r);
  MapWindowPoints(HWND_DESKTOP, GetParent(hwnd_), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

void FloatingWindow::moveTo(int x, int y) {
  SetWindowPos(hwnd_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void FloatingWindow::resizeTo(int width, int height) {
  SetWindowPos(hwnd_, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void FloatingWindow::setTabStop(bool tabStop) {
  LONG_PTR style = GetWindowLongPtrW(hwnd_, GWL_STYLE);
  style = tabStop ? (style | WS_TABSTOP) : (style & ~static_cast<LONG_PTR>(WS_TABSTOP));
  SetWindowLongPtrW(hwnd_, GWL_STYLE, style);
}

// ---- Keyword list ----

Win32ListBox::Win32ListBox(HWND editor, int id, HFONT font) : editor_(editor) {
  // Not LBS_SORT: the list keeps the control's own order.
  hwnd_ = CreateWindowExW(
      0, L"LISTBOX", L"",
      WS_CHILD | WS_BORDER | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | LBS_HASSTRINGS, 0, 0,
      kListWidth, kListHeight, editor, idMenu(id), moduleInstance(), nullptr);
  SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  // Rows of 16 pixels, as the headless list's: the list shows eight whole rows on every
  // platform, so that its Page Up and Page Down (by the rows in view) choose the same entry.
  // After WM_SETFONT, which sets the rows to the font's height.
  SendMessageW(hwnd_, LB_SETITEMHEIGHT, 0, kListRowHeight);
  SetPropW(hwnd_, kFloatingProperty, this);
  original_ = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&listProc)));
}

LRESULT CALLBACK Win32ListBox::listProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* list = static_cast<Win32ListBox*>(GetPropW(hwnd, kFloatingProperty));
  if (list == nullptr) return DefWindowProcW(hwnd, message, wParam, lParam);
  return list->handle(message, wParam, lParam);
}

LRESULT Win32ListBox::handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_GETDLGCODE:
      return CallWindowProcW(original_, hwnd_, message, wParam, lParam) | DLGC_WANTALLKEYS;
    case WM_KEYDOWN:
      if (wParam == VK_RETURN || wParam == VK_ESCAPE) {
        SetFocus(editor_);
        return 0;
      }
      break;
    case WM_CHAR:
      if (wParam == L'\r' || wParam == 27) return 0;
      break;
    case WM_LBUTTONUP: {
      const LRESULT result = CallWindowProcW(original_, hwnd_, message, wParam, lParam);
      // A click on an item chooses it: the focus goes back to the editor.
      const LRESULT hit = SendMessageW(hwnd_, LB_ITEMFROMPOINT, 0, lParam);
      if (HIWORD(hit) == 0) SetFocus(editor_);
      return result;
    }
    case WM_NCDESTROY: {
      const LRESULT result = CallWindowProcW(original_, hwnd_, message, wParam, lParam);
      RemovePropW(hwnd_, kFloatingProperty);
      hwnd_ = nullptr;
      return result;
    }
    default:
      break;
  }
  return CallWindowProcW(original_, hwnd_, message, wParam, lParam);
}

void Win32ListBox::addItem(TextView item) {
  // After every item that does not sort after the new one: equal items keep their order.
  size_t low = 0;
  size_t high = items_.size();
  while (low < high) {
    const size_t mid = (low + high) / 2;
    if (keywordSortsBefore(item, items_[mid]))
      high = mid;
    else
      low = mid + 1;
  }
  const std::wstring text = wideString(item);
  SendMessageW(hwnd_, LB_INSERTSTRING, low, reinterpret_cast<LPARAM>(text.c_str()));
  items_.insert(items_.begin() + static_cast<std::ptrdiff_t>(low), Text(item));
}

Text Win32ListBox::item(int32_t index) const {
  if (index < 0 || index >= listCount()) return Text();
  return items_[static_cast<size_t>(index)];
}

int32_t Win32ListBox::listIndex() const {
  const LRESULT index = SendMessageW(hwnd_, LB_GETCURSEL, 0, 0);
  return index == LB_ERR ? -1 : static_cast<int32_t>(index);
}

void Win32ListBox::setListIndex(int32_t index) {
  if (index < -1 || index >= listCount()) throw RuntimeError(err::kInvalidPropertyValue);
  SendMessageW(hwnd_, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

int32_t Win32ListBox::width() const {
  const RECT r = bounds();
  return r.right - r.left;
}

int32_t Win32ListBox::height() const {
  const RECT r = bounds();
  return r.bottom - r.top;
}

// ---- Parameter hint ----

Win32HintBox::Win32HintBox(HWND editor, int id, HFONT font) {
  hwnd_ = CreateWindowExW(0, L"RICHEDIT", L"", WS_CHILD | WS_BORDER | ES_READONLY, 0, 0, 0, 0,
                          editor, idMenu(id), moduleInstance(), nullptr);
  SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  SendMessageW(hwnd_, EM_SETBKGNDCOLOR, 0, static_cast<LPARAM>(GetSysColor(COLOR_INFOBK)));
  SetPropW(hwnd_, kFloatingProperty, this);
  original_ = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&hintProc)));
}

LRESULT CALLBACK Win32HintBox::hintProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* hint = static_cast<Win32HintBox*>(GetPropW(hwnd, kFloatingProperty));
  if (hint == nullptr) return DefWindowProcW(hwnd, message, wParam, lParam);
  const WNDPROC original = hint->original_;
  switch (message) {
    case WM_NCHITTEST:
      // The mouse reaches the editor underneath.
      return HTTRANSPARENT;
    case WM_SETFOCUS:
      // The hint never keeps the keyboard.
      SetFocus(GetParent(hwnd));
      return 0;
    case WM_NCDESTROY: {
      const LRESULT result = CallWindowProcW(original, hwnd, message, wParam, lParam);
      RemovePropW(hwnd, kFloatingProperty);
      hint->hwnd_ = nullptr;
      return result;
    }
    default:
      return CallWindowProcW(original, hwnd, message, wParam, lParam);
  }
}

Text Win32HintBox::text() const { return richText(hwnd_); }

void Win32HintBox::setText(TextView text) {
  CHARRANGE all{0, -1};
  SendMessageW(hwnd_, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&all));
  insertRichText(hwnd_, text);
}

int32_t Win32HintBox::width() const {
  const RECT r = bounds();
  return r.right - r.left;
}

void Win32HintBox::setWidth(int32_t v) { resizeTo(checkedSize(v), height()); }

int32_t Win32HintBox::height() const {
  const RECT r = bounds();
  return r.bottom - r.top;
}

void Win32HintBox::setHeight(int32_t v) { resizeTo(width(), checkedSize(v)); }

// ---- Popup menu ----

Win32PopupMenu::Win32PopupMenu(HWND owner, UINT choiceMessage)
    : owner_(owner), choiceMessage_(choiceMessage), menu_(CreatePopupMenu()) {}

Win32PopupMenu::~Win32PopupMenu() { DestroyMenu(menu_); }

void Win32PopupMenu::clear() {
  DestroyMenu(menu_);
  menu_ = CreatePopupMenu();
}

void Win32PopupMenu::addItem(TextView caption) {
  const auto entry = static_cast<UINT_PTR>(GetMenuItemCount(menu_) + 1);
  const std::wstring text = wideString(caption);
  AppendMenuW(menu_, MF_STRING, entry, text.c_str());
}

void Win32PopupMenu::show() {
  ++shown_;
  if (scripted_) return;
  POINT at{};
  GetCursorPos(&at);
  // A menu closes properly when its owner is the foreground window.
  SetForegroundWindow(GetAncestor(owner_, GA_ROOT));
  const BOOL entry = TrackPopupMenu(menu_, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, at.x,
                                    at.y, 0, owner_, nullptr);
  if (entry > 0) choose(static_cast<int16_t>(entry));
}

void Win32PopupMenu::choose(int16_t entry) const {
  // The control reads the entry back as a 16-bit number: any entry a host names arrives.
  PostMessageW(owner_, choiceMessage_, static_cast<WPARAM>(static_cast<uint16_t>(entry)), 0);
}

}  // namespace tavi::win32
