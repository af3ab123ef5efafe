// The core's own state as tavi-script reports it: the journals, trackChanges and the flags.
// Written here once for every platform; on Windows the control's DLL compiles it too and
// hands the result out through its private probe interface.
#pragma once

#include <nlohmann/json.hpp>

#include "shell/control.h"

namespace tavi::script {

// {"undo": [...], "redo": [...], "trackChanges": ..., "flags": {...}}
nlohmann::ordered_json coreStateOf(const TaviColorText& control);

}  // namespace tavi::script
