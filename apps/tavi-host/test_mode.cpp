// The end-to-end test of the control in a real container: typing colours keywords and
// raises the events, F1 opens the keyword list, and the gutter follows a scroll by the
// scroll bar within one tick of the control's timer.
#include <windows.h>
// After windows.h, which it needs.
#include <richedit.h>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

#include "automation.h"
#include "host_window.h"
#include "input.h"
#include "modes.h"
#include "win32/widgets/control_window.h"

namespace tavi::host {

namespace {

constexpr DWORD kWatchdogMs = 60000;
// One tick of the control's 1000 ms gutter timer, with room for a late tick.
constexpr DWORD kOneTickMs = 1500;
constexpr COLORREF kKeywordColour = RGB(0, 0, 255);
constexpr wchar_t kTyped[] = L"IF CALL RATE THEN QUIT";

std::atomic<int> failures{0};

void ok(const char* name, const std::string& detail = {}) {
  std::printf("ok %s%s\n", name, detail.empty() ? "" : (" (" + detail + ")").c_str());
  std::fflush(stdout);
}

void fail(const char* name, const std::string& why) {
  ++failures;
  std::printf("FAIL %s: %s\n", name, why.c_str());
  std::fflush(stdout);
}

void check(bool passed, const char* name, const std::string& why) {
  if (passed)
    ok(name);
  else
    fail(name, why);
}

int finish() {
  if (failures == 0)
    std::printf("RESULT: PASS\n");
  else
    std::printf("RESULT: FAIL %d\n", failures.load());
  std::fflush(stdout);
  return failures == 0 ? 0 : 1;
}

// Ends the process when the test hangs (a modal message box, a control that never returns).
DWORD WINAPI watchdog(void* finished) {
  if (WaitForSingleObject(finished, kWatchdogMs) != WAIT_TIMEOUT) return 0;
  fail("watchdog", "the test did not finish within " + std::to_string(kWatchdogMs / 1000) + " s");
  finish();
  TerminateProcess(GetCurrentProcess(), 1);
  return 1;
}

// Reports a crash (in the control or here) as a failure, with the module and offset of the
// faulting address for addr2line, instead of leaving it to the system's debugger.
LONG WINAPI reportCrash(EXCEPTION_POINTERS* info) {
  const EXCEPTION_RECORD* record = info->ExceptionRecord;
  const auto address = reinterpret_cast<uintptr_t>(record->ExceptionAddress);
  HMODULE module = nullptr;
  wchar_t path[MAX_PATH] = L"?";
  if (GetModuleHandleExW(
          GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
          reinterpret_cast<LPCWSTR>(record->ExceptionAddress), &module))
    GetModuleFileNameW(module, path, MAX_PATH);
  const wchar_t* name = wcsrchr(path, L'\\');
  char where[64];
  std::snprintf(where, sizeof where, "+0x%llx",
                static_cast<unsigned long long>(address - reinterpret_cast<uintptr_t>(module)));
  fail("crash", "exception " + hex(static_cast<HRESULT>(record->ExceptionCode)) + " in " +
                    utf8(name != nullptr ? name + 1 : path) + where);
  finish();
  TerminateProcess(GetCurrentProcess(), 1);
  return EXCEPTION_EXECUTE_HANDLER;
}

std::string className(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return utf8(name);
}

// The child window with `id` and window class `expected` (compared without case, empty for
// any), or null after a FAIL line.
HWND findChild(HostedControl& control, int id, const char* what, const char* expected) {
  HWND window = control.child(id);
  if (window == nullptr) {
    fail("child_windows", std::string("no window with the control id of the ") + what + " (" +
                              std::to_string(id) + ")");
    return nullptr;
  }
  if (*expected != '\0' && lstrcmpiA(className(window).c_str(), expected) != 0) {
    fail("child_windows", std::string("the ") + what + " is a \"" + className(window) +
                              "\" window, not \"" + expected + "\"");
    return nullptr;
  }
  return window;
}

// What the editor says about the characters [start, end): colour and weight, when the
// whole range agrees on them.
struct Format {
  bool colourKnown;
  bool autoColour;
  COLORREF colour;
  bool boldKnown;
  bool bold;
};

Format formatOf(HWND editor, LONG start, LONG end) {
  CHARRANGE range{start, end};
  SendMessageW(editor, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
  CHARFORMATW cf{};
  cf.cbSize = sizeof cf;
  SendMessageW(editor, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
  return {(cf.dwMask & CFM_COLOR) != 0, (cf.dwEffects & CFE_AUTOCOLOR) != 0, cf.crTextColor,
          (cf.dwMask & CFM_BOLD) != 0, (cf.dwEffects & CFE_BOLD) != 0};
}

std::string describe(const Format& f) {
  std::string colour = "automatic colour";
  if (!f.colourKnown)
    colour = "mixed colours";
  else if (!f.autoColour)
    colour = "RGB(" + std::to_string(GetRValue(f.colour)) + "," +
             std::to_string(GetGValue(f.colour)) + "," + std::to_string(GetBValue(f.colour)) + ")";
  return colour + ", " + (!f.boldKnown ? "mixed weights" : f.bold ? "bold" : "not bold");
}

// Keywords blue and bold, the text between them in the default colour (black or the
// editor's automatic colour, which is black too) and not bold.
void checkKeywordColours(HWND editor) {
  struct Run {
    LONG start, end;
    bool keyword;
  };
  // "CALL RATE" is one keyword of two words: its space is coloured with it.
  const Run runs[] = {{0, 2, true},   {2, 3, false},   {3, 12, true}, {12, 13, false},
                      {13, 17, true}, {17, 18, false}, {18, 22, true}};
  std::string wrong;
  for (const Run& r : runs) {
    const Format f = formatOf(editor, r.start, r.end);
    const bool right = f.colourKnown && f.boldKnown &&
                       (r.keyword ? !f.autoColour && f.colour == kKeywordColour && f.bold
                                  : (f.autoColour || f.colour == RGB(0, 0, 0)) && !f.bold);
    if (right) continue;
    const std::wstring text(kTyped + r.start, kTyped + r.end);
    wrong += (wrong.empty() ? "" : "; ") + quoted(text) + " [" + std::to_string(r.start) + ", " +
             std::to_string(r.end) + ") is " + describe(f) + ", expected " +
             (r.keyword ? "RGB(0,0,255), bold" : "black, not bold");
  }
  const LONG end = static_cast<LONG>(std::wstring(kTyped).size());
  CHARRANGE caret{end, end};
  SendMessageW(editor, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&caret));
  check(wrong.empty(), "keyword_colours", wrong);
}

std::string idsText(const std::vector<short>& ids) {
  std::string text;
  for (short id : ids) text += (text.empty() ? "" : " ") + std::to_string(id);
  return text.empty() ? "none" : text;
}

// A copy of a window's pixels as they are on the screen.
struct Pixels {
  LONG width = 0, height = 0;
  std::vector<DWORD> data;
  bool operator==(const Pixels&) const = default;
};

bool capture(HWND window, Pixels& out) {
  RECT client{};
  GetClientRect(window, &client);
  out.width = client.right;
  out.height = client.bottom;
  out.data.assign(static_cast<size_t>(out.width) * static_cast<size_t>(out.height), 0);
  if (out.data.empty()) return false;
  HDC screen = GetDC(window);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = out.width;
  info.bmiHeader.biHeight = -out.height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  bool copied = false;
  if (bitmap != nullptr) {
    HGDIOBJ previous = SelectObject(memory, bitmap);
    copied = BitBlt(memory, 0, 0, out.width, out.height, screen, 0, 0, SRCCOPY) != FALSE;
    GdiFlush();
    if (copied) std::memcpy(out.data.data(), bits, out.data.size() * sizeof(DWORD));
    SelectObject(memory, previous);
    DeleteObject(bitmap);
  }
  DeleteDC(memory);
  ReleaseDC(window, screen);
  return copied;
}

LONG firstVisibleLine(HWND editor) {
  return static_cast<LONG>(SendMessageW(editor, EM_GETFIRSTVISIBLELINE, 0, 0));
}

// The scroll bar's own messages: the step, then the end of scrolling.
void scrollBar(HWND editor, WORD request) {
  SendMessageW(editor, WM_VSCROLL, MAKEWPARAM(request, 0), 0);
  SendMessageW(editor, WM_VSCROLL, MAKEWPARAM(SB_ENDSCROLL, 0), 0);
}

void checkGutterAfterScroll(HostWindow& host, Input& input, HWND editor, HWND gutter) {
  IDispatch* control = host.control().automation();
  std::wstring lines;
  for (int i = 1; i <= 150; ++i) lines += L"WAIT 2 line " + std::to_wstring(i) + L"\n";
  std::string error;
  Variant ignored;
  if (!callMethod(control, L"SelectAll", ignored, error) ||
      !putProperty(control, L"Text", Variant::text(lines), error)) {
    fail("scroll_moves_text", "loading the lines: " + error);
    return;
  }
  // Start from the top with the gutter settled: one tick after the scroll to the top.
  scrollBar(editor, SB_TOP);
  input.runUntil(kOneTickMs, [] { return false; });
  const LONG top = firstVisibleLine(editor);
  Pixels before;
  if (!capture(gutter, before)) {
    fail("gutter_follows_scroll", "the gutter's pixels cannot be read (BitBlt failed)");
    return;
  }

  scrollBar(editor, SB_PAGEDOWN);
  const LONG moved = firstVisibleLine(editor);
  if (moved <= top) {
    fail("scroll_moves_text", "the first visible line is " + std::to_string(moved) +
                                  " after SB_PAGEDOWN, " + std::to_string(top) + " before");
    return;
  }
  ok("scroll_moves_text");

  Pixels after;
  const DWORD start = GetTickCount();
  const bool changed =
      input.runUntil(kOneTickMs, [&] { return capture(gutter, after) && !(after == before); });
  if (!changed) {
    fail("gutter_follows_scroll", "the gutter's pixels did not change within " +
                                      std::to_string(kOneTickMs) + " ms of the scroll");
    return;
  }
  ok("gutter_follows_scroll", "after " + std::to_string(GetTickCount() - start) + " ms");

  // The repaint after the scroll shows what a full repaint of the gutter shows.
  RedrawWindow(gutter, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  input.drain();
  Pixels repainted;
  capture(gutter, repainted);
  size_t differing = 0;
  for (size_t i = 0; i < repainted.data.size() && i < after.data.size(); ++i)
    differing += repainted.data[i] != after.data[i];
  check(repainted == after, "gutter_full_repaint",
        std::to_string(differing) + " of " + std::to_string(after.data.size()) +
            " pixels differ between the gutter after the scroll and after a full repaint");
}

void runChecks(HostWindow& host) {
  std::string error;
  if (!host.open(640, 400, error)) {
    fail("site", error);
    return;
  }
  ok("site");
  HostedControl& control = host.control();
  HWND editor = findChild(control, win32::kEditorId, "editor", "RICHEDIT");
  HWND list = findChild(control, win32::kListId, "keyword list", "LISTBOX");
  HWND gutter = findChild(control, win32::kGutterId, "gutter", "");
  HWND hint = findChild(control, win32::kHintId, "parameter hint", "RICHEDIT");
  if (editor == nullptr || list == nullptr || gutter == nullptr || hint == nullptr) return;
  ok("child_windows");
  if (!control.configure(error)) {
    fail("configure", error);
    return;
  }
  ok("configure");

  Input input(control);
  // A click first, as a person's: the key handling colours words only once the caret has
  // been placed by a click or a navigation key.
  control.events().clear();
  input.click(editor, POINT{2, 2});
  check(control.events().eventIds() == std::vector<short>{1006}, "click_event",
        "onEvent ids after a click: " + idsText(control.events().eventIds()) + ", expected 1006");

  control.events().clear();
  SetFocus(editor);
  input.type(editor, kTyped, error);
  IDispatch* automation = control.automation();
  Variant value, length;
  std::wstring text;
  long count = -1;
  if (!getProperty(automation, L"Value", value, error) || !value.toText(text) ||
      !getProperty(automation, L"Length", length, error) || !length.toLong(count)) {
    fail("typed_value", error.empty() ? "Value or Length is not a string or a number" : error);
    return;
  }
  const long typedCount = static_cast<long>(std::wstring(kTyped).size());
  check(text == kTyped && count == typedCount, "typed_value",
        "Value " + quoted(text) + ", Length " + std::to_string(count) + ", expected " +
            quoted(kTyped) + " and " + std::to_string(typedCount));
  checkKeywordColours(editor);

  // One recorded edit (onChange) and one key release (onEvent 1007) per character.
  const EventSink& events = control.events();
  const std::vector<short> releases(static_cast<size_t>(typedCount), 1007);
  check(events.changes() == typedCount && events.eventIds() == releases && events.malformed() == 0,
        "typing_events",
        std::to_string(events.changes()) + " onChange, onEvent ids " + idsText(events.eventIds()) +
            ", " + std::to_string(events.malformed()) + " malformed calls; expected " +
            std::to_string(typedCount) + " onChange and " + std::to_string(typedCount) +
            " times 1007");

  input.type(editor, L"{F1}", error);
  check(IsWindowVisible(list), "f1_list", "the keyword list is not visible after F1");
  input.type(editor, L"{ESC}", error);
  check(!IsWindowVisible(list), "escape_hides_list",
        "the keyword list is still visible after Escape");

  checkGutterAfterScroll(host, input, editor, gutter);
}

}  // namespace

int runTest() {
  SetUnhandledExceptionFilter(reportCrash);
  HANDLE finished = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HANDLE guard = CreateThread(nullptr, 0, watchdog, finished, 0, nullptr);
  {
    HostWindow host;
    runChecks(host);
    std::string error;
    if (!host.close(error)) fail("teardown", error);
  }
  SetEvent(finished);
  if (guard != nullptr) {
    WaitForSingleObject(guard, INFINITE);
    CloseHandle(guard);
  }
  CloseHandle(finished);
  return finish();
}

}  // namespace tavi::host
