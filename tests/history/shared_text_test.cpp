#include "history/shared_text.h"

#include <gtest/gtest.h>

#include <random>
#include <stdexcept>
#include <vector>

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

}  // namespace
}  // namespace tavi
