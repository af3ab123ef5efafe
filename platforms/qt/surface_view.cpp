#include "qt/surface_view.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>
#include <cmath>
#include <limits>

#include "qt/surface_accessible.h"
#include "qt/units.h"
#include "surface/horizontal_scroll.h"

namespace tavi::qt {

namespace {

constexpr int kLeftMargin = 3;     // pixels between the frame and the text
constexpr int kCaretRoom = 2;      // room right of the widest line for the caret
constexpr qreal kNoWrap = 1e7;     // a line width no line reaches: lines never wrap
constexpr int kTabColumns = 8;     // decided: tab stops every eight character widths
constexpr int kDragScrollMs = 50;  // how often a drag beyond the view scrolls a line

// The settling pass runs before the paint the same edits asked for.
const QEvent::Type kSettleEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

// The runs of [start, start + length), relative to `start`: an edit on another line leaves
// them as they are.
std::vector<FormatRun> lineRuns(const SurfaceModel& model, int32_t start, int32_t length) {
  std::vector<FormatRun> runs = model.formats(start, length);
  for (FormatRun& run : runs) run.start -= start;
  return runs;
}

QList<QTextLayout::FormatRange> formatRanges(const std::vector<FormatRun>& runs) {
  QList<QTextLayout::FormatRange> ranges;
  for (const FormatRun& run : runs) {
    QTextLayout::FormatRange range;
    range.start = run.start;
    range.length = run.length;
    range.format.setForeground(toQColor(run.color));
    range.format.setFontWeight(run.bold ? QFont::Bold : QFont::Normal);
    ranges << range;
  }
  return ranges;
}

bool isCaretKey(int key) {
  switch (key) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Backspace:
    case Qt::Key_Delete:
    case Qt::Key_Insert:
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return true;
    default:
      return false;
  }
}

// The keys the editor keeps from the host's shortcuts while it has the focus: typing, the
// caret and deletion keys, and the clipboard and select-all commands. The host keeps Undo
// and Redo (the control's, through the host) and all others.
bool editorKey(const QKeyEvent* e) {
  if (e->matches(QKeySequence::Undo) || e->matches(QKeySequence::Redo)) return false;
  const Qt::KeyboardModifiers mods = e->modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier);
  if (mods == Qt::NoModifier && !e->text().isEmpty() && e->key() < Qt::Key_Escape) return true;
  if ((mods & (Qt::AltModifier | Qt::MetaModifier)) != 0) return false;
  if (isCaretKey(e->key())) return true;
  return mods == Qt::ControlModifier && (e->key() == Qt::Key_A || e->key() == Qt::Key_C ||
                                         e->key() == Qt::Key_V || e->key() == Qt::Key_X);
}

}  // namespace

SurfaceView::SurfaceView(SurfaceModel& model, SurfaceInput& input, QWidget* parent)
    : QAbstractScrollArea(parent),
      model_(model),
      input_(input),
      followedEdit_(model.lastEdit().serial),
      followedLineCount_(model.lineCount()) {
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_InputMethodEnabled);
  SurfaceAccessible::install();
  viewport()->setCursor(Qt::IBeamCursor);
  viewport()->setBackgroundRole(QPalette::Base);
  viewport()->setAutoFillBackground(true);
  verticalScrollBar()->setSingleStep(1);
  // A flash time of 0 is a caret that does not blink.
  const int flash = QApplication::cursorFlashTime();
  blink_.setInterval(flash / 2);
  blinks_ = flash > 0;
  connect(&blink_, &QTimer::timeout, this, [this] {
    caretShown_ = !caretShown_;
    const int32_t line = model_.lineFromChar(model_.activeEnd());
    updateLines(line, line);
  });
  measureFont();
  dragTimer_.setInterval(kDragScrollMs);
  connect(&dragTimer_, &QTimer::timeout, this, [this] { dragScroll(); });
  updateScrollBars();
  scheduleSettle();
}

SurfaceView::~SurfaceView() = default;

