#include "tavi-script/win32_platform.h"

#include <windows.h>
// After windows.h, which they need.
#include <objsafe.h>
#include <richedit.h>

#include <algorithm>
#include <cmath>
#include <semaphore>
#include <stdexcept>
#include <thread>

#include "headless/us_keyboard.h"
#include "host_window.h"
#include "shell/keys.h"
#include "shell/runtime_error.h"
#include "win32/core_probe.h"
#include "win32/variant_bridge.h"
#include "win32/widgets/control_window.h"
#include "win32/widgets/rich_text.h"

namespace tavi::script {

namespace {

using OrderedJson = nlohmann::ordered_json;

// Twips per pixel at the 96 dots per inch of the scenarios.
constexpr double kTwipsPerPixel = 15;
// The headless grid the mouse commands are given in (docs/tavi-script.md).
constexpr double kCellWidth = 8;
constexpr double kCellHeight = 16;

[[noreturn]] void notAvailable(const char* what) {
  throw RuntimeError(err::kInvalidCall, std::string(what) + ": not available on this platform");
}

std::wstring wide(std::string_view s) { return std::wstring(s.begin(), s.end()); }

OrderedJson parseBstr(BSTR json) {
  const std::string text = toUtf8(win32::fromBstr(json));
  SysFreeString(json);
  return OrderedJson::parse(text);
}

// The description of a failure of the dispatch layer itself, as the core's table words it.
std::string dispatchFailure(HRESULT hr) {
  if (static_cast<uint32_t>(hr) == hr::kMemberNotFound) return "Member not found";
  if (static_cast<uint32_t>(hr) == hr::kBadParamCount) return "Invalid number of parameters";
  if (static_cast<uint32_t>(hr) == hr::kUnknownName) return "Unknown name";
  return "";
}

// Runs the thread's waiting messages, so that what the control posted has happened.
void pumpMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

// Shift, Ctrl and Alt (and Caps Lock's toggle) in the thread's keyboard state, as
// GetKeyState reports them while a message is handled.
void holdModifiers(int16_t shift, bool capsLock) {
  BYTE keys[256];
  GetKeyboardState(keys);
  keys[VK_SHIFT] = (shift & kShiftMask) != 0 ? 0x80 : 0;
  keys[VK_CONTROL] = (shift & kCtrlMask) != 0 ? 0x80 : 0;
  keys[VK_MENU] = (shift & kAltMask) != 0 ? 0x80 : 0;
  keys[VK_CAPITAL] = capsLock ? 0x01 : 0;
  SetKeyboardState(keys);
}

// The clipboard held open by another thread until the object goes: the control's accesses
// then fail as they do on a desktop where another program holds it.
class ClipboardHolder {
 public:
  ClipboardHolder() { opened_.acquire(); }
  ~ClipboardHolder() {
    release_.release();
    thread_.join();
  }
  ClipboardHolder(const ClipboardHolder&) = delete;
  ClipboardHolder& operator=(const ClipboardHolder&) = delete;

 private:
  std::binary_semaphore opened_{0}, release_{0};
  std::thread thread_{[this] {
    HWND owner =
        CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    OpenClipboard(owner);
    opened_.release();
    release_.acquire();
    CloseClipboard();
    DestroyWindow(owner);
  }};
};

class Win32ScriptControl final : public ScriptControl {
 public:
  // `first`: the platform's first control, whose window comes to the foreground; later
  // ones open behind it, so that a new control leaves the focus where it is (a control gets
  // the focus only when a person gives it, on every platform).
  Win32ScriptControl(const bool& capsLock, bool first) : capsLock_(capsLock) {
    std::string error;
    const int width = static_cast<int>(kDefaultControlWidth / kTwipsPerPixel);
    const int height = static_cast<int>(kDefaultControlHeight / kTwipsPerPixel);
    // In place, not UI-active: a new control does not have the keyboard focus until a
    // person gives it (a key or a click), as on every platform.
    const auto showing =
        first ? host::HostWindow::Showing::kForeground : host::HostWindow::Showing::kBehind;
    if (!window_.open(width, height, error, host::HostedControl::Activation::kInPlace, showing))
      throw std::runtime_error(error);
    IDispatch* object = window_.control().automation();
    if (FAILED(object->QueryInterface(win32::kProbeIid, reinterpret_cast<void**>(&probe_))))
      throw std::runtime_error("the control has no probe interface");
    probe_->ScriptPopupMenu();
  }
  ~Win32ScriptControl() override {
    if (probe_ != nullptr) probe_->Release();
  }

