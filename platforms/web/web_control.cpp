#include "web/web_control.h"

#include <algorithm>
#include <exception>

#include "headless/metrics.h"
#include "shell/keys.h"
#include "shell/runtime_error.h"
#include "surface/editing_keys.h"
#include "surface/horizontal_scroll.h"
#include "surface/insertion.h"

namespace tavi::web {

using headless::kTwipsPerPixel;

namespace {

// The page's own clipboard events (its menu, not a key) run the surface's action of these
// keys.
constexpr int16_t kCutKey = vk::kX;
constexpr int16_t kCopyKey = vk::kC;
constexpr int16_t kPasteKey = vk::kV;

// Dispatch-level failures as the runtime numbers them.
constexpr int kNoSuchMember = 438;
constexpr int kWrongArguments = 450;

Widgets webWidgets(HeadlessControl& widgets, MessageBoxes& messages) {
  Widgets w = widgets.widgets();
  w.messages = &messages;
  return w;
}

int32_t pixels(double twips) { return static_cast<int32_t>(twips / kTwipsPerPixel); }

CallResult invokeByName(TaviColorText& control, std::string_view name, MemberKind kind,
                        std::vector<Variant> args) {
  CallResult r;
  try {
    const DispatchTable& table = DispatchTable::instance();
    const std::optional<int32_t> dispid = table.idOfName(name);
    if (!dispid) {
      r.error = kNoSuchMember;
      r.description = "Object doesn't support this property or method";
      return r;
    }
    InvokeResult result = table.invoke(control, *dispid, kind, std::move(args));
    if (result.ok()) {
      r.value = std::move(result.value);
      r.byRef = std::move(result.byRef);
    } else if (result.errorNumber != 0) {
      r.error = result.errorNumber;
      r.description = result.description;
    } else if (result.hresult == hr::kBadParamCount) {
      r.error = kWrongArguments;
      r.description = "Wrong number of arguments or invalid property assignment";
    } else {
      r.error = kNoSuchMember;
      r.description = "Object doesn't support this property or method";
    }
  } catch (const RuntimeError& e) {
    r.error = e.number();
    r.description = e.what();
  } catch (const std::exception&) {
    r.error = err::kInvalidCall;
    r.description = errorDescription(err::kInvalidCall);
  }
  return r;
}

}  // namespace

int WebMessageBoxes::show(TextView text, int32_t style, TextView title) {
  if (answerer_) return answerer_(text, style, title);
  return fallback_.show(text, style, title);
}

std::string_view keyResultName(KeyResult result) {
  switch (result) {
    case KeyResult::kType:
      return "type";
    case KeyResult::kClipboard:
      return "clipboard";
    case KeyResult::kPrevent:
      break;
  }
  return "prevent";
}

std::string cssColor(int32_t colorRef) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string s = "#";
  for (int shiftBits : {0, 8, 16}) {
    const int byte = (colorRef >> shiftBits) & 0xFF;
    s.push_back(kHex[byte >> 4]);
    s.push_back(kHex[byte & 0xF]);
  }
  return s;
}

bool ViewSnapshot::sameDrawing(const ViewSnapshot& o) const {
  return editor == o.editor && gutter == o.gutter && lineCount == o.lineCount &&
         firstVisibleLine == o.firstVisibleLine && visibleRows == o.visibleRows &&
         lines == o.lines && scrollX == o.scrollX && widestLine == o.widestLine &&
         scrollWidth == o.scrollWidth && selStart == o.selStart && selLength == o.selLength &&
         caretLine == o.caretLine && caretColumn == o.caretColumn && caretX == o.caretX &&
         caretY == o.caretY && hideSelection == o.hideSelection && focus == o.focus &&
         locked == o.locked && list == o.list && hint == o.hint && menu == o.menu &&
         printed == o.printed && clipboardSerial == o.clipboardSerial;
}

WebControl::WebControl(HeadlessPlatform& platform)
    : platform_(platform),
      widgets_(platform.createControl()),
      messageBoxes_(platform.messageBoxes()),
      control_(webWidgets(widgets_, messageBoxes_)) {
  control_.addEventSink(this);
}

