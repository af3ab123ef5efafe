// The headless frame: a borderless picture box holding the gutter and the editor, so its
// inner size is its outer size (twips).
#pragma once

#include "headless/metrics.h"
#include "shell/widgets/gutter_canvas.h"
#include "shell/widgets/size_check.h"

namespace tavi {

class HeadlessFrameBox final : public FrameBox {
 public:
  int32_t width() const override { return width_; }
  void setWidth(int32_t v) override { width_ = checkedSize(v); }
  int32_t height() const override { return height_; }
  void setHeight(int32_t v) override { height_ = checkedSize(v); }
  int32_t innerWidth() const override { return width_; }
  int32_t innerHeight() const override { return height_; }
  void setTabStop(bool tabStop) override { tabStop_ = tabStop; }

  bool tabStop() const { return tabStop_; }

 private:
  int32_t width_ = headless::kDefaultControlWidth;
  int32_t height_ = headless::kDefaultControlHeight;
  bool tabStop_ = true;
};

}  // namespace tavi