void SurfaceView::setMarks(std::vector<Mark> marks) {
  // The lines of the marks that go and of those that come are drawn again.
  for (const std::vector<Mark>* list : {&marks_, &marks})
    for (const Mark& mark : *list)
      updateLines(model_.lineFromChar(mark.start),
                  model_.lineFromChar(std::max(mark.start, mark.start + mark.length - 1)));
  marks_ = std::move(marks);
}

// With a scroll pending, the line it will put at the top.
int32_t SurfaceView::firstVisibleLine() const {
  return pendingFirst_ >= 0 ? pendingFirst_ : verticalScrollBar()->value();
}

int32_t SurfaceView::firstLineShowing(int32_t offset, int32_t first) const {
  const int32_t line = model_.lineFromChar(std::min(offset, model_.textLength()));
  const int32_t rows = rowsInView();
  first = std::clamp(first, 0, std::max(0, model_.lineCount() - rows));
  if (line < first) return line;
  if (line >= first + rows) return line - rows + 1;
  return first;
}

int32_t SurfaceView::rowsInView() const { return std::max(1, viewport()->height() / lineHeight()); }

// Font metrics are asked for on every scroll and selection move: they are kept per font.
void SurfaceView::measureFont() {
  const QFontMetrics metrics = fontMetrics();
  lineHeight_ = std::max(1, metrics.lineSpacing());
  charWidth_ = std::max(1, metrics.averageCharWidth());
}

int SurfaceView::textLeft() const { return kLeftMargin - horizontalScrollBar()->value(); }

// A text that fits has no range; one that does not reaches at least a jump beyond its
// widest line, so that the caret at a line's end can be scrolled a jump into the view. The
// range grows in whole jumps: a line growing by a character a key changes it (and draws the
// bar again) only every few dozen keys.
int SurfaceView::scrollWidth(qreal widest) const {
  return horizontal_scroll::rangeOf(std::ceil(widest) + kLeftMargin + kCaretRoom,
                                    viewport()->width(), scrollJump());
}

// A quarter of the view, the rule the browser's control keeps too.
int SurfaceView::scrollJump() const { return horizontal_scroll::jumpOf(viewport()->width()); }

QPoint SurfaceView::pointOf(int32_t offset) const {
  showPendingColumn();
  const int32_t at = std::clamp(offset, 0, model_.textLength());
  const int32_t line = model_.lineFromChar(at);
  const qreal x = layoutOf(line).lineAt(0).cursorToX(at - model_.lineStart(line));
  return {textLeft() + qRound(x), (line - firstVisibleLine()) * lineHeight()};
}

int32_t SurfaceView::offsetAt(QPointF point) const {
  showPendingColumn();
  const double row = std::floor(std::clamp(point.y() / lineHeight(), -1e6, 1e6));
  const int32_t line =
      static_cast<int32_t>(std::clamp<double>(firstVisibleLine() + row, 0, model_.lineCount() - 1));
  const int column = layoutOf(line).lineAt(0).xToCursor(point.x() - textLeft());
  return model_.positionOnLine(line, column);
}

void SurfaceView::setHideSelection(bool hide) {
  if (hide == hideSelection_) return;
  hideSelection_ = hide;
  updateLines(selectionLines_.first, selectionLines_.second);
}

void SurfaceView::placeSelection(int32_t anchor, int32_t active) {
  const int32_t length = model_.textLength();
  model_.select(std::clamp(anchor, 0, length), std::clamp(active, 0, length), true);
}

// ---- The model's news ----

// Only the touched rows are drawn again, and the rows below them when lines came or went.
void SurfaceView::textChanged() {
  followEdits();
  const SurfaceModel::Edit& edit = model_.lastEdit();
  const int32_t first = model_.lineFromChar(edit.at);
  if (model_.lineCount() != drawnLineCount_)
    updateLines(first, firstVisibleLine() + rowsInView());
  else
    updateLines(first, model_.lineFromChar(edit.at + edit.inserted));
  updateScrollBars();
  scheduleSettle();
  emit textEdited();
  if (QAccessible::isActive()) {
    // Readers are told the changed part only. The removed characters are gone from the
    // model by now: they stand as as many object replacement characters.
    const QString inserted = toQString(model_.slice(edit.at, edit.inserted));
    const QString removed(edit.removed, QChar::ObjectReplacementCharacter);
    if (edit.removed == 0) {
      QAccessibleTextInsertEvent event(this, edit.at, inserted);
      QAccessible::updateAccessibility(&event);
    } else if (edit.inserted == 0) {
      QAccessibleTextRemoveEvent event(this, edit.at, removed);
      QAccessible::updateAccessibility(&event);
    } else {
      QAccessibleTextUpdateEvent event(this, edit.at, removed, inserted);
      QAccessible::updateAccessibility(&event);
    }
  }
}

