#include "differential/sessions.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <filesystem>
#include <future>
#include <iostream>
#include <map>
#include <random>
#include <sstream>
#include <thread>

#include "shell/module_state.h"
#include "shell/text.h"
#include "tavi-script/script_host.h"

namespace tavi::script {
namespace {

using json = nlohmann::json;

// Pieces the texts are made of: line breaks of every kind, tabs, non-ASCII letters,
// combining accents, surrogate pairs, keywords (one and several words) and plain words.
constexpr std::array kTextPieces = {
    "\r\n", "\n",          "\r",     "\t",  " ",      "  ",    "x",   "Call",
    "é",    "e\u0301",     "ß",      "😀",   "𝒜b",     "IF",    "AND", "CALL ABANDON",
    "if",   "AGE OF CALL", "ASSIGN", "end", "(1, 2)", "\"q\"", "a.b", "Ω"};
// What a person types: the pieces a keyboard gives, with keywords to complete.
constexpr std::array kTyped = {"IF ", "AND", " ", "\n", "\t", "x",      "CALL ", "ABANDON",
                               "a",   "Q",   "é", "😀",  "E",  "AGE OF", " CALL", "("};
// What an input method commits.
constexpr std::array kComposed = {"é", "😀", "e\u0301", "Ω\n", "ß\r", "IF"};
constexpr std::array kFindWords = {"x", "IF", "call", "é", "\r\n", "e\u0301", "AND", "zz"};
// Caret and editing keys; Ctrl+A is 65 with Ctrl.
constexpr std::array<int, 11> kKeys = {37, 38, 39, 40, 36, 35, 33, 34, 8, 46, 13};

class Session {
 public:
  Session(uint32_t seed, const SessionMix& mix) : random_(seed), mix_(mix) {}

  std::vector<std::string> commands(int count) {
    std::vector<std::string> list = {R"(["put", "Load_flag", false])",
                                     R"(["put", "m_bFirstTime", false])",
                                     R"(["put", "KeywordHighlight_flag", true])"};
    list.push_back(json::array({"put", "Text", text(8)}).dump());
    list.push_back(R"(["put", "Load_flag", false])");
    // The state after every command, so that a difference shows at the command that made it.
    for (int i = 0; i < count; ++i) {
      list.push_back(command());
      list.push_back(R"(["state"])");
    }
    list.push_back(R"(["formats"])");
    return list;
  }

 private:
  uint32_t below(uint32_t n) { return random_() % n; }
  template <typename T, size_t N>
  const T& pick(const std::array<T, N>& items) {
    return items[below(N)];
  }

  std::string text(int pieces) {
    std::string t;
    for (int i = below(pieces); i >= 0; --i) t += pick(kTextPieces);
    return t;
  }

  // A kind left out of the mix is drawn again: with every kind in, the draws (and so the
  // sessions of a seed) are the same whatever the mix could leave out.
  std::string command() {
    for (;;) {
      const uint32_t kind = below(17);
      const bool mouse = kind <= 1;
      const bool clipboard = kind == 12 || kind == 14;
      if ((mouse && !mix_.mouse) || (clipboard && !mix_.clipboard) || (kind == 15 && !mix_.compose))
        continue;
      // Empty: a key or a text the mix leaves out, drawn again as well.
      std::string c = command(kind);
      if (!c.empty()) return c;
    }
  }

  std::string command(uint32_t kind) {
    switch (kind) {
      case 0:
        return json::array({"click", below(240), below(120)}).dump();
      case 1:
        return json::array({"select", below(40), below(12)}).dump();
      case 2:
      case 3: {
        const std::string typed = pick(kTyped);
        if (!mix_.openParenthesis && typed == "(") return {};
        return json::array({"type", typed}).dump();
      }
      case 4:
      case 5:
      case 6: {
        const int key = pick(kKeys);
        const uint32_t modifiers = below(4);
        if (!mix_.ctrlEnter && key == 13 && (modifiers & 2) != 0) return {};
        return json::array({"key", key, modifiers}).dump();
      }
      case 7:
        return below(2) == 0 ? R"(["key", 65, 2])" : R"(["key", 112, 0])";
      case 8:
        return below(2) == 0 ? R"(["call", "Undo"])" : R"(["call", "Redo"])";
      case 9:
        return json::array({"call", "FindSE", pick(kFindWords), below(2) == 0, below(2) == 0})
            .dump();
      case 10:
        return json::array({"call", "ReplaceSE", pick(kFindWords), pick(kTyped)}).dump();
      case 11:
        return json::array({"call", "ReplaceAll", pick(kFindWords), pick(kTyped), below(2) == 0})
            .dump();
      case 12: {
        static constexpr std::array kClipboard = {R"(["call", "Cut"])", R"(["call", "Copy"])",
                                                  R"(["call", "Paste"])", R"(["key", 88, 2])",
                                                  R"(["key", 86, 2])"};
        return pick(kClipboard);
      }
      case 13:
        return json::array({"call", "HighlightLine", below(5), below(3)}).dump();
      case 14:
        return json::array({"clipboard", text(3)}).dump();
      case 15:
        return json::array({"compose", pick(kComposed)}).dump();
      default:
        return json::array({"put", "Text", text(4)}).dump();
    }
  }

