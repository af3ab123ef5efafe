// The browser module's binding of WebControl for JavaScript (embind). Every C++ exception
// stops here and goes back as data, {error, description}; the page throws it. Values cross
// as the page's types: a string is a String, an integral number in the Long range a Long,
// another number a Double, a boolean a Boolean, null Null, undefined Empty.
#include <emscripten/bind.h>
#include <emscripten/em_js.h>
#include <emscripten/emscripten.h>
#include <emscripten/val.h>

#include <cmath>
#include <exception>
#include <limits>
#include <string>

#include "shell/runtime_error.h"
#include "web/web_control.h"

// A hook that cannot unwind through the control: what a hook throws is reported after the
// control's work (rethrown from a timer, where the page's error handling sees it) and the
// hook answers undefined.
// (Plain functions: the macro's text of an arrow function does not parse.)
EM_JS(emscripten::EM_VAL, tavi_guarded_hook, (emscripten::EM_VAL hook), {
  var f = Emval.toValue(hook);
  return Emval.toHandle(function() {
    try {
      return f.apply(this, arguments);
    } catch (e) {
      setTimeout(function() { throw e; });
      return undefined;
    }
  });
});

namespace tavi::web {

namespace {

using emscripten::val;

// An argument JavaScript gave that no Variant holds (an object, a function).
struct Unconvertible {};

val errorValue(int number, const std::string& description) {
  val error = val::object();
  error.set("error", number);
  error.set("description", description);
  return error;
}

template <typename Body>
val guarded(Body body) {
  try {
    return body();
  } catch (const RuntimeError& e) {
    return errorValue(e.number(), e.what());
  } catch (const Unconvertible&) {
    return errorValue(err::kTypeMismatch, errorDescription(err::kTypeMismatch));
  } catch (const std::exception&) {
    return errorValue(err::kInvalidCall, errorDescription(err::kInvalidCall));
  } catch (...) {
    return errorValue(err::kInvalidCall, errorDescription(err::kInvalidCall));
  }
}

val text(const Text& t) { return val(t); }

Variant toVariant(const val& v) {
  if (v.isUndefined()) return Variant();
  if (v.isNull()) return Variant::null();
  if (v.isTrue()) return Variant::fromBool(true);
  if (v.isFalse()) return Variant::fromBool(false);
  if (v.isString()) return Variant::fromString(v.as<Text>());
  if (v.isNumber()) {
    const double d = v.as<double>();
    if (std::trunc(d) == d && d >= std::numeric_limits<int32_t>::min() &&
        d <= std::numeric_limits<int32_t>::max())
      return Variant::fromI4(static_cast<int32_t>(d));
    return Variant::fromR8(d);
  }
  throw Unconvertible{};
}

val toValue(const Variant& v) {
  switch (v.type()) {
    case VarType::Empty:
      return val::undefined();
    case VarType::Null:
      return val::null();
    case VarType::I2:
      return val(v.i2());
    case VarType::I4:
      return val(v.i4());
    case VarType::R4:
      return val(static_cast<double>(v.r4()));
    case VarType::R8:
      return val(v.r8());
    case VarType::CY:
      return val(static_cast<double>(v.cy().scaled) / 10000);
    case VarType::DATE:
      return val(v.date().days);
    case VarType::BSTR:
      return text(v.str());
    case VarType::BOOL:
      return val(v.boolValue() != kFalse);
  }
  return val::undefined();
}

val resultValue(const CallResult& r) {
  if (r.error != 0) return errorValue(r.error, r.description);
  val out = val::object();
  out.set("value", toValue(r.value));
  val byRef = val::array();
  for (const Variant& v : r.byRef) byRef.call<void>("push", toValue(v));
  out.set("byRef", byRef);
  return out;
}

template <typename Item, typename Convert>
val arrayOf(const std::vector<Item>& items, Convert convert) {
  val a = val::array();
  for (const Item& item : items) a.call<void>("push", convert(item));
  return a;
}

val box(const BoxView& b) {
  val o = val::object();
  o.set("left", b.left);
  o.set("top", b.top);
  o.set("width", b.width);
  o.set("height", b.height);
  return o;
}

val color(int32_t c) { return val(cssColor(c)); }

val gutterValue(const GutterView& g) {
  val o = box(g.box);
  o.set("background", color(g.background));
  o.set("numbers", arrayOf(g.numbers, [](const GutterNumberView& n) {
          val x = val::object();
          x.set("text", text(n.text));
          x.set("color", color(n.color));
          x.set("left", n.left);
          x.set("top", n.top);
          x.set("right", n.right);
          x.set("bottom", n.bottom);
          return x;
        }));
  if (g.rule) {
    val rule = val::object();
    rule.set("x", g.rule->x);
    rule.set("y1", g.rule->y1);
    rule.set("y2", g.rule->y2);
    rule.set("color", color(g.rule->color));
    o.set("rule", rule);
  } else {
    o.set("rule", val::null());
  }
  return o;
}

val lineValue(const LineView& l) {
  val o = val::object();
  o.set("line", l.line);
  o.set("start", l.start);
  o.set("text", text(l.text));
  o.set("runs", arrayOf(l.runs, [](const RunView& r) {
          val x = val::object();
          x.set("length", r.length);
          x.set("color", color(r.color));
          x.set("bold", r.bold);
          return x;
        }));
  return o;
}

val viewValue(const ViewSnapshot& v) {
  val o = val::object();
  o.set("serial", static_cast<double>(v.serial));
  o.set("editor", box(v.editor));
  o.set("gutter", gutterValue(v.gutter));
  o.set("lineCount", v.lineCount);
  o.set("firstVisibleLine", v.firstVisibleLine);
  o.set("visibleRows", v.visibleRows);
  o.set("lines", arrayOf(v.lines, lineValue));
  o.set("scrollX", v.scrollX);
  o.set("widestLine", v.widestLine);
  o.set("scrollWidth", v.scrollWidth);
  o.set("selStart", v.selStart);
  o.set("selLength", v.selLength);
  o.set("caretLine", v.caretLine);
  o.set("caretColumn", v.caretColumn);
  val caret = val::object();
  caret.set("x", v.caretX);
  caret.set("y", v.caretY);
  o.set("caret", caret);
  o.set("hideSelection", v.hideSelection);
  o.set("focus", std::string(focusPlaceName(v.focus)));
  o.set("locked", v.locked);
  val list = box(v.list.box);
  list.set("visible", v.list.visible);
  list.set("items", arrayOf(v.list.items, text));
  list.set("listIndex", v.list.listIndex);
  o.set("list", list);
  val hint = box(v.hint.box);
  hint.set("visible", v.hint.visible);
  hint.set("text", text(v.hint.text));
  o.set("hint", hint);
  val menu = val::object();
  menu.set("items", arrayOf(v.menu.items, text));
  menu.set("shown", v.menu.shown);
  o.set("menu", menu);
  o.set("printed", v.printed);
  o.set("clipboardSerial", v.clipboardSerial);
  return o;
}

val printoutValue(const std::optional<PrintedDocument>& document) {
  val pages = val::array();
  if (document) {
    for (const PrintedPage& page : document->pages) {
      val ops = val::array();
      for (const PrintOperation& op : page) {
        val x = val::object();
        if (const auto* line = std::get_if<PrintedLine>(&op)) {
          x.set("kind", std::string("line"));
          x.set("x1", line->x1);
          x.set("y1", line->y1);
          x.set("x2", line->x2);
          x.set("y2", line->y2);
          x.set("color", color(line->color));
        } else {
          const auto& t = std::get<PrintedText>(op);
          x.set("kind", std::string("text"));
          x.set("text", text(t.text));
          x.set("x", t.x);
          x.set("y", t.y);
          x.set("fontSize", t.fontSize);
        }
        ops.call<void>("push", x);
      }
      pages.call<void>("push", ops);
    }
  }
  val o = val::object();
  o.set("pages", pages);
  o.set("unit", std::string("twips"));
  if (document) {
    const PageSize size = WebControl::pageSizeOf(*document);
    o.set("pageWidth", size.width);
    o.set("pageHeight", size.height);
  }
  return o;
}

val optionalText(const std::optional<Text>& t) { return t ? text(*t) : val::null(); }

int16_t toInt16(int v) {
  if (v < std::numeric_limits<int16_t>::min() || v > std::numeric_limits<int16_t>::max())
    throw RuntimeError(err::kOverflow);
  return static_cast<int16_t>(v);
}

// The WebControl class JavaScript sees: the control with its hooks held as JS values.
class PageControl {
 public:
  PageControl() = default;

