// The headless clipboard: plain text or nothing. While it is locked (another program
// holds it open) every access of the control fails with error 521.
#pragma once

#include <optional>
#include <utility>

#include "shell/widgets/environment.h"

namespace tavi {

class HeadlessClipboard final : public Clipboard {
 public:
  std::optional<Text> text() override;
  void setText(TextView text) override;
  void clear() override;

  // The outside world's view, never locked out.
  const std::optional<Text>& content() const { return content_; }
  void setContent(std::optional<Text> content) { content_ = std::move(content); }
  bool locked() const { return locked_; }
  void setLocked(bool locked) { locked_ = locked; }
  // How often the control wrote or cleared the clipboard.
  int writes() const { return writes_; }

 private:
  void open() const;  // throws RuntimeError 521 while locked

  std::optional<Text> content_;
  bool locked_ = false;
  int writes_ = 0;
};

}  // namespace tavi
