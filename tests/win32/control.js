// Drives TaviColorText from JScript, which passes every argument by value, to ByRef
// parameters too. The last line printed is "RESULT: PASS" or "RESULT: FAIL n".
var failures = 0;
function check(name, actual, expected) {
  if (actual === expected) {
    WScript.Echo("ok   " + name);
  } else {
    WScript.Echo("FAIL " + name + ": got [" + actual + "], expected [" + expected + "]");
    failures++;
  }
}

var ctl = new ActiveXObject("TaviColorTxt.TaviColorText");
ctl.Text = "IF RATE THEN\r\nEND IF";
check("FindSE_New finds", ctl.FindSE_New("Rate", false, false), "");
check("FindSE_New selects", ctl.Text, "RATE");
check("change answers the removed text", ctl.change("abcdef", "abXYef", 0, 0), "cd");
var error = 0;
try {
  ctl.HighlightLine(0, 0);
} catch (e) {
  error = e.number & 0xFFFF;  // the runtime error number, the HRESULT's low word
}
check("HighlightLine(0, 0) raises error 9", error, 9);
WScript.Echo(failures === 0 ? "RESULT: PASS" : "RESULT: FAIL " + failures);
