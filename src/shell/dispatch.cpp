#include "shell/dispatch.h"

#include <cctype>

#include "editing/clipboard_commands.h"
#include "shell/control.h"
#include "shell/runtime_error.h"

namespace tavi {

namespace {

using P = ParamType;
using R = ResultType;

// ---- Public variables as properties ----

template <bool TaviColorText::*M>
Variant getBool(TaviColorText& c, std::span<Variant>) {
  return Variant::fromBool(c.*M);
}
template <bool TaviColorText::*M>
Variant putBool(TaviColorText& c, std::span<Variant> a) {
  c.*M = a[0].boolValue() != 0;
  return {};
}
template <int32_t TaviColorText::*M>
Variant getLong(TaviColorText& c, std::span<Variant>) {
  return Variant::fromI4(c.*M);
}
template <int32_t TaviColorText::*M>
Variant putLong(TaviColorText& c, std::span<Variant> a) {
  c.*M = a[0].i4();
  return {};
}
template <Text TaviColorText::*M>
Variant getString(TaviColorText& c, std::span<Variant>) {
  return Variant::fromString(c.*M);
}
template <Text TaviColorText::*M>
Variant putString(TaviColorText& c, std::span<Variant> a) {
  c.*M = a[0].str();
  return {};
}

void addVariable(std::vector<DispatchMember>& rows, std::string_view name, int32_t dispid,
                 ParamType type, MemberHandler get, MemberHandler put) {
  const ResultType result = type == P::Boolean ? R::Boolean : type == P::Long ? R::Long : R::String;
  rows.push_back({name, dispid, MemberKind::Get, {}, result, get});
  rows.push_back({name, dispid, MemberKind::Put, {{"value", type, false}}, R::None, put});
}

#define TAVI_BOOL_VARIABLE(rows, name, dispid)                                 \
  addVariable(rows, #name, dispid, P::Boolean, &getBool<&TaviColorText::name>, \
              &putBool<&TaviColorText::name>)
#define TAVI_LONG_VARIABLE(rows, name, dispid)                              \
  addVariable(rows, #name, dispid, P::Long, &getLong<&TaviColorText::name>, \
              &putLong<&TaviColorText::name>)
#define TAVI_STRING_VARIABLE(rows, name, dispid)                                \
  addVariable(rows, #name, dispid, P::String, &getString<&TaviColorText::name>, \
              &putString<&TaviColorText::name>)

// ---- Argument conversion ----

Variant convert(const Variant& arg, ParamType type) {
  switch (type) {
    case P::Boolean:
      return Variant::fromVBool(arg.toBool());
    case P::Integer:
      return Variant::fromI2(arg.toI2());
    case P::Long:
      return Variant::fromI4(arg.toI4());
    case P::String:
      return Variant::fromString(arg.toText());
    case P::Variant:
      break;
  }
  return arg;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

InvokeResult failure(uint32_t hresult, std::string description) {
  InvokeResult result;
  result.hresult = hresult;
  result.description = std::move(description);
  return result;
}

std::vector<DispatchMember> buildTable() {
  std::vector<DispatchMember> t;
  TAVI_BOOL_VARIABLE(t, CtlKey, 0x40030005);
  TAVI_BOOL_VARIABLE(t, m_bKeywordHighlight, 0x40030006);
  TAVI_BOOL_VARIABLE(t, m_bChange, 0x40030007);
  TAVI_BOOL_VARIABLE(t, bFind, 0x40030008);
  TAVI_LONG_VARIABLE(t, m_MaxLen, 0x40030009);
  TAVI_STRING_VARIABLE(t, m_FindText, 0x4003000a);
  TAVI_BOOL_VARIABLE(t, m_bLock, 0x4003000b);
  TAVI_BOOL_VARIABLE(t, m_bFirstTime, 0x4003000c);
  TAVI_BOOL_VARIABLE(t, m_bSelect, 0x4003000d);
  TAVI_STRING_VARIABLE(t, m_strLang, 0x40030010);
  TAVI_STRING_VARIABLE(t, m_strScriptEditor, 0x4003003c);
  TAVI_STRING_VARIABLE(t, m_strMaximumSize, 0x4003003d);
  TAVI_STRING_VARIABLE(t, m_strPrintErr, 0x4003003e);
  TAVI_STRING_VARIABLE(t, m_strFinishSearch, 0x4003003f);
  TAVI_STRING_VARIABLE(t, m_strNotFoundText, 0x40030040);
  TAVI_STRING_VARIABLE(t, m_strPopUpMenu, 0x40030041);

  const std::vector<ParamInfo> none;
  const std::vector<ParamInfo> value = {{"value", P::Variant, false}};
  const std::vector<ParamInfo> findArgs = {{"AsFindText", P::Variant, true},
                                           {"bMatchCase", P::Boolean, true},
                                           {"bUp", P::Boolean, true}};
  using K = MemberKind;
  auto add = [&t](std::string_view name, int32_t dispid, K kind, std::vector<ParamInfo> params,
                  ResultType result, MemberHandler handler) {
    t.push_back({name, dispid, kind, std::move(params), result, handler});
  };

  add("Load_flag", 0x68030000, K::Put, value, R::None, [](TaviColorText& c, std::span<Variant> a) {
    c.putLoad_flag(a[0]);
    return Variant();
  });
  add("Load_flag", 0x68030000, K::Get, none, R::Variant,
      [](TaviColorText& c, std::span<Variant>) { return c.getLoad_flag(); });
  add("Text", 0x68030001, K::Get, none, R::Variant,
      [](TaviColorText& c, std::span<Variant>) { return c.getText(); });
  add("Text", 0x68030001, K::Put, value, R::None, [](TaviColorText& c, std::span<Variant> a) {
    c.putText(a[0]);
    return Variant();
  });
  add("Value", 0x68030002, K::Get, none, R::Variant,
      [](TaviColorText& c, std::span<Variant>) { return c.getValue(); });
  add("KeywordHighlight_flag", 0x68030003, K::Put, value, R::None,
      [](TaviColorText& c, std::span<Variant> a) {
        c.putKeywordHighlight_flag(a[0]);
        return Variant();
      });
  add("KeywordHighlight_flag", 0x68030003, K::Get, none, R::Variant,
      [](TaviColorText& c, std::span<Variant>) { return c.getKeywordHighlight_flag(); });
  add("Length", 0x68030004, K::Put, value, R::None, [](TaviColorText& c, std::span<Variant> a) {
    c.putLength(a[0]);
    return Variant();
  });
  add("Length", 0x68030004, K::Get, none, R::Variant,
      [](TaviColorText& c, std::span<Variant>) { return c.getLength(); });

  add("HighlightLine", 0x60030010, K::Method,
      {{"line", P::Long, true}, {"startPos", P::Long, true}}, R::Variant,
      [](TaviColorText& c, std::span<Variant> a) {
        int32_t line = a[0].i4();
        int32_t startPos = a[1].i4();
        Variant result = c.HighlightLine(line, startPos);
        a[0] = Variant::fromI4(line);
        a[1] = Variant::fromI4(startPos);
        return result;
      });
  add("change", 0x6003001a, K::Method,
      {{"oldstr", P::String, false},
       {"newstr", P::String, false},
       {"start", P::Long, true},
       {"changeNum", P::Long, true}},
      R::String, [](TaviColorText& c, std::span<Variant> a) {
        int32_t start = a[2].i4();
        int32_t changeNum = a[3].i4();
        Text removed = c.change(a[0].str(), a[1].str(), start, changeNum);
        a[2] = Variant::fromI4(start);
        a[3] = Variant::fromI4(changeNum);
        return Variant::fromString(std::move(removed));
      });
  add("Undo", 0x60030022, K::Method, none, R::Variant,
      [](TaviColorText& c, std::span<Variant>) { return c.Undo(); });
  add("Cut", 0x60030023, K::Method, none, R::Variant,
      [](TaviColorText& c, std::span<Variant>) { return c.Cut(); });
  add("Copy", 0x60030024, K::Method, none, R::Variant,
      [](TaviColorText& c, std::span<Variant>) { return c.Copy(); });
  add("Paste", 0x60030025, K::Method, none, R::Variant,
      [](TaviColorText& c, std::span<Variant>) { return ScriptedPaste(c); });
  add("Delete", 0x60030026, K::Method, none, R::Variant,
      [](TaviColorText& c, std::span<Variant>) { return c.Delete(); });
  add("SelectAll", 0x60030027, K::Method, none, R::Variant,
      [](TaviColorText& c, std::span<Variant>) { return c.SelectAll(); });
  // The search texts are Variants used as Strings: converted before anything happens.
  add("FindSE", 0x60030028, K::Method, findArgs, R::Variant,
      [](TaviColorText& c, std::span<Variant> a) {
        return c.FindSE(a[0].toText(), a[1].boolValue() != 0, a[2].boolValue() != 0);
      });
  add("FindSE_New", 0x60030072, K::Method, findArgs, R::String,
      [](TaviColorText& c, std::span<Variant> a) {
        return Variant::fromString(
            c.FindSE_New(a[0].toText(), a[1].boolValue() != 0, a[2].boolValue() != 0));
      });
  add("ReplaceSE", 0x6003002a, K::Method,
      {{"AsFindText", P::Variant, true}, {"AsReplaceText", P::Variant, true}}, R::Variant,
      [](TaviColorText& c, std::span<Variant> a) {
        const Text find = a[0].toText();
        return c.ReplaceSE(find, a[1].toText());
      });
  add("ReplaceAll", 0x6003002b, K::Method,
      {{"AsFindText", P::Variant, true},
       {"AsReplaceText", P::Variant, true},
       {"bMatchCase", P::Boolean, true}},
      R::Variant, [](TaviColorText& c, std::span<Variant> a) {
        const Text find = a[0].toText();
        return c.ReplaceAll(find, a[1].toText(), a[2].boolValue() != 0);
      });
  add("SetHourGlassCursor", 0x6003002c, K::Method, none, R::Variant,
      [](TaviColorText& c, std::span<Variant>) { return c.SetHourGlassCursor(); });
  add("SetArrowCursor", 0x6003002d, K::Method, none, R::Variant,
      [](TaviColorText& c, std::span<Variant>) { return c.SetArrowCursor(); });
  add("DisableControl", 0x6003002e, K::Method, none, R::Variant,
      [](TaviColorText& c, std::span<Variant>) { return c.DisableControl(); });
  add("Redo", 0x6003002f, K::Method, none, R::Variant,
      [](TaviColorText& c, std::span<Variant>) { return c.Redo(); });
  add("PrinterSE", 0x60030030, K::Method, {{"PrintFlags", P::Integer, true}}, R::None,
      [](TaviColorText& c, std::span<Variant> a) {
        int16_t printFlags = a[0].i2();
        c.PrinterSE(printFlags);
        a[0] = Variant::fromI2(printFlags);
        return Variant();
      });
  add("CheckHighLightText", 0x60030034, K::Method, none, R::None,
      [](TaviColorText& c, std::span<Variant>) {
        c.CheckHighLightText();
        return Variant();
      });
  add("MessageBox", 0x60030054, K::Method,
      {{"Msg", P::String, false}, {"buttons", P::Long, false}, {"title", P::String, false}},
      R::None, [](TaviColorText& c, std::span<Variant> a) {
        c.MessageBox(a[0].str(), a[1].i4(), a[2].str());
        return Variant();
      });

  // Opt-in extensions, at DISPIDs of their own.
  TAVI_BOOL_VARIABLE(t, ColourOnLoad, 0x60100001);
  add("ColourAll", 0x60100002, K::Method, none, R::Variant,
      [](TaviColorText& c, std::span<Variant>) { return c.ColourAll(); });
  TAVI_BOOL_VARIABLE(t, StrictLock, 0x60100003);
  add("Unlock", 0x60100004, K::Method, none, R::Variant,
      [](TaviColorText& c, std::span<Variant>) { return c.Unlock(); });
  add("SetKeywordHint", 0x60100005, K::Method,
      {{"keyword", P::String, false}, {"hint", P::String, false}}, R::None,
      [](TaviColorText& c, std::span<Variant> a) {
        c.SetKeywordHint(a[0].str(), a[1].str());
        return Variant();
      });
  TAVI_BOOL_VARIABLE(t, HideEmptyHint, 0x60100006);
  TAVI_BOOL_VARIABLE(t, ListKeepsKeys, 0x60100007);
  TAVI_BOOL_VARIABLE(t, UndoByWords, 0x60100008);
  TAVI_BOOL_VARIABLE(t, ShiftTabOutdent, 0x60100009);
  return t;
}

}  // namespace

DispatchTable::DispatchTable() : members_(buildTable()) {}

const DispatchTable& DispatchTable::instance() {
  static const DispatchTable table;
  return table;
}

std::optional<int32_t> DispatchTable::idOfName(std::string_view name) const {
  for (const DispatchMember& m : members_)
    if (equalsIgnoringCase(m.name, name)) return m.dispid;
  return std::nullopt;
}

const DispatchMember* DispatchTable::find(int32_t dispid, MemberKind kind) const {
  for (const DispatchMember& m : members_)
    if (m.dispid == dispid && m.kind == kind) return &m;
  return nullptr;
}

InvokeResult DispatchTable::invoke(TaviColorText& control, int32_t dispid, MemberKind kind,
                                   std::vector<Variant> args) const {
  const DispatchMember* member = find(dispid, kind);
  // Script hosts call a parameterless property through the method kind as well.
  if (member == nullptr && kind == MemberKind::Method) member = find(dispid, MemberKind::Get);
  if (member == nullptr) return failure(hr::kMemberNotFound, "Member not found");
  if (args.size() != member->params.size())
    return failure(hr::kBadParamCount, "Invalid number of parameters");
  if (member->handler == nullptr) return failure(hr::kNotImplemented, "Not implemented");

  InvokeResult result;
  result.resultType = member->result;
  try {
    for (size_t i = 0; i < args.size(); ++i) args[i] = convert(args[i], member->params[i].type);
    result.value = member->handler(control, args);
  } catch (const RuntimeError& error) {
    InvokeResult failed = failure(error.hresult(), error.what());
    failed.errorNumber = error.number();
    return failed;
  }
  for (size_t i = 0; i < args.size(); ++i)
    if (member->params[i].byRef) result.byRef.push_back(args[i]);
  return result;
}

}  // namespace tavi
