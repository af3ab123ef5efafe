// The editing surface on Windows: a RichEdit 1.0 window (class "RICHEDIT" of
// riched32.dll) in plain-text use, in which a line break is CR LF and counts as two
// characters. The window is subclassed at creation: its key, character, mouse, focus and
// clipboard messages go through this object, which raises the control's notifications
// around RichEdit's own handling; the core later puts its own hook in front.
//
// RichEdit 1.0 is an ANSI window (riched32 registers its class with RegisterClassA), but
// it keeps its text in UTF-16: text goes in and out as code page 1200 (EM_SETTEXTEX,
// EM_GETTEXTEX, EM_GETTEXTLENGTHEX, EM_FINDTEXTEXW), and typed characters are inserted by
// this object instead of reaching the window through the ANSI conversion of WM_CHAR.
#pragma once

#include <windows.h>

#include <richedit.h>

#include <cstdint>
#include <optional>
#include <set>

#include "shell/widgets/edit_surface.h"
#include "win32/widgets/services.h"
#include "win32/widgets/window_owner.h"

namespace tavi::win32 {

class Win32EditSurface final : public EditSurface {
 public:
  // Creates the editor as a child of `parent` with the control id `id`, in `font`.
  Win32EditSurface(Win32Services& services, HWND parent, int id, HFONT font);
  ~Win32EditSurface() override;
  Win32EditSurface(const Win32EditSurface&) = delete;
  Win32EditSurface& operator=(const Win32EditSurface&) = delete;

  HWND hwnd() const { return hwnd_; }
  // The surface of an editor window, or null.
  static Win32EditSurface* fromWindow(HWND hwnd);
  // The window procedure the editor got at creation (the subclass of RichEdit's own).
  static WNDPROC subclassProcedure();
  // RichEdit's change notification (EN_CHANGE), as the editor's parent hears it.
  void richEditChanged();

  void setListener(SurfaceListener* listener) override { listener_ = listener; }
  // The owner held while the editor handles each of its messages (window_owner.h).
  void setOwner(WindowOwner* owner) { owner_ = owner; }
  Text text() const override;
  int32_t textLength() const override;
  int32_t selStart() const override;
  void setSelStart(int32_t start) override;
  int32_t selLength() const override;
  void setSelLength(int32_t length) override;
  Text selText() const override;
  void replaceSelection(TextView text) override;
  void setSelColor(int32_t color) override;
  void setSelBold(bool bold) override;
  bool hideSelection() const override { return hideSelection_; }
  void setHideSelection(bool hide) override;
  int32_t find(TextView what, int32_t start, int32_t end, int options) override;
  void setMaxLength(int32_t maxLength) override;
  void setMousePointer(int16_t pointer) override;
  void setLocked(bool locked) override;
  void setOleDropMode(int16_t mode) override;
  void setVisible(bool visible) override;
  void setTabStop(bool tabStop) override;
  void setFocus() override;
  void refresh() override;
  int32_t left() const override;
  void setLeft(int32_t v) override;
  int32_t top() const override;
  int32_t width() const override;
  void setWidth(int32_t v) override;
  int32_t height() const override;
  void setHeight(int32_t v) override;
  Text fontName() const override { return u"Courier New"; }
  intptr_t windowHandle() const override { return reinterpret_cast<intptr_t>(hwnd_); }
  // Sends WM_CUT or WM_COPY to the editor; a clipboard that cannot be opened is
  // RuntimeError 521.
  void sendEditMessage(int message) override;
  int32_t lineCount() const override;
  int32_t firstVisibleLine() const override;
  int32_t lineFromChar(int32_t offset) const override;
  PixelPoint caretPosition() const override;
  int32_t clientWidth() const override;
  int32_t clientHeight() const override;

  int32_t maxLength() const { return maxLength_; }
  bool locked() const { return locked_; }
  int16_t mousePointer() const { return mousePointer_; }

 private:
  class Quiet;
  static LRESULT CALLBACK surfaceProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT original(UINT message, WPARAM wParam, LPARAM lParam);

