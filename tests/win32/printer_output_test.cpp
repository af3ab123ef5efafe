// The Windows printer's GDI output, which no scenario sees (tavi-script.exe records the
// operations before they reach a device): the drawing on enhanced metafiles (one per page)
// in twips, page breaks and documents, and a real print through a PostScript printer
// installed in the test's Wine prefix. The listing's layout and the settings kept in the
// device mode run in the printing scenarios on Windows.
#include <gtest/gtest.h>

#include <windows.h>

#include <winspool.h>

#include <array>
#include <fstream>
#include <iterator>
#include <numeric>
#include <set>
#include <string>
#include <vector>

#include "printing/page_layout.h"
#include "win32/widgets/printer_device.h"
#include "win32/widgets/printer_system.h"

namespace tavi::win32 {
namespace {

constexpr PageSize kLetter = {12240, 15840};

struct Document {
  std::vector<HENHMETAFILE> pages;
  bool ended = false;
};

// Pages as enhanced metafiles, measured on a memory context of the screen.
class MetafilePages final : public PageTarget {
 public:
  MetafilePages(std::vector<Document>& documents, HDC reference)
      : documents_(documents), reference_(reference) {}
  PageSize pageSize() override { return kLetter; }
  HDC measuringContext() override { return reference_; }

 protected:
  void beginDocument() override { documents_.emplace_back(); }
  HDC beginPage() override {
    page_ = CreateEnhMetaFileW(reference_, nullptr, nullptr, nullptr);
    return page_;
  }
  void finishPage() override { documents_.back().pages.push_back(CloseEnhMetaFile(page_)); }
  void finishDocument() override { documents_.back().ended = true; }

