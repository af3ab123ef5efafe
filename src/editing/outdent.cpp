#include "editing/outdent.h"

#include <algorithm>

#include "editing/change_handling.h"
#include "shell/control.h"

namespace tavi {

namespace {

constexpr int32_t kBlanksPerLevel = 4;

int32_t lineStartAt(TextView text, int32_t offset) {
  int32_t p = offset;
  while (p > 0 && !(p >= 2 && text[p - 2] == kCR && text[p - 1] == kLF)) --p;
  return p;
}

// Where an offset of the text before the cuts lies after them.
int32_t afterCuts(int32_t offset, const std::vector<IndentCut>& cuts) {
  int32_t moved = offset;
  for (const IndentCut& cut : cuts) moved -= std::clamp(offset - cut.at, 0, cut.length);
  return moved;
}

}  // namespace

std::vector<IndentCut> OutdentCuts(TextView text, int32_t start, int32_t end) {
  const auto length = static_cast<int32_t>(text.size());
  start = std::clamp(start, 0, length);
  end = std::clamp(end, start, length);
  // A block selected down to the start of the next line does not take that line with it.
  const int32_t last = end > start && lineStartAt(text, end) == end ? end - 1 : end;
  std::vector<IndentCut> cuts;
  for (int32_t line = lineStartAt(text, start); line <= last;) {
    int32_t n = 0;
    if (line < length && text[line] == kTab) {
      n = 1;
    } else {
      while (n < kBlanksPerLevel && line + n < length && text[line + n] == kSpace) ++n;
    }
    if (n > 0) cuts.push_back({line, n});
    const size_t lineBreak = text.find(u"\r\n", static_cast<size_t>(line));
    if (lineBreak == TextView::npos) break;
    line = static_cast<int32_t>(lineBreak) + 2;
  }
  return cuts;
}

void OutdentSelection(TaviColorText& control) {
  EditSurface& editor = *control.widgets().editor;
  const int32_t start = editor.selStart();
  const int32_t end = start + editor.selLength();
  const std::vector<IndentCut> cuts = OutdentCuts(editor.text(), start, end);
  if (cuts.empty()) return;
  // The cuts are the control's own edits, one by one; the user made one edit.
  EditWithoutJournal(control, [&] {
    editor.setHideSelection(true);
    // From the last line up, so that the offsets of the lines above stay as they were.
    for (auto cut = cuts.rbegin(); cut != cuts.rend(); ++cut) {
      editor.setSelStart(cut->at);
      editor.setSelLength(cut->length);
      editor.replaceSelection(u"");
    }
    editor.setHideSelection(false);
    const int32_t newStart = afterCuts(start, cuts);
    editor.setSelStart(newStart);
    editor.setSelLength(afterCuts(end, cuts) - newStart);
  });
  JournalUserEdit(control);
}

}  // namespace tavi
