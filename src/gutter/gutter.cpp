#include "gutter/gutter.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <string>
#include <utility>
#include <vector>

#include "shell/control.h"
#include "shell/skip_on_failure.h"

namespace tavi {

namespace {

constexpr TextView kLineHeightSample = u"Hy";

Text decimal(int32_t n) {
  std::string digits = std::to_string(n);
  return Text(digits.begin(), digits.end());
}

}  // namespace

void ResizeControls(TaviColorText& control) {
  const Widgets& w = control.widgets();
  FrameBox& frame = *w.frame;
  EditSurface& editor = *w.editor;
  GutterCanvas& gutter = *w.gutter;
  skipOnFailure([&] { frame.setWidth(roundToI4(w.site->scaleWidth())); });
  // The frame's inner height is the largest multiple of 16 twips not above the control's.
  int32_t h = 0;
  skipOnFailure([&] {
    h = roundToI4(w.site->scaleHeight());
    frame.setHeight(h - h % 16);
  });
  skipOnFailure([&] { frame.setHeight((frame.height() - frame.innerHeight()) + h - h % 16); });
  skipOnFailure([&] { editor.setWidth(frame.innerWidth() - gutter.width()); });
  skipOnFailure([&] { editor.setHeight(frame.innerHeight()); });
  skipOnFailure([&] { editor.setLeft(gutter.width()); });
  skipOnFailure([&] { gutter.setHeight(editor.height()); });
  skipOnFailure([&] { editor.refresh(); });
  skipOnFailure([&] { DrawLineNumbers(control); });
}

namespace {

// The picture the gutter should show now: each visible line's number, the caret's lines in
// the window-text colour and the others in the button shadow.
GutterPicture pictureOf(TaviColorText& control) {
  const Widgets& w = control.widgets();
  const EditSurface& editor = *w.editor;
  GutterCanvas& gutter = *w.gutter;
  const Screen& screen = *w.screen;

  GutterPicture picture;
  picture.face = editor.fontName();
  gutter.setFontName(picture.face);
  const PixelRect sample = gutter.measureText(kLineHeightSample);
  picture.lineHeight = sample.bottom - sample.top;
  const int32_t count = editor.lineCount();
  const int32_t selStart = editor.selStart();
  const int32_t caretLine = editor.lineFromChar(selStart);
  const int32_t last = selStart + editor.selLength() - 1;
  const int32_t endLine = last > selStart ? editor.lineFromChar(last) : caretLine;
  int32_t line = editor.firstVisibleLine();

  picture.client = gutter.clientRect();
  picture.background = TranslateColor(screen, gutter.backColor(), 0);
  const int32_t shadow = TranslateColor(screen, kColorButtonShadow, 0);
  const int32_t windowText = TranslateColor(screen, kColorWindowText, 0);
  picture.rule = shadow;
  PixelRect rect{2, 0, picture.client.right - 2, picture.lineHeight};
  int32_t color = shadow;
  // The first number is drawn even when it does not fit; the stop test follows each one.
  for (;;) {
    if (line == caretLine)
      color = windowText;
    else if (line == endLine + 1)
      color = shadow;
    picture.rows.push_back({rect, decimal(line + 1), color});
    ++line;
    rect.top += picture.lineHeight;
    rect.bottom += picture.lineHeight;
    if (line + 1 > count || rect.bottom > picture.client.bottom) break;
  }
  return picture;
}

void paintWhole(GutterCanvas& gutter, const GutterPicture& picture) {
  const PixelRect& client = picture.client;
  gutter.fillRect(client, picture.background);
  for (const GutterRow& row : picture.rows)
    gutter.drawText(row.rect, row.number, row.color, kDtRight);
  gutter.drawLine(client.right - 1, 0, client.right - 1, client.bottom, picture.rule);
}

// The rows of `next` that differ from `shown`, and those of `shown` that `next` lacks.
std::vector<size_t> changedRows(const GutterPicture& shown, const GutterPicture& next) {
  std::vector<size_t> rows;
  for (size_t i = 0; i < std::max(shown.rows.size(), next.rows.size()); ++i)
    if (i >= shown.rows.size() || i >= next.rows.size() || !(shown.rows[i] == next.rows[i]))
      rows.push_back(i);
  return rows;
}

// A row is cleared up to the rule and drawn again; a row that no longer has a number is
// only cleared.
void paintRows(GutterCanvas& gutter, const GutterPicture& shown, const GutterPicture& next,
               const std::vector<size_t>& rows) {
  for (size_t i : rows) {
    const GutterRow& row = i < next.rows.size() ? next.rows[i] : shown.rows[i];
    gutter.fillRect({0, row.rect.top, next.client.right - 1, row.rect.bottom}, next.background);
    if (i < next.rows.size()) gutter.drawText(row.rect, row.number, row.color, kDtRight);
  }
}

}  // namespace

// On a canvas that keeps its drawing, only the rows whose number or colour changed are drawn
// again: a keystroke that adds no line draws nothing. A change of the frame (size, colours,
// font, line height), or of every row (a scroll), paints the whole gutter.
void DrawLineNumbers(TaviColorText& control) {
  GutterCanvas& gutter = *control.widgets().gutter;
  GutterPicture next = pictureOf(control);
  GutterPicture& shown = control.m_gutterShown;
  const bool partial = gutter.keepsDrawing() && !shown.rows.empty() && shown.sameFrame(next);
  const std::vector<size_t> rows = partial ? changedRows(shown, next) : std::vector<size_t>{};
  if (partial && rows.size() < std::max(shown.rows.size(), next.rows.size()))
    paintRows(gutter, shown, next, rows);
  else
    paintWhole(gutter, next);
  shown = std::move(next);
  if (gutter.autoRedraw()) gutter.refresh();
}

int32_t TranslateColor(const Screen& screen, int32_t color, int32_t /*palette*/) {
  const uint32_t value = static_cast<uint32_t>(color);
  switch (value >> 24) {
    case 0x00:
    case 0x02:  // a palette-relative RGB value is a colour of its own without a palette
      return color;
    case 0x80: {
      if ((value & 0x00FFFF00u) != 0) return -1;
      std::optional<int32_t> rgb = screen.systemColor(static_cast<int>(value & 0xFFu));
      return rgb ? *rgb : -1;
    }
    default:
      return -1;
  }
}

void GutterTimerTick(TaviColorText& control) {
  ModuleState& module = control.module();
  if (!module.m_bGutterDirty) return;
  DrawLineNumbers(control);
  module.m_bGutterDirty = false;
}

}  // namespace tavi
