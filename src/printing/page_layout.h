// The printed listing: framed pages, script lines with right-aligned line numbers, long
// lines wrapped at word boundaries, a new page when the next line would come too close to
// the frame's bottom. Lengths in twips.
#pragma once

#include <cstdint>

#include "shell/text.h"

namespace tavi {

class EditSurface;
class Printer;

inline constexpr double kListingFontSize = 9;
inline constexpr int32_t kFrameColor = 0;  // black
// A printed line must end this far above the frame's bottom edge.
inline constexpr int32_t kBottomClearance = 100;

// Margins and edges of one page, from its width and height rounded half to even.
struct PageGeometry {
  int32_t margin = 0;         // W / 30
  int16_t textTop = 0;        // 2 m, where the text of every page starts
  int32_t right = 0;          // (W - m) - W / 25: the frame's right edge and the fit limit
  int32_t bottom = 0;         // (H - m) - H / 35
  float frameTop = 0;         // H / 100 + m, not rounded
  int32_t pageFullLimit = 0;  // bottom - 100
};

// Fails with overflow (6) when a value does not fit its type.
PageGeometry pageGeometry(double pageWidth, double pageHeight);

// The page check: a segment of this height printed at y would reach the limit.
bool pageFull(const PageGeometry& page, double y, double segmentHeight);

// "N   ": the line number followed by three blanks.
Text lineLabel(int16_t lineNumber);

// One document of the whole editor text on the printer, ended at the end. Fails with
// overflow (6) after line 32767, leaving the document open.
void PrintDocument(Printer& printer, TextView editorText);
// One document per pass, each of the editor's text read anew.
void PrintListing(Printer& printer, const EditSurface& editor, int32_t passes);

}  // namespace tavi
