// The headless keyword list: a sorted single-selection list box of 160 x 128 pixels.
// Items are ordered by their upper-cased code units, so the comparison ignores case and a
// blank sorts before any letter; an item equal to existing ones goes after them.
#pragma once

#include <cstdint>
#include <vector>

#include "headless/focus.h"
#include "headless/metrics.h"
#include "shell/widgets/floating.h"

namespace tavi {

class HeadlessListBox final : public KeywordListBox, public Focusable {
 public:
  explicit HeadlessListBox(FocusTracker& focus) : focus_(focus) {}

  void addItem(TextView item) override;
  int32_t listCount() const override { return static_cast<int32_t>(items_.size()); }
  Text item(int32_t index) const override;
  int32_t listIndex() const override { return listIndex_; }
  // -1 .. listCount() - 1; anything else is an invalid property value (error 380).
  void setListIndex(int32_t index) override;
  bool visible() const override { return visible_; }
  void setVisible(bool visible) override { visible_ = visible; }
  int32_t left() const override { return left_; }
  void setLeft(int32_t v) override { left_ = v; }
  int32_t top() const override { return top_; }
  void setTop(int32_t v) override { top_ = v; }
  int32_t width() const override { return headless::kListWidth; }
  int32_t height() const override { return headless::kListHeight; }
  void setTabStop(bool tabStop) override { tabStop_ = tabStop; }
  void setFocus() override;

  const std::vector<Text>& items() const { return items_; }
  bool tabStop() const { return tabStop_; }
  int focusRequests() const { return focusRequests_; }
  bool hasFocus() const { return focus_.owner() == this; }
  // Whole rows the list shows, for its Page Up and Page Down.
  static constexpr int32_t kRowsPerPage = headless::kListHeight / headless::kListRowHeight;

 private:
  FocusTracker& focus_;
  std::vector<Text> items_;
  int32_t listIndex_ = -1;
  bool visible_ = false;
  int32_t left_ = 0;
  int32_t top_ = 0;
  bool tabStop_ = true;
  int focusRequests_ = 0;
};

}  // namespace tavi
