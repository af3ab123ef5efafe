// tavi-script on the headless platform: the reference model's widgets and recorded
// services, with the fixed metrics of docs/tavi-script.md.
#include <algorithm>

#include "printing/print_records.h"
#include "tavi-script/headless_world.h"

namespace tavi::script {

FocusPlace headlessPlace(ScriptFocus place) {
  switch (place) {
    case ScriptFocus::kSurface:
      return FocusPlace::kSurface;
    case ScriptFocus::kList:
      return FocusPlace::kList;
    case ScriptFocus::kAway:
      break;
  }
  return FocusPlace::kAway;
}

namespace {

std::vector<uint8_t> bytesOf(std::span<const uint8_t> bytes) {
  return {bytes.begin(), bytes.end()};
}

template <typename Record>
std::optional<std::vector<uint8_t>> bytesOrNone(const std::optional<Record>& record) {
  if (!record) return std::nullopt;
  return bytesOf(*record);
}

}  // namespace

DocumentReport documentReport(const PrintedDocument& document) {
  DocumentReport report;
  report.printer = document.printer;
  const PrinterSettings& s = document.settings;
  report.copies = s.copies;
  report.orientation = s.orientation;
  report.duplex = s.duplex;
  report.paperSize = s.paperSize;
  report.printQuality = s.printQuality;
  for (const PrintedPage& page : document.pages) {
    std::vector<PrintOpReport>& ops = report.pages.emplace_back();
    for (const PrintOperation& op : page) {
      if (const auto* line = std::get_if<PrintedLine>(&op))
        ops.emplace_back(PrintedLineReport{line->x1, line->y1, line->x2, line->y2, line->color});
      else {
        const auto& text = std::get<PrintedText>(op);
        ops.emplace_back(PrintedTextReport{text.text, text.x, text.y, text.fontSize});
      }
    }
  }
  report.ended = document.ended;
  return report;
}

namespace {

class HeadlessScriptControl final : public ScriptControl {
 public:
  HeadlessScriptControl(HeadlessControl& widgets, HeadlessPlatform& platform)
      : widgets_(widgets), platform_(platform), control_(widgets.widgets()) {}

  TaviColorText& control() override { return control_; }

  void type(TextView text) override { widgets_.type(text); }
  void compose(TextView text) override { widgets_.compose(text); }
  void key(int16_t keyCode, int16_t shift) override { widgets_.key(keyCode, shift); }
  void keyDown(int16_t keyCode, int16_t shift) override { widgets_.keyDown(keyCode, shift); }
  void keyUp(int16_t keyCode, int16_t shift) override { widgets_.keyUp(keyCode, shift); }
  void select(int32_t start, int32_t length) override { widgets_.select(start, length); }
  void click(double x, double y) override { widgets_.click(x, y); }
  void rightClick(double x, double y) override { widgets_.rightClick(x, y); }
  void mouseDown(int16_t button, int16_t shift, double x, double y) override {
    widgets_.mouseDown(button, shift, x, y);
  }
  void mouseUp(int16_t button, int16_t shift, double x, double y) override {
    widgets_.mouseUp(button, shift, x, y);
  }
  void menu(int16_t entry) override { control_.menuClicked(entry); }
  void focus(ScriptFocus place) override { widgets_.focus(headlessPlace(place)); }
  void scroll(int32_t line) override { widgets_.scroll(line); }
  void tick() override { control_.timerTick(); }
  void resize(double width, double height) override {
    widgets_.site().setSize(width, height);
    control_.resize();
  }
  void paint() override { control_.gutterPaint(); }

  WidgetReport widgets() override { return widgetReport(widgets_, platform_.screen()); }

  std::vector<FormatRun> formats() override { return widgets_.surface().formats(); }

  std::optional<GutterReport> gutter() override { return gutterReport(widgets_.gutter()); }

  MenuReport menuItems() override { return menuReport(widgets_.menu()); }

 private:
  HeadlessControl& widgets_;
  HeadlessPlatform& platform_;
  TaviColorText control_;
};

class HeadlessScriptPlatform final : public HeadlessWorld {
 public:
  ScriptControl& createControl() override {
    HeadlessControl& widgets = platform_.createControl();
    controls_.push_back(std::make_unique<HeadlessScriptControl>(widgets, platform_));
    return *controls_.back();
  }

