// ITaviProbe of ComControl (core_probe.h): the core's state and the widgets' state as
// JSON for test hosts, message boxes answered by themselves, and the printers and the
// popup menu answered by script.
#include "win32/core_probe.h"

#include <nlohmann/json.hpp>

#include <exception>
#include <string>
#include <vector>

#include "shell/text.h"
#include "tavi-script/core_state.h"
#include "win32/com_control.h"
#include "win32/printer_script.h"
#include "win32/widgets/edit_surface.h"
#include "win32/widgets/floating.h"
#include "win32/widgets/gutter_canvas.h"
#include "win32/widgets/services.h"

namespace tavi::win32 {

namespace {

using OrderedJson = nlohmann::ordered_json;

HRESULT answer(const OrderedJson& json, BSTR* out) {
  if (out == nullptr) return E_POINTER;
  const Text text = fromUtf8(json.dump(-1, ' ', false, OrderedJson::error_handler_t::replace));
  *out = SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.data()),
                           static_cast<UINT>(text.size()));
  return *out != nullptr ? S_OK : E_OUTOFMEMORY;
}

OrderedJson parse(BSTR json) {
  return OrderedJson::parse(toUtf8(
      Text(reinterpret_cast<const char16_t*>(json), json != nullptr ? SysStringLen(json) : 0)));
}

// A call on the printer script: bad input is an invalid argument and changes nothing.
template <typename Call>
HRESULT onPrinterScript(Call&& call) {
  try {
    call(PrinterScript::forThisThread());
    return S_OK;
  } catch (const std::exception&) {
    return E_INVALIDARG;
  }
}

// The message boxes of this thread recorded since the last drain; null until the first.
thread_local std::vector<OrderedJson>* recordedBoxes = nullptr;

}  // namespace

HRESULT ComControl::CoreState(BSTR* json) {
  const KeepAlive alive(*this);
  return answer(script::coreStateOf(*control_), json);
}

HRESULT ComControl::WidgetState(BSTR* json) {
  const KeepAlive alive(*this);
  const Widgets w = window_->widgets();
  const auto& editor = static_cast<const Win32EditSurface&>(*w.editor);
  const HWND focus = GetFocus();
  const HWND list = GetDlgItem(editor.hwnd(), kListId);
  std::vector<std::string> items;
  for (int32_t i = 0; i < w.list->listCount(); ++i) items.push_back(toUtf8(w.list->item(i)));
  OrderedJson state;
  state["hideSelection"] = editor.hideSelection();
  state["locked"] = editor.locked();
  state["maxLength"] = editor.maxLength();
  state["mousePointer"] = editor.mousePointer();
  state["screenPointer"] = w.screen->mousePointer();
  state["focus"] = focus == editor.hwnd() ? "surface" : focus == list ? "list" : "away";
  state["list"] = {{"visible", w.list->visible()},
                   {"left", w.list->left()},
                   {"top", w.list->top()},
                   {"listIndex", w.list->listIndex()},
                   {"items", items}};
  state["hint"] = {{"visible", w.hint->visible()}, {"text", toUtf8(w.hint->text())},
                   {"left", w.hint->left()},       {"top", w.hint->top()},
                   {"width", w.hint->width()},     {"height", w.hint->height()}};
  state["gutterPainted"] = static_cast<const Win32GutterCanvas&>(*w.gutter).paintedByControl();
  return answer(state, json);
}

HRESULT ComControl::Terminate() {
  const KeepAlive alive(*this);
  control_->terminate();
  return S_OK;
}

HRESULT ComControl::DrainMessageBoxes(BSTR* json) {
  if (recordedBoxes == nullptr) {
    recordedBoxes = new std::vector<OrderedJson>;  // for the thread's life
    Win32Services::forThisThread().messages.setAnswerer(
        [](TextView text, int32_t style, TextView title) {
          recordedBoxes->push_back(
              {{"text", toUtf8(text)}, {"title", toUtf8(title)}, {"style", style}});
          return IDOK;
        });
  }
  OrderedJson boxes = OrderedJson::array();
  for (OrderedJson& box : *recordedBoxes) boxes.push_back(std::move(box));
  recordedBoxes->clear();
  return answer(boxes, json);
}

HRESULT ComControl::InstallPrinters(BSTR json) {
  return onPrinterScript([json](PrinterScript& script) {
    const OrderedJson request = parse(json);
    script.installPrinters(request.at("printers"), request.at("current").get<int32_t>());
  });
}

HRESULT ComControl::ScriptPrintDialog(BSTR json) {
  return onPrinterScript([json](PrinterScript& script) { script.scriptDialog(parse(json)); });
}

HRESULT ComControl::Printout(BSTR* json) {
  return answer(PrinterScript::forThisThread().printout(), json);
}

HRESULT ComControl::ScriptPopupMenu() {
  static_cast<Win32PopupMenu&>(*window_->widgets().menu).answerByScript();
  return S_OK;
}

HRESULT ComControl::MenuItems(BSTR* json) {
  const auto& menu = static_cast<const Win32PopupMenu&>(*window_->widgets().menu);
  std::vector<std::string> items;
  for (int i = 0; i < menu.itemCount(); ++i) {
    wchar_t caption[256] = {};
    GetMenuStringW(menu.menu(), static_cast<UINT>(i), caption, 256, MF_BYPOSITION);
    const std::wstring_view text(caption);
    items.push_back(toUtf8(Text(text.begin(), text.end())));
  }
  return answer(OrderedJson{{"items", items}, {"shown", menu.shownCount()}}, json);
}

HRESULT ComControl::MenuChoice(short entry) {
  static_cast<const Win32PopupMenu&>(*window_->widgets().menu).choose(entry);
  return S_OK;
}

}  // namespace tavi::win32
