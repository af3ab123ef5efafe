// What the gutter shows after a paint: the frame it was drawn in and each row's number, so
// that the next paint can tell which rows changed.
#pragma once

#include <cstdint>
#include <vector>

#include "shell/text.h"
#include "shell/widgets/gutter_canvas.h"

namespace tavi {

struct GutterRow {
  PixelRect rect;  // where the number is drawn, right-aligned
  Text number;
  int32_t color = 0;
  friend bool operator==(const GutterRow&, const GutterRow&) = default;
};

struct GutterPicture {
  // The frame: a change to any of these repaints the whole gutter.
  PixelRect client;
  int32_t background = 0;
  int32_t rule = 0;  // the colour of the line down the right edge
  Text face;
  int32_t lineHeight = 0;
  std::vector<GutterRow> rows;  // top row first

  bool sameFrame(const GutterPicture& other) const {
    return client.right == other.client.right && client.bottom == other.client.bottom &&
           background == other.background && rule == other.rule && face == other.face &&
           lineHeight == other.lineHeight;
  }
};

}  // namespace tavi