WebControl::WebControl()
    : ownPlatform_(std::make_unique<HeadlessPlatform>()),
      platform_(*ownPlatform_),
      widgets_(platform_.createControl()),
      messageBoxes_(platform_.messageBoxes()),
      control_(webWidgets(widgets_, messageBoxes_)) {
  // The browser's print dialog comes after the control's and picks the real printer.
  platform_.printers().setPrinters({{u"Browser", u"Browser", u"web", {}}}, 0);
  // A page's editing area scrolls across to keep the caret in view.
  widgets_.surface().followCaretAcross(true);
  control_.addEventSink(this);
  widgets_.site().setSize(headless::kDefaultControlWidth, headless::kDefaultControlHeight);
  control_.resize();
}

WebControl::~WebControl() { control_.removeEventSink(this); }

void WebControl::setHooks(WebHooks hooks) {
  hooks_ = std::move(hooks);
  messageBoxes_.setAnswerer(hooks_.messageBox);
}

void WebControl::onChange() {
  if (hooks_.onChange) hooks_.onChange();
}

void WebControl::onEvent(int16_t& id) {
  if (!hooks_.onEvent) return;
  if (const std::optional<int16_t> changed = hooks_.onEvent(id)) id = *changed;
}

CallResult WebControl::get(std::string_view name) {
  return invokeByName(control_, name, MemberKind::Get, {});
}

CallResult WebControl::put(std::string_view name, Variant value) {
  std::vector<Variant> args;
  args.push_back(std::move(value));
  CallResult r = invokeByName(control_, name, MemberKind::Put, std::move(args));
  drawn();
  return r;
}

CallResult WebControl::call(std::string_view name, std::vector<Variant> args) {
  CallResult r = invokeByName(control_, name, MemberKind::Method, std::move(args));
  drawn();
  return r;
}

// ---- The keyboard: a key in the parts the browser delivers, the stroke's pieces shared
// with the headless control's whole key.

KeyResult WebControl::keyDown(int16_t keyCode, int16_t shift, bool typesText) {
  clipboardKey_.reset();
  widgets_.takeKeyboardFocus();
  DownKey& down = down_[keyCode];
  // The browser tells the modifiers held with every key; the key state follows them.
  for (int modifier : widgets_.holdModifiers(shift)) down.modifiers.push_back(modifier);
  KeyResult result = KeyResult::kPrevent;
  widgets_.pressKey(keyCode);
  if (widgets_.list().hasFocus()) {
    down.inList = true;
    widgets_.listKeyAction(keyCode, shift);
  } else if (widgets_.keyDownBeforeAction(keyCode, shift)) {
    switch (surfaceKeyOf(keyCode, shift).command) {
      case SurfaceCommand::Cut:
      case SurfaceCommand::Copy:
      case SurfaceCommand::Paste:
        clipboardKey_ = PendingKey{keyCode, shift};
        result = KeyResult::kClipboard;
        break;
      case SurfaceCommand::Type:
        if (typesText) {
          result = KeyResult::kType;
          break;
        }
        [[fallthrough]];
      default:
        widgets_.surfaceKeyAction(keyCode, shift);
        break;
    }
  }
  drawn();
  return result;
}

void WebControl::keyUp(int16_t keyCode, int16_t shift) {
  DownKey down;
  if (const auto it = down_.find(keyCode); it != down_.end()) {
    down = std::move(it->second);
    down_.erase(it);
  }
  if (down.inList)
    platform_.screen().releaseKey(keyCode);
  else
    widgets_.endStroke(keyCode, shift, false);
  widgets_.releaseKeys(down.modifiers);
  drawn();
}

void WebControl::typeText(TextView text) {
  if (widgets_.surface().hasFocus()) widgets_.surface().typeInput(text);
  drawn();
}

void WebControl::composeText(TextView text) {
  widgets_.compose(text);
  drawn();
}

