// tavi-host: a small Win32 container for TaviColorText. It creates the registered control
// from its ProgID, sites it in place in its window, sinks its events and drives it as a host
// and a person would.
//
//   tavi-host.exe [FILE]                shows the control for use by hand, with the script
//                                       FILE (UTF-8) loaded
//   tavi-host.exe --test                the end-to-end test ("RESULT: PASS", exit code 0)
//   tavi-host.exe --dump [--text TEXT] [--type KEYS]
//                                       loads TEXT, clicks into the editor and types KEYS
//                                       (see Input::type), then prints the control's state
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <cstdio>
#include <string>
#include <vector>

#include "automation.h"
#include "host_window.h"
#include "input.h"
#include "modes.h"

namespace {

constexpr char kUsage[] =
    "usage: tavi-host.exe [FILE | --test | --dump [--text TEXT] [--type KEYS]]\n";

int usage() {
  std::fputs(kUsage, stderr);
  return 2;
}

// The UTF-8 file at `path` as UTF-16 text; false with `error` when it cannot be read.
bool readScript(const wchar_t* path, std::wstring& text, std::string& error) {
  FILE* file = _wfopen(path, L"rb");
  if (file == nullptr) {
    error = "cannot open the script file";
    return false;
  }
  std::vector<char> bytes;
  char buffer[4096];
  for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;)
    bytes.insert(bytes.end(), buffer, buffer + n);
  std::fclose(file);
  const int size = static_cast<int>(bytes.size());
  text.resize(static_cast<size_t>(MultiByteToWideChar(CP_UTF8, 0, bytes.data(), size, nullptr, 0)));
  MultiByteToWideChar(CP_UTF8, 0, bytes.data(), size, text.data(), static_cast<int>(text.size()));
  return true;
}

int runInteractive(const wchar_t* script) {
  tavi::host::HostWindow host;
  std::string error;
  std::wstring text;
  if ((script != nullptr && !readScript(script, text, error)) || !host.open(640, 400, error) ||
      !host.control().configure(error) ||
      (!text.empty() && !tavi::host::putProperty(host.control().automation(), L"Text",
                                                 tavi::host::Variant::text(text), error))) {
    std::printf("error: %s\n", error.c_str());
    return 1;
  }
  const int code = tavi::host::runInteractive(host.control());
  if (!host.close(error)) {
    std::printf("error: %s\n", error.c_str());
    return 1;
  }
  return code;
}

int run(int argc, wchar_t** argv) {
  if (argc == 1) return runInteractive(nullptr);
  const std::wstring mode = argv[1];
  if (argc == 2 && mode.rfind(L"--", 0) != 0) return runInteractive(argv[1]);
  if (mode == L"--test" && argc == 2) return tavi::host::runTest();
  if (mode != L"--dump") return usage();
  tavi::host::DumpOptions options;
  for (int i = 2; i < argc; i += 2) {
    const std::wstring option = argv[i];
    if (i + 1 >= argc) return usage();
    if (option == L"--text")
      options.text = argv[i + 1];
    else if (option == L"--type")
      options.keys = argv[i + 1];
    else
      return usage();
  }
  return tavi::host::runDump(options);
}

}  // namespace

int main() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (argv == nullptr) return usage();
  const HRESULT hr = OleInitialize(nullptr);
  if (FAILED(hr)) {
    std::printf("error: OleInitialize failed with %s\n", tavi::host::hex(hr).c_str());
    LocalFree(argv);
    return 1;
  }
  const int code = run(argc, argv);
  OleUninitialize();
  LocalFree(argv);
  return code;
}
