#include "qt/side_by_side_editors.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QSyntaxHighlighter>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextLayout>

#ifdef TAVI_HAVE_QSCINTILLA
#include <Qsci/qscilexercustom.h>
#include <Qsci/qsciscintilla.h>
#endif

#include "headless/focus.h"
#include "headless/list_box.h"
#include "language/keyword_trie.h"
#include "language/vocabulary.h"
#include "qt/edit_surface.h"
#include "qt/services.h"
#include "qt/tavi_color_text_widget.h"
// editor() returns the view over the surface model, or the older QTextEdit: either way a
// QWidget, once its class is complete here.
#if __has_include("qt/surface_view.h")
#include "qt/surface_view.h"
#endif

namespace tavi::bench {
namespace {

constexpr int kWidth = 900;
constexpr int kHeight = 600;

// The vocabulary as the control loads it, in the core's trie.
const KeywordTrie& vocabularyTrie() {
  static const KeywordTrie trie = [] {
    FocusTracker focus;
    HeadlessListBox list(focus);
    for (TextView keyword : keywordsInLoadOrder()) list.addItem(keyword);
    return KeywordTrie(list);
  }();
  return trie;
}

struct Run {
  int start = 0;
  int length = 0;
};

// The stretches of a line that the control paints as keywords: every whole-word occurrence,
// overlapping ones ("AGE OF CALL" holds "CALL") joined.
std::vector<Run> keywordRuns(const QString& line) {
  const TextView text(reinterpret_cast<const char16_t*>(line.utf16()),
                      static_cast<size_t>(line.size()));
  const KeywordTrie& trie = vocabularyTrie();
  const auto n = static_cast<int32_t>(text.size());
  std::vector<Run> runs;
  trie.forEachWholeWord(text, 0, n, n, [&](int32_t start, int32_t k) {
    const int end = start + trie.length(k);
    if (!runs.empty() && start <= runs.back().start + runs.back().length)
      runs.back().length = std::max(runs.back().length, end - runs.back().start);
    else
      runs.push_back({.start = start, .length = end - start});
  });
  return runs;
}

QFont editorFont(bool bold) {
  QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  font.setBold(bold);
  return font;
}

const QColor kKeywordBlue(0, 0, 255);

// ---- This project's widget ----

class TaviEditor final : public SideBySideEditor {
 public:
  explicit TaviEditor(int32_t maxLength) {
    // Nobody answers message boxes here.
    widget_.services().messages.setAnswerer([](TextView, int32_t, TextView) { return 1; });
    widget_.resize(kWidth, kHeight);
    widget_.show();
    widget_.setKeywordHighlight(true);
    widget_.setColourOnLoad(true);
    widget_.setMaxLength(maxLength);
    // The surface takes the limit at once: the control passes it on only at the next change.
    widget_.surface().setMaxLength(maxLength);
  }
  QWidget* window() override { return &widget_; }
  QWidget* keyTarget() override { return widget_.editor(); }
  void open(const QString& script) override {
    widget_.setLoadFlag(true);
    widget_.setText(script);
    widget_.setLoadFlag(false);
  }
  void setCaret(const Place& place) override { widget_.surface().setSelStart(place.offset); }
  int64_t length() override { return widget_.surface().textLength(); }
  void undo() override { widget_.undo(); }
  void redo() override { widget_.redo(); }
  void replaceAll(const QString& text, const QString& with) override {
    widget_.replaceAll(text, with, true);
  }
  // The core's own benchmarks check the colours it gives.
  bool keywordColouredAt(const Place&) override { return true; }

 private:
  TaviColorTextWidget widget_;
};

// ---- QPlainTextEdit with a QSyntaxHighlighter ----

class KeywordHighlighter final : public QSyntaxHighlighter {
 public:
  explicit KeywordHighlighter(QTextDocument* document) : QSyntaxHighlighter(document) {
    keyword_.setForeground(kKeywordBlue);
    keyword_.setFontWeight(QFont::Bold);
  }

 protected:
  void highlightBlock(const QString& text) override {
    for (const Run& run : keywordRuns(text)) setFormat(run.start, run.length, keyword_);
  }

