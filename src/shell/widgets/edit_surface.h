// The editing surface: a rich-text box in plain-text use, the script editor. All offsets
// and lengths are UTF-16 code units; a line break is CR LF and counts as two.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "shell/text.h"

namespace tavi {

// What the surface tells the control. Notifications are synchronous: replacing the
// selection calls change() before replaceSelection() returns.
class SurfaceListener {
 public:
  virtual ~SurfaceListener() = default;
  virtual void surfaceGotFocus() = 0;
  virtual void surfaceLostFocus() = 0;
  virtual void surfaceChanged() = 0;
  // The handler may set keyCode to 0 to swallow the key.
  virtual void surfaceKeyDown(int16_t& keyCode, int16_t& shift) = 0;
  virtual void surfaceKeyUp(int16_t& keyCode, int16_t& shift) = 0;
  virtual void surfaceMouseDown(int16_t button, int16_t shift, float x, float y) = 0;
  virtual void surfaceMouseUp(int16_t button, int16_t shift, float x, float y) = 0;
};

// Find options.
inline constexpr int kFindWholeWord = 2;
inline constexpr int kFindMatchCase = 4;

// Edit messages the surface understands through sendEditMessage().
inline constexpr int kWmCut = 768;
inline constexpr int kWmCopy = 769;

// Colours written to the selection.
inline constexpr int32_t kColorPlain = 0;
inline constexpr int32_t kColorKeyword = 0xFF0000;

// Mouse pointers.
inline constexpr int16_t kPointerDefault = 0;
inline constexpr int16_t kPointerHourglass = 11;

// A stretch of the text and the style it is to have.
struct StyleRun {
  int32_t start = 0;
  int32_t length = 0;
  int32_t color = kColorPlain;
  bool bold = false;
};

struct PixelPoint {
  int32_t x = 0;
  int32_t y = 0;
};

class EditSurface {
 public:
  virtual ~EditSurface() = default;

  virtual void setListener(SurfaceListener* listener) = 0;

  // Whole text, lines separated by CR LF.
  virtual Text text() const = 0;
  virtual int32_t textLength() const = 0;
  // The newest change of the text, for a caller that keeps a copy of it: [at, at + removed)
  // gave way to `inserted` code units. `serial` counts the changes (the first is 1), so a
  // caller can tell whether this is the only one since its copy. A surface that keeps no
  // count answers nothing, and callers read the whole text.
  struct TextChange {
    uint64_t serial = 0;
    int32_t at = 0;
    int32_t removed = 0;
    int32_t inserted = 0;
  };
  virtual std::optional<TextChange> lastTextChange() const { return std::nullopt; }
  // `length` code units of the text from `start` (both within the text).
  virtual Text textRange(int32_t start, int32_t length) const {
    return text().substr(static_cast<size_t>(start), static_cast<size_t>(length));
  }

  // The selection; the caret is its start. Setting the start collapses the length to
  // 0; both are clamped to the text.
  virtual int32_t selStart() const = 0;
  virtual void setSelStart(int32_t start) = 0;
  virtual int32_t selLength() const = 0;
  virtual void setSelLength(int32_t length) = 0;
  virtual Text selText() const = 0;
  // Replaces the selection (inserting only what the maximum length allows), leaves the
  // caret behind the insertion and raises the change notification.
  virtual void replaceSelection(TextView text) = 0;
  virtual void setSelColor(int32_t color) = 0;
  virtual void setSelBold(bool bold) = 0;
  virtual bool hideSelection() const = 0;
  virtual void setHideSelection(bool hide) = 0;
  // Gives each run its style; the text and the rest of its styles stay. This default
  // styles through the selection and leaves it somewhere in the runs, so callers put the
  // selection back; a surface whose storage can take many runs at once overrides it (and
  // may leave the selection alone). Runs that follow on from each other are styled plain
  // in one go and then only those that are not plain, one by one: a line holds far fewer
  // keywords than stretches between them.
  virtual void applyStyleRuns(std::span<const StyleRun> runs) {
    bool joined = !runs.empty();
    for (size_t i = 1; joined && i < runs.size(); ++i)
      joined = runs[i].start == runs[i - 1].start + runs[i - 1].length;
    if (joined) {
      const StyleRun& last = runs.back();
      styleSelection({runs.front().start, last.start + last.length - runs.front().start});
    }
    for (const StyleRun& run : runs)
      if (!joined || run.color != kColorPlain || run.bold) styleSelection(run);
  }

  // Selects a run and gives it its style.
  void styleSelection(const StyleRun& run) {
    setSelStart(run.start);
    setSelLength(run.length);
    setSelColor(run.color);
    setSelBold(run.bold);
  }

  // Offset of the first match of `what` lying wholly within [start, end), or -1; a
  // match becomes the selection. Options: kFindWholeWord, kFindMatchCase.
  virtual int32_t find(TextView what, int32_t start, int32_t end, int options) = 0;

  // Maximum length of user input; 0 means no limit.
  virtual void setMaxLength(int32_t maxLength) = 0;
  virtual void setMousePointer(int16_t pointer) = 0;
  virtual void setLocked(bool locked) = 0;
  virtual void setOleDropMode(int16_t mode) = 0;
  virtual void setVisible(bool visible) = 0;
  virtual void setTabStop(bool tabStop) = 0;
  virtual void setFocus() = 0;
  virtual void refresh() = 0;

  // Position and size in the container, in twips.
  virtual int32_t left() const = 0;
  virtual void setLeft(int32_t v) = 0;
  virtual int32_t top() const = 0;
  virtual int32_t width() const = 0;
  virtual void setWidth(int32_t v) = 0;
  virtual int32_t height() const = 0;
  virtual void setHeight(int32_t v) = 0;

  virtual Text fontName() const = 0;
  // Window handle for the window hook and the edit messages.
  virtual intptr_t windowHandle() const = 0;
  virtual void sendEditMessage(int message) = 0;

  // Line queries (EM_GETLINECOUNT, EM_GETFIRSTVISIBLELINE, EM_LINEFROMCHAR); a
  // negative offset asks for the line of the selection start.
  virtual int32_t lineCount() const = 0;
  virtual int32_t firstVisibleLine() const = 0;
  virtual int32_t lineFromChar(int32_t offset) const = 0;
  // Caret position in pixels relative to the surface's client area (GetCaretPos).
  virtual PixelPoint caretPosition() const = 0;
  // Size of the client area in pixels, for placing widgets next to the caret.
  virtual int32_t clientWidth() const = 0;
  virtual int32_t clientHeight() const = 0;
};

}  // namespace tavi
