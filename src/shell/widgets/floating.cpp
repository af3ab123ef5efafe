#include "shell/widgets/floating.h"

#include <algorithm>

#include "shell/runtime_error.h"

namespace tavi {

void KeywordListBox::setSelected(int32_t index, bool selected) {
  if (index < 0 || index >= listCount()) throw RuntimeError(err::kInvalidPropertyArrayIndex);
  if (selected)
    setListIndex(index);
  else if (listIndex() == index)
    setListIndex(-1);
}

int32_t KeywordListBox::entryStartingWith(char16_t unit) const {
  const int32_t count = listCount();
  for (int32_t step = 1; step <= count; ++step) {
    // After the selected entry, wrapping round (from the first with none selected).
    const int32_t index = (std::max(listIndex(), -1) + step) % count;
    const Text entry = item(index);
    if (!entry.empty() && upperCase(entry[0]) == upperCase(unit)) return index;
  }
  return -1;
}

}  // namespace tavi
