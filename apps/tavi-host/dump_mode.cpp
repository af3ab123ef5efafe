// The state dump, for people debugging the control in a real container.
#include <windows.h>
// After windows.h, which it needs.
#include <richedit.h>

#include <cstdio>

#include "automation.h"
#include "host_window.h"
#include "input.h"
#include "modes.h"
#include "win32/widgets/control_window.h"

namespace tavi::host {

namespace {

// One tick of the control's timer and a little more, for the gutter to catch up.
constexpr DWORD kSettleMs = 1100;

const char* shown(HWND window) {
  if (window == nullptr) return "missing";
  return IsWindowVisible(window) ? "visible" : "hidden";
}

bool dump(HostWindow& host, const DumpOptions& options, std::string& error) {
  if (!host.open(640, 400, error) || !host.control().configure(error)) return false;
  HostedControl& control = host.control();
  IDispatch* automation = control.automation();
  HWND editor = control.child(win32::kEditorId);
  if (editor == nullptr) {
    error =
        "the control has no editor window (control id " + std::to_string(win32::kEditorId) + ")";
    return false;
  }
  Input input(control);
  if (!options.text.empty() &&
      !putProperty(automation, L"Text", Variant::text(options.text), error))
    return false;
  if (!options.keys.empty()) {
    input.click(editor, POINT{2, 2});
    SetFocus(editor);
    if (!input.type(editor, options.keys, error)) return false;
  }
  input.runUntil(kSettleMs, [] { return false; });

  Variant value, length;
  std::wstring text, count;
  if (!getProperty(automation, L"Value", value, error) ||
      !getProperty(automation, L"Length", length, error))
    return false;
  value.toText(text);
  length.toText(count);
  CHARRANGE selection{};
  SendMessageW(editor, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
  const EventSink& events = control.events();
  std::string ids;
  for (short id : events.eventIds()) ids += " " + std::to_string(id);

  std::printf("Value: %s\n", quoted(text).c_str());
  std::printf("Length: %s\n", utf8(count).c_str());
  std::printf("Selection: start %ld, length %ld\n", selection.cpMin,
              selection.cpMax - selection.cpMin);
  std::printf("First visible line: %ld\n",
              static_cast<long>(SendMessageW(editor, EM_GETFIRSTVISIBLELINE, 0, 0)));
  std::printf("Keyword list: %s\n", shown(control.child(win32::kListId)));
  std::printf("Parameter hint: %s\n", shown(control.child(win32::kHintId)));
  std::printf("onChange: %d\n", events.changes());
  std::printf("onEvent:%s\n", ids.empty() ? " none" : ids.c_str());
  if (events.malformed() != 0) std::printf("Malformed event calls: %d\n", events.malformed());
  std::fflush(stdout);
  return true;
}

}  // namespace

int runDump(const DumpOptions& options) {
  HostWindow host;
  std::string error;
  const bool dumped = dump(host, options, error);
  if (!dumped) std::printf("error: %s\n", error.c_str());
  std::string closeError;
  if (!host.close(closeError)) std::printf("error: %s\n", closeError.c_str());
  std::fflush(stdout);
  return dumped && closeError.empty() ? 0 : 1;
}

}  // namespace tavi::host
