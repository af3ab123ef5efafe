// The editing surface for assistive technology: the view's text, caret and selection as
// Qt's accessible text interface, read from the surface model. Offsets are the model's
// code units, as Qt's accessibility offsets are UTF-16 positions too.
#pragma once

#include <QAccessibleWidget>

namespace tavi::qt {

class SurfaceView;

class SurfaceAccessible final : public QAccessibleWidget, public QAccessibleTextInterface {
 public:
  explicit SurfaceAccessible(SurfaceView* view);

  // Makes Qt create one for every SurfaceView; idempotent.
  static void install();

  void* interface_cast(QAccessible::InterfaceType type) override;
  QString text(QAccessible::Text t) const override;

  // QAccessibleTextInterface.
  void selection(int selectionIndex, int* startOffset, int* endOffset) const override;
  int selectionCount() const override;
  void addSelection(int startOffset, int endOffset) override;
  void removeSelection(int selectionIndex) override;
  void setSelection(int selectionIndex, int startOffset, int endOffset) override;
  int cursorPosition() const override;
  void setCursorPosition(int position) override;
  QString text(int startOffset, int endOffset) const override;
  int characterCount() const override;
  QRect characterRect(int offset) const override;
  int offsetAtPoint(const QPoint& point) const override;
  void scrollToSubstring(int startIndex, int endIndex) override;
  QString attributes(int offset, int* startOffset, int* endOffset) const override;

 private:
  SurfaceView* view() const;
};

}  // namespace tavi::qt
