#include "shell/widgets/floating.h"

#include "shell/runtime_error.h"

namespace tavi {

void KeywordListBox::setSelected(int32_t index, bool selected) {
  if (index < 0 || index >= listCount()) throw RuntimeError(err::kInvalidPropertyArrayIndex);
  if (selected)
    setListIndex(index);
  else if (listIndex() == index)
    setListIndex(-1);
}

}  // namespace tavi
