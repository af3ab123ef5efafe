#include "editing/clipboard_commands.h"

#include "gutter/gutter.h"
#include "language/line_scanner.h"
#include "shell/control.h"
#include "shell/runtime_error.h"
#include "surface/insertion.h"

namespace tavi {

namespace {

// Sends the cut or copy message to the surface and ignores the result: a clipboard that
// cannot be opened makes the message do nothing, as it does for the keyboard shortcuts, and
// is no failure of the command.
void SendEditMessage(EditSurface& editor, int message) {
  try {
    editor.sendEditMessage(message);
  } catch (const RuntimeError&) {
  }
}

}  // namespace

Variant Cut(TaviColorText& control) {
  EditSurface& editor = *control.widgets().editor;
  control.SetHourGlassCursor();
  SendEditMessage(editor, kWmCut);  // journalled by the change handling: tracking is on
  control.m_bTrackChanges = false;
  const int32_t pos = editor.selStart();
  int32_t lineStart = 0;
  Text lineText;
  GetLineAt(control, pos, lineStart, lineText);
  editor.setHideSelection(true);
  // The line that lost text goes back to the plain style.
  editor.setSelStart(lineStart > 0 ? lineStart - 1 : 0);
  editor.setSelLength(static_cast<int32_t>(lineText.size()));
  editor.setSelColor(kColorPlain);
  editor.setSelBold(false);
  editor.setSelStart(pos);
  editor.setFocus();
  DrawLineNumbers(control);
  control.m_bTrackChanges = true;
  control.m_bChange = true;
  control.SetArrowCursor();
  control.raiseEvent(event::kCut);
  return Variant();
}

Variant Copy(TaviColorText& control) {
  EditSurface& editor = *control.widgets().editor;
  control.SetHourGlassCursor();
  SendEditMessage(editor, kWmCopy);
  editor.setFocus();
  control.SetArrowCursor();
  control.raiseEvent(event::kCopy);
  return Variant();
}

Variant Paste(TaviColorText& control) {
  const Widgets& w = control.widgets();
  EditSurface& editor = *w.editor;
  control.SetHourGlassCursor();
  control.m_bTrackChanges = false;
  const int32_t pos = editor.selStart();
  // From here a failing step ends the command: a locked clipboard restores the arrow and
  // tells the host; any other failure ends silently.
  try {
    // The text as the editor will hold it, lone CRs and LFs as CR LF, so that the limit and
    // the caret count what lands, whatever breaks the clipboard's owner used.
    Text pasted = withCrLfBreaks(w.clipboard->text().value_or(Text()));
    const int64_t length = editor.textLength();
    if (length + static_cast<int64_t>(pasted.size()) > control.m_MaxLen) {
      const int64_t room = control.m_MaxLen - length;
      // A text already longer than the maximum leaves no room: the cut fails.
      if (room < 0) throw RuntimeError(err::kInvalidCall);
      pasted.resize(static_cast<size_t>(room));
    }
    control.m_bTrackChanges = true;
    editor.replaceSelection(pasted);  // one journalled change
    control.m_bTrackChanges = false;
    control.module().m_bCaretMoved = false;
    editor.setSelStart(pos + static_cast<int32_t>(pasted.size()));
    DrawLineNumbers(control);
  } catch (const RuntimeError& error) {
    if (error.number() == err::kCantOpenClipboard) {
      control.SetArrowCursor();
      control.raiseEvent(event::kClipboardLocked);
    }
    return Variant();
  }
  control.m_bTrackChanges = true;
  control.m_bChange = true;
  control.SetArrowCursor();
  control.raiseEvent(event::kPaste);
  return Variant();
}

Variant ScriptedPaste(TaviColorText& control) {
  // A locked control's Paste does nothing either way; only a paste that would happen asks.
  if (control.editCommandsAllowed() && !control.widgets().site->allowsScriptedPaste()) {
    control.raiseEvent(event::kClipboardLocked);
    return Variant();
  }
  return control.Paste();
}

Variant Delete(TaviColorText& control) {
  EditSurface& editor = *control.widgets().editor;
  control.SetHourGlassCursor();
  editor.setFocus();
  editor.replaceSelection(u"");  // journalled when tracking is on
  DrawLineNumbers(control);
  editor.setFocus();
  control.m_bChange = true;
  control.SetArrowCursor();
  control.raiseEvent(event::kDelete);
  return Variant();
}

Variant SelectAll(TaviColorText& control) {
  EditSurface& editor = *control.widgets().editor;
  editor.setHideSelection(false);
  editor.setSelStart(0);
  editor.setSelLength(editor.textLength());
  control.raiseEvent(event::kSelectAll);
  return Variant();
}

}  // namespace tavi