  val setHooks(val hooks) {
    return guarded([&] {
      hooks_ = val::object();
      for (const char* name : {"onChange", "onEvent", "messageBox", "invalidate"}) {
        const val hook = hooks.isUndefined() || hooks.isNull() ? val::undefined() : hooks[name];
        if (hook.instanceof (val::global("Function")))
          hooks_.set(name, val::take_ownership(tavi_guarded_hook(hook.as_handle())));
      }
      WebHooks h;
      h.onChange = [this] {
        if (has("onChange")) hooks_.call<void>("onChange");
      };
      h.onEvent = [this](int16_t id) -> std::optional<int16_t> {
        if (!has("onEvent")) return std::nullopt;
        const val r = hooks_.call<val>("onEvent", id);
        if (!r.isNumber()) return std::nullopt;
        const double d = r.as<double>();
        if (std::trunc(d) != d || d < std::numeric_limits<int16_t>::min() ||
            d > std::numeric_limits<int16_t>::max())
          return std::nullopt;
        return static_cast<int16_t>(d);
      };
      if (has("messageBox"))
        h.messageBox = [this](TextView t, int32_t style, TextView title) {
          const val r = hooks_.call<val>("messageBox", Text(t), style, Text(title));
          return r.isNumber() ? static_cast<int>(r.as<double>()) : 1;
        };
      h.invalidate = [this] {
        if (has("invalidate")) hooks_.call<void>("invalidate");
      };
      control_.setHooks(std::move(h));
      return val::undefined();
    });
  }

