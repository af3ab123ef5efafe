// The headless window system: the window-procedure table of the core, so that the
// editor's hook sees the scroll messages the headless surface delivers.
#pragma once

#include "shell/window_table.h"

namespace tavi {

class HeadlessWindowSystem final : public WindowTable {
 public:
  HeadlessWindowSystem() : WindowTable(0x10010) {}
};

}  // namespace tavi
