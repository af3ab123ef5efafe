#include "win32/printer_script.h"

#include <algorithm>
#include <stdexcept>
#include <string>

#include "printing/record_blocks.h"
#include "win32/widgets/services.h"

namespace tavi::win32 {

namespace {

using Json = nlohmann::ordered_json;

std::wstring wide(TextView text) { return {text.begin(), text.end()}; }
Text narrow(std::wstring_view text) { return {text.begin(), text.end()}; }

// A listed printer: its settings in a DEVMODEW of its own, as a driver would give one.
std::unique_ptr<PrinterEntry> entryOf(const InstalledPrinter& listed) {
  auto entry = std::make_unique<PrinterEntry>();
  entry->name = wide(listed.name);
  entry->driver = wide(listed.driver);
  entry->port = wide(listed.port);
  entry->devMode.resize(sizeof(DEVMODEW));
  auto& mode = *reinterpret_cast<DEVMODEW*>(entry->devMode.data());
  const size_t chars = std::min(entry->name.size(), std::size(mode.dmDeviceName) - 1);
  std::copy_n(entry->name.begin(), chars, mode.dmDeviceName);
  mode.dmSize = sizeof(DEVMODEW);
  mode.dmFields = DM_ORIENTATION | DM_DUPLEX | DM_COPIES | DM_PAPERSIZE | DM_PRINTQUALITY;
  const PrinterSettings& s = listed.settings;
  mode.dmOrientation = s.orientation;
  mode.dmDuplex = s.duplex;
  mode.dmCopies = s.copies;
  mode.dmPaperSize = s.paperSize;
  mode.dmPrintQuality = s.printQuality;
  return entry;
}

std::vector<uint8_t> blockBytes(HGLOBAL block) {
  if (block == nullptr) return {};
  std::vector<uint8_t> bytes;
  if (const auto* data = static_cast<const uint8_t*>(GlobalLock(block))) {
    bytes.assign(data, data + GlobalSize(block));
    GlobalUnlock(block);
  }
  return bytes;
}

// A block of the dialog's own in place of `block`, which it frees, as PrintDlgA does with a
// block it replaces. The new block is made first, so that it is a block of its own.
template <typename Record>
void replaceBlock(HGLOBAL& block, const std::optional<Record>& record) {
  HGLOBAL replaced = nullptr;
  if (record) {
    replaced = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, record->size());
    if (auto* data = static_cast<uint8_t*>(GlobalLock(replaced))) {
      std::copy(record->begin(), record->end(), data);
      GlobalUnlock(replaced);
    }
  }
  if (block != nullptr) GlobalFree(block);
  block = replaced;
}

Json bytesOf(std::span<const uint8_t> bytes) {
  return Json(std::vector<uint8_t>(bytes.begin(), bytes.end()));
}

Json documentJson(const PrintedDocument& document) {
  Json pages = Json::array();
  for (const PrintedPage& page : document.pages) {
    Json ops = Json::array();
    for (const PrintOperation& op : page) {
      if (const auto* line = std::get_if<PrintedLine>(&op)) {
        ops.push_back({{"line", {line->x1, line->y1, line->x2, line->y2}}, {"color", line->color}});
      } else {
        const auto& text = std::get<PrintedText>(op);
        ops.push_back({{"text", toUtf8(text.text)},
                       {"x", text.x},
                       {"y", text.y},
                       {"fontSize", text.fontSize}});
      }
    }
    pages.push_back(std::move(ops));
  }
  const PrinterSettings& s = document.settings;
  return {{"printer", toUtf8(document.printer)},
          {"copies", s.copies},
          {"orientation", s.orientation},
          {"duplex", s.duplex},
          {"paperSize", s.paperSize},
          {"printQuality", s.printQuality},
          {"pages", std::move(pages)},
          {"ended", document.ended}};
}

}  // namespace

PrinterScript::PrinterScript(Win32PrinterSystem& printers) : printers_(printers) {
  const HeadlessPrinterSystem headless;
  std::vector<std::unique_ptr<PrinterEntry>> defaults;
  for (const InstalledPrinter& p : headless.printers()) defaults.push_back(entryOf(p));
  printers_.installPrinters(std::move(defaults), 0);
  printers_.recordOutput(&recorder_);
  printers_.answerDialogs([this](std::span<const uint8_t, kPrintDlgSize> given, PRINTDLGA& native) {
    return answer(given, native);
  });
}

