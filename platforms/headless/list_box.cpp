#include "headless/list_box.h"

#include <algorithm>

#include "headless/us_keyboard.h"
#include "shell/runtime_error.h"

namespace tavi {

using namespace headless;

void HeadlessListBox::addItem(TextView item) {
  // After every item that does not sort after the new one: equal items keep their order.
  const auto at =
      std::upper_bound(items_.begin(), items_.end(), item,
                       [](TextView a, const Text& b) { return keywordSortsBefore(a, b); });
  const int32_t position = static_cast<int32_t>(at - items_.begin());
  items_.insert(at, Text(item));
  if (listIndex_ >= position) ++listIndex_;  // the selection stays on its item
}

Text HeadlessListBox::item(int32_t index) const {
  if (index < 0 || index >= listCount()) return Text();
  return items_[index];
}

void HeadlessListBox::setListIndex(int32_t index) {
  if (index < -1 || index >= listCount()) throw RuntimeError(err::kInvalidPropertyValue);
  listIndex_ = index;
}

void HeadlessListBox::setFocus() {
  ++focusRequests_;
  focus_.moveTo(this);
}

}  // namespace tavi