 private:
  std::vector<std::unique_ptr<HeadlessScriptControl>> controls_;
};

}  // namespace

WidgetReport widgetReport(HeadlessControl& widgets, HeadlessScreen& screen) {
  const HeadlessEditSurface& surface = widgets.surface();
  const HeadlessListBox& list = widgets.list();
  const HeadlessHintBox& hint = widgets.hint();
  WidgetReport r;
  r.text = surface.text();
  r.selStart = surface.selStart();
  r.selLength = surface.selLength();
  r.hideSelection = surface.hideSelection();
  r.locked = surface.locked();
  r.maxLength = surface.maxLength();
  r.mousePointer = surface.mousePointer();
  r.screenPointer = screen.mousePointer();
  r.focus = std::string(focusPlaceName(widgets.focusPlace()));
  r.firstVisibleLine = surface.firstVisibleLine();
  r.list = {list.visible(), list.left(), list.top(), list.listIndex(), list.items()};
  r.hint = {hint.visible(), hint.text(), hint.left(), hint.top(), hint.width(), hint.height()};
  return r;
}

std::optional<GutterReport> gutterReport(const HeadlessGutterCanvas& gutter) {
  const std::optional<GutterPaint>& paint = gutter.lastPaint();
  if (!paint) return std::nullopt;
  GutterReport r;
  const PixelRect client = gutter.clientRect();
  r.width = client.right;
  r.height = client.bottom;
  const PixelRect sample = gutter.measureText(u"Hy");
  r.lineHeight = sample.bottom - sample.top;
  r.background = paint->fillColor;
  for (const GutterTextDrawn& t : paint->texts)
    r.numbers.push_back({t.text, t.color, t.rect.left, t.rect.top, t.rect.right, t.rect.bottom});
  if (!paint->lines.empty()) {
    const GutterLineDrawn& rule = paint->lines.back();
    r.rule = GutterRuleReport{rule.x1, rule.y1, rule.y2, rule.color};
  }
  return r;
}

MenuReport menuReport(const HeadlessPopupMenu& menu) { return {menu.items(), menu.shownCount()}; }

void HeadlessWorld::setCapsLock(bool on) { platform_.screen().setCapsLock(on); }
std::optional<Text> HeadlessWorld::clipboardText() { return platform_.clipboard().content(); }
void HeadlessWorld::setClipboardText(const std::optional<Text>& text) {
  platform_.clipboard().setContent(text);
}
void HeadlessWorld::setClipboardLocked(bool locked) { platform_.clipboard().setLocked(locked); }

void HeadlessWorld::setPrinters(const std::vector<ScriptPrinter>& printers, int32_t current) {
  std::vector<InstalledPrinter> installed;
  for (const ScriptPrinter& p : printers) installed.push_back({p.name, p.driver, p.port, {}});
  platform_.printers().setPrinters(std::move(installed), current);
}

void HeadlessWorld::scriptPrintDialog(const ScriptDialogAnswer& answer) {
  DialogAnswer a;
  a.cancel = answer.cancel;
  a.choices = {answer.printer, answer.copies,    answer.orientation,
               answer.duplex,  answer.paperSize, answer.printQuality};
  platform_.printers().scriptDialog(std::move(a));
}

PrintoutReport HeadlessWorld::printout() {
  HeadlessPrinterSystem& printers = platform_.printers();
  PrintoutReport report;
  for (const PrintedDocument& document : printers.printer().drainDocuments())
    report.documents.push_back(documentReport(document));
  if (const std::optional<DialogRecords>& given = printers.lastDialog())
    report.dialog =
        DialogRecordsReport{readU32(given->printDlg, printdlg::kFlags), bytesOrNone(given->devMode),
                            bytesOrNone(given->devNames), bytesOf(given->printDlg)};
  return report;
}

std::vector<MessageBoxReport> HeadlessWorld::drainMessageBoxes() {
  std::vector<MessageBoxReport> boxes;
  for (RecordedMessageBox& box : platform_.messageBoxes().drain())
    boxes.push_back({std::move(box.text), box.style, std::move(box.title)});
  return boxes;
}

std::unique_ptr<ScriptPlatform> makeHeadlessPlatform() {
  return std::make_unique<HeadlessScriptPlatform>();
}

}  // namespace tavi::script
