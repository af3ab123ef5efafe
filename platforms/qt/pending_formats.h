// Character formats the control asked for but the document does not have yet. Colouring
// paints a stretch plain and then its keywords blue, mostly restoring what was there:
// collected here, only the net difference reaches the document, in one edit block, so the
// widget lays its text out once per batch instead of once per change (or not at all).
#pragma once

#include <QTextCharFormat>
#include <QTextDocument>

#include <map>
#include <optional>

namespace tavi::qt {

class PendingFormats {
 public:
  bool empty() const { return stretches_.empty(); }
  // Merges `format` into the document positions [from, to), after what is pending there.
  void add(int from, int to, const QTextCharFormat& format);
  // Merges into the document what it does not have yet, in one edit block, and forgets
  // everything pending. Returns whether the document changed.
  bool applyTo(QTextDocument& doc);

 private:
  // Makes `position` the start of a stretch.
  void split(int position);

  // Each key starts a stretch that runs to the next key, wanting its format (or nothing);
  // the last key ends the last stretch.
  std::map<int, std::optional<QTextCharFormat>> stretches_;
};

// Whether every character of [from, to) of `doc` already has the properties of `format`.
bool formatHolds(const QTextDocument& doc, int from, int to, const QTextCharFormat& format);

}  // namespace tavi::qt
