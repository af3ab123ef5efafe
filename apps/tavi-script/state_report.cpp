#include "tavi-script/state_report.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <span>

#include "tavi-script/json_values.h"

namespace tavi::script {

namespace {

using OrderedJson = nlohmann::ordered_json;

OrderedJson journalOf(const Journal& journal) {
  OrderedJson entries = OrderedJson::array();
  for (int32_t i = 1; i <= journal.count(); ++i) {
    const UndoElement& e = journal.item(i);
    entries.push_back(
        {{"selStart", e.SelStart}, {"textLen", e.TextLen}, {"text", toUtf8(e.Text.str())}});
  }
  return entries;
}

// A printer coordinate: a whole number as an integer, else the shortest decimal that reads
// back as the same single-precision value.
OrderedJson printerNumber(float v) {
  if (std::isfinite(v) && v == std::trunc(v) && std::fabs(v) < 1e9f) return static_cast<int64_t>(v);
  char digits[32];
  const auto [end, ec] = std::to_chars(digits, digits + sizeof digits - 1, v);
  *end = '\0';
  return std::strtod(digits, nullptr);
}

std::string hexBytes(std::span<const uint8_t> bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string hex;
  for (uint8_t b : bytes) {
    hex.push_back(kDigits[b >> 4]);
    hex.push_back(kDigits[b & 0xF]);
  }
  return hex;
}

template <typename Record>
OrderedJson hexOrNull(const std::optional<Record>& record) {
  return record ? OrderedJson(hexBytes(*record)) : OrderedJson(nullptr);
}

OrderedJson operationOf(const PrintOperation& op) {
  if (const auto* line = std::get_if<PrintedLine>(&op))
    return {{"line",
             {printerNumber(line->x1), printerNumber(line->y1), printerNumber(line->x2),
              printerNumber(line->y2)}},
            {"color", line->color}};
  const auto& text = std::get<PrintedText>(op);
  return {{"text", toUtf8(text.text)},
          {"x", printerNumber(text.x)},
          {"y", printerNumber(text.y)},
          {"fontSize", printerNumber(text.fontSize)}};
}

OrderedJson documentOf(const PrintedDocument& document) {
  OrderedJson pages = OrderedJson::array();
  for (const PrintedPage& page : document.pages) {
    OrderedJson ops = OrderedJson::array();
    for (const PrintOperation& op : page) ops.push_back(operationOf(op));
    pages.push_back(std::move(ops));
  }
  const PrinterSettings& s = document.settings;
  return {{"printer", toUtf8(document.printer)},
          {"copies", s.copies},
          {"orientation", s.orientation},
          {"duplex", s.duplex},
          {"paperSize", s.paperSize},
          {"printQuality", s.printQuality},
          {"pages", std::move(pages)},
          {"ended", document.ended}};
}

OrderedJson strings(const std::vector<Text>& texts) {
  OrderedJson list = OrderedJson::array();
  for (const Text& t : texts) list.push_back(toUtf8(t));
  return list;
}

}  // namespace

OrderedJson stateOf(const TaviColorText& control, HeadlessControl& widgets,
                    const HeadlessScreen& screen) {
  const HeadlessEditSurface& surface = widgets.surface();
  const HeadlessListBox& list = widgets.list();
  const HeadlessHintBox& hint = widgets.hint();
  const ModuleState& m = control.module();
  OrderedJson state;
  state["text"] = toUtf8(surface.text());
  state["selStart"] = surface.selStart();
  state["selLength"] = surface.selLength();
  state["hideSelection"] = surface.hideSelection();
  state["locked"] = surface.locked();
  state["maxLength"] = surface.maxLength();
  state["mousePointer"] = surface.mousePointer();
  state["screenPointer"] = screen.mousePointer();
  state["focus"] = std::string(focusPlaceName(widgets.focusPlace()));
  state["firstVisibleLine"] = surface.firstVisibleLine();
  state["list"] = {{"visible", list.visible()},
                   {"left", list.left()},
                   {"top", list.top()},
                   {"listIndex", list.listIndex()},
                   {"items", strings(list.items())}};
  state["hint"] = {{"visible", hint.visible()}, {"text", toUtf8(hint.text())},
                   {"left", hint.left()},       {"top", hint.top()},
                   {"width", hint.width()},     {"height", hint.height()}};
  state["undo"] = journalOf(control.m_colUndo);
  state["redo"] = journalOf(control.m_colRedo);
  state["trackChanges"] = control.m_bTrackChanges;
  state["flags"] = {{"textChanged", m.m_bTextChanged},
                    {"caretMoved", m.m_bCaretMoved},
                    {"listShown", m.m_bListShown},
                    {"hintShown", m.m_bHintShown},
                    {"hintIndex", m.m_iHintIndex},
                    {"downCaret", m.m_lDownCaret},
                    {"downLine", m.m_lDownLine},
                    {"lastCaret", m.m_lLastCaret},
                    {"keyUpCaret", m.m_lKeyUpCaret},
                    {"gutterDirty", m.m_bGutterDirty},
                    {"hooked", m.m_bHooked},
                    {"loadFlag", m.m_bLoadFlag},
                    {"menuBuilt", control.m_bMenuBuilt}};
  return state;
}

OrderedJson formatsOf(const HeadlessEditSurface& surface) {
  OrderedJson runs = OrderedJson::array();
  for (const FormatRun& run : surface.formats())
    runs.push_back(
        {{"start", run.start}, {"length", run.length}, {"color", run.color}, {"bold", run.bold}});
  return runs;
}

OrderedJson gutterOf(const HeadlessGutterCanvas& gutter) {
  const std::optional<GutterPaint>& paint = gutter.lastPaint();
  if (!paint) return nullptr;
  const PixelRect client = gutter.clientRect();
  OrderedJson result;
  result["width"] = client.right;
  result["height"] = client.bottom;
  const PixelRect sample = gutter.measureText(u"Hy");
  result["lineHeight"] = sample.bottom - sample.top;
  result["background"] = paint->fillColor;
  OrderedJson numbers = OrderedJson::array();
  for (const GutterTextDrawn& t : paint->texts)
    numbers.push_back({{"text", toUtf8(t.text)},
                       {"color", t.color},
                       {"rect", {t.rect.left, t.rect.top, t.rect.right, t.rect.bottom}}});
  result["numbers"] = numbers;
  if (paint->lines.empty()) {
    result["rule"] = nullptr;
  } else {
    const GutterLineDrawn& rule = paint->lines.back();
    result["rule"] = {{"x", rule.x1}, {"y1", rule.y1}, {"y2", rule.y2}, {"color", rule.color}};
  }
  return result;
}

OrderedJson menuItemsOf(const HeadlessPopupMenu& menu) {
  return {{"items", strings(menu.items())}, {"shown", menu.shownCount()}};
}

OrderedJson printoutOf(HeadlessPrinterSystem& printers) {
  OrderedJson documents = OrderedJson::array();
  for (const PrintedDocument& document : printers.printer().drainDocuments())
    documents.push_back(documentOf(document));
  OrderedJson dialog = nullptr;
  if (const std::optional<DialogRecords>& given = printers.lastDialog()) {
    char flags[16];
    std::snprintf(flags, sizeof flags, "0x%08X", readU32(given->printDlg, printdlg::kFlags));
    dialog = {{"flags", flags},
              {"devmode", hexOrNull(given->devMode)},
              {"devnames", hexOrNull(given->devNames)},
              {"printdlg", hexBytes(given->printDlg)}};
  }
  return {{"documents", std::move(documents)}, {"dialog", std::move(dialog)}};
}

}  // namespace tavi::script
