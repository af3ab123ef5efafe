// The editing surface's own keys, written once for every platform: which command a key with
// its modifiers is. The platform's surface carries the command out on its text (the model,
// or the real rich-text box), so the table never drifts between them.
#pragma once

#include <cstdint>

#include "shell/keys.h"

namespace tavi {

enum class SurfaceCommand {
  None,           // the surface does nothing with the key
  Move,           // a caret key: Left, Right, Up, Down, Home, End, Page Up, Page Down
  DeleteBack,     // Backspace
  DeleteForward,  // Delete
  Cut,            // Ctrl+X, Shift+Delete
  Copy,           // Ctrl+C, Ctrl+Insert
  Paste,          // Ctrl+V, Shift+Insert
  SelectAll,      // Ctrl+A
  NewLine,        // Enter, also with Shift or Ctrl; not with Alt
  TabOut,         // Tab, with any modifier: the focus moves on, nothing is inserted
  Type,           // the character the key types, if any (never with Ctrl or Alt)
};

struct SurfaceKey {
  SurfaceCommand command = SurfaceCommand::None;
  bool extend = false;  // Move: Shift keeps the anchor
  bool byWord = false;  // Move, DeleteBack, DeleteForward: Ctrl goes by words
};

constexpr SurfaceKey surfaceKeyOf(int16_t keyCode, int16_t shift) {
  const bool withShift = (shift & kShiftMask) != 0;
  const bool ctrl = (shift & kCtrlMask) != 0;
  const bool alt = (shift & kAltMask) != 0;
  switch (keyCode) {
    case vk::kLeft:
    case vk::kRight:
    case vk::kUp:
    case vk::kDown:
    case vk::kHome:
    case vk::kEnd:
    case vk::kPrior:
    case vk::kNext:
      return {SurfaceCommand::Move, withShift, ctrl};
    case vk::kBack:
      return {SurfaceCommand::DeleteBack, false, ctrl};
    case vk::kDelete:
      if (shift == kShiftMask) return {SurfaceCommand::Cut};
      return {SurfaceCommand::DeleteForward, false, ctrl};
    case vk::kInsert:
      if (shift == kCtrlMask) return {SurfaceCommand::Copy};
      if (shift == kShiftMask) return {SurfaceCommand::Paste};
      return {};
    case vk::kReturn:
      return alt ? SurfaceKey{} : SurfaceKey{SurfaceCommand::NewLine};
    case vk::kTab:
      return {SurfaceCommand::TabOut};
    default:
      break;
  }
  if (shift == kCtrlMask) {
    if (keyCode == vk::kX) return {SurfaceCommand::Cut};
    if (keyCode == vk::kC) return {SurfaceCommand::Copy};
    if (keyCode == vk::kV) return {SurfaceCommand::Paste};
    if (keyCode == vk::kA) return {SurfaceCommand::SelectAll};
  }
  if (ctrl || alt) return {};
  return {SurfaceCommand::Type};
}

}  // namespace tavi
