#include "win32/widgets/services.h"

#include <olectl.h>

#include <cstring>

#include "shell/runtime_error.h"
#include "shell/widgets/edit_surface.h"
#include "surface/insertion.h"
#include "win32/widgets/units.h"

namespace tavi::win32 {

namespace {

constexpr wchar_t kClipboardOwnerClass[] = L"TaviColorTextClipboardOwner";
// Another program may hold the clipboard for a moment; it gets a few short chances.
constexpr int kOpenAttempts = 5;
constexpr DWORD kOpenRetryDelay = 10;  // ms

}  // namespace

// ---- Screen ----

void Win32Screen::setMousePointer(int16_t pointer) {
  pointer_ = pointer;
  if (HCURSOR cursor = overrideCursor())
    SetCursor(cursor);
  else
    SetCursor(LoadCursorW(nullptr, IDC_ARROW));
}

HCURSOR Win32Screen::overrideCursor() const {
  return pointer_ == kPointerHourglass ? LoadCursorW(nullptr, IDC_WAIT) : nullptr;
}

// The system colour code (top bit set, index in the low byte) through OLE's colour
// translation, which refuses the indices the system does not have.
std::optional<int32_t> Win32Screen::systemColor(int index) const {
  if (index < 0 || index > 0xFF) return std::nullopt;
  COLORREF rgb = 0;
  if (FAILED(OleTranslateColor(0x80000000u | static_cast<OLE_COLOR>(index), nullptr, &rgb)))
    return std::nullopt;
  return static_cast<int32_t>(rgb);
}

// ---- Clipboard ----

// The clipboard opened for this thread, closed again when the object goes.
class Win32Clipboard::Opened {
 public:
  explicit Opened(HWND owner) {
    for (int attempt = 0; attempt < kOpenAttempts; ++attempt) {
      if (OpenClipboard(owner)) return;
      Sleep(kOpenRetryDelay);
    }
    throw RuntimeError(err::kCantOpenClipboard);
  }
  ~Opened() { CloseClipboard(); }
  Opened(const Opened&) = delete;
  Opened& operator=(const Opened&) = delete;
};

Win32Clipboard::~Win32Clipboard() {
  if (owner_ != nullptr && IsWindow(owner_)) DestroyWindow(owner_);
}

HWND Win32Clipboard::owner() {
  if (owner_ == nullptr || !IsWindow(owner_)) {
    // No code of ours behind the window: it only has to exist.
    registerWindowClass(kClipboardOwnerClass, DefWindowProcW, 0, nullptr, nullptr);
    owner_ = CreateWindowExW(0, kClipboardOwnerClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                             moduleInstance(), nullptr);
  }
  return owner_;
}

std::optional<Text> Win32Clipboard::text() {
  Opened opened(owner());
  if (!IsClipboardFormatAvailable(CF_UNICODETEXT)) return std::nullopt;
  HANDLE data = GetClipboardData(CF_UNICODETEXT);
  if (data == nullptr) return std::nullopt;
  const auto* chars = static_cast<const wchar_t*>(GlobalLock(data));
  if (chars == nullptr) return std::nullopt;
  // The text ends at its NUL, or at the end of the block of one without.
  const size_t capacity = GlobalSize(data) / sizeof(wchar_t);
  size_t n = 0;
  while (n < capacity && chars[n] != L'\0') ++n;
  Text text = withCrLfBreaks(toText(chars, n));
  GlobalUnlock(data);
  return text;
}

void Win32Clipboard::setText(TextView text) {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
  if (block == nullptr) throw RuntimeError(7, "Out of memory");
  auto* chars = static_cast<wchar_t*>(GlobalLock(block));
  std::memcpy(chars, text.data(), text.size() * sizeof(wchar_t));
  chars[text.size()] = L'\0';
  GlobalUnlock(block);
  try {
    Opened opened(owner());
    EmptyClipboard();
    if (SetClipboardData(CF_UNICODETEXT, block) == nullptr)
      throw RuntimeError(err::kCantOpenClipboard);
  } catch (...) {
    GlobalFree(block);
    throw;
  }
}

void Win32Clipboard::clear() {
  Opened opened(owner());
  EmptyClipboard();
}

// ---- Message boxes ----

int Win32MessageBoxes::show(TextView text, int32_t style, TextView title) {
  if (answerer_) return answerer_(text, style, title);
  // Owned by the window that has the keyboard, so that it stays in front of the host.
  HWND owner = GetActiveWindow();
  return MessageBoxW(owner, wideString(text).c_str(), wideString(title).c_str(),
                     static_cast<UINT>(style));
}

Win32Services& Win32Services::forThisThread() {
  thread_local Win32Services services;
  return services;
}

}  // namespace tavi::win32
