// The browser platform's control: the headless platform's widgets (the shared surface model
// on the grid of 8 x 16 pixel cells) with the core, driven by a page. A page delivers a key
// in parts (key down, then the typed text or a clipboard event, then key up), gets events
// and message boxes through hooks, and draws from a snapshot of what is visible. Plain C++:
// the browser module binds it (bindings.cpp), tavi-script drives it natively and under node.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "headless/control.h"
#include "headless/platform.h"
#include "shell/control.h"
#include "shell/dispatch.h"

namespace tavi::web {

// The page's message boxes: the page's answer, or (with no answerer) the fallback's, the
// recorded headless boxes answered OK.
class WebMessageBoxes final : public MessageBoxes {
 public:
  using Answerer = std::function<int(TextView text, int32_t style, TextView title)>;
  explicit WebMessageBoxes(MessageBoxes& fallback) : fallback_(fallback) {}
  void setAnswerer(Answerer answerer) { answerer_ = std::move(answerer); }
  int show(TextView text, int32_t style, TextView title) override;

 private:
  MessageBoxes& fallback_;
  Answerer answerer_;
};

// What the page does with a key after keyDown.
enum class KeyResult {
  kPrevent,    // done here (or swallowed): the browser's default action is prevented
  kType,       // the key types: the browser's text input follows through typeText
  kClipboard,  // a cut, copy or paste key: the browser's clipboard event follows
};
std::string_view keyResultName(KeyResult result);  // "prevent", "type", "clipboard"

// "#rrggbb" of a colour 0x00BBGGRR.
std::string cssColor(int32_t colorRef);

struct BoxView {
  int32_t left = 0, top = 0, width = 0, height = 0;
  bool operator==(const BoxView&) const = default;
};

struct RunView {
  int32_t length = 0;
  int32_t color = 0;  // 0x00BBGGRR
  bool bold = false;
  bool operator==(const RunView&) const = default;
};

struct LineView {
  int32_t line = 0;
  int32_t start = 0;  // offset of the line's first unit
  Text text;          // without its CR LF
  std::vector<RunView> runs;
  bool operator==(const LineView&) const = default;
};

struct GutterNumberView {
  Text text;
  int32_t color = 0;
  int32_t left = 0, top = 0, right = 0, bottom = 0;
  bool operator==(const GutterNumberView&) const = default;
};

struct GutterRuleView {
  int32_t x = 0, y1 = 0, y2 = 0, color = 0;
  bool operator==(const GutterRuleView&) const = default;
};

struct GutterView {
  BoxView box;
  int32_t background = 0;  // 0x00BBGGRR, system colours resolved
  std::vector<GutterNumberView> numbers;
  std::optional<GutterRuleView> rule;
  bool operator==(const GutterView&) const = default;
};

struct ListView {
  bool visible = false;
  BoxView box;
  std::vector<Text> items;
  int32_t listIndex = -1;
  bool operator==(const ListView&) const = default;
};

struct HintView {
  bool visible = false;
  Text text;
  BoxView box;
  bool operator==(const HintView&) const = default;
};

struct MenuView {
  std::vector<Text> items;
  int shown = 0;
  bool operator==(const MenuView&) const = default;
};

// What the page draws: pixels of the element (the editor's caret: of the editing area).
struct ViewSnapshot {
  uint64_t serial = 0;  // moves whenever anything below changed
  BoxView editor;
  GutterView gutter;
  int32_t lineCount = 0, firstVisibleLine = 0, visibleRows = 0;
  std::vector<LineView> lines;  // the visible lines only
  // Across: the editing area shows the lines from pixel scrollX on; the width of the widest
  // of the visible lines and the one below them, and the width the page's scroll bar spans
  // (the area's width plus how far it scrolls over those lines), pixels.
  int32_t scrollX = 0, widestLine = 0, scrollWidth = 0;
  int32_t selStart = 0, selLength = 0, caretLine = 0, caretColumn = 0;
  int32_t caretX = 0, caretY = 0;
  bool hideSelection = false;
  FocusPlace focus = FocusPlace::kAway;
  bool locked = false;
  ListView list;
  HintView hint;
  MenuView menu;
  int printed = 0;          // finished print jobs
  int clipboardSerial = 0;  // moves when the control wrote the clipboard
  bool sameDrawing(const ViewSnapshot& other) const;
};

// A dispatch call's outcome as the page sees it: a value, or a runtime error number with
// its description.
struct CallResult {
  Variant value;
  std::vector<Variant> byRef;
  int error = 0;
  std::string description;
};

struct WebHooks {
  std::function<void()> onChange;
  // The new id of onEvent's ByRef argument, or nothing to keep it.
  std::function<std::optional<int16_t>(int16_t id)> onEvent;
  WebMessageBoxes::Answerer messageBox;
  std::function<void()> invalidate;  // something drawn changed
};

// The control's own event sink hands its events to the hooks.
class WebControl final : public EventSink {
 public:
  // A control on a platform of its own, as a page has it: one installed printer,
  // "Browser", current. Sized 9000 x 6000 twips.
  WebControl();
  // A control on the thread's headless platform (tavi-script's), not sized yet.
  explicit WebControl(HeadlessPlatform& platform);
  ~WebControl() override;
  WebControl(const WebControl&) = delete;
  WebControl& operator=(const WebControl&) = delete;

