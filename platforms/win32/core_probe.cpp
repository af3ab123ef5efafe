// ITaviProbe of ComControl (core_probe.h): the core's state and the widgets' state as
// JSON for test hosts, and message boxes answered by themselves.
#include "win32/core_probe.h"

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

#include "shell/text.h"
#include "tavi-script/core_state.h"
#include "win32/com_control.h"
#include "win32/widgets/edit_surface.h"
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

}  // namespace tavi::win32