// The rows of the old and the new selection are gathered when the events settle, once for
// a run of moves (a ReplaceAll moves it four times a match).
void SurfaceView::selectionMoved(int32_t offset) {
  ensureVisible(offset);
  selectionMoved_ = true;
  caretShown_ = true;
  blinkRestart_ = true;
  scheduleSettle();
  emit caretMoved();
  if (QAccessible::isActive()) {
    QAccessibleTextCursorEvent event(this, model_.activeEnd());
    QAccessible::updateAccessibility(&event);
  }
}

void SurfaceView::scrollRows(int32_t rows) {
  showPendingRow();
  updateScrollBars();
  QScrollBar* bar = verticalScrollBar();
  bar->setValue(bar->value() + rows);
}

// The control styles a stretch in several calls; the kept layouts are compared with the
// model's formats when one is next asked for, or when the events settle.
void SurfaceView::refresh() {
  formatsStale_ = true;
  scheduleSettle();
}

// Asked for from const members too (a row to draw again): the event is posted to this view.
void SurfaceView::scheduleSettle() const {
  if (settling_) return;
  settling_ = true;
  QCoreApplication::postEvent(const_cast<SurfaceView*>(this), new QEvent(kSettleEvent),
                              Qt::HighEventPriority);
}

void SurfaceView::settle() {
  settling_ = false;
  showPendingRow();
  if (selectionMoved_) {
    // The lines of the selection (and caret) drawn last time and of the new one.
    selectionMoved_ = false;
    updateLines(selectionLines_.first, selectionLines_.second);
    selectionLines_ = {model_.lineFromChar(model_.selStart()),
                       model_.lineFromChar(model_.selEnd())};
    updateLines(selectionLines_.first, selectionLines_.second);
  }
  if (blinkRestart_ && hasFocus() && blinks_) blink_.start();
  blinkRestart_ = false;
  measureLinesInView();
  updateScrollBars();
  showPendingColumn();
  drawDirtyRows();
}

// The rows are gathered and handed to Qt once, when the events settle: a run of edits and
// selection moves asks Qt for one update. A scroll meanwhile draws the whole view anyway.
void SurfaceView::updateLines(int32_t from, int32_t to) const {
  const int32_t first = firstVisibleLine();
  const int32_t top = std::max(from, first) - first;
  const int32_t bottom = std::min(to, first + rowsInView()) - first;  // the part-shown row too
  if (top > bottom) return;
  dirtyTop_ = std::min(dirtyTop_, top);
  dirtyBottom_ = std::max(dirtyBottom_, bottom);
  scheduleSettle();
}

void SurfaceView::drawDirtyRows() {
  if (dirtyTop_ > dirtyBottom_) return;
  const int height = lineHeight();
  viewport()->update(
      QRect(0, dirtyTop_ * height, viewport()->width(), (dirtyBottom_ - dirtyTop_ + 1) * height));
  dirtyTop_ = std::numeric_limits<int32_t>::max();
  dirtyBottom_ = -1;
}

// ---- Layout ----

std::unique_ptr<QTextLayout> SurfaceView::makeLayout(const QString& text,
                                                     const std::vector<FormatRun>& runs) const {
  auto layout = std::make_unique<QTextLayout>(text, font(), viewport());
  QTextOption option;
  option.setWrapMode(QTextOption::NoWrap);
  option.setTabStopDistance(kTabColumns * fontMetrics().horizontalAdvance(QLatin1Char(' ')));
  layout->setTextOption(option);
  layout->setFormats(formatRanges(runs));
  layout->setCacheEnabled(true);
  layout->beginLayout();
  QTextLine line = layout->createLine();
  if (line.isValid()) line.setLineWidth(kNoWrap);
  layout->endLayout();
  return layout;
}