 private:
  std::vector<Document>& documents_;
  HDC reference_;
  HDC page_ = nullptr;
};

struct DrawnText {
  POINTL at;
  std::wstring text;
  LONG width;  // the advances of its characters
};
using Line = std::array<LONG, 4>;  // from x, y to x, y

// What a page's records draw, in logical units, and how they map to the device.
struct PageContent {
  std::vector<DrawnText> texts;
  std::vector<Line> lines;
  // The mapping and the fonts the records set: "mode 8", "window 1440", "font -180", ...
  std::set<std::string> settings;
};

PageContent contentOf(HENHMETAFILE page) {
  std::vector<BYTE> bits(GetEnhMetaFileBits(page, 0, nullptr));
  GetEnhMetaFileBits(page, static_cast<UINT>(bits.size()), bits.data());
  PageContent content;
  POINTL position{};
  for (size_t at = 0; at < bits.size();) {
    const auto* record = reinterpret_cast<const ENHMETARECORD*>(bits.data() + at);
    const auto* bytes = reinterpret_cast<const BYTE*>(record);
    switch (record->iType) {
      case EMR_EXTTEXTOUTW: {
        const auto* out = reinterpret_cast<const EMREXTTEXTOUTW*>(record);
        const auto* chars = reinterpret_cast<const wchar_t*>(bytes + out->emrtext.offString);
        const auto* dx = reinterpret_cast<const INT*>(bytes + out->emrtext.offDx);
        content.texts.push_back({out->emrtext.ptlReference,
                                 {chars, out->emrtext.nChars},
                                 std::accumulate(dx, dx + out->emrtext.nChars, LONG{0})});
        break;
      }
      case EMR_MOVETOEX:
        position = reinterpret_cast<const EMRMOVETOEX*>(record)->ptl;
        break;
      case EMR_LINETO: {
        const POINTL to = reinterpret_cast<const EMRLINETO*>(record)->ptl;
        content.lines.push_back({position.x, position.y, to.x, to.y});
        position = to;
        break;
      }
      case EMR_SETMAPMODE:
        content.settings.insert(
            "mode " + std::to_string(reinterpret_cast<const EMRSETMAPMODE*>(record)->iMode));
        break;
      case EMR_SETWINDOWEXTEX:
      case EMR_SETVIEWPORTEXTEX:
        content.settings.insert(
            (record->iType == EMR_SETWINDOWEXTEX ? "window " : "viewport ") +
            std::to_string(reinterpret_cast<const EMRSETWINDOWEXTEX*>(record)->szlExtent.cx));
        break;
      case EMR_EXTCREATEFONTINDIRECTW:
        content.settings.insert(
            "font " + std::to_string(reinterpret_cast<const EMREXTCREATEFONTINDIRECTW*>(record)
                                         ->elfw.elfLogFont.lfHeight));
        break;
    }
    at += record->nSize;
  }
  return content;
}

struct MetafilePrinterTest : ::testing::Test {
  MetafilePrinterTest()
      : reference(CreateCompatibleDC(nullptr)),
        printer([this](const PrinterEntry&, const DEVMODEW&) {
          ++contextsMade;
          return std::make_unique<MetafilePages>(documents, reference);
        }) {
    // Letter, portrait, one copy; the other settings left to the driver.
    DEVMODEW mode{};
    mode.dmSize = sizeof(DEVMODEW);
    mode.dmFields = DM_ORIENTATION | DM_COPIES;
    mode.dmOrientation = DMORIENT_PORTRAIT;
    mode.dmCopies = 1;
    const auto* bytes = reinterpret_cast<const BYTE*>(&mode);
    entry.name = L"Metafile Printer";
    entry.devMode.assign(bytes, bytes + sizeof(mode));
    printer.attach(&entry);
  }
  ~MetafilePrinterTest() override {
    printer.attach(nullptr);
    for (const Document& document : documents)
      for (HENHMETAFILE page : document.pages) DeleteEnhMetaFile(page);
    DeleteDC(reference);
  }
  HDC reference;
  std::vector<Document> documents;
  int contextsMade = 0;
  PrinterEntry entry;
  Win32Printer printer;
};

TEST_F(MetafilePrinterTest, DrawsTextAndLinesInTwips) {
  printer.setFontSize(9);
  printer.setCurrentX(1440);
  printer.setCurrentY(2880);
  const double height = printer.textHeight(u"IF");
  printer.print(u"IF x THEN");
  EXPECT_EQ(printer.currentX(), 0);
  EXPECT_EQ(printer.currentY(), 2880 + height);
  printer.print(u"");  // an empty line: no text, but the position moves on
  EXPECT_EQ(printer.currentY(), 2880 + 2 * height);
  printer.line(100.4, 200, 3000, 199.6, 0);
  printer.endDoc();

  ASSERT_EQ(documents.size(), 1u);
  ASSERT_EQ(documents[0].pages.size(), 1u);
  EXPECT_TRUE(documents[0].ended);
  const PageContent page = contentOf(documents[0].pages[0]);
  ASSERT_EQ(page.texts.size(), 1u);
  EXPECT_EQ(page.texts[0].text, L"IF x THEN");
  EXPECT_EQ(page.texts[0].at.x, 1440);
  EXPECT_EQ(page.texts[0].at.y, 2880);
  // Text is measured as it is drawn (the listing's numbers are right-aligned with it).
  EXPECT_NEAR(page.texts[0].width, printer.textWidth(u"IF x THEN"), 20);
  EXPECT_EQ(page.lines, (std::vector<Line>{{100, 200, 3000, 200}}));
  // Every operation maps 1440 logical units to the device's inch, in a 9-point font.
  const std::string viewport = "viewport " + std::to_string(GetDeviceCaps(reference, LOGPIXELSX));
  EXPECT_EQ(page.settings, (std::set<std::string>{"mode " + std::to_string(MM_ANISOTROPIC),
                                                  "window 1440", viewport, "font -180"}));
  // A 9-point line is about 9 points high, whatever the screen's resolution.
  EXPECT_GT(height, 160);
  EXPECT_LT(height, 260);
}

TEST_F(MetafilePrinterTest, NewPageAndEndDocStartPagesAndDocuments) {
  printer.print(u"one");
  printer.setCurrentY(500);
  printer.newPage();
  EXPECT_EQ(printer.currentY(), 0);
  printer.print(u"two");
  printer.endDoc();
  printer.endDoc();  // nothing open: nothing happens
  printer.print(u"three");
  EXPECT_TRUE(printer.documentOpen());

  ASSERT_EQ(documents.size(), 2u);
  ASSERT_EQ(documents[0].pages.size(), 2u);
  EXPECT_EQ(contentOf(documents[0].pages[0]).texts[0].text, L"one");
  EXPECT_EQ(contentOf(documents[0].pages[1]).texts[0].text, L"two");
  EXPECT_EQ(contentOf(documents[0].pages[1]).texts[0].at.y, 0);
  EXPECT_FALSE(documents[1].ended);
  printer.attach(nullptr);  // letting the printer go sends the open document
  EXPECT_TRUE(documents[1].ended);
  EXPECT_EQ(documents[1].pages.size(), 1u);
}

// A PostScript printer of Wine's own driver, printing to a file, installed for one test in
// the test's prefix and removed again. Skipped where the driver is not there (real Windows).
class InstalledPrinter {
 public:
  static constexpr wchar_t kName[] = L"Tavi Test Printer";

