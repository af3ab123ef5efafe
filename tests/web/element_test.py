#!/usr/bin/python3
"""Browser tests of <tavi-color-text>: real keys and mouse (W3C actions, trusted events) into
a page with one editor; text, colours, list, hint and menu read back from the element's DOM.

  /usr/bin/python3 tests/web/element_test.py [--browser chromium|firefox] [--only NAME]
  /usr/bin/python3 tests/web/element_test.py --screenshot docs/web-editor.png

Every test runs in both browsers (Firefox ESR through its Marionette protocol): the whole
set takes seconds, so Firefox gets all of it rather than a subset. Prints each test's name
with PASS or FAIL (expected against actual) and exits 1 on a failure.
"""

import argparse
import os
import shutil
import sys
import time
import traceback

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from webdriver import Key, Server, assemble_site, start  # noqa: E402

BLUE = "rgb(0, 0, 255)"

# Reads the element's drawing back from its shadow DOM. The only place that knows the DOM
# view's structure (line divs with one span per colour run, the list, hint and menu boxes).
PROBE = r"""
const ed = document.getElementById("editor");
const root = ed.shadowRoot;
const shown = (el) => !!el && getComputedStyle(el).display !== "none" &&
    getComputedStyle(el).visibility !== "hidden" && el.getClientRects().length > 0;
const rect = (el) => { const r = el.getBoundingClientRect();
    return {left: r.left, top: r.top, width: r.width, height: r.height}; };
window.probe = {
  editorRect: () => rect(root.querySelector(".editor")),
  lines: () => [...root.querySelectorAll(".line[data-line]")].map((line) => ({
      text: line.textContent,
      runs: [...line.querySelectorAll("span")].map((s) => ({text: s.textContent,
          color: getComputedStyle(s).color,
          bold: Number(getComputedStyle(s).fontWeight) >= 600}))})),
  list: () => { const l = root.querySelector(".list");
    const rows = l ? [...l.querySelectorAll(".item")] : [];
    const chosen = l && l.querySelector(".item.current");
    return {visible: shown(l), count: rows.length, chosen: chosen ? chosen.textContent : null}; },
  hint: () => { const h = root.querySelector(".hint");
    return {visible: shown(h), text: h ? h.textContent : ""}; },
  menu: () => { const m = root.querySelector(".menu");
    const items = m ? [...m.querySelectorAll(".menu-item")] : [];
    return {visible: shown(m), items: items.map((i) => i.textContent)}; },
  menuItemRect: (i) => rect(root.querySelectorAll(".menu .menu-item")[i]),
};
"""


class Failure(Exception):
    pass


class NotReady(Exception):
    pass


def expect(what, expected, actual):
    if expected != actual:
        raise Failure("%s\n    expected: %r\n    actual:   %r" % (what, expected, actual))


def expect_error(what, number, outcome):
    expect(what + ": error number", number, outcome.get("number") if outcome else None)


