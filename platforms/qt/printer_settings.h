// The printer settings that the dialog records carry, as the device-mode codes of
// orientation, duplex, paper size and print quality, read from and written to a QPrinter.
// A code without a Qt counterpart leaves the printer as it is.
#pragma once

#include <cstdint>

#include "shell/widgets/print_recorder.h"

class QPrinter;

namespace tavi::qt {

inline constexpr int16_t kPortrait = 1;
inline constexpr int16_t kLandscape = 2;
inline constexpr int16_t kSimplex = 1;
inline constexpr int16_t kDuplexLongEdge = 2;   // bound on the long edge ("vertical")
inline constexpr int16_t kDuplexShortEdge = 3;  // bound on the short edge ("horizontal")
// Print quality: negative codes draft (-1) to high (-4), else dots per inch.
inline constexpr int16_t kQualityDraft = -1;
inline constexpr int16_t kQualityHigh = -4;
inline constexpr int16_t kPaperLetter = 1;

PrinterSettings codesOf(const QPrinter& printer);
void applyCodes(QPrinter& printer, const PrinterSettings& codes);

int16_t orientationCode(const QPrinter& printer);
void setOrientationCode(QPrinter& printer, int16_t code);
// Qt's automatic duplex reads as long-edge binding, the usual choice for portrait pages.
int16_t duplexCode(const QPrinter& printer);
void setDuplexCode(QPrinter& printer, int16_t code);
// The paper size's number in the device-mode table (1 letter, 9 A4, ...); 0 for a size
// that has none.
int16_t paperSizeCode(const QPrinter& printer);
void setPaperSizeCode(QPrinter& printer, int16_t code);
// A quality code is kept as the printer's resolution (draft 150, low 300, medium 600,
// high 1200 dpi) and read back as the code when the resolution is one of those.
int16_t printQualityCode(const QPrinter& printer);
void setPrintQualityCode(QPrinter& printer, int16_t code);

}  // namespace tavi::qt