  InstalledPrinter() {
    HMODULE spooler = GetModuleHandleW(L"winspool.drv");
    HRSRC resource = FindResourceW(spooler, MAKEINTRESOURCEW(1), L"PPDFILE");
    if (resource == nullptr) return;
    const char* ppd = static_cast<const char*>(LoadResource(spooler, resource));
    DWORD size = SizeofResource(spooler, resource);
    if (const void* end = memchr(ppd, 0, size))
      size = static_cast<DWORD>(static_cast<const char*>(end) - ppd);
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    ppdFile_ = std::wstring(temp) + L"tavi-test-printer.ppd";
    std::ofstream(ppdFile_.c_str(), std::ios::binary).write(ppd, size);

    DRIVER_INFO_3W driver{};
    driver.cVersion = 3;
    driver.pName = const_cast<wchar_t*>(kName);
    driver.pDriverPath = const_cast<wchar_t*>(L"wineps.drv");
    driver.pConfigFile = const_cast<wchar_t*>(L"wineps.drv");
    driver.pDataFile = ppdFile_.data();
    driver.pDefaultDataType = const_cast<wchar_t*>(L"RAW");
    if (!AddPrinterDriverExW(nullptr, 3, reinterpret_cast<BYTE*>(&driver),
                             APD_COPY_NEW_FILES | APD_COPY_FROM_DIRECTORY))
      return;
    PRINTER_INFO_2W info{};
    info.pPrinterName = const_cast<wchar_t*>(kName);
    info.pPortName = const_cast<wchar_t*>(L"FILE:");
    info.pDriverName = const_cast<wchar_t*>(kName);
    info.pPrintProcessor = const_cast<wchar_t*>(L"winprint");
    info.pDatatype = const_cast<wchar_t*>(L"RAW");
    printer_ = AddPrinterW(nullptr, 2, reinterpret_cast<BYTE*>(&info));
  }
  ~InstalledPrinter() {
    if (printer_ != nullptr) {
      DeletePrinter(printer_);
      ClosePrinter(printer_);
    }
    DeletePrinterDriverExW(nullptr, nullptr, const_cast<wchar_t*>(kName), 0, 0);
    if (!ppdFile_.empty()) DeleteFileW(ppdFile_.c_str());
  }
  bool installed() const { return printer_ != nullptr; }

 private:
  std::wstring ppdFile_;
  HANDLE printer_ = nullptr;
};

size_t occurrences(const std::string& text, const std::string& part) {
  size_t count = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

TEST(RealPrinterTest, PrintsAListingThroughTheSpooler) {
  InstalledPrinter installed;
  if (!installed.installed()) GTEST_SKIP() << "no PostScript printer could be installed";
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::wstring output = std::wstring(temp) + L"tavi-listing.ps";
  DeleteFileW(output.c_str());

  {
    Win32PrinterSystem printers;
    printers.setOutputFile(output);
    ASSERT_GE(printers.printerCount(), 1);
    Printer& printer = printers.current();
    EXPECT_EQ(printer.deviceName(), u"Tavi Test Printer");
    EXPECT_EQ(printer.port(), u"FILE:");
    EXPECT_EQ(printer.orientation(), DMORIENT_PORTRAIT);
    const double width = printer.pageWidth(), height = printer.pageHeight();
    EXPECT_GT(width, 10000);  // a printable area of A4 or letter
    EXPECT_GT(height, width);
    printer.setOrientation(DMORIENT_LANDSCAPE);
    EXPECT_EQ(printer.pageWidth(), height);
    printer.setOrientation(DMORIENT_PORTRAIT);

    std::u16string script;
    for (int i = 1; i <= 90; ++i) script += u"GIVE RINGBACK\r\n";
    PrintDocument(printer, script);
  }
  std::ifstream file(output.c_str(), std::ios::binary);
  const std::string postscript{std::istreambuf_iterator<char>(file), {}};
  file.close();
  EXPECT_EQ(postscript.rfind("%!PS-Adobe", 0), 0u);
  EXPECT_NE(postscript.find("%%Pages: 2"), std::string::npos);
  EXPECT_EQ(occurrences(postscript, "showpage"), 2u);
  EXPECT_EQ(occurrences(postscript, " lineto"), 8u);  // two frames
  DeleteFileW(output.c_str());
}

}  // namespace
}  // namespace tavi::win32
