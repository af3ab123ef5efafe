#include <gtest/gtest.h>

#include "headless/printer_system.h"
#include "printing/print_records.h"
#include "printing/print_setup.h"
#include "support/control_fixture.h"
#include "support/error_number.h"

namespace tavi {
namespace {

class PrintSetupTest : public testing::ControlFixture {
 protected:
  PrintSetupTest() { load(u"WAIT 2"); }
  HeadlessPrinterSystem& printers() { return platform.printers(); }
  void printerSE() {
    int16_t flags = 0;
    control.PrinterSE(flags);
  }
};

TEST_F(PrintSetupTest, EveryPathFreesTheBlocksAndOnlyPrintsWhenConfirmed) {
  printerSE();
  EXPECT_TRUE(printers().printer().drainDocuments().at(0).ended);
  // Ours, then the two the dialog returned in their place.
  EXPECT_EQ(printers().blocks().allocationFlags(), std::vector<uint32_t>(4, 0x42));
  EXPECT_EQ(printers().blocks().liveBlocks(), 0u);
  EXPECT_EQ(printers().yieldCount(), 1);

  DialogAnswer cancel;
  cancel.cancel = true;
  printers().scriptDialog(cancel);
  printerSE();
  EXPECT_TRUE(printers().printer().drainDocuments().empty());
  EXPECT_EQ(printers().blocks().liveBlocks(), 0u);
  EXPECT_EQ(printers().yieldCount(), 1);

  printers().blocks().setExhausted(true);  // the dialog returns no device mode
  printerSE();
  EXPECT_TRUE(printers().printer().drainDocuments().empty());
  EXPECT_EQ(printers().blocks().liveBlocks(), 0u);
  EXPECT_TRUE(platform.messageBoxes().pending().empty()) << "only error 484 is reported";
}

TEST_F(PrintSetupTest, ExactNameOfTheCurrentPrinterSkipsTheWalk) {
  printers().setPrinters({{u"LASER", u"drv", u"LPT1:", {}}, {u"Laser", u"drv", u"LPT2:", {}}}, 0);
  printerSE();
  EXPECT_EQ(printers().currentIndex(), 0);

  // "Office Laser" has lower case: the walk runs and the later match wins.
  printers().setPrinters({{u"Office Laser", u"drv", u"LPT1:", {}},
                          {u"OFFICE LASER", u"drv", u"LPT2:", {}},
                          {u"Draft", u"drv", u"LPT3:", {}}},
                         0);
  printerSE();
  EXPECT_EQ(printers().currentIndex(), 1);
}

TEST(HeadlessPrinter, MetricsFollowTheFontSizeAndOutputOpensADocumentThatEndDocSends) {
  HeadlessPrinterSystem printers;
  Printer& p = printers.current();
  p.setFontSize(9);
  EXPECT_EQ(p.textWidth(u"WAIT"), 4 * 108);
  EXPECT_EQ(p.textHeight(u"WAIT"), 216);
  p.setFontSize(10.125);  // 121.5 -> 122
  EXPECT_EQ(p.textWidth(u"A"), 122);
  p.setFontSize(10.375);  // 124.5 -> 124
  EXPECT_EQ(p.textWidth(u"A"), 124);

  p.endDoc();  // nothing open: nothing sent
  p.setCurrentX(50);
  p.print(u"A");
  EXPECT_EQ(p.currentX(), 0);
  const std::vector<PrintedDocument> docs = printers.printer().drainDocuments();
  ASSERT_EQ(docs.size(), 1u);
  EXPECT_FALSE(docs[0].ended);
  p.endDoc();
  EXPECT_TRUE(printers.printer().drainDocuments().at(0).ended);
}

TEST(HeadlessPrinter, EveryMemberFailsWith484WithoutPrinters) {
  HeadlessPrinterSystem printers;
  printers.setPrinters({}, 0);
  Printer& p = printers.current();
  for (auto access : std::initializer_list<void (*)(Printer&)>{
           [](Printer& q) { q.pageWidth(); }, [](Printer& q) { q.setCurrentY(1); },
           [](Printer& q) { q.print(u"x"); }, [](Printer& q) { q.endDoc(); }})
    EXPECT_EQ(testing::errorNumberOf([&] { access(p); }), 484);
}

TEST(HeadlessPrinter, DialogConfirmsThePreselectionUnlessAScriptedAnswerCancelsOnce) {
  HeadlessPrinterSystem printers;
  GlobalMemory& memory = printers.memory();
  PrintDlgRecord record = buildPrintDlg(0);
  const DevModeRecord given = buildDevMode(u"Headless Printer", 2, 3);
  const GlobalHandle mode = memory.allocate(kRecordBlockFlags, given.size());
  std::ranges::copy(given, memory.lock(mode).begin());
  memory.unlock(mode);
  writeU32(record, printdlg::kDevMode, mode);

  DialogAnswer cancel;
  cancel.cancel = true;
  printers.scriptDialog(cancel);
  EXPECT_EQ(printers.printDialog(record), 0);
  EXPECT_EQ(readU32(record, printdlg::kDevMode), mode) << "a cancel keeps the handles";

  ASSERT_NE(printers.printDialog(record), 0) << "the next one is not scripted";
  EXPECT_TRUE(memory.lock(mode).empty()) << "the given block is replaced";
  DevModeRecord bytes{};
  std::ranges::copy(memory.lock(readU32(record, printdlg::kDevMode)), bytes.begin());
  const DevModeChoice c = readDevMode(bytes);
  EXPECT_EQ((std::array{c.orientation, c.duplex, c.copies, c.printQuality}),
            (std::array<int16_t, 4>{2, 3, 1, -4}));

  writeU32(record, printdlg::kStructSize, 60);
  EXPECT_EQ(printers.printDialog(record), 0) << "a record of the wrong size";
}

}  // namespace
}  // namespace tavi
