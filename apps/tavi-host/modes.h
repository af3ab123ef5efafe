// The host's modes: the end-to-end test and the state dump (see main.cpp for the usage).
#pragma once

#include <string>

namespace tavi::host {

// Sites the control, types, scrolls and checks what it does; prints "ok <name>" or
// "FAIL <name>: why" per check and "RESULT: PASS" or "RESULT: FAIL n" last. Returns the exit
// code: 0 only when every check passed.
int runTest();

struct DumpOptions {
  std::wstring text;  // loaded through Text first, when not empty
  std::wstring keys;  // then typed after a click into the editor, when not empty
};

// Sites the control, loads and types what `options` says, waits one timer tick and prints
// the control's Value, Length, selection and the events it raised.
int runDump(const DumpOptions& options);

}  // namespace tavi::host
