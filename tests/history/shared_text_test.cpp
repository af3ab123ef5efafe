#include "history/shared_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>
#include <stdexcept>
#include <vector>

#include "history/journal.h"
#include "support/error_number.h"

namespace tavi {
namespace {

// Well formed, and no deeper or more fragmented than the fill limits allow: a root of
// height h stands over non-root nodes of at least kMinChildren children each.
void expectCompact(const SharedText& text) {
  const SharedText::Shape shape = text.shape();
  EXPECT_TRUE(shape.wellFormed);
  if (shape.leaves <= 1) return;
  EXPECT_LE(shape.leaves, text.length() / SharedText::kMinLeaf);
  int64_t fewestLeaves = 2;
  for (int32_t h = 1; h < shape.height; ++h) fewestLeaves *= SharedText::kMinChildren;
  EXPECT_GE(shape.leaves, fewestLeaves);
}

// Typing, deleting, pasting over a selection and replacing the whole text, mostly on the
// newest version and sometimes on an older one (branches share storage too). Every version
// keeps its text, compares equal to the same text stored afresh whatever its leaf
// boundaries, and unequal to the version it came from; nothing leaks.
TEST(SharedText, RandomEditsKeepEveryVersionIntact) {
  const size_t bytesBefore = SharedText::liveBytes();
  {
    std::mt19937 rng(77);
    const Text alphabet = u"ab \r\n";
    auto randomText = [&](size_t length) {
      Text s(length, u' ');
      for (char16_t& c : s) c = alphabet[rng() % alphabet.size()];
      return s;
    };
    std::vector<std::pair<SharedText, Text>> versions{{SharedText(), Text()}};  // empty
    for (int step = 0; step < 1500; ++step) {
      const auto& [baseShared, basePlain] =
          versions[rng() % 8 ? versions.size() - 1 : rng() % versions.size()];
      Text text = basePlain;
      const size_t at = rng() % (text.size() + 1);
      const unsigned kind = rng() % 10;
      if (kind < 5)
        text.insert(at, randomText(1));
      else if (kind < 7)
        text.erase(at, rng() % 3);
      else if (kind < 9)
        text.replace(at, rng() % 600, randomText(rng() % 900));
      else
        text = step % 2 ? Text() : randomText(rng() % 5000);
      const SharedText derived = baseShared.derive(text);
      ASSERT_EQ(derived.str(), text) << "step " << step;
      const SharedText fresh = SharedText::from(text);
      ASSERT_TRUE(derived == fresh);
      expectCompact(fresh);
      if (!text.empty()) {  // one character read, and one changed in a copy stored afresh
        const size_t i = rng() % text.size();
        ASSERT_EQ(derived.at(static_cast<int32_t>(i)), text[i]);
        Text other = text;
        other[i] ^= 1;
        ASSERT_FALSE(derived == SharedText::from(other));
      }
      ASSERT_EQ(derived == baseShared, text == basePlain);
      expectCompact(derived);
      versions.emplace_back(derived, text);
    }
    for (const auto& [shared, plain] : versions) ASSERT_EQ(shared.str(), plain);
  }
  EXPECT_EQ(SharedText::liveBytes(), bytesBefore);
}

TEST(SharedText, LargeTextIsCompactAndASmallEditOfItStoresLittle) {
  Text plain(100000, u'a');
  for (size_t i = 0; i < plain.size(); ++i) plain[i] += static_cast<char16_t>(i % 23);
  const SharedText original = SharedText::from(plain);
  expectCompact(original);
  EXPECT_THROW(original.at(100000), std::out_of_range);
  EXPECT_THROW(original.at(-1), std::out_of_range);
  for (size_t at : {0, 5000, 50001, 99999, 100000}) {
    Text typed = plain;
    typed.insert(at, u"q");
    Text deleted = plain;
    deleted.erase(std::min<size_t>(at, 99999), 1);
    for (const Text& edited : {typed, deleted}) {
      const size_t before = SharedText::liveBytes();
      const SharedText derived = original.derive(edited);
      EXPECT_LT(SharedText::liveBytes() - before, 4096u) << "edit at " << at;
      EXPECT_EQ(derived.str(), edited);
    }
  }
  const size_t before = SharedText::liveBytes();
  EXPECT_TRUE(original.derive(plain) == original);
  EXPECT_EQ(SharedText::liveBytes(), before);
}

// The journal's keystroke path: one edit applied to a version, with nothing read but the
// inserted characters. Every version keeps its text and shape; a typed character in a long
// text stores about a leaf; a range outside the text is refused.
TEST(SharedText, ReplacedAppliesOneEdit) {
  std::mt19937 rng(5);
  Text plain(20000, u'a');
  for (size_t i = 0; i < plain.size(); ++i) plain[i] += static_cast<char16_t>(i % 19);
  SharedText shared = SharedText::from(plain);
  for (int step = 0; step < 400; ++step) {
    const auto at = static_cast<int32_t>(rng() % (plain.size() + 1));
    const auto removed =
        static_cast<int32_t>(std::min<size_t>(rng() % 4 ? 1 : rng() % 700, plain.size() - at));
    const Text inserted(rng() % 3 ? 1 : rng() % 900, static_cast<char16_t>(u'A' + step % 26));
    const SharedText before = shared;
    shared = shared.replaced(at, at + removed, inserted);
    plain.replace(at, removed, inserted);
    ASSERT_EQ(shared.str(), plain) << "step " << step;
    expectCompact(shared);
    ASSERT_EQ(before.length() - removed + static_cast<int32_t>(inserted.size()), shared.length());
  }
  const size_t bytes = SharedText::liveBytes();
  const SharedText typed = shared.replaced(9000, 9000, u"q");
  EXPECT_LT(SharedText::liveBytes() - bytes, 4096u);
  EXPECT_EQ(typed.at(9000), u'q');
  EXPECT_THROW(shared.replaced(-1, 0, u"q"), std::out_of_range);
  EXPECT_THROW(shared.replaced(5, 4, u"q"), std::out_of_range);
  EXPECT_THROW(shared.replaced(0, shared.length() + 1, u""), std::out_of_range);
  EXPECT_EQ(SharedText().replaced(0, 0, u"ab").str(), u"ab");
}

TEST(Journal, OneBasedOrderedCollectionWithSubscriptErrors) {
  Journal journal;
  for (TextView text : {u"a", u"ab", u"abc", u"abcd"})
    journal.add(makeSnapshot(static_cast<int32_t>(text.size()), text, journal));
  journal.removeFirst();
  journal.removeLast();
  ASSERT_EQ(journal.count(), 2);
  EXPECT_EQ(journal.item(1).Text.str(), u"ab");
  EXPECT_EQ(journal.last().Text.str(), u"abc");
  journal.clear();
  const std::function<void()> outOfRange[] = {
      [&] { (void)journal.item(0); }, [&] { (void)journal.item(1); }, [&] { (void)journal.last(); },
      [&] { journal.removeFirst(); }, [&] { journal.removeLast(); }};
  for (const auto& operation : outOfRange)
    EXPECT_EQ(testing::errorNumberOf(operation), err::kSubscript);
}

// Typing one character into a long script stores little more than that character.
TEST(Journal, SnapshotsShareStorageWithTheNewestOne) {
  const size_t bytesBefore = SharedText::liveBytes();
  {
    Text text(10000, u'x');
    Journal undo;
    undo.add(makeSnapshot(0, text, undo));
    const size_t firstBytes = SharedText::liveBytes() - bytesBefore;
    text.insert(text.begin() + 4321, u'y');
    undo.add(makeSnapshot(4322, text, undo));
    EXPECT_LT(SharedText::liveBytes() - bytesBefore - firstBytes, 2048u);
    undo.removeFirst();  // the newer snapshot stays whole without the older one
    EXPECT_EQ(undo.item(1).Text.str(), text);
  }
  EXPECT_EQ(SharedText::liveBytes(), bytesBefore);
}

}  // namespace
}  // namespace tavi
