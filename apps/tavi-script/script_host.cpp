#include "tavi-script/script_host.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "shell/dispatch.h"
#include "shell/object_safety.h"
#include "shell/runtime_error.h"
#include "tavi-script/json_values.h"
#include "tavi-script/state_report.h"

namespace tavi::script {

namespace {

using json = nlohmann::json;

constexpr uint32_t kEInvalidArg = 0x80070057;
constexpr int kFileNotFound = 53;

std::string hex(uint32_t value) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "0x%08X", value);
  return buffer;
}

OrderedJson errorResult(int number, uint32_t hresult, const std::string& description) {
  return {{"error", {{"number", number}, {"hresult", hex(hresult)}, {"description", description}}}};
}

OrderedJson okResult(OrderedJson value = nullptr) { return {{"ok", std::move(value)}}; }

}  // namespace

// A command line that cannot be carried out as written: the error result names the
// reason, and the line counts as not parsed.
class ScriptHost::BadCommand : public std::invalid_argument {
  using std::invalid_argument::invalid_argument;
};

namespace {

const json& arg(const json& command, size_t i) {
  if (i >= command.size()) throw std::invalid_argument("missing argument " + std::to_string(i));
  return command[i];
}

int64_t intArg(const json& command, size_t i) {
  const json& v = arg(command, i);
  if (!v.is_number_integer())
    throw std::invalid_argument("argument " + std::to_string(i) + " must be an integer");
  return v.get<int64_t>();
}

double numberArg(const json& command, size_t i) {
  const json& v = arg(command, i);
  if (!v.is_number())
    throw std::invalid_argument("argument " + std::to_string(i) + " must be a number");
  return v.get<double>();
}

int16_t shortArg(const json& command, size_t i) {
  const int64_t v = intArg(command, i);
  if (v < INT16_MIN || v > INT16_MAX) throw std::invalid_argument("argument out of range");
  return static_cast<int16_t>(v);
}

int32_t longArg(const json& command, size_t i) {
  const int64_t v = intArg(command, i);
  if (v < INT32_MIN || v > INT32_MAX) throw std::invalid_argument("argument out of range");
  return static_cast<int32_t>(v);
}

const std::string& stringArg(const json& command, size_t i) {
  const json& v = arg(command, i);
  if (!v.is_string())
    throw std::invalid_argument("argument " + std::to_string(i) + " must be a string");
  return v.get_ref<const std::string&>();
}

bool boolArg(const json& command, size_t i) {
  const json& v = arg(command, i);
  if (!v.is_boolean())
    throw std::invalid_argument("argument " + std::to_string(i) + " must be true or false");
  return v.get<bool>();
}

int32_t dispidArg(const json& command, size_t i) {
  const json& v = arg(command, i);
  int64_t id = 0;
  if (v.is_number_integer()) {
    id = v.get<int64_t>();
  } else if (v.is_string()) {
    const std::string& s = v.get_ref<const std::string&>();
    size_t used = 0;
    try {
      id = std::stoll(s, &used, 0);
    } catch (const std::exception&) {
      used = 0;
    }
    if (used == 0 || used != s.size()) throw std::invalid_argument("not a DISPID: " + s);
  } else {
    throw std::invalid_argument("a DISPID must be a number or a string");
  }
  if (id < INT32_MIN || id > UINT32_MAX) throw std::invalid_argument("DISPID out of range");
  return static_cast<int32_t>(static_cast<uint32_t>(id & 0xFFFFFFFF));
}

MemberKind kindArg(const json& command, size_t i) {
  const std::string& kind = stringArg(command, i);
  if (kind == "get") return MemberKind::Get;
  if (kind == "put") return MemberKind::Put;
  if (kind == "method") return MemberKind::Method;
  throw std::invalid_argument("the kind must be get, put or method");
}

void expectSize(const json& command, size_t size) {
  if (command.size() != size)
    throw std::invalid_argument("expected " + std::to_string(size - 1) + " argument(s)");
}

const std::string& stringField(const json& object, const char* key) {
  const auto it = object.find(key);
  if (it == object.end() || !it->is_string())
    throw std::invalid_argument(std::string("\"") + key + "\" must be a string");
  return it->get_ref<const std::string&>();
}

// [{"name", "driver", "port"}, ...]
std::vector<ScriptPrinter> printersArg(const json& command, size_t i) {
  const json& list = arg(command, i);
  if (!list.is_array()) throw std::invalid_argument("the printers are a list");
  std::vector<ScriptPrinter> printers;
  for (const json& p : list) {
    if (!p.is_object()) throw std::invalid_argument("a printer is an object");
    printers.push_back({fromUtf8(stringField(p, "name")), fromUtf8(stringField(p, "driver")),
                        fromUtf8(stringField(p, "port"))});
  }
  return printers;
}

// "cancel", or {"printer": NAME, "copies": N, ...} with any of its fields.
ScriptDialogAnswer dialogAnswerArg(const json& command, size_t i) {
  const json& v = arg(command, i);
  ScriptDialogAnswer answer;
  if (v == "cancel") {
    answer.cancel = true;
    return answer;
  }
  if (!v.is_object())
    throw std::invalid_argument("the dialog's answer is \"cancel\" or an object of choices");
  const std::pair<const char*, std::optional<int16_t>*> numbers[] = {
      {"copies", &answer.copies},
      {"orientation", &answer.orientation},
      {"duplex", &answer.duplex},
      {"paperSize", &answer.paperSize},
      {"printQuality", &answer.printQuality}};
  for (const auto& item : v.items()) {
    const std::string& key = item.key();  // not a structured binding: a lambda captures it
    const json& value = item.value();
    if (key == "printer") {
      answer.printer = fromUtf8(stringField(v, "printer"));
      continue;
    }
    const auto* field = std::find_if(std::begin(numbers), std::end(numbers),
                                     [&](const auto& n) { return key == n.first; });
    if (field == std::end(numbers)) throw std::invalid_argument("no dialog choice " + key);
    if (!value.is_number_integer() || value.get<int64_t>() < INT16_MIN ||
        value.get<int64_t>() > INT16_MAX)
      throw std::invalid_argument("\"" + key + "\" must be a 16-bit integer");
    *field->second = static_cast<int16_t>(value.get<int64_t>());
  }
  return answer;
}

}  // namespace

