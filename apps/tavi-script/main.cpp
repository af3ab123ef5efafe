// tavi-script --version prints the version.
// tavi-script [--platform headless|web|qt|win32] [--mask-metrics] [FILE]: runs TaviColorText
// controls on a platform (headless by default; web, the browser platform's controls; qt when
// built with Qt; win32 in the Windows
// build, tavi-script.exe) from JSON command lines (FILE,
// or standard input), writing one JSON line per notification and result; --mask-metrics
// writes the platform's metrics as "metric". Exit status 0 when every line could be parsed,
// 2 otherwise (and for a bad command line).
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <string_view>

#include "tavi-script/script_host.h"
#include "tavi-script/web_platform.h"
#ifdef TAVI_SCRIPT_QT
#include "tavi-script/qt_platform.h"
#endif
#ifdef TAVI_SCRIPT_WIN32
#include <fcntl.h>
#include <io.h>

#include "tavi-script/win32_platform.h"
#endif

namespace {

int usage() {
  std::cerr << "usage: tavi-script [--platform headless|web"
#ifdef TAVI_SCRIPT_QT
               "|qt"
#endif
#ifdef TAVI_SCRIPT_WIN32
               "|win32"
#endif
               "] [--mask-metrics] [FILE]\n";
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::string_view platformName = "headless";
  const char* path = nullptr;
  bool maskMetrics = false;
  for (int i = 1; i < argc; ++i) {
    const std::string_view a = argv[i];
    if (a == "--platform" && i + 1 < argc)
      platformName = argv[++i];
    else if (a.starts_with("--platform="))
      platformName = a.substr(11);
    else if (a == "--version") {
      std::cout << "tavi-script " TAVI_VERSION "\n";
      return 0;
    } else if (a == "--mask-metrics")
      maskMetrics = true;
    else if (path == nullptr && !a.starts_with("--"))
      path = argv[i];
    else
      return usage();
  }

  std::unique_ptr<tavi::script::ScriptPlatform> platform;
#ifdef TAVI_SCRIPT_QT
  std::unique_ptr<tavi::script::QtApplicationScope> qtApplication;
  if (platformName == "qt") {
    qtApplication = std::make_unique<tavi::script::QtApplicationScope>(argv[0]);
    platform = tavi::script::makeQtPlatform();
  }
#endif
#ifdef TAVI_SCRIPT_WIN32
  // Lines end in LF as on every platform, not in the C runtime's CR LF.
  _setmode(_fileno(stdout), _O_BINARY);
  if (platformName == "win32") platform = tavi::script::makeWin32Platform();
#endif
  if (platformName == "headless") platform = tavi::script::makeHeadlessPlatform();
  if (platformName == "web") platform = tavi::script::makeWebPlatform();
  if (!platform) return usage();

  std::ifstream file;
  std::filesystem::path baseDir = std::filesystem::current_path();
  if (path != nullptr) {
    file.open(path, std::ios::binary);
    if (!file) {
      std::cerr << "tavi-script: cannot open " << path << "\n";
      return 2;
    }
    baseDir = std::filesystem::absolute(path).parent_path();
  }
  std::istream& in = path != nullptr ? static_cast<std::istream&>(file) : std::cin;
  std::ios::sync_with_stdio(false);
  bool allParsed = true;
  {
    tavi::script::ScriptHost host(std::cout, baseDir, std::move(platform));
    host.setMaskMetrics(maskMetrics);
    for (std::string line; std::getline(in, line);) {
      if (!host.runLine(line)) allParsed = false;
      std::cout.flush();
    }
  }
  return allParsed ? 0 : 2;
}
