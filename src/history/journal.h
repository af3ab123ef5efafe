// The journals of the edit history: ordered collections of whole-text snapshots.
#pragma once

#include <cstdint>
#include <deque>

#include "history/shared_text.h"
#include "shell/text.h"

namespace tavi {

// One snapshot of the editor: filled once, when it is made, and never changed.
struct UndoElement {
  int32_t SelStart = 0;  // caret offset when the snapshot was taken
  int32_t TextLen = 0;   // length of Text
  SharedText Text;       // the whole text at that moment
  // The surface's change serial when the snapshot was taken (EditSurface::lastTextChange),
  // 0 when not known: the next snapshot may then be this one with the one change since.
  uint64_t SurfaceChange = 0;
};

// An ordered collection of snapshots, oldest first, addressed 1..count(). Out-of-range
// access raises the runtime's subscript error (9).
class Journal {
 public:
  using const_iterator = std::deque<UndoElement>::const_iterator;

  int32_t count() const { return static_cast<int32_t>(items_.size()); }
  const UndoElement& item(int32_t oneBased) const;
  const UndoElement& last() const;
  void add(UndoElement element);
  void removeFirst();
  void removeLast();
  void clear() { items_.clear(); }

  const_iterator begin() const { return items_.begin(); }
  const_iterator end() const { return items_.end(); }

 private:
  std::deque<UndoElement> items_;
};

// A snapshot of `text` with the caret at `selStart`. Its text shares storage with the newest
// snapshot of `undo` when there is one, so a journal costs little more than its edits.
UndoElement makeSnapshot(int32_t selStart, TextView text, const Journal& undo);

}  // namespace tavi
