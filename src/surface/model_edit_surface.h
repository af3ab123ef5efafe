// An editing surface whose text, selection, formats, find and limits are a SurfaceModel. The
// platforms that draw the model themselves (headless, Qt, the browser) derive from it and
// add their window, their metrics, the model's View and a person's input.
#pragma once

#include <cstdint>
#include <vector>

#include "shell/widgets/edit_surface.h"
#include "surface/surface_model.h"

namespace tavi {

class ModelEditSurface : public EditSurface, protected SurfaceModel::View {
 public:
  Text text() const override { return model_.text(); }
  int32_t textLength() const override { return model_.textLength(); }
  std::optional<TextChange> lastTextChange() const override {
    const SurfaceModel::Edit& edit = model_.lastEdit();
    return TextChange{edit.serial, edit.at, edit.removed, edit.inserted};
  }
  Text textRange(int32_t start, int32_t length) const override {
    return model_.slice(start, length);
  }
  int32_t selStart() const override { return model_.selStart(); }
  void setSelStart(int32_t start) override { model_.setSelStart(start); }
  int32_t selLength() const override { return model_.selLength(); }
  void setSelLength(int32_t length) override { model_.setSelLength(length); }
  Text selText() const override { return model_.selText(); }
  void replaceSelection(TextView text) override { model_.replaceSelection(text); }
  void setSelColor(int32_t color) override { model_.setSelColor(color); }
  void setSelBold(bool bold) override { model_.setSelBold(bold); }
  void applyStyleRuns(std::span<const StyleRun> runs) override { model_.applyStyleRuns(runs); }
  int32_t find(TextView what, int32_t start, int32_t end, int options) override {
    return model_.find(what, start, end, options);
  }
  void setMaxLength(int32_t maxLength) override { model_.setMaxLength(maxLength); }
  void setLocked(bool locked) override { model_.setLocked(locked); }
  int32_t lineCount() const override { return model_.lineCount(); }
  int32_t lineFromChar(int32_t offset) const override { return model_.lineFromChar(offset); }

  // Inspection.
  const SurfaceModel& model() const { return model_; }
  std::vector<FormatRun> formats() const { return model_.formats(); }
  int32_t maxLength() const { return model_.maxLength(); }
  bool locked() const { return model_.locked(); }
  int32_t lineStart(int32_t line) const { return model_.lineStart(line); }
  // The end of a line's text, before its CR LF.
  int32_t lineEnd(int32_t line) const { return model_.lineEnd(line); }

 protected:
  SurfaceModel model_{*this};
};

}  // namespace tavi
