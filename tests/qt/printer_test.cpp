// The Qt printer system: the dialog's records mapped to and from a QPrinter, the dialog's
// handling of the records and their blocks, and PrinterSE printing the control's text to
// a PDF file. No dialog is shown: a runner stands in for the person.
#include <QFileInfo>
#include <QPrinter>
#include <QTemporaryDir>

#include "printing/print_records.h"
#include "printing/record_blocks.h"
#include "qt/printer_settings.h"
#include "qt/printer_system.h"
#include "widget_fixture.h"

namespace tavi {
namespace {

using qt::QtPrinterSystem;

TEST(QtPrinterRecordsTest, TheDeviceModeFieldsTheMaskNamesRoundTripThroughAQPrinter) {
  // {orientation, paper, copies, quality, duplex}: letter, A4, legal, A5, A3; the four
  // quality codes and a resolution.
  const int16_t cases[][5] = {
      {2, 1, 3, -3, 3}, {1, 9, 1, -4, 1}, {2, 5, 2, -1, 2}, {1, 11, 7, 720, 3}, {1, 8, 1, -2, 1}};
  for (const auto& [orientation, paper, copies, quality, duplex] : cases) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    DevModeRecord r = buildDevMode(u"Any", orientation, duplex);
    writeU32(r, devmode::kFields,
             readU32(r, devmode::kFields) | devmode::kHasPaperSize | devmode::kHasCopies |
                 devmode::kHasPrintQuality);
    writeU16(r, devmode::kPaperSize, static_cast<uint16_t>(paper));
    writeU16(r, devmode::kCopies, static_cast<uint16_t>(copies));
    writeU16(r, devmode::kPrintQuality, static_cast<uint16_t>(quality));
    qt::applyDevMode(printer, r);
    const DevModeRecord out = qt::devModeOf(printer, u"A printer whose name is far too long");
    const DevModeChoice back = readDevMode(out);
    EXPECT_EQ(back.orientation, orientation);
    EXPECT_EQ(back.paperSize, paper);
    EXPECT_EQ(back.copies, copies);
    EXPECT_EQ(back.printQuality, quality);
    EXPECT_EQ(back.duplex, qt::kSimplex) << "a PDF file has one side to a sheet";
    EXPECT_EQ(back.deviceName.substr(0, 32), Text(u"A printer whose name is far too") + u'\0');
    EXPECT_EQ(readU16(out, devmode::kSize), kDevModeSize);
  }
  // The record the control builds names orientation and duplex only; codes without a Qt
  // counterpart leave the printer as it was.
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  qt::setPaperSizeCode(printer, 5);
  printer.setCopyCount(4);
  qt::applyDevMode(printer, buildDevMode(u"X", qt::kLandscape, qt::kDuplexShortEdge));
  qt::setOrientationCode(printer, 7);
  qt::setPaperSizeCode(printer, 9999);
  EXPECT_EQ(qt::orientationCode(printer), qt::kLandscape);
  EXPECT_EQ(qt::paperSizeCode(printer), 5);
  EXPECT_EQ(printer.copyCount(), 4);
}

// The thread's printer system with the PDF printer current, writing into a fresh folder.
class QtPrinterSystemTest : public testing::QtWidgetFixture {
 protected:
  QtPrinterSystemTest() {
    pdf = dir.filePath(QStringLiteral("listing.pdf"));
    printers().usePdfPrinter(pdf);
  }
  ~QtPrinterSystemTest() override { printers().setDialogRunner(nullptr); }
  QtPrinterSystem& printers() { return widget.services().printers; }

