#include <gtest/gtest.h>

#include "printing/print_records.h"
#include "printing/print_setup.h"
#include "support/control_fixture.h"

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

}  // namespace
}  // namespace tavi
