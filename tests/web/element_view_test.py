#!/usr/bin/python3
"""The element's own page-side behaviour in headless Chromium: what its JavaScript decides
(the cell grid, which lines are in the page, the scroll bar, the selection boxes, the input
sink's events, the default message boxes, the listing page, the element's life), over the
real module with real keys and clicks where a person gives them.

  /usr/bin/python3 tests/web/element_view_test.py [--browser chromium|firefox] [--only NAME]

Prints each test's name with PASS or FAIL and exits 1 on a failure.
"""

import argparse
import os
import sys
import traceback

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from webdriver import Key, Server, assemble_site, start  # noqa: E402

# A page with one editor and nothing replaced: the element's defaults are under test.
PAGE_FILE = "element_view_page.html"
PAGE_HTML = """<!doctype html>
<meta charset="utf-8">
<style>body { margin: 0; } tavi-color-text { width: 614px; height: 400px; }</style>
<script type="module">import "./tavi-color-text.js";</script>
"""
SETUP = r"""
const ed = document.createElement("tavi-color-text");
ed.id = "editor";
document.body.append(ed);
window.ed = ed;
window.root = ed.shadowRoot;
window.frame = () => new Promise((r) => requestAnimationFrame(() => requestAnimationFrame(r)));
ed.Load_flag = false;
ed.m_bFirstTime = false;
ed.KeywordHighlight_flag = true;
return frame().then(() => true);
"""

TESTS = []


def test(fn):
    TESTS.append(fn)
    return fn


class Failure(Exception):
    pass


def expect(what, expected, actual):
    if expected != actual:
        raise Failure("%s\n    expected: %r\n    actual:   %r" % (what, expected, actual))


def lines_script(count):
    return "\\r\\n".join("WAIT %d" % i for i in range(count))


@test
def every_character_is_one_cell_of_eight_pixels(b):
    # Plain, bold keyword and tab characters all advance 8 pixels, so the control's pixel
    # positions are the page's.
    widths = b.run(r"""
        ed.ColourOnLoad = true;
        ed.Text = "QUEUE TO\tSKILLSET x_y\r\n\t\tWAIT 2";
        return frame().then(() => [...root.querySelectorAll(".line[data-line]")].map((line) => {
          const range = document.createRange();
          range.selectNodeContents(line);
          const width = range.getBoundingClientRect().width;
          return [line.textContent.length, Math.round(width * 100) / 100];
        }));""")
    expect("line widths", [[21, 168], [8, 64]], widths)
    bold = b.run("return [...root.querySelectorAll('.line span')]"
                 ".filter((s) => s.textContent === 'WAIT')"
                 ".map((s) => getComputedStyle(s).fontWeight)")
    expect("a keyword's weight", ["700"], bold)


@test
def only_the_visible_lines_are_in_the_page_and_the_scroll_bar_moves_them(b):
    # 2,000 lines: about a view's worth of line elements; the scroll bar's range is the
    # whole text and dragging it (its scrollTop) shows the lines from there.
    state = b.run(r"""
        ed.Text = "%s";
        return frame().then(() => {
          const bar = root.querySelector(".vscroll");
          return {rows: root.querySelectorAll(".line[data-line]").length,
                  range: bar.firstElementChild.getBoundingClientRect().height,
                  barHeight: bar.clientHeight};
        });""" % lines_script(2000))
    rows = state["rows"]
    if not 20 <= rows <= 30:
        raise Failure("line elements in the page: %d, expected about 25" % rows)
    expect("scroll range", 1999 * 16 + state["barHeight"], state["range"])
    first = b.run(r"""
        root.querySelector(".vscroll").scrollTop = 1000 * 16;
        return new Promise((r) => setTimeout(r, 50)).then(frame).then(() =>
          root.querySelector(".line[data-line]").textContent);""")
    expect("first line after the scroll bar moved", "WAIT 1000", first)
    # The keys move the caret back to the start: the bar follows the control.
    b.run("root.querySelector('textarea').focus()")
    b.keys(Key("Home", "Control"))
    top = b.run("return frame().then(() => root.querySelector('.vscroll').scrollTop)")
    expect("scroll bar at the start", 0, top)


