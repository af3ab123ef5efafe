#include "history/journal.h"

#include <gtest/gtest.h>

#include <vector>

#include "shell/runtime_error.h"

namespace tavi {
namespace {

std::vector<Text> texts(const Journal& journal) {
  std::vector<Text> out;
  for (const UndoElement& element : journal) out.push_back(element.Text.str());
  return out;
}

TEST(Journal, OneBasedOrderedCollection) {
  Journal journal;
  for (TextView text : {u"a", u"ab", u"abc", u"abcd"}) {
    journal.add(makeSnapshot(static_cast<int32_t>(text.size()), text, journal));
  }
  EXPECT_EQ(journal.count(), 4);
  EXPECT_EQ(journal.item(1).Text.str(), u"a");
  EXPECT_EQ(&journal.last(), &journal.item(4));
  journal.removeFirst();
  journal.removeLast();
  EXPECT_EQ(texts(journal), (std::vector<Text>{u"ab", u"abc"}));
  EXPECT_EQ(journal.item(1).TextLen, 2);
  journal.clear();
  EXPECT_EQ(journal.count(), 0);

  // Out of range: the runtime's subscript error.
  for (auto operation : std::vector<void (*)(Journal&)>{
           [](Journal& j) { (void)j.item(0); }, [](Journal& j) { (void)j.item(1); },
           [](Journal& j) { (void)j.last(); }, [](Journal& j) { j.removeFirst(); },
           [](Journal& j) { j.removeLast(); }}) {
    try {
      operation(journal);
      ADD_FAILURE() << "no error raised";
    } catch (const RuntimeError& e) {
      EXPECT_EQ(e.number(), err::kSubscript);
    }
  }
}

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
    EXPECT_EQ(undo.last().SelStart, 4322);
    EXPECT_EQ(undo.last().TextLen, 10001);
    EXPECT_EQ(undo.last().Text.str(), text);
    undo.removeFirst();  // the newer snapshot stays whole without the older one
    EXPECT_EQ(undo.item(1).Text.str(), text);
  }
  EXPECT_EQ(SharedText::liveBytes(), bytesBefore);
}

}  // namespace
}  // namespace tavi
