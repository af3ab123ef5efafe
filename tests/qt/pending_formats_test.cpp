// Format changes collected and merged into a document: the document ends as if every change
// had been merged at once, in order, and a batch that restores what is there leaves the
// document untouched.
#include "qt/pending_formats.h"

#include <QTextBlock>
#include <QTextCursor>

#include <gtest/gtest.h>

#include <random>
#include <tuple>
#include <utility>

namespace tavi::qt {
namespace {

void mergeNow(QTextDocument& doc, int from, int to, const QTextCharFormat& f) {
  QTextCursor c(&doc);
  c.setPosition(from);
  c.setPosition(to, QTextCursor::KeepAnchor);
  c.mergeCharFormat(f);
}

// The format of the character at `position`; a block's closing separator included.
QTextCharFormat formatOf(const QTextDocument& doc, int position) {
  const QTextBlock b = doc.findBlock(position);
  if (position == b.position() + b.length() - 1) return b.next().charFormat();
  for (auto it = b.begin(); !it.atEnd(); ++it) {
    const QTextFragment f = it.fragment();
    if (position < f.position() + f.length()) return f.charFormat();
  }
  return {};
}

class PendingFormatsTest : public ::testing::Test {
 protected:
  PendingFormatsTest() {
    const QString text = QStringLiteral("IF CALL RATE > 2 THEN\n    QUIT\n\nEND IF");
    doc.setPlainText(text);
    reference.setPlainText(text);
    black.setForeground(QColor(Qt::black));
    blue.setForeground(QColor(Qt::blue));
    bold.setFontWeight(QFont::Bold);
    normal.setFontWeight(QFont::Normal);
    doc.documentLayout();  // a laid-out document reports its changes, as the editor's does
    QObject::connect(&doc, &QTextDocument::contentsChange, [this] { ++reports; });
  }
  int end() const { return doc.characterCount() - 1; }
  void add(int from, int to, const QTextCharFormat& f) {
    pending.add(from, to, f);
    mergeNow(reference, from, to, f);
  }
  void expectSameFormats() {
    for (int p = 0; p < end(); ++p) {
      EXPECT_EQ(formatOf(doc, p).foreground(), formatOf(reference, p).foreground()) << p;
      EXPECT_EQ(formatOf(doc, p).fontWeight(), formatOf(reference, p).fontWeight()) << p;
    }
  }

  QTextDocument doc;
  QTextDocument reference;  // every change merged at once
  PendingFormats pending;
  int reports = 0;
  QTextCharFormat black, blue, bold, normal;  // only a colour or a weight, as colouring sets
};

TEST_F(PendingFormatsTest, RestoringWhatIsThereLeavesTheDocumentAlone) {
  // Colouring paints the line plain and then its keyword again.
  const std::tuple<int, int, QTextCharFormat> paint[] = {
      {0, 22, black}, {0, 22, normal}, {0, 2, blue}, {0, 2, bold}};
  for (const auto& [from, to, format] : paint) mergeNow(doc, from, to, format);
  reports = 0;
  for (const auto& [from, to, format] : paint) pending.add(from, to, format);
  EXPECT_FALSE(pending.applyTo(doc));
  EXPECT_EQ(reports, 0);
  EXPECT_EQ(formatOf(doc, 1).foreground().color(), QColor(Qt::blue));
}

TEST_F(PendingFormatsTest, RandomBatchesMatchMergingAtOnce) {
  std::mt19937 random(7);
  const QTextCharFormat formats[] = {black, blue, bold, normal};
  for (int batch = 0; batch < 40; ++batch) {
    const int changes = static_cast<int>(random() % 6);
    for (int i = 0; i < changes; ++i) {
      int from = static_cast<int>(random() % (end() + 1));
      int to = static_cast<int>(random() % (end() + 1));
      if (from > to) std::swap(from, to);
      add(from, to, formats[random() % 4]);
    }
    const int before = reports;
    pending.applyTo(doc);
    EXPECT_TRUE(pending.empty());
    EXPECT_LE(reports, before + 1) << "one contents change for the whole batch";
    expectSameFormats();
  }
}

}  // namespace
}  // namespace tavi::qt
