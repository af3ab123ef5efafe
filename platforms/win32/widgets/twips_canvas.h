// A place to draw in twips: text and lines on a device context (a printer's page, or an
// enhanced metafile in tests), with y growing downwards from the top left corner of the
// device's drawable area. Each operation maps the context to twips and selects the font
// afresh, so that nothing depends on what a page start does to the context's state.
#pragma once

#include <windows.h>

#include <string_view>

#include "shell/widgets/print_recorder.h"

namespace tavi::win32 {

inline constexpr double kTwipsPerInch = 1440;
inline constexpr double kTwipsPerPoint = 20;
// The listing's typeface: fixed-pitch, so that its columns line up.
inline constexpr wchar_t kPrinterTypeface[] = L"Courier New";

// The device's drawable area in twips.
PageSize drawableArea(HDC dc);

// The printer's font at a size in points, for contexts mapped to twips.
class TwipsFont {
 public:
  explicit TwipsFont(double points);
  ~TwipsFont();
  TwipsFont(const TwipsFont&) = delete;
  TwipsFont& operator=(const TwipsFont&) = delete;
  HFONT handle() const { return font_; }
  double points() const { return points_; }

 private:
  double points_;
  HFONT font_;
};

class TwipsCanvas {
 public:
  // Draws on `dc` (not owned) in `font`.
  TwipsCanvas(HDC dc, const TwipsFont& font) : dc_(dc), font_(font) {}

  // Width and height of one line of text in twips.
  double textWidth(std::wstring_view text) const;
  double textHeight(std::wstring_view text) const;
  // Text with its top left corner at (x, y).
  void text(double x, double y, std::wstring_view text) const;
  // A thin line in a 0x00BBGGRR colour (a system-colour code when the top bit is set).
  void line(double x1, double y1, double x2, double y2, int32_t color) const;

 private:
  SIZE extent(std::wstring_view text) const;

  HDC dc_;
  const TwipsFont& font_;
};

}  // namespace tavi::win32
