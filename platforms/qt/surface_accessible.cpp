#include "qt/surface_accessible.h"

#include <algorithm>

#include "qt/surface_view.h"
#include "qt/units.h"

namespace tavi::qt {

namespace {

QAccessibleInterface* surfaceAccessible(const QString& className, QObject* object) {
  if (className != QLatin1String(SurfaceView::staticMetaObject.className())) return nullptr;
  return new SurfaceAccessible(static_cast<SurfaceView*>(object));
}

}  // namespace

SurfaceAccessible::SurfaceAccessible(SurfaceView* view)
    : QAccessibleWidget(view, QAccessible::EditableText) {}

void SurfaceAccessible::install() {
  static const bool installed = [] {
    QAccessible::installFactory(surfaceAccessible);
    return true;
  }();
  (void)installed;
}

SurfaceView* SurfaceAccessible::view() const { return static_cast<SurfaceView*>(widget()); }

void* SurfaceAccessible::interface_cast(QAccessible::InterfaceType type) {
  if (type == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
  return QAccessibleWidget::interface_cast(type);
}

QString SurfaceAccessible::text(QAccessible::Text t) const {
  if (t == QAccessible::Value) return toQString(view()->model().text());
  return QAccessibleWidget::text(t);
}

void SurfaceAccessible::selection(int selectionIndex, int* startOffset, int* endOffset) const {
  const SurfaceModel& model = view()->model();
  const bool any = selectionIndex == 0 && model.selLength() > 0;
  *startOffset = any ? model.selStart() : 0;
  *endOffset = any ? model.selEnd() : 0;
}

int SurfaceAccessible::selectionCount() const { return view()->model().selLength() > 0 ? 1 : 0; }

// One selection at most: adding one replaces it.
void SurfaceAccessible::addSelection(int startOffset, int endOffset) {
  view()->placeSelection(startOffset, endOffset);
}

void SurfaceAccessible::removeSelection(int selectionIndex) {
  if (selectionIndex == 0) view()->placeSelection(cursorPosition(), cursorPosition());
}

void SurfaceAccessible::setSelection(int selectionIndex, int startOffset, int endOffset) {
  if (selectionIndex == 0) view()->placeSelection(startOffset, endOffset);
}

int SurfaceAccessible::cursorPosition() const { return view()->model().activeEnd(); }

void SurfaceAccessible::setCursorPosition(int position) {
  view()->placeSelection(position, position);
}

QString SurfaceAccessible::text(int startOffset, int endOffset) const {
  const SurfaceModel& model = view()->model();
  const int32_t from = std::clamp(startOffset, 0, model.textLength());
  const int32_t to = std::clamp(endOffset, from, model.textLength());
  return toQString(model.slice(from, to - from));
}

int SurfaceAccessible::characterCount() const { return view()->model().textLength(); }

QRect SurfaceAccessible::characterRect(int offset) const {
  const QPoint left = view()->pointOf(offset);
  const QPoint right = view()->pointOf(offset + 1);
  const QPoint origin = view()->viewport()->mapToGlobal(QPoint(0, 0));
  const int width = right.y() == left.y() ? std::max(1, right.x() - left.x()) : 1;
  return {left + origin, QSize(width, view()->lineHeight())};
}

int SurfaceAccessible::offsetAtPoint(const QPoint& point) const {
  return view()->offsetAt(view()->viewport()->mapFromGlobal(point));
}

void SurfaceAccessible::scrollToSubstring(int startIndex, int) {
  view()->ensureVisible(startIndex);
}

// The text carries no attributes a reader needs beyond the characters.
QString SurfaceAccessible::attributes(int offset, int* startOffset, int* endOffset) const {
  *startOffset = offset;
  *endOffset = offset;
  return {};
}

}  // namespace tavi::qt
