// Drives TaviColorText from JScript, which passes every argument by value. The last line
// printed is "RESULT: PASS" or "RESULT: FAIL n".
var failures = 0;
function check(name, actual, expected) {
  if (actual === expected) {
    WScript.Echo("ok   " + name);
  } else {
    WScript.Echo("FAIL " + name + ": got [" + actual + "], expected [" + expected + "]");
    failures++;
  }
}
// The runtime error number (the low word of the HRESULT) a call raises, 0 on success.
function errorOf(call) {
  try {
    call();
    return 0;
  } catch (e) {
    return e.number & 0xFFFF;
  }
}

var ctl = new ActiveXObject("TaviColorTxt.TaviColorText");
ctl.m_strFinishSearch = "Finished searching the script.";
var script = "IF RATE THEN\r\n  CALL RATE\r\nEND IF";
ctl.Text = script;
check("Value", ctl.Value, script);
check("Length", ctl.Length, script.length - 4);
check("FindSE_New finds", ctl.FindSE_New("Rate", false, false), "");
check("FindSE_New selects", ctl.Text, "RATE");
ctl.ReplaceAll("RATE", "PRICE", true);
check("ReplaceAll", ctl.Value, script.replace(/RATE/g, "PRICE"));
check("change answers the removed text", ctl.change("abcdef", "abXYef", 0, 0), "cd");
ctl.Undo();
check("Undo", ctl.Value, script);
ctl.Redo();
check("Redo", ctl.Value, script.replace(/RATE/g, "PRICE"));
check("bad KeywordHighlight_flag", errorOf(function () { ctl.KeywordHighlight_flag = "maybe"; }), 13);
check("HighlightLine(0, 0)", errorOf(function () { ctl.HighlightLine(0, 0); }), 9);
WScript.Echo(failures === 0 ? "RESULT: PASS" : "RESULT: FAIL " + failures);
