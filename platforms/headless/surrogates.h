// UTF-16 surrogate pairs, which the headless widgets never split.
#pragma once

namespace tavi {

inline bool isHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
inline bool isLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

}  // namespace tavi
