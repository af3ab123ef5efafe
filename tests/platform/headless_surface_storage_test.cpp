// The headless surface keeps its text, formats and line starts in gap buffers. A long run of
// edits, deletions, finds and format changes, mostly moving forward with jumps back, must
// leave it exactly where a plain one-string surface written the obvious way would be.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "headless/platform.h"
#include "shell/keys.h"

namespace tavi {
namespace {

// The surface's rules on one string, one format per code unit and line starts found by
// scanning the whole text on every query.
struct PlainSurface {
  Text text;
  std::vector<FormatRun> formats;  // one run of length 1 per code unit
  int32_t selStart = 0;
  int32_t selLength = 0;
  int32_t firstVisible = 0;
  int32_t rows = 1;

  int32_t length() const { return static_cast<int32_t>(text.size()); }
  std::vector<int32_t> lineStarts() const {
    std::vector<int32_t> starts{0};
    for (int32_t i = 0; i + 1 < length(); ++i)
      if (text[i] == kCR && text[i + 1] == kLF) starts.push_back(i + 2);
    return starts;
  }
  int32_t lineOf(int32_t offset) const {
    const std::vector<int32_t> starts = lineStarts();
    if (offset >= length()) return static_cast<int32_t>(starts.size()) - 1;
    return static_cast<int32_t>(std::upper_bound(starts.begin(), starts.end(), offset) -
                                starts.begin()) -
           1;
  }
  void select(int32_t start, int32_t len) {
    selStart = start;
    selLength = len;
    const int32_t line = lineOf(start);
    if (line < firstVisible) firstVisible = line;
    if (line >= firstVisible + rows) firstVisible = line - rows + 1;
  }
  void replace(int32_t start, int32_t len, TextView insert) {
    if (len == 0 && insert.empty()) return;
    text.replace(start, len, insert);
    formats.erase(formats.begin() + start, formats.begin() + start + len);
    formats.insert(formats.begin() + start, insert.size(), FormatRun{0, 1, kColorPlain, false});
    firstVisible = std::min(firstVisible, static_cast<int32_t>(lineStarts().size()) - 1);
    const int32_t caret = start + static_cast<int32_t>(insert.size());
    select(caret, 0);
  }
  bool wordAt(int32_t i) const { return i >= 0 && i < length() && isWordChar(text[i]); }
  int32_t find(TextView what, int32_t from, int32_t to, int options) {
    const bool matchCase = (options & kFindMatchCase) != 0;
    const auto m = static_cast<int32_t>(what.size());
    if (m == 0) return -1;
    for (int32_t i = from; i + m <= to; ++i) {
      const Text found = text.substr(i, m);
      if (matchCase ? found != what : upperCase(found) != upperCase(what)) continue;
      if ((options & kFindWholeWord) != 0 && (wordAt(i - 1) || wordAt(i + m))) continue;
      select(i, m);
      return i;
    }
    return -1;
  }
  std::vector<FormatRun> runs() const {
    std::vector<FormatRun> out;
    for (int32_t i = 0; i < length(); ++i) {
      const FormatRun& f = formats[i];
      if (!out.empty() && out.back().color == f.color && out.back().bold == f.bold)
        ++out.back().length;
      else
        out.push_back({i, 1, f.color, f.bold});
    }
    return out;
  }
};

class SurfaceStorageTest : public ::testing::Test {
 protected:
  Text randomText(int maxLength) {
    static constexpr char16_t kAlphabet[] = u"ab_X \r\n\r\n";
    Text t(rng() % static_cast<unsigned>(maxLength + 1), u' ');
    for (char16_t& c : t) c = kAlphabet[rng() % (std::size(kAlphabet) - 1)];
    return t;
  }
  int32_t upTo(int32_t n) { return static_cast<int32_t>(rng() % static_cast<unsigned>(n + 1)); }

