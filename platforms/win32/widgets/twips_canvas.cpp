#include "win32/widgets/twips_canvas.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace tavi::win32 {

namespace {

// Coordinates beyond this many twips (about 37 metres) are cut to it, so that absurd
// positions cannot overflow the device's coordinate space.
constexpr double kCoordinateLimit = 1 << 26;

int toLogical(double twips) {
  if (std::isnan(twips)) return 0;
  return static_cast<int>(std::lround(std::clamp(twips, -kCoordinateLimit, kCoordinateLimit)));
}

// While it lives, the context draws in twips with the font selected; it restores the
// context's state when it goes.
class TwipsScope {
 public:
  TwipsScope(HDC dc, HFONT font) : dc_(dc), saved_(SaveDC(dc)) {
    SetMapMode(dc, MM_ANISOTROPIC);
    SetWindowExtEx(dc, static_cast<int>(kTwipsPerInch), static_cast<int>(kTwipsPerInch), nullptr);
    SetViewportExtEx(dc, GetDeviceCaps(dc, LOGPIXELSX), GetDeviceCaps(dc, LOGPIXELSY), nullptr);
    SelectObject(dc, font);
  }
  ~TwipsScope() { RestoreDC(dc_, saved_); }
  TwipsScope(const TwipsScope&) = delete;
  TwipsScope& operator=(const TwipsScope&) = delete;

 private:
  HDC dc_;
  int saved_;
};

COLORREF colorOf(int32_t color) {
  const auto value = static_cast<uint32_t>(color);
  if ((value & 0x80000000u) != 0) return GetSysColor(static_cast<int>(value & 0xFF));
  return value & 0x00FFFFFFu;
}

}  // namespace

PageSize drawableArea(HDC dc) {
  const int dpiX = GetDeviceCaps(dc, LOGPIXELSX);
  const int dpiY = GetDeviceCaps(dc, LOGPIXELSY);
  if (dpiX <= 0 || dpiY <= 0) return {};
  return {GetDeviceCaps(dc, HORZRES) * kTwipsPerInch / dpiX,
          GetDeviceCaps(dc, VERTRES) * kTwipsPerInch / dpiY};
}

TwipsFont::TwipsFont(double points)
    : points_(points),
      // A negative height asks for the character height (the em), as a point size means.
      font_(CreateFontW(-std::max(1, toLogical(points * kTwipsPerPoint)), 0, 0, 0, FW_NORMAL, FALSE,
                        FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                        DEFAULT_QUALITY, FIXED_PITCH | FF_MODERN, kPrinterTypeface)) {}

TwipsFont::~TwipsFont() {
  if (font_ != nullptr) DeleteObject(font_);
}

SIZE TwipsCanvas::extent(std::wstring_view text) const {
  // An empty text is as high as a line: the height of a blank.
  if (text.empty()) text = L" ";
  TwipsScope scope(dc_, font_.handle());
  SIZE size{};
  GetTextExtentPoint32W(dc_, text.data(), static_cast<int>(text.size()), &size);
  return size;
}

double TwipsCanvas::textWidth(std::wstring_view text) const {
  return text.empty() ? 0 : extent(text).cx;
}

double TwipsCanvas::textHeight(std::wstring_view text) const { return extent(text).cy; }

void TwipsCanvas::text(double x, double y, std::wstring_view text) const {
  if (text.empty()) return;
  TwipsScope scope(dc_, font_.handle());
  SetTextAlign(dc_, TA_LEFT | TA_TOP | TA_NOUPDATECP);
  SetBkMode(dc_, TRANSPARENT);
  SetTextColor(dc_, RGB(0, 0, 0));
  TextOutW(dc_, toLogical(x), toLogical(y), text.data(), static_cast<int>(text.size()));
}

void TwipsCanvas::line(double x1, double y1, double x2, double y2, int32_t color) const {
  TwipsScope scope(dc_, font_.handle());
  // Width 0: one device pixel, the thinnest line the device draws.
  HPEN pen = CreatePen(PS_SOLID, 0, colorOf(color));
  HGDIOBJ old = SelectObject(dc_, pen);
  MoveToEx(dc_, toLogical(x1), toLogical(y1), nullptr);
  LineTo(dc_, toLogical(x2), toLogical(y2));
  SelectObject(dc_, old);
  DeleteObject(pen);
}

}  // namespace tavi::win32