const QTextLayout& SurfaceView::layoutOf(int32_t line) const {
  followEdits();
  if (formatsStale_) recheckFormats();
  const auto found = lines_.find(line);
  if (found != lines_.end()) return *found->second.layout;
  const int32_t start = model_.lineStart(line);
  const int32_t length = model_.lineEnd(line) - start;
  std::vector<FormatRun> runs = lineRuns(model_, start, length);
  std::unique_ptr<QTextLayout> layout = makeLayout(toQString(model_.slice(start, length)), runs);
  LaidOutLine& entry = lines_[line];
  entry = {std::move(runs), std::move(layout)};
  return *entry.layout;
}

void SurfaceView::followEdits() const {
  const SurfaceModel::Edit& edit = model_.lastEdit();
  if (edit.serial == followedEdit_) return;
  if (edit.serial != followedEdit_ + 1) {
    lines_.clear();  // edits went by unseen: nothing kept can be trusted
  } else {
    // Lines before the edit's first line are as they were; those after its last line are
    // the old lines after the old last one, moved by the lines gained or lost.
    const int32_t first = model_.lineFromChar(edit.at);
    const int32_t delta = model_.lineCount() - followedLineCount_;
    const int32_t lastOld = model_.lineFromChar(edit.at + edit.inserted) - delta;
    std::map<int32_t, LaidOutLine> kept;
    for (auto it = lines_.begin(); it != lines_.end();) {
      auto node = lines_.extract(it++);
      if (node.key() >= first && node.key() <= lastOld) continue;
      if (node.key() > lastOld) node.key() += delta;
      kept.insert(std::move(node));
    }
    lines_.swap(kept);
  }
  followedEdit_ = edit.serial;
  followedLineCount_ = model_.lineCount();
}

void SurfaceView::recheckFormats() const {
  formatsStale_ = false;
  for (auto& [line, entry] : lines_) {
    const int32_t start = model_.lineStart(line);
    const int32_t length = model_.lineEnd(line) - start;
    std::vector<FormatRun> runs = lineRuns(model_, start, length);
    if (runs == entry.runs) continue;
    entry.layout = makeLayout(toQString(model_.slice(start, length)), runs);
    entry.runs = std::move(runs);
    updateLines(line, line);
  }
}

void SurfaceView::measureLinesInView() {
  const int32_t first = firstVisibleLine();
  const int32_t last = std::min(model_.lineCount() - 1, first + rowsInView());
  qreal widest = 0;
  for (int32_t line = first; line <= last; ++line)
    widest = std::max(widest, layoutOf(line).lineAt(0).naturalTextWidth());
  widest_ = widest;
}

void SurfaceView::updateScrollBars() {
  // Showing or hiding one bar resizes the viewport, which comes back here; the outer call
  // goes round until the rows settle.
  if (updatingBars_) return;
  updatingBars_ = true;
  followEdits();
  for (int pass = 0; pass < 3; ++pass) {
    const int32_t rows = rowsInView();
    QScrollBar* vertical = verticalScrollBar();
    vertical->setPageStep(rows);
    vertical->setRange(0, std::max(0, model_.lineCount() - rows));
    // The lines in view, the partly shown last row among them; the others are dropped.
    const int32_t first = firstVisibleLine();
    const int32_t last = std::min(model_.lineCount() - 1, first + rows);
    for (auto it = lines_.begin(); it != lines_.end();)
      it = it->first < first || it->first > last ? lines_.erase(it) : std::next(it);
    // The room below the last line is drawn again when the count of lines changed.
    if (model_.lineCount() != drawnLineCount_) {
      updateLines(std::min(model_.lineCount(), drawnLineCount_) - 1, first + rows);
      drawnLineCount_ = model_.lineCount();
    }
    QScrollBar* horizontal = horizontalScrollBar();
    horizontal->setSingleStep(charWidth_);
    horizontal->setPageStep(viewport()->width());
    horizontal->setRange(0, scrollWidth(widest_));
    if (rows == rowsInView()) break;
  }
  updatingBars_ = false;
  const int32_t linesShown = std::min(rowsInView() + 1, model_.lineCount() - firstVisibleLine());
  if (firstVisibleLine() != shownFirst_ || rowsInView() != shownRows_ ||
      linesShown != shownLines_) {
    shownFirst_ = firstVisibleLine();
    shownRows_ = rowsInView();
    shownLines_ = linesShown;
    emit linesInViewChanged();
  }
}

