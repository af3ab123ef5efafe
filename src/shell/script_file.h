// A script file's bytes as the control's text, and back. The control holds UTF-16 text with
// CR LF between lines and knows nothing of files; a host that opens a file keeps the
// file's format beside the text, so that saving writes the same kind of file: the same
// encoding, the same line breaks, the same final line break. Unchanged text saves to the
// very bytes it was read from (a file that mixes line-break styles excepted: it is saved
// in its most frequent style throughout).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "shell/text.h"

namespace tavi {

// UTF-16 files are recognised by their byte order mark only; without one a file is UTF-8.
enum class ScriptEncoding : uint8_t { kUtf8, kUtf8WithBom, kUtf16Le, kUtf16Be };
enum class LineBreakStyle : uint8_t { kCrLf, kLf, kCr };

struct ScriptFormat {
  ScriptEncoding encoding = ScriptEncoding::kUtf8;
  // A file without any line break is taken as CR LF, the control's own.
  LineBreakStyle lineBreak = LineBreakStyle::kCrLf;
  // The last line is followed by a line break (the control's text never ends with it).
  bool finalLineBreak = true;
  // More than one style was read; lineBreak is the most frequent (the first seen on a tie).
  bool mixedLineBreaks = false;
};

// Why bytes are no script: a script is text, so they are refused rather than guessed at.
enum class ScriptFileProblem : uint8_t {
  kNone,
  kNulCharacter,    // U+0000: a binary file
  kInvalidUtf8,     // no byte order mark and not well-formed UTF-8
  kTruncatedUtf16,  // a UTF-16 byte order mark and an odd number of bytes
  kUnencodable,     // (saving) an unpaired surrogate, which UTF-8 cannot hold
};

struct DecodedScript {
  ScriptFileProblem problem = ScriptFileProblem::kNone;
  size_t problemAt = 0;  // offset of the first offending byte
  // CR LF between lines, whatever the file used; without the final line break.
  Text text;
  ScriptFormat format;
};

DecodedScript decodeScript(std::string_view bytes);

struct EncodedScript {
  ScriptFileProblem problem = ScriptFileProblem::kNone;
  size_t problemAt = 0;  // offset in the text of the first character that cannot be written
  std::string bytes;
};

// `text` as the control holds it: every CR LF, lone CR and lone LF is a line break and is
// written in the format's style.
EncodedScript encodeScript(TextView text, const ScriptFormat& format);

}  // namespace tavi
