// The fixed metrics of the headless platform, so that every result is the same on every
// machine: pixel size, the editor's character grid, text measures and widget sizes.
#pragma once

#include <cstdint>

namespace tavi::headless {

inline constexpr int32_t kTwipsPerPixel = 15;

// The editor font is a grid of cells, one UTF-16 code unit (a tab too) per cell.
inline constexpr int32_t kCellWidth = 8;
inline constexpr int32_t kCellHeight = 16;

// Text measured by the control site and the gutter: 7 pixels per code unit, 16 high.
inline constexpr int32_t kMeasureCharWidth = 7;
inline constexpr int32_t kMeasureTextHeight = 16;

inline constexpr int32_t kListWidth = 160;  // pixels
inline constexpr int32_t kListHeight = 128;
inline constexpr int32_t kListRowHeight = 16;

inline constexpr int32_t kGutterWidth = 720;  // twips

inline constexpr int32_t kDefaultControlWidth = 9000;  // twips
inline constexpr int32_t kDefaultControlHeight = 6000;

}  // namespace tavi::headless
