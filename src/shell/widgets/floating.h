// The two widgets that float over the editing surface: the keyword completion list and
// the parameter hint. Their positions and sizes are in pixels of the surface.
#pragma once

#include <cstdint>

#include "shell/text.h"

namespace tavi {

// The order of a sorted list box: code units compared after upper-casing, so case does
// not count and a blank sorts before any letter; a shorter prefix sorts first.
inline bool keywordSortsBefore(TextView a, TextView b) {
  const size_t n = a.size() < b.size() ? a.size() : b.size();
  for (size_t i = 0; i < n; ++i) {
    const char16_t x = upperCase(a[i]);
    const char16_t y = upperCase(b[i]);
    if (x != y) return x < y;
  }
  return a.size() < b.size();
}

// A sorted list box: items are kept in ascending order (keywordSortsBefore); an item
// equal to existing ones goes after them.
class KeywordListBox {
 public:
  virtual ~KeywordListBox() = default;
  virtual void addItem(TextView item) = 0;
  virtual int32_t listCount() const = 0;
  // The item at a position of the sorted order; empty outside 0 .. listCount() - 1.
  virtual Text item(int32_t index) const = 0;
  // Selected index or -1.
  virtual int32_t listIndex() const = 0;
  virtual void setListIndex(int32_t index) = 0;
  // A single-selection list: an item is selected when it is the list index. Selecting an
  // item makes it the list index, unselecting the selected one leaves none; an index
  // outside the items is error 381.
  bool selected(int32_t index) const { return index >= 0 && index == listIndex(); }
  void setSelected(int32_t index, bool selected);
  // The selected item's text, empty with no selection.
  Text text() const { return listIndex() >= 0 ? item(listIndex()) : Text(); }
  // What typing a letter or digit into the list selects: the next entry after the selected
  // one, wrapping round, that begins with it (ignoring case); -1 when none does.
  int32_t entryStartingWith(char16_t unit) const;
  // A key pressed while the list has the focus, on every platform: Up, Down, Page Up (and
  // Down) by `rowsPerPage` - 1, Home and End move the selection (with none, the first entry);
  // a letter or digit without Ctrl or Alt selects the next entry beginning with it. Returns
  // true for Enter and Escape, which give the focus back to the editing surface.
  bool keyAction(int16_t keyCode, int16_t shift, int32_t rowsPerPage);
  virtual bool visible() const = 0;
  virtual void setVisible(bool visible) = 0;
  virtual int32_t left() const = 0;
  virtual void setLeft(int32_t v) = 0;
  virtual int32_t top() const = 0;
  virtual void setTop(int32_t v) = 0;
  virtual int32_t width() const = 0;
  virtual int32_t height() const = 0;
  virtual void setTabStop(bool tabStop) = 0;
  virtual void setFocus() = 0;
};

// The parameter hint: a small read-only text box.
class HintBox {
 public:
  virtual ~HintBox() = default;
  virtual Text text() const = 0;
  virtual void setText(TextView text) = 0;
  virtual bool visible() const = 0;
  virtual void setVisible(bool visible) = 0;
  virtual int32_t left() const = 0;
  virtual void setLeft(int32_t v) = 0;
  virtual int32_t top() const = 0;
  virtual void setTop(int32_t v) = 0;
  virtual int32_t width() const = 0;
  virtual void setWidth(int32_t v) = 0;
  virtual int32_t height() const = 0;
  virtual void setHeight(int32_t v) = 0;
  virtual void setTabStop(bool tabStop) = 0;
};

}  // namespace tavi
