// <tavi-color-text>: the script editor as a custom element.
//
// This file is appended to the WebAssembly module's factory (`TaviModule`, defined above
// it), so the page imports ONE ES module. The text, the colours, the selection and every
// widget's state live in WebAssembly (`WebControl`); this file only draws the control's
// view snapshot and hands the person's input to it, the way a browser delivers it.
//
// Drawing is on the control's cell grid: one UTF-16 code unit (a tab too) is 8 CSS pixels
// wide, a line 16 pixels high, so every pixel the control speaks is a CSS pixel.
//
// What a page sees of an element:
//   editor.Text = s; editor.Value; editor.FindSE("QUEUE", false, false) ...
//       the control's members under its dispatch table's names; a failure throws an Error
//       with the runtime error `number` (13, 6, 94, 9, ...) and changes nothing
//   editor.invoke(name, ...args) -> {value, byRef}: a method with its ByRef results
//   "onChange", "onEvent" (detail.id; a listener may set it: the ByRef id) DOM events;
//   "tavi-frame" after each drawn frame
//   editor.messageBox = (text, style, title) => button; editor.printListing = (printout) => {}
//   editor.ready, TaviColorText.ready: promises (already resolved once the module is imported)
//   editor.dispose(): frees the control

const CELL_WIDTH = 8;
const CELL_HEIGHT = 16;
// The control measures the hint's and the gutter's texts at 7 pixels a character.
const MEASURE_WIDTH = 7;
// The strip beside the editing area for the browser's own scroll bar (about 15 pixels in
// Chromium and Firefox; a thinner one leaves a gap, which is harmless).
const SCROLLBAR_WIDTH = 16;
// The caret bar's width, kept in view beyond the caret's pixel as the control keeps it.
const CARET_ROOM = 2;
const TICK_MS = 100;
const FONT_FAMILY = '"DejaVu Sans Mono", "Liberation Mono", Menlo, Consolas, monospace';
// A member used after dispose(): the object is gone, as a released object reference.
const ERROR_OBJECT_NOT_SET = 91;

function runtimeError(number, description) {
  return Object.assign(new Error(description), {number});
}

// ---------------------------------------------------------------------------------------
// The font: sized once per page so that one character advances exactly CELL_WIDTH pixels.
// The advance is measured at 100px in a canvas; at the size that gives, the page's own
// text layout is measured once (browsers round glyph advances differently from a canvas)
// and what is left is taken up by letter-spacing, so long lines stay on the grid.

function measureGridFont() {
  const sample = "M".repeat(100);
  const ctx = document.createElement("canvas").getContext("2d");
  ctx.font = `100px ${FONT_FAMILY}`;
  const size = (CELL_WIDTH * 100 * 100) / ctx.measureText(sample).width;
  const probe = document.createElement("span");
  probe.style.cssText = `position:absolute;visibility:hidden;white-space:pre;left:0;top:0;` +
      `font-family:${FONT_FAMILY};font-size:${size}px;letter-spacing:0;`;
  probe.textContent = sample;
  document.documentElement.append(probe);
  const advance = probe.getBoundingClientRect().width / 100;
  probe.remove();
  return {size, letterSpacing: advance > 0 ? CELL_WIDTH - advance : 0};
}

let gridFont = null;
function gridFontOnce() {
  return (gridFont ??= measureGridFont());
}

// ---------------------------------------------------------------------------------------
// Keys: the control speaks Windows virtual-key codes, which KeyboardEvent.keyCode is for
// nearly every key. Firefox numbers a few punctuation keys and Meta differently.

const KEY_CODE_FIXES = new Map([
  [59, 186],  // ;
  [61, 187],  // =
  [173, 189],  // -
  [224, 91],  // Meta
]);

function virtualKeyOf(event) {
  return KEY_CODE_FIXES.get(event.keyCode) ?? event.keyCode;
}

// Whether the page's keyboard layout types text with the key: a printable key value, or a
// dead key whose character comes with the next key. The control decides what a key that
// types nothing does; what types on this layout only the browser knows.
function typesText(event) {
  return [...event.key].length === 1 || event.key === "Dead";
}

// AltGr (reported as Ctrl+Alt on Windows) types a character: it is no Ctrl or Alt key.
function shiftMaskOf(event) {
  const altGraph = event.getModifierState?.("AltGraph") ?? false;
  return (event.shiftKey ? 1 : 0) | (event.ctrlKey && !altGraph ? 2 : 0) |
      (event.altKey && !altGraph ? 4 : 0);
}

// MouseEvent.button 0/1/2 -> the control's 1 left, 4 middle, 2 right.
const MOUSE_BUTTONS = [1, 4, 2];

// ---------------------------------------------------------------------------------------
// The default message boxes: the page's own alert and confirm. The style's low three bits
// choose the buttons; confirm has two, so each style maps its two main buttons onto
// OK / Cancel of confirm:
//   0 OK               -> alert, returns 1 (OK)
//   1 OK/Cancel        -> confirm: 1 (OK) / 2 (Cancel)
//   2 Abort/Retry/Ign. -> confirm: 4 (Retry) / 3 (Abort)
//   3 Yes/No/Cancel    -> confirm: 6 (Yes) / 7 (No); Cancel cannot be chosen
//   4 Yes/No           -> confirm: 6 (Yes) / 7 (No)
//   5 Retry/Cancel     -> confirm: 4 (Retry) / 2 (Cancel)
// The title (when there is one) is the first line, as alert has no title of its own.

const CONFIRM_ANSWERS = {1: [1, 2], 2: [4, 3], 3: [6, 7], 4: [6, 7], 5: [4, 2]};

function pageMessageBox(text, style, title) {
  const message = title ? `${title}\n\n${text}` : String(text);
  const answers = CONFIRM_ANSWERS[style & 7];
  if (!answers) {
    window.alert(message);
    return 1;
  }
  return window.confirm(message) ? answers[0] : answers[1];
}

// ---------------------------------------------------------------------------------------
// The printed listing: the control's last print job as it laid it out (twips on the page),
// one CSS page per printed page. Twips / 15 = CSS pixels at 96 dpi.