  std::mt19937 random_;
  SessionMix mix_;
};

// Both platforms run on this thread, whose module state every control shares: each run
// starts from the state a new thread has.
std::vector<std::string> run(const std::vector<std::string>& commands,
                             std::unique_ptr<ScriptPlatform> platform) {
  static const ModuleState fresh = ModuleState::forThisThread();
  ModuleState::forThisThread() = fresh;
  // Every run starts with an empty clipboard, as the headless platform's is: the system's
  // would hold what the run before left on it.
  platform->setClipboardText(std::nullopt);
  std::ostringstream out;
  {
    ScriptHost host(out, std::filesystem::current_path(), std::move(platform));
    host.setMaskMetrics(true);
    for (const std::string& c : commands) host.runLine(c);
  }
  std::vector<std::string> lines;
  std::istringstream in(out.str());
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// Runs `work` on a new thread and waits for it; the thread then waits for the program's
// end and is never joined.
void runOnParkedThread(const std::function<void()>& work) {
  std::promise<void> done;
  std::thread([&] {
    work();
    done.set_value();
    for (;;) std::this_thread::sleep_for(std::chrono::hours(1));
  }).detach();
  done.get_future().wait();
}

using Groups = std::vector<std::vector<std::string>>;

// The output grouped by command: each command's lines end with its result line.
Groups byCommand(const std::vector<std::string>& lines) {
  Groups groups(1);
  for (const std::string& line : lines) {
    groups.back().push_back(line);
    if (line.rfind("{\"ok\"", 0) == 0 || line.rfind("{\"error\"", 0) == 0) groups.emplace_back();
  }
  return groups;
}

// The first command whose output differs, or -1.
int firstDifference(const Groups& a, const Groups& b) {
  for (size_t i = 0; i < std::max(a.size(), b.size()); ++i)
    if (i >= a.size() || i >= b.size() || a[i] != b[i]) return static_cast<int>(i);
  return -1;
}

// The command's name, and its key or member, as a bucket for the summary.
std::string kindOf(const std::string& command) {
  const json c = json::parse(command);
  std::string kind = c[0].get<std::string>();
  if ((kind == "call" || kind == "put" || kind == "key") && c.size() > 1) kind += " " + c[1].dump();
  if (kind.rfind("key", 0) == 0 && c.size() > 2) kind += "+" + c[2].dump();
  return kind;
}

// The names of the fields (flags one level down) in which two state results differ.
std::string differingFields(const std::vector<std::string>& a, const std::vector<std::string>& b) {
  if (a.size() != 1 || b.size() != 1) return "lines";
  const json x = json::parse(a[0]).value("ok", json());
  const json y = json::parse(b[0]).value("ok", json());
  if (!x.is_object() || !y.is_object()) return "result";
  std::string fields;
  for (const auto& [key, value] : x.items()) {
    if (value == y.value(key, json())) continue;
    if (value.is_object() && y.value(key, json()).is_object()) {
      for (const auto& [sub, v] : value.items())
        if (v != y[key].value(sub, json())) fields += " " + key + "." + sub;
    } else {
      fields += " " + key;
    }
  }
  return fields.empty() ? "order" : fields.substr(1);
}

Difference differenceAt(const std::vector<std::string>& commands, const Groups& headless,
                        const Groups& other, int at) {
  if (at >= static_cast<int>(commands.size()) || at >= static_cast<int>(headless.size()) ||
      at >= static_cast<int>(other.size()))
    return {"end", {}, {}};
  if (commands[at] != R"(["state"])" || at == 0) return {commands[at], {}, {}};
  const json state =
      headless[at].size() == 1 ? json::parse(headless[at][0]).value("ok", json()) : json();
  return {commands[at - 1], differingFields(headless[at], other[at]), state};
}

bool startsWith(const std::string& s, const char* prefix) { return s.rfind(prefix, 0) == 0; }

// A selection end beside a combining mark.
bool selectionEndsBesideAMark(const json& state) {
  if (!state.is_object() || !state.contains("text")) return false;
  const Text text = fromUtf8(state["text"].get<std::string>());
  const auto mark = [&](int64_t i) {
    return i >= 0 && i < static_cast<int64_t>(text.size()) && text[i] >= 0x300 && text[i] <= 0x36F;
  };
  const int64_t start = state["selStart"].get<int64_t>();
  for (const int64_t at : {start, start + state["selLength"].get<int64_t>()})
    if (mark(at) || mark(at - 1)) return true;
  return false;
}

void printSession(uint32_t seed, const std::vector<std::string>& commands, const Groups& headless,
                  const Groups& other, const std::string& otherName, int at) {
  std::cout << "== seed " << seed << ": differs at command " << at << "\n";
  for (size_t i = 0; i < commands.size(); ++i)
    if (commands[i] != R"(["state"])" || static_cast<int>(i) == at)
      std::cout << (static_cast<int>(i) == at ? ">> " : "   ") << commands[i] << "\n";
  auto show = [&](const std::string& name, const Groups& groups) {
    if (at < static_cast<int>(groups.size()))
      for (const std::string& line : groups[at]) std::cout << name << line << "\n";
  };
  const size_t width = std::max<size_t>(8, otherName.size());
  show("-headless" + std::string(width + 1 - 8, ' '), headless);
  show("+" + otherName + std::string(width + 1 - otherName.size(), ' '), other);
}

}  // namespace

std::string Difference::summary() const {
  const std::string kind = command == "end" ? command : kindOf(command);
  return fields.empty() ? kind : kind + " -> " + fields;
}

bool keywordListPage(const Difference& d) {
  return (startsWith(d.command, "[\"key\",33,") || startsWith(d.command, "[\"key\",34,")) &&
         d.fields == "list.listIndex";
}

bool pressBesideACombiningMark(const Difference& d) {
  return (startsWith(d.command, R"(["click")") || startsWith(d.command, R"(["select")")) &&
         selectionEndsBesideAMark(d.state);
}

int runDifferential(int argc, char** argv, const Differential& differential) {
  uint32_t seed = 1;
  int sessions = differential.sessions;
  int count = 25;
  bool quiet = false;
  bool strict = false;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--seed" && i + 1 < argc)
      seed = static_cast<uint32_t>(std::stoul(argv[++i]));
    else if (a == "--sessions" && i + 1 < argc)
      sessions = std::stoi(argv[++i]);
    else if (a == "--commands" && i + 1 < argc)
      count = std::stoi(argv[++i]);
    else if (a == "--quiet")
      quiet = true;
    else if (a == "--strict")
      strict = true;
    else {
      std::cerr << "usage: " << differential.program
                << " [--seed N] [--sessions N] [--commands N] [--quiet] [--strict]\n";
      return 2;
    }
  }
  const std::vector<Metric>& metrics = differential.metrics;
  std::map<std::string, int> causes;  // where sessions first differ
  std::map<const Metric*, int> metric;
  int differing = 0;
  int unknown = 0;
  for (int s = 0; s < sessions; ++s) {
    const uint32_t sessionSeed = seed + static_cast<uint32_t>(s);
    const std::vector<std::string> commands =
        Session(sessionSeed, differential.mix).commands(count);
    const Groups headless = byCommand(run(commands, makeHeadlessPlatform()));
    std::vector<std::string> lines;
    if (differential.threadPerSession)
      runOnParkedThread([&] { lines = run(commands, differential.makePlatform()); });
    else
      lines = run(commands, differential.makePlatform());
    const Groups other = byCommand(lines);
    const int at = firstDifference(headless, other);
    if (at < 0) continue;
    ++differing;
    const Difference difference = differenceAt(commands, headless, other, at);
    const auto cause = std::find_if(metrics.begin(), metrics.end(),
                                    [&](const Metric& k) { return k.matches(difference); });
    if (cause != metrics.end()) {
      ++metric[&*cause];
    } else {
      ++unknown;
      ++causes[difference.summary()];
    }
    if (!quiet || cause == metrics.end())
      printSession(sessionSeed, commands, headless, other, differential.platform, at);
  }
  std::cout << differing << " of " << sessions << " sessions differ (seeds " << seed << ".."
            << seed + static_cast<uint32_t>(sessions) - 1 << ")\n";
  for (const auto& [cause, n] : metric)
    std::cout << "  platform metric (" << n << "): " << cause->reason << "\n";
  for (const auto& [kind, n] : causes)
    std::cout << "  NEW (" << n << "): first at " << kind << "\n";
  std::cout.flush();
  return (strict ? differing : unknown) == 0 ? 0 : 1;
}

}  // namespace tavi::script
