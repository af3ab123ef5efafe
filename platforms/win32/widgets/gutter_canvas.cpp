#include "win32/widgets/gutter_canvas.h"

#include <richedit.h>

#include "shell/runtime_error.h"
#include "shell/widgets/size_check.h"
#include "win32/widgets/edit_surface.h"
#include "win32/widgets/units.h"

namespace tavi::win32 {

namespace {

constexpr wchar_t kGutterClass[] = L"TaviColorTextGutter";
constexpr wchar_t kFrameClass[] = L"TaviColorTextFrame";
constexpr int32_t kGutterWidthTwips = 720;

HMENU idMenu(int id) { return reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)); }

RECT toRect(const PixelRect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

void setTabStopStyle(HWND hwnd, bool tabStop) {
  LONG_PTR style = GetWindowLongPtrW(hwnd, GWL_STYLE);
  style = tabStop ? (style | WS_TABSTOP) : (style & ~static_cast<LONG_PTR>(WS_TABSTOP));
  SetWindowLongPtrW(hwnd, GWL_STYLE, style);
}

// A window's rectangle in its parent's client area.
RECT boundsInParent(HWND hwnd) {
  RECT r{};
  GetWindowRect(hwnd, &r);
  MapWindowPoints(HWND_DESKTOP, GetParent(hwnd), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

}  // namespace

// The device context the gutter draws on, with its font selected: the running paint's,
// or the window's own for drawing outside a paint.
class Win32GutterCanvas::Target {
 public:
  explicit Target(const Win32GutterCanvas& canvas)
      : canvas_(canvas), dc_(canvas.target_ != nullptr ? canvas.target_ : GetDC(canvas.hwnd_)) {
    oldFont_ = SelectObject(dc_, canvas.font_);
  }
  ~Target() {
    SelectObject(dc_, oldFont_);
    if (canvas_.target_ == nullptr) ReleaseDC(canvas_.hwnd_, dc_);
  }
  Target(const Target&) = delete;
  Target& operator=(const Target&) = delete;
  HDC dc() const { return dc_; }

 private:
  const Win32GutterCanvas& canvas_;
  HDC dc_;
  HGDIOBJ oldFont_;
};

Win32GutterCanvas::Win32GutterCanvas(HWND frame, int id) : font_(createEditorFont()) {
  registerWindowClass(kGutterClass, &gutterProc, CS_HREDRAW | CS_VREDRAW, nullptr,
                      LoadCursorW(nullptr, IDC_ARROW));
  hwnd_ =
      CreateWindowExW(0, kGutterClass, L"", WS_CHILD | WS_VISIBLE, 0, 0,
                      toPixels(kGutterWidthTwips), 0, frame, idMenu(id), moduleInstance(), this);
}

Win32GutterCanvas::~Win32GutterCanvas() {
  if (hwnd_ != nullptr && IsWindow(hwnd_)) DestroyWindow(hwnd_);
  DeleteObject(font_);
}

LRESULT CALLBACK Win32GutterCanvas::gutterProc(HWND hwnd, UINT message, WPARAM wParam,
                                               LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* canvas = reinterpret_cast<Win32GutterCanvas*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (canvas != nullptr) {
    switch (message) {
      case WM_PAINT:
        canvas->paint();
        return 0;
      case WM_ERASEBKGND:
        return 1;  // the paint fills the whole gutter
      case WM_NCDESTROY:
        canvas->hwnd_ = nullptr;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        break;
      default:
        break;
    }
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

void Win32GutterCanvas::paint() {
  PAINTSTRUCT ps{};
  HDC dc = BeginPaint(hwnd_, &ps);
  paintInto(dc);
  EndPaint(hwnd_, &ps);
}

void Win32GutterCanvas::paintInto(HDC dc) {
  HDC outer = target_;
  target_ = dc;
  try {
    if (paintHandler_) {
      paintedByControl_ = true;
      paintHandler_();
    } else {
      RECT client{};
      GetClientRect(hwnd_, &client);
      FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    }
  } catch (...) {
    // The painting routine ends at its first failure; the paint still ends.
  }
  target_ = outer;
}

int32_t Win32GutterCanvas::width() const {
  const RECT r = boundsInParent(hwnd_);
  return toTwips(r.right - r.left);
}

int32_t Win32GutterCanvas::height() const {
  const RECT r = boundsInParent(hwnd_);
  return toTwips(r.bottom - r.top);
}

void Win32GutterCanvas::setHeight(int32_t v) {
  const RECT r = boundsInParent(hwnd_);
  SetWindowPos(hwnd_, nullptr, 0, 0, r.right - r.left, toPixels(checkedSize(v)),
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32GutterCanvas::setTabStop(bool tabStop) { setTabStopStyle(hwnd_, tabStop); }

void Win32GutterCanvas::setFontName(TextView face) {
  // The face alone changes: size and weight stay as designed.
  const std::wstring name = wideString(face);
  if (name.empty() || name == face_) return;
  HFONT font = createEditorFont(name.c_str());
  if (font == nullptr) return;
  DeleteObject(font_);
  font_ = font;
  face_ = name;
}

void Win32GutterCanvas::refresh() {
  InvalidateRect(hwnd_, nullptr, FALSE);
  UpdateWindow(hwnd_);
}

PixelRect Win32GutterCanvas::clientRect() const {
  RECT r{};
  GetClientRect(hwnd_, &r);
  return {r.left, r.top, r.right, r.bottom};
}

PixelRect Win32GutterCanvas::measureText(TextView text) const {
  Target target(*this);
  RECT r{0, 0, 0, 0};
  DrawTextW(target.dc(), wide(text), static_cast<int>(text.size()), &r, DT_CALCRECT);
  return {r.left, r.top, r.right, r.bottom};
}

void Win32GutterCanvas::fillRect(const PixelRect& rect, int32_t color) {
  Target target(*this);
  HBRUSH brush = CreateSolidBrush(static_cast<COLORREF>(color));
  const RECT r = toRect(rect);
  FillRect(target.dc(), &r, brush);
  DeleteObject(brush);
}

void Win32GutterCanvas::drawText(const PixelRect& rect, TextView text, int32_t color,
                                 uint32_t format) {
  Target target(*this);
  HDC dc = target.dc();
  // The picture box draws its text transparently.
  const int oldMode = SetBkMode(dc, TRANSPARENT);
  const COLORREF oldColor = SetTextColor(dc, static_cast<COLORREF>(color));
  RECT r = toRect(rect);
  DrawTextW(dc, wide(text), static_cast<int>(text.size()), &r, format);
  SetTextColor(dc, oldColor);
  SetBkMode(dc, oldMode);
}

void Win32GutterCanvas::drawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t color) {
  Target target(*this);
  HDC dc = target.dc();
  HPEN pen = CreatePen(PS_SOLID, 1, static_cast<COLORREF>(color));
  HGDIOBJ old = SelectObject(dc, pen);
  MoveToEx(dc, x1, y1, nullptr);
  LineTo(dc, x2, y2);  // the end point is left out
  SelectObject(dc, old);
  DeleteObject(pen);
}

// ---- Frame ----

Win32FrameBox::Win32FrameBox(HWND parent, int id) {
  registerWindowClass(kFrameClass, &frameProc, 0, GetSysColorBrush(COLOR_BTNFACE),
                      LoadCursorW(nullptr, IDC_ARROW));
  hwnd_ = CreateWindowExW(WS_EX_CLIENTEDGE | WS_EX_CONTROLPARENT, kFrameClass, L"",
                          WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 0, 0, parent, idMenu(id),
                          moduleInstance(), nullptr);
}

Win32FrameBox::~Win32FrameBox() {
  if (IsWindow(hwnd_)) DestroyWindow(hwnd_);
}

LRESULT CALLBACK Win32FrameBox::frameProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  // The editor tells its parent of its changes.
  if (message == WM_COMMAND && HIWORD(wParam) == EN_CHANGE && lParam != 0) {
    if (Win32EditSurface* surface = Win32EditSurface::fromWindow(reinterpret_cast<HWND>(lParam)))
      surface->richEditChanged();
    return 0;
  }
  // RichEdit in a dialog sends its parent WM_CLOSE for Escape; the frame stays.
  if (message == WM_CLOSE) return 0;
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

RECT Win32FrameBox::bounds() const { return boundsInParent(hwnd_); }

int32_t Win32FrameBox::width() const {
  const RECT r = bounds();
  return toTwips(r.right - r.left);
}

void Win32FrameBox::setWidth(int32_t v) {
  const RECT r = bounds();
  SetWindowPos(hwnd_, nullptr, 0, 0, toPixels(checkedSize(v)), r.bottom - r.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int32_t Win32FrameBox::height() const {
  const RECT r = bounds();
  return toTwips(r.bottom - r.top);
}

void Win32FrameBox::setHeight(int32_t v) {
  const RECT r = bounds();
  SetWindowPos(hwnd_, nullptr, 0, 0, r.right - r.left, toPixels(checkedSize(v)),
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int32_t Win32FrameBox::innerWidth() const {
  RECT r{};
  GetClientRect(hwnd_, &r);
  return toTwips(r.right);
}

int32_t Win32FrameBox::innerHeight() const {
  RECT r{};
  GetClientRect(hwnd_, &r);
  return toTwips(r.bottom);
}

void Win32FrameBox::setTabStop(bool tabStop) { setTabStopStyle(hwnd_, tabStop); }

}  // namespace tavi::win32