 private:
  QTextCharFormat keyword_;
};

class PlainTextEditor final : public SideBySideEditor {
 public:
  PlainTextEditor() {
    // Like the other two, no word wrap.
    edit_.setLineWrapMode(QPlainTextEdit::NoWrap);
    edit_.setFont(editorFont(false));
    highlighter_ = new KeywordHighlighter(edit_.document());
    edit_.resize(kWidth, kHeight);
    edit_.show();
  }
  QWidget* window() override { return &edit_; }
  QWidget* keyTarget() override { return &edit_; }
  void open(const QString& script) override {
    // A paragraph a line, as a Qt program reading the file as text gets it.
    QString lines = script;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    edit_.setPlainText(lines);
  }
  void setCaret(const Place& place) override {
    QTextCursor cursor(edit_.document()->findBlockByNumber(place.line));
    cursor.setPosition(cursor.position() + place.column);
    edit_.setTextCursor(cursor);
  }
  int64_t length() override { return edit_.document()->characterCount(); }
  void undo() override { edit_.undo(); }
  void redo() override { edit_.redo(); }
  void replaceAll(const QString& text, const QString& with) override {
    QTextDocument& document = *edit_.document();
    QTextCursor edit(&document);
    edit.beginEditBlock();
    for (QTextCursor found = document.find(text, 0, QTextDocument::FindCaseSensitively);
         !found.isNull(); found = document.find(text, found, QTextDocument::FindCaseSensitively))
      found.insertText(with);
    edit.endEditBlock();
  }
  bool keywordColouredAt(const Place& place) override {
    const QTextBlock block = edit_.document()->findBlockByNumber(place.line);
    for (const QTextLayout::FormatRange& range : block.layout()->formats())
      if (range.start <= place.column && place.column < range.start + range.length)
        return range.format.fontWeight() == QFont::Bold &&
               range.format.foreground().color() == kKeywordBlue;
    return false;
  }

 private:
  QPlainTextEdit edit_;
  KeywordHighlighter* highlighter_ = nullptr;  // owned by the document
};

#ifdef TAVI_HAVE_QSCINTILLA
// ---- QScintilla with a custom lexer ----

class KeywordLexer final : public QsciLexerCustom {
 public:
  enum Style { kPlain = 0, kKeyword = 1 };
  explicit KeywordLexer(QObject* parent) : QsciLexerCustom(parent) {}
  const char* language() const override { return "Call-routing script"; }
  QString description(int style) const override {
    if (style == kPlain) return QStringLiteral("Plain");
    if (style == kKeyword) return QStringLiteral("Keyword");
    return {};
  }
  QColor defaultColor(int style) const override {
    return style == kKeyword ? kKeywordBlue : QColor(Qt::black);
  }
  QFont defaultFont(int style) const override { return editorFont(style == kKeyword); }

  // Styles from the start of the line holding `start`. The scripts are ASCII, so the
  // editor's byte positions are the characters of the text read back.
  void styleText(int start, int end) override {
    QsciScintilla* sci = editor();
    if (sci == nullptr || end <= start) return;
    const long line = sci->SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION, start);
    start = static_cast<int>(sci->SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, line));
    const QString text = sci->text(start, end);
    startStyling(start);
    int at = 0;
    for (const Run& run : keywordRuns(text)) {
      if (run.start > at) setStyling(run.start - at, kPlain);
      setStyling(run.length, kKeyword);
      at = run.start + run.length;
    }
    if (static_cast<int>(text.size()) > at) setStyling(static_cast<int>(text.size()) - at, kPlain);
  }
};

