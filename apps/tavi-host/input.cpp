#include "input.h"

// After windows.h, which it needs.
#include <oleidl.h>

#include <vector>

#include "hosted_control.h"

namespace tavi::host {

namespace {

struct NamedKey {
  const wchar_t* name;
  UINT vk;
  wchar_t typed;  // the character the key types, 0 for none
};

constexpr NamedKey kNamedKeys[] = {
    {L"ENTER", VK_RETURN, L'\r'}, {L"TAB", VK_TAB, L'\t'}, {L"ESC", VK_ESCAPE, 0x1B},
    {L"BS", VK_BACK, L'\b'},      {L"DEL", VK_DELETE, 0},  {L"UP", VK_UP, 0},
    {L"DOWN", VK_DOWN, 0},        {L"LEFT", VK_LEFT, 0},   {L"RIGHT", VK_RIGHT, 0},
    {L"HOME", VK_HOME, 0},        {L"END", VK_END, 0},     {L"PGUP", VK_PRIOR, 0},
    {L"PGDN", VK_NEXT, 0},        {L"{", 0, L'{'},
};

struct Stroke {
  UINT vk;
  wchar_t typed;
};

Stroke characterStroke(wchar_t c) {
  if (c == L'\n') return {VK_RETURN, L'\r'};
  const SHORT scan = VkKeyScanW(c);
  // A character without a key of its own comes as injected Unicode input does.
  return {scan == -1 ? static_cast<UINT>(VK_PACKET) : LOBYTE(scan), c};
}

bool namedStroke(std::wstring_view name, Stroke& stroke) {
  for (const NamedKey& k : kNamedKeys) {
    if (name != k.name) continue;
    stroke = {k.vk != 0 ? k.vk : characterStroke(k.typed).vk, k.typed};
    return true;
  }
  if (name.size() < 2 || name.size() > 3 || name[0] != L'F') return false;
  int f = 0;
  for (wchar_t d : name.substr(1)) {
    if (d < L'0' || d > L'9') return false;
    f = f * 10 + (d - L'0');
  }
  if (f < 1 || f > 12) return false;
  stroke = {static_cast<UINT>(VK_F1 + f - 1), 0};
  return true;
}

bool isExtended(UINT vk) {
  return (vk >= VK_PRIOR && vk <= VK_DOWN) || vk == VK_INSERT || vk == VK_DELETE;
}

}  // namespace

bool Input::type(HWND target, std::wstring_view keys, std::string& error) {
  std::vector<Stroke> strokes;
  for (size_t i = 0; i < keys.size(); ++i) {
    if (keys[i] != L'{') {
      strokes.push_back(characterStroke(keys[i]));
      continue;
    }
    // "{{}" names the brace itself, so the name ends at the first "}" after it.
    const size_t end = keys.find(L'}', i + 2);
    Stroke stroke{};
    if (end == std::wstring_view::npos || !namedStroke(keys.substr(i + 1, end - i - 1), stroke)) {
      error = "unknown key name at character " + std::to_string(i + 1);
      return false;
    }
    strokes.push_back(stroke);
    i = end;
  }
  for (const Stroke& s : strokes) key(target, s.vk, s.typed);
  return true;
}

void Input::key(HWND target, UINT vk, wchar_t typed) {
  const UINT scan = MapVirtualKeyW(vk, MAPVK_VK_TO_VSC);
  const LPARAM down = 1 | (scan << 16) | (isExtended(vk) ? 1 << 24 : 0);
  // Key up: previous state down (bit 30), transition up (bit 31).
  const LPARAM up = down | (1 << 30) | (1u << 31);
  PostMessageW(target, WM_KEYDOWN, vk, down);
  drain();
  if (typed != 0) {
    PostMessageW(target, WM_CHAR, typed, down);
    drain();
  }
  PostMessageW(target, WM_KEYUP, vk, up);
  drain();
}

void Input::click(HWND target, POINT at) {
  const LPARAM where = MAKELPARAM(at.x, at.y);
  PostMessageW(target, WM_MOUSEMOVE, 0, where);
  PostMessageW(target, WM_LBUTTONDOWN, MK_LBUTTON, where);
  drain();
  PostMessageW(target, WM_LBUTTONUP, 0, where);
  drain();
}

void Input::dispatch(MSG& message) {
  IOleInPlaceActiveObject* active = control_.activeObject();
  if (active != nullptr && message.message >= WM_KEYFIRST && message.message <= WM_KEYLAST &&
      active->TranslateAccelerator(&message) == S_OK)
    return;
  DispatchMessageW(&message);
}

void Input::drain() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    dispatch(message);
  }
}

bool Input::runUntil(DWORD ms, const std::function<bool()>& done) {
  const ULONGLONG end = GetTickCount64() + ms;
  for (;;) {
    drain();
    if (done()) return true;
    const ULONGLONG now = GetTickCount64();
    if (now >= end) return false;
    // Wake at least every 20 ms, so that `done` is asked again even when no message comes.
    const DWORD wait = static_cast<DWORD>(end - now < 20 ? end - now : 20);
    MsgWaitForMultipleObjects(0, nullptr, FALSE, wait, QS_ALLINPUT);
  }
}

int runInteractive(const HostedControl& control) {
  MSG message;
  BOOL got;
  while ((got = GetMessageW(&message, nullptr, 0, 0)) != 0) {
    if (got == -1) return 1;
    IOleInPlaceActiveObject* active = control.activeObject();
    if (active != nullptr && message.message >= WM_KEYFIRST && message.message <= WM_KEYLAST &&
        active->TranslateAccelerator(&message) == S_OK)
      continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}

}  // namespace tavi::host