std::optional<ScriptFocus> parseScriptFocus(std::string_view name) {
  if (name == "surface") return ScriptFocus::kSurface;
  if (name == "list") return ScriptFocus::kList;
  if (name == "away") return ScriptFocus::kAway;
  return std::nullopt;
}

struct ScriptHost::Hosted : EventSink {
  Hosted(ScriptHost& host, ScriptControl& widgets) : host(host), widgets(widgets) {
    widgets.advise(*this);
  }
  ~Hosted() override { widgets.unadvise(*this); }

  void onChange() override { host.writeEvent({{"event", "onChange"}}); }
  void onEvent(int16_t& id) override { host.writeEvent({{"event", "onEvent"}, {"id", id}}); }

  ScriptHost& host;
  ScriptControl& widgets;
};

ScriptHost::ScriptHost(std::ostream& out, std::filesystem::path baseDir,
                       std::unique_ptr<ScriptPlatform> platform)
    : out_(out), baseDir_(std::move(baseDir)), platform_(std::move(platform)) {
  createControl();
  flushMessageBoxes();
}

ScriptHost::~ScriptHost() = default;

int ScriptHost::createControl() {
  ScriptControl& widgets = platform_->createControl();
  controls_.push_back(std::make_unique<Hosted>(*this, widgets));
  current_ = controls_.size() - 1;
  widgets.resize(kDefaultControlWidth, kDefaultControlHeight);
  return static_cast<int>(current_);
}

ScriptHost::Hosted& ScriptHost::current() { return *controls_.at(current_); }