// Both halves wait for the settling pass, so that a run of finds and replacements scrolls
// once, to the last of them; firstVisibleLine() already tells the line it will show.
void SurfaceView::ensureVisible(int32_t offset) {
  const int32_t at = std::clamp(offset, 0, model_.textLength());
  pendingFirst_ = firstLineShowing(at, firstVisibleLine());
  pendingColumn_ = at;
  scheduleSettle();
}

void SurfaceView::showPendingRow() const {
  if (pendingFirst_ < 0) return;
  const int32_t first = pendingFirst_;
  pendingFirst_ = -1;
  QScrollBar* vertical = verticalScrollBar();
  vertical->setRange(0, std::max(0, model_.lineCount() - rowsInView()));
  vertical->setValue(first);
}

void SurfaceView::showPendingColumn() const {
  showPendingRow();
  if (pendingColumn_ < 0) return;
  const int32_t at = std::min(pendingColumn_, model_.textLength());
  pendingColumn_ = -1;
  const int32_t line = model_.lineFromChar(at);
  // Scrolled away from since (the row a horizontal bar takes allowed for): nothing to show.
  QScrollBar* vertical = verticalScrollBar();
  if (line < vertical->value() || line > vertical->value() + rowsInView()) return;
  const QTextLine textLine = layoutOf(line).lineAt(0);
  const qreal x = textLine.cursorToX(at - model_.lineStart(line));
  QScrollBar* horizontal = horizontalScrollBar();
  const int width = std::max(1, viewport()->width() - kLeftMargin - kCaretRoom);
  horizontal->setRange(0,
                       std::max(horizontal->maximum(), scrollWidth(textLine.naturalTextWidth())));
  horizontal->setValue(
      horizontal_scroll::offsetShowing(x, horizontal->value(), width, scrollJump()));
  // The horizontal bar may have come with it, a row less: the line stays in view.
  const int32_t rows = rowsInView();
  vertical->setRange(0, std::max(0, model_.lineCount() - rows));
  if (line < vertical->value()) vertical->setValue(line);
  if (line >= vertical->value() + rows) vertical->setValue(line - rows + 1);
}

// ---- Painting ----

// Each row the event's region touches is drawn once, and only when it reaches the region's
// leftmost part on that row (a scroll across exposes a strip beyond most lines' ends). The
// painter is clipped to the region.
void SurfaceView::paintEvent(QPaintEvent* e) {
  QPainter painter(viewport());
  const int height = lineHeight();
  const int32_t first = firstVisibleLine();
  // The rows the event asks for, the partly shown row below the whole ones among them.
  const int32_t rows = std::min(rowsInView(), model_.lineCount() - 1 - first);
  std::vector<int> leftmost(static_cast<size_t>(std::max(0, rows + 1)),
                            std::numeric_limits<int>::max());
  for (const QRect& r : e->region()) {
    const int32_t top = std::max(0, r.top() / height);
    const int32_t bottom = std::min(rows, r.bottom() / height);
    for (int32_t row = top; row <= bottom; ++row)
      leftmost[static_cast<size_t>(row)] = std::min(leftmost[static_cast<size_t>(row)], r.left());
  }
  for (int32_t row = 0; row <= rows; ++row) {
    const int left = leftmost[static_cast<size_t>(row)];
    if (left != std::numeric_limits<int>::max() && drawsBeyond(first + row, left))
      drawLine(painter, first + row, row * height);
  }
}