class Page:
    """The test page in one browser: fresh for each test."""

    def __init__(self, browser, server):
        self.b = browser
        self.server = server

    def reset(self, setup=True):
        self.b.open(self.server.url("element_page.html"))
        # The page's module runs after the module it imports has loaded the WebAssembly, which
        # may be after the navigation returned: wait for its promise to appear, then for it.
        # A module that does not load fails fast, and ends the run (every test would wait).
        ready = self.b.run(
            "return new Promise((ok) => { const wait = () => window.editorReady ?"
            " window.editorReady.then(() => ok(true)) : setTimeout(wait, 10); wait();"
            " setTimeout(() => ok(false), 30000); })")
        if not ready:
            raise NotReady("the editor did not become ready in 30 s (does the module load?)")
        self.b.run(PROBE)
        if setup:
            # A person at work: the host's usual start (no load in progress, colouring on).
            self.js("ed.Load_flag = false; ed.m_bFirstTime = false;"
                    " ed.KeywordHighlight_flag = true;")

    def js(self, body, *args):
        """Runs script with `ed` bound to the editor; waits two frames so the view is drawn."""
        return self.b.run("const ed = document.getElementById('editor');"
                          "const result = (() => {" + body + "})();"
                          "return new Promise((r) => requestAnimationFrame(() =>"
                          " requestAnimationFrame(() => r(result))));", *args)

    def attempt(self, body):
        """Runs a member call; its Error as {number, message}, or null when it did not throw."""
        return self.js("try { " + body + "; return null; } catch (e) {"
                       " return {number: e.number, message: e.message}; }")

    def probe(self, name, *args):
        return self.js("return probe.%s(...arguments)" % name, *args)

    def settle(self):
        self.js("")

    def value(self):
        return self.js("return ed.Value")

    def selected(self):
        return self.js("return ed.Text")  # the Text property reads the selection

    def at(self, column, line):
        """Viewport pixel of a character cell of the editing area (8 x 16 pixel cells)."""
        r = self.probe("editorRect")
        return r["left"] + column * 8 + 3, r["top"] + line * 16 + 8

    def click(self, column, line, button=0, count=1):
        x, y = self.at(column, line)
        self.b.click(x, y, button, count)
        self.settle()

    def keys(self, *parts):
        self.b.keys(*parts)
        self.settle()

    def colour_of(self, word, line=0):
        """The colour and boldness of each character of the first `word` on a DOM line."""
        lines = self.probe("lines")
        text = lines[line]["text"]
        at = text.find(word)
        if at < 0:
            raise Failure("%r is not on line %d of the DOM: %r" % (word, line, text))
        styles, pos = [], 0
        for run in lines[line]["runs"]:
            for _ in run["text"]:
                if at <= pos < at + len(word):
                    styles.append((run["color"], run["bold"]))
                pos += 1
        return set(styles)

    def events(self, clear=True):
        return self.js("const e = seen.events.slice(); if (arguments[0]) seen.events = [];"
                       " return e;", clear)


TESTS = []


def test(fn):
    TESTS.append(fn)
    return fn


# ---- Typing and colours ----

@test
def typing_a_keyword_colours_it_blue_and_bold(p):
    # Keys typed into an empty editor land in the text; keywords are drawn blue and bold,
    # other words are not.
    p.click(0, 0)
    p.keys("IF x THEN QUIT")
    expect("the text", "IF x THEN QUIT", p.value())
    expect("the DOM line", "IF x THEN QUIT", p.probe("lines")[0]["text"])
    for word in ("IF", "THEN", "QUIT"):
        expect("colour of " + word, {(BLUE, True)}, p.colour_of(word))
    expect("x is not a keyword colour", False, (BLUE, True) in p.colour_of(" x "))


@test
def enter_and_backspace_edit_lines(p):
    # Enter breaks the line (CR LF in the text, two DOM lines); Backspace at the start of
    # the second line joins them again.
    p.click(0, 0)
    p.keys("WAIT 2", Key("Enter"), "QUIT")
    expect("the text after Enter", "WAIT 2\r\nQUIT", p.value())
    expect("DOM lines", ["WAIT 2", "QUIT"], [l["text"] for l in p.probe("lines")][:2])
    p.keys(Key("Home"), Key("Backspace"))
    expect("the text after Backspace", "WAIT 2QUIT", p.value())


@test
def tab_types_a_tab_and_keeps_the_focus(p):
    # Tab is the control's key: it types a tab, and the browser does not move the focus on
    # to the next element of the page (the key after it still lands in the editor).
    p.click(0, 0)
    p.keys("IF", Key("Tab"), "x")
    expect("the text", "IF\tx", p.value())
    expect("the outside textarea got nothing", "",
           p.js("return document.getElementById('outside').value"))


# ---- Keyword list and hint ----

@test
def f1_opens_the_keyword_list_typing_narrows_and_space_commits(p):
    # F1 after "QU" shows the whole keyword list; typing "E" moves its choice to the first
    # keyword starting "QUE"; Space puts that keyword in place of the typed word, and the
    # next key colours it.
    p.click(0, 0)
    p.keys("QU", Key("F1"))
    listed = p.probe("list")
    expect("list visible after F1", True, listed["visible"])
    expect("list has every keyword", True, listed["count"] > 100)
    p.keys("E")
    expect("choice after QUE", "QUEUE TO AGENT", p.probe("list")["chosen"])
    p.keys(" ")
    expect("text after Space", "QUEUE TO AGENT ", p.value())
    expect("list hidden after Space", False, p.probe("list")["visible"])
    p.keys("x")
    expect("the committed keyword is coloured", {(BLUE, True)}, p.colour_of("QUEUE TO AGENT"))


