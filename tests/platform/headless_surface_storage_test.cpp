// The headless surface keeps its text, formats and line starts in gap buffers. A long run of
// edits, deletions, finds, format changes and selections (some out of range), mostly moving
// forward with jumps back, must leave it where a plain one-string surface would be.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <ranges>
#include <span>
#include <vector>

#include "headless/platform.h"
#include "shell/keys.h"

namespace tavi {
namespace {

// The surface's rules written the obvious way: one string, one format per code unit and
// line starts found by scanning the whole text on every query. Inserted line breaks become
// CR LF, and a selection never splits one.
struct PlainSurface {
  Text text;
  std::vector<std::pair<int32_t, bool>> formats;  // colour and bold of each code unit
  int32_t selStart = 0, selLength = 0, firstVisible = 0, rows = 5;
  int32_t requested = 0;  // the last start asked for, where setSelLength's range begins

  int32_t length() const { return static_cast<int32_t>(text.size()); }
  std::vector<int32_t> lineStarts() const {
    std::vector<int32_t> starts{0};
    for (int32_t i = 0; i + 1 < length(); ++i)
      if (crLfAt(i)) starts.push_back(i + 2);
    return starts;
  }
  int32_t lineOf(int32_t offset) const {
    const std::vector<int32_t> starts = lineStarts();
    const auto after = std::upper_bound(starts.begin(), starts.end(), std::min(offset, length()));
    return static_cast<int32_t>(after - starts.begin()) - 1;
  }
  bool crLfAt(int32_t i) const {
    return i >= 0 && i + 1 < length() && text[i] == kCR && text[i + 1] == kLF;
  }
  bool wordAt(int32_t i) const { return i >= 0 && i < length() && isWordChar(text[i]); }

