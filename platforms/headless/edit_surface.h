// The headless editing surface: the shared surface model with a viewport of whole lines on
// a grid of 8 x 16 pixel cells, a window, the focus, and a person's keys and mouse presses
// delivered to it the way the control relies on.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "headless/clipboard.h"
#include "headless/focus.h"
#include "headless/metrics.h"
#include "headless/window_system.h"
#include "shell/widgets/size_check.h"
#include "surface/model_edit_surface.h"

namespace tavi {

class HeadlessEditSurface final : public ModelEditSurface, public Focusable {
 public:
  HeadlessEditSurface(FocusTracker& focus, HeadlessWindowSystem& windows,
                      HeadlessClipboard& clipboard);

  void setListener(SurfaceListener* listener) override { listener_ = listener; }

  bool hideSelection() const override { return hideSelection_; }
  void setHideSelection(bool hide) override { hideSelection_ = hide; }

  void setMousePointer(int16_t pointer) override { mousePointer_ = pointer; }
  void setOleDropMode(int16_t mode) override { oleDropMode_ = mode; }
  void setVisible(bool visible) override { visible_ = visible; }
  void setTabStop(bool tabStop) override { tabStop_ = tabStop; }
  void setFocus() override { focus_.moveTo(this); }
  void refresh() override { ++refreshCount_; }

  // Twips. A negative width or height is an invalid property value (error 380).
  int32_t left() const override { return left_; }
  void setLeft(int32_t v) override { left_ = v; }
  int32_t top() const override { return top_; }
  int32_t width() const override { return width_; }
  void setWidth(int32_t v) override { width_ = checkedSize(v); }
  int32_t height() const override { return height_; }
  void setHeight(int32_t v) override { height_ = checkedSize(v); }

  Text fontName() const override { return u"Courier New"; }
  intptr_t windowHandle() const override { return hwnd_; }
  // Cut (768) and copy (769) through the clipboard; a locked clipboard throws error 521.
  void sendEditMessage(int message) override;

  // Lines are separated by CR LF pairs.
  int32_t firstVisibleLine() const override { return firstVisible_; }
  PixelPoint caretPosition() const override { return pixelOf(model_.selStart()); }
  int32_t clientWidth() const override { return width_ / headless::kTwipsPerPixel; }
  int32_t clientHeight() const override { return height_ / headless::kTwipsPerPixel; }

  // Inspection.
  SurfaceListener* listener() const { return listener_; }
  int16_t mousePointer() const { return mousePointer_; }
  int16_t oleDropMode() const { return oleDropMode_; }
  bool visible() const { return visible_; }
  bool tabStop() const { return tabStop_; }
  int refreshCount() const { return refreshCount_; }
  bool hasFocus() const { return focus_.owner() == this; }

  // The viewport: floor(height / 15 / 16) whole rows, at least one.
  int32_t visibleRows() const;
  // The scroll bar: makes `line` (clamped to the lines) the first visible one.
  void scrollTo(int32_t line);
  // The caret bar is drawn right of its pixel: it is kept in view with this room.
  static constexpr int32_t kCaretRoom = 2;
  // Across: the client area shows the lines from pixel scrollX() on (0 unless scrolled).
  int32_t scrollX() const { return scrollX_; }
  void scrollAcross(int32_t px) { scrollX_ = std::max(0, px); }
  // Off by default (lines run past the right edge unscrolled); on, every selection move
  // scrolls across to keep the moved end in view. The browser's control turns it on.
  void followCaretAcross(bool follow) { followAcross_ = follow; }
  // Pixel of the cell of `offset` relative to the client area (may lie outside it).
  PixelPoint pixelOf(int32_t offset) const;
  // The caret position a press at pixel (x, y) gives: line first + floor(y / 16), column
  // round((x + scrollX) / 8), both clamped to the text; never inside a CR LF or a surrogate
  // pair.
  int32_t offsetAt(double x, double y) const;

  // What a person does (surface_input.cpp). The raise functions deliver one notification;
  // mouse coordinates are given in pixels and reported in twips.
  // Returns false when the listener swallowed the key (set its code to 0).
  bool raiseKeyDown(int16_t keyCode, int16_t shift);
  void raiseKeyUp(int16_t keyCode, int16_t shift);
  void raiseMouseDown(int16_t button, int16_t shift, double x, double y);
  void raiseMouseUp(int16_t button, int16_t shift, double x, double y);
  // Typed input replacing the selection: refused while locked or when the text would grow
  // beyond the maximum length.
  void typeInput(TextView chars) { model_.typeInput(chars); }
  // Text an input method commits: replaces the selection like a paste.
  void composeInput(TextView text) { model_.pasteText(text); }
  // The surface's own action for a key (the model's), with the character the US layout
  // types for a character key.
  void keyAction(int16_t keyCode, int16_t shift, bool capsLock);
  // A left press at a pixel: places the caret, or extends the selection to it.
  void pressAt(double x, double y, bool extend);
  // A double click at a pixel: selects the word there.
  void selectWordAt(double x, double y) { model_.selectWordAt(offsetAt(x, y)); }

 private:
  void focusGained() override;
  void focusLost() override;

  // The model's view.
  void textChanged() override;
  void selectionMoved(int32_t offset) override;
  int32_t rowsPerPage() const override { return visibleRows(); }
  void scrollRows(int32_t rows) override;
  void tabOut() override;

  FocusTracker& focus_;
  HeadlessClipboard& clipboard_;
  SurfaceListener* listener_ = nullptr;
  intptr_t hwnd_;

  int32_t firstVisible_ = 0;
  int32_t scrollX_ = 0;
  bool followAcross_ = false;

  bool hideSelection_ = true;  // the rich-text box's default
  int16_t mousePointer_ = kPointerDefault;
  int16_t oleDropMode_ = 0;
  bool visible_ = true;
  bool tabStop_ = true;
  int refreshCount_ = 0;
  // Where the layout puts the editor in a control of the default size.
  int32_t left_ = headless::kGutterWidth;
  int32_t top_ = 0;
  int32_t width_ = headless::kDefaultControlWidth - headless::kGutterWidth;
  int32_t height_ = headless::kDefaultControlHeight;
};

}  // namespace tavi
