#include "history/change.h"

#include <algorithm>
#include <cstdlib>

namespace tavi {

ChangeResult change(TextView oldstr, TextView newstr) {
  // Lengths and offsets as signed 64-bit values so that the differences below cannot wrap.
  const int64_t la = static_cast<int64_t>(oldstr.size());
  const int64_t lb = static_cast<int64_t>(newstr.size());
  const int64_t m = std::min(la, lb);

  // Forward scan: `lead` equal leading characters; the first difference is at `lead`.
  int64_t lead = 0;
  while (lead < m && oldstr[lead] == newstr[lead]) ++lead;
  ChangeResult result{{}, static_cast<int32_t>(lead), 0};

  // One text is a prefix of the other (or both are equal).
  if (lead == m) {
    result.removed = Text(oldstr.substr(lead));
    result.changeNum = static_cast<int32_t>(lb - lead);
    return result;
  }

  // Backward scan over the whole of the shorter text, not only beyond `lead`: the equal
  // trailing parts begin at oldTail in the old text and at newTail in the new one.
  int64_t trail = 0;
  while (trail < m && oldstr[la - 1 - trail] == newstr[lb - 1 - trail]) ++trail;
  const int64_t oldTail = la - trail;
  const int64_t newTail = lb - trail;

  if (newTail > lead && oldTail >= lead) {
    // The trailing parts lie clear of the leading one in both texts.
    result.removed = Text(oldstr.substr(lead, oldTail - lead));
    result.changeNum = static_cast<int32_t>(newTail - lead);
  } else if (newTail <= lead && oldTail >= lead) {
    // The new text's trailing part reaches into its leading part: a pure deletion.
    result.removed = Text(oldstr.substr(lead, oldTail - newTail));
    const int64_t lengthGap = std::llabs(la - lb);
    result.changeNum =
        static_cast<int32_t>(std::llabs(static_cast<int64_t>(result.removed.size()) - lengthGap));
  } else {
    // The old text's trailing part reaches into its leading part.
    result.changeNum = static_cast<int32_t>(newTail - oldTail);
  }
  return result;
}

}  // namespace tavi
