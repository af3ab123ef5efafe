// What tavi-edit paints over the text without touching it: a faint background on the
// caret's line and a mark on every match of the search in view. Both are the editor view's
// background marks (SurfaceView::setMarks): the text's formats stay as the control set
// them, and nothing reaches its journal or its onChange.
#pragma once

#include <QObject>
#include <QString>

namespace tavi {

namespace qt {
class SurfaceView;
}

class ViewMarks final : public QObject {
  Q_OBJECT

 public:
  // Follows the editor's caret, text, scrolling and size.
  explicit ViewMarks(qt::SurfaceView& editor);

  // The text whose matches are marked (the control's case rule unless `matchCase`); an
  // empty text marks none.
  void setSearch(const QString& text, bool matchCase);
  // The marks afresh, now; they are also brought up to date once the events settle.
  void refresh();
  int matchesInView() const { return matches_; }

 private:
  void schedule();

  qt::SurfaceView& editor_;
  QString search_;
  bool matchCase_ = false;
  bool scheduled_ = false;
  int matches_ = 0;
};

}  // namespace tavi