  void select(int32_t start, int32_t len) {
    selStart = start;
    selLength = len;
    requested = start;
    const int32_t line = lineOf(start);
    firstVisible = std::clamp(firstVisible, line - rows + 1, line);
  }
  // Where a range from `start` to `end` really begins and ends: over a whole CR LF. An
  // empty range is a caret, before the CR LF.
  void selectWhole(int32_t start, int32_t end) {
    const int32_t from = crLfAt(start - 1) ? start - 1 : start;
    const int32_t to = end == start ? from : crLfAt(end - 1) ? end + 1 : end;
    select(from, to - from);
  }
  void setSelStart(int32_t start) {
    const int32_t at = std::clamp(start, 0, length());
    selectWhole(at, at);
    requested = at;
  }
  void setSelLength(int32_t len) {
    const int32_t from = requested;
    selectWhole(from, from + std::clamp(len, 0, length() - from));
    requested = from;
  }
  auto selected() { return std::span(formats).subspan(selStart, selLength); }
  void setSelColor(int32_t color) { std::ranges::fill(selected() | std::views::keys, color); }
  void setSelBold(bool bold) { std::ranges::fill(selected() | std::views::values, bold); }
  void replace(int32_t start, int32_t len, TextView asked) {
    Text insert;
    for (size_t i = 0; i < asked.size(); ++i) {
      const bool lone = (asked[i] == kCR && (i + 1 == asked.size() || asked[i + 1] != kLF)) ||
                        (asked[i] == kLF && (i == 0 || asked[i - 1] != kCR));
      insert += lone ? TextView(u"\r\n") : asked.substr(i, 1);
    }
    if (len == 0 && insert.empty()) return;
    text.replace(start, len, insert);
    formats.erase(formats.begin() + start, formats.begin() + start + len);
    formats.insert(formats.begin() + start, insert.size(), {kColorPlain, false});
    firstVisible = std::min(firstVisible, lineOf(length()));
    select(start + static_cast<int32_t>(insert.size()), 0);
  }
  void replaceSelection(TextView insert) { replace(selStart, selLength, insert); }
  void typeInput(TextView insert) { replaceSelection(insert); }
  // Backspace and Delete remove the selection, or one character: a CR LF pair is one.
  void keyAction(int16_t key, int16_t, bool) {
    int32_t from = selStart, to = selStart + selLength;
    if (selLength == 0 && key == vk::kBack) from = std::max(0, from - (crLfAt(from - 2) ? 2 : 1));
    if (selLength == 0 && key == vk::kDelete) to = std::min(length(), to + (crLfAt(to) ? 2 : 1));
    replace(from, to - from, u"");
  }
  int32_t find(TextView what, int32_t start, int32_t end, int options) {
    const auto m = static_cast<int32_t>(what.size());
    for (int32_t i = start; m > 0 && i + m <= (end < 0 ? length() : end); ++i) {
      const Text found = text.substr(i, m);
      if ((options & kFindMatchCase) ? found != what : upperCase(found) != upperCase(what))
        continue;
      if ((options & kFindWholeWord) && (wordAt(i - 1) || wordAt(i + m))) continue;
      selectWhole(i, i + m);
      return i;
    }
    return -1;
  }
  std::vector<FormatRun> runs() const {
    std::vector<FormatRun> out;
    for (int32_t i = 0; i < length(); ++i)
      if (i > 0 && formats[i] == formats[i - 1])
        ++out.back().length;
      else
        out.push_back({i, 1, formats[i].first, formats[i].second});
    return out;
  }
};

TEST(SurfaceStorage, ForwardEditsFindsAndFormatsMatchThePlainModel) {
  std::mt19937 rng{7};
  const auto upTo = [&](int32_t n) { return static_cast<int32_t>(rng() % (n + 1u)); };
  const auto randomText = [&](int32_t maxLength) {
    static constexpr char16_t kAlphabet[] = u"abA_xX \r\n\r\n";
    Text t(upTo(maxLength), u' ');
    for (char16_t& c : t) c = kAlphabet[rng() % (std::size(kAlphabet) - 1)];
    return t;
  };
  HeadlessPlatform platform;
  HeadlessEditSurface& s = platform.createControl().surface();
  PlainSurface plain;
  const auto both = [&](auto op) { op(s), op(plain); };
  s.setHeight(plain.rows * 16 * 15);  // few rows, so that the view scrolls often

  for (int step = 0; step < 3000; ++step) {
    SCOPED_TRACE(step);
    const int32_t caret = plain.selStart, a = upTo(6), b = upTo(5);
    switch (rng() % 8) {
      case 0:
      case 1: {  // replace a stretch a little ahead of the caret
        const Text insert = randomText(step < 200 ? 60 : 6);
        both([&](auto& x) {
          x.setSelStart(caret + a), x.setSelLength(b), x.replaceSelection(insert);
        });
        break;
      }
      case 2: {  // Backspace or Delete
        const int16_t key = rng() % 2 ? vk::kBack : vk::kDelete;
        both([&](auto& x) { x.keyAction(key, 0, false); });
        break;
      }
      case 3:
      case 4: {  // find from the caret, to the end or to a bound
        const Text what = randomText(3);
        const int options = static_cast<int>(rng() % 4) * 2;  // none, whole word, case, both
        const int32_t end = rng() % 2 ? -1 : std::min(plain.length(), caret + upTo(40));
        ASSERT_EQ(s.find(what, caret, end, options), plain.find(what, caret, end, options));
        break;
      }
      case 5: {  // colour and bold a stretch; a length out of range is clamped
        const bool bold = rng() % 2 == 0;
        const int32_t color = bold ? kColorKeyword : kColorPlain;
        both([&](auto& x) { x.setSelLength(a * 2 - 2), x.setSelColor(color), x.setSelBold(bold); });
        break;
      }
      case 6: {  // a jump, usually back, sometimes out of the text
        const int32_t to = rng() % 4 ? upTo(caret) : upTo(plain.length() + 4) - 2;
        both([&](auto& x) { x.setSelStart(to); });
        break;
      }
      default:
        both([](auto& x) { x.typeInput(u"a"); });
    }
    ASSERT_EQ(s.text(), plain.text);
    ASSERT_EQ(s.selStart(), plain.selStart);
    ASSERT_EQ(s.selText(), plain.text.substr(plain.selStart, plain.selLength));
    ASSERT_EQ(s.formats(), plain.runs());
    const std::vector<int32_t> starts = plain.lineStarts();
    const auto lines = static_cast<int32_t>(starts.size());
    ASSERT_EQ(s.lineCount(), lines);
    ASSERT_EQ(s.firstVisibleLine(), plain.firstVisible);
    const int32_t caretLine = plain.lineOf(plain.selStart);
    ASSERT_EQ(s.caretPosition().x, 8 * (plain.selStart - starts[caretLine]));
    ASSERT_EQ(s.caretPosition().y, 16 * (caretLine - plain.firstVisible));
    for (int k = 0; k < 4; ++k) {
      const int32_t offset = upTo(plain.length() + 2) - 1, line = upTo(lines - 1);
      ASSERT_EQ(s.lineFromChar(offset), plain.lineOf(offset < 0 ? plain.selStart : offset));
      ASSERT_EQ(s.lineStart(line), starts[line]);
      ASSERT_EQ(s.lineEnd(line), line + 1 < lines ? starts[line + 1] - 2 : plain.length());
    }
  }
}

}  // namespace
}  // namespace tavi
