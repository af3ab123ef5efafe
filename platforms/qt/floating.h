// The widgets that float over the editing surface on Qt: the keyword completion list (a
// QListWidget kept in the control's sort order) and the parameter hint (a QLabel), and the
// popup menu. Positions are pixels of the editor widget, which is their parent.
#pragma once

#include <QLabel>
#include <QListWidget>
#include <QMenu>

#include <functional>

#include "shell/widgets/environment.h"
#include "shell/widgets/floating.h"

namespace tavi::qt {

// The list's own keys act by the keyword list's rule (KeywordListBox::keyAction), not by the
// item view's: Enter and Escape, like a click on an item, hand the focus back to the editor.
class KeywordListWidget final : public QListWidget {
  Q_OBJECT

 public:
  KeywordListWidget(KeywordListBox& box, QWidget* parent);
  void setFocusBack(std::function<void()> back) { focusBack_ = std::move(back); }

 protected:
  void keyPressEvent(QKeyEvent* e) override;
  // Keys stay with the list: none travels on to the editor, its parent.
  void keyReleaseEvent(QKeyEvent* e) override;

 private:
  KeywordListBox& box_;
  std::function<void()> focusBack_;
};

class QtListBox final : public KeywordListBox {
 public:
  explicit QtListBox(QWidget* parent);
  KeywordListWidget* widget() const { return widget_; }

  void addItem(TextView item) override;
  int32_t listCount() const override { return widget_->count(); }
  Text item(int32_t index) const override;
  int32_t listIndex() const override;
  // -1 .. listCount() - 1; anything else is an invalid property value (error 380).
  void setListIndex(int32_t index) override;
  bool visible() const override { return !widget_->isHidden(); }
  void setVisible(bool visible) override;
  int32_t left() const override { return widget_->x(); }
  void setLeft(int32_t v) override { widget_->move(v, widget_->y()); }
  int32_t top() const override { return widget_->y(); }
  void setTop(int32_t v) override { widget_->move(widget_->x(), v); }
  int32_t width() const override { return widget_->width(); }
  int32_t height() const override { return widget_->height(); }
  void setTabStop(bool tabStop) override;
  void setFocus() override { widget_->setFocus(Qt::OtherFocusReason); }

 private:
  KeywordListWidget* widget_;
};

class QtHintBox final : public HintBox {
 public:
  explicit QtHintBox(QWidget* parent);
  QLabel* widget() const { return widget_; }

  Text text() const override;
  void setText(TextView text) override;
  bool visible() const override { return !widget_->isHidden(); }
  void setVisible(bool visible) override;
  int32_t left() const override { return widget_->x(); }
  void setLeft(int32_t v) override { widget_->move(v, widget_->y()); }
  int32_t top() const override { return widget_->y(); }
  void setTop(int32_t v) override { widget_->move(widget_->x(), v); }
  int32_t width() const override { return widget_->width(); }
  void setWidth(int32_t v) override;
  int32_t height() const override { return widget_->height(); }
  void setHeight(int32_t v) override;
  void setTabStop(bool) override {}

 private:
  QLabel* widget_;
};

// The popup menu: the chosen entry (1-based) goes to the click handler.
class QtPopupMenu final : public PopupMenu {
 public:
  explicit QtPopupMenu(QWidget* parent);
  QMenu* widget() const { return menu_; }
  void setClickHandler(std::function<void(int16_t)> handler) { clicked_ = std::move(handler); }

  // The component's own widget is never seen; only its menu is.
  void setVisible(bool) override {}
  void clear() override { menu_->clear(); }
  void addItem(TextView caption) override;
  // Opens at the mouse pointer and returns at once; the choice arrives later.
  void show() override;

 private:
  QMenu* menu_;
  std::function<void(int16_t)> clicked_;
};

}  // namespace tavi::qt
