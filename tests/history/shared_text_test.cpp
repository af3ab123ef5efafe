#include "history/shared_text.h"

#include <gtest/gtest.h>

#include <random>
#include <stdexcept>
#include <vector>

namespace tavi {
namespace {

Text pattern(size_t length) {
  Text s;
  for (size_t i = 0; i < length; ++i) s += static_cast<char16_t>(u'a' + i % 23);
  return s;
}

// Well formed, and no deeper or more fragmented than the fill limits allow.
void expectCompact(const SharedText& text) {
  const SharedText::Shape shape = text.shape();
  EXPECT_TRUE(shape.wellFormed);
  if (shape.leaves > 1) {
    EXPECT_LE(shape.leaves, text.length() / SharedText::kMinLeaf);
    // A root of height h over non-root nodes of at least kMinChildren children.
    int64_t fewestLeaves = 2;
    for (int32_t h = 1; h < shape.height; ++h) fewestLeaves *= SharedText::kMinChildren;
    EXPECT_GE(shape.leaves, fewestLeaves);
  }
}

TEST(SharedText, HoldsTextsOfAnySize) {
  for (size_t length : {0, 1, 255, 256, 257, 4096, 100000}) {
    const Text plain = pattern(length);
    const SharedText shared = SharedText::from(plain);
    EXPECT_EQ(shared.length(), static_cast<int32_t>(length));
    EXPECT_EQ(shared.str(), plain);
    for (size_t i = 0; i < length; i += 97) EXPECT_EQ(shared.at(static_cast<int32_t>(i)), plain[i]);
    EXPECT_THROW(shared.at(static_cast<int32_t>(length)), std::out_of_range);
    EXPECT_THROW(shared.at(-1), std::out_of_range);
    expectCompact(shared);
  }
}

TEST(SharedText, EqualityIgnoresLeafBoundaries) {
  const Text plain = pattern(3000);
  Text edited = plain;
  edited.insert(1000, u"0123456789");  // splits a leaf
  const SharedText roundTrip = SharedText::from(plain).derive(edited).derive(plain);
  ASSERT_NE(roundTrip.shape().leaves, SharedText::from(plain).shape().leaves);
  EXPECT_TRUE(roundTrip == SharedText::from(plain));
  EXPECT_FALSE(roundTrip == SharedText::from(plain.substr(0, 2999) + u"#"));
  EXPECT_TRUE(SharedText() == SharedText::from(u""));
}

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
    std::vector<std::pair<SharedText, Text>> versions{{SharedText::from(u""), Text()}};
    for (int step = 0; step < 1500; ++step) {
      // Mostly the newest version, sometimes an older one: branches share storage too.
      const size_t base = rng() % 8 ? versions.size() - 1 : rng() % versions.size();
      Text text = versions[base].second;
      const size_t at = rng() % (text.size() + 1);
      const unsigned kind = rng() % 10;
      if (kind < 5) {
        text.insert(at, randomText(1));  // typing
      } else if (kind < 7) {
        text.erase(at, rng() % 3);  // backspace or delete
      } else if (kind < 9) {
        text.replace(at, rng() % 600, randomText(rng() % 900));  // paste over a selection
      } else {
        text = step % 2 ? Text() : randomText(rng() % 5000);  // whole new text
      }
      const SharedText derived = versions[base].first.derive(text);
      ASSERT_EQ(derived.str(), text) << "step " << step;
      expectCompact(derived);
      versions.emplace_back(derived, text);
    }
    for (const auto& [shared, plain] : versions) ASSERT_EQ(shared.str(), plain);
  }
  EXPECT_EQ(SharedText::liveBytes(), bytesBefore);
}

TEST(SharedText, SmallEditOfLargeTextStoresLittle) {
  const Text plain = pattern(100000);
  const SharedText original = SharedText::from(plain);
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