  val members() {
    return guarded([] {
      val rows = val::array();
      val byName = val::object();
      for (const DispatchMember& m : DispatchTable::instance().members()) {
        const std::string name(m.name);
        val row = byName[name];
        if (row.isUndefined()) {
          row = val::object();
          row.set("name", name);
          row.set("dispid", m.dispid);
          row.set("get", false);
          row.set("put", false);
          row.set("method", false);
          row.set("params", 0);
          byName.set(name, row);
          rows.call<void>("push", row);
        }
        const int params = static_cast<int>(m.params.size());
        if (m.kind == MemberKind::Get) {
          row.set("get", true);
          row.set("params", params);
        } else if (m.kind == MemberKind::Put) {
          row.set("put", true);
        } else {
          row.set("method", true);
          row.set("params", params);
        }
      }
      return rows;
    });
  }

  val get(std::string name) {
    return guarded([&] { return resultValue(control_.get(name)); });
  }
  val put(std::string name, val value) {
    return guarded([&] {
      const CallResult r = control_.put(name, toVariant(value));
      return r.error != 0 ? errorValue(r.error, r.description) : val::object();
    });
  }
  val call(std::string name, val args) {
    return guarded([&] {
      std::vector<Variant> list;
      if (!args.isUndefined() && !args.isNull()) {
        const int n = args["length"].as<int>();
        for (int i = 0; i < n; ++i) list.push_back(toVariant(args[i]));
      }
      return resultValue(control_.call(name, std::move(list)));
    });
  }

