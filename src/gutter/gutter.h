// The line-number gutter: layout of the frame, gutter and editor, and painting of the
// numbers of the visible lines.
#pragma once

#include <cstdint>

namespace tavi {

class TaviColorText;
class Screen;

inline constexpr int32_t kColorButtonShadow = static_cast<int32_t>(0x80000010u);
inline constexpr int32_t kColorWindowText = static_cast<int32_t>(0x80000008u);

// Lays out the frame, the editor and the gutter; every step skips a failure.
void ResizeControls(TaviColorText& control);
// Paints the numbers of the visible lines: the whole gutter, or on a canvas that keeps its
// drawing only the rows that changed since the last paint.
void DrawLineNumbers(TaviColorText& control);
// An RGB value, or a system-colour code (top bit set, index in the low byte) translated
// to RGB; -1 when it cannot be translated.
int32_t TranslateColor(const Screen& screen, int32_t color, int32_t palette);
// The timer tick: repaints when scrolling marked the gutter dirty.
void GutterTimerTick(TaviColorText& control);

}  // namespace tavi
