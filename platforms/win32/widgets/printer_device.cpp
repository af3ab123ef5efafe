#include "win32/widgets/printer_device.h"

#include <winspool.h>

#include <cmath>
#include <cstring>
#include <utility>

#include "shell/runtime_error.h"

namespace tavi::win32 {

namespace {

// The printer rejected an operation (the runtime's "Printer error").
constexpr int kPrinterFailed = 482;
constexpr double kDefaultFontSize = 10;
constexpr wchar_t kDocumentName[] = L"TaviColorText";

[[noreturn]] void printerFailed() { throw RuntimeError(kPrinterFailed, "Printer error"); }

std::wstring wide(TextView text) { return {text.begin(), text.end()}; }
Text narrow(std::wstring_view text) { return {text.begin(), text.end()}; }

// A setting's field in the device mode.
short& fieldOf(DEVMODEW& mode, DWORD field) {
  switch (field) {
    case DM_ORIENTATION:
      return mode.dmOrientation;
    case DM_PAPERSIZE:
      return mode.dmPaperSize;
    case DM_COPIES:
      return mode.dmCopies;
    case DM_PRINTQUALITY:
      return mode.dmPrintQuality;
    default:
      return mode.dmDuplex;
  }
}

// The value of a setting that the driver leaves out of its device mode.
int16_t absentValue(DWORD field) {
  switch (field) {
    case DM_ORIENTATION:
      return DMORIENT_PORTRAIT;
    case DM_PAPERSIZE:
      return DMPAPER_LETTER;
    case DM_COPIES:
      return 1;
    case DM_PRINTQUALITY:
      return DMRES_HIGH;
    default:
      return DMDUP_SIMPLEX;
  }
}

// Whether the device mode can hold this value for the field.
bool validSetting(DWORD field, int16_t value) {
  switch (field) {
    case DM_ORIENTATION:
      return value == DMORIENT_PORTRAIT || value == DMORIENT_LANDSCAPE;
    case DM_DUPLEX:
      return value >= DMDUP_SIMPLEX && value <= DMDUP_HORIZONTAL;
    case DM_PRINTQUALITY:  // a quality code (-4 to -1) or dots per inch
      return value >= DMRES_HIGH && value != 0;
    default:  // copies, paper size
      return value >= 1;
  }
}

// A printer device context of the spooler.
class PrinterContext final : public PageTarget {
 public:
  PrinterContext(const PrinterEntry& printer, const DEVMODEW& mode, std::wstring outputFile)
      : dc_(CreateDCW(L"WINSPOOL", printer.name.c_str(), nullptr, &mode)),
        outputFile_(std::move(outputFile)) {
    if (dc_ == nullptr) throw RuntimeError(err::kPrinterError);
  }
  ~PrinterContext() override { DeleteDC(dc_); }
  PrinterContext(const PrinterContext&) = delete;
  PrinterContext& operator=(const PrinterContext&) = delete;

  PageSize pageSize() override { return drawableArea(dc_); }
  HDC measuringContext() override { return dc_; }
  void settingsChanged(const DEVMODEW& mode) override {
    const auto* bytes = reinterpret_cast<const BYTE*>(&mode);
    pending_.assign(bytes, bytes + mode.dmSize + mode.dmDriverExtra);
  }

 protected:
  void beginDocument() override {
    DOCINFOW doc{};
    doc.cbSize = sizeof(doc);
    doc.lpszDocName = kDocumentName;
    doc.lpszOutput = outputFile_.empty() ? nullptr : outputFile_.c_str();
    if (StartDocW(dc_, &doc) <= 0) printerFailed();
  }
  HDC beginPage() override {
    if (!pending_.empty()) {
      ResetDCW(dc_, reinterpret_cast<const DEVMODEW*>(pending_.data()));
      pending_.clear();
    }
    if (StartPage(dc_) <= 0) printerFailed();
    return dc_;
  }
  void finishPage() override {
    if (EndPage(dc_) <= 0) printerFailed();
  }
  void finishDocument() override {
    if (EndDoc(dc_) <= 0) printerFailed();
  }

