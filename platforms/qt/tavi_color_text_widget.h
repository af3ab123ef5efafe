// TaviColorTextWidget: the script-editor control as a QWidget. It hosts one control with
// real Qt widgets for every widget it drives, and offers the control's interface twice:
// typed C++ members, and by name through the dispatch table (dynamicCall, property) the
// way a scripting host reaches it. The control's events arrive as the signals onChange
// and onEvent.
//
//   auto* editor = new TaviColorTextWidget(form);
//   layout->addWidget(editor);
//   editor->setKeywordHighlight(true);
//   editor->setText(script);       // loads, as the host's Text does
//   editor->setLoadFlag(false);
//   connect(editor, &TaviColorTextWidget::onChange, form, [] { /* edited */ });
#pragma once

#include <QString>
#include <QVariant>
#include <QWidget>

#include <memory>

#include "shell/control.h"
#include "shell/dispatch.h"
#include "tavi_export.h"

class QLabel;
class QListWidget;
class QMenu;

namespace tavi {

namespace qt {
class QtControlSite;
class QtEditSurface;
class QtFrameBox;
class QtGutterCanvas;
class QtHintBox;
class QtListBox;
class QtPopupMenu;
struct QtServices;
class SurfaceView;
}  // namespace qt

class TAVI_EXPORT TaviColorTextWidget : public QWidget {
  Q_OBJECT
  Q_PROPERTY(bool keywordHighlight READ keywordHighlight WRITE setKeywordHighlight)
  Q_PROPERTY(bool loadFlag READ loadFlag WRITE setLoadFlag)
  Q_PROPERTY(int maxLength READ maxLength WRITE setMaxLength)
  Q_PROPERTY(bool changed READ isChanged WRITE setChanged DESIGNABLE false)
  // The texts the control shows (see Messages below), editable in Qt Designer.
  Q_PROPERTY(
      QString scriptEditorText READ scriptEditorText WRITE setScriptEditorText DESIGNABLE true)
  Q_PROPERTY(QString maximumSizeText READ maximumSizeText WRITE setMaximumSizeText DESIGNABLE true)
  Q_PROPERTY(QString printErrorText READ printErrorText WRITE setPrintErrorText DESIGNABLE true)
  Q_PROPERTY(
      QString finishSearchText READ finishSearchText WRITE setFinishSearchText DESIGNABLE true)
  Q_PROPERTY(QString notFoundText READ notFoundText WRITE setNotFoundText DESIGNABLE true)
  Q_PROPERTY(QString popUpMenuText READ popUpMenuText WRITE setPopUpMenuText DESIGNABLE true)
  // Opt-in extensions, all off at start (see the control's "Opt-in extensions").
  Q_PROPERTY(bool colourOnLoad READ colourOnLoad WRITE setColourOnLoad)
  Q_PROPERTY(bool strictLock READ strictLock WRITE setStrictLock)
  Q_PROPERTY(bool hideEmptyHint READ hideEmptyHint WRITE setHideEmptyHint)
  Q_PROPERTY(bool listKeepsKeys READ listKeepsKeys WRITE setListKeepsKeys)
  Q_PROPERTY(bool undoByWords READ undoByWords WRITE setUndoByWords)
  Q_PROPERTY(bool shiftTabOutdent READ shiftTabOutdent WRITE setShiftTabOutdent)

 public:
  explicit TaviColorTextWidget(QWidget* parent = nullptr);
  ~TaviColorTextWidget() override;

  // ---- Typed interface ----
  // The whole text, lines separated by CR LF (Value).
  QString value();
  // The selected text (Text get).
  QString selectedText();
  // Replaces the selection; on an empty control this loads a script (Text put).
  void setText(const QString& text);
  bool loadFlag() const;
  void setLoadFlag(bool loading);
  bool keywordHighlight() const;
  void setKeywordHighlight(bool on);
  // Maximum text length (Length put); 100000 at start.
  int maxLength() const;
  void setMaxLength(int length);
  // The user changed the text since the host last cleared the flag (m_bChange).
  bool isChanged() const;
  void setChanged(bool changed);
  bool isLocked() const;

