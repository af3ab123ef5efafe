#include "history/undo_run.h"

#include "shell/keys.h"

namespace tavi {

namespace {

bool isModifierOrLock(int16_t keyCode) { return keyCode >= vk::kShift && keyCode <= vk::kCapital; }

// Keys whose press breaks a run even when they change nothing: they move the caret or put
// a line break or a tab between what came before and what follows.
bool breaksRun(int16_t keyCode) {
  return (keyCode >= vk::kPrior && keyCode <= vk::kDown) || keyCode == vk::kReturn ||
         keyCode == vk::kTab;
}

}  // namespace

KeyEdit KeyEditOf(int16_t keyCode, int16_t shift) {
  if (keyCode == 0 || isModifierOrLock(keyCode) || breaksRun(keyCode)) return KeyEdit::None;
  if (shift == 0 && keyCode == vk::kBack) return KeyEdit::Backspace;
  if (shift == 0 && keyCode == vk::kDelete) return KeyEdit::Delete;
  // Only Shift may be held for typing: Ctrl and Alt make shortcuts (paste, cut, ...).
  if ((shift & ~kShiftMask) != 0) return KeyEdit::None;
  if (keyCode == vk::kSpace) return KeyEdit::Blank;
  return KeyEdit::WordChar;
}

void UndoRun::keyPressed(int16_t keyCode, int16_t shift, int32_t caret, bool selection) {
  if (isModifierOrLock(keyCode)) return;  // Shift for a capital letter goes on typing
  if (breaksRun(keyCode)) end();
  pending_ = KeyEditOf(keyCode, shift);
  pressCaret_ = caret;
  pressSelection_ = selection;
}

void UndoRun::end() {
  pending_ = KeyEdit::None;
  kind_ = Kind::None;
  blankTyped_ = false;
}

UndoRun::Kind UndoRun::kindOf(KeyEdit edit) {
  switch (edit) {
    case KeyEdit::WordChar:
    case KeyEdit::Blank:
      return Kind::Typing;
    case KeyEdit::Backspace:
      return Kind::Backspacing;
    case KeyEdit::Delete:
      return Kind::Deleting;
    case KeyEdit::None:
      break;
  }
  return Kind::None;
}

bool UndoRun::continues(int32_t journalCount) const {
  if (kind_ == Kind::None || kindOf(pending_) != kind_) return false;
  // The newest snapshot must still be the run's own, taken where this key went down; an
  // edit that replaces a selection always starts a step of its own.
  if (journalCount != journalCount_ || pressCaret_ != caret_ || pressSelection_) return false;
  // After the blanks that follow a word, the next word is a step of its own.
  return !(blankTyped_ && pending_ == KeyEdit::WordChar);
}

void UndoRun::recorded(bool continued, int32_t caret, int32_t journalCount) {
  const KeyEdit edit = pending_;
  pending_ = KeyEdit::None;
  kind_ = kindOf(edit);
  if (kind_ == Kind::None) return end();
  blankTyped_ = (continued && blankTyped_) || edit == KeyEdit::Blank;
  caret_ = caret;
  journalCount_ = journalCount;
}

}  // namespace tavi
