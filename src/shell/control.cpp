#include "shell/control.h"

#include <algorithm>
#include <string>

#include "editing/change_handling.h"
#include "editing/clipboard_commands.h"
#include "editing/key_handling.h"
#include "editing/mouse_handling.h"
#include "editing/parameter_hint.h"
#include "gutter/gutter.h"
#include "history/change.h"
#include "history/undo_recording.h"
#include "history/undo_redo.h"
#include "language/colouring.h"
#include "language/highlight_line.h"
#include "language/vocabulary.h"
#include "printing/print_setup.h"
#include "search/find.h"
#include "search/replace.h"
#include "shell/window_hook.h"

namespace tavi {

namespace {

constexpr int32_t kStyleExclamationOk = 48;

// Every line break becomes CR LF and there is no trailing one: CRs go, LFs become CR LF.
Text normaliseLineBreaks(TextView value) {
  Text result;
  result.reserve(value.size() + value.size() / 16);
  for (char16_t c : value) {
    if (c == kCR) continue;
    if (c == kLF) result.push_back(kCR);
    result.push_back(c);
  }
  return result;
}

// Every occurrence of `what` replaced, built in one pass over `text`.
Text replaceEvery(TextView text, TextView what, TextView with) {
  Text result;
  size_t from = 0;
  for (size_t at = text.find(what); at != TextView::npos; at = text.find(what, from)) {
    result.append(text.substr(from, at - from)).append(with);
    from = at + what.size();
  }
  return result.append(text.substr(from));
}

}  // namespace

TaviColorText::TaviColorText(const Widgets& widgets)
    : w_(widgets), module_(ModuleState::forThisThread()) {
  w_.editor->setListener(this);
  w_.screen->setMousePointer(kPointerHourglass);
  module_.m_bLoadFlag = true;
  m_bFirstTime = true;
  m_bLock = false;
  m_MaxLen = 100000;
  m_bKeywordHighlight = false;
  initDelimiters(module_);
  w_.menu->setVisible(false);
  m_bMenuBuilt = false;
  // The editor's unnamed property 43 has no counterpart on our surfaces.
  w_.editor->setVisible(false);
  w_.editor->setHideSelection(true);
  w_.editor->setVisible(true);
  w_.editor->setTabStop(true);
  w_.editor->setOleDropMode(0);
  w_.screen->setMousePointer(kPointerDefault);
  m_bTrackChanges = true;
  surfaceChanged();  // sets the maximum length; its snapshot goes with the reset below
  ResetUndo(*this);
  module_.m_bCaretMoved = false;
  module_.m_bTextChanged = false;
  module_.m_bListShown = false;
  module_.m_bHintShown = false;
  loadKeywords(module_, *w_.list);
  keywords_ = KeywordScanner(*w_.list);
  module_.m_hWndEditor = w_.editor->windowHandle();
  HookEditor(module_, *w_.windows);
}

TaviColorText::~TaviColorText() {
  terminate();
  w_.editor->setListener(nullptr);
}

void TaviColorText::addEventSink(EventSink* sink) { sinks_.push_back(sink); }

void TaviColorText::removeEventSink(EventSink* sink) {
  sinks_.erase(std::remove(sinks_.begin(), sinks_.end(), sink), sinks_.end());
}

void TaviColorText::raiseChange() {
  for (EventSink* sink : std::vector<EventSink*>(sinks_)) sink->onChange();
}

void TaviColorText::raiseEvent(int16_t id) {
  for (EventSink* sink : std::vector<EventSink*>(sinks_)) {
    int16_t byRef = id;
    sink->onEvent(byRef);
  }
}

void TaviColorText::showMaximumSizeWarning() {
  const std::string max = std::to_string(m_MaxLen);
  const Text withMax = replaceEvery(m_strMaximumSize, u"%1", Text(max.begin(), max.end()));
  const Text message = replaceEvery(withMax, u"%2", Text(1, kCR));
  w_.messages->show(message, kStyleExclamationOk, m_strScriptEditor);
}

// ---- Properties ----

Variant TaviColorText::getLoad_flag() const { return Variant::fromBool(module_.m_bLoadFlag); }

void TaviColorText::putLoad_flag(const Variant& value) {
  module_.m_bLoadFlag = value.toBool() != 0;
}

Variant TaviColorText::getText() {
  Variant selected = Variant::fromString(w_.editor->selText());
  w_.editor->setFocus();
  return selected;
}

Variant TaviColorText::getValue() {
  Variant whole = Variant::fromString(w_.editor->text());
  w_.editor->setFocus();
  return whole;
}

void TaviColorText::putText(const Variant& value) {
  // Converted first: a value that is no text changes nothing.
  const Text passed = value.toText();
  EditSurface& editor = *w_.editor;
  m_bTrackChanges = false;
  bFind = false;
  const int32_t start = editor.selStart();
  editor.replaceSelection(u"");
  m_bTrackChanges = true;
  const Text text = normaliseLineBreaks(passed);
  editor.replaceSelection(text);  // recorded as one user edit
  m_bTrackChanges = false;
  // ColourOnLoad colours the lines the text went into, as the line colouring would. Only
  // while keyword colouring is on: with it off the control colours nothing by itself,
  // and the loaded text came in plain anyway.
  if (ColourOnLoad && m_bKeywordHighlight) ColourLines(*this, start, editor.selStart());
  w_.screen->setMousePointer(kPointerHourglass);
  // The caret goes before the last allowed character; below 0 the surface clamps it, so the
  // host's Length (any Long, -2147483648 too) cannot overflow the subtraction.
  if (static_cast<int64_t>(passed.size()) > m_MaxLen)
    editor.setSelStart(std::max(m_MaxLen, 1) - 1);
  else
    editor.setSelStart(start + static_cast<int32_t>(text.size()));
  if (m_bFirstTime) editor.setSelStart(0);
  DrawLineNumbers(*this);
  w_.screen->setMousePointer(kPointerDefault);
  if (!module_.m_bLoadFlag) editor.setFocus();
  m_bTrackChanges = true;
}

Variant TaviColorText::getKeywordHighlight_flag() const {
  return Variant::fromBool(m_bKeywordHighlight);
}

void TaviColorText::putKeywordHighlight_flag(const Variant& value) {
  m_bKeywordHighlight = value.toBool() != 0;
}

Variant TaviColorText::getLength() const {
  const Text text = w_.editor->text();
  const auto breaks =
      std::count_if(text.begin(), text.end(), [](char16_t c) { return c == kCR || c == kLF; });
  return Variant::fromI4(static_cast<int32_t>(text.size() - static_cast<size_t>(breaks)));
}

void TaviColorText::putLength(const Variant& value) { m_MaxLen = value.toI4(); }

// ---- Methods ----

Text TaviColorText::change(TextView oldstr, TextView newstr, int32_t& start, int32_t& changeNum) {
  ChangeResult result = tavi::change(oldstr, newstr);
  start = result.start;
  changeNum = result.changeNum;
  return std::move(result.removed);
}

Variant TaviColorText::SetHourGlassCursor() {
  w_.editor->setMousePointer(kPointerHourglass);
  return Variant();
}

Variant TaviColorText::SetArrowCursor() {
  w_.editor->setMousePointer(kPointerDefault);
  return Variant();
}

Variant TaviColorText::DisableControl() {
  w_.editor->setLocked(true);
  m_bLock = true;
  return Variant();
}

void TaviColorText::CheckHighLightText() { m_bSelect = w_.editor->selLength() >= 1; }

void TaviColorText::MessageBox(TextView msg, int32_t buttons, TextView title) {
  w_.messages->show(msg, buttons, title);
}

Variant TaviColorText::HighlightLine(int32_t& line, int32_t& startPos) {
  return tavi::HighlightLine(*this, line, startPos);
}
// A refused edit command (editCommandsAllowed) returns Empty at once: no text, journal,
// flag, cursor or focus change and no onEvent, since nothing happened for the host to follow.
Variant TaviColorText::Undo() { return editCommandsAllowed() ? tavi::Undo(*this) : Variant(); }
Variant TaviColorText::Redo() { return editCommandsAllowed() ? tavi::Redo(*this) : Variant(); }
Variant TaviColorText::Cut() { return editCommandsAllowed() ? tavi::Cut(*this) : Variant(); }
Variant TaviColorText::Copy() { return tavi::Copy(*this); }
Variant TaviColorText::Paste() { return editCommandsAllowed() ? tavi::Paste(*this) : Variant(); }
Variant TaviColorText::Delete() { return editCommandsAllowed() ? tavi::Delete(*this) : Variant(); }
Variant TaviColorText::SelectAll() { return tavi::SelectAll(*this); }

Variant TaviColorText::FindSE(TextView findText, bool matchCase, bool up) {
  return tavi::FindSE(*this, findText, matchCase, up);
}

Text TaviColorText::FindSE_New(TextView findText, bool matchCase, bool up) {
  return tavi::FindSE_New(*this, findText, matchCase, up);
}

Variant TaviColorText::ReplaceSE(TextView findText, TextView replaceText) {
  if (!editCommandsAllowed()) return Variant();
  return tavi::ReplaceSE(*this, findText, replaceText);
}

Variant TaviColorText::ReplaceAll(TextView findText, TextView replaceText, bool matchCase) {
  if (!editCommandsAllowed()) return Variant();
  return tavi::ReplaceAll(*this, findText, replaceText, matchCase);
}

void TaviColorText::PrinterSE(int16_t& PrintFlags) { tavi::PrinterSE(*this, PrintFlags); }

// ---- Opt-in extensions ----

Variant TaviColorText::ColourAll() {
  // The line colouring's rule over the whole text: with keyword colouring off it still
  // resets the text to plain, as ColorLine resets its line, so a host can clear colours.
  ColourLines(*this, 0, w_.editor->textLength());
  // The focus as ColorLine takes it: not while the host is still loading.
  if (!module_.m_bLoadFlag) w_.editor->setFocus();
  return Variant();
}

Variant TaviColorText::Unlock() {
  w_.editor->setLocked(false);
  m_bLock = false;
  return Variant();
}

void TaviColorText::SetKeywordHint(TextView keyword, TextView hint) {
  tavi::SetKeywordHint(*this, keyword, hint);
}

// ---- Notifications ----

void TaviColorText::resize() { ResizeControls(*this); }

void TaviColorText::terminate() {
  if (terminated_) return;
  terminated_ = true;
  UnhookEditor(module_);
}

void TaviColorText::timerTick() { GutterTimerTick(*this); }

void TaviColorText::gutterPaint() { DrawLineNumbers(*this); }

void TaviColorText::menuClicked(int16_t entry) { MenuEntryChosen(*this, entry); }

void TaviColorText::surfaceGotFocus() { HandleGotFocus(*this); }

void TaviColorText::surfaceLostFocus() { HandleLostFocus(*this); }

void TaviColorText::surfaceChanged() { HandleChange(*this); }

void TaviColorText::surfaceKeyDown(int16_t& keyCode, int16_t& shift) {
  HandleKeyDown(*this, keyCode, shift);
}

void TaviColorText::surfaceKeyUp(int16_t& keyCode, int16_t& shift) {
  HandleKeyUp(*this, keyCode, shift);
}

void TaviColorText::surfaceMouseDown(int16_t button, int16_t shift, float x, float y) {
  HandleMouseDown(*this, button, shift, x, y);
}

void TaviColorText::surfaceMouseUp(int16_t button, int16_t shift, float x, float y) {
  HandleMouseUp(*this, button, shift, x, y);
}

}  // namespace tavi
