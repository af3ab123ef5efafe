// The widgets that float over the editing surface on Windows: the keyword completion list
// (a LISTBOX kept in the control's sort order) and the parameter hint (a read-only
// RichEdit), both children of the editor so that their positions are editor pixels, and
// the popup menu.
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

#include "shell/widgets/environment.h"
#include "shell/widgets/floating.h"

namespace tavi::win32 {

// A child window's place in its parent, in pixels.
class FloatingWindow {
 public:
  HWND hwnd() const { return hwnd_; }
  bool isVisible() const { return (GetWindowLongPtrW(hwnd_, GWL_STYLE) & WS_VISIBLE) != 0; }
  // Shown on top of the editor's other children, or hidden; the focus stays where it is.
  void show(bool visible);
  RECT bounds() const;
  void moveTo(int x, int y);
  void resizeTo(int width, int height);
  void setTabStop(bool tabStop);

 protected:
  FloatingWindow() = default;
  ~FloatingWindow();
  FloatingWindow(const FloatingWindow&) = delete;
  FloatingWindow& operator=(const FloatingWindow&) = delete;
  HWND hwnd_ = nullptr;
};

// The keyword list. While it has the focus, Enter and Escape, like a click on an item,
// give the focus back to the window `focusBack` names (the editor).
class Win32ListBox final : public KeywordListBox, public FloatingWindow {
 public:
  Win32ListBox(HWND editor, int id, HFONT font);

  void addItem(TextView item) override;
  int32_t listCount() const override { return static_cast<int32_t>(items_.size()); }
  Text item(int32_t index) const override;
  int32_t listIndex() const override;
  // -1 .. listCount() - 1; anything else is an invalid property value (error 380).
  void setListIndex(int32_t index) override;
  bool visible() const override { return isVisible(); }
  void setVisible(bool visible) override { show(visible); }
  int32_t left() const override { return bounds().left; }
  void setLeft(int32_t v) override { moveTo(v, bounds().top); }
  int32_t top() const override { return bounds().top; }
  void setTop(int32_t v) override { moveTo(bounds().left, v); }
  int32_t width() const override;
  int32_t height() const override;
  void setTabStop(bool tabStop) override { FloatingWindow::setTabStop(tabStop); }
  void setFocus() override { SetFocus(hwnd_); }

 private:
  static LRESULT CALLBACK listProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);

  HWND editor_;
  WNDPROC original_ = nullptr;
  std::vector<Text> items_;  // the list's texts in its order
};

// The parameter hint: one line of read-only text; clicks go through it to the editor.
class Win32HintBox final : public HintBox, public FloatingWindow {
 public:
  Win32HintBox(HWND editor, int id, HFONT font);

  Text text() const override;
  void setText(TextView text) override;
  bool visible() const override { return isVisible(); }
  void setVisible(bool visible) override { show(visible); }
  int32_t left() const override { return bounds().left; }
  void setLeft(int32_t v) override { moveTo(v, bounds().top); }
  int32_t top() const override { return bounds().top; }
  void setTop(int32_t v) override { moveTo(bounds().left, v); }
  int32_t width() const override;
  void setWidth(int32_t v) override;
  int32_t height() const override;
  void setHeight(int32_t v) override;
  void setTabStop(bool tabStop) override { FloatingWindow::setTabStop(tabStop); }

 private:
  static LRESULT CALLBACK hintProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  WNDPROC original_ = nullptr;
};

// The popup menu: TrackPopupMenu at the mouse pointer. The chosen entry (1-based) goes to
// the click handler after the notification that opened the menu has ended, as the menu
// component reports its click as an event of its own.
class Win32PopupMenu final : public PopupMenu {
 public:
  // `owner` receives the menu's messages and the posted choice.
  Win32PopupMenu(HWND owner, UINT choiceMessage);
  ~Win32PopupMenu() override;
  Win32PopupMenu(const Win32PopupMenu&) = delete;
  Win32PopupMenu& operator=(const Win32PopupMenu&) = delete;

  // The component's own widget is never seen; only its menu is.
  void setVisible(bool) override {}
  void clear() override;
  void addItem(TextView caption) override;
  void show() override;

  HMENU menu() const { return menu_; }
  int itemCount() const { return GetMenuItemCount(menu_); }
  int shownCount() const { return shown_; }

  // For test hosts on the menu's own thread, which cannot answer TrackPopupMenu's modal
  // loop while it runs (their next command comes only after show() returns): from this call
  // on show() leaves the menu to the host, which answers with choose().
  void answerByScript() { scripted_ = true; }
  // Entry `entry` is chosen, as a person's choice in the menu is: posted to the owner.
  void choose(int16_t entry) const;

 private:
  HWND owner_;
  UINT choiceMessage_;
  HMENU menu_;
  int shown_ = 0;
  bool scripted_ = false;
};

}  // namespace tavi::win32
