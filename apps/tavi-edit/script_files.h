// Reading and writing tavi-edit's script files: the bytes through the script-file codec
// (shell/script_file.h), the disk through Qt, and every failure as a sentence that names
// the file, for the person at the window.
#pragma once

#include <QString>

#include "shell/script_file.h"

namespace tavi {

struct ScriptFileRead {
  QString error;         // empty when read
  bool missing = false;  // there is no such file: the text is empty, the format a new file's
  QString text;          // CR LF between lines, without the final line break
  ScriptFormat format;
};

// Reads the script at `path`. A file that is not text (a NUL byte, not UTF-8 and no UTF-16
// byte order mark) is refused with an error, as is one the control could not count.
ScriptFileRead readScriptFile(const QString& path);

// Writes `text` (the control's Value) to `path` in `format`: the whole file or nothing (a
// temporary file beside it, renamed over it). Returns why not, or an empty string.
QString writeScriptFile(const QString& path, const QString& text, const ScriptFormat& format);

// "CR LF", "UTF-16 LE": for the status bar.
QString describe(const ScriptFormat& format);

}  // namespace tavi