// Whether drawing a line puts anything at or right of `x`: its text, a selected break's
// space behind it, the caret, a mark's background or text being composed. The strip a
// scroll across exposes lies beyond most lines' ends.
bool SurfaceView::drawsBeyond(int32_t line, int x) const {
  if (x <= 0) return true;
  if (!preedit_.isEmpty() && model_.lineFromChar(model_.activeEnd()) == line) return true;
  const int32_t start = model_.lineStart(line);
  const int32_t end = model_.lineEnd(line);
  for (const Mark& mark : marks_)
    if (mark.wholeLine && mark.start <= end && mark.start + mark.length >= start) return true;
  const qreal right = textLeft() + layoutOf(line).lineAt(0).naturalTextWidth();
  return right + 2 * charWidth_ >= x;
}

void SurfaceView::drawLine(QPainter& painter, int32_t line, int y) const {
  const int height = lineHeight();
  const int32_t start = model_.lineStart(line);
  const int32_t end = model_.lineEnd(line);
  const int left = textLeft();
  const QTextLayout* layout = &layoutOf(line);
  const auto xOf = [&](int32_t offset) {
    return left + layout->lineAt(0).cursorToX(offset - start);
  };
  for (const Mark& mark : marks_) {
    const int32_t markEnd = mark.start + mark.length;
    if (mark.wholeLine && mark.start <= end && markEnd >= start) {
      painter.fillRect(QRectF(0, y, viewport()->width(), height), mark.background);
    } else if (!mark.wholeLine && std::max(mark.start, start) < std::min(markEnd, end)) {
      const qreal from = xOf(std::max(mark.start, start));
      painter.fillRect(QRectF(from, y, xOf(std::min(markEnd, end)) - from, height),
                       mark.background);
    }
  }

  QList<QTextLayout::FormatRange> selection;
  const int32_t selStart = model_.selStart();
  const int32_t selEnd = model_.selEnd();
  if (model_.selLength() > 0 && (hasFocus() || !hideSelection_)) {
    const int32_t from = std::max(selStart, start);
    const int32_t to = std::min(selEnd, end);
    if (from < to) {
      QTextLayout::FormatRange range;
      range.start = from - start;
      range.length = to - from;
      range.format.setBackground(palette().brush(QPalette::Highlight));
      range.format.setForeground(palette().brush(QPalette::HighlightedText));
      selection << range;
    }
    // A selected line break shows as a space's width of selection behind the line.
    if (line + 1 < model_.lineCount() && selStart <= end && selEnd > end) {
      const int space = fontMetrics().horizontalAdvance(QLatin1Char(' '));
      painter.fillRect(QRectF(xOf(end), y, space, height), palette().brush(QPalette::Highlight));
    }
  }

  // Text being composed stands at the caret, underlined, in a layout of its own.
  const int32_t caret = model_.activeEnd();
  const bool caretHere = model_.lineFromChar(caret) == line;
  int32_t caretColumn = caret - start;
  std::unique_ptr<QTextLayout> composed;
  if (caretHere && !preedit_.isEmpty()) {
    const auto preeditLength = static_cast<int32_t>(preedit_.size());
    std::vector<FormatRun> runs = model_.formats(start, end - start);
    for (FormatRun& run : runs) {
      run.start -= start;
      if (run.start >= caretColumn) run.start += preeditLength;
    }
    const QString text = toQString(model_.slice(start, end - start));
    composed = makeLayout(text.left(caretColumn) + preedit_ + text.mid(caretColumn), runs);
    QList<QTextLayout::FormatRange> underline;
    QTextLayout::FormatRange range;
    range.start = caretColumn;
    range.length = preeditLength;
    range.format.setFontUnderline(true);
    underline << range;
    selection = underline;
    caretColumn += preeditCursor_;
    layout = composed.get();
  }

  const QTextLine textLine = layout->lineAt(0);
  const qreal baseline = y + fontMetrics().ascent();
  layout->draw(&painter, QPointF(left, baseline - textLine.ascent()), selection);
  if (caretHere && caretShown_ && hasFocus()) {
    const qreal x = left + textLine.cursorToX(caretColumn);
    painter.fillRect(QRectF(x, y, 1, height), palette().brush(QPalette::Text));
  }
}

