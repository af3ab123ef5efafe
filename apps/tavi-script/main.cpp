// tavi-script [FILE]: runs TaviColorText controls on the headless platform from JSON
// command lines (FILE, or standard input), writing one JSON line per notification and
// result. Exit status 0 when every line could be parsed, 2 otherwise.
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

#include "tavi-script/script_host.h"

int main(int argc, char** argv) {
  if (argc > 2) {
    std::cerr << "usage: tavi-script [FILE]\n";
    return 2;
  }
  std::ifstream file;
  std::filesystem::path baseDir = std::filesystem::current_path();
  if (argc == 2) {
    file.open(argv[1], std::ios::binary);
    if (!file) {
      std::cerr << "tavi-script: cannot open " << argv[1] << "\n";
      return 2;
    }
    baseDir = std::filesystem::absolute(argv[1]).parent_path();
  }
  std::istream& in = argc == 2 ? static_cast<std::istream&>(file) : std::cin;
  std::ios::sync_with_stdio(false);
  tavi::script::ScriptHost host(std::cout, baseDir);
  bool allParsed = true;
  for (std::string line; std::getline(in, line);) {
    if (!host.runLine(line)) allParsed = false;
    std::cout.flush();
  }
  return allParsed ? 0 : 2;
}