  // The core lives in the control's DLL: every call below goes through its interfaces.
  TaviColorText& control() override {
    throw std::logic_error("the control's core is inside its COM server");
  }
  win32::ITaviProbe& probe() { return *probe_; }

  std::optional<int32_t> idOfName(std::string_view name) override {
    std::wstring w = wide(name);
    LPOLESTR names[] = {w.data()};
    DISPID id = DISPID_UNKNOWN;
    if (FAILED(dispatch()->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id)))
      return std::nullopt;
    return id;
  }

  InvokeResult invoke(int32_t dispid, MemberKind kind, std::vector<Variant> args) override {
    // Every argument goes by reference, so that a ByRef parameter's new value comes back.
    const size_t n = args.size();
    std::vector<VARIANT> values(n);
    std::vector<VARIANT> refs(n);
    for (size_t i = 0; i < n; ++i) {
      VariantInit(&values[i]);
      win32::toVariant(args[i], ResultType::Variant, &values[i]);
      VariantInit(&refs[n - 1 - i]);  // rgvarg holds the arguments last first
      V_VT(&refs[n - 1 - i]) = VT_BYREF | VT_VARIANT;
      V_VARIANTREF(&refs[n - 1 - i]) = &values[i];
    }
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params{refs.data(), nullptr, static_cast<UINT>(n), 0};
    WORD flags = DISPATCH_METHOD;
    if (kind == MemberKind::Get) flags = DISPATCH_PROPERTYGET;
    if (kind == MemberKind::Put) {
      flags = DISPATCH_PROPERTYPUT;
      params.rgdispidNamedArgs = &named;
      params.cNamedArgs = 1;
    }
    VARIANT result;
    VariantInit(&result);
    EXCEPINFO exception{};
    const HRESULT hr = dispatch()->Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT, flags, &params,
                                          &result, &exception, nullptr);
    pumpMessages();
    InvokeResult r;
    r.hresult = static_cast<uint32_t>(hr);
    if (hr == DISP_E_EXCEPTION) {
      r.hresult = static_cast<uint32_t>(exception.scode);
      if ((r.hresult & 0xFFFF0000u) == 0x800A0000u) r.errorNumber = r.hresult & 0xFFFF;
      r.description = toUtf8(win32::fromBstr(exception.bstrDescription));
      SysFreeString(exception.bstrSource);
      SysFreeString(exception.bstrDescription);
      SysFreeString(exception.bstrHelpFile);
    } else if (FAILED(hr)) {
      r.description = dispatchFailure(hr);
    } else {
      const DispatchTable& table = DispatchTable::instance();
      const DispatchMember* member = table.find(dispid, kind);
      if (member == nullptr && kind == MemberKind::Method)
        member = table.find(dispid, MemberKind::Get);
      r.resultType = member != nullptr ? member->result : ResultType::Variant;
      r.value = win32::fromVariant(result);
      for (size_t i = 0; member != nullptr && i < member->params.size() && i < n; ++i)
        if (member->params[i].byRef) r.byRef.push_back(win32::fromVariant(values[i]));
    }
    VariantClear(&result);
    for (VARIANT& v : values) VariantClear(&v);
    return r;
  }

  void advise(EventSink& sink) override {
    window_.control().events().setListener([&sink](short* id) {
      if (id == nullptr) {
        sink.onChange();
      } else {
        int16_t value = *id;
        sink.onEvent(value);
        *id = value;
      }
    });
  }
  void unadvise(EventSink&) override { window_.control().events().setListener(nullptr); }

  void terminate() override { probe_->Terminate(); }

  OrderedJson coreState() override {
    BSTR json = nullptr;
    if (FAILED(probe_->CoreState(&json))) notAvailable("the core's state");
    return parseBstr(json);
  }