class ScintillaEditor final : public SideBySideEditor {
 public:
  ScintillaEditor() {
    sci_.setUtf8(true);
    sci_.setEolMode(QsciScintilla::EolWindows);
    sci_.setLexer(new KeywordLexer(&sci_));
    sci_.resize(kWidth, kHeight);
    sci_.show();
  }
  QWidget* window() override { return &sci_; }
  QWidget* keyTarget() override { return &sci_; }
  void open(const QString& script) override {
    sci_.setText(script);
    // Scintilla styles lazily, as lines come into view: the whole text now.
    sci_.SendScintilla(QsciScintillaBase::SCI_COLOURISE, 0UL, -1L);
  }
  void setCaret(const Place& place) override { sci_.setCursorPosition(place.line, place.column); }
  int64_t length() override { return sci_.length(); }
  void undo() override { sci_.undo(); }
  void redo() override { sci_.redo(); }
  // Scintilla's own search and replace in the target, the fast way to replace them all. The
  // modification notices are off meanwhile: QScintilla's handler of each one walks the text
  // from its start, which over 20,000 replacements takes minutes. Styles are Scintilla's own
  // business and still follow the edits.
  void replaceAll(const QString& text, const QString& with) override {
    const QByteArray find = text.toUtf8();
    const QByteArray replacement = with.toUtf8();
    const long notices = sci_.SendScintilla(QsciScintillaBase::SCI_GETMODEVENTMASK);
    sci_.SendScintilla(QsciScintillaBase::SCI_SETMODEVENTMASK, 0UL);
    sci_.beginUndoAction();
    sci_.SendScintilla(QsciScintillaBase::SCI_SETSEARCHFLAGS, QsciScintillaBase::SCFIND_MATCHCASE);
    long from = 0;
    for (;;) {
      sci_.SendScintilla(QsciScintillaBase::SCI_SETTARGETRANGE, static_cast<unsigned long>(from),
                         static_cast<long>(sci_.length()));
      if (sci_.SendScintilla(QsciScintillaBase::SCI_SEARCHINTARGET,
                             static_cast<uintptr_t>(find.size()), find.constData()) < 0)
        break;
      sci_.SendScintilla(QsciScintillaBase::SCI_REPLACETARGET,
                         static_cast<uintptr_t>(replacement.size()), replacement.constData());
      from = sci_.SendScintilla(QsciScintillaBase::SCI_GETTARGETEND);
    }
    sci_.endUndoAction();
    sci_.SendScintilla(QsciScintillaBase::SCI_SETMODEVENTMASK, static_cast<unsigned long>(notices));
  }
  bool keywordColouredAt(const Place& place) override {
    const int position = sci_.positionFromLineIndex(place.line, place.column);
    return sci_.SendScintilla(QsciScintillaBase::SCI_GETSTYLEAT,
                              static_cast<unsigned long>(position)) == KeywordLexer::kKeyword;
  }

 private:
  QsciScintilla sci_;
};
#endif

}  // namespace

std::vector<EditorKind> availableEditors() {
#ifdef TAVI_HAVE_QSCINTILLA
  return {EditorKind::Tavi, EditorKind::PlainTextEdit, EditorKind::QScintilla};
#else
  return {EditorKind::Tavi, EditorKind::PlainTextEdit};
#endif
}

const char* editorName(EditorKind kind) {
  switch (kind) {
    case EditorKind::Tavi:
      return "TaviColorText";
    case EditorKind::PlainTextEdit:
      return "QPlainTextEdit";
    case EditorKind::QScintilla:
      return "QScintilla";
  }
  return "";
}

const char* editorKey(EditorKind kind) {
  switch (kind) {
    case EditorKind::Tavi:
      return "tavi";
    case EditorKind::PlainTextEdit:
      return "plain";
    case EditorKind::QScintilla:
      return "qsci";
  }
  return "";
}

bool editorFromKey(const QString& key, EditorKind& kind) {
  for (EditorKind k : availableEditors()) {
    if (key == QLatin1String(editorKey(k))) {
      kind = k;
      return true;
    }
  }
  return false;
}

Place placeOf(const QString& script, int32_t offset) {
  Place place{.offset = offset};
  int32_t lineStart = 0;
  for (int32_t i = 0; i + 1 < offset; ++i) {
    if (script[i] == u'\r' && script[i + 1] == u'\n') {
      ++place.line;
      lineStart = i + 2;
    }
  }
  place.column = offset - lineStart;
  return place;
}

std::unique_ptr<SideBySideEditor> makeEditor(EditorKind kind, int32_t maxLength) {
  switch (kind) {
    case EditorKind::Tavi:
      return std::make_unique<TaviEditor>(maxLength);
    case EditorKind::PlainTextEdit:
      return std::make_unique<PlainTextEditor>();
    case EditorKind::QScintilla:
#ifdef TAVI_HAVE_QSCINTILLA
      return std::make_unique<ScintillaEditor>();
#else
      break;
#endif
  }
  return nullptr;
}

void focusEditor(SideBySideEditor& editor) {
  editor.window()->activateWindow();
  editor.keyTarget()->setFocus(Qt::OtherFocusReason);
  QApplication::processEvents();
}

void settle(SideBySideEditor&) {
  QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
  // Bounded, in case an editor keeps posting work to itself.
  for (int pass = 0; pass < 1000; ++pass) {
    QCoreApplication::sendPostedEvents();
    if (!dispatcher->processEvents(QEventLoop::AllEvents)) break;
  }
}

}  // namespace tavi::bench