  // Texts the control shows; it has none of its own. The menu captions are six
  // comma-separated entries: Undo, Cut, Copy, Paste, Delete, Select All.
  struct Messages {
    QString scriptEditor;  // title of every message box
    QString maximumSize;   // "%1" the maximum length, "%2" a line break
    QString printError;
    QString finishSearch;
    QString notFound;
    QString popUpMenu;
  };
  void setMessages(const Messages& messages);
  // The same texts one by one (the properties above).
  QString scriptEditorText() const;
  void setScriptEditorText(const QString& text);
  QString maximumSizeText() const;
  void setMaximumSizeText(const QString& text);
  QString printErrorText() const;
  void setPrintErrorText(const QString& text);
  QString finishSearchText() const;
  void setFinishSearchText(const QString& text);
  QString notFoundText() const;
  void setNotFoundText(const QString& text);
  QString popUpMenuText() const;
  void setPopUpMenuText(const QString& text);

  void undo();
  void redo();
  void cut();
  void copy();
  void paste();
  void deleteSelection();
  void selectAll();
  // Selects the next (or previous) match from the search position. Returns an empty
  // string when found, otherwise the host's finished-search or not-found message.
  QString findNext(const QString& text, bool matchCase, bool up);
  void replace(const QString& text, const QString& with);
  void replaceAll(const QString& text, const QString& with, bool matchCase);
  // Selects a line (1-based); with startPos > 0 the token at that column instead.
  void highlightLine(int line, int startPos = 0);
  // Makes the editor read-only (until unlock(), an opt-in extension).
  void disableControl();

  // ---- Opt-in extensions ----
  // Text put colours what it loads.
  bool colourOnLoad() const;
  void setColourOnLoad(bool on);
  // A locked control refuses the edit commands too.
  bool strictLock() const;
  void setStrictLock(bool on);
  // A keyword without a hint text shows no hint box.
  bool hideEmptyHint() const;
  void setHideEmptyHint(bool on);
  // The completion list's keys move its selection, not the caret.
  bool listKeepsKeys() const;
  void setListKeepsKeys(bool on);
  // Typed words and runs of deletions undo as one step.
  bool undoByWords() const;
  void setUndoByWords(bool on);
  // Shift+Tab outdents the selected lines.
  bool shiftTabOutdent() const;
  void setShiftTabOutdent(bool on);
  // Colours the whole text.
  void colourAll();
  // Undoes disableControl().
  void unlock();
  // The hint text of a keyword of the vocabulary; false (and `exception`) for another word.
  bool setKeywordHint(const QString& keyword, const QString& hint);

  // The whole control, for everything the typed interface above leaves out.
  TaviColorText& control() { return *control_; }

  // ---- By name, through the dispatch table (case-insensitive names) ----
  // Calls a method ("Undo", "FindSE", "HighlightLine(line, startPos)": anything from
  // the first parenthesis on is ignored). ByRef arguments come back in `args`. A failed
  // call returns an invalid QVariant and raises `exception`.
  QVariant dynamicCall(const QString& name, QVariantList& args);
  QVariant dynamicCall(const QString& name, const QVariantList& args = {});
  // A dispatch property ("Value", "m_strPopUpMenu", ...); other names are the QObject's.
  QVariant property(const char* name) const;
  bool setProperty(const char* name, const QVariant& value);

  // ---- The widgets, for hosts and tests that look inside ----
  qt::SurfaceView* editor() const;
  QListWidget* keywordList() const;
  QLabel* hint() const;
  QWidget* gutter() const;
  QMenu* popupMenu() const;
  qt::QtEditSurface& surface() const { return *surface_; }
  qt::QtGutterCanvas& gutterCanvas() const { return *gutter_; }
  qt::QtServices& services() const { return services_; }

 signals:
  void onChange();
  void onEvent(int id);
  // A call by name failed: the runtime error number (0 for a dispatch failure) and text.
  void exception(int code, const QString& description);

 protected:
  void resizeEvent(QResizeEvent* e) override;

 private:
  class Sink;
  bool invokeByName(const QString& name, MemberKind kind, QVariantList& args, QVariant& result);

  qt::QtServices& services_;
  std::unique_ptr<qt::QtFrameBox> frame_;
  std::unique_ptr<qt::QtGutterCanvas> gutter_;
  std::unique_ptr<qt::QtEditSurface> surface_;
  std::unique_ptr<qt::QtListBox> list_;
  std::unique_ptr<qt::QtHintBox> hint_;
  std::unique_ptr<qt::QtPopupMenu> menu_;
  std::unique_ptr<qt::QtControlSite> site_;
  std::unique_ptr<Sink> sink_;
  std::unique_ptr<TaviColorText> control_;
};

}  // namespace tavi
