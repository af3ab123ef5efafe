// The editing surface's view on Qt: a scroll area of our own that draws the shared surface
// model and hands a person's keys, mouse buttons and focus to its owner. It lays out and
// paints only the lines in view, one QTextLayout a line, kept until the line's text or
// formats or the font change. An edit costs what it touches: it drops the layouts of the lines
// it changed and asks for their rows to be drawn; the lines in view are laid out and measured
// once the events settle (or when a position is asked for), not once per edit. No word wrap:
// the horizontal bar reaches the end of the widest line in view and of the caret's; the
// vertical bar scrolls by whole lines, so the top row is always the first visible line and
// every row is one line high, whatever glyphs a line holds.
#pragma once

#include <QAbstractScrollArea>
#include <QColor>
#include <QTextLayout>
#include <QTimer>

#include <cstdint>
#include <limits>
#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "surface/surface_model.h"

namespace tavi::qt {

// What the view hands on to the surface that owns it.
class SurfaceInput {
 public:
  virtual ~SurfaceInput() = default;
  virtual void keyPressed(QKeyEvent* e) = 0;
  virtual void keyReleased(QKeyEvent* e) = 0;
  // After the view has placed the caret for a left press: the control's notification.
  virtual void mouseButton(QMouseEvent* e, bool down) = 0;
  virtual void focusGained(Qt::FocusReason reason) = 0;
  virtual void focusLost(Qt::FocusReason reason) = 0;
};

class SurfaceView final : public QAbstractScrollArea {
  Q_OBJECT

 public:
  SurfaceView(SurfaceModel& model, SurfaceInput& input, QWidget* parent);
  ~SurfaceView() override;

  // A background drawn under a stretch of text (beneath the selection) without touching
  // the text; `wholeLine` fills the rows of the lines it touches across the view.
  struct Mark {
    int32_t start = 0;
    int32_t length = 0;
    QColor background;
    bool wholeLine = false;
  };
  void setMarks(std::vector<Mark> marks);
  const std::vector<Mark>& marks() const { return marks_; }

  const SurfaceModel& model() const { return model_; }
  int32_t firstVisibleLine() const;
  // Whole rows in view, at least one.
  int32_t rowsInView() const;
  // The height of a row: the distance between the tops of two lines.
  int lineHeight() const { return lineHeight_; }
  // The top left of the caret at `offset`, in the viewport's pixels (may lie outside it).
  QPoint pointOf(int32_t offset) const;
  // The text position under a point of the viewport, clamped to the text.
  int32_t offsetAt(QPointF point) const;
  void setHideSelection(bool hide);
  // A selection set from outside the keyboard and mouse (assistive technology), clamped to
  // the text.
  void placeSelection(int32_t anchor, int32_t active);
  // Scrolls so that `offset` is in view, when the events settle or a position is asked for.
  void ensureVisible(int32_t offset);
  // The text being composed by an input method, drawn at the caret; not in the model.
  const QString& preedit() const { return preedit_; }
  // The caret's rectangle and line, and the selection, for input methods.
  QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

  // What the surface tells the view of the model.
  void textChanged();
  // The selection moved: `offset` is brought into view and the caret shows at once.
  void selectionMoved(int32_t offset);
  // Page Up and Page Down: the first line moves by `rows`, within the scroll range.
  void scrollRows(int32_t rows);
  // Formats changed; they show at the next paint.
  void refresh();

 signals:
  void caretMoved();
  void textEdited();
  // The first visible line, the rows in view, the lines in view or the font changed.
  void linesInViewChanged();

