// The text comparison of the edit history: the one stretch in which two texts differ.
#pragma once

#include <cstdint>

#include "shell/text.h"

namespace tavi {

struct ChangeResult {
  Text removed;       // the stretch of the old text that the new one lacks
  int32_t start;      // zero-based offset of the first difference
  int32_t changeNum;  // count of new characters standing in place of `removed`
};

// Compares `oldstr` with `newstr` by one forward and one backward scan. Equal leading
// characters win over equal trailing ones where the two overlap (a repeated character at
// the edit). In one case the count comes out negative: when the new text is shorter and
// the trailing match reaches back into the leading one ("   x" against "  x"), `removed`
// is empty and `changeNum` is the length difference (-1); deleting -changeNum characters
// of the old text at `start` then gives the new text. Otherwise, replacing
// removed.size() characters of the old text at `start` by the `changeNum` characters of
// the new text at `start` gives the new text.
ChangeResult change(TextView oldstr, TextView newstr);

}  // namespace tavi
