// Seeded random sessions of a person and a host, run through tavi-script's command layer on
// the headless platform and on another one, and compared line by line with the platforms'
// metrics masked. Free of any platform's types: each platform's differential program gives
// its platform, the commands it can take and the metrics it declares.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "tavi-script/script_platform.h"

namespace tavi::script {

// Which commands a session draws. Every kind is in by default; a platform that cannot
// agree on one yet leaves it out here, by name, with why.
struct SessionMix {
  bool mouse = true;            // click and drag at pixels
  bool compose = true;          // an input method's commit
  bool clipboard = true;        // Cut, Copy, Paste and their keys, and the host's clipboard text
  bool ctrlEnter = true;        // Enter with Ctrl (and Shift)
  bool openParenthesis = true;  // "(" typed, which opens the parameter hint
};

// Where a session first differs: the command that made the difference, and for a
// difference in the state after it the fields that differ and the headless state.
struct Difference {
  std::string command;
  std::string fields;
  nlohmann::json state;
  std::string summary() const;
};

// A platform metric behind a difference, as docs/edit-surface.md declares it: a session that
// differs by one is counted, not failed.
struct Metric {
  const char* reason;
  bool (*matches)(const Difference&);
};

// Page Up or Page Down in the keyword list, which moves by the list's own rows in view.
bool keywordListPage(const Difference& difference);

// A mouse press or drag whose selection ends beside a combining mark, which has no pixel of
// its own in a view that draws clusters.
bool pressBesideACombiningMark(const Difference& difference);

struct Differential {
  const char* program;   // for the usage line
  const char* platform;  // the name its output lines carry
  std::function<std::unique_ptr<ScriptPlatform>()> makePlatform;
  SessionMix mix;
  std::vector<Metric> metrics;
  int sessions = 300;  // unless --sessions says
  // Each session's run on the platform goes on a new thread: for controls whose module
  // state is a copy of their own (a DLL's, per thread), which this program cannot reset.
  // The threads stay until the program ends (parked), so that no thread's end runs while
  // later sessions do.
  bool threadPerSession = false;
};

// The program: [--seed N] [--sessions N] [--commands N] [--quiet] [--strict]. Prints each
// session that differs with its seed, its commands and the first difference, then the
// count and the causes; returns 1 when a session differs other than by a declared metric
// (in any way with --strict), 2 on a bad argument.
int runDifferential(int argc, char** argv, const Differential& differential);

}  // namespace tavi::script