  // Messages of the window.
  LRESULT keyDown(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT keyUp(UINT message, WPARAM wParam, LPARAM lParam);
  void character(wchar_t c);
  void mouse(UINT message, WPARAM wParam, LPARAM lParam);
  void focusGained();
  void focusLost();
  // The surface's own action for a key that KeyDown let through.
  LRESULT keyAction(UINT message, WPARAM wParam, LPARAM lParam, int16_t keyCode, int16_t shift);
  // Tab: the focus leaves for the next tab stop, unless the control takes it back while it
  // hears of the loss.
  void tabAway(bool backwards);
  // The caret keys, Ctrl+A and the deletion keys act by the rules every platform shares
  // (surface/caret_moves.h, shell/word_stops.h), not by RichEdit's own: it keeps a pixel
  // position on Up and Down and stops between CR and LF.
  void moveCaret(int16_t keyCode, bool extend, bool byWord);
  void deleteKey(bool back, bool byWord);
  // The whole rows in view (at least 1): the client height by the height of a line.
  int32_t rowsPerPage() const;
  // Scrolls by whole lines; the first visible line stays within [0, max(0, lines - rows
  // per page)], so a text that fits never scrolls.
  void scrollRows(int32_t rows, int32_t rowsPerPage);
  void cutSelection();
  void copySelection();
  void pasteClipboard();
  void typeInput(TextView chars);
  // Input-method text: the units of a composition (WM_IME_CHAR) are gathered and land at its
  // end as one insertion, like a paste; a unit outside a composition lands at once.
  void imeCharacter(wchar_t c);
  void composeInput(TextView text);

  // Raises a notification; nothing the control throws crosses the window procedure.
  template <class Call>
  void notify(Call&& call) {
    if (listener_ == nullptr) return;
    try {
      call();
    } catch (...) {
      // The control's handlers end at their first failure by themselves.
    }
  }

  // The one text edit: replaces [start, start + length) by plain `insert`, puts the caret
  // behind it and raises the change notification once.
  void replaceRange(int32_t start, int32_t length, TextView insert);
  // Selects from an anchor to an active end (the caret, where Shift with a caret key moves
  // from). RichEdit moves an end inside a CR LF pair before the CR; the exact offsets are
  // remembered while its selection stays where they put it, so that such a range reads
  // back unchanged, and so is which end is active.
  void select(int32_t anchor, int32_t active);
  CHARRANGE actualSelection() const;
  // Whether RichEdit's selection is still the one select() left.
  bool selectionRemembered() const;
  // The active end of the selection and the other one; a selection that RichEdit made
  // itself (a mouse drag) has its active end last.
  int32_t activeEnd() const;
  int32_t anchorEnd() const;
  void applyFormat(DWORD mask, DWORD effects, COLORREF color);
  // What fits the maximum length when the selection is replaced.
  TextView fitting(TextView insert) const;
  RECT boundsInParent() const;

  Win32Services& services_;
  HWND hwnd_ = nullptr;
  WNDPROC original_ = nullptr;
  SurfaceListener* listener_ = nullptr;
  WindowOwner* owner_ = nullptr;

  struct Remembered {
    int32_t start = 0;
    int32_t end = 0;
    CHARRANGE actual{};
    bool activeAtStart = false;
    int32_t requestedStart = 0;  // where setSelLength's range begins, before widening
  };
  std::optional<Remembered> selection_;
  // The column a run of vertical caret keys keeps (-1 outside one) and the selection the
  // run's last key left: a selection changed since, by any means, ends the run.
  int32_t goalColumn_ = -1;
  CHARRANGE goalLeft_{};

  // Edits and formats of our own are under way: RichEdit's EN_CHANGE is not passed on.
  int quiet_ = 0;
  std::set<int16_t> keysDown_;   // keys that went down here: only they come up here
  bool swallowChars_ = false;    // KeyDown swallowed the key: its characters go too
  wchar_t pendingHigh_ = 0;      // the first half of a surrogate pair typed
  bool composing_ = false;       // between WM_IME_STARTCOMPOSITION and its end
  Text composed_;                // the units of input-method text not yet inserted
  bool focusAway_ = false;       // Tab took the focus out, the control not told it back
  bool focusAnnounced_ = false;  // the control has heard of the focus gained
  int clipboardError_ = 0;       // the runtime error of the last WM_CUT or WM_COPY
  bool hideSelection_ = true;
  int32_t maxLength_ = 0;
  bool locked_ = false;
  int16_t mousePointer_ = kPointerDefault;
};

}  // namespace tavi::win32