@test
def a_click_on_a_keyword_list_row_chooses_it_and_space_commits_it(p):
    # With the list open on "QUEUE TO AGENT", a click on the row above it chooses that
    # keyword (the caret stays in the text) and Space puts it in place of "QUE".
    p.click(0, 0)
    p.keys("QU", Key("F1"), "E")
    r = p.js("const row = [...ed.shadowRoot.querySelectorAll('.list .item')]"
             ".find((x) => x.textContent === 'QREMOVE FROM NACD');"
             " return row.getBoundingClientRect().toJSON()")
    p.b.click(r["left"] + 5, r["top"] + r["height"] / 2)
    p.settle()
    expect("choice after the click", "QREMOVE FROM NACD", p.probe("list")["chosen"])
    p.keys(" ")
    expect("text after Space", "QREMOVE FROM NACD ", p.value())


@test
def escape_hides_the_keyword_list(p):
    # Escape closes the list without touching the text.
    p.click(0, 0)
    p.keys("QU", Key("F1"))
    p.keys(Key("Escape"))
    expect("list hidden after Escape", False, p.probe("list")["visible"])
    expect("text kept", "QU", p.value())


@test
def a_keyword_with_parameters_shows_its_hint_until_enter(p):
    # "AND" and Space show the parameter hint beside the caret; Enter hides it.
    p.click(0, 0)
    p.keys("AND ")
    expect("hint after AND + Space", {"visible": True, "text": "tham so 1,tham so 2,tham so 3"},
           p.probe("hint"))
    p.keys(Key("Enter"))
    expect("hint after Enter", False, p.probe("hint")["visible"])


# ---- Mouse ----

@test
def a_drag_selects_and_a_double_click_selects_a_word(p):
    # Dragging from column 0 to column 4 selects "IF x"; a double click on THEN selects it.
    p.js("ed.Text = 'IF x THEN QUIT'")
    (x1, y), (x2, _) = p.at(0, 0), p.at(4, 0)
    p.b.drag(x1 - 3, y, x2 - 3, y)
    p.settle()
    expect("dragged selection", "IF x", p.selected())
    p.click(6, 0, count=2)
    expect("double-clicked word", "THEN", p.selected())


# ---- Context menu ----

@test
def the_context_menu_offers_the_hosts_captions_and_runs_the_chosen_entry(p):
    # A right click opens the control's menu with the host's six captions (the browser's own
    # menu stays closed); "Select All" selects the text, then "Delete" removes it.
    p.js("ed.m_strPopUpMenu = 'Undo,Cut,Copy,Paste,Delete,Select All'; ed.Text = 'IF x THEN QUIT'")
    p.click(1, 0, button=2)
    expect("menu", {"visible": True, "items": ["Undo", "Cut", "Copy", "Paste", "Delete",
                                                "Select All"]}, p.probe("menu"))
    p.events()
    r = p.probe("menuItemRect", 5)
    p.b.click(r["left"] + 5, r["top"] + r["height"] / 2)
    p.settle()
    expect("menu closed after a choice", False, p.probe("menu")["visible"])
    expect("events of Select All", [1005], [e for e in p.events() if e != 1006])
    expect("Select All selected the text", "IF x THEN QUIT", p.selected())
    p.click(1, 0, button=2)
    r = p.probe("menuItemRect", 4)
    p.b.click(r["left"] + 5, r["top"] + r["height"] / 2)
    p.settle()
    expect("text after Delete", "", p.value())
    expect("the DOM after Delete", "", p.probe("lines")[0]["text"])


# ---- Find and replace from script ----