  val keyDown(int keyCode, int shift, bool typesText) {
    return guarded([&] {
      return val(std::string(
          keyResultName(control_.keyDown(toInt16(keyCode), toInt16(shift), typesText))));
    });
  }
  val keyUp(int keyCode, int shift) {
    return run([&] { control_.keyUp(toInt16(keyCode), toInt16(shift)); });
  }
  val typeText(val t) {
    return run([&] { control_.typeText(t.as<Text>()); });
  }
  val composeText(val t) {
    return run([&] { control_.composeText(t.as<Text>()); });
  }
  val clipboardCopy() {
    return guarded([&] { return optionalText(control_.clipboardCopy()); });
  }
  val clipboardCut() {
    return guarded([&] { return optionalText(control_.clipboardCut()); });
  }
  val clipboardPaste(val t) {
    return run([&] {
      control_.clipboardPaste(t.isString() ? std::optional<Text>(t.as<Text>()) : std::nullopt);
    });
  }
  val mouseDown(int button, int shift, double x, double y) {
    return run([&] { control_.mouseDown(toInt16(button), toInt16(shift), x, y); });
  }
  val mouseUp(int button, int shift, double x, double y) {
    return run([&] { control_.mouseUp(toInt16(button), toInt16(shift), x, y); });
  }
  val mouseDrag(double x, double y) {
    return run([&] { control_.mouseDrag(x, y); });
  }
  val doubleClick(double x, double y) {
    return run([&] { control_.doubleClick(x, y); });
  }
  val focus(std::string place) {
    return run([&] {
      const std::optional<FocusPlace> p = parseFocusPlace(place);
      if (!p) throw RuntimeError(err::kInvalidCall);
      control_.focus(*p);
    });
  }
  val listClick(int index) {
    return run([&] { control_.listClick(index); });
  }
  val menuChoose(int entry) {
    return run([&] { control_.menuChoose(toInt16(entry)); });
  }
  val scroll(int line) {
    return run([&] { control_.scroll(line); });
  }
  val scrollX(int px) {
    return run([&] { control_.scrollX(px); });
  }
  val resize(double width, double height) {
    return run([&] { control_.resize(width, height); });
  }
  val tick() {
    return run([&] { control_.tick(); });
  }
  val paint() {
    return run([&] { control_.paint(); });
  }
  val view() {
    return guarded([&] { return viewValue(control_.view()); });
  }
  val clipboardText() {
    return guarded([&] { return optionalText(control_.clipboardText()); });
  }
  val printout() {
    return guarded([&] { return printoutValue(control_.printout()); });
  }

 private:
  template <typename Body>
  val run(Body body) {
    return guarded([&] {
      body();
      return val::undefined();
    });
  }
  bool has(const char* hook) const { return !hooks_[hook].isUndefined(); }

  WebControl control_;
  val hooks_ = val::object();  // the page's hooks, guarded
};

}  // namespace

EMSCRIPTEN_BINDINGS(tavi_color_text) {
  emscripten::class_<PageControl>("WebControl")
      .constructor<>()
      .function("setHooks", &PageControl::setHooks)
      .function("members", &PageControl::members)
      .function("get", &PageControl::get)
      .function("put", &PageControl::put)
      .function("call", &PageControl::call)
      .function("keyDown", &PageControl::keyDown)
      .function("keyUp", &PageControl::keyUp)
      .function("typeText", &PageControl::typeText)
      .function("composeText", &PageControl::composeText)
      .function("clipboardCopy", &PageControl::clipboardCopy)
      .function("clipboardCut", &PageControl::clipboardCut)
      .function("clipboardPaste", &PageControl::clipboardPaste)
      .function("mouseDown", &PageControl::mouseDown)
      .function("mouseUp", &PageControl::mouseUp)
      .function("mouseDrag", &PageControl::mouseDrag)
      .function("doubleClick", &PageControl::doubleClick)
      .function("focus", &PageControl::focus)
      .function("listClick", &PageControl::listClick)
      .function("menuChoose", &PageControl::menuChoose)
      .function("scroll", &PageControl::scroll)
      .function("scrollX", &PageControl::scrollX)
      .function("resize", &PageControl::resize)
      .function("tick", &PageControl::tick)
      .function("paint", &PageControl::paint)
      .function("view", &PageControl::view)
      .function("clipboardText", &PageControl::clipboardText)
      .function("printout", &PageControl::printout);
}

}  // namespace tavi::web