  void setHooks(WebHooks hooks);

  // The dispatch interface, names without regard to case.
  CallResult get(std::string_view name);
  CallResult put(std::string_view name, Variant value);
  CallResult call(std::string_view name, std::vector<Variant> args);

  // The person's input as a page delivers it (pixels of the editing area).
  // `typesText`: the page's keyboard layout types a character with this key (the browser
  // knows its layout; the control knows which keys are its own commands).
  KeyResult keyDown(int16_t keyCode, int16_t shift, bool typesText);
  void keyUp(int16_t keyCode, int16_t shift);
  void typeText(TextView text);
  void composeText(TextView text);
  // The clipboard events: the text for the system clipboard (LF line breaks), nothing when
  // the control put none there; a paste's system text (LF line breaks; none: no text).
  std::optional<Text> clipboardCut();
  std::optional<Text> clipboardCopy();
  void clipboardPaste(const std::optional<Text>& text);
  void mouseDown(int16_t button, int16_t shift, double x, double y);
  void mouseUp(int16_t button, int16_t shift, double x, double y);
  void mouseDrag(double x, double y);
  void doubleClick(double x, double y);
  void focus(FocusPlace place);
  void listClick(int32_t index);
  void menuChoose(int16_t entry);
  void scroll(int32_t line);
  // The horizontal scroll bar: the editing area's offset across, pixels (below 0: 0).
  void scrollX(int32_t px);
  void resize(double widthPx, double heightPx);
  void tick();
  void paint();

  ViewSnapshot view();
  // The control's clipboard with LF line breaks.
  std::optional<Text> clipboardText() const;
  // The last finished print job, and the sheet it printed on (twips, by its orientation).
  const std::optional<PrintedDocument>& printout() const;
  static PageSize pageSizeOf(const PrintedDocument& document);

  HeadlessControl& widgets() { return widgets_; }
  TaviColorText& control() { return control_; }

  void onChange() override;
  void onEvent(int16_t& id) override;

 private:
  struct PendingKey {
    int16_t keyCode = 0;
    int16_t shift = 0;
  };

  // The surface's action of the clipboard key that went down, or of `fallback` for a page's
  // own clipboard event; returns the text put on the clipboard.
  std::optional<Text> clipboardAction(PendingKey fallback);
  // Tells the page when the drawing moved.
  void drawn();
  ViewSnapshot snapshot();
  int32_t rgb(int32_t color) const;

  std::unique_ptr<HeadlessPlatform> ownPlatform_;  // declared first: outlives the widgets
  HeadlessPlatform& platform_;
  HeadlessControl& widgets_;
  WebMessageBoxes messageBoxes_;
  TaviColorText control_;
  WebHooks hooks_;
  // Keys down and what went down with them: the modifiers pressed for them, and whether
  // the keyword list took them (their up never reaches the surface).
  struct DownKey {
    std::vector<int> modifiers;
    bool inList = false;
  };
  std::map<int16_t, DownKey> down_;
  std::optional<PendingKey> clipboardKey_;
  ViewSnapshot last_;
};

}  // namespace tavi::web
