// The editing surface on Qt: the shared surface model, which holds the text once with every
// rule of the surface, and a view of our own (SurfaceView) that draws it. The surface raises
// the control's notifications around a person's keys, mouse buttons and focus, and hands
// the keys the control lets through to the model.
#pragma once

#include <QPointer>

#include <cstdint>
#include <set>
#include <vector>

#include "qt/services.h"
#include "qt/surface_view.h"
#include "surface/model_edit_surface.h"

namespace tavi::qt {

class QtEditSurface final : public ModelEditSurface, private SurfaceInput {
 public:
  QtEditSurface(QtServices& services, QWidget* parent);
  ~QtEditSurface() override;
  QtEditSurface(const QtEditSurface&) = delete;
  QtEditSurface& operator=(const QtEditSurface&) = delete;

  // The widget that receives the key, input-method and mouse events.
  SurfaceView* widget() const { return view_.data(); }

  void setListener(SurfaceListener* listener) override { listener_ = listener; }
  void setSelColor(int32_t color) override;
  void setSelBold(bool bold) override;
  void applyStyleRuns(std::span<const StyleRun> runs) override;
  bool hideSelection() const override { return hideSelection_; }
  void setHideSelection(bool hide) override;
  void setMousePointer(int16_t pointer) override;
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
  int32_t firstVisibleLine() const override { return view_->firstVisibleLine(); }
  PixelPoint caretPosition() const override;
  int32_t clientWidth() const override;
  int32_t clientHeight() const override;

  // The distance between the tops of two lines.
  int lineSpacing() const { return view_->lineHeight(); }
  // The format of the code unit at `offset` (colour 0x00BBGGRR, bold).
  int32_t colorAt(int32_t offset) const;
  bool boldAt(int32_t offset) const;

 private:
  // The model's view.
  void textChanged() override;
  void selectionMoved(int32_t offset) override { view_->selectionMoved(offset); }
  int32_t rowsPerPage() const override { return view_->rowsInView(); }
  void scrollRows(int32_t rows) override { view_->scrollRows(rows); }
  // Tab: the focus leaves for the host's next tab stop, unless the control takes it back
  // while it hears of the loss.
  void tabOut() override;

  // The view's input.
  void keyPressed(QKeyEvent* e) override;
  void keyReleased(QKeyEvent* e) override;
  void mouseButton(QMouseEvent* e, bool down) override;
  void focusGained(Qt::FocusReason reason) override;
  void focusLost(Qt::FocusReason reason) override;

  bool holdsKeyboard() const;
  FormatRun formatAt(int32_t offset) const;

  QtServices& services_;
  QPointer<SurfaceView> view_;  // owned by its parent widget, or by the surface if still there
  SurfaceListener* listener_ = nullptr;
  intptr_t hwnd_;
  std::set<int16_t> keysDown_;   // keys that went down here: only they come up here
  bool focusAway_ = false;       // Tab took the focus out, the control not told it back
  bool focusAnnounced_ = false;  // the control has heard of the focus gained
  bool hideSelection_ = true;
};

}  // namespace tavi::qt