@test
def find_and_replace_members_act_on_the_text_and_the_view(p):
    # FindSE selects the next match from the caret (and tells the host through its message
    # box when nothing is found); ReplaceSE and ReplaceAll change the text the DOM shows.
    # A script's changes are not coloured until ColourAll, which changes only the colours:
    # the DOM must follow that too.
    p.js("ed.m_strScriptEditor = 'Script Editor'; ed.m_strNotFoundText = 'Not found.';"
         "ed.Text = 'WAIT 2\\r\\nWAIT 3'")
    p.js("ed.FindSE('zzz', false, false)")
    expect("message box for no match", [{"text": "Not found.", "style": 64,
                                         "title": "Script Editor"}],
           p.js("return seen.boxes"))
    p.js("ed.FindSE('wait', false, false)")
    expect("first match", "WAIT", p.selected())
    p.js("ed.FindSE('WAIT', true, false); ed.ReplaceSE('WAIT', 'GIVE RINGBACK')")
    expect("text after ReplaceSE", "WAIT 2\r\nGIVE RINGBACK 3", p.value())
    p.js("ed.ReplaceAll('wait', 'QUIT', false)")
    expect("text after ReplaceAll", "QUIT 2\r\nGIVE RINGBACK 3", p.value())
    expect("DOM lines", ["QUIT 2", "GIVE RINGBACK 3"], [l["text"] for l in p.probe("lines")][:2])
    expect("the replacement before ColourAll", {("rgb(0, 0, 0)", False)},
           p.colour_of("GIVE RINGBACK", 1))
    p.js("ed.ColourAll()")
    expect("the replacement after ColourAll", {(BLUE, True)}, p.colour_of("GIVE RINGBACK", 1))


# ---- Undo ----

@test
def undo_is_the_controls_member_not_the_browsers_key(p):
    # Ctrl+Z is not an editing key of the control (the browser's own undo must not act);
    # the Undo member and the menu's Undo take back the typing, Redo gives it again.
    p.click(0, 0)
    p.keys("WAIT")
    p.keys(Key("z", "Control"))
    expect("text after Ctrl+Z", "WAIT", p.value())
    p.js("ed.Undo()")
    expect("text after Undo", "WAI", p.value())
    p.js("ed.Redo()")
    expect("text after Redo", "WAIT", p.value())
    expect("the DOM after Redo", "WAIT", p.probe("lines")[0]["text"])


# ---- Clipboard ----

@test
def ctrl_c_and_ctrl_v_go_through_the_system_clipboard(p):
    # Ctrl+C in the editor puts the selection on the system clipboard (a plain textarea
    # outside the element pastes it); Ctrl+V in the editor pastes what the page copied, its
    # LF line break as CR LF.
    p.js("ed.Text = 'IF x THEN QUIT'")
    p.click(6, 0, count=2)
    p.keys(Key("c", "Control"))
    p.keys(Key("End"), Key("v", "Control"))
    expect("pasted in the editor", "IF x THEN QUITTHEN", p.value())
    p.js("document.getElementById('outside').focus()")
    p.keys(Key("v", "Control"))
    expect("pasted outside", "THEN", p.js("return document.getElementById('outside').value"))
    p.js("const o = document.getElementById('outside'); o.value = 'WAIT 2\\nQUIT'; o.select()")
    p.keys(Key("c", "Control"))
    p.click(0, 0)
    p.keys(Key("v", "Control"))
    expect("pasted from outside", "WAIT 2\r\nQUITIF x THEN QUITTHEN", p.value())


@test
def the_hosts_copy_button_reaches_the_system_clipboard(p):
    # Copy called by the host page from its own button (not a key of the editor) still puts
    # the text on the system clipboard, with LF line breaks: a plain textarea pastes it.
    # (A Copy from script with no click before it may not write the clipboard: the browser
    # refuses that without a person's gesture.)
    p.js("ed.Text = 'SECTION Own\\r\\nQUIT'; ed.SelectAll()")
    r = p.js("return document.getElementById('copy').getBoundingClientRect().toJSON()")
    p.b.click(r["left"] + 5, r["top"] + 5)
    time.sleep(0.2)  # the page writes the system clipboard asynchronously
    p.js("document.getElementById('outside').focus()")
    p.keys(Key("v", "Control"))
    expect("pasted outside", "SECTION Own\nQUIT",
           p.js("return document.getElementById('outside').value"))


# ---- Bad values ----

