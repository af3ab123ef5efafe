#include "gutter/gutter.h"

#include <cmath>
#include <exception>
#include <string>

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

void DrawLineNumbers(TaviColorText& control) {
  const Widgets& w = control.widgets();
  const EditSurface& editor = *w.editor;
  GutterCanvas& gutter = *w.gutter;
  const Screen& screen = *w.screen;

  gutter.setFontName(editor.fontName());
  const PixelRect sample = gutter.measureText(kLineHeightSample);
  const int32_t lineHeight = sample.bottom - sample.top;
  const int32_t count = editor.lineCount();
  const int32_t selStart = editor.selStart();
  const int32_t caretLine = editor.lineFromChar(selStart);
  const int32_t last = selStart + editor.selLength() - 1;
  const int32_t endLine = last > selStart ? editor.lineFromChar(last) : caretLine;
  int32_t line = editor.firstVisibleLine();

  const PixelRect client = gutter.clientRect();
  gutter.fillRect(client, TranslateColor(screen, gutter.backColor(), 0));

  const int32_t shadow = TranslateColor(screen, kColorButtonShadow, 0);
  const int32_t windowText = TranslateColor(screen, kColorWindowText, 0);
  PixelRect rect{2, 0, client.right - 2, lineHeight};
  int32_t color = shadow;
  // The first number is drawn even when it does not fit; the stop test follows each one.
  for (;;) {
    if (line == caretLine)
      color = windowText;
    else if (line == endLine + 1)
      color = shadow;
    gutter.drawText(rect, decimal(line + 1), color, kDtRight);
    ++line;
    rect.top += lineHeight;
    rect.bottom += lineHeight;
    if (line + 1 > count || rect.bottom > client.bottom) break;
  }
  gutter.drawLine(client.right - 1, 0, client.right - 1, client.bottom, shadow);
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
