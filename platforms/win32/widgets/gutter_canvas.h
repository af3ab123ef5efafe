// The gutter and the frame on Windows. The gutter is a window of its own class painted
// with GDI: its WM_PAINT asks the control to paint (gutterPaint), and drawing at any other
// time goes straight to the window's device context. The frame is a window with a sunken
// border that holds the gutter and the editor and hears the editor's notifications.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "shell/widgets/gutter_canvas.h"

namespace tavi::win32 {

class Win32GutterCanvas final : public GutterCanvas {
 public:
  // The gutter as a child of `frame`, 720 twips wide, in "Courier New" 9.75 pt.
  Win32GutterCanvas(HWND frame, int id);
  ~Win32GutterCanvas() override;
  Win32GutterCanvas(const Win32GutterCanvas&) = delete;
  Win32GutterCanvas& operator=(const Win32GutterCanvas&) = delete;

  HWND hwnd() const { return hwnd_; }
  // What the window's WM_PAINT asks of the control (its gutterPaint notification).
  void setPaintHandler(std::function<void()> handler) { paintHandler_ = std::move(handler); }
  // Whether the control has painted the gutter yet.
  bool paintedByControl() const { return paintedByControl_; }
  // Runs the paint handler with its drawing going into `dc` (a picture of the control).
  void paintInto(HDC dc);

  int32_t width() const override;
  int32_t height() const override;
  void setHeight(int32_t v) override;
  void setTabStop(bool tabStop) override;
  void setFontName(TextView face) override;
  // The picture box's default background: the system's button face.
  int32_t backColor() const override { return static_cast<int32_t>(0x8000000F); }
  bool autoRedraw() const override { return false; }
  void refresh() override;

  PixelRect clientRect() const override;
  PixelRect measureText(TextView text) const override;
  void fillRect(const PixelRect& rect, int32_t color) override;
  void drawText(const PixelRect& rect, TextView text, int32_t color, uint32_t format) override;
  void drawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t color) override;

 private:
  class Target;
  static LRESULT CALLBACK gutterProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  void paint();

  HWND hwnd_ = nullptr;
  HFONT font_ = nullptr;
  std::wstring face_ = L"Courier New";
  HDC target_ = nullptr;  // the paint's (or the picture's) device context while it runs
  std::function<void()> paintHandler_;
  bool paintedByControl_ = false;
};

class Win32FrameBox final : public FrameBox {
 public:
  Win32FrameBox(HWND parent, int id);
  ~Win32FrameBox() override;
  Win32FrameBox(const Win32FrameBox&) = delete;
  Win32FrameBox& operator=(const Win32FrameBox&) = delete;

  HWND hwnd() const { return hwnd_; }
  int32_t width() const override;
  void setWidth(int32_t v) override;
  int32_t height() const override;
  void setHeight(int32_t v) override;
  int32_t innerWidth() const override;
  int32_t innerHeight() const override;
  void setTabStop(bool tabStop) override;

 private:
  static LRESULT CALLBACK frameProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  RECT bounds() const;
  HWND hwnd_ = nullptr;
};

}  // namespace tavi::win32
