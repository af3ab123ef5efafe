#include "tavi-script/state_report.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <span>

#include "tavi-script/json_values.h"

namespace tavi::script {

namespace {

using OrderedJson = nlohmann::ordered_json;

// A printer coordinate: a whole number as an integer, else the shortest decimal that reads
// back as the same single-precision value.
OrderedJson printerNumber(float v) {
  if (std::isfinite(v) && v == std::trunc(v) && std::fabs(v) < 1e9f) return static_cast<int64_t>(v);
  char digits[32];
#if defined(__cpp_lib_to_chars)
  const auto [end, ec] = std::to_chars(digits, digits + sizeof digits - 1, v);
  *end = '\0';
#else
  // Older standard libraries (libc++ 13, the browser build's) have no floating-point
  // to_chars: the fewest significant digits that read back as v, in exponent form; a whole
  // number whose plain digits are not longer is written exactly, as to_chars does.
  for (int precision = 1; precision <= 9; ++precision) {
    std::snprintf(digits, sizeof digits, "%.*e", precision - 1, static_cast<double>(v));
    if (std::strtof(digits, nullptr) == v) break;
  }
  char whole[48];
  if (std::isfinite(v) && v == std::trunc(v) &&
      std::snprintf(whole, sizeof whole, "%.0f", static_cast<double>(v)) <=
          static_cast<int>(std::strlen(digits)))
    return static_cast<double>(v);
#endif
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

OrderedJson hexOrNull(const std::optional<std::vector<uint8_t>>& record) {
  return record ? OrderedJson(hexBytes(*record)) : OrderedJson(nullptr);
}

OrderedJson operationOf(const PrintOpReport& op) {
  if (const auto* line = std::get_if<PrintedLineReport>(&op))
    return {{"line",
             {printerNumber(line->x1), printerNumber(line->y1), printerNumber(line->x2),
              printerNumber(line->y2)}},
            {"color", line->color}};
  const auto& text = std::get<PrintedTextReport>(op);
  return {{"text", toUtf8(text.text)},
          {"x", printerNumber(text.x)},
          {"y", printerNumber(text.y)},
          {"fontSize", printerNumber(text.fontSize)}};
}

OrderedJson documentOf(const DocumentReport& document) {
  OrderedJson pages = OrderedJson::array();
  for (const std::vector<PrintOpReport>& page : document.pages) {
    OrderedJson ops = OrderedJson::array();
    for (const PrintOpReport& op : page) ops.push_back(operationOf(op));
    pages.push_back(std::move(ops));
  }
  return {{"printer", toUtf8(document.printer)}, {"copies", document.copies},
          {"orientation", document.orientation}, {"duplex", document.duplex},
          {"paperSize", document.paperSize},     {"printQuality", document.printQuality},
          {"pages", std::move(pages)},           {"ended", document.ended}};
}

OrderedJson strings(const std::vector<Text>& texts) {
  OrderedJson list = OrderedJson::array();
  for (const Text& t : texts) list.push_back(toUtf8(t));
  return list;
}

}  // namespace

OrderedJson stateOf(const WidgetReport& w, const OrderedJson& core) {
  OrderedJson state;
  state["text"] = toUtf8(w.text);
  state["selStart"] = w.selStart;
  state["selLength"] = w.selLength;
  state["hideSelection"] = w.hideSelection;
  state["locked"] = w.locked;
  state["maxLength"] = w.maxLength;
  state["mousePointer"] = w.mousePointer;
  state["screenPointer"] = w.screenPointer;
  state["focus"] = w.focus;
  state["firstVisibleLine"] = w.firstVisibleLine;
  state["list"] = {{"visible", w.list.visible},
                   {"left", w.list.left},
                   {"top", w.list.top},
                   {"listIndex", w.list.listIndex},
                   {"items", strings(w.list.items)}};
  state["hint"] = {{"visible", w.hint.visible}, {"text", toUtf8(w.hint.text)},
                   {"left", w.hint.left},       {"top", w.hint.top},
                   {"width", w.hint.width},     {"height", w.hint.height}};
  for (const auto& [field, value] : core.items()) state[field] = value;
  return state;
}

OrderedJson formatsOf(const std::vector<FormatRun>& formats) {
  OrderedJson runs = OrderedJson::array();
  for (const FormatRun& run : formats)
    runs.push_back(
        {{"start", run.start}, {"length", run.length}, {"color", run.color}, {"bold", run.bold}});
  return runs;
}

OrderedJson gutterOf(const std::optional<GutterReport>& paint) {
  if (!paint) return nullptr;
  OrderedJson result;
  result["width"] = paint->width;
  result["height"] = paint->height;
  result["lineHeight"] = paint->lineHeight;
  result["background"] = paint->background;
  OrderedJson numbers = OrderedJson::array();
  for (const GutterNumberReport& t : paint->numbers)
    numbers.push_back({{"text", toUtf8(t.text)},
                       {"color", t.color},
                       {"rect", {t.left, t.top, t.right, t.bottom}}});
  result["numbers"] = numbers;
  if (!paint->rule) {
    result["rule"] = nullptr;
  } else {
    const GutterRuleReport& rule = *paint->rule;
    result["rule"] = {{"x", rule.x}, {"y1", rule.y1}, {"y2", rule.y2}, {"color", rule.color}};
  }
  return result;
}

OrderedJson menuItemsOf(const MenuReport& menu) {
  return {{"items", strings(menu.items)}, {"shown", menu.shown}};
}

OrderedJson printoutOf(const PrintoutReport& printout) {
  OrderedJson documents = OrderedJson::array();
  for (const DocumentReport& document : printout.documents)
    documents.push_back(documentOf(document));
  OrderedJson dialog = nullptr;
  if (const std::optional<DialogRecordsReport>& given = printout.dialog) {
    char flags[16];
    std::snprintf(flags, sizeof flags, "0x%08X", given->flags);
    dialog = {{"flags", flags},
              {"devmode", hexOrNull(given->devMode)},
              {"devnames", hexOrNull(given->devNames)},
              {"printdlg", hexBytes(given->printDlg)}};
  }
  return {{"documents", std::move(documents)}, {"dialog", std::move(dialog)}};
}

void maskStateMetrics(OrderedJson& state) {
  const OrderedJson metric = "metric";
  state["firstVisibleLine"] = metric;
  for (const char* field : {"left", "top"}) state["list"][field] = metric;
  for (const char* field : {"left", "top", "width", "height"}) state["hint"][field] = metric;
}

// Where the numbers are drawn and how many rows they fill are the view's metrics; only
// whether the gutter was painted compares.
void maskGutterMetrics(OrderedJson& gutter) {
  if (gutter.is_null()) return;
  for (auto& [field, value] : gutter.items()) value = "metric";
}

}  // namespace tavi::script
