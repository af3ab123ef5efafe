// The headless editing surface: an exact in-memory rich-text box in plain-text use. It
// keeps the text (CR LF line breaks), the selection, a colour and a bold flag per code
// unit, a viewport of whole lines on a grid of 8 x 16 pixel cells, and acts on the keys
// and mouse presses a person gives it the way the control relies on.
#pragma once

#include <cstdint>
#include <vector>

#include "headless/clipboard.h"
#include "headless/focus.h"
#include "headless/gap_buffer.h"
#include "headless/line_index.h"
#include "headless/metrics.h"
#include "headless/window_system.h"
#include "shell/widgets/edit_surface.h"
#include "shell/widgets/size_check.h"

namespace tavi {

// A stretch of text with one format; formats() returns them merged and covering the text.
struct FormatRun {
  int32_t start = 0;
  int32_t length = 0;
  int32_t color = 0;
  bool bold = false;
  bool operator==(const FormatRun&) const = default;
};

class HeadlessEditSurface final : public EditSurface, public Focusable {
 public:
  HeadlessEditSurface(FocusTracker& focus, HeadlessWindowSystem& windows,
                      HeadlessClipboard& clipboard);

  void setListener(SurfaceListener* listener) override { listener_ = listener; }
  Text text() const override { return slice(0, textLength()); }
  int32_t textLength() const override { return text_.size(); }

  int32_t selStart() const override { return selStart_; }
  void setSelStart(int32_t start) override;
  int32_t selLength() const override { return selLength_; }
  void setSelLength(int32_t length) override;
  Text selText() const override { return slice(selStart_, selLength_); }
  void replaceSelection(TextView text) override;
  void setSelColor(int32_t color) override;
  void setSelBold(bool bold) override;
  // Writes the runs' styles straight into the format storage: the selection and the view
  // stay as they are, and the cost is the runs' total length.
  void applyStyleRuns(std::span<const StyleRun> runs) override;
  bool hideSelection() const override { return hideSelection_; }
  void setHideSelection(bool hide) override { hideSelection_ = hide; }

  int32_t find(TextView what, int32_t start, int32_t end, int options) override;

  void setMaxLength(int32_t maxLength) override { maxLength_ = maxLength; }
  void setMousePointer(int16_t pointer) override { mousePointer_ = pointer; }
  void setLocked(bool locked) override { locked_ = locked; }
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
  int32_t lineCount() const override { return lines_.count(); }
  int32_t firstVisibleLine() const override { return firstVisible_; }
  int32_t lineFromChar(int32_t offset) const override;
  PixelPoint caretPosition() const override { return pixelOf(selStart_); }
  int32_t clientWidth() const override { return width_ / headless::kTwipsPerPixel; }
  int32_t clientHeight() const override { return height_ / headless::kTwipsPerPixel; }

  // Inspection.
  SurfaceListener* listener() const { return listener_; }
  int32_t maxLength() const { return maxLength_; }
  bool locked() const { return locked_; }
  int16_t mousePointer() const { return mousePointer_; }
  int16_t oleDropMode() const { return oleDropMode_; }
  bool visible() const { return visible_; }
  bool tabStop() const { return tabStop_; }
  int refreshCount() const { return refreshCount_; }
  bool hasFocus() const { return focus_.owner() == this; }
  std::vector<FormatRun> formats() const;

  // The viewport: floor(height / 15 / 16) whole rows, at least one.
  int32_t visibleRows() const;
  int32_t lineStart(int32_t line) const;
  // The end of a line's text, before its CR LF.
  int32_t lineEnd(int32_t line) const;
  // The scroll bar: makes `line` (clamped to the lines) the first visible one.
  void scrollTo(int32_t line);
  // Pixel of the cell of `offset` relative to the client area (may lie outside it).
  PixelPoint pixelOf(int32_t offset) const;
  // The caret position a press at pixel (x, y) gives: line first + floor(y / 16), column
  // round(x / 8), both clamped to the text; never inside a CR LF or a surrogate pair.
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
  void typeInput(TextView chars);
  // The surface's own action for a key: caret keys (Shift extends, Ctrl+Left and
  // Ctrl+Right go by words), Backspace, Delete (Ctrl: by words), Enter, Tab (the focus
  // leaves), the clipboard shortcuts, Ctrl+A (select all) and character keys.
  void keyAction(int16_t keyCode, int16_t shift, bool capsLock);
  // A left press at a pixel: places the caret, or extends the selection to it.
  void pressAt(double x, double y, bool extend);

 private:
  struct CharFormat {
    int32_t color = kColorPlain;
    bool bold = false;
  };

  void focusGained() override;
  void focusLost() override;

  // The one text edit: replaces [start, start + length) by plain `insert`, puts the
  // caret behind it and raises the change notification when anything was removed or
  // inserted.
  void replaceRange(int32_t start, int32_t length, TextView insert);
  // Sets the selection from an anchor to an active end; scrolls to the active end when
  // `showActive`, otherwise to the selection start (the caret).
  void select(int32_t anchor, int32_t active, bool showActive);
  void scrollIntoView(int32_t offset);
  Text slice(int32_t from, int32_t length) const;
  // What fits the maximum length when the selection is replaced.
  TextView fitting(TextView insert) const;
  int32_t selEnd() const { return selStart_ + selLength_; }
  int32_t column(int32_t offset) const { return offset - lineStart(lineFromChar(offset)); }

  // surface_input.cpp
  int32_t previousPosition(int32_t offset) const;
  int32_t nextPosition(int32_t offset) const;
  int32_t positionOnLine(int32_t line, int32_t column) const;
  void moveCaret(int16_t keyCode, bool extend, bool ctrl);
  void deleteBackward();
  void deleteForward();
  // Ctrl+Backspace and Ctrl+Delete: to the word stop, or the selection only.
  void deleteWordBackward();
  void deleteWordForward();
  void cutByKey();
  void copyByKey();
  void pasteByKey();

  FocusTracker& focus_;
  HeadlessClipboard& clipboard_;
  SurfaceListener* listener_ = nullptr;
  intptr_t hwnd_;

  // Text, formats and line starts each keep a gap at the place of the last edit, so that
  // edits moving forward through the text cost the distance they move and their size.
  GapBuffer<char16_t> text_;
  GapBuffer<CharFormat> formats_;
  LineIndex lines_;
  int32_t selStart_ = 0;
  int32_t selLength_ = 0;
  bool activeAtEnd_ = true;  // which end of the selection Shift+caret keys move
  int32_t firstVisible_ = 0;

  bool hideSelection_ = true;  // the rich-text box's default
  int32_t maxLength_ = 0;
  int16_t mousePointer_ = kPointerDefault;
  bool locked_ = false;
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
