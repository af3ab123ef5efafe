#include "shell/module_state.h"

namespace tavi {

namespace {

ModuleState startUp() {
  ModuleState state;
  state.m_bSafeForScripting = true;
  state.m_bSafeForInitializing = true;
  return state;
}

}  // namespace

ModuleState& ModuleState::forThisThread() {
  thread_local ModuleState state = startUp();
  return state;
}

}  // namespace tavi
