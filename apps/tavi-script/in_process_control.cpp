// The host's calls on a platform that holds the core in this process: straight into the
// control's dispatch table, its event sinks and the thread's module state.
#include "shell/object_safety.h"
#include "tavi-script/core_state.h"
#include "tavi-script/script_platform.h"

namespace tavi::script {

std::optional<int32_t> ScriptControl::idOfName(std::string_view name) {
  return DispatchTable::instance().idOfName(name);
}

InvokeResult ScriptControl::invoke(int32_t dispid, MemberKind kind, std::vector<Variant> args) {
  return DispatchTable::instance().invoke(control(), dispid, kind, std::move(args));
}

void ScriptControl::advise(EventSink& sink) { control().addEventSink(&sink); }

void ScriptControl::unadvise(EventSink& sink) { control().removeEventSink(&sink); }

void ScriptControl::terminate() { control().terminate(); }

nlohmann::ordered_json ScriptControl::coreState() { return coreStateOf(control()); }

uint32_t ScriptControl::getSafety(const Guid* iid, uint32_t* supported, uint32_t* enabled) {
  return GetInterfaceSafetyOptions(control().module(), iid, supported, enabled);
}

uint32_t ScriptControl::setSafety(const Guid* iid, uint32_t mask, uint32_t enabled) {
  return SetInterfaceSafetyOptions(control().module(), iid, mask, enabled);
}

}  // namespace tavi::script
