#include "history/journal.h"

#include <utility>

#include "shell/runtime_error.h"

namespace tavi {

namespace {

void requireEntries(bool ok) {
  if (!ok) throw RuntimeError(err::kSubscript);
}

}  // namespace

const UndoElement& Journal::item(int32_t oneBased) const {
  requireEntries(oneBased >= 1 && oneBased <= count());
  return items_[static_cast<size_t>(oneBased - 1)];
}

const UndoElement& Journal::last() const {
  requireEntries(!items_.empty());
  return items_.back();
}

void Journal::add(UndoElement element) { items_.push_back(std::move(element)); }

void Journal::removeFirst() {
  requireEntries(!items_.empty());
  items_.pop_front();
}

void Journal::removeLast() {
  requireEntries(!items_.empty());
  items_.pop_back();
}

UndoElement makeSnapshot(int32_t selStart, TextView text, const Journal& undo) {
  SharedText shared = undo.count() > 0 ? undo.last().Text.derive(text) : SharedText::from(text);
  return UndoElement{selStart, static_cast<int32_t>(text.size()), std::move(shared)};
}

}  // namespace tavi