  uint32_t getSafety(const Guid* iid, uint32_t* supported, uint32_t* enabled) override {
    IObjectSafety* safety = objectSafety();
    DWORD s = *supported, e = *enabled;
    const HRESULT hr = safety->GetInterfaceSafetyOptions(
        *reinterpret_cast<const IID*>(iid != nullptr ? iid : &kNoGuid), &s, &e);
    safety->Release();
    *supported = s;
    *enabled = e;
    return static_cast<uint32_t>(hr);
  }
  uint32_t setSafety(const Guid* iid, uint32_t mask, uint32_t enabled) override {
    IObjectSafety* safety = objectSafety();
    const HRESULT hr = safety->SetInterfaceSafetyOptions(
        *reinterpret_cast<const IID*>(iid != nullptr ? iid : &kNoGuid), mask, enabled);
    safety->Release();
    return static_cast<uint32_t>(hr);
  }

  // ---- The person ----

  void type(TextView text) override {
    for (size_t i = 0; i < text.size(); ++i) {
      const char16_t c = text[i];
      if (c == kCR && i + 1 < text.size() && text[i + 1] == kLF) continue;  // one Enter
      if (c == kCR || c == kLF) {
        key(vk::kReturn, held_);
        continue;
      }
      if (c == kTab) {
        key(vk::kTab, held_);
        continue;
      }
      // The keys of the US layout, the headless platform's table: the person presses the
      // same keys on every platform (Wine's own layout under Xvfb types "(" with no key).
      const std::optional<headless::KeyStroke> keyStroke =
          isHighSurrogate(c) || isLowSurrogate(c) ? std::nullopt : headless::keyForChar(c);
      if (!keyStroke) {
        const bool pair = isHighSurrogate(c) && i + 1 < text.size() && isLowSurrogate(text[i + 1]);
        stroke(vk::kPacket, held_, TextView(&text[i], pair ? 2 : 1));
        if (pair) ++i;
        continue;
      }
      const bool letter = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
      const bool shifted = keyStroke->shift;
      const bool needsShift = letter ? shifted != capsLock_ : shifted;
      const int16_t before = held_;
      const bool pressShift = needsShift && (before & kShiftMask) == 0;
      const auto shift = static_cast<int16_t>(pressShift ? before | kShiftMask : before);
      if (pressShift) keyDown(vk::kShift, shift);
      stroke(keyStroke->virtualKey, shift, TextView(&text[i], 1));
      if (pressShift) keyUp(vk::kShift, before);
    }
  }

  // An input method's commit as one reaches a window that leaves the composition to the
  // default procedure: WM_IME_CHAR per unit inside a composition, no key messages. Chosen over
  // ImmSetCompositionString, which needs an input method installed (Wine has none by
  // default). Only the editor takes it, as on headless.
  void compose(TextView text) override {
    const HWND target = keyTarget();
    if (target != editor()) return;
    SendMessageW(target, WM_IME_STARTCOMPOSITION, 0, 0);
    for (const char16_t c : text) SendMessageW(target, WM_IME_CHAR, c, 1);
    SendMessageW(target, WM_IME_ENDCOMPOSITION, 0, 0);
    pumpMessages();
  }

  void key(int16_t keyCode, int16_t shift) override {
    BYTE keys[256];
    holdModifiers(shift, capsLock_);
    GetKeyboardState(keys);
    wchar_t typed[4] = {};
    const int n =
        ToUnicode(static_cast<UINT>(keyCode),
                  MapVirtualKeyW(static_cast<UINT>(keyCode), MAPVK_VK_TO_VSC), keys, typed, 4, 0);
    stroke(keyCode, shift,
           n == 1 ? TextView(reinterpret_cast<const char16_t*>(typed), 1) : TextView());
  }
  void keyDown(int16_t keyCode, int16_t shift) override {
    held_ = static_cast<int16_t>(held_ | modifierOf(keyCode));
    holdModifiers(shift, capsLock_);
    SendMessageW(keyTarget(), (shift & kAltMask) != 0 ? WM_SYSKEYDOWN : WM_KEYDOWN,
                 static_cast<WPARAM>(keyCode), 1);
    pumpMessages();
  }
  void keyUp(int16_t keyCode, int16_t shift) override {
    held_ = static_cast<int16_t>(held_ & ~modifierOf(keyCode));
    holdModifiers(shift, capsLock_);
    SendMessageW(keyTarget(), (shift & kAltMask) != 0 ? WM_SYSKEYUP : WM_KEYUP,
                 static_cast<WPARAM>(keyCode), static_cast<LPARAM>(0xC0000001u));
    holdModifiers(held_, capsLock_);
    pumpMessages();
  }

