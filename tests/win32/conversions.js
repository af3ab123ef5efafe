// Values a page or script hands to the control are converted as the system converts them:
// a String member receives the value as a string (an object through its default value),
// a numeric member a number. The system's answer comes from a system object with a String
// parameter, FileSystemObject.BuildPath, whose arguments the system converts. The last
// line printed is "RESULT: PASS" or "RESULT: FAIL n".
var failures = 0;
function check(name, actual, expected) {
  if (actual === expected) {
    WScript.Echo("ok   " + name);
  } else {
    WScript.Echo("FAIL " + name + ": got [" + actual + "], expected [" + expected + "]");
    failures++;
  }
}

// The value or "error N" that `put` leaves, or the runtime error it raises.
function outcome(put) {
  try {
    return put();
  } catch (e) {
    return "error " + (e.number & 0xFFFF);
  }
}

var fso = new ActiveXObject("Scripting.FileSystemObject");
var ctl = new ActiveXObject("TaviColorTxt.TaviColorText");

function asSystemString(value) {
  return outcome(function () { return fso.BuildPath("a", value).substring(2); });
}
function asFindText(value) {
  return outcome(function () {
    ctl.m_FindText = value;
    return ctl.m_FindText;
  });
}

function text(v) { return { toString: function () { return v; } }; }
function numberText(v) { return { valueOf: function () { return v; }, toString: function () { return v; } }; }

// String members: the string the system makes of each value, never a number first.
var values = [
  ["String object 007", new String("007")],
  ["object 1e3", text("1e3")],
  ["object &H10", numberText("&H10")],
  ["array [1, 2]", [1, 2]],
  ["empty array", []],
  ["number 0.1 + 0.2", 0.1 + 0.2],
  ["number 1e21", 1e21]
];
for (var i = 0; i < values.length; i++) {
  check("m_FindText = " + values[i][0], asFindText(values[i][1]), asSystemString(values[i][1]));
}
check("a String object stays text", asFindText(new String("007")), "007");
// A Boolean is written as the control writes every Boolean ("True"), whatever holds it;
// the system's VariantChangeType writes "-1" unless asked for words.
check("m_FindText = Boolean object", asFindText(new Boolean(true)), asFindText(true));

// Numeric members: the number the value reads as.
function asMaxLen(value) {
  return outcome(function () {
    ctl.m_MaxLen = value;
    return ctl.m_MaxLen;
  });
}
check("m_MaxLen = object &H10", asMaxLen(numberText("&H10")), 16);
check("m_MaxLen = String object 1e3", asMaxLen(new String("1e3")), 1000);
check("m_MaxLen = array [7]", asMaxLen([7]), 7);
check("m_MaxLen = String object (5)", asMaxLen(new String("(5)")), -5);
check("m_MaxLen = object x", asMaxLen(text("x")), "error 13");

WScript.Echo(failures === 0 ? "RESULT: PASS" : "RESULT: FAIL " + failures);