// The caret shows at once; its timer starts again once the events settle, not once for
// every move of a run.
void SurfaceView::restartBlink() {
  caretShown_ = true;
  blinkRestart_ = true;
  scheduleSettle();
  const int32_t line = model_.lineFromChar(model_.activeEnd());
  updateLines(line, line);
}

// ---- Events ----

bool SurfaceView::event(QEvent* e) {
  if (e->type() == kSettleEvent) {
    settle();
    return true;
  }
  if (e->type() == QEvent::ShortcutOverride && editorKey(static_cast<QKeyEvent*>(e))) {
    e->accept();
    return true;
  }
  return QAbstractScrollArea::event(e);
}

// A caret in view stays in view: a scroll bar that comes with the lines now shown (Qt shows
// it once the events settle) takes a row.
void SurfaceView::resizeEvent(QResizeEvent*) {
  const int32_t caret = model_.activeEnd();
  const int32_t line = model_.lineFromChar(caret);
  const bool caretInView = line >= shownFirst_ && line < shownFirst_ + shownRows_;
  updateScrollBars();
  scheduleSettle();
  if (caretInView) ensureVisible(caret);
}

void SurfaceView::changeEvent(QEvent* e) {
  QAbstractScrollArea::changeEvent(e);
  if (e->type() != QEvent::FontChange) return;
  measureFont();
  lines_.clear();
  updateScrollBars();
  scheduleSettle();
  viewport()->update();
  emit linesInViewChanged();
}

// The lines scrolled into view are measured when the events settle.
// Across, the pixels move and only the strip scrolled into view is drawn: typing at the
// right edge scrolls on every key.
void SurfaceView::scrollContentsBy(int dx, int dy) {
  if (dy == 0) {
    viewport()->scroll(dx, 0);
    return;
  }
  viewport()->update();
  if (!updatingBars_) {
    // A scroll from outside (the bar, the wheel) wins over a pending ensureVisible(), as it
    // would have come after it.
    pendingFirst_ = -1;
    updateScrollBars();
  }
  scheduleSettle();
}

void SurfaceView::keyPressEvent(QKeyEvent* e) { input_.keyPressed(e); }
void SurfaceView::keyReleaseEvent(QKeyEvent* e) { input_.keyReleased(e); }

void SurfaceView::mousePressEvent(QMouseEvent* e) {
  if (e->button() == Qt::LeftButton) {
    model_.pressAt(offsetAt(e->position()), (e->modifiers() & Qt::ShiftModifier) != 0);
    selecting_ = true;
  }
  input_.mouseButton(e, true);
}

void SurfaceView::mouseMoveEvent(QMouseEvent* e) {
  if (!selecting_ || (e->buttons() & Qt::LeftButton) == 0) return;
  dragPoint_ = e->position();
  model_.pressAt(offsetAt(dragPoint_), true);
  // Above or below the view the selection goes on growing, a line at a time.
  const bool outside = dragPoint_.y() < 0 || dragPoint_.y() >= viewport()->height();
  if (outside && !dragTimer_.isActive()) dragTimer_.start();
  if (!outside) dragTimer_.stop();
}

void SurfaceView::dragScroll() {
  if (!selecting_) return dragTimer_.stop();
  // The point stays beyond the edge, so each step reaches one line further.
  model_.pressAt(offsetAt(dragPoint_), true);
}

void SurfaceView::mouseReleaseEvent(QMouseEvent* e) {
  if (e->button() == Qt::LeftButton) {
    selecting_ = false;
    dragTimer_.stop();
    offerSelection();
  } else if (e->button() == Qt::MiddleButton) {
    pasteSelectionAt(e->position());
  }
  input_.mouseButton(e, false);
}

void SurfaceView::mouseDoubleClickEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton) return;
  model_.selectWordAt(offsetAt(e->position()));
  offerSelection();
}

// Where the system has a selection clipboard (X11), text selected with the mouse is offered
// there and a middle click puts that clipboard's text where it lands, as a drop does.
void SurfaceView::offerSelection() {
  QClipboard* clipboard = QGuiApplication::clipboard();
  if (clipboard->supportsSelection() && model_.selLength() > 0)
    clipboard->setText(toQString(model_.selText()), QClipboard::Selection);
}