@test
def the_wheel_scrolls_by_lines(b):
    # A wheel turn of 160 pixels down scrolls ten lines; as much up scrolls them back.
    rect = b.run(r"""
        ed.Text = "%s";
        ed.HighlightLine(100, 0);
        return frame().then(() => { const r = root.querySelector(".editor").getBoundingClientRect();
                                    return [r.left + 50, r.top + 50]; });""" % lines_script(200))
    first = int(b.run("return root.querySelector('.line[data-line]').dataset.line"))

    def wheel(dy):
        b.perform([{"type": "wheel", "id": "wheel", "actions": [
            {"type": "scroll", "x": int(rect[0]), "y": int(rect[1]), "deltaX": 0, "deltaY": dy,
             "origin": "viewport"}]}])
        return b.run("return frame().then(() => "
                     "root.querySelector('.line[data-line]').dataset.line)")

    expect("first line after 160 pixels down", str(first + 10), wheel(160))
    expect("first line after 160 pixels up", str(first), wheel(-160))


@test
def the_selection_is_drawn_per_line(b):
    # SelectAll over three lines: a box per line, the line break as one more cell.
    boxes = b.run(r"""
        ed.Text = "IF A\r\nTHEN\r\nEND IF";
        root.querySelector("textarea").focus();
        ed.SelectAll();
        return frame().then(() => [...root.querySelectorAll(".sel")].filter((s) => !s.hidden)
          .map((s) => [s.offsetLeft, s.offsetTop, s.offsetWidth]));""")
    expect("selection boxes", [[0, 0, 40], [0, 16, 40], [0, 32, 48]], boxes)


@test
def a_click_puts_the_caret_and_the_input_sink_under_it(b):
    ed = b.run(r"""
        ed.Text = "QUEUE TO SKILLSET\r\nWAIT 2";
        return frame().then(() => { const r = root.querySelector(".editor").getBoundingClientRect();
                                    return [r.left, r.top]; });""")
    b.click(ed[0] + 5 * 8 + 2, ed[1] + 16 + 5)  # line 2, between "WAIT " and "2"
    state = b.run(r"""
        return frame().then(() => { const c = root.querySelector(".caret");
          const s = root.querySelector("textarea");
          const area = root.querySelector(".editor").getBoundingClientRect();
          const at = (el) => { const r = el.getBoundingClientRect();
                               return [r.left - area.left, r.top - area.top]; };
          return {caret: at(c), sink: at(s),
                  focused: root.activeElement === s, shown: getComputedStyle(c).display}; });""")
    expect("caret and sink",
           {"caret": [40, 16], "sink": [40, 16], "focused": True, "shown": "block"}, state)


@test
def a_long_line_scrolls_across_and_the_view_follows(b):
    # Typing past the right edge scrolls the lines, the caret staying in the area and the
    # bar appearing at the control's offset; a click then lands on the column drawn under
    # it, and the keyword list opens at the caret where it is drawn.
    b.run(r"""ed.Text = "QUEUE TO SKILLSET " + "A".repeat(60) + "\r\nWAIT 2";
              root.querySelector("textarea").focus(); return frame().then(() => true)""")
    b.keys(Key("Home", "Control"), Key("End"), " WAIT 5")
    geometry = r"""
        return frame().then(frame).then(() => {
          const area = root.querySelector(".editor").getBoundingClientRect();
          const caret = root.querySelector(".caret").getBoundingClientRect();
          const bar = root.querySelector(".hscroll");
          const first = root.querySelector(".line[data-line='0']").getBoundingClientRect();
          return {caretIn: caret.left >= area.left && caret.right <= area.right,
                  barShown: !bar.hidden, barAt: Math.round(bar.scrollLeft),
                  shift: Math.round(area.left - first.left), caret: caret.left - area.left,
                  sel: ed._control().view().selStart};
        });"""
    typed = b.run(geometry)
    expect("caret in the area, bar shown", [True, True], [typed["caretIn"], typed["barShown"]])
    if typed["shift"] <= 0:
        raise Failure("the lines did not scroll: %r" % typed)
    expect("bar at the lines' offset", typed["shift"], typed["barAt"])
    expect("caret pixel at its column",
           typed["sel"] * 8 - typed["shift"], round(typed["caret"]))

    # The bar scrolled by 30 columns, then a click on the 34th character as it is drawn.
    b.run(r"""root.querySelector(".hscroll").scrollLeft = 240;
              return new Promise((r) => setTimeout(r, 50)).then(frame).then(() => true)""")
    expect("offset after the bar moved", 240, b.run("return ed._control().view().scrollX"))
    at = b.run(r"""
        const line = root.querySelector(".line[data-line='0']");
        const range = document.createRange();
        let node = null, i = 34;
        for (const span of line.children) {
          if (i < span.textContent.length) { node = span.firstChild; break; }
          i -= span.textContent.length;
        }
        range.setStart(node, i);
        range.setEnd(node, i + 1);
        const r = range.getBoundingClientRect();
        return [r.left + 2, r.top + 8];""")
    b.click(at[0], at[1])
    clicked = b.run("return frame().then(() => { const v = ed._control().view();"
                    " return [v.selStart, v.scrollX]; })")
    expect("caret and offset after the click", [34, 240], clicked)

    # F1 there opens the keyword list at the caret as it is drawn, not where the column
    # would be unscrolled.
    b.keys(Key("F1"))
    placed = b.run(r"""
        return frame().then(frame).then(() => {
          const list = root.querySelector(".list.on");
          const caret = root.querySelector(".caret").getBoundingClientRect();
          return list && Math.round(list.getBoundingClientRect().left - caret.left);
        });""")
    if placed is None or abs(placed) > 16:
        raise Failure("the list is not at the scrolled caret: %r" % (placed,))