  void select(int32_t start, int32_t length) override {
    const Text text = win32::richText(editor());
    const auto size = static_cast<int32_t>(text.size());
    const auto reachable = [&](int64_t offset) {
      const auto at = static_cast<int32_t>(std::clamp<int64_t>(offset, 0, size));
      return at > 0 && at < size && text[at - 1] == kCR && text[at] == kLF ? at - 1 : at;
    };
    const int32_t from = reachable(start);
    const int32_t to = std::max(from, reachable(int64_t{start} + length));
    SetFocus(editor());
    const POINT down = pixelOf(from);
    const POINT up = pixelOf(to);
    const WPARAM keys = (held_ & kShiftMask) != 0 ? MK_SHIFT : 0;
    separateFromLastPress(down);
    PostMessageW(editor(), WM_LBUTTONDOWN, keys | MK_LBUTTON, MAKELPARAM(down.x, down.y));
    PostMessageW(editor(), WM_MOUSEMOVE, keys | MK_LBUTTON, MAKELPARAM(up.x, up.y));
    PostMessageW(editor(), WM_LBUTTONUP, keys, MAKELPARAM(up.x, up.y));
    pumpMessages();
  }
  void click(double x, double y) override {
    mouseDown(kLeftButton, held_, x, y);
    mouseUp(kLeftButton, held_, x, y);
  }
  void rightClick(double x, double y) override {
    mouseDown(kRightButton, held_, x, y);
    mouseUp(kRightButton, held_, x, y);
  }
  void mouseDown(int16_t button, int16_t shift, double x, double y) override {
    mouse(button, shift, x, y, true);
  }
  void mouseUp(int16_t button, int16_t shift, double x, double y) override {
    mouse(button, shift, x, y, false);
  }
  // The menu a right click showed is the control's to answer: its modal loop would hold
  // this thread, which gives the choice only with the next command (core_probe.h).
  void menu(int16_t entry) override {
    probe_->MenuChoice(entry);
    pumpMessages();
  }
  void focus(ScriptFocus place) override {
    switch (place) {
      case ScriptFocus::kSurface:
        SetFocus(editor());
        break;
      case ScriptFocus::kList:
        SetFocus(GetDlgItem(editor(), win32::kListId));
        break;
      case ScriptFocus::kAway:
        SetFocus(window_.hwnd());
        break;
    }
    pumpMessages();
  }
  // A person's scroll bar: one WM_VSCROLL a line (which the control's hook hears and marks
  // the gutter for the next tick), then the end of the scroll.
  void scroll(int32_t line) override {
    const auto first = static_cast<int32_t>(SendMessageW(editor(), EM_GETFIRSTVISIBLELINE, 0, 0));
    const WPARAM step = line > first ? SB_LINEDOWN : SB_LINEUP;
    for (int32_t i = std::abs(line - first); i > 0; --i)
      SendMessageW(editor(), WM_VSCROLL, step, 0);
    SendMessageW(editor(), WM_VSCROLL, SB_ENDSCROLL, 0);
    pumpMessages();
  }
  void tick() override {
    // The control's timer, as it fires.
    SendMessageW(window_.control().window(), WM_TIMER, 1, 0);
    pumpMessages();
  }
  void resize(double width, double height) override {
    RECT frame{0, 0, static_cast<LONG>(std::lround(width / kTwipsPerPixel)),
               static_cast<LONG>(std::lround(height / kTwipsPerPixel))};
    AdjustWindowRect(&frame, static_cast<DWORD>(GetWindowLongW(window_.hwnd(), GWL_STYLE)), FALSE);
    // Sizing is the host's, not a person's: it leaves the active window and the focus.
    SetWindowPos(window_.hwnd(), nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    pumpMessages();
  }
  void paint() override {
    RedrawWindow(window_.control().window(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    pumpMessages();
  }

  // ---- What the widgets show ----

  WidgetReport widgets() override {
    WidgetReport r;
    r.text = win32::richText(editor());
    CHARRANGE range{};
    SendMessageW(editor(), EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    r.selStart = range.cpMin;
    r.selLength = range.cpMax - range.cpMin;
    r.firstVisibleLine = static_cast<int32_t>(SendMessageW(editor(), EM_GETFIRSTVISIBLELINE, 0, 0));
    BSTR json = nullptr;
    if (FAILED(probe_->WidgetState(&json))) notAvailable("the widgets' state");
    const OrderedJson w = parseBstr(json);
    r.hideSelection = w["hideSelection"].get<bool>();
    r.locked = w["locked"].get<bool>();
    r.maxLength = w["maxLength"].get<int32_t>();
    r.mousePointer = w["mousePointer"].get<int16_t>();
    r.screenPointer = w["screenPointer"].get<int16_t>();
    r.focus = w["focus"].get<std::string>();
    const OrderedJson& list = w["list"];
    r.list = {list["visible"].get<bool>(),
              list["left"].get<int32_t>(),
              list["top"].get<int32_t>(),
              list["listIndex"].get<int32_t>(),
              {}};
    for (const OrderedJson& item : list["items"])
      r.list.items.push_back(fromUtf8(item.get<std::string>()));
    const OrderedJson& hint = w["hint"];
    r.hint = {hint["visible"].get<bool>(),  fromUtf8(hint["text"].get<std::string>()),
              hint["left"].get<int32_t>(),  hint["top"].get<int32_t>(),
              hint["width"].get<int32_t>(), hint["height"].get<int32_t>()};
    return r;
  }

  // Each unit's colour and weight as RichEdit reports it (EM_GETCHARFORMAT of a one-unit
  // selection); the selection is put back as it was.
  std::vector<FormatRun> formats() override {
    const HWND e = editor();
    CHARRANGE saved{};
    SendMessageW(e, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&saved));
    const Text text = win32::richText(e);
    const auto length = static_cast<int32_t>(text.size());
    std::vector<FormatRun> runs;
    for (int32_t i = 0; i < length; ++i) {
      // A CR LF is RichEdit's paragraph mark, one unit of its own: half of it reads as the
      // format an insertion there would take, so the pair is read whole.
      const bool pair = text[i] == kCR && i + 1 < length && text[i + 1] == kLF;
      CHARRANGE one{i, i + (pair ? 2 : 1)};
      SendMessageW(e, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&one));
      CHARFORMATW format{};
      format.cbSize = sizeof format;
      SendMessageW(e, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
      const int32_t color =
          (format.dwEffects & CFE_AUTOCOLOR) != 0 ? 0 : static_cast<int32_t>(format.crTextColor);
      const bool bold = (format.dwEffects & CFE_BOLD) != 0;
      for (int32_t unit = i; unit < one.cpMax; ++unit) {
        if (!runs.empty() && runs.back().color == color && runs.back().bold == bold)
          ++runs.back().length;
        else
          runs.push_back({unit, 1, color, bold});
      }
      i = one.cpMax - 1;
    }
    SendMessageW(e, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&saved));
    return runs;
  }

  // Whether the gutter has been painted; what it holds is drawn with GDI and not recorded
  // (its records are the platform's metrics, masked in comparisons).
  std::optional<GutterReport> gutter() override {
    BSTR json = nullptr;
    if (FAILED(probe_->WidgetState(&json))) notAvailable("gutter");
    if (!parseBstr(json)["gutterPainted"].get<bool>()) return std::nullopt;
    return GutterReport{};
  }
  MenuReport menuItems() override {
    BSTR json = nullptr;
    if (FAILED(probe_->MenuItems(&json))) notAvailable("menu-items");
    const OrderedJson menu = parseBstr(json);
    MenuReport report;
    for (const OrderedJson& item : menu["items"])
      report.items.push_back(fromUtf8(item.get<std::string>()));
    report.shown = menu["shown"].get<int>();
    return report;
  }

 private:
  // A COM caller always names an interface: GUID_NULL stands for "none" (the scenarios'
  // null identifier), which the control answers as the core answers no identifier.
  static constexpr Guid kNoGuid{};

  IDispatch* dispatch() { return window_.control().automation(); }
  HWND editor() { return window_.control().child(win32::kEditorId); }
  // Keys go where the keyboard focus is: the keyword list or the editor, which a key takes
  // the focus to when it is elsewhere.
  HWND keyTarget() {
    const HWND list = GetDlgItem(editor(), win32::kListId);
    const HWND focus = GetFocus();
    if (focus == list) return list;
    if (focus != editor()) {
      SetFocus(editor());
      pumpMessages();
    }
    return editor();
  }
  IObjectSafety* objectSafety() {
    IObjectSafety* safety = nullptr;
    if (FAILED(dispatch()->QueryInterface(IID_IObjectSafety, reinterpret_cast<void**>(&safety))))
      notAvailable("safety");
    return safety;
  }

  // The modifier a key is (Shift 1, Ctrl 2, Alt 4), or 0: modifiers stay held from their
  // keydown to their keyup.
  static int16_t modifierOf(int16_t keyCode) {
    if (keyCode == vk::kShift) return kShiftMask;
    if (keyCode == vk::kControl) return kCtrlMask;
    if (keyCode == vk::kMenu) return kAltMask;
    return 0;
  }

  // One key: down, the character it types (if any), up.
  void stroke(int16_t keyCode, int16_t shift, TextView typed) {
    holdModifiers(shift, capsLock_);
    const HWND target = keyTarget();
    const bool alt = (shift & kAltMask) != 0;
    SendMessageW(target, alt ? WM_SYSKEYDOWN : WM_KEYDOWN, static_cast<WPARAM>(keyCode), 1);
    for (const char16_t c : typed) SendMessageW(target, alt ? WM_SYSCHAR : WM_CHAR, c, 1);
    SendMessageW(target, alt ? WM_SYSKEYUP : WM_KEYUP, static_cast<WPARAM>(keyCode),
                 static_cast<LPARAM>(0xC0000001u));
    holdModifiers(held_, capsLock_);
    pumpMessages();
  }

  // The editor's pixel for an offset: the top left of its unit, one pixel in.
  POINT pixelOf(int32_t offset) {
    POINTL at{};
    SendMessageW(editor(), EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&at), offset);
    return {at.x, at.y + 1};
  }

  // A mouse button at a cell of the headless grid: line first + floor(y / 16), column
  // round(x / 8), clamped to the line, pressed at that offset's pixel in the editor.
  void mouse(int16_t button, int16_t shift, double x, double y, bool down) {
    const HWND e = editor();
    const auto lines = static_cast<int32_t>(SendMessageW(e, EM_GETLINECOUNT, 0, 0));
    const auto first = static_cast<int32_t>(SendMessageW(e, EM_GETFIRSTVISIBLELINE, 0, 0));
    const int32_t line =
        std::clamp(first + static_cast<int32_t>(std::floor(y / kCellHeight)), 0, lines - 1);
    const auto start = static_cast<int32_t>(SendMessageW(e, EM_LINEINDEX, line, 0));
    const auto length = static_cast<int32_t>(SendMessageW(e, EM_LINELENGTH, start, 0));
    const int32_t column = std::clamp(static_cast<int32_t>(std::lround(x / kCellWidth)), 0, length);
    POINT at = pixelOf(start + column);
    if (column == length && length > 0) {
      // Past the line's last character: its right, where a click gives the line's end.
      RECT client{};
      GetClientRect(e, &client);
      at.x = client.right - 2;
    }
    WPARAM keys = 0;
    if ((shift & kShiftMask) != 0) keys |= MK_SHIFT;
    if ((shift & kCtrlMask) != 0) keys |= MK_CONTROL;
    UINT message = 0;
    if (button == kLeftButton) {
      message = down ? WM_LBUTTONDOWN : WM_LBUTTONUP;
      if (down) keys |= MK_LBUTTON;
    } else if (button == kRightButton) {
      message = down ? WM_RBUTTONDOWN : WM_RBUTTONUP;
      if (down) keys |= MK_RBUTTON;
    } else {
      message = down ? WM_MBUTTONDOWN : WM_MBUTTONUP;
      if (down) keys |= MK_MBUTTON;
    }
    holdModifiers(shift, capsLock_);
    if (down) separateFromLastPress(at);
    PostMessageW(e, message, keys, MAKELPARAM(at.x, at.y));
    holdModifiers(held_, capsLock_);
    pumpMessages();
  }

  // The commands' presses are a person's separate clicks: a press near the last one and
  // within the double-click time waits until that time is over, so that RichEdit does
  // not take the two for a double click (which selects a word). Mouse messages are posted,
  // so that they carry the time they were made at. Sleep can end a few ticks early by
  // GetTickCount, and the message times come from Wine's server clock: the wait is checked
  // again and kept a margin longer, so that the same commands always give the same clicks.
  void separateFromLastPress(POINT at) {
    constexpr DWORD kMargin = 50;  // milliseconds
    const DWORD interval = GetDoubleClickTime() + kMargin;
    const bool nearby = std::abs(at.x - lastPress_.x) < GetSystemMetrics(SM_CXDOUBLECLK) &&
                        std::abs(at.y - lastPress_.y) < GetSystemMetrics(SM_CYDOUBLECLK);
    if (pressed_ && nearby) {
      for (DWORD waited = GetTickCount() - lastPressTime_; waited <= interval;
           waited = GetTickCount() - lastPressTime_)
        Sleep(interval - waited + 1);
    }
    pressed_ = true;
    lastPress_ = at;
    lastPressTime_ = GetTickCount();
  }

  const bool& capsLock_;
  bool pressed_ = false;
  POINT lastPress_{};
  DWORD lastPressTime_ = 0;
  int16_t held_ = 0;  // modifiers held down by keydown, until their keyup
  host::HostWindow window_;
  win32::ITaviProbe* probe_ = nullptr;
};

class Win32ScriptPlatform final : public ScriptPlatform {
 public:
  Win32ScriptPlatform() {
    if (FAILED(OleInitialize(nullptr))) throw std::runtime_error("OleInitialize failed");
  }
  ~Win32ScriptPlatform() override {
    clipboardHolder_.reset();
    controls_.clear();
    OleUninitialize();
  }

