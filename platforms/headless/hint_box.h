// The headless parameter hint: a read-only text box floating over the surface, placed
// and sized in pixels by the control; hidden until shown.
#pragma once

#include "shell/widgets/floating.h"
#include "shell/widgets/size_check.h"

namespace tavi {

class HeadlessHintBox final : public HintBox {
 public:
  Text text() const override { return text_; }
  void setText(TextView text) override { text_ = Text(text); }
  bool visible() const override { return visible_; }
  void setVisible(bool visible) override { visible_ = visible; }
  int32_t left() const override { return left_; }
  void setLeft(int32_t v) override { left_ = v; }
  int32_t top() const override { return top_; }
  void setTop(int32_t v) override { top_ = v; }
  int32_t width() const override { return width_; }
  void setWidth(int32_t v) override { width_ = checkedSize(v); }
  int32_t height() const override { return height_; }
  void setHeight(int32_t v) override { height_ = checkedSize(v); }
  void setTabStop(bool tabStop) override { tabStop_ = tabStop; }

  bool tabStop() const { return tabStop_; }

 private:
  Text text_;
  bool visible_ = false;
  int32_t left_ = 0;
  int32_t top_ = 0;
  int32_t width_ = 0;
  int32_t height_ = 0;
  bool tabStop_ = true;
};

}  // namespace tavi
