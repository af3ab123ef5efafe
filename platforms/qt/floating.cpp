#include "qt/floating.h"

#include <QCursor>
#include <QKeyEvent>

#include <algorithm>

#include "qt/key_codes.h"
#include "qt/units.h"
#include "shell/runtime_error.h"

namespace tavi::qt {

namespace {

constexpr int kListWidth = 200;  // pixels
constexpr int kListHeight = 136;

}  // namespace

KeywordListWidget::KeywordListWidget(KeywordListBox& box, QWidget* parent)
    : QListWidget(parent), box_(box) {}

void KeywordListWidget::keyPressEvent(QKeyEvent* e) {
  e->accept();
  const int16_t key = virtualKeyOf(e->key(), e->modifiers(), !e->text().isEmpty());
  const int row = std::max(1, sizeHintForRow(0));
  const int32_t rows = std::max(1, viewport()->height() / row);
  if (box_.keyAction(key, shiftMaskOf(e->modifiers(), key, true), rows) && focusBack_) focusBack_();
}

void KeywordListWidget::keyReleaseEvent(QKeyEvent* e) { e->accept(); }

QtListBox::QtListBox(QWidget* parent) : widget_(new KeywordListWidget(*this, parent)) {
  widget_->setSelectionMode(QAbstractItemView::SingleSelection);
  widget_->setFixedSize(kListWidth, kListHeight);
  widget_->setUniformItemSizes(true);
  widget_->hide();
}

void QtListBox::addItem(TextView item) {
  // After every item that does not sort after the new one: equal items keep their order.
  int low = 0;
  int high = widget_->count();
  const QString text = toQString(item);
  while (low < high) {
    const int mid = (low + high) / 2;
    if (keywordSortsBefore(item, toText(widget_->item(mid)->text())))
      high = mid;
    else
      low = mid + 1;
  }
  // Inserting moves the current item's row with it: the selection stays on its item.
  widget_->insertItem(low, text);
}

Text QtListBox::item(int32_t index) const {
  if (index < 0 || index >= listCount()) return Text();
  return toText(widget_->item(index)->text());
}

int32_t QtListBox::listIndex() const {
  const int row = widget_->currentRow();
  return row >= 0 && widget_->item(row)->isSelected() ? row : -1;
}

void QtListBox::setListIndex(int32_t index) {
  if (index < -1 || index >= listCount()) throw RuntimeError(err::kInvalidPropertyValue);
  if (index < 0) {
    widget_->clearSelection();
    widget_->setCurrentRow(-1);
    return;
  }
  widget_->setCurrentRow(index, QItemSelectionModel::ClearAndSelect);
  widget_->scrollToItem(widget_->item(index));
}

void QtListBox::setVisible(bool visible) {
  widget_->setVisible(visible);
  if (visible) widget_->raise();
}

void QtListBox::setTabStop(bool tabStop) {
  widget_->setFocusPolicy(tabStop ? Qt::StrongFocus : Qt::ClickFocus);
}

QtHintBox::QtHintBox(QWidget* parent) : widget_(new QLabel(parent)) {
  widget_->setFrameShape(QFrame::Box);
  widget_->setAutoFillBackground(true);
  widget_->setBackgroundRole(QPalette::ToolTipBase);
  widget_->setForegroundRole(QPalette::ToolTipText);
  widget_->setTextFormat(Qt::PlainText);
  widget_->setFocusPolicy(Qt::NoFocus);
  // The control sizes the box 5 pixels larger than its text: a frame and a margin of one
  // pixel each fit in that, a framed label's default indent (half an "x") does not.
  widget_->setMargin(1);
  widget_->setIndent(0);
  widget_->hide();
}

Text QtHintBox::text() const { return toText(widget_->text()); }
void QtHintBox::setText(TextView text) { widget_->setText(toQString(text)); }

void QtHintBox::setVisible(bool visible) {
  widget_->setVisible(visible);
  if (visible) widget_->raise();
}

void QtHintBox::setWidth(int32_t v) {
  if (v < 0) throw RuntimeError(err::kInvalidPropertyValue);
  widget_->resize(v, widget_->height());
}

void QtHintBox::setHeight(int32_t v) {
  if (v < 0) throw RuntimeError(err::kInvalidPropertyValue);
  widget_->resize(widget_->width(), v);
}

QtPopupMenu::QtPopupMenu(QWidget* parent) : menu_(new QMenu(parent)) {}

void QtPopupMenu::addItem(TextView caption) {
  const auto entry = static_cast<int16_t>(menu_->actions().size() + 1);
  QAction* action = menu_->addAction(toQString(caption));
  QObject::connect(action, &QAction::triggered, menu_, [this, entry] {
    if (clicked_) clicked_(entry);
  });
}

void QtPopupMenu::show() { menu_->popup(QCursor::pos()); }

}  // namespace tavi::qt
