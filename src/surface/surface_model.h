// The editing surface's rules, once for every platform: the text with CR LF line breaks,
// a colour and a bold flag per code unit, the selection, the maximum length, find, and what
// each editing key and keyboard clipboard command does to them. A platform keeps one model
// per editor, draws it and delivers a person's input to it; the model tells the platform
// through its View what to show.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "shell/text.h"
#include "shell/widgets/edit_surface.h"
#include "surface/gap_buffer.h"
#include "surface/line_index.h"

namespace tavi {

class Clipboard;

// A stretch of text with one format; formats() returns them merged and covering the text.
struct FormatRun {
  int32_t start = 0;
  int32_t length = 0;
  int32_t color = 0;
  bool bold = false;
  bool operator==(const FormatRun&) const = default;
};

class SurfaceModel {
 public:
  // What the platform showing the model does for it.
  class View {
   public:
    virtual ~View() = default;
    // The text changed (an edit removed or inserted something); the caret, behind the
    // edit, has been shown already.
    virtual void textChanged() = 0;
    // The selection moved; `offset` is to be brought into view.
    virtual void selectionMoved(int32_t offset) = 0;
    // Whole rows the view shows, at least one; Page Up and Page Down move by them.
    virtual int32_t rowsPerPage() const = 0;
    // Scrolls by `rows` (negative: up) for Page Up and Page Down; the first line in view
    // stays within [0, max(0, lines - rows per page)], so a text that fits never scrolls.
    virtual void scrollRows(int32_t rows) = 0;
    // Tab: the focus moves on to the host's next tab stop.
    virtual void tabOut() = 0;
  };

  explicit SurfaceModel(View& view) : view_(view) {}

  // ---- The text and its lines (separated by CR LF pairs). ----
  int32_t textLength() const { return text_.size(); }
  Text text() const { return slice(0, textLength()); }
  Text slice(int32_t from, int32_t length) const;
  char16_t at(int32_t offset) const { return text_[offset]; }
  int32_t lineCount() const { return lines_.count(); }
  // The line of an offset; a negative offset means the selection start.
  int32_t lineFromChar(int32_t offset) const;
  int32_t lineStart(int32_t line) const;
  // The end of a line's text, before its CR LF.
  int32_t lineEnd(int32_t line) const;
  // The offset `column` units into `line`, clamped to its text and never inside a
  // surrogate pair.
  int32_t positionOnLine(int32_t line, int32_t column) const;

  // ---- The selection. ----
  int32_t selStart() const { return selStart_; }
  int32_t selLength() const { return selLength_; }
  int32_t selEnd() const { return selStart_ + selLength_; }
  Text selText() const { return slice(selStart_, selLength_); }
  // Both clamped to the text, and never splitting a CR LF or a surrogate pair: a start
  // inside one goes to its start, and the length forms [requested start, + length), the
  // requested start being the last value given to setSelStart (after any other move of the
  // selection, its start), widened to whole units at both ends.
  void setSelStart(int32_t start);
  void setSelLength(int32_t length);
  // Sets the selection from an anchor to an active end (both within the text); the view is
  // shown the active end when `showActive`, otherwise the selection start (the caret).
  void select(int32_t anchor, int32_t active, bool showActive);
  // The end that Shift with a caret key moves, and the other one.
  int32_t activeEnd() const { return activeAtEnd_ ? selEnd() : selStart_; }
  int32_t anchorEnd() const { return activeAtEnd_ ? selStart_ : selEnd(); }

  // ---- Formats. ----
  void setSelColor(int32_t color);
  void setSelBold(bool bold);
  // Straight into the format storage: the selection and the view stay as they are, and
  // the cost is the runs' total length.
  void applyStyleRuns(std::span<const StyleRun> runs);
  std::vector<FormatRun> formats() const { return formats(0, textLength()); }
  // The runs of [from, from + length), clamped to the text; a view draws a line from them.
  std::vector<FormatRun> formats(int32_t from, int32_t length) const;