 private:
  HDC dc_;
  std::wstring outputFile_;
  std::vector<BYTE> pending_;
};

}  // namespace

DEVMODEW& devModeOf(PrinterEntry& entry) {
  if (entry.devMode.empty()) {
    std::wstring name = entry.name;
    HANDLE printer = nullptr;
    if (!OpenPrinterW(name.data(), &printer, nullptr)) throw RuntimeError(err::kPrinterError);
    std::vector<BYTE> mode;
    const LONG size = DocumentPropertiesW(nullptr, printer, name.data(), nullptr, nullptr, 0);
    if (size >= static_cast<LONG>(sizeof(DEVMODEW))) {
      mode.resize(static_cast<size_t>(size));
      if (DocumentPropertiesW(nullptr, printer, name.data(),
                              reinterpret_cast<DEVMODEW*>(mode.data()), nullptr,
                              DM_OUT_BUFFER) != IDOK)
        mode.clear();
    }
    ClosePrinter(printer);
    if (mode.empty()) throw RuntimeError(err::kPrinterError);
    entry.devMode = std::move(mode);
  }
  return *reinterpret_cast<DEVMODEW*>(entry.devMode.data());
}

PrinterSettings settingsOf(const DEVMODEW& mode) {
  DEVMODEW fields = mode;  // the public part, for fieldOf
  const auto value = [&fields](DWORD field) {
    return (fields.dmFields & field) != 0 ? fieldOf(fields, field) : absentValue(field);
  };
  return {value(DM_ORIENTATION), value(DM_DUPLEX), value(DM_COPIES), value(DM_PAPERSIZE),
          value(DM_PRINTQUALITY)};
}

std::unique_ptr<PageTarget> printerContext(const PrinterEntry& printer, const DEVMODEW& mode,
                                           const std::wstring& outputFile) {
  return std::make_unique<PrinterContext>(printer, mode, outputFile);
}

HDC PageTarget::page() {
  if (!documentOpen_) {
    beginDocument();
    documentOpen_ = true;
  }
  if (page_ == nullptr) page_ = beginPage();
  return page_;
}

void PageTarget::endPage() {
  if (page_ == nullptr) return;
  page_ = nullptr;
  finishPage();
}

void PageTarget::endDocument() {
  if (!documentOpen_) return;
  // The document counts as ended even when the device fails to end it: the next output
  // starts a new one.
  documentOpen_ = false;
  const bool pageOpen = page_ != nullptr;
  page_ = nullptr;
  if (pageOpen) finishPage();
  finishDocument();
}

Win32Printer::Win32Printer(PageTargetFactory factory)
    : factory_(std::move(factory)), fontSize_(kDefaultFontSize) {}

Win32Printer::~Win32Printer() { release(); }

void Win32Printer::release() noexcept {
  // A document left open (printing that failed half-way) is sent as far as it got.
  try {
    if (recording_) recorder_->endDocument();
    recording_ = false;
    if (target_ != nullptr) target_->endDocument();
  } catch (...) {
    // Nobody is left to hear of a device that fails to end it.
  }
  target_.reset();
}

void Win32Printer::recordTo(PrintRecorder* recorder) {
  release();
  recorder_ = recorder;
}

PrintRecorder* Win32Printer::recordingDocument() {
  if (recorder_ == nullptr) return nullptr;
  const PrinterEntry& printer = installed();
  if (!recording_) recorder_->beginDocument(narrow(printer.name), settingsOf(mode()));
  recording_ = true;
  return recorder_;
}

void Win32Printer::attach(PrinterEntry* printer) {
  release();
  installed_ = printer;
  font_.reset();
  fontSize_ = kDefaultFontSize;
  x_ = 0;
  y_ = 0;
}

void Win32Printer::setOutputFile(std::wstring file) {
  outputFile_ = std::move(file);
  if (!documentOpen()) target_.reset();
}

PrinterEntry& Win32Printer::installed() const {
  if (installed_ == nullptr) throw RuntimeError(err::kPrinterError);
  return *installed_;
}

PageTarget& Win32Printer::target() const {
  if (target_ == nullptr) {
    PrinterEntry& printer = installed();
    const DEVMODEW& devMode = mode();
    target_ = factory_ ? factory_(printer, devMode) : printerContext(printer, devMode, outputFile_);
  }
  return *target_;
}

const TwipsFont& Win32Printer::font() const {
  if (font_ == nullptr) font_ = std::make_unique<TwipsFont>(fontSize_);
  return *font_;
}

Text Win32Printer::deviceName() const { return narrow(installed().name); }
Text Win32Printer::driverName() const { return narrow(installed().driver); }
Text Win32Printer::port() const { return narrow(installed().port); }

int16_t Win32Printer::setting(DWORD field) const {
  DEVMODEW& devMode = mode();
  return (devMode.dmFields & field) != 0 ? fieldOf(devMode, field) : absentValue(field);
}

void Win32Printer::changeSetting(DWORD field, int16_t value) {
  DEVMODEW& devMode = mode();
  // A value the field cannot hold leaves the setting as it is: a dialog hands back zeros
  // for the fields that its device mode leaves out.
  if (!validSetting(field, value)) return;
  fieldOf(devMode, field) = value;
  devMode.dmFields |= field;
  if (target_ == nullptr) return;
  // Without an open document the next one gets a context with the new settings (and the
  // page size that goes with them); an open one takes them from its next page.
  if (target_->documentOpen())
    target_->settingsChanged(devMode);
  else
    target_.reset();
}

int16_t Win32Printer::orientation() const { return setting(DM_ORIENTATION); }
void Win32Printer::setOrientation(int16_t v) { changeSetting(DM_ORIENTATION, v); }
int16_t Win32Printer::duplex() const { return setting(DM_DUPLEX); }
void Win32Printer::setDuplex(int16_t v) { changeSetting(DM_DUPLEX, v); }
int16_t Win32Printer::copies() const { return setting(DM_COPIES); }
void Win32Printer::setCopies(int16_t v) { changeSetting(DM_COPIES, v); }
int16_t Win32Printer::paperSize() const { return setting(DM_PAPERSIZE); }
void Win32Printer::setPaperSize(int16_t v) { changeSetting(DM_PAPERSIZE, v); }
int16_t Win32Printer::printQuality() const { return setting(DM_PRINTQUALITY); }
void Win32Printer::setPrintQuality(int16_t v) { changeSetting(DM_PRINTQUALITY, v); }

double Win32Printer::pageWidth() const {
  if (recorder_ != nullptr) return recorder_->pageSize(settingsOf(mode())).width;
  return target().pageSize().width;
}

double Win32Printer::pageHeight() const {
  if (recorder_ != nullptr) return recorder_->pageSize(settingsOf(mode())).height;
  return target().pageSize().height;
}

double Win32Printer::fontSize() const {
  installed();
  return fontSize_;
}

void Win32Printer::setFontSize(double points) {
  installed();
  if (!std::isfinite(points) || points <= 0) throw RuntimeError(err::kInvalidPropertyValue);
  if (points != fontSize_) font_.reset();
  fontSize_ = points;
}

double Win32Printer::currentX() const {
  installed();
  return x_;
}

void Win32Printer::setCurrentX(double x) {
  installed();
  x_ = x;
}

double Win32Printer::currentY() const {
  installed();
  return y_;
}

void Win32Printer::setCurrentY(double y) {
  installed();
  y_ = y;
}

double Win32Printer::textWidth(TextView text) const {
  if (recorder_ != nullptr) {
    installed();
    return recorder_->textWidth(text, fontSize_);
  }
  return TwipsCanvas(target().measuringContext(), font()).textWidth(wide(text));
}

double Win32Printer::textHeight(TextView text) const {
  if (recorder_ != nullptr) {
    installed();
    return recorder_->textHeight(text, fontSize_);
  }
  return TwipsCanvas(target().measuringContext(), font()).textHeight(wide(text));
}

void Win32Printer::line(double x1, double y1, double x2, double y2, int32_t color) {
  if (PrintRecorder* recorder = recordingDocument()) return recorder->line(x1, y1, x2, y2, color);
  TwipsCanvas(target().page(), font()).line(x1, y1, x2, y2, color);
}

void Win32Printer::print(TextView text) {
  if (PrintRecorder* recorder = recordingDocument()) {
    recorder->text(text, x_, y_, fontSize_);
    x_ = 0;
    y_ += recorder->textHeight(text, fontSize_);
    return;
  }
  const std::wstring line = wide(text);
  TwipsCanvas(target().page(), font()).text(x_, y_, line);
  x_ = 0;
  y_ += textHeight(text);
}

void Win32Printer::newPage() {
  if (PrintRecorder* recorder = recordingDocument()) {
    recorder->newPage();
    x_ = 0;
    y_ = 0;
    return;
  }
  PageTarget& pages = target();
  pages.page();
  pages.endPage();
  pages.page();
  x_ = 0;
  y_ = 0;
}

void Win32Printer::endDoc() {
  installed();
  if (recording_) recorder_->endDocument();
  recording_ = false;
  if (target_ != nullptr) target_->endDocument();
  x_ = 0;
  y_ = 0;
}

}  // namespace tavi::win32
