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

function load(name, text) {
  attempt(() => {
    editor.Text = text;
    fileName = name;
    modified = false;
    showStatus();
  });
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

// The download holds exactly the editor's text (its CR LF line breaks included).
document.getElementById("save").addEventListener("click", () => {
  attempt(() => {
    const blob = new Blob([editor.Text], {type: "text/plain;charset=utf-8"});
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
document.getElementById("print").addEventListener("click", () => attempt(() => editor.PrinterSE(0)));

document.getElementById("find").addEventListener("submit", (e) => {
  e.preventDefault();
  const text = document.getElementById("find-text").value;
  if (!text) return;
  attempt(() => editor.FindSE(text, document.getElementById("find-case").checked,
                              document.getElementById("find-up").checked));
  editor.focus();
});

await TaviColorText.ready;
try {
  const response = await fetch("examples/sample.scr");
  if (!response.ok) throw new Error(`${response.status} ${response.statusText}`);
  load("sample.scr", await response.text());
} catch (error) {
  status.textContent = `The sample could not be loaded: ${error.message}`;
}
editor.focus();
