#include "printing/listing_text.h"

namespace tavi {

Text normaliseLineEnds(TextView text) {
  const bool keepCarriageReturns = !text.empty() && text.front() == kLF;
  Text normalised;
  normalised.reserve(text.size());
  for (char16_t c : text) {
    if (c == kCR && !keepCarriageReturns) continue;
    normalised.push_back(c == kLF ? kCR : c);
  }
  return normalised;
}

std::vector<TextView> scriptLines(TextView normalised) {
  std::vector<TextView> lines;
  if (normalised.empty()) return lines;
  size_t start = 0;
  for (size_t end = normalised.find(kCR); end != TextView::npos;
       end = normalised.find(kCR, start)) {
    lines.push_back(normalised.substr(start, end - start));
    start = end + 1;
  }
  if (start < normalised.size()) lines.push_back(normalised.substr(start));
  return lines;
}

std::vector<TextView> splitWords(TextView line) {
  std::vector<TextView> words;
  size_t start = 0;
  for (size_t blank = line.find(kSpace); blank != TextView::npos;
       blank = line.find(kSpace, start)) {
    words.push_back(line.substr(start, blank + 1 - start));
    start = blank + 1;
  }
  words.push_back(line.substr(start));
  return words;
}

}  // namespace tavi
