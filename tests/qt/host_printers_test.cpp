// A host's printers on the Qt printer system: the list it installs, the dialog answers it
// scripts and a recorder in place of the paper. The settings still live on the QPrinters;
// once the host lets go, the print system's printers are back.
#include <string>
#include <vector>

#include "qt/printer_settings.h"
#include "qt/printer_system.h"
#include "widget_fixture.h"

namespace tavi {
namespace {

// Takes what the Qt printer hands it: a 10000 x 20000 twip page (turned when landscape),
// characters 100 twips wide, lines 200 high.
class Recorder final : public PrintRecorder {
 public:
  PageSize pageSize(const PrinterSettings& s) override {
    return s.orientation == qt::kLandscape ? PageSize{20000, 10000} : PageSize{10000, 20000};
  }
  double textWidth(TextView text, double) override { return 100.0 * text.size(); }
  double textHeight(TextView, double) override { return 200; }
  void beginDocument(TextView printer, const PrinterSettings& s) override {
    log.push_back("begin " + toUtf8(printer));
    settings.push_back(s);
  }
  void line(double, double, double, double, int32_t) override { log.push_back("line"); }
  void text(TextView text, double, double, double) override {
    log.push_back("text " + toUtf8(text));
  }
  void newPage() override { log.push_back("page"); }
  void endDocument() override { log.push_back("end"); }

  std::vector<std::string> log;
  std::vector<PrinterSettings> settings;
};

class QtHostPrintersTest : public testing::QtWidgetFixture {
 protected:
  ~QtHostPrintersTest() override {
    printers().recordOutput(nullptr);
    printers().reset();
  }
  qt::QtPrinterSystem& printers() { return widget.services().printers; }

  Recorder recorder;
};

TEST_F(QtHostPrintersTest, PrinterSEPrintsToTheRecorderWithTheSettingsTheScriptedDialogChose) {
  printers().installPrinters({{.name = u"Plotter", .driver = u"pen", .port = u"COM1:"},
                              {.name = u"Duplexer",
                               .driver = u"laser",
                               .port = u"LPT1:",
                               .settings = {.duplex = qt::kDuplexShortEdge}}},
                             0);
  printers().recordOutput(&recorder);
  printers().scriptDialog({.printer = u"Duplexer", .orientation = qt::kLandscape});
  widget.setText(QStringLiteral("QUIT"));
  int16_t flags = 0;
  widget.control().PrinterSE(flags);

  EXPECT_TRUE(messages.empty());
  EXPECT_EQ(recorder.log, (std::vector<std::string>{"begin Duplexer", "line", "line", "line",
                                                    "line", "text 1   QUIT", "end"}));
  // The chosen printer's own two-sided setting, kept beside its PDF-writing QPrinter, and
  // the dialog's orientation, read back from the QPrinter.
  ASSERT_EQ(recorder.settings.size(), 1u);
  EXPECT_EQ(recorder.settings[0],
            (PrinterSettings{.orientation = qt::kLandscape, .duplex = qt::kDuplexShortEdge}));
  EXPECT_EQ(printers().current().deviceName(), u"Duplexer");

  // The host lets go: the print system's printers again.
  printers().recordOutput(nullptr);
  printers().reset();
  ASSERT_GE(printers().printerCount(), 1);
  for (int32_t i = 0; i < printers().printerCount(); ++i)
    EXPECT_NE(printers().printerDeviceName(i), u"Duplexer");
}

}  // namespace
}  // namespace tavi
