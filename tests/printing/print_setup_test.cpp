#include <gtest/gtest.h>

#include "printing/print_records.h"
#include "printing/print_setup.h"
#include "support/control_fixture.h"

namespace tavi {
namespace {

class PrintSetupTest : public testing::ControlFixture {
 protected:
  PrintSetupTest() {
    control.m_strPrintErr = u"No printer";
    control.m_strScriptEditor = u"Script Editor";
    load(u"WAIT 2");
  }
  HeadlessPrinterSystem& printers() { return platform.printers(); }
  void answer(bool cancel, std::optional<Text> printer = std::nullopt) {
    DialogAnswer a;
    a.cancel = cancel;
    a.choices.printer = std::move(printer);
    printers().scriptDialog(std::move(a));
  }
  std::vector<PrintedDocument> printed() { return printers().printer().drainDocuments(); }
  void installThree(int32_t current) {
    printers().setPrinters({{u"Office Laser", u"drv", u"LPT1:", {}},
                            {u"OFFICE LASER", u"drv", u"LPT2:", {}},
                            {u"Draft", u"drv", u"LPT3:", {}}},
                           current);
  }
};

TEST_F(PrintSetupTest, ConfirmedDialogPrintsAndFreesEveryBlock) {
  int16_t flags = 0;
  control.PrinterSE(flags);
  const std::vector<PrintedDocument> docs = printed();
  ASSERT_EQ(docs.size(), 1u);
  EXPECT_TRUE(docs[0].ended);
  EXPECT_EQ(printers().blocks().liveBlocks(), 0u);
  // Ours, then the two the dialog returned in their place.
  EXPECT_EQ(printers().blocks().allocationFlags(), std::vector<uint32_t>(4, 0x42));
  EXPECT_EQ(printers().yieldCount(), 1);
  EXPECT_TRUE(platform.messageBoxes().pending().empty());
}

TEST_F(PrintSetupTest, CancelPrintsNothingShowsNothingAndFreesTheBlocks) {
  answer(true);
  int16_t flags = 0;
  control.PrinterSE(flags);
  EXPECT_TRUE(printed().empty());
  EXPECT_TRUE(platform.messageBoxes().pending().empty());
  EXPECT_EQ(printers().blocks().liveBlocks(), 0u);
  EXPECT_EQ(printers().yieldCount(), 0);
}

TEST_F(PrintSetupTest, NoPrinterShowsThePrintErrorOnly) {
  printers().setPrinters({}, 0);
  int16_t flags = 0;
  control.PrinterSE(flags);
  const std::vector<RecordedMessageBox> boxes = platform.messageBoxes().drain();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, u"No printer");
  EXPECT_EQ(boxes[0].style, 64);
  EXPECT_EQ(boxes[0].title, u"Script Editor");
  EXPECT_EQ(printers().dialogCount(), 0);
  EXPECT_TRUE(printers().blocks().allocationFlags().empty());
}

TEST_F(PrintSetupTest, OtherFailuresEndSilently) {
  Text script;
  for (int i = 0; i < 32768; ++i) script += u"A\r\n";
  load(script);
  int16_t flags = 0;
  control.PrinterSE(flags);
  EXPECT_TRUE(platform.messageBoxes().pending().empty());
  EXPECT_FALSE(printed().at(0).ended);

  printers().blocks().setExhausted(true);  // the dialog returns no device mode
  control.PrinterSE(flags);
  EXPECT_TRUE(platform.messageBoxes().pending().empty());
  EXPECT_EQ(printers().blocks().liveBlocks(), 0u);
}

TEST_F(PrintSetupTest, FlagsReachTheDialogWidenedWithTheirSign) {
  int16_t flags = -32768;
  control.PrinterSE(flags);
  EXPECT_EQ(flags, -32768);
  EXPECT_EQ(readU32(printers().lastDialog()->printDlg, printdlg::kFlags), 0xFFFF800Cu);
}

TEST_F(PrintSetupTest, LaterOfTwoPrintersDifferingInCaseBecomesCurrent) {
  installThree(2);
  answer(false, u"Office Laser");
  int16_t flags = 0;
  control.PrinterSE(flags);
  EXPECT_EQ(printers().currentIndex(), 1);
  EXPECT_EQ(printed().at(0).printer, u"OFFICE LASER");
}

TEST_F(PrintSetupTest, ExactNameOfTheCurrentPrinterSkipsTheWalk) {
  printers().setPrinters({{u"LASER", u"drv", u"LPT1:", {}}, {u"Laser", u"drv", u"LPT2:", {}}}, 0);
  int16_t flags = 0;
  control.PrinterSE(flags);
  EXPECT_EQ(printers().currentIndex(), 0);

  installThree(0);  // "Office Laser" has lower case: the walk runs and the later one wins
  control.PrinterSE(flags);
  EXPECT_EQ(printers().currentIndex(), 1);
}

TEST_F(PrintSetupTest, ChoicesConfigureThePrinterAndCopiesBecomePasses) {
  DialogAnswer a;
  a.choices.copies = 3;
  a.choices.orientation = 2;
  a.choices.duplex = 3;
  a.choices.paperSize = 9;
  a.choices.printQuality = -3;
  printers().scriptDialog(a);
  int16_t flags = 0;
  control.PrinterSE(flags);
  const std::vector<PrintedDocument> docs = printed();
  ASSERT_EQ(docs.size(), 3u);
  const PrinterSettings each{
      .orientation = 2, .duplex = 3, .copies = 1, .paperSize = 9, .printQuality = -3};
  for (const PrintedDocument& doc : docs) EXPECT_EQ(doc.settings, each);
  EXPECT_EQ(printers().printers()[0].settings, each) << "the settings stay with the printer";
  // Landscape: the frame's right edge follows the wider page.
  const auto& top = std::get<PrintedLine>(docs[0].pages[0][0]);
  EXPECT_EQ(top.x2, 14678);  // (15840 - 528) - 633.6
}

}  // namespace
}  // namespace tavi