std::optional<Text> WebControl::clipboardAction(PendingKey fallback) {
  const PendingKey key = clipboardKey_.value_or(fallback);
  clipboardKey_.reset();
  const int writes = platform_.clipboard().writes();
  if (widgets_.surface().hasFocus()) widgets_.surfaceKeyAction(key.keyCode, key.shift);
  drawn();
  if (platform_.clipboard().writes() == writes) return std::nullopt;
  return clipboardText();
}

std::optional<Text> WebControl::clipboardCut() { return clipboardAction({kCutKey, kCtrlMask}); }

std::optional<Text> WebControl::clipboardCopy() { return clipboardAction({kCopyKey, kCtrlMask}); }

void WebControl::clipboardPaste(const std::optional<Text>& text) {
  // The system clipboard's text becomes the control's; the same text with other line
  // breaks is kept as the control holds it.
  const std::optional<Text>& held = platform_.clipboard().content();
  if (!text)
    platform_.clipboard().setContent(std::nullopt);
  else if (!held || withLfBreaks(*held) != withLfBreaks(*text))
    platform_.clipboard().setContent(withCrLfBreaks(*text));
  clipboardAction({kPasteKey, kCtrlMask});
}

std::optional<Text> WebControl::clipboardText() const {
  const std::optional<Text>& content = platform_.clipboard().content();
  if (!content) return std::nullopt;
  return withLfBreaks(*content);
}

// ---- The mouse and the rest of the page's input.

void WebControl::mouseDown(int16_t button, int16_t shift, double x, double y) {
  widgets_.mouseDown(button, shift, x, y);
  drawn();
}

void WebControl::mouseUp(int16_t button, int16_t shift, double x, double y) {
  widgets_.mouseUp(button, shift, x, y);
  drawn();
}

void WebControl::mouseDrag(double x, double y) {
  widgets_.surface().pressAt(x, y, true);
  drawn();
}

void WebControl::doubleClick(double x, double y) {
  widgets_.surface().selectWordAt(x, y);
  drawn();
}

void WebControl::focus(FocusPlace place) {
  widgets_.focus(place);
  drawn();
}

void WebControl::listClick(int32_t index) {
  widgets_.clickListItem(index);
  drawn();
}

void WebControl::menuChoose(int16_t entry) {
  control_.menuClicked(entry);
  drawn();
}

void WebControl::scroll(int32_t line) {
  widgets_.scroll(line);
  drawn();
}

void WebControl::scrollX(int32_t px) {
  widgets_.surface().scrollAcross(px);
  drawn();
}

void WebControl::resize(double widthPx, double heightPx) {
  // A caret in view stays in view: the page's horizontal bar takes a row when it comes.
  HeadlessEditSurface& surface = widgets_.surface();
  const int32_t caretLine = surface.lineFromChar(surface.selStart());
  const int32_t first = surface.firstVisibleLine();
  const bool caretShown = caretLine >= first && caretLine < first + surface.visibleRows();
  widgets_.site().setSize(widthPx * kTwipsPerPixel, heightPx * kTwipsPerPixel);
  control_.resize();
  const int32_t rows = surface.visibleRows();
  if (caretShown && caretLine >= surface.firstVisibleLine() + rows)
    surface.scrollTo(caretLine - rows + 1);
  drawn();
}

void WebControl::tick() {
  control_.timerTick();
  drawn();
}

void WebControl::paint() {
  control_.gutterPaint();
  drawn();
}

// ---- What the page draws.

int32_t WebControl::rgb(int32_t color) const {
  // A colour with the high bit set names a system colour by its index.
  if ((static_cast<uint32_t>(color) & 0x80000000u) != 0)
    return platform_.screen().systemColor(color & 0xFF).value_or(0);
  return color & 0xFFFFFF;
}

