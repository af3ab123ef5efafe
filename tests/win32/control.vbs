' Drives TaviColorText through its dispatch interface as a script host does. Every check
' prints a line; the last line is "RESULT: PASS" or "RESULT: FAIL n" (the script host's exit
' code says nothing about the script).
Option Explicit
Dim failures : failures = 0

Sub Check(name, actual, expected)
  If actual = expected Then
    WScript.Echo "ok   " & name
  Else
    WScript.Echo "FAIL " & name & ": got [" & actual & "], expected [" & expected & "]"
    failures = failures + 1
  End If
End Sub

' The runtime error numbers of failing calls, 0 when the call succeeds.
Function ErrorOfKeywordHighlight(value)
  On Error Resume Next
  ctl.KeywordHighlight_flag = value
  ErrorOfKeywordHighlight = Err.Number
End Function

Function ErrorOfHighlightLine(line, startPos)
  On Error Resume Next
  ctl.HighlightLine line, startPos
  ErrorOfHighlightLine = Err.Number
End Function

Function ErrorOfKeywordHint(keyword)
  On Error Resume Next
  ctl.SetKeywordHint keyword, "line, time"
  ErrorOfKeywordHint = Err.Number
End Function

Function ErrorOfUnknownMember()
  On Error Resume Next
  ctl.NoSuchMember
  ErrorOfUnknownMember = Err.Number
End Function

Dim ctl
Set ctl = CreateObject("TaviColorTxt.TaviColorText")
Check "TypeName", TypeName(ctl), "_TaviColorText"

ctl.m_strScriptEditor = "Script editor"
ctl.m_strMaximumSize = "The script is longer than %1 characters (%2)."
ctl.m_strFinishSearch = "Finished searching the script."
ctl.m_strNotFoundText = "The text was not found."
ctl.m_strPopUpMenu = "Undo|Cut|Copy|Paste|Delete|Select All"
Check "message text", ctl.m_strNotFoundText, "The text was not found."
Check "property names ignore case", ctl.M_STRFINISHSEARCH, "Finished searching the script."

Dim script : script = "IF RATE THEN" & vbCrLf & "  CALL RATE" & vbCrLf & "END IF"
ctl.Text = script
Check "Value", ctl.Value, script
Check "Length counts no line breaks", ctl.Length, Len(script) - 4
Check "Text is the selection, empty after loading", ctl.Text, ""

' FindSE_New answers "" when it finds the text, and the end-of-search message otherwise.
Dim found : found = ctl.FindSE_New("rate", False, False)
Check "FindSE_New finds", found, ""
Check "FindSE_New selects", ctl.Text, "RATE"
found = ctl.FindSE_New("nowhere", False, False)
Check "FindSE_New not found", found, "Finished searching the script."

ctl.ReplaceAll "RATE", "PRICE", True
Check "ReplaceAll", ctl.Value, Replace(script, "RATE", "PRICE")

Dim line, startPos, r
line = 2 : startPos = 0
r = ctl.HighlightLine(line, startPos)
Check "HighlightLine keeps line", line, 2

Dim start, changeNum, removed
start = 0 : changeNum = 0
removed = ctl.change("abcdef", "abXYef", start, changeNum)
Check "change answers the removed text", removed, "cd"
Check "change writes start back", start, 2
Check "change writes changeNum back", changeNum, 2

ctl.Undo
Check "Undo", ctl.Value, script
ctl.Redo
Check "Redo", ctl.Value, Replace(script, "RATE", "PRICE")

Check "KeywordHighlight_flag True", ErrorOfKeywordHighlight(True), 0
Check "KeywordHighlight_flag ""maybe""", ErrorOfKeywordHighlight("maybe"), 13
Check "HighlightLine 0, 0", ErrorOfHighlightLine(0, 0), 9
Check "unknown member", ErrorOfUnknownMember(), 438

' The opt-in extensions: a strictly locked control takes no Replace All until Unlock.
ctl.StrictLock = True
ctl.DisableControl
ctl.ReplaceAll "PRICE", "COST", True
Check "StrictLock refuses ReplaceAll", ctl.Value, Replace(script, "RATE", "PRICE")
ctl.Unlock
Check "Unlock clears m_bLock", ctl.m_bLock, False
ctl.ReplaceAll "PRICE", "COST", True
Check "ReplaceAll after Unlock", ctl.Value, Replace(script, "RATE", "COST")
ctl.KeywordHighlight_flag = True
ctl.ColourAll
Check "ColourAll changes no text", ctl.Value, Replace(script, "RATE", "COST")
Check "SetKeywordHint of a keyword", ErrorOfKeywordHint("QUEUE TO SKILLSET"), 0
Check "SetKeywordHint of another word", ErrorOfKeywordHint("NOT A KEYWORD"), 5

If failures = 0 Then
  WScript.Echo "RESULT: PASS"
Else
  WScript.Echo "RESULT: FAIL " & failures
End If
