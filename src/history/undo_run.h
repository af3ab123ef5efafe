// Undo by words: which recorded edits extend the newest undo step instead of adding one. A
// run is a word typed and the blanks typed after it, or Backspaces in a row, or Deletes in
// a row, each at the place where the one before left the caret. The journal keeps its
// whole-text snapshots; a continuing edit only replaces the newest one (undo_recording.h).
#pragma once

#include <cstdint>

namespace tavi {

// What a key press will do to the text when the surface acts on it.
enum class KeyEdit {
  None,       // no edit that can join a run: Enter, Tab, a shortcut, a swallowed key
  WordChar,   // types a character other than a blank
  Blank,      // types a blank
  Backspace,  // deletes before the caret
  Delete,     // deletes after the caret
};

KeyEdit KeyEditOf(int16_t keyCode, int16_t shift);

class UndoRun {
 public:
  // A key went down with the caret at `caret` (and a selection when `selection`). The
  // surface's change for it, if any, is the key's edit until the key goes up. A caret key,
  // Enter or Tab ends the run at once.
  void keyPressed(int16_t keyCode, int16_t shift, int32_t caret, bool selection);
  // The key went up: later changes are the control's or a command's, not the key's.
  void keyReleased() { pending_ = KeyEdit::None; }
  // A mouse press, a command or a change the journal did not see: nothing continues.
  void end();

  // Whether the change being recorded continues the run whose newest step is the last of
  // a journal that now holds `journalCount` snapshots.
  bool continues(int32_t journalCount) const;
  // The change has been recorded; the journal holds `journalCount` snapshots and the caret
  // stands at `caret`. The key's edit is used up: a second change of one key starts anew.
  void recorded(bool continued, int32_t caret, int32_t journalCount);

 private:
  enum class Kind { None, Typing, Backspacing, Deleting };
  static Kind kindOf(KeyEdit edit);

  // The key whose surface change is awaited.
  KeyEdit pending_ = KeyEdit::None;
  int32_t pressCaret_ = 0;
  bool pressSelection_ = false;
  // The run that the newest snapshot closes.
  Kind kind_ = Kind::None;
  bool blankTyped_ = false;  // a typing run that has reached the blanks after its word
  int32_t caret_ = 0;        // where the next edit must start to continue it
  int32_t journalCount_ = 0;
};

}  // namespace tavi
