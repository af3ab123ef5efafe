// The vtable half of the dual interface _TaviColorText: every member forwards to the
// dispatch table's member of the same DISPID (the IDL's ids), so a call through the vtable
// and a call through IDispatch::Invoke run the same code with the same conversions.
// Errors come back as 0x800A0000 + the runtime error number, with an error object.
#include <exception>
#include <initializer_list>
#include <new>
#include <string>
#include <type_traits>
#include <variant>
#include <vector>

#include "shell/dispatch.h"
#include "shell/runtime_error.h"
#include "win32/com_control.h"
#include "win32/com_ids.h"
#include "win32/variant_bridge.h"

namespace tavi::win32 {

namespace {

constexpr MemberKind kGet = MemberKind::Get;
constexpr MemberKind kPut = MemberKind::Put;
constexpr MemberKind kMethod = MemberKind::Method;

// One typed argument of a vtable member: a value, or for a ByRef parameter the caller's
// pointer, read before the call and written after it. Integers and Booleans are both
// 16-bit (VARIANT_BOOL is a short): the table converts them to the parameter's type.
class TypedArg {
 public:
  TypedArg(short v) : arg_(v) {}
  TypedArg(LONG v) : arg_(v) {}
  TypedArg(BSTR v) : arg_(v) {}
  TypedArg(const VARIANT& v) : arg_(&v) {}
  TypedArg(short* ref) : arg_(ref) {}
  TypedArg(LONG* ref) : arg_(ref) {}
  TypedArg(VARIANT* ref) : arg_(ref) {}

  bool isNullRef() const {
    return std::visit(
        [](auto a) {
          if constexpr (std::is_pointer_v<decltype(a)> && !std::is_same_v<decltype(a), BSTR>)
            return a == nullptr;
          else
            return false;
        },
        arg_);
  }

  Variant read() const {
    return std::visit(
        [](auto a) -> Variant {
          using A = decltype(a);
          if constexpr (std::is_same_v<A, short>)
            return Variant::fromI2(a);
          else if constexpr (std::is_same_v<A, LONG>)
            return Variant::fromI4(a);
          else if constexpr (std::is_same_v<A, BSTR>)
            return Variant::fromString(fromBstr(a));
          else if constexpr (std::is_same_v<A, short*>)
            return Variant::fromI2(*a);
          else if constexpr (std::is_same_v<A, LONG*>)
            return Variant::fromI4(*a);
          else
            return fromVariant(*a);
        },
        arg_);
  }

  // Writes a ByRef result back through the caller's pointer; values are left alone.
  void writeBack(const Variant& value) const {
    if (auto* ref = std::get_if<short*>(&arg_)) **ref = value.toI2();
    if (auto* ref = std::get_if<LONG*>(&arg_)) **ref = value.toI4();
    if (auto* ref = std::get_if<VARIANT*>(&arg_)) {
      VariantClear(*ref);
      toVariant(value, ResultType::Variant, *ref);
    }
  }