  void expectSame(int step) {
    SCOPED_TRACE(step);
    ASSERT_EQ(s.text(), plain.text);
    ASSERT_EQ(s.textLength(), plain.length());
    ASSERT_EQ(s.selStart(), plain.selStart);
    ASSERT_EQ(s.selLength(), plain.selLength);
    ASSERT_EQ(s.selText(), plain.text.substr(plain.selStart, plain.selLength));
    ASSERT_EQ(s.formats(), plain.runs());
    const std::vector<int32_t> starts = plain.lineStarts();
    const auto lines = static_cast<int32_t>(starts.size());
    ASSERT_EQ(s.lineCount(), lines);
    ASSERT_EQ(s.firstVisibleLine(), plain.firstVisible);
    const PixelPoint caret = s.caretPosition();
    const int32_t caretLine = plain.lineOf(plain.selStart);
    EXPECT_EQ(caret.x, 8 * (plain.selStart - starts[caretLine]));
    EXPECT_EQ(caret.y, 16 * (caretLine - plain.firstVisible));
    for (int k = 0; k < 4; ++k) {
      const int32_t offset = upTo(plain.length() + 2) - 1;
      EXPECT_EQ(s.lineFromChar(offset), plain.lineOf(offset < 0 ? plain.selStart : offset));
      const int32_t line = upTo(lines - 1);
      EXPECT_EQ(s.lineStart(line), starts[line]);
      EXPECT_EQ(s.lineEnd(line), line + 1 < lines ? starts[line + 1] - 2 : plain.length());
    }
  }

  std::mt19937 rng{7};
  HeadlessPlatform platform;
  HeadlessEditSurface& s = platform.createControl().surface();
  PlainSurface plain;
};

TEST_F(SurfaceStorageTest, ForwardEditsFindsAndFormatsMatchThePlainModel) {
  s.setHeight(5 * 16 * 15);  // five rows, so that the view scrolls often
  plain.rows = s.visibleRows();
  ASSERT_EQ(plain.rows, 5);
  for (int step = 0; step < 3000; ++step) {
    const int32_t len = plain.length();
    const int32_t caret = plain.selStart;
    switch (rng() % 8) {
      case 0:
      case 1: {  // replace a stretch a little ahead of the caret
        const int32_t start = std::min(len, caret + upTo(6));
        const int32_t n = std::min(len - start, upTo(5));
        const Text insert = randomText(step < 200 ? 60 : 6);
        s.setSelStart(start);
        s.setSelLength(n);
        s.replaceSelection(insert);
        plain.select(start, n);
        plain.replace(start, n, insert);
        break;
      }
      case 2: {  // Backspace or Delete, which never split a CR LF pair
        const bool back = rng() % 2 == 0;
        s.keyAction(back ? vk::kBack : vk::kDelete, 0, false);
        int32_t from = caret;
        int32_t to = caret + plain.selLength;
        if (plain.selLength == 0 && back) {
          const bool pair = caret >= 2 && plain.text.compare(caret - 2, 2, u"\r\n") == 0;
          from = std::max(0, caret - (pair ? 2 : 1));
        } else if (plain.selLength == 0) {
          const bool pair = plain.text.compare(caret, 2, u"\r\n") == 0;
          to = std::min(len, caret + (pair ? 2 : 1));
        }
        plain.replace(from, to - from, u"");
        break;
      }
      case 3:
      case 4: {  // find from the caret, to the end or to a bound
        const Text what = randomText(3);
        const int options = static_cast<int>(rng() % 3) * 2;  // 0, 2 or 4
        const int32_t end = rng() % 2 ? -1 : std::min(len, caret + upTo(40));
        const int32_t expected = plain.find(what, caret, end < 0 ? len : end, options);
        ASSERT_EQ(s.find(what, caret, end, options), expected) << step;
        break;
      }
      case 5: {  // colour and bold a stretch
        const int32_t n = std::min(len - caret, upTo(8));
        const bool bold = rng() % 2 == 0;
        s.setSelLength(n);
        s.setSelColor(bold ? kColorKeyword : kColorPlain);
        s.setSelBold(bold);
        plain.select(caret, n);
        for (int32_t i = caret; i < caret + n; ++i)
          plain.formats[i] = {0, 1, bold ? kColorKeyword : kColorPlain, bold};
        break;
      }
      case 6: {  // a jump, usually back
        const int32_t to = rng() % 4 ? upTo(caret) : upTo(len);
        s.setSelStart(to);
        plain.select(to, 0);
        break;
      }
      default:  // a typed character
        s.typeInput(u"a");
        plain.replace(caret, plain.selLength, u"a");
        break;
    }
    expectSame(step);
    if (HasFatalFailure()) return;
  }
}

}  // namespace
}  // namespace tavi
