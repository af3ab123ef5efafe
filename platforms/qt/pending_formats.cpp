#include "qt/pending_formats.h"

#include <QTextBlock>
#include <QTextCursor>

#include <iterator>

namespace tavi::qt {

void PendingFormats::split(int position) {
  if (stretches_.contains(position)) return;
  const auto next = stretches_.upper_bound(position);
  // Before the first stretch and behind the last one nothing is wanted.
  std::optional<QTextCharFormat> wanted;
  if (next != stretches_.begin()) wanted = std::prev(next)->second;
  stretches_.emplace_hint(next, position, std::move(wanted));
}

void PendingFormats::add(int from, int to, const QTextCharFormat& format) {
  if (from >= to) return;
  split(from);
  split(to);
  for (auto it = stretches_.find(from); it->first < to; ++it) {
    if (it->second)
      it->second->merge(format);
    else
      it->second = format;
  }
}

bool PendingFormats::applyTo(QTextDocument& doc) {
  QTextCursor c(&doc);
  bool changed = false;
  for (auto it = stretches_.begin(); it != stretches_.end();) {
    auto next = std::next(it);
    if (!it->second) {
      it = next;
      continue;
    }
    while (next != stretches_.end() && next->second == it->second) ++next;
    // The last key wants nothing, so a stretch that wants a format has an end.
    const int from = it->first;
    const int to = next->first;
    if (!formatHolds(doc, from, to, *it->second)) {
      if (!changed) c.beginEditBlock();
      changed = true;
      c.setPosition(from);
      c.setPosition(to, QTextCursor::KeepAnchor);
      c.mergeCharFormat(*it->second);
    }
    it = next;
  }
  stretches_.clear();
  if (changed) c.endEditBlock();
  return changed;
}

// The paragraph separator ending a block carries the character format of the next block.
bool formatHolds(const QTextDocument& doc, int from, int to, const QTextCharFormat& format) {
  const QMap<int, QVariant> wanted = format.properties();
  const auto holds = [&wanted](const QTextCharFormat& f) {
    for (auto it = wanted.cbegin(); it != wanted.cend(); ++it)
      if (f.property(it.key()) != it.value()) return false;
    return true;
  };
  for (QTextBlock b = doc.findBlock(from); b.isValid() && b.position() < to; b = b.next()) {
    for (auto it = b.begin(); !it.atEnd(); ++it) {
      const QTextFragment f = it.fragment();
      if (f.position() >= to) break;
      if (f.position() + f.length() > from && !holds(f.charFormat())) return false;
    }
    const int separator = b.position() + b.length() - 1;
    if (separator >= from && separator < to && b.next().isValid() && !holds(b.next().charFormat()))
      return false;
  }
  return true;
}

}  // namespace tavi::qt