void ScriptHost::writeLine(const OrderedJson& line) {
  out_ << line.dump(-1, ' ', false, OrderedJson::error_handler_t::replace) << '\n';
}

void ScriptHost::flushMessageBoxes() {
  for (const MessageBoxReport& box : platform_->drainMessageBoxes())
    writeLine({{"messagebox",
                {{"text", toUtf8(box.text)}, {"title", toUtf8(box.title)}, {"style", box.style}}}});
}

void ScriptHost::writeEvent(const OrderedJson& line) {
  flushMessageBoxes();  // boxes shown before this event come first
  writeLine(line);
}

bool ScriptHost::runLine(std::string_view line) {
  const size_t first = line.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos || line[first] == '#') return true;

  json command;
  try {
    command = json::parse(line);
  } catch (const json::exception&) {
    writeLine(errorResult(0, kEInvalidArg, "invalid JSON"));
    return false;
  }
  OrderedJson result;
  bool parsed = true;
  try {
    if (!command.is_array() || command.empty() || !command[0].is_string())
      throw BadCommand("a command is a JSON array whose first element is its name");
    result = execute(command);
  } catch (const std::invalid_argument& e) {
    result = errorResult(0, kEInvalidArg, e.what());
    parsed = false;
  } catch (const RuntimeError& e) {
    result = errorResult(e.number(), e.hresult(), e.what());
  }
  flushMessageBoxes();
  writeLine(result);
  return parsed;
}

