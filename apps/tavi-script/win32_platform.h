// tavi-script on Windows: each control is the registered TaviColorTxt.dll, created from its
// ProgID and sited in a window of its own through COM (com-hosting). Calls go through its
// IDispatch, events come to a sink on its connection point, a person's input goes to the
// editor window as window messages, and what the widgets show is read from the RichEdit
// window; the core's own state comes through the control's private probe interface.
#pragma once

#include <memory>

#include "tavi-script/script_platform.h"

namespace tavi::script {

std::unique_ptr<ScriptPlatform> makeWin32Platform();

}  // namespace tavi::script