  // ---- Edits. ----
  int32_t maxLength() const { return maxLength_; }
  void setMaxLength(int32_t maxLength) { maxLength_ = maxLength; }
  bool locked() const { return locked_; }
  void setLocked(bool locked) { locked_ = locked; }
  // The last edit of the text: [at, at + removed) gave way to `inserted` code units. `serial`
  // counts the edits, so that a view can tell which edits it has followed.
  struct Edit {
    uint64_t serial = 0;
    int32_t at = 0;
    int32_t removed = 0;
    int32_t inserted = 0;
  };
  const Edit& lastEdit() const { return lastEdit_; }
  // Replaces [start, start + length), widened to whole units, by plain `insert` with its
  // line breaks as CR LF, whatever the maximum length; puts the caret behind it.
  void replaceRange(int32_t start, int32_t length, TextView insert) {
    insertOver(start, length, insert, Room::kUnlimited);
  }
  // Replaces the selection by as much of `text` (breaks as CR LF) as the maximum length
  // lets in.
  void replaceSelection(TextView text) { insertOver(selStart_, selLength_, text, Room::kFitted); }
  // Typed input replacing the selection: refused while locked or when the text would grow
  // beyond the maximum length.
  void typeInput(TextView chars);
  // The first match of `what` lying wholly within [start, end) (end < 0: the text's end),
  // selected widened to whole units; or -1. Options: kFindWholeWord, kFindMatchCase.
  int32_t find(TextView what, int32_t start, int32_t end, int options);

  // ---- A person's keys. ----
  // The surface's own action for a key: caret keys (Shift extends, Ctrl+Left and
  // Ctrl+Right go by words), Backspace, Delete (Ctrl: by words), Enter, Tab, the clipboard
  // shortcuts, Ctrl+A (select all) and, with `typed`, the character the key types.
  void keyAction(int16_t keyCode, int16_t shift, const char16_t* typed, Clipboard& clipboard) {
    keyAction(keyCode, shift, typed != nullptr ? TextView(typed, 1) : TextView(), clipboard);
  }
  // The same for a key that types `typed`: one character, a surrogate pair typed as one
  // key, or nothing (empty).
  void keyAction(int16_t keyCode, int16_t shift, TextView typed, Clipboard& clipboard);
  // Text a person puts in other than through the clipboard keys (an input method's, a
  // drop's): replaces the selection like a paste (breaks converted, fitted, plain, one
  // change); refused while locked.
  void pasteText(TextView text);
  // A double click: selects the word (a run of word units, of other units or of blanks)
  // around `offset`, by the word keys' classes; on a line break the caret goes there.
  void selectWordAt(int32_t offset);
  // A left press at an offset: places the caret there, or extends the selection to it.
  void pressAt(int32_t offset, bool extend);

 private:
  struct CharFormat {
    int32_t color = kColorPlain;
    bool bold = false;
  };

  // How an insertion meets the maximum length.
  enum class Room {
    kUnlimited,       // it all goes in
    kFitted,          // cut to the room, never inside a unit (replaceSelection, paste)
    kWholeOrRefused,  // a typed key: all of it or nothing
  };
  // Every edit of the text: [start, start + length) widened to whole units is replaced by
  // `insert` with its line breaks as CR LF, limited as `room` says. Tells the view of the
  // change when anything was removed or inserted.
  void insertOver(int32_t start, int32_t length, TextView insert, Room room);
  // Whether `offset` stands between the two code units of a CR LF or a surrogate pair.
  bool insideUnit(int32_t offset) const {
    return offset > 0 && offset < textLength() && formsOneUnit(text_[offset - 1], text_[offset]);
  }
  int32_t unitStart(int32_t offset) const { return insideUnit(offset) ? offset - 1 : offset; }
  int32_t unitEnd(int32_t offset) const { return insideUnit(offset) ? offset + 1 : offset; }
  // One step left or right: over a CR LF pair or a surrogate pair as a whole.
  int32_t previousPosition(int32_t offset) const;
  int32_t nextPosition(int32_t offset) const;
  void moveCaret(int16_t keyCode, bool extend, bool ctrl);
  // Removes the selection, or else [from, to) around the caret; nothing while locked.
  void deleteSelectionOr(int32_t from, int32_t to);

  View& view_;
  // Text, formats and line starts each keep a gap at the place of the last edit, so that
  // edits moving forward through the text cost the distance they move and their size.
  GapBuffer<char16_t> text_;
  GapBuffer<CharFormat> formats_;
  LineIndex lines_;
  int32_t selStart_ = 0;
  int32_t selLength_ = 0;
  int32_t requestedStart_ = 0;  // where setSelLength's range begins, before widening
  bool activeAtEnd_ = true;     // which end of the selection Shift+caret keys move
  int32_t goalColumn_ = -1;     // the column of a run of vertical moves, -1 outside one
  int32_t maxLength_ = 0;       // 0: no limit
  bool locked_ = false;
  Edit lastEdit_;
};

}  // namespace tavi
