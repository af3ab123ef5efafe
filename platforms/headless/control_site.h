// The headless control site: the size the host gave the control (twips), the text
// measures of the control's font, 7 pixels per code unit and 16 pixels high, and whether the
// host lets scripts paste.
#pragma once

#include "headless/metrics.h"
#include "shell/widgets/environment.h"

namespace tavi {

class HeadlessControlSite final : public ControlSite {
 public:
  double scaleWidth() const override { return width_; }
  double scaleHeight() const override { return height_; }
  double textWidth(TextView text) const override {
    return static_cast<double>(headless::kMeasureCharWidth) * static_cast<double>(text.size());
  }
  double textHeight(TextView) const override { return headless::kMeasureTextHeight; }
  bool allowsScriptedPaste() const override { return scriptedPaste_; }

  // The host allows or forbids scripts to read the clipboard.
  void setAllowsScriptedPaste(bool allowed) { scriptedPaste_ = allowed; }

  // The host resizes the control.
  void setSize(double width, double height) {
    width_ = width;
    height_ = height;
  }

 private:
  double width_ = headless::kDefaultControlWidth;
  double height_ = headless::kDefaultControlHeight;
  bool scriptedPaste_ = true;
};

}  // namespace tavi
