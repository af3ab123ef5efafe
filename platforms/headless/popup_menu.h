// The headless popup menu: it keeps its captions and counts how often it was shown. The
// host reports a chosen entry to the control itself.
#pragma once

#include <vector>

#include "shell/widgets/environment.h"

namespace tavi {

class HeadlessPopupMenu final : public PopupMenu {
 public:
  void setVisible(bool visible) override { visible_ = visible; }
  void clear() override { items_.clear(); }
  void addItem(TextView caption) override { items_.emplace_back(caption); }
  void show() override { ++shown_; }

  bool visible() const { return visible_; }
  const std::vector<Text>& items() const { return items_; }
  int shownCount() const { return shown_; }

 private:
  bool visible_ = true;
  std::vector<Text> items_;
  int shown_ = 0;
};

}  // namespace tavi