@test
def a_composition_shows_its_preedit_and_commits_its_text(b):
    result = b.run(r"""
        ed.Text = "";
        const sink = root.querySelector("textarea");
        sink.focus();
        sink.dispatchEvent(new CompositionEvent("compositionstart", {data: ""}));
        const visible = getComputedStyle(sink).opacity;
        sink.dispatchEvent(new CompositionEvent("compositionend", {data: "日本"}));
        return [visible, getComputedStyle(sink).opacity, ed.Value, sink.value];""")
    expect("preedit shown, then hidden; text; sink empty", ["1", "0", "日本", ""], result)


@test
def the_context_menu_closes_on_escape_without_a_choice(b):
    rect = b.run(r"""
        ed.Text = "WAIT 2";
        return frame().then(() => { const r = root.querySelector(".editor").getBoundingClientRect();
                                    return [r.left, r.top]; });""")
    b.click(rect[0] + 20, rect[1] + 8, button=2)
    opened = b.run("return frame().then(() => { const m = root.querySelector('.menu');"
                   "const r = m.getBoundingClientRect();"
                   "return [m.classList.contains('on'), Math.round(r.left), Math.round(r.top)]; })")
    expect("menu open at the mouse", [True, round(rect[0] + 20), round(rect[1] + 8)], opened)
    b.keys(Key("Escape"))
    state = b.run("return frame().then(() => "
                  "[root.querySelector('.menu').classList.contains('on'), ed.Value])")
    expect("menu closed, text unchanged", [False, "WAIT 2"], state)


@test
def default_message_boxes_map_styles_to_alert_and_confirm(b):
    # Yes/No answers 6 or 7, OK/Cancel 1 or 2, OK alone is an alert answered 1; the
    # title is the first line.
    result = b.run(r"""
        const seen = [];
        window.alert = (m) => seen.push(["alert", m]);
        let answer = true;
        window.confirm = (m) => { seen.push(["confirm", m]); return answer; };
        const out = [ed.messageBox("Saved", 0, "Editor"), ed.messageBox("Go on?", 4, "")];
        answer = false;
        out.push(ed.messageBox("Go on?", 4, ""), ed.messageBox("Print?", 1, "P"),
                 ed.messageBox("?", 3, ""));
        return [out, seen[0]];""")
    expect("answers", [[1, 6, 7, 2, 7], ["alert", "Editor\n\nSaved"]], result)


