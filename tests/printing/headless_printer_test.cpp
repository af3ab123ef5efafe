#include <gtest/gtest.h>

#include "headless/printer_system.h"
#include "printing/print_records.h"
#include "shell/runtime_error.h"

namespace tavi {
namespace {

TEST(HeadlessPrinter, MetricsFollowTheFontSizeRoundedHalfToEven) {
  HeadlessPrinterSystem printers;
  Printer& p = printers.current();
  p.setFontSize(9);
  EXPECT_EQ(p.textWidth(u"WAIT"), 4 * 108);
  EXPECT_EQ(p.textHeight(u"WAIT"), 216);
  p.setFontSize(10.125);  // 121.5 -> 122
  EXPECT_EQ(p.textWidth(u"A"), 122);
  p.setFontSize(10.375);  // 124.5 -> 124
  EXPECT_EQ(p.textWidth(u"A"), 124);
  EXPECT_EQ(p.pageWidth(), 12240);
  p.setOrientation(2);
  EXPECT_EQ(p.pageWidth(), 15840);
  EXPECT_EQ(p.pageHeight(), 12240);
}

TEST(HeadlessPrinter, EveryMemberFailsWith484WithoutPrinters) {
  HeadlessPrinterSystem printers;
  printers.setPrinters({}, 0);
  Printer& p = printers.current();
  for (auto access : std::initializer_list<void (*)(Printer&)>{
           [](Printer& q) { q.deviceName(); }, [](Printer& q) { q.pageWidth(); },
           [](Printer& q) { q.setCurrentY(1); }, [](Printer& q) { q.print(u"x"); },
           [](Printer& q) { q.endDoc(); }}) {
    try {
      access(p);
      ADD_FAILURE() << "no error";
    } catch (const RuntimeError& e) {
      EXPECT_EQ(e.number(), 484);
    }
  }
}

TEST(HeadlessPrinter, OutputOpensADocumentThatEndDocSends) {
  HeadlessPrinterSystem printers;
  Printer& p = printers.current();
  p.endDoc();  // nothing open: nothing sent
  p.setCurrentX(50);
  p.setCurrentY(100);
  p.print(u"A");
  EXPECT_EQ(p.currentX(), 0);
  EXPECT_EQ(p.currentY(), 100 + 240);  // a line at the default 10 points
  p.newPage();
  p.line(1, 2, 3, 4.5, 7);
  std::vector<PrintedDocument> docs = printers.printer().drainDocuments();
  ASSERT_EQ(docs.size(), 1u);
  EXPECT_FALSE(docs[0].ended);
  ASSERT_EQ(docs[0].pages.size(), 2u);
  EXPECT_EQ(std::get<PrintedText>(docs[0].pages[0][0]).x, 50);
  EXPECT_EQ(std::get<PrintedLine>(docs[0].pages[1][0]).y2, 4.5f);
  p.endDoc();
  docs = printers.printer().drainDocuments();
  ASSERT_EQ(docs.size(), 1u);
  EXPECT_TRUE(docs[0].ended);
  EXPECT_TRUE(printers.printer().drainDocuments().empty());
}

class HeadlessDialogTest : public ::testing::Test {
 protected:
  HeadlessDialogTest() {
    printers.setPrinters({{u"One", u"d1", u"P1:", {}}, {u"Two", u"d2", u"P2:", {}}}, 0);
  }
  GlobalHandle block(std::span<const uint8_t> bytes) {
    const GlobalHandle h = printers.memory().allocate(kRecordBlockFlags, bytes.size());
    std::ranges::copy(bytes, printers.memory().lock(h).begin());
    printers.memory().unlock(h);
    return h;
  }
  DevModeChoice returned() {
    const GlobalHandle h = readU32(record, printdlg::kDevMode);
    DevModeRecord bytes{};
    std::ranges::copy(printers.memory().lock(h), bytes.begin());
    return readDevMode(bytes);
  }
  HeadlessPrinterSystem printers;
  PrintDlgRecord record = buildPrintDlg(0);
};

TEST_F(HeadlessDialogTest, UnscriptedDialogConfirmsWhatTheRecordsPreselect) {
  const GlobalHandle mode = block(buildDevMode(u"Two", 2, 3));
  const GlobalHandle names = block(buildDevNames(u"d2", u"Two", u"P2:"));
  writeU32(record, printdlg::kDevMode, mode);
  writeU32(record, printdlg::kDevNames, names);
  ASSERT_NE(printers.printDialog(record), 0);
  EXPECT_EQ(printers.lastDialog()->devMode, buildDevMode(u"Two", 2, 3));
  EXPECT_EQ(printers.memory().lock(mode).size(), 0u) << "the given blocks are replaced";
  EXPECT_EQ(printers.blocks().liveBlocks(), 2u);
  const DevModeChoice c = returned();
  EXPECT_EQ(c.deviceName, Text(u"Two") + Text(29, u'\0'));
  EXPECT_EQ(c.orientation, 2);
  EXPECT_EQ(c.duplex, 3);
  EXPECT_EQ(c.copies, 1);
  EXPECT_EQ(c.printQuality, -4);
}

TEST_F(HeadlessDialogTest, ScriptedAnswerIsUsedOnceAndCancelKeepsTheHandles) {
  DialogAnswer cancel;
  cancel.cancel = true;
  printers.scriptDialog(cancel);
  const GlobalHandle mode = block(buildDevMode(u"One", 1, 1));
  writeU32(record, printdlg::kDevMode, mode);
  EXPECT_EQ(printers.printDialog(record), 0);
  EXPECT_EQ(readU32(record, printdlg::kDevMode), mode);
  EXPECT_FALSE(printers.lastDialog()->devNames.has_value());
  EXPECT_NE(printers.printDialog(record), 0) << "the next one is not scripted";

  writeU32(record, printdlg::kStructSize, 60);
  EXPECT_EQ(printers.printDialog(record), 0) << "a record of the wrong size";
}

}  // namespace
}  // namespace tavi
