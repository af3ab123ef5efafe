#include "win32/widgets/control_window.h"

#include "shell/control.h"
#include "win32/widgets/edit_surface.h"
#include "win32/widgets/floating.h"
#include "win32/widgets/gutter_canvas.h"
#include "win32/widgets/services.h"
#include "win32/widgets/units.h"

namespace tavi::win32 {

namespace {

constexpr wchar_t kControlClass[] = L"TaviColorTextControl";
constexpr wchar_t kParkingClass[] = L"TaviColorTextParking";
constexpr UINT_PTR kTimerId = 1;
constexpr UINT kTimerInterval = 1000;  // ms
// The popup menu's choice, posted to the control's window.
constexpr UINT kMenuChoice = WM_APP + 1;
// The size a control has before a container sizes it.
constexpr int32_t kDefaultWidth = 9000;  // twips
constexpr int32_t kDefaultHeight = 6000;

// A window's rectangle in the client area of `ancestor`.
RECT boundsIn(HWND hwnd, HWND ancestor) {
  RECT r{};
  GetWindowRect(hwnd, &r);
  MapWindowPoints(HWND_DESKTOP, ancestor, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

// The control's own window as its layout and its measures see it: the client size in
// twips, and text measured in the control's font; the host's say through the owner.
class Win32ControlSite final : public ControlSite {
 public:
  Win32ControlSite(HWND hwnd, HFONT font) : hwnd_(hwnd), font_(font) {}

  double scaleWidth() const override { return toTwips(client().right); }
  double scaleHeight() const override { return toTwips(client().bottom); }

  double textWidth(TextView text) const override {
    SIZE size{};
    measure([&](HDC dc) {
      GetTextExtentPoint32W(dc, wide(text), static_cast<int>(text.size()), &size);
    });
    return size.cx;
  }

  double textHeight(TextView) const override {
    TEXTMETRICW metrics{};
    measure([&](HDC dc) { GetTextMetricsW(dc, &metrics); });
    return metrics.tmHeight + metrics.tmExternalLeading;
  }

  // A control without an owner (no COM object around it) has no host to ask.
  bool allowsScriptedPaste() const override {
    return owner_ == nullptr || owner_->hostAllowsScriptedPaste();
  }
  void setOwner(WindowOwner* owner) { owner_ = owner; }

 private:
  RECT client() const {
    RECT r{};
    GetClientRect(hwnd_, &r);
    return r;
  }

  template <class Measure>
  void measure(Measure&& m) const {
    HDC dc = GetDC(hwnd_);
    HGDIOBJ old = SelectObject(dc, font_);
    m(dc);
    SelectObject(dc, old);
    ReleaseDC(hwnd_, dc);
  }

  HWND hwnd_;
  HFONT font_;
  WindowOwner* owner_ = nullptr;
};

}  // namespace

struct ControlWindow::Parts {
  Win32Services& services = Win32Services::forThisThread();
  HFONT font = createEditorFont();
  HWND parking = nullptr;
  HWND window = nullptr;
  std::unique_ptr<Win32FrameBox> frame;
  std::unique_ptr<Win32GutterCanvas> gutter;
  std::unique_ptr<Win32EditSurface> editor;
  std::unique_ptr<Win32ListBox> list;
  std::unique_ptr<Win32HintBox> hint;
  std::unique_ptr<Win32PopupMenu> menu;
  std::unique_ptr<Win32ControlSite> site;
  TaviColorText* control = nullptr;
  WindowOwner* owner = nullptr;

  ~Parts() { DeleteObject(font); }

  static LRESULT CALLBACK controlProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  // Runs a notification of the control; nothing it throws crosses the window procedure.
  template <class Call>
  void notify(Call&& call) {
    if (control == nullptr) return;
    try {
      call(*control);
    } catch (...) {
      // The control's handlers end at their first failure by themselves.
    }
  }
  // Paints a child window's picture into `picture` (a memory context of the control's
  // size) where the child stands.
  template <class Paint>
  void paintChild(HDC picture, HWND child, Paint&& paint) const;
};

LRESULT CALLBACK ControlWindow::Parts::controlProc(HWND hwnd, UINT message, WPARAM wParam,
                                                   LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* parts = reinterpret_cast<Parts*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  const OwnerHeld held(parts != nullptr ? parts->owner : nullptr);
  if (parts != nullptr) {
    switch (message) {
      case WM_SIZE:
        parts->notify([](TaviColorText& c) { c.resize(); });
        return 0;
      case WM_TIMER:
        if (wParam != kTimerId) break;
        parts->notify([](TaviColorText& c) { c.timerTick(); });
        return 0;
      case kMenuChoice:
        parts->notify([&](TaviColorText& c) { c.menuClicked(static_cast<int16_t>(wParam)); });
        return 0;
      case WM_SETFOCUS:
        // A container that gives the control the focus gives it to the editor.
        if (parts->editor != nullptr) SetFocus(parts->editor->hwnd());
        return 0;
      case WM_NCDESTROY:
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        break;
      default:
        break;
    }
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

ControlWindow::ControlWindow() : parts_(std::make_unique<Parts>()) {
  Parts& p = *parts_;
  const HINSTANCE instance = moduleInstance();
  // The parking window has no code of ours: it only holds the control while no container
  // does.
  registerWindowClass(kParkingClass, DefWindowProcW, 0, nullptr, nullptr);
  registerWindowClass(kControlClass, &Parts::controlProc, 0, GetSysColorBrush(COLOR_BTNFACE),
                      LoadCursorW(nullptr, IDC_ARROW));
  const int width = toPixels(kDefaultWidth);
  const int height = toPixels(kDefaultHeight);
  p.parking = CreateWindowExW(0, kParkingClass, L"TaviColorText", WS_OVERLAPPEDWINDOW, 0, 0, width,
                              height, nullptr, nullptr, instance, nullptr);
  p.window = CreateWindowExW(WS_EX_CONTROLPARENT, kControlClass, L"",
                             WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0, 0, width, height,
                             p.parking, nullptr, instance, &p);
  p.frame = std::make_unique<Win32FrameBox>(p.window, kFrameId);
  SetWindowPos(p.frame->hwnd(), nullptr, 0, 0, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  p.gutter = std::make_unique<Win32GutterCanvas>(p.frame->hwnd(), kGutterId);
  p.editor = std::make_unique<Win32EditSurface>(p.services, p.frame->hwnd(), kEditorId, p.font);
  HWND editor = p.editor->hwnd();
  p.list = std::make_unique<Win32ListBox>(editor, kListId,
                                          static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)));
  p.hint = std::make_unique<Win32HintBox>(editor, kHintId, p.font);
  // Where the layout puts the gutter and the editor, until the control lays them out.
  RECT inner{};
  GetClientRect(p.frame->hwnd(), &inner);
  const int gutterWidth = toPixels(p.gutter->width());
  SetWindowPos(p.gutter->hwnd(), nullptr, 0, 0, gutterWidth, inner.bottom,
               SWP_NOZORDER | SWP_NOACTIVATE);
  SetWindowPos(editor, nullptr, gutterWidth, 0, inner.right - gutterWidth, inner.bottom,
               SWP_NOZORDER | SWP_NOACTIVATE);
  p.menu = std::make_unique<Win32PopupMenu>(p.window, kMenuChoice);
  p.site = std::make_unique<Win32ControlSite>(p.window, p.font);
  SetTimer(p.window, kTimerId, kTimerInterval, nullptr);
}

ControlWindow::~ControlWindow() {
  Parts& p = *parts_;
  attach(nullptr);
  KillTimer(p.window, kTimerId);
  // The windows go first, the objects behind them after: the children with the control's
  // window (wherever it is), then the parking window.
  DestroyWindow(p.window);
  DestroyWindow(p.parking);
}

Widgets ControlWindow::widgets() {
  Parts& p = *parts_;
  Widgets w;
  w.editor = p.editor.get();
  w.hint = p.hint.get();
  w.list = p.list.get();
  w.gutter = p.gutter.get();
  w.frame = p.frame.get();
  w.menu = p.menu.get();
  w.site = p.site.get();
  w.screen = &p.services.screen;
  w.clipboard = &p.services.clipboard;
  w.messages = &p.services.messages;
  w.windows = &p.services.windows;
  w.printers = &p.services.printers;
  return w;
}

void ControlWindow::attach(TaviColorText* control, WindowOwner* owner) {
  Parts& p = *parts_;
  p.control = control;
  p.owner = control != nullptr ? owner : nullptr;
  p.editor->setListener(control);
  p.editor->setOwner(p.owner);
  p.site->setOwner(p.owner);
  if (control != nullptr)
    p.gutter->setPaintHandler([control] { control->gutterPaint(); });
  else
    p.gutter->setPaintHandler(nullptr);
}

HWND ControlWindow::hwnd() const { return parts_->window; }

void ControlWindow::setParent(HWND parent) {
  SetParent(parts_->window, parent != nullptr ? parent : parts_->parking);
}

void ControlWindow::setBounds(const RECT& bounds) {
  MoveWindow(parts_->window, bounds.left, bounds.top, bounds.right - bounds.left,
             bounds.bottom - bounds.top, TRUE);
}

void ControlWindow::setVisible(bool visible) {
  ShowWindow(parts_->window, visible ? SW_SHOWNA : SW_HIDE);
}

template <class Paint>
void ControlWindow::Parts::paintChild(HDC picture, HWND child, Paint&& paint) const {
  const RECT at = boundsIn(child, window);
  const int w = at.right - at.left;
  const int h = at.bottom - at.top;
  if (w <= 0 || h <= 0) return;
  HDC dc = CreateCompatibleDC(picture);
  HBITMAP bitmap = CreateCompatibleBitmap(picture, w, h);
  HGDIOBJ old = SelectObject(dc, bitmap);
  paint(dc);
  BitBlt(picture, at.left, at.top, w, h, dc, 0, 0, SRCCOPY);
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
}

void ControlWindow::draw(HDC dc, const RECT& bounds) {
  Parts& p = *parts_;
  RECT client{};
  GetClientRect(p.window, &client);
  if (client.right <= 0 || client.bottom <= 0) return;
  // The picture is made at the control's own size from its windows' own painting (which
  // works while they are hidden), then stretched into the bounds.
  HDC screen = GetDC(nullptr);
  HDC picture = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, client.right, client.bottom);
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(picture, bitmap);
  FillRect(picture, &client, GetSysColorBrush(COLOR_BTNFACE));
  RECT frame = boundsIn(p.frame->hwnd(), p.window);
  DrawEdge(picture, &frame, EDGE_SUNKEN, BF_RECT);
  p.paintChild(picture, p.gutter->hwnd(), [&](HDC part) { p.gutter->paintInto(part); });
  p.paintChild(picture, p.editor->hwnd(), [&](HDC part) {
    SendMessageW(p.editor->hwnd(), WM_PRINT, reinterpret_cast<WPARAM>(part),
                 PRF_CLIENT | PRF_NONCLIENT | PRF_ERASEBKGND);
  });
  const int oldMode = SetStretchBltMode(dc, HALFTONE);
  StretchBlt(dc, bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top,
             picture, 0, 0, client.right, client.bottom, SRCCOPY);
  SetStretchBltMode(dc, oldMode);
  SelectObject(picture, old);
  DeleteObject(bitmap);
  DeleteDC(picture);
}

}  // namespace tavi::win32
