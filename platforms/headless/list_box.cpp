#include "headless/list_box.h"

#include <algorithm>

#include "headless/us_keyboard.h"
#include "shell/runtime_error.h"

namespace tavi {

using namespace headless;

namespace {

constexpr int32_t kRowsPerPage = headless::kListHeight / headless::kListRowHeight;

}  // namespace

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

void HeadlessListBox::keyAction(int16_t keyCode) {
  if (items_.empty()) return;
  const int32_t last = listCount() - 1;
  // With nothing selected every movement key selects the first item.
  const int32_t at = listIndex_;
  switch (keyCode) {
    case vk::kUp:
      listIndex_ = at < 0 ? 0 : std::max(0, at - 1);
      break;
    case vk::kDown:
      listIndex_ = at < 0 ? 0 : std::min(last, at + 1);
      break;
    case vk::kPrior:
      listIndex_ = at < 0 ? 0 : std::max(0, at - (kRowsPerPage - 1));
      break;
    case vk::kNext:
      listIndex_ = at < 0 ? 0 : std::min(last, at + (kRowsPerPage - 1));
      break;
    case vk::kHome:
      listIndex_ = 0;
      break;
    case vk::kEnd:
      listIndex_ = last;
      break;
    default:
      // A letter or digit key: its virtual-key code is the character's upper-case code.
      if ((keyCode >= u'A' && keyCode <= u'Z') || (keyCode >= u'0' && keyCode <= u'9')) {
        const int32_t index = entryStartingWith(static_cast<char16_t>(keyCode));
        if (index >= 0) listIndex_ = index;
      }
      break;
  }
}

}  // namespace tavi
