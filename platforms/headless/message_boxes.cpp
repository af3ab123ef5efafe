#include "headless/message_boxes.h"

#include <utility>

namespace tavi {

int HeadlessMessageBoxes::show(TextView text, int32_t style, TextView title) {
  pending_.push_back({Text(text), style, Text(title)});
  return headless::kIdOk;
}

std::vector<RecordedMessageBox> HeadlessMessageBoxes::drain() {
  return std::exchange(pending_, {});
}

}  // namespace tavi
