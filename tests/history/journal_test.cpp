#include "history/journal.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "support/error_number.h"

namespace tavi {
namespace {

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
