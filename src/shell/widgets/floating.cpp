#include "shell/widgets/floating.h"

#include <algorithm>

#include "shell/keys.h"
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

bool KeywordListBox::keyAction(int16_t keyCode, int16_t shift, int32_t rowsPerPage) {
  if (keyCode == vk::kReturn || keyCode == vk::kEscape) return true;
  const int32_t count = listCount();
  if (count == 0) return false;
  // With nothing selected the step keys select the first entry.
  const int32_t at = listIndex();
  const int32_t page = std::max(1, rowsPerPage - 1);
  const auto step = [&](int32_t by) { return at < 0 ? 0 : std::clamp(at + by, 0, count - 1); };
  switch (keyCode) {
    case vk::kUp:
      setListIndex(step(-1));
      break;
    case vk::kDown:
      setListIndex(step(1));
      break;
    case vk::kPrior:
      setListIndex(step(-page));
      break;
    case vk::kNext:
      setListIndex(step(page));
      break;
    case vk::kHome:
      setListIndex(0);
      break;
    case vk::kEnd:
      setListIndex(count - 1);
      break;
    default:
      // A letter or digit key: its virtual-key code is the character's upper-case code.
      if ((shift & (kCtrlMask | kAltMask)) == 0 &&
          ((keyCode >= u'A' && keyCode <= u'Z') || (keyCode >= u'0' && keyCode <= u'9'))) {
        const int32_t found = entryStartingWith(static_cast<char16_t>(keyCode));
        if (found >= 0) setListIndex(found);
      }
      break;
  }
  return false;
}

}  // namespace tavi