void SurfaceView::pasteSelectionAt(QPointF point) {
  const QClipboard* clipboard = QGuiApplication::clipboard();
  if (!clipboard->supportsSelection() || model_.locked()) return;
  const QString text = clipboard->text(QClipboard::Selection);
  if (text.isEmpty()) return;
  model_.pressAt(offsetAt(point), false);
  model_.pasteText(toText(text));
}

void SurfaceView::focusInEvent(QFocusEvent* e) {
  QAbstractScrollArea::focusInEvent(e);
  updateLines(selectionLines_.first, selectionLines_.second);  // a hidden selection shows
  restartBlink();
  input_.focusGained(e->reason());
}

void SurfaceView::focusOutEvent(QFocusEvent* e) {
  QAbstractScrollArea::focusOutEvent(e);
  blink_.stop();
  caretShown_ = false;
  selecting_ = false;
  dragTimer_.stop();
  viewport()->update();
  input_.focusLost(e->reason());
}

void SurfaceView::contextMenuEvent(QContextMenuEvent* e) { e->accept(); }

// Committed text replaces the selection, or, when the input method names text around the
// caret to replace (a correction: replacementStart and replacementLength, relative to the
// caret), that text; both in one change.
void SurfaceView::inputMethodEvent(QInputMethodEvent* e) {
  const bool replacing = e->replacementLength() > 0;
  if (replacing) {
    const int32_t caret = model_.activeEnd();
    const int32_t from = std::clamp(caret + e->replacementStart(), 0, model_.textLength());
    const int32_t to = std::clamp(from + e->replacementLength(), from, model_.textLength());
    model_.select(from, to, true);
  }
  if (!e->commitString().isEmpty() || (replacing && model_.selLength() > 0))
    model_.pasteText(toText(e->commitString()));
  preedit_ = e->preeditString();
  preeditCursor_ = static_cast<int>(preedit_.size());
  for (const QInputMethodEvent::Attribute& a : e->attributes())
    if (a.type == QInputMethodEvent::Cursor) preeditCursor_ = a.start;
  viewport()->update();
  e->accept();
}

QVariant SurfaceView::inputMethodQuery(Qt::InputMethodQuery query) const {
  const int32_t caret = model_.activeEnd();
  const int32_t line = model_.lineFromChar(caret);
  const int32_t start = model_.lineStart(line);
  const int32_t end = model_.lineEnd(line);
  switch (query) {
    case Qt::ImEnabled:
      return true;
    case Qt::ImCursorRectangle:
      return QRect(pointOf(caret) + viewport()->pos(), QSize(1, lineHeight()));
    case Qt::ImFont:
      return font();
    case Qt::ImCursorPosition:
      return caret - start;
    case Qt::ImAnchorPosition:
      return std::clamp(model_.anchorEnd(), start, end) - start;
    case Qt::ImSurroundingText:
      return toQString(model_.slice(start, end - start));
    case Qt::ImCurrentSelection:
      return toQString(model_.selText());
    case Qt::ImHints:
      return static_cast<int>(Qt::ImhMultiLine);
    case Qt::ImMaximumTextLength:
      return model_.maxLength() > 0 ? QVariant(model_.maxLength()) : QVariant();
    default:
      return QAbstractScrollArea::inputMethodQuery(query);
  }
}

void SurfaceView::dragEnterEvent(QDragEnterEvent* e) {
  if (e->mimeData()->hasText()) e->acceptProposedAction();
}

void SurfaceView::dragMoveEvent(QDragMoveEvent* e) {
  if (e->mimeData()->hasText()) e->acceptProposedAction();
}

// A drop puts its text where it lands, as a paste would.
void SurfaceView::dropEvent(QDropEvent* e) {
  if (!e->mimeData()->hasText() || model_.locked()) return;
  model_.pressAt(offsetAt(e->position()), false);
  model_.pasteText(toText(e->mimeData()->text()));
  e->acceptProposedAction();
}

}  // namespace tavi::qt
