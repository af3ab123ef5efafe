// The demo editor: the element with a toolbar to open a script from disk, save it back as a
// download, print it and find text. The bundled sample is loaded at start.
import {TaviColorText} from "./tavi-color-text.js";

const editor = document.getElementById("editor");
const status = document.getElementById("status");
let fileName = "sample.scr";
let modified = false;

function showStatus() {
  status.textContent = `${fileName}${modified ? " (modified)" : ""}`;
}

// A failed member shows its runtime error instead of being lost in the console.
function attempt(action) {
  try {
    action();
  } catch (error) {
    window.alert(`Error ${error.number ?? ""}: ${error.message}`);
  }
}

// The usual limit of a script's length; a longer file opens whole with room to go on.
const USUAL_MAX_LENGTH = 100000;

// A load replaces the whole text (Text put replaces the selection) as one load: the caret
// at the start, nothing to save yet.
function load(name, text) {
  attempt(() => {
    const long = text.length >= USUAL_MAX_LENGTH;
    editor.Length = long ? text.length + USUAL_MAX_LENGTH : USUAL_MAX_LENGTH;
    editor.Load_flag = true;
    editor.m_bFirstTime = true;
    editor.SelectAll();
    editor.Text = text;
    editor.Load_flag = false;
    editor.m_bFirstTime = false;
    editor.m_bChange = false;
    fileName = name;
    modified = false;
    showStatus();
  });
}

// The host's setup, in English: its message texts and menu, every opt-in extension on
// (an opened script is coloured, ...) and short parameter hints for a few keywords.
function setUp() {
  editor.m_strScriptEditor = "Script Editor";
  editor.m_strMaximumSize = "The script has reached its maximum size of %1 characters.%2" +
      "Further typing is ignored.";
  editor.m_strPrintErr = "The printer could not be used.";
  editor.m_strFinishSearch = "The search has reached the end of the script.";
  editor.m_strNotFoundText = "The text was not found.";
  editor.m_strPopUpMenu = "Undo,Cut,Copy,Paste,Delete,Select All";
  editor.KeywordHighlight_flag = true;
  for (const name of ["ColourOnLoad", "StrictLock", "HideEmptyHint", "ListKeepsKeys",
                      "UndoByWords", "ShiftTabOutdent"])
    editor[name] = true;
  const hints = {SECTION: "section name", EXECUTE: "section name", WAIT: "seconds",
                 "GIVE RAN": "RAN route", ASSIGN: "value,TO variable", IF: "condition,THEN",
                 AND: "condition", OR: "condition", NOT: "condition"};
  for (const [keyword, hint] of Object.entries(hints)) editor.SetKeywordHint(keyword, hint);
}

editor.addEventListener("onChange", () => {
  modified = true;
  showStatus();
});

document.getElementById("open").addEventListener("change", async (e) => {
  const file = e.target.files[0];
  e.target.value = "";
  if (file) load(file.name, await file.text());
});

// The download holds exactly the editor's whole text, Value (its CR LF line breaks
// included); Text reads only the selection.
document.getElementById("save").addEventListener("click", () => {
  attempt(() => {
    const blob = new Blob([editor.Value], {type: "text/plain;charset=utf-8"});
    const link = document.createElement("a");
    link.href = URL.createObjectURL(blob);
    link.download = fileName;
    link.click();
    setTimeout(() => URL.revokeObjectURL(link.href), 10000);
    modified = false;
    showStatus();
  });
});

// The control's own print: its dialog settings, then the browser's print of the listing.
document.getElementById("print").addEventListener("click",
                                                  () => attempt(() => editor.PrinterSE(0)));

document.getElementById("find").addEventListener("submit", (e) => {
  e.preventDefault();
  const text = document.getElementById("find-text").value;
  if (!text) return;
  attempt(() => editor.FindSE(text, document.getElementById("find-case").checked,
                              document.getElementById("find-up").checked));
  editor.focus();
});

await TaviColorText.ready;
attempt(setUp);
try {
  const response = await fetch("examples/sample.scr");
  if (!response.ok) throw new Error(`${response.status} ${response.statusText}`);
  load("sample.scr", await response.text());
} catch (error) {
  status.textContent = `The sample could not be loaded: ${error.message}`;
}
editor.focus();