OrderedJson ScriptHost::execute(const json& c) {
  const std::string& name = c[0].get_ref<const std::string&>();
  auto memberId = [&](size_t i) -> std::optional<int32_t> {
    return current().widgets.idOfName(stringArg(c, i));
  };
  auto unknownName = [] { return errorResult(0, hr::kUnknownName, "Unknown name"); };

  if (name == "get" || name == "put" || name == "call") {
    const std::optional<int32_t> id = memberId(1);
    if (name == "get") expectSize(c, 2);
    if (name == "put") expectSize(c, 3);
    if (!id) return unknownName();
    const MemberKind kind = name == "get"   ? MemberKind::Get
                            : name == "put" ? MemberKind::Put
                                            : MemberKind::Method;
    return dispatchCommand(*id, kind, c, 2);
  }
  if (name == "invoke") return dispatchCommand(dispidArg(c, 1), kindArg(c, 2), c, 3);
  if (name == "safety") return safetyCommand(c);
  if (name == "load") return loadCommand(c);

  if (name == "new") {
    expectSize(c, 1);
    return okResult(createControl());
  }
  if (name == "use") {
    expectSize(c, 2);
    const int64_t n = intArg(c, 1);
    if (n < 0 || n >= static_cast<int64_t>(controls_.size()))
      throw BadCommand("no control " + std::to_string(n));
    current_ = static_cast<size_t>(n);
    return okResult();
  }
  if (name == "terminate") {
    expectSize(c, 1);
    current().widgets.terminate();
    return okResult();
  }

  Hosted& h = current();
  ScriptControl& w = h.widgets;
  if (name == "type") {
    expectSize(c, 2);
    w.type(textFromJson(arg(c, 1)));
  } else if (name == "compose") {
    expectSize(c, 2);
    w.compose(textFromJson(arg(c, 1)));
  } else if (name == "key" || name == "keydown" || name == "keyup") {
    expectSize(c, 3);
    const int16_t vk = shortArg(c, 1), shift = shortArg(c, 2);
    if (name == "key")
      w.key(vk, shift);
    else if (name == "keydown")
      w.keyDown(vk, shift);
    else
      w.keyUp(vk, shift);
  } else if (name == "caps") {
    expectSize(c, 2);
    platform_->setCapsLock(boolArg(c, 1));
  } else if (name == "select") {
    expectSize(c, 3);
    w.select(longArg(c, 1), longArg(c, 2));
  } else if (name == "click" || name == "rightclick") {
    expectSize(c, 3);
    if (name == "click")
      w.click(numberArg(c, 1), numberArg(c, 2));
    else
      w.rightClick(numberArg(c, 1), numberArg(c, 2));
  } else if (name == "mousedown" || name == "mouseup") {
    expectSize(c, 5);
    const int16_t button = shortArg(c, 1), shift = shortArg(c, 2);
    if (name == "mousedown")
      w.mouseDown(button, shift, numberArg(c, 3), numberArg(c, 4));
    else
      w.mouseUp(button, shift, numberArg(c, 3), numberArg(c, 4));
  } else if (name == "menu") {
    expectSize(c, 2);
    w.menu(shortArg(c, 1));
  } else if (name == "focus") {
    expectSize(c, 2);
    const std::optional<ScriptFocus> place = parseScriptFocus(stringArg(c, 1));
    if (!place) throw BadCommand("focus goes to surface, list or away");
    w.focus(*place);
  } else if (name == "scroll") {
    expectSize(c, 2);
    w.scroll(longArg(c, 1));
  } else if (name == "tick") {
    expectSize(c, 1);
    w.tick();
  } else if (name == "resize") {
    expectSize(c, 3);
    w.resize(numberArg(c, 1), numberArg(c, 2));
  } else if (name == "paint") {
    expectSize(c, 1);
    w.paint();
  } else if (name == "clipboard") {
    if (c.size() == 1) {
      const std::optional<Text> content = platform_->clipboardText();
      return okResult(content ? OrderedJson(toUtf8(*content)) : OrderedJson(nullptr));
    }
    expectSize(c, 2);
    if (c[1].is_null())
      platform_->setClipboardText(std::nullopt);
    else
      platform_->setClipboardText(textFromJson(c[1]));
  } else if (name == "clipboard-locked") {
    expectSize(c, 2);
    platform_->setClipboardLocked(boolArg(c, 1));
  } else if (name == "printers") {
    expectSize(c, 3);
    const std::vector<ScriptPrinter> printers = printersArg(c, 1);
    const int64_t currentPrinter = intArg(c, 2);
    if (!printers.empty() &&
        (currentPrinter < 0 || currentPrinter >= static_cast<int64_t>(printers.size())))
      throw BadCommand("no printer " + std::to_string(currentPrinter));
    platform_->setPrinters(printers, static_cast<int32_t>(currentPrinter));
  } else if (name == "printdialog") {
    expectSize(c, 2);
    platform_->scriptPrintDialog(dialogAnswerArg(c, 1));
  } else if (name == "state") {
    OrderedJson state = stateOf(w.widgets(), w.coreState());
    if (maskMetrics_) maskStateMetrics(state);
    if (c.size() == 1) return okResult(std::move(state));
    // ["state", FIELD...]: only the named fields, in the order named; a field may be a
    // path into one, "list.listIndex".
    OrderedJson picked = OrderedJson::object();
    for (size_t i = 1; i < c.size(); ++i) {
      const std::string& field = stringArg(c, i);
      const OrderedJson* value = &state;
      for (size_t from = 0, dot = 0; dot != std::string::npos; from = dot + 1) {
        dot = field.find('.', from);
        const std::string part = field.substr(from, dot - from);
        if (!value->is_object() || !value->contains(part))
          throw std::invalid_argument("no state field " + field);
        value = &value->at(part);
      }
      picked[field] = *value;
    }
    return okResult(std::move(picked));
  } else if (name == "formats") {
    expectSize(c, 1);
    return okResult(formatsOf(w.formats()));
  } else if (name == "gutter") {
    expectSize(c, 1);
    OrderedJson gutter = gutterOf(w.gutter());
    if (maskMetrics_) maskGutterMetrics(gutter);
    return okResult(std::move(gutter));
  } else if (name == "menu-items") {
    expectSize(c, 1);
    return okResult(menuItemsOf(w.menuItems()));
  } else if (name == "printout") {
    expectSize(c, 1);
    return okResult(printoutOf(platform_->printout()));
  } else {
    throw BadCommand("unknown command " + name);
  }
  return okResult();
}

