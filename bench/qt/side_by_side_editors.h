// The three editors the side-by-side benchmark compares, behind one small interface: this
// project's TaviColorTextWidget, QPlainTextEdit with a QSyntaxHighlighter, and (when the
// library is installed) QScintilla with a custom lexer. The peers colour exactly the words the
// control colours, blue and bold: every whole-word, same-case occurrence of the vocabulary,
// found by the core's own keyword trie.
#pragma once

#include <QString>
#include <QWidget>

#include <cstdint>
#include <memory>
#include <vector>

namespace tavi::bench {

enum class EditorKind { Tavi, PlainTextEdit, QScintilla };

// The editors this build can run, this widget first.
std::vector<EditorKind> availableEditors();
const char* editorName(EditorKind kind);
// The command-line name of an editor ("tavi", "plain", "qsci"), and back (false: unknown).
const char* editorKey(EditorKind kind);
bool editorFromKey(const QString& key, EditorKind& kind);

// A place in a script, in each editor's own terms: the offset with CR LF counting two, and
// the line and column.
struct Place {
  int32_t offset = 0;
  int32_t line = 0;
  int32_t column = 0;
};
// Where `offset` of a script with CR LF line breaks lies.
Place placeOf(const QString& script, int32_t offset);

class SideBySideEditor {
 public:
  virtual ~SideBySideEditor() = default;
  // The top-level window, shown at 900 x 600.
  virtual QWidget* window() = 0;
  // The widget that takes the keys: a typed character is a key event sent to it.
  virtual QWidget* keyTarget() = 0;
  // Loads `script` (lines ending in CR LF) and colours every line of it.
  virtual void open(const QString& script) = 0;
  virtual void setCaret(const Place& place) = 0;
  // The text's length in the editor's own units (comparable only with itself).
  virtual int64_t length() = 0;
  virtual void undo() = 0;
  virtual void redo() = 0;
  // Replaces every same-case occurrence of `text` as one edit.
  virtual void replaceAll(const QString& text, const QString& with) = 0;
  // Whether the keyword at `place` came out blue and bold (true where the editor cannot
  // tell).
  virtual bool keywordColouredAt(const Place& place) = 0;
};

// A new editor, shown, with room for `maxLength` characters where it has a limit.
std::unique_ptr<SideBySideEditor> makeEditor(EditorKind kind, int32_t maxLength);

// Gives the editor's window and key target the focus and lets the events settle.
void focusEditor(SideBySideEditor& editor);

// What follows every measured step alike: the pending events processed until none is left,
// among them the editor's own paint request for the regions it invalidated, as a real event
// loop would before the next key. Nothing is repainted that the editor did not ask for: each
// editor pays for the layout and painting its own update regions cost.
void settle(SideBySideEditor& editor);

}  // namespace tavi::bench
