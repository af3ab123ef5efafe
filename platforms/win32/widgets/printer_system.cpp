#include "win32/widgets/printer_system.h"

#include <windows.h>

#include <commdlg.h>
#include <winspool.h>

#include <algorithm>
#include <array>
#include <vector>

#include "shell/runtime_error.h"
#include "win32/widgets/global_memory.h"
#include "win32/widgets/print_dialog.h"
#include "win32/widgets/printer_device.h"

namespace tavi::win32 {

namespace {

// The driver that the device names of a printer give: the spooler's, which every printer
// device context is created through.
constexpr wchar_t kSpoolerDriver[] = L"winspool";
// A yield handles at most this many messages, so that a window that keeps posting (or never
// validates its paint) cannot hold the caller for ever.
constexpr int kMaxYieldMessages = 1000;

// The local printers and the connections, in the spooler's order.
std::vector<std::unique_ptr<PrinterEntry>> installedPrinters() {
  constexpr DWORD kWhich = PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS;
  std::vector<BYTE> buffer;
  DWORD needed = 0;
  DWORD count = 0;
  // The list may grow between asking for its size and reading it.
  for (int attempt = 0; attempt < 3; ++attempt) {
    BYTE* data = buffer.empty() ? nullptr : buffer.data();
    if (EnumPrintersW(kWhich, nullptr, 2, data, static_cast<DWORD>(buffer.size()), &needed, &count))
      break;
    count = 0;
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) break;
    buffer.resize(needed);
  }
  std::vector<std::unique_ptr<PrinterEntry>> printers;
  const auto* info = reinterpret_cast<const PRINTER_INFO_2W*>(buffer.data());
  for (DWORD i = 0; i < count; ++i) {
    if (info[i].pPrinterName == nullptr) continue;
    auto entry = std::make_unique<PrinterEntry>();
    entry->name = info[i].pPrinterName;
    entry->driver = kSpoolerDriver;
    if (info[i].pPortName != nullptr) entry->port = info[i].pPortName;
    printers.push_back(std::move(entry));
  }
  return printers;
}

std::wstring defaultPrinterName() {
  DWORD size = 0;
  GetDefaultPrinterW(nullptr, &size);
  if (size == 0) return {};
  std::wstring name(size, L'\0');
  if (!GetDefaultPrinterW(name.data(), &size)) return {};
  name.resize(wcsnlen(name.c_str(), name.size()));
  return name;
}

}  // namespace

struct Win32PrinterSystem::Parts {
  // Reads the printer list on first use; the default printer is current, else the first.
  void load() {
    if (loaded) return;
    loaded = true;
    printers = installedPrinters();
    if (printers.empty()) return;
    size_t first = 0;
    const std::wstring defaultName = defaultPrinterName();
    for (size_t i = 0; i < printers.size(); ++i)
      if (printers[i]->name == defaultName) first = i;
    makeCurrent(static_cast<int32_t>(first));
  }

  void makeCurrent(int32_t index) {
    printer.attach(&entry(index));
    current = index;
  }

  PrinterEntry& entry(int32_t index) {
    load();
    if (index < 0 || index >= static_cast<int32_t>(printers.size()))
      throw RuntimeError(err::kSubscript);
    return *printers[static_cast<size_t>(index)];
  }

  // Before the printer, which points into the list.
  std::vector<std::unique_ptr<PrinterEntry>> printers;
  bool loaded = false;
  int32_t current = -1;
  Win32Printer printer;
  Win32GlobalMemory memory;
  DialogAnswerer answerer;
};

Win32PrinterSystem::Win32PrinterSystem() : parts_(std::make_unique<Parts>()) {}

Win32PrinterSystem::~Win32PrinterSystem() = default;

void Win32PrinterSystem::setOutputFile(std::wstring file) {
  parts_->printer.setOutputFile(std::move(file));
}

Printer& Win32PrinterSystem::current() {
  parts_->load();
  return parts_->printer;
}

int32_t Win32PrinterSystem::printerCount() const {
  parts_->load();
  return static_cast<int32_t>(parts_->printers.size());
}

Text Win32PrinterSystem::printerDeviceName(int32_t index) const {
  const std::wstring& name = parts_->entry(index).name;
  return {name.begin(), name.end()};
}

void Win32PrinterSystem::makeCurrent(int32_t index) { parts_->makeCurrent(index); }

void Win32PrinterSystem::installPrinters(std::vector<std::unique_ptr<PrinterEntry>> printers,
                                         int32_t current) {
  if (!printers.empty() && (current < 0 || current >= static_cast<int32_t>(printers.size())))
    throw RuntimeError(err::kSubscript);
  // The printer lets go of its entry before the list that holds it goes.
  parts_->printer.attach(nullptr);
  parts_->current = -1;
  parts_->printers = std::move(printers);
  parts_->loaded = true;
  if (!parts_->printers.empty()) parts_->makeCurrent(current);
}

void Win32PrinterSystem::answerDialogs(DialogAnswerer answerer) {
  parts_->answerer = std::move(answerer);
}

void Win32PrinterSystem::recordOutput(PrintRecorder* recorder) {
  parts_->printer.recordTo(recorder);
}

PrinterEntry& Win32PrinterSystem::printerEntry(int32_t index) { return parts_->entry(index); }

int32_t Win32PrinterSystem::currentIndex() const {
  parts_->load();
  return parts_->current;
}

GlobalMemory& Win32PrinterSystem::memory() { return parts_->memory; }

int32_t Win32PrinterSystem::printDialog(std::span<uint8_t, kPrintDlgSize> record) {
  if (!parts_->answerer)
    return runPrintDialog(record, parts_->memory, GetActiveWindow(),
                          [](PRINTDLGA& dialog) { return PrintDlgA(&dialog); });
  std::array<uint8_t, kPrintDlgSize> given;
  std::copy(record.begin(), record.end(), given.begin());
  return runPrintDialog(
      record, parts_->memory, GetActiveWindow(), [this, &given](PRINTDLGA& dialog) {
        return parts_->answerer(std::span<const uint8_t, kPrintDlgSize>(given), dialog);
      });
}

void Win32PrinterSystem::yieldToEvents() {
  MSG message;
  for (int handled = 0;
       handled < kMaxYieldMessages && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE); ++handled) {
    // A quit request belongs to the loop that runs the thread: it goes back on the queue.
    if (message.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

}  // namespace tavi::win32
