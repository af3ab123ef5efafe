#include "printing/page_layout.h"

#include <string>

#include "printing/listing_text.h"
#include "shell/runtime_error.h"
#include "shell/variant.h"
#include "shell/widgets/edit_surface.h"
#include "shell/widgets/printer.h"

namespace tavi {

namespace {

constexpr TextView kLabelGap = u"   ";
constexpr TextView kEmptyLine = u" ";  // an empty script line still shows its number

// Prints the pages of one document.
class ListingWriter {
 public:
  ListingWriter(Printer& printer, const PageGeometry& page) : printer_(printer), page_(page) {}

  void startPage() {
    const double m = page_.margin, top = page_.frameTop, r = page_.right, b = page_.bottom;
    printer_.line(m, top, r, top, kFrameColor);
    printer_.line(r, top, r, b, kFrameColor);
    printer_.line(r, b, m, b, kFrameColor);
    printer_.line(m, b, m, top, kFrameColor);
    printer_.setFontSize(kListingFontSize);
    printer_.setCurrentY(page_.textTop);
  }

  void printScriptLine(int16_t lineNumber, TextView line) {
    const Text label = lineLabel(lineNumber);
    const double labelX = roundToI2(3.0 * page_.margin - printer_.textWidth(label));
    // Continuation segments are printed under the text column and measured from it too,
    // so that they stay inside the frame like the first segment.
    const double textColumn = labelX + printer_.textWidth(label);
    printer_.setCurrentX(labelX);
    Text pending = label;
    bool continuation = false;
    for (TextView word : splitWords(line)) {
      const double x0 = continuation ? textColumn : labelX;
      if (x0 + printer_.textWidth(pending) + printer_.textWidth(word) < page_.right) {
        pending += word;
        continue;
      }
      printSegment(pending, continuation ? textColumn : labelX);
      printer_.print(u"");
      continuation = true;
      pending = word;
    }
    printSegment(pending, continuation ? textColumn : labelX);
  }

 private:
  void printSegment(TextView segment, double x) {
    if (pageFull(page_, printer_.currentY(), printer_.textHeight(segment))) {
      printer_.newPage();
      startPage();
    }
    printer_.setCurrentX(x);
    printer_.print(segment);
  }

  Printer& printer_;
  const PageGeometry& page_;
};

}  // namespace

PageGeometry pageGeometry(double pageWidth, double pageHeight) {
  const double w = roundToI4(pageWidth);
  const double h = roundToI4(pageHeight);
  PageGeometry page;
  page.margin = roundToI4(w / 30);
  const double m = page.margin;
  page.textTop = roundToI2(2 * m);
  page.right = roundToI4((w - m) - w / 25);
  page.bottom = roundToI4((h - m) - h / 35);
  page.frameTop = static_cast<float>(h / 100 + m);
  page.pageFullLimit = roundToI4(static_cast<double>(page.bottom) - kBottomClearance);
  return page;
}

bool pageFull(const PageGeometry& page, double y, double segmentHeight) {
  return y + segmentHeight >= page.pageFullLimit;
}

Text lineLabel(int16_t lineNumber) {
  const std::string digits = std::to_string(lineNumber);
  Text label(digits.begin(), digits.end());
  label += kLabelGap;
  return label;
}

void PrintDocument(Printer& printer, TextView editorText) {
  const PageGeometry page = pageGeometry(printer.pageWidth(), printer.pageHeight());
  ListingWriter writer(printer, page);
  writer.startPage();
  // An empty script has no lines: its document is the frame of one page, ended properly.
  const Text normalised = normaliseLineEnds(editorText);
  int16_t lineNumber = 1;
  for (TextView line : scriptLines(normalised)) {
    writer.printScriptLine(lineNumber, line.empty() ? kEmptyLine : line);
    if (lineNumber == INT16_MAX) throw RuntimeError(err::kOverflow);
    ++lineNumber;
  }
  printer.endDoc();
}

void PrintListing(Printer& printer, const EditSurface& editor, int32_t passes) {
  for (int32_t pass = 1; pass <= passes; ++pass) PrintDocument(printer, editor.text());
}

}  // namespace tavi