ViewSnapshot WebControl::snapshot() {
  const HeadlessEditSurface& surface = widgets_.surface();
  const SurfaceModel& model = surface.model();
  ViewSnapshot v;
  v.editor = {pixels(surface.left()), pixels(surface.top()), surface.clientWidth(),
              surface.clientHeight()};

  const HeadlessGutterCanvas& gutter = widgets_.gutter();
  v.gutter.box = {0, 0, pixels(gutter.width()), pixels(gutter.height())};
  v.gutter.background = rgb(gutter.backColor());
  if (const std::optional<GutterPaint>& paint = gutter.lastPaint()) {
    v.gutter.background = rgb(paint->fillColor);
    for (const GutterTextDrawn& t : paint->texts)
      v.gutter.numbers.push_back(
          {t.text, rgb(t.color), t.rect.left, t.rect.top, t.rect.right, t.rect.bottom});
    if (!paint->lines.empty()) {
      const GutterLineDrawn& rule = paint->lines.back();
      v.gutter.rule = GutterRuleView{rule.x1, rule.y1, rule.y2, rgb(rule.color)};
    }
  }

  v.lineCount = surface.lineCount();
  v.firstVisibleLine = surface.firstVisibleLine();
  v.visibleRows = surface.visibleRows();
  const int32_t end = std::min(v.lineCount, v.firstVisibleLine + v.visibleRows);
  for (int32_t line = v.firstVisibleLine; line < end; ++line) {
    LineView& l = v.lines.emplace_back();
    l.line = line;
    l.start = surface.lineStart(line);
    const int32_t length = surface.lineEnd(line) - l.start;
    l.text = surface.textRange(l.start, length);
    for (const FormatRun& run : model.formats(l.start, length))
      l.runs.push_back({run.length, rgb(run.color), run.bold});
  }
  // The row below the view counts too: a page that hides its horizontal bar gives that row
  // back, and must not hide the bar for a line that then needs it again.
  for (int32_t line = v.firstVisibleLine; line <= end && line < v.lineCount; ++line)
    v.widestLine = std::max(
        v.widestLine, headless::kCellWidth * (surface.lineEnd(line) - surface.lineStart(line)));
  // Room for the caret bar beyond the widest line's end, as the surface keeps it.
  constexpr int32_t kCaretRoom = HeadlessEditSurface::kCaretRoom;
  const int32_t width = surface.clientWidth();
  v.scrollX = surface.scrollX();
  v.scrollWidth =
      width + std::max(v.scrollX, horizontal_scroll::rangeOf(v.widestLine + kCaretRoom, width,
                                                             horizontal_scroll::jumpOf(width)));

  v.selStart = surface.selStart();
  v.selLength = surface.selLength();
  v.caretLine = surface.lineFromChar(v.selStart);
  v.caretColumn = v.selStart - surface.lineStart(v.caretLine);
  const PixelPoint caret = surface.caretPosition();
  v.caretX = caret.x;
  v.caretY = caret.y;
  v.hideSelection = surface.hideSelection();
  v.focus = widgets_.focusPlace();
  v.locked = surface.locked();

  const HeadlessListBox& list = widgets_.list();
  v.list = {list.visible(),
            {list.left(), list.top(), list.width(), list.height()},
            list.items(),
            list.listIndex()};
  const HeadlessHintBox& hint = widgets_.hint();
  v.hint = {hint.visible(), hint.text(), {hint.left(), hint.top(), hint.width(), hint.height()}};
  v.menu = {widgets_.menu().items(), widgets_.menu().shownCount()};
  v.printed = platform_.printers().printer().endedCount();
  v.clipboardSerial = platform_.clipboard().writes();
  return v;
}

ViewSnapshot WebControl::view() {
  ViewSnapshot v = snapshot();
  // Chosen over counting every change: the visible part is small, comparing it is cheap
  // and cannot miss a change.
  v.serial = v.sameDrawing(last_) ? last_.serial : last_.serial + 1;
  last_ = v;
  return v;
}

void WebControl::drawn() {
  const uint64_t before = last_.serial;
  if (!hooks_.invalidate) return;
  if (view().serial != before) hooks_.invalidate();
}

const std::optional<PrintedDocument>& WebControl::printout() const {
  return platform_.printers().printer().lastEnded();
}

PageSize WebControl::pageSizeOf(const PrintedDocument& document) {
  return headless::pageSizeOf(document.settings);
}

}  // namespace tavi::web
