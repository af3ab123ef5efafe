#include "qt/offset_map.h"

#include <QTextBlock>

#include <algorithm>

namespace tavi::qt {

int32_t OffsetMap::length() const {
  // characterCount() counts the final block's separator as well.
  return (doc_.characterCount() - 1) + (doc_.blockCount() - 1);
}

int32_t OffsetMap::toOffset(int position) const {
  const int p = std::clamp(position, 0, doc_.characterCount() - 1);
  return p + doc_.findBlock(p).blockNumber();
}

int32_t OffsetMap::lineStart(int32_t line) const {
  const int b = std::clamp<int>(line, 0, doc_.blockCount() - 1);
  return doc_.findBlockByNumber(b).position() + b;
}

int32_t OffsetMap::lineOf(int32_t offset) const {
  // The last block whose control start is not beyond the offset: a block's control start
  // is its position plus the number of blocks before it.
  int low = 0;
  int high = doc_.blockCount() - 1;
  while (low < high) {
    const int mid = (low + high + 1) / 2;
    if (lineStart(mid) <= offset)
      low = mid;
    else
      high = mid - 1;
  }
  return low;
}

int OffsetMap::toPosition(int32_t offset, BreakSide side) const {
  const int32_t o = std::clamp(offset, 0, length());
  const int32_t line = lineOf(o);
  const QTextBlock block = doc_.findBlockByNumber(line);
  const int32_t column = o - lineStart(line);
  if (column <= block.length() - 1) return block.position() + column;
  // Between CR and LF.
  return side == BreakSide::kBefore ? block.position() + block.length() - 1
                                    : block.position() + block.length();
}

void OffsetMap::toRange(int32_t start, int32_t length, int& from, int& to) const {
  from = toPosition(start, BreakSide::kBefore);
  to = std::max(from, toPosition(start + std::max(length, 0), BreakSide::kAfter));
}

Text OffsetMap::text() const {
  const QString raw = doc_.toRawText();
  Text out;
  out.reserve(static_cast<size_t>(raw.size() + doc_.blockCount()));
  for (QChar c : raw) {
    if (c == QChar::ParagraphSeparator) {
      out.push_back(kCR);
      out.push_back(kLF);
    } else {
      out.push_back(c.unicode());
    }
  }
  return out;
}

}  // namespace tavi::qt
