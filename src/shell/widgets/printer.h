// The printer system: the current printer (a place to print pages), the installed printers,
// the print dialog with the global memory blocks that carry its records, and the yield to
// pending events. Lengths on the printer are twips.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "shell/text.h"

namespace tavi {

// A handle to a global memory block, 32 bits as the dialog records hold it; 0 is none.
using GlobalHandle = uint32_t;

// Global memory (GlobalAlloc, GlobalLock, GlobalUnlock, GlobalFree).
class GlobalMemory {
 public:
  virtual ~GlobalMemory() = default;
  // A block of `size` bytes; `flags` as GlobalAlloc takes them. 0 when it cannot be had.
  virtual GlobalHandle allocate(uint32_t flags, size_t size) = 0;
  // The block's bytes, valid until the matching unlock; empty for a handle that is no
  // block.
  virtual std::span<uint8_t> lock(GlobalHandle handle) = 0;
  // True while the block stays locked by an earlier lock.
  virtual bool unlock(GlobalHandle handle) = 0;
  // 0 when the block was freed, else the handle.
  virtual GlobalHandle free(GlobalHandle handle) = 0;
};

// GlobalAlloc flags.
inline constexpr uint32_t kGmemMoveable = 0x2;
inline constexpr uint32_t kGmemZeroInit = 0x40;

// Sizes of the dialog records (ANSI layouts).
inline constexpr size_t kPrintDlgSize = 66;
inline constexpr size_t kDevModeSize = 122;
inline constexpr size_t kDevNamesSize = 108;

// The current printer: its settings, its page and the operations that draw on it. Output
// opens a document when none is open; endDoc sends it. With no printer installed, every
// member fails with RuntimeError 484.
class Printer {
 public:
  virtual ~Printer() = default;
  virtual Text deviceName() const = 0;
  virtual Text driverName() const = 0;
  virtual Text port() const = 0;

  virtual int16_t orientation() const = 0;
  virtual void setOrientation(int16_t v) = 0;
  virtual int16_t duplex() const = 0;
  virtual void setDuplex(int16_t v) = 0;
  virtual int16_t copies() const = 0;
  virtual void setCopies(int16_t v) = 0;
  virtual int16_t paperSize() const = 0;
  virtual void setPaperSize(int16_t v) = 0;
  virtual int16_t printQuality() const = 0;
  virtual void setPrintQuality(int16_t v) = 0;

  // The page (ScaleWidth, ScaleHeight).
  virtual double pageWidth() const = 0;
  virtual double pageHeight() const = 0;
  virtual double fontSize() const = 0;
  virtual void setFontSize(double points) = 0;
  // The print position.
  virtual double currentX() const = 0;
  virtual void setCurrentX(double x) = 0;
  virtual double currentY() const = 0;
  virtual void setCurrentY(double y) = 0;
  // Measures of one line of text in the current font.
  virtual double textWidth(TextView text) const = 0;
  virtual double textHeight(TextView text) const = 0;

  virtual void line(double x1, double y1, double x2, double y2, int32_t color) = 0;
  // Prints at the print position and ends the line: x goes to the page's left edge and y
  // moves down one line.
  virtual void print(TextView text) = 0;
  virtual void newPage() = 0;
  virtual void endDoc() = 0;
};

class PrinterSystem {
 public:
  virtual ~PrinterSystem() = default;
  virtual Printer& current() = 0;
  // The installed printers in list order.
  virtual int32_t printerCount() const = 0;
  virtual Text printerDeviceName(int32_t index) const = 0;
  virtual void makeCurrent(int32_t index) = 0;

  virtual GlobalMemory& memory() = 0;
  // The print dialog (PrintDlgA) on a PRINTDLG record whose device-mode and device-names
  // handles are blocks of memory(). Nonzero when the person confirmed; the dialog may
  // replace the two handles in the record, and the caller frees whatever they name then.
  virtual int32_t printDialog(std::span<uint8_t, kPrintDlgSize> record) = 0;
  // Lets pending window events of the thread run (DoEvents).
  virtual void yieldToEvents() = 0;
};

}  // namespace tavi