  QTemporaryDir dir;
  QString pdf;
};

TEST_F(QtPrinterSystemTest, TheDialogStartsFromTheRecordsAndReturnsItsChoicesInNewBlocks) {
  QAbstractPrintDialog::PrintDialogOptions seen;
  int shown = 0;
  bool confirm = false;
  printers().setDialogRunner([&](QPrinter& p, QAbstractPrintDialog::PrintDialogOptions options) {
    EXPECT_EQ(p.outputFileName(), pdf);
    EXPECT_EQ(qt::orientationCode(p), qt::kLandscape);
    seen = options;
    ++shown;
    p.setCopyCount(2);  // the person asks for two copies
    return confirm;
  });
  const size_t blocksBefore = printers().blocks().liveBlocks();
  // The record with the blocks the control hands over for the current printer.
  GlobalMemory& memory = printers().memory();
  PrintDlgRecord record = buildPrintDlg(0);
  writeU32(record, printdlg::kDevMode,
           newRecordBlock(memory,
                          buildDevMode(qt::kPdfPrinterName, qt::kLandscape, qt::kDuplexLongEdge)));
  writeU32(record, printdlg::kDevNames,
           newRecordBlock(memory, buildDevNames(u"PDF", qt::kPdfPrinterName, u"FILE:")));
  const PrintDlgRecord given = record;
  // Cancelled, or a record of the wrong size: the blocks stay as they were.
  EXPECT_EQ(printers().printDialog(record), 0);
  EXPECT_EQ(record, given);
  writeU32(record, printdlg::kStructSize, 60);
  EXPECT_EQ(printers().printDialog(record), 0);
  EXPECT_EQ(shown, 1);
  record = given;
  confirm = true;
  ASSERT_EQ(printers().printDialog(record), 1);
  EXPECT_EQ(seen & (QAbstractPrintDialog::PrintSelection | QAbstractPrintDialog::PrintPageRange |
                    QAbstractPrintDialog::PrintToFile),
            QAbstractPrintDialog::PrintToFile);
  // The given blocks are freed; two new ones hold the outcome.
  EXPECT_TRUE(printers().blocks().lock(readU32(given, printdlg::kDevMode)).empty());
  EXPECT_EQ(printers().blocks().liveBlocks(), blocksBefore + 2);
  // value() throws, failing the test, for a handle that names no block.
  const DevModeChoice choice = readDevMode(
      readRecordBlock<DevModeRecord>(memory, readU32(record, printdlg::kDevMode)).value());
  EXPECT_EQ(choice.deviceName.substr(0, 13), Text(qt::kPdfPrinterName) + u'\0');
  EXPECT_EQ(choice.copies, 2);
  EXPECT_EQ(choice.orientation, qt::kLandscape);
  const DevNamesRecord names =
      readRecordBlock<DevNamesRecord>(memory, readU32(record, printdlg::kDevNames)).value();
  EXPECT_EQ(readDevNamesEntry(names, devnames::kDeviceOffset), qt::kPdfPrinterName);
}

TEST_F(QtPrinterSystemTest, PrinterSEPrintsTheTextToThePdfWithTheChosenSettings) {
  printers().setDialogRunner([](QPrinter& p, QAbstractPrintDialog::PrintDialogOptions) {
    qt::setOrientationCode(p, qt::kLandscape);
    return true;
  });
  widget.setText(QStringLiteral("IF CALL RATE THEN QUIT\r\nEND IF\r\n"));
  int16_t flags = 0;
  widget.control().PrinterSE(flags);
  EXPECT_TRUE(messages.empty());
  EXPECT_GT(QFileInfo(pdf).size(), 0);
  // The choice stays with the current printer, whose page is now landscape, in twips.
  Printer& printer = printers().current();
  EXPECT_EQ(printer.deviceName(), qt::kPdfPrinterName);
  EXPECT_EQ(printer.orientation(), qt::kLandscape);
  EXPECT_GT(printer.pageWidth(), printer.pageHeight());
  EXPECT_GT(printer.pageWidth(), 10000);
  EXPECT_EQ(printer.copies(), 1) << "copies are printed as passes";
  printer.setFontSize(9);  // 180 twips of type plus the font's leading
  EXPECT_TRUE(printer.textHeight(u"1") >= 180 && printer.textHeight(u"1") < 300);
  EXPECT_NEAR(printer.textWidth(u"WWWW"), 2 * printer.textWidth(u"WW"), 1);
  // An output that cannot be written ends printing silently.
  printers().usePdfPrinter(dir.filePath(QStringLiteral("missing/folder/out.pdf")));
  widget.control().PrinterSE(flags);
  EXPECT_TRUE(messages.empty());
  EXPECT_FALSE(printers().printer().documentOpen());
}

}  // namespace
}  // namespace tavi
