#include "surface/insertion.h"

#include <algorithm>

namespace tavi {

Text withCrLfBreaks(TextView text) {
  Text out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c == kCR && i + 1 < text.size() && text[i + 1] == kLF) continue;  // its LF follows
    if (c == kCR || c == kLF) {
      out.push_back(kCR);
      out.push_back(kLF);
    } else {
      out.push_back(c);
    }
  }
  return out;
}

Text withLfBreaks(TextView text) {
  Text out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i)
    if (!(text[i] == kCR && i + 1 < text.size() && text[i + 1] == kLF)) out.push_back(text[i]);
  return out;
}

TextView fittingInsert(TextView insert, int32_t maxLength, int32_t textLength, int32_t selLength) {
  if (maxLength <= 0) return insert;
  const int64_t room = std::max<int64_t>(0, int64_t{maxLength} - (textLength - selLength));
  if (static_cast<int64_t>(insert.size()) <= room) return insert;
  size_t cut = static_cast<size_t>(room);
  if (cut > 0 && insert[cut - 1] == kCR && insert[cut] == kLF) --cut;
  if (cut > 0 && isHighSurrogate(insert[cut - 1]) && isLowSurrogate(insert[cut])) --cut;
  return insert.substr(0, cut);
}

bool typedFits(size_t typed, int32_t maxLength, int32_t textLength, int32_t selLength) {
  return maxLength <= 0 ||
         int64_t{textLength} - selLength + static_cast<int64_t>(typed) <= int64_t{maxLength};
}

}  // namespace tavi