 private:
  std::variant<short, LONG, BSTR, const VARIANT*, short*, LONG*, VARIANT*> arg_;
};

// The [out, retval] result: empty until the call succeeds.
void clear(VARIANT* out) { VariantInit(out); }
void clear(BSTR* out) { *out = nullptr; }
void clear(VARIANT_BOOL* out) { *out = VARIANT_FALSE; }
void clear(LONG* out) { *out = 0; }

void store(const Variant& value, ResultType type, VARIANT* out) { toVariant(value, type, out); }
void store(const Variant& value, ResultType, BSTR* out) { *out = toBstr(value.toText()); }
void store(const Variant& value, ResultType, VARIANT_BOOL* out) { *out = value.toBool(); }
void store(const Variant& value, ResultType, LONG* out) { *out = value.toI4(); }

// Sets the thread's error object to `description` from this control, and answers the
// error's HRESULT.
HRESULT reportError(HRESULT hresult, const std::string& description) {
  ICreateErrorInfo* create = nullptr;
  if (SUCCEEDED(CreateErrorInfo(&create))) {
    const std::wstring text(description.begin(), description.end());
    create->SetGUID(kIid);
    create->SetSource(const_cast<LPOLESTR>(kErrorSource));
    create->SetDescription(const_cast<LPOLESTR>(text.c_str()));
    IErrorInfo* info = nullptr;
    if (SUCCEEDED(create->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(&info)))) {
      SetErrorInfo(0, info);
      info->Release();
    }
    create->Release();
  }
  return hresult;
}

// Calls the table's member `id` of `kind` on `object`'s `control` with `args`, writes its
// ByRef parameters back and its result into `result` (nullptr for a member without one).
template <typename Result = std::nullptr_t>
HRESULT call(ComControl& object, TaviColorText& control, DISPID id, MemberKind kind,
             std::initializer_list<TypedArg> args, Result* result = nullptr) {
  const ComControl::KeepAlive alive(object);
  constexpr bool hasResult = !std::is_same_v<Result, std::nullptr_t>;
  if constexpr (hasResult) {
    if (result == nullptr) return E_POINTER;
    clear(result);
  }
  for (const TypedArg& arg : args)
    if (arg.isNullRef()) return E_POINTER;
  const DispatchTable& table = DispatchTable::instance();
  try {
    std::vector<Variant> values;
    values.reserve(args.size());
    for (const TypedArg& arg : args) values.push_back(arg.read());
    const InvokeResult outcome = table.invoke(control, id, kind, std::move(values));
    if (!outcome.ok()) {
      if (outcome.errorNumber == 0) return static_cast<HRESULT>(outcome.hresult);
      return reportError(static_cast<HRESULT>(outcome.hresult), outcome.description);
    }
    const DispatchMember* member = table.find(id, kind);
    size_t written = 0;
    for (size_t i = 0; member != nullptr && i < member->params.size(); ++i)
      if (member->params[i].byRef) args.begin()[i].writeBack(outcome.byRef[written++]);
    if constexpr (hasResult) store(outcome.value, outcome.resultType, result);
    return S_OK;
  } catch (const RuntimeError& error) {
    return reportError(static_cast<HRESULT>(error.hresult()), error.what());
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (const std::exception&) {
    return E_UNEXPECTED;
  }
}

}  // namespace

HRESULT ComControl::InterfaceSupportsErrorInfo(REFIID riid) {
  return riid == kIid ? S_OK : S_FALSE;
}

HRESULT ComControl::get_CtlKey(VARIANT_BOOL* v) {
  return call(*this, *control_, 0x40030005, kGet, {}, v);
}
HRESULT ComControl::put_CtlKey(VARIANT_BOOL v) {
  return call(*this, *control_, 0x40030005, kPut, {v});
}
HRESULT ComControl::get_m_bKeywordHighlight(VARIANT_BOOL* v) {
  return call(*this, *control_, 0x40030006, kGet, {}, v);
}
HRESULT ComControl::put_m_bKeywordHighlight(VARIANT_BOOL v) {
  return call(*this, *control_, 0x40030006, kPut, {v});
}
HRESULT ComControl::get_m_bChange(VARIANT_BOOL* v) {
  return call(*this, *control_, 0x40030007, kGet, {}, v);
}
HRESULT ComControl::put_m_bChange(VARIANT_BOOL v) {
  return call(*this, *control_, 0x40030007, kPut, {v});
}
HRESULT ComControl::get_bFind(VARIANT_BOOL* v) {
  return call(*this, *control_, 0x40030008, kGet, {}, v);
}
HRESULT ComControl::put_bFind(VARIANT_BOOL v) {
  return call(*this, *control_, 0x40030008, kPut, {v});
}
HRESULT ComControl::get_m_MaxLen(LONG* v) {
  return call(*this, *control_, 0x40030009, kGet, {}, v);
}
HRESULT ComControl::put_m_MaxLen(LONG v) { return call(*this, *control_, 0x40030009, kPut, {v}); }
HRESULT ComControl::get_m_FindText(BSTR* v) {
  return call(*this, *control_, 0x4003000a, kGet, {}, v);
}
HRESULT ComControl::put_m_FindText(BSTR v) { return call(*this, *control_, 0x4003000a, kPut, {v}); }
HRESULT ComControl::get_m_bLock(VARIANT_BOOL* v) {
  return call(*this, *control_, 0x4003000b, kGet, {}, v);
}
HRESULT ComControl::put_m_bLock(VARIANT_BOOL v) {
  return call(*this, *control_, 0x4003000b, kPut, {v});
}
HRESULT ComControl::get_m_bFirstTime(VARIANT_BOOL* v) {
  return call(*this, *control_, 0x4003000c, kGet, {}, v);
}
HRESULT ComControl::put_m_bFirstTime(VARIANT_BOOL v) {
  return call(*this, *control_, 0x4003000c, kPut, {v});
}
HRESULT ComControl::get_m_bSelect(VARIANT_BOOL* v) {
  return call(*this, *control_, 0x4003000d, kGet, {}, v);
}
HRESULT ComControl::put_m_bSelect(VARIANT_BOOL v) {
  return call(*this, *control_, 0x4003000d, kPut, {v});
}
HRESULT ComControl::get_m_strLang(BSTR* v) {
  return call(*this, *control_, 0x40030010, kGet, {}, v);
}
HRESULT ComControl::put_m_strLang(BSTR v) { return call(*this, *control_, 0x40030010, kPut, {v}); }
HRESULT ComControl::get_m_strScriptEditor(BSTR* v) {
  return call(*this, *control_, 0x4003003c, kGet, {}, v);
}
HRESULT ComControl::put_m_strScriptEditor(BSTR v) {
  return call(*this, *control_, 0x4003003c, kPut, {v});
}
HRESULT ComControl::get_m_strMaximumSize(BSTR* v) {
  return call(*this, *control_, 0x4003003d, kGet, {}, v);
}
HRESULT ComControl::put_m_strMaximumSize(BSTR v) {
  return call(*this, *control_, 0x4003003d, kPut, {v});
}
HRESULT ComControl::get_m_strPrintErr(BSTR* v) {
  return call(*this, *control_, 0x4003003e, kGet, {}, v);
}
HRESULT ComControl::put_m_strPrintErr(BSTR v) {
  return call(*this, *control_, 0x4003003e, kPut, {v});
}
HRESULT ComControl::get_m_strFinishSearch(BSTR* v) {
  return call(*this, *control_, 0x4003003f, kGet, {}, v);
}
HRESULT ComControl::put_m_strFinishSearch(BSTR v) {
  return call(*this, *control_, 0x4003003f, kPut, {v});
}
HRESULT ComControl::get_m_strNotFoundText(BSTR* v) {
  return call(*this, *control_, 0x40030040, kGet, {}, v);
}
HRESULT ComControl::put_m_strNotFoundText(BSTR v) {
  return call(*this, *control_, 0x40030040, kPut, {v});
}
HRESULT ComControl::get_m_strPopUpMenu(BSTR* v) {
  return call(*this, *control_, 0x40030041, kGet, {}, v);
}
HRESULT ComControl::put_m_strPopUpMenu(BSTR v) {
  return call(*this, *control_, 0x40030041, kPut, {v});
}

HRESULT ComControl::put_Load_flag(VARIANT v) {
  return call(*this, *control_, 0x68030000, kPut, {v});
}
HRESULT ComControl::get_Load_flag(VARIANT* v) {
  return call(*this, *control_, 0x68030000, kGet, {}, v);
}
HRESULT ComControl::get_Text(VARIANT* v) { return call(*this, *control_, 0x68030001, kGet, {}, v); }
HRESULT ComControl::put_Text(VARIANT v) { return call(*this, *control_, 0x68030001, kPut, {v}); }
HRESULT ComControl::get_Value(VARIANT* v) {
  return call(*this, *control_, 0x68030002, kGet, {}, v);
}
HRESULT ComControl::put_KeywordHighlight_flag(VARIANT v) {
  return call(*this, *control_, 0x68030003, kPut, {v});
}
HRESULT ComControl::get_KeywordHighlight_flag(VARIANT* v) {
  return call(*this, *control_, 0x68030003, kGet, {}, v);
}
HRESULT ComControl::put_Length(VARIANT v) { return call(*this, *control_, 0x68030004, kPut, {v}); }
HRESULT ComControl::get_Length(VARIANT* v) {
  return call(*this, *control_, 0x68030004, kGet, {}, v);
}

HRESULT ComControl::HighlightLine(LONG* line, LONG* startPos, VARIANT* r) {
  return call(*this, *control_, 0x60030010, kMethod, {line, startPos}, r);
}
HRESULT ComControl::change(BSTR oldstr, BSTR newstr, LONG* start, LONG* changeNum, BSTR* r) {
  return call(*this, *control_, 0x6003001a, kMethod, {oldstr, newstr, start, changeNum}, r);
}
HRESULT ComControl::Undo(VARIANT* r) { return call(*this, *control_, 0x60030022, kMethod, {}, r); }
HRESULT ComControl::Cut(VARIANT* r) { return call(*this, *control_, 0x60030023, kMethod, {}, r); }
HRESULT ComControl::Copy(VARIANT* r) { return call(*this, *control_, 0x60030024, kMethod, {}, r); }
HRESULT ComControl::Paste(VARIANT* r) { return call(*this, *control_, 0x60030025, kMethod, {}, r); }
HRESULT ComControl::Delete(VARIANT* r) {
  return call(*this, *control_, 0x60030026, kMethod, {}, r);
}
HRESULT ComControl::SelectAll(VARIANT* r) {
  return call(*this, *control_, 0x60030027, kMethod, {}, r);
}
HRESULT ComControl::FindSE(VARIANT* find, VARIANT_BOOL* matchCase, VARIANT_BOOL* up, VARIANT* r) {
  return call(*this, *control_, 0x60030028, kMethod, {find, matchCase, up}, r);
}
HRESULT ComControl::FindSE_New(VARIANT* find, VARIANT_BOOL* matchCase, VARIANT_BOOL* up, BSTR* r) {
  return call(*this, *control_, 0x60030072, kMethod, {find, matchCase, up}, r);
}
HRESULT ComControl::ReplaceSE(VARIANT* find, VARIANT* replace, VARIANT* r) {
  return call(*this, *control_, 0x6003002a, kMethod, {find, replace}, r);
}
HRESULT ComControl::ReplaceAll(VARIANT* find, VARIANT* replace, VARIANT_BOOL* matchCase,
                               VARIANT* r) {
  return call(*this, *control_, 0x6003002b, kMethod, {find, replace, matchCase}, r);
}
HRESULT ComControl::SetHourGlassCursor(VARIANT* r) {
  return call(*this, *control_, 0x6003002c, kMethod, {}, r);
}
HRESULT ComControl::SetArrowCursor(VARIANT* r) {
  return call(*this, *control_, 0x6003002d, kMethod, {}, r);
}
HRESULT ComControl::DisableControl(VARIANT* r) {
  return call(*this, *control_, 0x6003002e, kMethod, {}, r);
}
HRESULT ComControl::Redo(VARIANT* r) { return call(*this, *control_, 0x6003002f, kMethod, {}, r); }
HRESULT ComControl::PrinterSE(short* printFlags) {
  return call(*this, *control_, 0x60030030, kMethod, {printFlags});
}
HRESULT ComControl::CheckHighLightText() { return call(*this, *control_, 0x60030034, kMethod, {}); }
HRESULT ComControl::MessageBox(BSTR msg, LONG buttons, BSTR title) {
  return call(*this, *control_, 0x60030054, kMethod, {msg, buttons, title});
}

// Opt-in extensions.
HRESULT ComControl::get_ColourOnLoad(VARIANT_BOOL* v) {
  return call(*this, *control_, 0x60100001, kGet, {}, v);
}
HRESULT ComControl::put_ColourOnLoad(VARIANT_BOOL v) {
  return call(*this, *control_, 0x60100001, kPut, {v});
}
HRESULT ComControl::ColourAll(VARIANT* r) {
  return call(*this, *control_, 0x60100002, kMethod, {}, r);
}
HRESULT ComControl::get_StrictLock(VARIANT_BOOL* v) {
  return call(*this, *control_, 0x60100003, kGet, {}, v);
}
HRESULT ComControl::put_StrictLock(VARIANT_BOOL v) {
  return call(*this, *control_, 0x60100003, kPut, {v});
}
HRESULT ComControl::Unlock(VARIANT* r) {
  return call(*this, *control_, 0x60100004, kMethod, {}, r);
}
HRESULT ComControl::SetKeywordHint(BSTR keyword, BSTR hint) {
  return call(*this, *control_, 0x60100005, kMethod, {keyword, hint});
}
HRESULT ComControl::get_HideEmptyHint(VARIANT_BOOL* v) {
  return call(*this, *control_, 0x60100006, kGet, {}, v);
}
HRESULT ComControl::put_HideEmptyHint(VARIANT_BOOL v) {
  return call(*this, *control_, 0x60100006, kPut, {v});
}
HRESULT ComControl::get_ListKeepsKeys(VARIANT_BOOL* v) {
  return call(*this, *control_, 0x60100007, kGet, {}, v);
}
HRESULT ComControl::put_ListKeepsKeys(VARIANT_BOOL v) {
  return call(*this, *control_, 0x60100007, kPut, {v});
}
HRESULT ComControl::get_UndoByWords(VARIANT_BOOL* v) {
  return call(*this, *control_, 0x60100008, kGet, {}, v);
}
HRESULT ComControl::put_UndoByWords(VARIANT_BOOL v) {
  return call(*this, *control_, 0x60100008, kPut, {v});
}
HRESULT ComControl::get_ShiftTabOutdent(VARIANT_BOOL* v) {
  return call(*this, *control_, 0x60100009, kGet, {}, v);
}
HRESULT ComControl::put_ShiftTabOutdent(VARIANT_BOOL v) {
  return call(*this, *control_, 0x60100009, kPut, {v});
}

}  // namespace tavi::win32