@test
def printing_builds_one_listing_page_per_printed_page(b):
    # PrinterSE prints through the host's printListing; the default listing page places
    # every text and line at twips / 15 pixels.
    result = b.run(r"""
        ed.Text = "%s";
        const printouts = [];
        ed.printListing = (p) => printouts.push(p);
        ed.PrinterSE(0);
        return frame().then(() => {
          if (printouts.length !== 1) return ["printouts", printouts.length];
          const p = printouts[0];
          const doc = new DOMParser().parseFromString(ed.constructor.listingHtml(p), "text/html");
          const firstText = p.pages[0].find((i) => i.kind === "text");
          const placed = [...doc.querySelectorAll(".page")[0].querySelectorAll(".t")]
            .find((t) => t.textContent === firstText.text);
          return [doc.querySelectorAll(".page").length === p.pages.length, p.pages.length > 1,
                  Math.abs(parseFloat(placed.style.left) - firstText.x / 15) < 0.01,
                  doc.querySelectorAll("line").length ===
                    p.pages.flat().filter((i) => i.kind === "line").length,
                  [p.pageWidth, p.pageHeight]];
        });""" % lines_script(150))
    # The browser's printer prints portrait: a Letter sheet.
    expect("pages, several, text placed, lines, sheet", [True, True, True, True, [12240, 15840]],
           result)


@test
def early_properties_are_applied_and_a_disposed_element_refuses(b):
    # A property or message box set before the element is defined is not lost; after
    # dispose() every member throws error 91.
    result = b.run(r"""
        const early = document.createElement("tavi-color-text-late");
        document.body.append(early);
        early.Text = "SECTION Early";
        const hostBox = () => 7;
        early.messageBox = hostBox;
        const late = class extends ed.constructor {};
        customElements.define("tavi-color-text-late", late);
        const text = [early.Value, early.messageBox === hostBox];
        early.dispose();
        try { early.Text; return [text, "no error"]; } catch (e) { return [text, e.number]; }""")
    expect("early text and message box, error after dispose", [["SECTION Early", True], 91], result)


@test
def the_demo_opens_a_file_whole_and_saves_exactly_its_text(b):
    # A file over the usual 100,000-character limit, with CR LF breaks and characters
    # beyond ASCII, opens whole; the saved download holds exactly the editor's text.
    b.open(b.server.url("index.html"))
    result = b.run(r"""
        const ed = document.getElementById("editor");
        const text = ("SECTION Grüße\r\n    WAIT 2\r\n").repeat(5000);
        return new Promise((resolve) => {
          const check = () => document.getElementById("status").textContent.startsWith("sample.scr")
              ? (() => {
                  const input = document.getElementById("open");
                  const files = new DataTransfer();
                  files.items.add(new File([text], "big.scr", {type: "text/plain"}));
                  input.files = files.files;
                  input.dispatchEvent(new Event("change"));
                  setTimeout(() => {
                    let saved = null;
                    URL.createObjectURL = (blob) => { saved = blob; return "blob:saved"; };
                    HTMLAnchorElement.prototype.click = function() {};
                    document.getElementById("save").click();
                    saved.text().then((got) => resolve([got === text, ed.Value === text,
                        document.getElementById("status").textContent]));
                  }, 200);
                })()
              : setTimeout(check, 50);
          check();
        });""")
    expect("saved is the text, the editor holds it whole, status", [True, True, "big.scr"], result)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--only")
    parser.add_argument("--browser", default="chromium", choices=["chromium", "firefox"])
    args = parser.parse_args()
    site = assemble_site()
    with open(os.path.join(site, PAGE_FILE), "w", encoding="utf-8") as f:
        f.write(PAGE_HTML)
    server = Server(site)
    browser = start(args.browser)
    browser.server = server
    failed = passed = 0
    try:
        for fn in TESTS:
            if args.only and args.only not in fn.__name__:
                continue
            try:
                browser.open(server.url(PAGE_FILE))
                browser.run("return customElements.whenDefined('tavi-color-text').then(() => true)")
                browser.run(SETUP)
                fn(browser)
                passed += 1
                print("PASS", fn.__name__)
            except Exception as e:  # noqa: BLE001 - a test's failure of any kind is reported
                failed += 1
                print("FAIL", fn.__name__)
                print("   ", e if isinstance(e, Failure) else traceback.format_exc())
    finally:
        browser.quit()
        server.stop()
    print("%d passed, %d failed" % (passed, failed))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
