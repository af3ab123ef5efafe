#include "headless/clipboard.h"

#include "shell/runtime_error.h"

namespace tavi {

void HeadlessClipboard::open() const {
  if (locked_) throw RuntimeError(err::kCantOpenClipboard);
}

std::optional<Text> HeadlessClipboard::text() {
  open();
  return content_;
}

void HeadlessClipboard::setText(TextView text) {
  open();
  content_ = Text(text);
  ++writes_;
}

void HeadlessClipboard::clear() {
  open();
  content_.reset();
  ++writes_;
}

}  // namespace tavi