  ScriptControl& createControl() override {
    controls_.push_back(std::make_unique<Win32ScriptControl>(capsLock_, controls_.empty()));
    // From the first control on, its message boxes are answered and recorded, and the
    // printers are the script's (at first the headless default list).
    drainMessageBoxes();
    if (controls_.size() == 1) printout();
    return *controls_.back();
  }

  void setCapsLock(bool on) override {
    capsLock_ = on;
    holdModifiers(0, on);
  }

  std::optional<Text> clipboardText() override {
    const ClipboardRelease released(*this);
    if (!OpenClipboard(nullptr)) return std::nullopt;
    std::optional<Text> text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
      if (const auto* chars = static_cast<const char16_t*>(GlobalLock(data))) {
        text = Text(chars);
        GlobalUnlock(data);
      }
    }
    CloseClipboard();
    return text;
  }
  void setClipboardText(const std::optional<Text>& text) override {
    const ClipboardRelease released(*this);
    if (!OpenClipboard(nullptr)) return;
    EmptyClipboard();
    if (text) {
      const size_t bytes = (text->size() + 1) * sizeof(char16_t);
      if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes)) {
        auto* chars = static_cast<char16_t*>(GlobalLock(memory));
        std::copy(text->begin(), text->end(), chars);
        chars[text->size()] = u'\0';
        GlobalUnlock(memory);
        if (SetClipboardData(CF_UNICODETEXT, memory) == nullptr) GlobalFree(memory);
      }
    }
    CloseClipboard();
  }
  void setClipboardLocked(bool locked) override {
    if (!locked)
      clipboardHolder_.reset();
    else if (!clipboardHolder_)
      clipboardHolder_ = std::make_unique<ClipboardHolder>();
  }

  void setPrinters(const std::vector<ScriptPrinter>& printers, int32_t current) override {
    OrderedJson list = OrderedJson::array();
    for (const ScriptPrinter& p : printers)
      list.push_back(
          {{"name", toUtf8(p.name)}, {"driver", toUtf8(p.driver)}, {"port", toUtf8(p.port)}});
    callProbe(&win32::ITaviProbe::InstallPrinters, {{"printers", list}, {"current", current}});
  }
  void scriptPrintDialog(const ScriptDialogAnswer& a) override {
    OrderedJson answer = "cancel";
    if (!a.cancel) {
      answer = OrderedJson::object();
      if (a.printer) answer["printer"] = toUtf8(*a.printer);
      const std::pair<const char*, const std::optional<int16_t>*> numbers[] = {
          {"copies", &a.copies},
          {"orientation", &a.orientation},
          {"duplex", &a.duplex},
          {"paperSize", &a.paperSize},
          {"printQuality", &a.printQuality}};
      for (const auto& [name, value] : numbers)
        if (*value) answer[name] = **value;
    }
    callProbe(&win32::ITaviProbe::ScriptPrintDialog, answer);
  }
  PrintoutReport printout() override {
    BSTR json = nullptr;
    if (FAILED(controls_.front()->probe().Printout(&json))) notAvailable("printout");
    const OrderedJson printed = parseBstr(json);
    PrintoutReport report;
    for (const OrderedJson& d : printed["documents"]) {
      DocumentReport& document = report.documents.emplace_back();
      document.printer = fromUtf8(d["printer"].get<std::string>());
      document.copies = d["copies"].get<int16_t>();
      document.orientation = d["orientation"].get<int16_t>();
      document.duplex = d["duplex"].get<int16_t>();
      document.paperSize = d["paperSize"].get<int16_t>();
      document.printQuality = d["printQuality"].get<int16_t>();
      document.ended = d["ended"].get<bool>();
      for (const OrderedJson& page : d["pages"]) {
        std::vector<PrintOpReport>& ops = document.pages.emplace_back();
        for (const OrderedJson& op : page) {
          if (op.contains("line")) {
            const OrderedJson& at = op["line"];
            ops.emplace_back(PrintedLineReport{at[0].get<float>(), at[1].get<float>(),
                                               at[2].get<float>(), at[3].get<float>(),
                                               op["color"].get<int32_t>()});
          } else {
            ops.emplace_back(PrintedTextReport{fromUtf8(op["text"].get<std::string>()),
                                               op["x"].get<float>(), op["y"].get<float>(),
                                               op["fontSize"].get<float>()});
          }
        }
      }
    }
    if (const OrderedJson& given = printed["dialog"]; !given.is_null()) {
      const auto bytesOrNone = [](const OrderedJson& bytes) {
        return bytes.is_null() ? std::nullopt : std::optional(bytes.get<std::vector<uint8_t>>());
      };
      report.dialog = DialogRecordsReport{
          given["flags"].get<uint32_t>(), bytesOrNone(given["devmode"]),
          bytesOrNone(given["devnames"]), given["printdlg"].get<std::vector<uint8_t>>()};
    }
    return report;
  }

  std::vector<MessageBoxReport> drainMessageBoxes() override {
    std::vector<MessageBoxReport> boxes;
    if (controls_.empty()) return boxes;
    BSTR json = nullptr;
    if (FAILED(controls_.front()->probe().DrainMessageBoxes(&json))) return boxes;
    for (const OrderedJson& box : parseBstr(json))
      boxes.push_back({fromUtf8(box["text"].get<std::string>()), box["style"].get<int32_t>(),
                       fromUtf8(box["title"].get<std::string>())});
    return boxes;
  }

 private:
  // The outside world's own clipboard accesses are never locked out: the holder lets go
  // for them and takes the clipboard again after.
  class ClipboardRelease {
   public:
    explicit ClipboardRelease(Win32ScriptPlatform& p)
        : p_(p), held_(p.clipboardHolder_ != nullptr) {
      p_.clipboardHolder_.reset();
    }
    ~ClipboardRelease() {
      if (held_) p_.clipboardHolder_ = std::make_unique<ClipboardHolder>();
    }
    ClipboardRelease(const ClipboardRelease&) = delete;
    ClipboardRelease& operator=(const ClipboardRelease&) = delete;

   private:
    Win32ScriptPlatform& p_;
    bool held_;
  };

  // Hands `request` to a printer call of the probe; the control refuses bad input.
  void callProbe(HRESULT (STDMETHODCALLTYPE win32::ITaviProbe::*call)(BSTR),
                 const OrderedJson& request) {
    const Text text = fromUtf8(request.dump());
    BSTR json = SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.data()),
                                  static_cast<UINT>(text.size()));
    const HRESULT result = (controls_.front()->probe().*call)(json);
    SysFreeString(json);
    if (FAILED(result)) throw std::invalid_argument("the control refused the printer script");
  }

  bool capsLock_ = false;
  std::unique_ptr<ClipboardHolder> clipboardHolder_;
  std::vector<std::unique_ptr<Win32ScriptControl>> controls_;
};

}  // namespace

std::unique_ptr<ScriptPlatform> makeWin32Platform() {
  return std::make_unique<Win32ScriptPlatform>();
}

}  // namespace tavi::script
