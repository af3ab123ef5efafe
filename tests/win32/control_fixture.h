// A control in real Windows widgets as a host builds it: ControlWindow, the core's control
// on its widgets, attached and laid out, keyword colouring on, loading done. Input goes in
// as window messages to the editor; modifier keys through the thread's keyboard state.
// Message boxes are answered OK at once and recorded.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>
#include <richedit.h>

#include <algorithm>
#include <memory>
#include <semaphore>
#include <string>
#include <thread>
#include <vector>

#include "shell/control.h"
#include "shell/runtime_error.h"
#include "win32/widgets/control_window.h"
#include "win32/widgets/services.h"

namespace tavi::testing {

class RecordedEvents final : public EventSink {
 public:
  void onChange() override { ++changes; }
  void onEvent(int16_t& id) override { ids.push_back(id); }
  int count(int id) const { return static_cast<int>(std::count(ids.begin(), ids.end(), id)); }
  int changes = 0;
  std::vector<int> ids;
};

// Runs the thread's pending messages (paints, posted choices).
inline void pumpMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

// The number of the runtime error that `call` raises, 0 when it raises none.
template <typename Call>
int errorOf(Call call) {
  try {
    call();
  } catch (const RuntimeError& error) {
    return error.number();
  }
  return 0;
}

// One key as the keyboard gives it to `editor`: down, its character (if any), up.
inline void sendKey(HWND editor, WORD vk, wchar_t ch = 0) {
  SendMessageW(editor, WM_KEYDOWN, vk, 1);
  if (ch != 0) SendMessageW(editor, WM_CHAR, ch, 1);
  SendMessageW(editor, WM_KEYUP, vk, static_cast<LPARAM>(0xC0000001u));
}

// Holds Shift (1), Ctrl (2), Alt (4) and Tab (8) down in the thread's keyboard state, as
// GetKeyState reports it while a key message is handled.
inline void holdModifiers(int mask) {
  BYTE keys[256];
  GetKeyboardState(keys);
  keys[VK_SHIFT] = (mask & 1) != 0 ? 0x80 : 0;
  keys[VK_CONTROL] = (mask & 2) != 0 ? 0x80 : 0;
  keys[VK_MENU] = (mask & 4) != 0 ? 0x80 : 0;
  keys[VK_TAB] = (mask & 8) != 0 ? 0x80 : 0;
  SetKeyboardState(keys);
}

// The clipboard opened by another thread until the object goes.
class ClipboardHeldElsewhere {
 public:
  ClipboardHeldElsewhere() { opened_.acquire(); }
  ~ClipboardHeldElsewhere() {
    release_.release();
    thread_.join();
  }

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

class ControlFixture : public ::testing::Test {
 protected:
  ControlFixture() {
    services().messages.setAnswerer([this](TextView text, int32_t, TextView) {
      messages.emplace_back(text);
      return 1;
    });
    control = std::make_unique<TaviColorText>(window.widgets());
    window.attach(control.get());
    control->addEventSink(&events);
    control->m_strMaximumSize = u"At most %1 characters.";
    control->m_strPopUpMenu = u"Undo,Cut,Copy,Paste,Delete,Select All";
    control->m_bFirstTime = false;
    control->resize();
    control->putKeywordHighlight_flag(Variant::fromBool(true));
    control->putLoad_flag(Variant::fromBool(false));
  }
  ~ControlFixture() override {
    holdModifiers(0);
    control->removeEventSink(&events);
    window.attach(nullptr);
    control.reset();  // unhooks the editor while its window still exists
    services().messages.setAnswerer(nullptr);
  }

  static win32::Win32Services& services() { return win32::Win32Services::forThisThread(); }
  HWND frame() const { return GetDlgItem(window.hwnd(), win32::kFrameId); }
  HWND editor() const { return GetDlgItem(frame(), win32::kEditorId); }
  HWND gutter() const { return GetDlgItem(frame(), win32::kGutterId); }

  void key(WORD vk, wchar_t ch = 0, int modifiers = 0) {
    holdModifiers(modifiers);
    sendKey(editor(), vk, ch);
    holdModifiers(0);
  }
  void load(TextView text) { control->putText(Variant::fromString(Text(text))); }

  win32::ControlWindow window;
  std::unique_ptr<TaviColorText> control;
  RecordedEvents events;
  std::vector<Text> messages;
};

// The control shown in a top-level window, with the keyboard focus in its editor: for what
// needs pixels on the screen or the real focus. The window stays for the whole run (hiding
// a shown window costs Wine seconds on a display without a window manager).
class ShownControlFixture : public ControlFixture {
 protected:
  ShownControlFixture() {
    static const HWND host = [] {
      HWND w = CreateWindowExW(0, L"STATIC", L"Host", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0,
                               660, 460, nullptr, nullptr, nullptr, nullptr);
      ShowWindow(w, SW_SHOW);
      return w;
    }();
    window.setParent(host);
    window.setBounds(RECT{0, 0, 640, 420});
    window.setVisible(true);
    SetForegroundWindow(host);
    SetFocus(editor());
    UpdateWindow(host);
    pumpMessages();
  }
  ~ShownControlFixture() override {
    window.setVisible(false);
    window.setParent(nullptr);
  }
};

}  // namespace tavi::testing
