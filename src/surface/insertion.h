// What a text becomes on its way into the editor, on every platform: its line breaks and
// how much of it the maximum length lets in.
#pragma once

#include <cstdint>

#include "shell/text.h"

namespace tavi {

// Every line break as CR LF: CR LF stays, a lone CR or a lone LF becomes CR LF.
Text withCrLfBreaks(TextView text);
// Every CR LF as LF, the line break of the world outside the editor (a page's or a system
// clipboard's text); a lone CR stays.
Text withLfBreaks(TextView text);

// As much of `insert` as fits when it replaces `selLength` of `textLength` units under
// `maxLength` (0 or less: no limit); never half of a CR LF pair or of a surrogate pair.
TextView fittingInsert(TextView insert, int32_t maxLength, int32_t textLength, int32_t selLength);

// Whether a typed key's `typed` units fit whole; a typed key is refused whole, never cut.
bool typedFits(size_t typed, int32_t maxLength, int32_t textLength, int32_t selLength);

}  // namespace tavi