 protected:
  bool event(QEvent* e) override;
  void paintEvent(QPaintEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void changeEvent(QEvent* e) override;
  void scrollContentsBy(int dx, int dy) override;
  void keyPressEvent(QKeyEvent* e) override;
  void keyReleaseEvent(QKeyEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;
  void focusInEvent(QFocusEvent* e) override;
  void focusOutEvent(QFocusEvent* e) override;
  // The control's own popup menu takes the right button.
  void contextMenuEvent(QContextMenuEvent* e) override;
  // Tab always reaches the key handling.
  bool focusNextPrevChild(bool) override { return false; }
  void inputMethodEvent(QInputMethodEvent* e) override;
  void dragEnterEvent(QDragEnterEvent* e) override;
  void dragMoveEvent(QDragMoveEvent* e) override;
  void dropEvent(QDropEvent* e) override;

 private:
  struct LaidOutLine {
    std::vector<FormatRun> runs;
    std::unique_ptr<QTextLayout> layout;
  };

  // The layout of a line, from the cache while its text and formats are unchanged.
  const QTextLayout& layoutOf(int32_t line) const;
  // Follows the model's edits since the last call: the layouts of the lines an edit touched
  // go, those below it move with their lines. Costs the layouts kept, never the text.
  void followEdits() const;
  // After refresh(): the kept layouts whose formats changed are laid out and drawn again.
  void recheckFormats() const;
  // Asks for the rows of lines [from, to] in view to be drawn again.
  void updateLines(int32_t from, int32_t to) const;
  // One pass once the events settle, however many edits, scrolls or refreshes asked for it:
  // lays out the lines in view, sets the scroll ranges and scrolls the caret into view across.
  void scheduleSettle() const;
  void settle();
  // Hands the rows gathered by updateLines() to Qt to be drawn.
  void drawDirtyRows();
  // The horizontal half of ensureVisible(), left for the settling pass so that a run of edits
  // and finds lays out no line; anything asking for a position takes it at once.
  void showPendingColumn() const;
  // The vertical half: the scroll to the first line ensureVisible() chose.
  void showPendingRow() const;
  // The first visible line that shows `offset`'s line, scrolling as little as possible from
  // `first`.
  int32_t firstLineShowing(int32_t offset, int32_t first) const;
  // A layout of one line's `text` with the model's `runs` (offsets from the line start).
  std::unique_ptr<QTextLayout> makeLayout(const QString& text,
                                          const std::vector<FormatRun>& runs) const;
  // The scroll ranges for the text and the viewport, the horizontal one from the widest line
  // measured last; lays out nothing.
  void updateScrollBars();
  // Lays out the lines in view and keeps the widest one's width.
  void measureLinesInView();
  void drawLine(QPainter& painter, int32_t line, int y) const;
  bool drawsBeyond(int32_t line, int x) const;
  void restartBlink();
  void measureFont();
  // The left of the text in the viewport, the horizontal scrolling taken off.
  int textLeft() const;
  // The horizontal scroll range that shows the end of a line `widest` pixels wide.
  int scrollWidth(qreal widest) const;
  // How much further than needed a scroll across to the caret goes.
  int scrollJump() const;
  void dragScroll();
  void offerSelection();
  void pasteSelectionAt(QPointF point);

  SurfaceModel& model_;
  SurfaceInput& input_;
  std::vector<Mark> marks_;
  mutable std::map<int32_t, LaidOutLine> lines_;
  mutable uint64_t followedEdit_ = 0;      // the serial of the last model edit followed
  mutable int32_t followedLineCount_ = 1;  // the line count after it
  mutable bool formatsStale_ = false;      // refresh() came: kept layouts may show old formats
  mutable int32_t pendingColumn_ = -1;     // an offset to scroll into view across, or -1
  mutable int32_t pendingFirst_ = -1;      // the first line to scroll to, or -1
  mutable int32_t dirtyTop_ = std::numeric_limits<int32_t>::max();  // rows to draw again
  mutable int32_t dirtyBottom_ = -1;
  qreal widest_ = 0;  // the widest line in view when last measured
  QString preedit_;
  int preeditCursor_ = 0;
  QTimer blink_;
  bool caretShown_ = false;
  bool blinkRestart_ = false;  // the blink timer starts again when the events settle
  int lineHeight_ = 1;         // the font's line spacing, at least 1
  int charWidth_ = 1;          // the font's average character width, at least 1
  bool blinks_ = true;
  bool hideSelection_ = true;
  bool updatingBars_ = false;
  bool selecting_ = false;  // a left-button drag is under way
  QPointF dragPoint_;
  QTimer dragTimer_;
  int32_t shownFirst_ = 0;
  int32_t shownRows_ = 0;
  int32_t shownLines_ = 0;  // lines in view, the part-shown one included
  int32_t drawnLineCount_ = 0;
  std::pair<int32_t, int32_t> selectionLines_{0, 0};  // the lines the selection was drawn on
  bool selectionMoved_ = false;    // its rows are to be drawn again when the events settle
  mutable bool settling_ = false;  // a settling pass is on its way
};

}  // namespace tavi::qt