@test
def a_value_that_cannot_be_converted_throws_its_number_and_changes_nothing(p):
    # Each bad value throws an Error carrying the runtime error number; the text, the limit
    # and the view stay as they were.
    p.js("ed.Text = 'WAIT 2'")
    cases = [
        {"call": "ed.Length = 'abc'", "number": 13},       # not a number
        {"call": "ed.m_MaxLen = 3e10", "number": 6},       # beyond a Long
        {"call": "ed.Length = null", "number": 94},        # Null
        {"call": "ed.HighlightLine(99, 0)", "number": 9},  # no such line
    ]
    for case in cases:
        expect_error(case["call"], case["number"], p.attempt(case["call"]))
    expect("the limit", 100000, p.js("return ed.m_MaxLen"))
    expect("the text", "WAIT 2", p.value())
    expect("the DOM", "WAIT 2", p.probe("lines")[0]["text"])


# ---- Events ----

@test
def keys_and_clicks_raise_onchange_and_onevent(p):
    # A click raises onEvent 1006; a typed key onChange then onEvent 1007 (its key up).
    p.click(0, 0)
    expect("events of a click", [1006], p.events())
    p.keys("w")
    expect("events of a key", ["onChange", 1007], p.events())


@test
def an_id_set_by_a_listener_does_not_leak_into_later_events(p):
    # A listener may write event.detail.id (it is the ByRef id); the control goes on and the
    # next event carries its own id again.
    p.js("ed.addEventListener('onEvent', (e) => { e.detail.id = 42; })")
    p.click(0, 0)
    p.keys("w")
    expect("text typed", "w", p.value())
    expect("ids the first listener saw", [1006, "onChange", 1007], p.events())


# ---- Scrolling ----

def screenshot(browser, server, path):
    """The demo page with the sample script and the keyword list open, for the README."""
    browser.set_size(900, 560)
    browser.open(server.url("index.html"))
    browser.run("return customElements.whenDefined('tavi-color-text').then(() =>"
                " document.querySelector('tavi-color-text').ready).then(() =>"
                " new Promise((r) => setTimeout(r, 500)))")
    page = Page(browser, server)
    page.b.run(PROBE.replace('getElementById("editor")', 'querySelector("tavi-color-text")'))
    r = browser.run("return probe.editorRect()")
    # A new line after "GIVE RINGBACK" (the click lands past its end), "QU", F1, "E".
    browser.click(r["left"] + 40 * 8, r["top"] + 5 * 16 + 8)
    browser.keys(Key("Enter"), "    QU", Key("F1"), "E")
    time.sleep(0.3)
    browser.screenshot(path)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--browser", choices=["chromium", "firefox"], default="chromium")
    parser.add_argument("--only", help="run the tests whose name contains this")
    parser.add_argument("--screenshot", help="write the README screenshot to this PNG")
    args = parser.parse_args()

    site = assemble_site()
    shutil.copy2(os.path.join(os.path.dirname(os.path.abspath(__file__)), "element_page.html"),
                 site)
    server = Server(site)
    browser = start(args.browser)
    failed = 0
    try:
        if args.screenshot:
            screenshot(browser, server, args.screenshot)
            print("wrote", args.screenshot)
            return 0
        page = Page(browser, server)
        for fn in TESTS:
            if args.only and args.only not in fn.__name__:
                continue
            try:
                page.reset()
                fn(page)
                print("PASS %s [%s]" % (fn.__name__, args.browser))
            except NotReady as e:
                failed += 1
                print("FAIL %s [%s]\n  %s" % (fn.__name__, args.browser, e))
                break
            except Failure as e:
                failed += 1
                print("FAIL %s [%s]\n  %s" % (fn.__name__, args.browser, e))
            except Exception as e:  # a driver or page error: report it as the test's failure
                failed += 1
                print("FAIL %s [%s]\n  %s: %s" % (fn.__name__, args.browser, type(e).__name__,
                                                 str(e)[:800]))
                if os.environ.get("TAVI_WEB_TRACE"):
                    traceback.print_exc()
            sys.stdout.flush()
    finally:
        browser.quit()
        server.stop()
    print("%s: %d failed" % (args.browser, failed))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