const TWIPS_PER_PX = 15;
// The print layout's font: at size S points a character is 12 S twips wide and a line 24 S
// twips high, i.e. S / 10 of the screen's 8 x 16 cell.
const PRINT_CELL_PER_POINT = 1 / 10;
// The page size when the print job does not say it: Letter, in twips.
const DEFAULT_PAGE_TWIPS = {width: 12240, height: 15840};

function escapeHtml(text) {
  const entities = {"&": "&amp;", "<": "&lt;", ">": "&gt;", '"': "&quot;"};
  return String(text).replace(/[&<>"]/g, (c) => entities[c]);
}

function listingHtml(printout) {
  const pageWidth = (printout.pageWidth ?? DEFAULT_PAGE_TWIPS.width) / TWIPS_PER_PX;
  const pageHeight = (printout.pageHeight ?? DEFAULT_PAGE_TWIPS.height) / TWIPS_PER_PX;
  const px = (twips) => (twips / TWIPS_PER_PX).toFixed(2);
  const font = gridFontOnce();
  const pages = printout.pages.map((items) => {
    const texts = [];
    const lines = [];
    for (const item of items) {
      if (item.kind === "text") {
        const scale = item.fontSize * PRINT_CELL_PER_POINT;
        texts.push(
            `<div class="t" style="left:${px(item.x)}px;top:${px(item.y)}px;` +
            `font-size:${(font.size * scale).toFixed(3)}px;` +
            `letter-spacing:${(font.letterSpacing * scale).toFixed(4)}px;` +
            `line-height:${CELL_HEIGHT * scale}px">${escapeHtml(item.text)}</div>`);
      } else if (item.kind === "line") {
        lines.push(
            `<line x1="${px(item.x1)}" y1="${px(item.y1)}" x2="${px(item.x2)}" ` +
            `y2="${px(item.y2)}" stroke="${escapeHtml(item.color ?? "#000000")}"/>`);
      }
    }
    return `<section class="page"><svg width="${pageWidth}" height="${pageHeight}">` +
        `${lines.join("")}</svg>${texts.join("")}</section>`;
  });
  return `<!doctype html><html><head><meta charset="utf-8"><title>Listing</title><style>
@page { size: ${pageWidth}px ${pageHeight}px; margin: 0; }
html, body { margin: 0; padding: 0; }
.page { position: relative; width: ${pageWidth}px; height: ${pageHeight}px; overflow: hidden;
        break-after: page; }
.page:last-child { break-after: auto; }
.page svg { position: absolute; left: 0; top: 0; }
.t { position: absolute; white-space: pre; font-family: ${FONT_FAMILY}; }
</style></head><body>${pages.join("")}</body></html>`;
}

// The page prints a listing through a hidden frame, so the host page itself is untouched.
function printListingInFrame(printout) {
  const frame = document.createElement("iframe");
  frame.setAttribute("aria-hidden", "true");
  frame.style.cssText = "position:fixed;right:0;bottom:0;width:0;height:0;border:0;";
  frame.srcdoc = listingHtml(printout);
  frame.addEventListener("load", () => {
    const win = frame.contentWindow;
    win.addEventListener("afterprint", () => frame.remove());
    win.focus();
    win.print();
    // Browsers without afterprint after a dismissed dialog: the frame goes a minute later.
    setTimeout(() => frame.remove(), 60000);
  }, {once: true});
  document.body.append(frame);
}

// ---------------------------------------------------------------------------------------
// The element's own style (in its shadow root).

const STYLE = `
:host { display: inline-block; position: relative; width: ${600 + SCROLLBAR_WIDTH}px; height: 400px;
        background: #ffffff; color: #000000; outline: none; }
:host([hidden]) { display: none; }
.root { position: absolute; inset: 0; font-family: ${FONT_FAMILY}; line-height: ${CELL_HEIGHT}px;
        -webkit-user-select: none; user-select: none; }
.gutter, .hint { font-size: var(--measure-size); letter-spacing: var(--measure-spacing); }
.gutter { position: absolute; overflow: hidden; contain: strict; }
.number { position: absolute; text-align: right; white-space: pre; }
.rule { position: absolute; width: 1px; }
.editor { position: absolute; overflow: hidden; contain: strict; cursor: text; }
.editor.locked { background: #f4f4f4; }
.lines { position: absolute; left: 0; top: 0; right: 0; bottom: 0; }
.line { height: ${CELL_HEIGHT}px; white-space: pre; tab-size: 1; contain: size layout style; }
.line span { white-space: pre; }
.sel { position: absolute; height: ${CELL_HEIGHT}px; background: #3399ff; opacity: 0.35;
       pointer-events: none; }
.caret { position: absolute; left: 0; top: 0; width: 2px; height: ${CELL_HEIGHT}px;
         background: #000000; pointer-events: none; display: none; }
.caret.on { display: block; }
.caret.off { visibility: hidden; }
.sink { position: absolute; left: 0; top: 0; width: 1px; height: ${CELL_HEIGHT}px; padding: 0;
        margin: 0; border: 0; outline: none; resize: none; overflow: hidden; opacity: 0;
        background: transparent; color: transparent; font: inherit; letter-spacing: inherit;
        white-space: pre; z-index: 1; }
.sink.composing { opacity: 1; color: #000000; background: #ffffe0;
                  text-decoration: underline; z-index: 3; }
.vscroll { position: absolute; overflow-x: hidden; overflow-y: scroll;
           width: ${SCROLLBAR_WIDTH}px; }
.vscroll > div { width: 1px; }
.hscroll { position: absolute; overflow-x: scroll; overflow-y: hidden;
           height: ${SCROLLBAR_WIDTH}px; }
.hscroll > div { height: 1px; }
.list { position: absolute; overflow-y: auto; overflow-x: hidden; background: #ffffff;
        border: 1px solid #808080; box-sizing: border-box; z-index: 4; display: none; }
.list.on { display: block; }
.item { height: 16px; padding: 0 3px; white-space: pre; overflow: hidden; cursor: default; }
.item.current { background: #0a64d2; color: #ffffff; }
.hint { position: absolute; background: #ffffe1; border: 1px solid #000000; box-sizing: content-box;
        padding: 0; white-space: pre; overflow: hidden; z-index: 5; display: none;
        pointer-events: none; }
.hint.on { display: block; }
.menu { position: absolute; z-index: 6; background: #f6f6f6; border: 1px solid #808080;
        box-shadow: 2px 2px 4px rgba(0, 0, 0, 0.3); padding: 2px 0; display: none;
        font-family: system-ui, sans-serif; font-size: 13px; line-height: 20px; min-width: 120px; }
.menu.on { display: block; }
.menu-item { padding: 0 20px; min-height: 20px; white-space: pre; cursor: default; }
.menu-item.current { background: #0a64d2; color: #ffffff; }
`;

function div(className, parent) {
  const el = document.createElement("div");
  el.className = className;
  parent?.append(el);
  return el;
}

// Writes an element's position only when it moved: unchanged writes still cost a style
// recalculation in some engines.
function place(el, left, top, width, height) {
  const key = `${left},${top},${width},${height}`;
  if (el._place === key) return;
  el._place = key;
  el.style.left = `${left}px`;
  el.style.top = `${top}px`;
  if (width !== undefined) el.style.width = `${width}px`;
  if (height !== undefined) el.style.height = `${height}px`;
}

// Shows or hides an element, touching it only on a change: writing the same attribute
// again still costs a style pass.
function show(el, shown) {
  if (el.hidden === shown) el.hidden = !shown;
}

// Moves an element that moves with every key (the caret, the input sink) by a transform:
// no layout of the page for it.
function moveTo(el, x, y) {
  const key = `${x},${y}`;
  if (el._place === key) return;
  el._place = key;
  el.style.transform = `translate(${x}px, ${y}px)`;
}

function sameItems(a, b) {
  if (a === b) return true;
  if (!a || !b || a.length !== b.length) return false;
  for (let i = 0; i < a.length; ++i)
    if (a[i] !== b[i]) return false;
  return true;
}

// ---------------------------------------------------------------------------------------
// The text lines: one element per visible line, one span per colour run. Rows are kept and
// reused; a row is rebuilt only when its text or runs changed, so a keystroke touches one.

class LinesView {
  constructor(parent) {
    this.el = div("lines", parent);
    this.rows = [];
  }

  static signature(line) {
    let sig = line.text;
    for (const run of line.runs) sig += `\u0000${run.length},${run.color},${run.bold ? 1 : 0}`;
    return sig;
  }

  update(lines) {
    while (this.rows.length < lines.length) {
      const row = div("line", this.el);
      row._sig = null;
      this.rows.push(row);
    }
    for (let i = 0; i < this.rows.length; ++i) {
      const row = this.rows[i];
      if (i >= lines.length) {
        if (row._sig !== "") {
          row.replaceChildren();
          row._sig = "";
          delete row.dataset.line;
        }
        continue;
      }
      const line = lines[i];
      if (row.dataset.line !== String(line.line)) row.dataset.line = line.line;
      const sig = LinesView.signature(line);
      if (row._sig === sig) continue;
      row._sig = sig;
      LinesView.fill(row, LinesView.pieces(line));
    }
  }

  // The line's runs as [text, colour, bold]; text past the last run is plain.
  static pieces(line) {
    const pieces = [];
    let pos = 0;
    for (const run of line.runs) {
      if (run.length <= 0) continue;
      pieces.push([line.text.slice(pos, pos + run.length), run.color, run.bold]);
      pos += run.length;
    }
    if (pos < line.text.length) pieces.push([line.text.slice(pos), "", false]);
    return pieces;
  }

  // Updates the row's spans in place: typing changes one span's text, and only that text
  // is laid out again.
  static fill(row, pieces) {
    const spans = row.children;
    for (let i = 0; i < pieces.length; ++i) {
      const [text, color, bold] = pieces[i];
      let span = spans[i];
      if (!span) {
        span = document.createElement("span");
        span.append(document.createTextNode(""));
        span._color = "";
        span._bold = false;
        row.append(span);
      }
      if (span.firstChild.data !== text) span.firstChild.data = text;
      if (span._color !== color) span.style.color = span._color = color;
      if (span._bold !== bold) {
        span._bold = bold;
        span.style.fontWeight = bold ? "bold" : "";
      }
    }
    while (spans.length > pieces.length) row.lastChild.remove();
  }
}

// The selection as one box per visible line it covers. A selected line break shows as one
// more cell after the line's text.
class SelectionView {
  constructor(parent) {
    this.parent = parent;
    this.boxes = [];
  }

  update(v, visible) {
    let used = 0;
    const start = v.selStart;
    const end = v.selStart + v.selLength;
    if (visible && v.selLength > 0) {
      for (let i = 0; i < v.lines.length; ++i) {
        const line = v.lines[i];
        const lineEnd = line.start + line.text.length;
        const breakLength = line.line < v.lineCount - 1 ? 2 : 0;
        if (end <= line.start || start >= lineEnd + breakLength) continue;
        const from = Math.max(start, line.start) - line.start;
        const to = Math.min(end, lineEnd) - line.start;
        const breakCell = end > lineEnd && breakLength > 0 ? 1 : 0;
        const width = (to - from + breakCell) * CELL_WIDTH;
        if (width <= 0) continue;
        if (used === this.boxes.length) this.boxes.push(div("sel", this.parent));
        const box = this.boxes[used++];
        show(box, true);
        place(box, from * CELL_WIDTH - v.scrollX, (line.line - v.firstVisibleLine) * CELL_HEIGHT,
              width);
      }
    }
    for (let i = used; i < this.boxes.length; ++i) show(this.boxes[i], false);
  }
}

// The gutter: its background, the line numbers where the control painted them, the rule.
class GutterView {
  constructor(parent) {
    this.el = div("gutter", parent);
    this.rule = div("rule", this.el);
    this.numbers = [];
  }

  update(g) {
    place(this.el, g.left, g.top, g.width, g.height);
    show(this.el, g.width > 0);
    if (this.el._bg !== g.background) this.el.style.background = this.el._bg = g.background;
    const numbers = g.numbers ?? [];
    while (this.numbers.length < numbers.length) this.numbers.push(div("number", this.el));
    for (let i = 0; i < this.numbers.length; ++i) {
      const el = this.numbers[i];
      const n = numbers[i];
      show(el, !!n);
      if (!n) continue;
      place(el, n.left, n.top, n.right - n.left, n.bottom - n.top);
      if (el.textContent !== n.text) el.textContent = n.text;
      if (el._color !== n.color) el.style.color = el._color = n.color;
    }
    show(this.rule, !!g.rule);
    if (g.rule) {
      place(this.rule, g.rule.x, g.rule.y1, undefined, g.rule.y2 - g.rule.y1);
      if (this.rule._color !== g.rule.color)
        this.rule.style.background = this.rule._color = g.rule.color;
    }
  }
}

// The keyword list: a listbox of rows at the control's position; the current entry is kept
// in view by the list's own scroll position, which is only written, never read, here.
class KeywordListView {
  constructor(parent, onChoose) {
    this.el = div("list", parent);
    this.el.setAttribute("role", "listbox");
    this.items = null;
    this.current = -1;
    this.scrollRow = 0;
    // A press on the list must not take the focus from the input sink.
    this.el.addEventListener("mousedown", (e) => e.preventDefault());
    this.el.addEventListener("click", (e) => {
      const row = e.target.closest(".item");
      if (row) onChoose(Number(row.dataset.index));
    });
  }

  update(list) {
    this.el.classList.toggle("on", !!list.visible);
    if (!list.visible) return;
    place(this.el, list.left, list.top, list.width, list.height);
    if (!sameItems(this.items, list.items)) {
      this.items = list.items.slice();
      this.current = -1;
      this.scrollRow = 0;
      this.el.scrollTop = 0;
      this.el.replaceChildren(...this.items.map((text, index) => {
        const row = document.createElement("div");
        row.className = "item";
        row.setAttribute("role", "option");
        row.dataset.index = index;
        row.textContent = text;
        return row;
      }));
    }
    if (this.current !== list.listIndex) {
      this.el.children[this.current]?.classList.remove("current");
      this.el.children[this.current]?.removeAttribute("aria-selected");
      this.current = list.listIndex;
      const row = this.el.children[this.current];
      if (row) {
        row.classList.add("current");
        row.setAttribute("aria-selected", "true");
        const rows = Math.max(1, Math.floor((list.height - 2) / 16));
        if (this.current < this.scrollRow) this.scrollRow = this.current;
        else if (this.current >= this.scrollRow + rows) this.scrollRow = this.current - rows + 1;
        this.el.scrollTop = this.scrollRow * 16;
      }
    }
  }
}

class HintView {
  constructor(parent) {
    this.el = div("hint", parent);
    this.el.setAttribute("role", "tooltip");
  }

  update(hint) {
    this.el.classList.toggle("on", !!hint.visible);
    if (!hint.visible) return;
    place(this.el, hint.left, hint.top, hint.width, hint.height);
    if (this.el.textContent !== hint.text) this.el.textContent = hint.text;
  }
}

// The context menu: opened by the page when the control shows it, at the last mouse
// position; an entry chosen goes back to the control by its index. Escape, a press
// elsewhere or the focus leaving closes it without a choice.
class ContextMenuView {
  constructor(parent, onChoose) {
    this.el = div("menu", parent);
    this.el.setAttribute("role", "menu");
    this.onChoose = onChoose;
    this.entries = [];
    this.current = -1;
    this.el.addEventListener("mousedown", (e) => e.preventDefault());
    this.el.addEventListener("click", (e) => {
      const row = e.target.closest(".menu-item");
      if (row) this.choose(Number(row.dataset.index));
    });
    this.el.addEventListener("mousemove", (e) => {
      const row = e.target.closest(".menu-item");
      if (row) this.highlight(Number(row.dataset.index));
    });
  }

  get isOpen() {
    return this.el.classList.contains("on");
  }

  open(items, x, y) {
    // Every caption is an entry, an empty one too: the control numbers them by position.
    this.entries = items.map((text, index) => {
      const row = div("menu-item");
      row.setAttribute("role", "menuitem");
      row.dataset.index = index;
      // "&x" marks the entry's access key: underlined, the ampersand not shown.
      const amp = text.search(/&[^&]/);
      if (amp >= 0) {
        const u = document.createElement("u");
        u.textContent = text[amp + 1];
        const plain = (part) => part.replace(/&&/g, "&");
        row.append(plain(text.slice(0, amp)), u, plain(text.slice(amp + 2)));
      } else {
        row.textContent = text.replace(/&&/g, "&");
      }
      return row;
    });
    this.el.replaceChildren(...this.entries);
    this.current = -1;
    place(this.el, x, y);
    this.el.classList.add("on");
  }

  close() {
    this.el.classList.remove("on");
    this.current = -1;
  }

  choose(index) {
    this.close();
    this.onChoose(index);
  }

  highlight(index) {
    this.entries[this.current]?.classList.remove("current");
    this.current = index;
    this.entries[index]?.classList.add("current");
  }

  // Keys while the menu is open: Up/Down move, Enter chooses, Escape closes. Every key is
  // the menu's while it is open, as a native menu holds the keyboard.
  key(event) {
    const count = this.entries.length;
    const at = this.current;
    if (event.key === "Escape") this.close();
    else if (event.key === "ArrowDown" && count) this.highlight((at + 1) % count);
    else if (event.key === "ArrowUp" && count) this.highlight((at - 1 + count) % count);
    else if (event.key === "Enter" && at >= 0) this.choose(at);
    event.preventDefault();
  }
}

// The caret: a blinking bar at the control's caret pixel, shown while the surface has the
// focus. The blink starts afresh when the caret moves, so a moving caret is always seen.
// A timer blinks it rather than a CSS animation: restarting an animation on every key
// costs a style pass, restarting a timer costs nothing.
const BLINK_MS = 530;

class CaretView {
  constructor(parent) {
    this.el = div("caret", parent);
    this.shown = false;
    this.timer = 0;
  }

  update(x, y, shown) {
    const moved = this.el._place !== `${x},${y}`;
    if (moved) moveTo(this.el, x, y);
    if (shown !== this.shown) {
      this.shown = shown;
      this.el.classList.toggle("on", shown);
    }
    if (!shown) this.stop();
    else if (moved || !this.timer) this.restart();
  }

  restart() {
    clearInterval(this.timer);
    if (this.el.classList.contains("off")) this.el.classList.remove("off");
    this.timer = setInterval(() => this.el.classList.toggle("off"), BLINK_MS);
  }

  stop() {
    clearInterval(this.timer);
    this.timer = 0;
  }
}

// ---------------------------------------------------------------------------------------
// The input sink: a hidden textarea at the caret that holds the focus. Keys go to the
// control on keydown; the control answers whether the browser should go on and deliver
// typed text ("type") or a clipboard event ("clipboard"), or nothing ("prevent"). The
// textarea is kept empty: it only ever shows an input method's preedit.

class InputSink {
  constructor(parent, host) {
    this.host = host;
    this.el = document.createElement("textarea");
    this.el.className = "sink";
    this.el.setAttribute("autocomplete", "off");
    this.el.setAttribute("autocorrect", "off");
    this.el.setAttribute("autocapitalize", "off");
    this.el.setAttribute("spellcheck", "false");
    this.el.setAttribute("aria-label", "Script editor");
    this.el.setAttribute("aria-multiline", "true");
    this.el.wrap = "off";
    parent.append(this.el);
    this.composing = false;
    this.pressed = new Set();  // keys whose keydown went to the control
    const on = (type, handler) => this.el.addEventListener(type, handler);
    on("keydown", (e) => this.keyDown(e));
    on("keyup", (e) => this.keyUp(e));
    on("beforeinput", (e) => this.beforeInput(e));
    on("input", () => {
      if (!this.composing) this.el.value = "";
    });
    on("compositionstart", () => this.compositionStart());
    on("compositionupdate", (e) => this.fitPreedit(e.data ?? ""));
    on("compositionend", (e) => this.compositionEnd(e));
    on("copy", (e) => this.clipboard(e, () => host._control().clipboardCopy()));
    on("cut", (e) => this.clipboard(e, () => host._control().clipboardCut()));
    on("paste", (e) => {
      e.preventDefault();
      // No text on the clipboard (an image, nothing) is null, not an empty text: the
      // control's Paste then pastes nothing rather than deleting the selection.
      const data = e.clipboardData;
      const hasText = data && [...data.types].includes("text/plain");
      const text = hasText ? data.getData("text/plain") : null;
      host._input((c) => c.clipboardPaste(text));
    });
    on("focus", () => host._input((c) => c.focus("surface")));
    on("blur", () => {
      this.pressed.clear();
      host._menu.close();
      host._input((c) => c.focus("away"));
    });
    on("drop", (e) => e.preventDefault());
  }

  keyDown(e) {
    if (this.host._menu.isOpen) {
      this.host._menu.key(e);
      return;
    }
    // An input method is composing: its keys are its own.
    if (e.isComposing || e.keyCode === 229 || this.composing) return;
    if (e.keyCode === 0) return;  // no key code (some dead keys): its text still comes
    const vk = virtualKeyOf(e);
    this.pressed.add(vk);
    this.host._keyboardUsed();
    const answer = this.host._input((c) => c.keyDown(vk, shiftMaskOf(e), typesText(e)));
    if (answer === "prevent") e.preventDefault();
    // "type" and "clipboard": the browser goes on to beforeinput or its clipboard event.
  }

  // Only a key whose press the control had is released to it (not the menu's keys, not an
  // input method's).
  keyUp(e) {
    const vk = virtualKeyOf(e);
    if (!this.pressed.delete(vk)) return;
    this.host._input((c) => c.keyUp(vk, shiftMaskOf(e)));
  }

  beforeInput(e) {
    // The preedit of a composition is the textarea's to show; only its end is text.
    if (e.inputType === "insertCompositionText" || e.isComposing) return;
    e.preventDefault();
    if (e.inputType === "insertText" && e.data) this.host._input((c) => c.typeText(e.data));
    // Everything else (line breaks, deletions, history, drops) came as keys the control
    // already acted on, or is not the textarea's to do.
  }

  compositionStart() {
    this.composing = true;
    this.el.classList.add("composing");
    this.fitPreedit("");
  }

  // The preedit box grows with the text; a wide (East Asian) character takes two cells.
  fitPreedit(text) {
    let cells = 1;
    for (const ch of text) cells += ch.codePointAt(0) >= 0x2e80 ? 2 : 1;
    this.el.style.width = `${cells * CELL_WIDTH}px`;
  }

  compositionEnd(e) {
    this.composing = false;
    this.el.classList.remove("composing");
    this.el.style.width = "";
    this.el.value = "";
    if (e.data) this.host._input((c) => c.composeText(e.data));
  }

  clipboard(e, take) {
    e.preventDefault();
    const text = this.host._input(take);
    if (text !== null && text !== undefined) e.clipboardData.setData("text/plain", text);
    // The copy event put the text on the system clipboard itself: no mirroring after it.
    this.host._clipboardHandled();
  }

  moveTo(x, y) {
    moveTo(this.el, x, y);
  }
}

// ---------------------------------------------------------------------------------------
// The element.

// The module is loaded once per page and shared by every element. The import of this
// module waits for it (top-level await), so an element is ready from its constructor on:
// there is no time in which a member exists but the control does not, and so no error
// number for "not ready yet" and no queue of early calls. Chosen over a queue, which would
// have to answer a get before the control could. Properties a page set on an element
// before this module defined it are applied when it is upgraded (a method called that
// early does not exist yet: the page's own TypeError). Under node (the module's tests)
// there is no DOM: the factory alone is exported.
const taviModule = typeof HTMLElement === "undefined" ? null : await TaviModule();

let membersDefined = false;

const TaviColorText = typeof HTMLElement === "undefined" ? undefined :
class TaviColorText extends HTMLElement {
  static ready = Promise.resolve(taviModule);
  static listingHtml = listingHtml;

  #c;
  #frameRequested = false;
  #painting = false;
  #lastSerial = -1;
  #lastShown = 0;
  #lastPrinted = 0;
  #lastClipboardSerial = 0;
  #scrollLine = 0;
  // Across: the offset the bar shows, and whether the bar is there (it takes a row).
  #scrollX = 0;
  #hBar = false;
  #box = null;  // the element's size as last observed
  #contentLines = -1;
  #timer = 0;
  #resizeObserver = null;
  #lastMouse = {x: 0, y: 0};
  #wheelPixels = 0;
  #menuAtMouse = false;  // the last input was the mouse's: a menu opens where it is
  #view = null;

  constructor() {
    super();
    this.#c = new taviModule.WebControl();
    if (!membersDefined) {
      TaviColorText.#defineMembers(this.#c.members());
      membersDefined = true;
    }
    this.ready = Promise.resolve(this);
    // Replaceable by the host; see pageMessageBox and listingHtml. A host's own, set
    // before the element was upgraded, stays.
    if (!Object.hasOwn(this, "messageBox")) this.messageBox = pageMessageBox;
    if (!Object.hasOwn(this, "printListing")) this.printListing = printListingInFrame;
    this.#c.setHooks({
      onChange: () => this.dispatchEvent(new CustomEvent("onChange")),
      onEvent: (id) => {
        const detail = {id};
        this.dispatchEvent(new CustomEvent("onEvent", {detail}));
        return detail.id;
      },
      // A host's answer that is not a button number counts as OK.
      messageBox: (text, style, title) => Number(this.messageBox(text, style, title)) || 1,
      invalidate: () => {
        if (!this.#painting) this.#requestFrame();
      },
    });
    this.#build();
    this.#takeOverEarlyProperties();
  }

  // --- the dispatch members ------------------------------------------------------------

  // One accessor or method per member of the control's dispatch table, named as the table
  // spells it. A name the element already has (from HTMLElement) is left alone; such a
  // member is still reached through invoke().
  static #defineMembers(rows) {
    TaviColorText.memberNames = [];
    for (const row of rows) {
      if (row.name in TaviColorText.prototype) continue;
      TaviColorText.memberNames.push(row.name);
      const name = row.name;
      if (row.method && !row.get && !row.put) {
        Object.defineProperty(TaviColorText.prototype, name, {
          configurable: true,
          writable: true,
          value: function(...args) {
            return this.invoke(name, ...args).value;
          },
        });
        continue;
      }
      Object.defineProperty(TaviColorText.prototype, name, {
        configurable: true,
        get: row.get ? function() {
          return TaviColorText.#unwrap(this.#live().get(name)).value;
        } : undefined,
        set: row.put ? function(value) {
          TaviColorText.#unwrap(this.#live().put(name, value));
        } : undefined,
      });
    }
  }

  static #unwrap(result) {
    if (result.error !== undefined) throw runtimeError(result.error, result.description);
    return result;
  }

  // A method call with its ByRef results: {value, byRef}.
  invoke(name, ...args) {
    return TaviColorText.#unwrap(this.#live().call(name, args));
  }

  #live() {
    if (!this.#c)
      throw runtimeError(ERROR_OBJECT_NOT_SET, "Object variable or With block variable not set");
    return this.#c;
  }

  #takeOverEarlyProperties() {
    for (const name of TaviColorText.memberNames) {
      if (!Object.prototype.hasOwnProperty.call(this, name)) continue;
      const value = this[name];
      delete this[name];
      // A value the control refuses is reported, and the element is made all the same.
      try {
        this[name] = value;
      } catch (error) {
        reportError(error);
      }
    }
  }

  // Frees the control. The element keeps it while it lives, also while it is out of the
  // document, so that a moved element keeps its text.
  dispose() {
    this.#stop();
    this.#c?.delete();
    this.#c = null;
  }

  // --- life in the document ------------------------------------------------------------

  connectedCallback() {
    if (!this.#c) return;
    if (!this.#timer) this.#timer = setInterval(() => this.#input((c) => c.tick()), TICK_MS);
    this.#resizeObserver ??= new ResizeObserver((entries) => {
      const box = entries[entries.length - 1].contentRect;
      this.#box = {width: Math.round(box.width), height: Math.round(box.height)};
      this.#layOut();
    });
    this.#resizeObserver.observe(this);
    document.addEventListener("mousedown", this.#pressOutside, true);
    this.#requestFrame();
  }

  // The control gets the element's size less the scroll bars' strips.
  #layOut() {
    if (!this.#box) return;
    const width = Math.max(0, this.#box.width - SCROLLBAR_WIDTH);
    const height = Math.max(0, this.#box.height - (this.#hBar ? SCROLLBAR_WIDTH : 0));
    this.#input((c) => c.resize(width, height));
  }

  disconnectedCallback() {
    this.#stop();
  }

  #stop() {
    clearInterval(this.#timer);
    this.#timer = 0;
    this.#resizeObserver?.disconnect();
    this.#view?.caret.stop();
    document.removeEventListener("mousedown", this.#pressOutside, true);
  }

  #pressOutside = (e) => {
    if (this.#view && this.#view.menu.isOpen && !e.composedPath().includes(this.#view.menu.el))
      this.#view.menu.close();
  };

  // Every input goes through here. The control asks for a frame itself (invalidate) when
  // the input changed what is drawn, so the timer's ticks cost nothing when idle. Input to
  // a disposed element is dropped.
  _input(action) {
    return this.#input(action);
  }

  #input(action) {
    if (!this.#c) return undefined;
    const result = action(this.#c);
    // A failure inside the control during input has no caller to throw to: the page hears
    // of it (window "error") and the input is done.
    if (result !== null && typeof result === "object" && result.error !== undefined) {
      reportError(runtimeError(result.error, result.description));
      return undefined;
    }
    return result;
  }

  _control() {
    return this.#c;
  }

  _keyboardUsed() {
    this.#menuAtMouse = false;
  }

  _clipboardHandled() {
    if (this.#c) this.#lastClipboardSerial = this.#c.view().clipboardSerial;
  }

  get _menu() {
    return this.#view.menu;
  }

  // --- the view --------------------------------------------------------------------------

  #build() {
    const root = this.attachShadow({mode: "open", delegatesFocus: true});
    const style = document.createElement("style");
    style.textContent = STYLE;
    const font = gridFontOnce();
    const top = div("root");
    top.style.fontSize = `${font.size}px`;
    top.style.letterSpacing = `${font.letterSpacing}px`;
    const measure = MEASURE_WIDTH / CELL_WIDTH;
    top.style.setProperty("--measure-size", `${font.size * measure}px`);
    top.style.setProperty("--measure-spacing", `${font.letterSpacing * measure}px`);
    root.append(style, top);

    const gutter = new GutterView(top);
    const editor = div("editor", top);
    editor.setAttribute("part", "editor");
    const lines = new LinesView(editor);
    const selection = new SelectionView(editor);
    const caret = new CaretView(editor);
    const sink = new InputSink(editor, this);
    const scroller = div("vscroll", top);
    const scrollContent = div("", scroller);
    const hScroller = div("hscroll", top);
    const hScrollContent = div("", hScroller);
    show(hScroller, false);
    const list = new KeywordListView(top, (i) => this.#input((c) => c.listClick(i)));
    const hint = new HintView(top);
    // The control numbers its menu entries from 1.
    const menu = new ContextMenuView(top, (i) => this.#input((c) => c.menuChoose(i + 1)));
    this.#view = {root: top, gutter, editor, lines, selection, caret, sink, scroller,
                  scrollContent, hScroller, hScrollContent, list, hint, menu};

    this.#listenToMouse(editor, top);
    scroller.addEventListener("scroll", () => {
      const line = Math.round(scroller.scrollTop / CELL_HEIGHT);
      if (line === this.#scrollLine) return;
      this.#scrollLine = line;
      this.#input((c) => c.scroll(line));
    });
    hScroller.addEventListener("scroll", () => {
      const px = Math.round(hScroller.scrollLeft);
      if (px === this.#scrollX) return;
      this.#scrollX = px;
      this.#input((c) => c.scrollX(px));
    });
    editor.addEventListener("wheel", (e) => this.#wheel(e), {passive: false});
    // The editing area never scrolls itself (the control scrolls by lines); a browser that
    // scrolled it to show the input sink is put back.
    editor.addEventListener("scroll", () => {
      editor.scrollTop = 0;
      editor.scrollLeft = 0;
    });
  }

  #listenToMouse(editor, root) {
    const local = (e) => {
      const box = editor.getBoundingClientRect();
      return {x: e.clientX - box.left, y: e.clientY - box.top};
    };
    const remember = (e) => {
      const box = root.getBoundingClientRect();
      this.#lastMouse = {x: e.clientX - box.left, y: e.clientY - box.top};
      this.#menuAtMouse = true;
    };
    const move = (e) => {
      const {x, y} = local(e);
      this.#input((c) => c.mouseDrag(x, y));
    };
    const up = (e) => {
      const button = MOUSE_BUTTONS[e.button];
      if (!button) return;
      remember(e);
      const {x, y} = local(e);
      this.#input((c) => c.mouseUp(button, shiftMaskOf(e), x, y));
    };
    // While the left button is held the page listens on the window: a drag may leave the
    // element and the release come anywhere.
    const dragUp = (e) => {
      if (e.button !== 0) return;
      window.removeEventListener("mousemove", move, true);
      window.removeEventListener("mouseup", dragUp, true);
      up(e);
    };
    editor.addEventListener("mousedown", (e) => {
      const button = MOUSE_BUTTONS[e.button];
      if (!button) return;
      // The browser's own text selection and focus change are not the control's.
      e.preventDefault();
      this.#view.menu.close();
      this.#view.sink.el.focus({preventScroll: true});
      remember(e);
      const {x, y} = local(e);
      this.#input((c) => c.mouseDown(button, shiftMaskOf(e), x, y));
      if (button === 1) {
        window.addEventListener("mousemove", move, true);
        window.addEventListener("mouseup", dragUp, true);
      }
    });
    // The other buttons' releases count over the editing area only, as the control's own
    // widgets see them.
    editor.addEventListener("mouseup", (e) => {
      if (e.button !== 0) up(e);
    });
    editor.addEventListener("dblclick", (e) => {
      const {x, y} = local(e);
      this.#input((c) => c.doubleClick(x, y));
    });
    editor.addEventListener("contextmenu", (e) => e.preventDefault());
  }

  #wheel(e) {
    // A horizontal wheel, or the vertical one with Shift held, scrolls across.
    const across = e.deltaX || (e.shiftKey ? e.deltaY : 0);
    if (across) {
      e.preventDefault();
      const unit = [1, CELL_WIDTH, this.#lastEditorWidth][e.deltaMode] ?? 1;
      const target = Math.max(0, Math.min(this.#lastScrollX + Math.round(across * unit),
                                          this.#lastScrollMaxX));
      if (target === this.#lastScrollX) return;
      this.#lastScrollX = target;  // wheel events before the next frame add up
      this.#input((c) => c.scrollX(target));
      return;
    }
    if (!e.deltaY) return;
    e.preventDefault();
    const rows = this.#lastViewRows || 1;
    // deltaMode: 0 pixels, 1 lines, 2 pages.
    const unit = [1, CELL_HEIGHT, rows * CELL_HEIGHT][e.deltaMode] ?? 1;
    const pixels = e.deltaY * unit;
    this.#wheelPixels += pixels;
    const lines = Math.trunc(this.#wheelPixels / CELL_HEIGHT);
    if (!lines) return;
    this.#wheelPixels -= lines * CELL_HEIGHT;
    const target = Math.max(0, Math.min(this.#lastFirstLine + lines, this.#contentLines - 1));
    this.#lastFirstLine = target;  // wheel events before the next frame add up
    this.#input((c) => c.scroll(target));
  }

  #lastViewRows = 0;
  #lastFirstLine = 0;
  #lastScrollX = 0;
  #lastScrollMaxX = 0;
  #lastEditorWidth = 0;

  #requestFrame() {
    if (this.#frameRequested || !this.isConnected) return;
    this.#frameRequested = true;
    requestAnimationFrame(() => {
      this.#frameRequested = false;
      this.#drawFrame();
    });
  }

  // One frame: the control paints its gutter, then the snapshot is drawn. Only writes to
  // the page happen here (no layout is read), so the browser lays out once.
  #drawFrame() {
    const c = this.#c;
    if (!c) return;
    this.#painting = true;
    try {
      c.paint();
    } finally {
      this.#painting = false;
    }
    const v = c.view();
    if (v.error !== undefined) {
      reportError(runtimeError(v.error, v.description));
      return;
    }
    if (v.serial === this.#lastSerial) return;
    this.#lastSerial = v.serial;
    this.#render(v);
  }

  #render(v) {
    const view = this.#view;
    this.#lastViewRows = v.visibleRows;
    this.#lastFirstLine = v.firstVisibleLine;
    this.#lastScrollX = v.scrollX;
    this.#lastScrollMaxX = Math.max(0, v.scrollWidth - v.editor.width);
    this.#lastEditorWidth = v.editor.width;

    const ed = v.editor;
    place(view.editor, ed.left, ed.top, ed.width, ed.height);
    view.editor.classList.toggle("locked", !!v.locked);
    view.gutter.update(v.gutter);
    view.lines.update(v.lines);
    moveTo(view.lines.el, -v.scrollX, 0);

    const focused = v.focus === "surface" || v.focus === "list";
    // The control took the focus itself (a member that sets it, as reading Value does):
    // the keyboard follows, as it does for a native control.
    if (focused && this.shadowRoot.activeElement !== view.sink.el)
      view.sink.el.focus({preventScroll: true});
    view.selection.update(v, !(v.hideSelection && !focused));
    view.caret.update(v.caret.x, v.caret.y, v.focus === "surface" && v.selLength === 0);
    // The sink stays inside the editing area even when the caret is scrolled out of it:
    // the browser would scroll the area to show a focused field outside it.
    view.sink.moveTo(Math.max(0, Math.min(v.caret.x, ed.width - CELL_WIDTH)),
                     Math.max(0, Math.min(v.caret.y, ed.height - CELL_HEIGHT)));
    view.list.update(v.list);
    view.hint.update(v.hint);

    if (v.menu.shown > this.#lastShown) {
      this.#lastShown = v.menu.shown;
      // Opened from the keyboard (the menu key, Shift+F10): under the caret instead.
      const at = this.#menuAtMouse ? this.#lastMouse
                                   : {x: ed.left + v.caret.x, y: ed.top + v.caret.y + CELL_HEIGHT};
      view.menu.open(v.menu.items, at.x, at.y);
    }
    if (v.printed > this.#lastPrinted) {
      this.#lastPrinted = v.printed;
      this.printListing(this.#c.printout());
    }
    if (v.clipboardSerial !== this.#lastClipboardSerial) {
      this.#lastClipboardSerial = v.clipboardSerial;
      // The control's own Cut/Copy (its menu, a script): mirrored to the system clipboard,
      // best effort (the page may not be allowed to write it).
      const text = this.#c.clipboardText();
      if (text !== null && navigator.clipboard) navigator.clipboard.writeText(text).catch(() => {});
    }

    // The scroll bar last: writing its position may lay the page out.
    place(view.scroller, ed.left + ed.width, ed.top, undefined, ed.height);
    if (this.#contentLines !== v.lineCount) {
      this.#contentLines = v.lineCount;
      const range = Math.max(0, v.lineCount - 1) * CELL_HEIGHT + ed.height;
      view.scrollContent.style.height = `${range}px`;
    }
    if (this.#scrollLine !== v.firstVisibleLine) {
      this.#scrollLine = v.firstVisibleLine;
      view.scroller.scrollTop = v.firstVisibleLine * CELL_HEIGHT;
    }
    this.#updateAcross(v);
    this.dispatchEvent(new CustomEvent("tavi-frame"));
  }

  // The horizontal bar: there while the lines in view are wider than the editing area or
  // the area is scrolled across. It takes a row from the control; it goes only when the
  // lines it gives the row back to fit too (the snapshot's width counts the row below),
  // so that a long line on that row cannot make it come and go.
  #updateAcross(v) {
    const view = this.#view;
    const ed = v.editor;
    let visibleWidest = 0;
    for (const line of v.lines) visibleWidest = Math.max(visibleWidest, line.text.length);
    const wanted = this.#hBar ? v.scrollWidth > ed.width || v.scrollX > 0
                              : visibleWidest * CELL_WIDTH + CARET_ROOM > ed.width || v.scrollX > 0;
    if (wanted !== this.#hBar) {
      this.#hBar = wanted;
      show(view.hScroller, wanted);
      this.#layOut();  // the next frame draws the area at its new size
    }
    if (!wanted) {
      view.hScroller._shown = false;  // a hidden bar forgets its position
      return;
    }
    place(view.hScroller, ed.left, ed.top + ed.height, ed.width);
    if (view.hScrollContent._width !== v.scrollWidth) {
      view.hScrollContent._width = v.scrollWidth;
      view.hScrollContent.style.width = `${v.scrollWidth}px`;
    }
    if (this.#scrollX !== v.scrollX || !view.hScroller._shown) {
      view.hScroller._shown = true;
      this.#scrollX = v.scrollX;
      view.hScroller.scrollLeft = v.scrollX;
    }
  }
};

if (TaviColorText && !customElements.get("tavi-color-text"))
  customElements.define("tavi-color-text", TaviColorText);

export {TaviColorText};
