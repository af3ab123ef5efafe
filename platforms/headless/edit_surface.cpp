#include "headless/edit_surface.h"

#include <algorithm>
#include <limits>

#include "search/text_search.h"

namespace tavi {

namespace {

int32_t clampTo(int64_t value, int64_t low, int64_t high) {
  return static_cast<int32_t>(std::clamp(value, low, high));
}

}  // namespace

HeadlessEditSurface::HeadlessEditSurface(FocusTracker& focus, HeadlessWindowSystem& windows,
                                         HeadlessClipboard& clipboard)
    : focus_(focus), clipboard_(clipboard), hwnd_(windows.createWindow()) {}

void HeadlessEditSurface::setSelStart(int32_t start) {
  const int32_t s = clampTo(start, 0, textLength());
  select(s, s, false);
}

void HeadlessEditSurface::setSelLength(int32_t length) {
  const int32_t n = clampTo(length, 0, textLength() - selStart_);
  select(selStart_, selStart_ + n, false);
}

void HeadlessEditSurface::select(int32_t anchor, int32_t active, bool showActive) {
  selStart_ = std::min(anchor, active);
  selLength_ = std::max(anchor, active) - selStart_;
  activeAtEnd_ = active >= anchor;
  scrollIntoView(showActive ? active : selStart_);
}

void HeadlessEditSurface::scrollIntoView(int32_t offset) {
  const int32_t line = lineFromChar(offset);
  const int32_t rows = visibleRows();
  if (line < firstVisible_) firstVisible_ = line;
  if (line >= firstVisible_ + rows) firstVisible_ = line - rows + 1;
}

void HeadlessEditSurface::scrollTo(int32_t line) {
  firstVisible_ = clampTo(line, 0, lineCount() - 1);
}

int32_t HeadlessEditSurface::visibleRows() const {
  return std::max(1, height_ / headless::kTwipsPerPixel / headless::kCellHeight);
}

TextView HeadlessEditSurface::fitting(TextView insert) const {
  if (maxLength_ <= 0) return insert;
  const int64_t room = std::max<int64_t>(0, int64_t{maxLength_} - (textLength() - selLength_));
  if (static_cast<int64_t>(insert.size()) <= room) return insert;
  size_t cut = static_cast<size_t>(room);
  // Never keep half of a CR LF pair or of a surrogate pair.
  if (cut > 0 && insert[cut - 1] == kCR && insert[cut] == kLF) --cut;
  if (cut > 0 && isHighSurrogate(insert[cut - 1]) && isLowSurrogate(insert[cut])) --cut;
  return insert.substr(0, cut);
}

void HeadlessEditSurface::replaceSelection(TextView text) {
  replaceRange(selStart_, selLength_, fitting(text));
}

void HeadlessEditSurface::replaceRange(int32_t start, int32_t length, TextView insert) {
  if (length == 0 && insert.empty()) return;
  text_.replace(start, length, insert.data(), insert.size());
  formats_.replace(start, length, insert.size(), CharFormat{});
  const auto inserted = static_cast<int32_t>(insert.size());
  lines_.update(text_, start, length, inserted);
  firstVisible_ = std::min(firstVisible_, lineCount() - 1);
  const int32_t caret = start + inserted;
  select(caret, caret, false);
  if (listener_ != nullptr) listener_->surfaceChanged();
}

Text HeadlessEditSurface::slice(int32_t from, int32_t length) const {
  Text out;
  out.reserve(static_cast<size_t>(length));
  text_.appendTo(out, from, length);
  return out;
}

void HeadlessEditSurface::setSelColor(int32_t color) {
  formats_.forEach(selStart_, selLength_, [color](CharFormat& f) { f.color = color; });
}

void HeadlessEditSurface::setSelBold(bool bold) {
  formats_.forEach(selStart_, selLength_, [bold](CharFormat& f) { f.bold = bold; });
}

void HeadlessEditSurface::applyStyleRuns(std::span<const StyleRun> runs) {
  const int32_t n = textLength();
  for (const StyleRun& run : runs) {
    const int32_t from = clampTo(run.start, 0, n);
    const int32_t to = clampTo(int64_t{from} + std::max(run.length, 0), from, n);
    const CharFormat format{run.color, run.bold};
    formats_.forEach(from, to - from, [format](CharFormat& f) { f = format; });
  }
}

int32_t HeadlessEditSurface::find(TextView what, int32_t start, int32_t end, int options) {
  const int32_t len = textLength();
  const SearchPattern pattern(what, options);
  const int32_t from = clampTo(start, 0, len);
  const int32_t to = end < 0 ? len : clampTo(end, from, len);
  if (pattern.length() == 0 || to - from < pattern.length()) return -1;
  // The range is scanned in place; it is one contiguous stretch of the storage.
  const std::span<const char16_t> range = text_.contiguous(from, to - from);
  const int32_t found =
      pattern.firstIn(TextView(range.data(), range.size()), from > 0 ? text_[from - 1] : u'\0',
                      to < len ? text_[to] : u'\0');
  if (found < 0) return -1;
  select(from + found, from + found + pattern.length(), false);
  return from + found;
}

void HeadlessEditSurface::sendEditMessage(int message) {
  if (message != kWmCut && message != kWmCopy) return;
  if (message == kWmCut && locked_) return;
  if (selLength_ == 0) return;
  clipboard_.setText(selText());
  if (message == kWmCut) replaceRange(selStart_, selLength_, u"");
}

int32_t HeadlessEditSurface::lineFromChar(int32_t offset) const {
  if (offset < 0) offset = selStart_;
  if (offset >= textLength()) return lineCount() - 1;
  return lines_.lineOf(offset);
}

int32_t HeadlessEditSurface::lineStart(int32_t line) const {
  return lines_.start(clampTo(line, 0, lineCount() - 1));
}

int32_t HeadlessEditSurface::lineEnd(int32_t line) const {
  const int32_t l = clampTo(line, 0, lineCount() - 1);
  return l + 1 < lineCount() ? lines_.start(l + 1) - 2 : textLength();
}

PixelPoint HeadlessEditSurface::pixelOf(int32_t offset) const {
  const int32_t line = lineFromChar(offset);
  const int32_t col = std::clamp(offset, 0, textLength()) - lineStart(line);
  return {headless::kCellWidth * col, headless::kCellHeight * (line - firstVisible_)};
}

std::vector<FormatRun> HeadlessEditSurface::formats() const {
  std::vector<FormatRun> runs;
  for (int32_t i = 0; i < formats_.size(); ++i) {
    const CharFormat& f = formats_[i];
    if (!runs.empty() && runs.back().color == f.color && runs.back().bold == f.bold) {
      ++runs.back().length;
    } else {
      runs.push_back({i, 1, f.color, f.bold});
    }
  }
  return runs;
}

void HeadlessEditSurface::focusGained() {
  if (listener_ != nullptr) listener_->surfaceGotFocus();
}

void HeadlessEditSurface::focusLost() {
  if (listener_ != nullptr) listener_->surfaceLostFocus();
}

}  // namespace tavi
