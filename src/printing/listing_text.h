// The script as the listing prints it: its line ends normalised, cut into script lines, and
// each line cut into words at blanks.
#pragma once

#include <vector>

#include "shell/text.h"

namespace tavi {

// Every line end becomes one CR. A text that does not begin with LF loses its CRs and each
// LF becomes a CR; a text that begins with LF keeps its CRs, so that a CR LF pair becomes two
// line ends. An empty text (or one of CRs only, which has no pieces) gives an empty result.
Text normaliseLineEnds(TextView text);

// The pieces of a normalised text between CRs, without a final empty piece; none for an
// empty text.
std::vector<TextView> scriptLines(TextView normalised);

// Words run up to and including the next blank, so blanks stay with the word before them
// and leading blanks are words of their own; the last word is the rest of the line, without
// a trailing blank, and may be empty.
std::vector<TextView> splitWords(TextView line);

}  // namespace tavi
