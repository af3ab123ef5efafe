// The browser module loads under node and its WebControl answers as the page expects:
// node tests/web/module_smoke.mjs build/web/tavi-color-text.js (exit status 0 when it does).
import assert from "node:assert/strict";
import {createRequire} from "node:module";
import path from "node:path";

const modulePath = path.resolve(process.argv[2] ?? "build/web/tavi-color-text.js");
const moduleDir = path.dirname(modulePath);
// The factory's node branch of this emscripten still uses CommonJS names.
globalThis.require = createRequire(modulePath);
globalThis.__dirname = moduleDir;
const {default: TaviModule} = await import(modulePath);
const M = await TaviModule({locateFile: (file) => path.join(moduleDir, file)});

const c = new M.WebControl();
const events = [];
c.setHooks({
  onChange() { events.push("change"); },
  onEvent(id) { events.push(id); return id; },
});

// The dispatch interface: a value in and out, and a bad value refused with its number.
assert.deepEqual(c.put("m_strScriptEditor", "Script Editor"), {});
assert.deepEqual(c.put("m_MaxLen", 100), {});
assert.deepEqual(c.put("m_MaxLen", "abc"), {error: 13, description: "Type mismatch"});
assert.equal(c.get("m_MaxLen").value, 100);
assert.equal(c.get("NoSuchMember").error, 438);
assert.ok(c.members().some((m) => m.name === "FindSE" && m.method));

// The person types "IF " key by key as a browser delivers it; the keyword turns blue and bold.
c.put("Load_flag", false);
c.put("m_bFirstTime", false);
c.mouseDown(1, 0, 0, 0);
c.mouseUp(1, 0, 0, 0);
c.put("KeywordHighlight_flag", true);
const typeKey = (vk, shift, text) => {
  if (c.keyDown(vk, shift, true) === "type") c.typeText(text);
  c.keyUp(vk, shift);
};
assert.equal(c.keyDown(16, 1, false), "prevent");
typeKey(73, 1, "I");
typeKey(70, 1, "F");
c.keyUp(16, 0);
typeKey(32, 0, " ");
const view = c.view();
assert.equal(view.lines[0].text, "IF ");
assert.deepEqual(view.lines[0].runs[0], {length: 2, color: "#0000ff", bold: true});
assert.equal(view.selStart, 3);
assert.ok(events.includes("change"), "onChange reached the hook");

// A clipboard key leaves the event to the browser; its paste turns LF into CR LF.
assert.equal(c.keyDown(86, 2, true), "clipboard");
c.clipboardPaste("a\nb");
c.keyUp(86, 2);
assert.equal(c.view().lineCount, 2);

c.delete();
console.log("module smoke: ok");
