// The editing surface on Qt: a QTextEdit in plain-text use, its own undo stack off so
// that the control's journal is the only history. Offsets cross the boundary through
// OffsetMap; typed text goes in plain (black, normal weight) and the control's colouring
// changes formats without ever raising the change notification.
#pragma once

#include <QTextCharFormat>
#include <QTextEdit>

#include <cstdint>
#include <optional>
#include <set>

#include "qt/offset_map.h"
#include "qt/pending_formats.h"
#include "qt/services.h"
#include "shell/widgets/edit_surface.h"

namespace tavi::qt {

class QtEditSurface;

// The QTextEdit of the surface. Its key, mouse and focus events go through the surface,
// which raises the control's notifications around the widget's own handling.
class SurfaceTextEdit final : public QTextEdit {
  Q_OBJECT

 public:
  SurfaceTextEdit(QtEditSurface& surface, QWidget* parent);

 protected:
  bool event(QEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void keyReleaseEvent(QKeyEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void focusInEvent(QFocusEvent* e) override;
  void focusOutEvent(QFocusEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void changeEvent(QEvent* e) override;
  // The control's own popup menu takes the right button.
  void contextMenuEvent(QContextMenuEvent* e) override;
  // Tab always reaches the key handling, even while the surface is read-only.
  bool focusNextPrevChild(bool) override { return false; }
  bool canInsertFromMimeData(const QMimeData* source) const override;
  void insertFromMimeData(const QMimeData* source) override;

 private:
  friend class QtEditSurface;
  QtEditSurface& surface_;
};

class QtEditSurface final : public EditSurface {
 public:
  QtEditSurface(QtServices& services, QWidget* parent);
  ~QtEditSurface() override;
  QtEditSurface(const QtEditSurface&) = delete;
  QtEditSurface& operator=(const QtEditSurface&) = delete;

  SurfaceTextEdit* widget() const { return edit_; }
  const OffsetMap& offsets() const { return map_; }

  void setListener(SurfaceListener* listener) override { listener_ = listener; }
  Text text() const override;
  int32_t textLength() const override { return map_.length(); }
  int32_t selStart() const override;
  void setSelStart(int32_t start) override;
  int32_t selLength() const override;
  void setSelLength(int32_t length) override;
  Text selText() const override;
  void replaceSelection(TextView text) override;
  void setSelColor(int32_t color) override;
  void setSelBold(bool bold) override;
  bool hideSelection() const override { return hideSelection_; }
  void setHideSelection(bool hide) override { hideSelection_ = hide; }
  int32_t find(TextView what, int32_t start, int32_t end, int options) override;
  void setMaxLength(int32_t maxLength) override { maxLength_ = maxLength; }
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
  Text fontName() const override;
  intptr_t windowHandle() const override { return hwnd_; }
  void sendEditMessage(int message) override;
  int32_t lineCount() const override;
  int32_t firstVisibleLine() const override;
  int32_t lineFromChar(int32_t offset) const override;
  PixelPoint caretPosition() const override;
  int32_t clientWidth() const override;
  int32_t clientHeight() const override;

  // The distance between the tops of two lines, as the widget's layout puts them.
  int lineSpacing() const;

  int32_t maxLength() const { return maxLength_; }
  bool locked() const { return locked_; }
  // The format of the document position `position` (colour 0x00BBGGRR, bold).
  int32_t colorAt(int32_t offset) const;
  bool boldAt(int32_t offset) const;

 private:
  friend class SurfaceTextEdit;

  // Events of the widget (SurfaceTextEdit).
  void keyPressed(QKeyEvent* e);
  void keyReleased(QKeyEvent* e);
  void mousePressed(QMouseEvent* e);
  void mouseReleased(QMouseEvent* e);
  // A press (down) or release in the editor: the caret for the left button, then the
  // notification in twips.
  void mouseButton(QMouseEvent* e, bool down);
  void focusGained(Qt::FocusReason reason);
  void focusLost(Qt::FocusReason reason);
  void pasteInput(TextView text);

  void documentChanged();
  // Makes the text area a whole number of lines high, so that every scroll position,
  // the end of the range too, rests on the top of a line.
  void fitWholeLines();
  void scrolled(int value);
  // The surface's own action for a key that KeyDown let through.
  void keyAction(QKeyEvent* e, int16_t keyCode, int16_t shift);
  // Ctrl+Left/Right (Shift extends) and Ctrl+Backspace/Delete by the shared word rule.
  void wordKey(int16_t keyCode, bool extend);
  // Tab: the focus leaves for the host's next tab stop, unless the control takes it back
  // while it hears of the loss.
  void tabAway();
  bool holdsKeyboard() const;

  // Selects a control range; the exact offsets are remembered while the widget's cursor
  // stays where they put it, so that a range inside a CR LF reads back unchanged.
  void select(int32_t start, int32_t length);
  // The one text edit: replaces a control range by plain text, puts the caret behind it
  // and raises the change notification when anything changed.
  void replaceRange(int32_t start, int32_t length, TextView insert);
  void typeInput(TextView chars);
  TextView fitting(TextView insert) const;
  void applyFormat(const QTextCharFormat& format);
  // Raises a notification. The format changes the control makes while it handles one
  // wait until it returns and then reach the document together (PendingFormats).
  template <class Call>
  void notify(Call&& call) {
    if (listener_ == nullptr) return;
    ++notifying_;
    struct Leave {
      QtEditSurface& s;
      ~Leave() {
        if (--s.notifying_ == 0) s.settleFormats();
      }
    } leave{*this};
    call();
  }
  // Puts the waiting format changes into the document: when the notification ends, and
  // before a text edit or anything that reads the formats or the layout.
  void settleFormats() const;
  void cutByKey();
  void copyByKey();
  void pasteByKey();

  QtServices& services_;
  SurfaceTextEdit* edit_;
  OffsetMap map_;
  SurfaceListener* listener_ = nullptr;
  intptr_t hwnd_;
  QTextCharFormat plain_;

  struct Remembered {
    int32_t start = 0;
    int32_t length = 0;
    int from = 0;
    int to = 0;
  };
  std::optional<Remembered> selection_;
  std::set<int16_t> keysDown_;        // keys that went down here: only they come up here
  mutable std::optional<Text> text_;  // the text with CR LF, until the next edit

  bool ownEdit_ = false;             // the surface itself edits: it raises the notification
  mutable bool formatting_ = false;  // format changes: never a text change
  int notifying_ = 0;                // depth of the notifications being raised
  mutable PendingFormats pending_;   // format changes not yet in the document
  bool snapping_ = false;
  bool focusAway_ = false;       // Tab took the focus out, the control not told it back
  bool focusAnnounced_ = false;  // the control has heard of the focus gained
  bool hideSelection_ = true;
  int32_t maxLength_ = 0;
  bool locked_ = false;
};

}  // namespace tavi::qt