PrinterScript& PrinterScript::forThisThread() {
  thread_local PrinterScript* script = nullptr;
  // For the thread's life: the thread's printer system keeps pointing at it.
  if (script == nullptr) script = new PrinterScript(Win32Services::forThisThread().printers);
  return *script;
}

void PrinterScript::installPrinters(const nlohmann::json& printers, int32_t current) {
  std::vector<std::unique_ptr<PrinterEntry>> entries;
  for (const nlohmann::json& p : printers)
    entries.push_back(entryOf({fromUtf8(p.at("name").get<std::string>()),
                               fromUtf8(p.at("driver").get<std::string>()),
                               fromUtf8(p.at("port").get<std::string>()),
                               {}}));
  printers_.installPrinters(std::move(entries), current);
}

void PrinterScript::scriptDialog(const nlohmann::json& answer) {
  DialogAnswer next;
  if (answer == "cancel") {
    next.cancel = true;
  } else if (answer.is_object()) {
    DialogChoices& c = next.choices;
    if (answer.contains("printer")) c.printer = fromUtf8(answer["printer"].get<std::string>());
    const std::pair<const char*, std::optional<int16_t>*> numbers[] = {
        {"copies", &c.copies},
        {"orientation", &c.orientation},
        {"duplex", &c.duplex},
        {"paperSize", &c.paperSize},
        {"printQuality", &c.printQuality}};
    for (const auto& [name, field] : numbers)
      if (answer.contains(name)) *field = answer[name].get<int16_t>();
  } else {
    throw std::invalid_argument("the dialog's answer is \"cancel\" or an object of choices");
  }
  next_ = std::move(next);
}

Json PrinterScript::printout() {
  Json documents = Json::array();
  for (const PrintedDocument& document : recorder_.drainDocuments())
    documents.push_back(documentJson(document));
  Json dialog = nullptr;
  if (lastDialog_) {
    const DialogRecords& given = *lastDialog_;
    dialog = {{"flags", readU32(given.printDlg, printdlg::kFlags)},
              {"devmode", given.devMode ? bytesOf(*given.devMode) : Json(nullptr)},
              {"devnames", given.devNames ? bytesOf(*given.devNames) : Json(nullptr)},
              {"printdlg", bytesOf(given.printDlg)}};
  }
  return {{"documents", std::move(documents)}, {"dialog", std::move(dialog)}};
}

BOOL PrinterScript::answer(std::span<const uint8_t, kPrintDlgSize> given, PRINTDLGA& native) {
  std::vector<InstalledPrinter> list;
  for (int32_t i = 0; i < printers_.printerCount(); ++i) {
    PrinterEntry& entry = printers_.printerEntry(i);
    list.push_back({narrow(entry.name), narrow(entry.driver), narrow(entry.port),
                    settingsOf(devModeOf(entry))});
  }
  HeadlessPrinterSystem rule;
  rule.setPrinters(std::move(list), std::max(printers_.currentIndex(), 0));
  rule.scriptDialog(next_.value_or(DialogAnswer{}));
  next_.reset();

  // The records as the native dialog has them, in the rule's memory.
  PrintDlgRecord record;
  std::copy(given.begin(), given.end(), record.begin());
  const std::pair<size_t, HGLOBAL> blocks[] = {{printdlg::kDevMode, native.hDevMode},
                                               {printdlg::kDevNames, native.hDevNames}};
  for (const auto& [field, block] : blocks)
    writeU32(record, field,
             block != nullptr ? newRecordBlock(rule.blocks(), blockBytes(block)) : 0);
  const int32_t confirmed = rule.printDialog(record);
  lastDialog_ = rule.lastDialog();
  lastDialog_->printDlg = PrintDlgRecord{};
  std::copy(given.begin(), given.end(), lastDialog_->printDlg.begin());
  if (confirmed == 0) return FALSE;
  replaceBlock(native.hDevMode,
               readRecordBlock<DevModeRecord>(rule.blocks(), readU32(record, printdlg::kDevMode)));
  replaceBlock(native.hDevNames, readRecordBlock<DevNamesRecord>(
                                     rule.blocks(), readU32(record, printdlg::kDevNames)));
  return TRUE;
}

}  // namespace tavi::win32
