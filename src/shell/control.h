// TaviColorText: the control object the host sees. It owns the instance state and the
// journals, drives its widgets through the widget interfaces, and raises onChange and
// onEvent to its event sinks. Hosts reach it through the dispatch table (dispatch.h);
// platforms deliver the widgets' notifications through the methods under "Notifications".
#pragma once

#include <cstdint>
#include <map>
#include <vector>

#include "gutter/gutter_picture.h"
#include "history/journal.h"
#include "history/undo_run.h"
#include "language/keyword_trie.h"
#include "shell/module_state.h"
#include "shell/text.h"
#include "shell/variant.h"
#include "shell/widgets/widgets.h"

namespace tavi {

// The outgoing event interface: onChange (DISPID 1) and onEvent (DISPID 2).
class EventSink {
 public:
  virtual ~EventSink() = default;
  virtual void onChange() = 0;
  virtual void onEvent(int16_t& id) = 0;
};

// onEvent ids.
namespace event {
inline constexpr int16_t kUndo = 1000;
inline constexpr int16_t kCut = 1001;
inline constexpr int16_t kCopy = 1002;
inline constexpr int16_t kPaste = 1003;
inline constexpr int16_t kDelete = 1004;
inline constexpr int16_t kSelectAll = 1005;
inline constexpr int16_t kMouseUp = 1006;
inline constexpr int16_t kKeyUp = 1007;
inline constexpr int16_t kClipboardLocked = 1008;
}  // namespace event

class TaviColorText final : public SurfaceListener {
 public:
  // Creates the control on the calling thread (its initialisation).
  explicit TaviColorText(const Widgets& widgets);
  ~TaviColorText() override;
  TaviColorText(const TaviColorText&) = delete;
  TaviColorText& operator=(const TaviColorText&) = delete;

  void addEventSink(EventSink* sink);
  void removeEventSink(EventSink* sink);

  // ---- Public variables: the host reads and writes each as a property. ----
  bool CtlKey = false;
  bool m_bKeywordHighlight = false;
  bool m_bChange = false;
  bool bFind = false;
  int32_t m_MaxLen = 100000;
  Text m_FindText;
  bool m_bLock = false;
  bool m_bFirstTime = true;
  bool m_bSelect = false;
  Text m_strLang;
  Text m_strScriptEditor;
  Text m_strMaximumSize;
  Text m_strPrintErr;
  Text m_strFinishSearch;
  Text m_strNotFoundText;
  Text m_strPopUpMenu;

  // ---- Opt-in extensions: members beyond the fixed interface, at DISPIDs of their own
  // (0x60100001 onwards). Each is off or empty at start, so a host that never sets them
  // sees the control exactly as without them. ----
  bool ColourOnLoad = false;     // Text put colours what it loaded
  bool StrictLock = false;       // a locked control takes no edit command either
  bool HideEmptyHint = false;    // a keyword without a hint text shows no hint box
  bool ListKeepsKeys = false;    // the list's keys move its selection, not the caret
  bool UndoByWords = false;      // typed words and deleted runs undo as one step
  bool ShiftTabOutdent = false;  // Shift+Tab outdents the selected lines
  // Colours the whole text: keywords blue and bold, the rest black and regular.
  Variant ColourAll();
  // Undoes DisableControl: the editor takes edits again and m_bLock is False.
  Variant Unlock();
  // Sets the parameter hint of a keyword of the vocabulary for this control (an empty
  // hint removes the host's text); a word that is no keyword fails with error 5.
  void SetKeywordHint(TextView keyword, TextView hint);
  // The host's hint texts by keyword (SetKeywordHint), consulted before the thread's table.
  std::map<Text, Text> hostKeywordHints;
  // The one rule for commands and key actions that edit the text: a control locked
  // (m_bLock) with StrictLock on refuses them.
  bool editCommandsAllowed() const { return !(StrictLock && m_bLock); }

  // ---- Public properties and methods. ----
  Variant getLoad_flag() const;
  void putLoad_flag(const Variant& value);
  Variant getText();  // the selected text
  void putText(const Variant& value);
  Variant getValue();  // the whole text
  Variant getKeywordHighlight_flag() const;
  void putKeywordHighlight_flag(const Variant& value);
  Variant getLength() const;
  void putLength(const Variant& value);
  // Compares two texts; see history/change.h. Writes start and changeNum.
  Text change(TextView oldstr, TextView newstr, int32_t& start, int32_t& changeNum);
  Variant SetHourGlassCursor();
  Variant SetArrowCursor();
  Variant DisableControl();
  void CheckHighLightText();
  void MessageBox(TextView msg, int32_t buttons, TextView title);
  Variant HighlightLine(int32_t& line, int32_t& startPos);
  Variant Undo();
  Variant Redo();
  Variant Cut();
  Variant Copy();
  Variant Paste();
  Variant Delete();
  Variant SelectAll();
  Variant FindSE(TextView findText, bool matchCase, bool up);
  Text FindSE_New(TextView findText, bool matchCase, bool up);
  Variant ReplaceSE(TextView findText, TextView replaceText);
  Variant ReplaceAll(TextView findText, TextView replaceText, bool matchCase);
  void PrinterSE(int16_t& PrintFlags);  // PrintFlags is not changed

  // ---- Notifications from the host and the widgets. ----
  void resize();
  void terminate();
  void timerTick();
  void gutterPaint();
  // The popup menu's click notification with the 1-based entry chosen.
  void menuClicked(int16_t entry);

  // SurfaceListener
  void surfaceGotFocus() override;
  void surfaceLostFocus() override;
  void surfaceChanged() override;
  void surfaceKeyDown(int16_t& keyCode, int16_t& shift) override;
  void surfaceKeyUp(int16_t& keyCode, int16_t& shift) override;
  void surfaceMouseDown(int16_t button, int16_t shift, float x, float y) override;
  void surfaceMouseUp(int16_t button, int16_t shift, float x, float y) override;

  // ---- State shared with the subsystems. ----
  const Widgets& widgets() const { return w_; }
  ModuleState& module() { return module_; }
  const ModuleState& module() const { return module_; }
  // The keyword list's vocabulary as a trie, built once when the list is filled.
  KeywordScanner& keywords() { return keywords_; }

  bool m_bTrackChanges = true;
  Journal m_colUndo;
  Journal m_colRedo;
  UndoRun m_undoRun;  // which edits join the newest undo step (UndoByWords)
  // What the last DrawLineNumbers drew.
  GutterPicture m_gutterShown;
  int16_t m_vLastShift = 0;
  int16_t m_vLastKeyCode = 0;
  bool m_bAtMaxLen = false;
  bool m_bMenuBuilt = false;

  void raiseChange();
  void raiseEvent(int16_t id);
  // The maximum-size warning: m_strMaximumSize with "%1" and "%2" filled in.
  void showMaximumSizeWarning();

 private:
  Widgets w_;
  ModuleState& module_;
  KeywordScanner keywords_;
  std::vector<EventSink*> sinks_;
  bool terminated_ = false;
};

}  // namespace tavi