OrderedJson ScriptHost::dispatchCommand(int32_t dispid, MemberKind kind, const json& c,
                                        size_t firstArg) {
  std::vector<Variant> args;
  for (size_t i = firstArg; i < c.size(); ++i) args.push_back(variantFromJson(c[i]));
  const DispatchTable& table = DispatchTable::instance();
  const DispatchMember* member = table.find(dispid, kind);
  if (member == nullptr && kind == MemberKind::Method) member = table.find(dispid, MemberKind::Get);
  InvokeResult r = current().widgets.invoke(dispid, kind, std::move(args));
  if (!r.ok()) return errorResult(r.errorNumber, r.hresult, r.description);
  OrderedJson result = okResult(jsonFromVariant(r.value));
  if (r.resultType == ResultType::Variant) result["vt"] = varTypeName(r.value.type());
  const bool hasByRef =
      member != nullptr && std::any_of(member->params.begin(), member->params.end(),
                                       [](const ParamInfo& p) { return p.byRef; });
  if (hasByRef) {
    OrderedJson byRef = OrderedJson::array();
    for (const Variant& v : r.byRef) byRef.push_back(jsonFromVariant(v));
    result["byref"] = byRef;
  }
  return result;
}

OrderedJson ScriptHost::safetyCommand(const json& c) {
  const std::string& op = stringArg(c, 1);
  std::optional<Guid> iid;
  const json& iidArg = arg(c, 2);
  if (!iidArg.is_null()) {
    iid = parseGuid(stringArg(c, 2));
    if (!iid) throw BadCommand("not an interface identifier: " + iidArg.dump());
  }
  const Guid* riid = iid ? &*iid : nullptr;
  if (op == "get") {
    expectSize(c, 3);
    uint32_t supported = 0;
    uint32_t enabled = 0xFFFFFFFF;  // a value no answer writes: unwritten shows as null
    const uint32_t hr = current().widgets.getSafety(riid, &supported, &enabled);
    return okResult(
        {{"hresult", hex(hr)},
         {"supported", supported},
         {"enabled", enabled == 0xFFFFFFFF ? OrderedJson(nullptr) : OrderedJson(enabled)}});
  }
  if (op == "set") {
    expectSize(c, 5);
    const int64_t mask = intArg(c, 3), enabled = intArg(c, 4);
    if (mask < INT32_MIN || mask > UINT32_MAX || enabled < INT32_MIN || enabled > UINT32_MAX)
      throw BadCommand("option masks are 32-bit");
    const uint32_t hr = current().widgets.setSafety(riid, static_cast<uint32_t>(mask),
                                                    static_cast<uint32_t>(enabled));
    return okResult({{"hresult", hex(hr)}});
  }
  throw BadCommand("safety takes get or set");
}

OrderedJson ScriptHost::loadCommand(const json& c) {
  expectSize(c, 2);
  const std::string name = stringArg(c, 1);
  std::filesystem::path path(std::u8string(name.begin(), name.end()));
  if (path.is_relative()) path = baseDir_ / path;
  // A directory opens as a stream on some systems and reads as nothing: only a regular file
  // that reads completely loads.
  std::error_code error;
  std::ifstream file;
  if (std::filesystem::is_regular_file(path, error)) file.open(path, std::ios::binary);
  std::ostringstream content;
  if (!file || !(content << file.rdbuf()) || file.bad())
    return errorResult(kFileNotFound, 0x800A0000u + kFileNotFound, "File not found");
  const std::optional<int32_t> id = current().widgets.idOfName("Text");
  if (!id) return errorResult(0, hr::kUnknownName, "Unknown name");
  InvokeResult r = current().widgets.invoke(*id, MemberKind::Put,
                                            {Variant::fromString(fromUtf8(content.str()))});
  if (!r.ok()) return errorResult(r.errorNumber, r.hresult, r.description);
  return okResult();
}

}  // namespace tavi::script
