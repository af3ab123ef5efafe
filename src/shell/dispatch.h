// The dispatch interface of TaviColorText (_TaviColorText): one row per member with its
// fixed DISPID, kind, parameters and result type. Hosts call by name (case-insensitive)
// or by DISPID; arguments are converted to the parameter types first, so a value that
// cannot be converted fails before anything changes.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "shell/variant.h"

namespace tavi {

class TaviColorText;

// The invoke kinds, with the values of DISPATCH_METHOD, _PROPERTYGET and _PROPERTYPUT.
enum class MemberKind { Method = 1, Get = 2, Put = 4 };

enum class ParamType { Boolean, Integer, Long, String, Variant };
// A member without a result (a Sub) answers None.
enum class ResultType { None, Boolean, Long, String, Variant };

struct ParamInfo {
  std::string_view name;
  ParamType type;
  bool byRef;
};

// Arguments arrive converted to their parameter types; ByRef arguments may be written.
using MemberHandler = Variant (*)(TaviColorText& control, std::span<Variant> args);

struct DispatchMember {
  std::string_view name;
  int32_t dispid;
  MemberKind kind;
  std::vector<ParamInfo> params;
  ResultType result;
  MemberHandler handler;  // null while the member's behaviour is not built
};

// HRESULTs of the dispatch layer.
namespace hr {
inline constexpr uint32_t kOk = 0;
inline constexpr uint32_t kNotImplemented = 0x80004001;
inline constexpr uint32_t kMemberNotFound = 0x80020003;
inline constexpr uint32_t kUnknownName = 0x80020006;
inline constexpr uint32_t kBadParamCount = 0x8002000E;
}  // namespace hr

struct InvokeResult {
  uint32_t hresult = hr::kOk;
  int errorNumber = 0;  // the runtime error number, 0 for dispatch-level failures
  std::string description;
  Variant value;
  ResultType resultType = ResultType::None;
  std::vector<Variant> byRef;  // ByRef arguments after the call, in parameter order
  bool ok() const { return hresult == hr::kOk; }
};

class DispatchTable {
 public:
  static const DispatchTable& instance();

  std::span<const DispatchMember> members() const { return members_; }
  // GetIDsOfNames: the DISPID of a member name, compared without regard to case.
  std::optional<int32_t> idOfName(std::string_view name) const;
  const DispatchMember* find(int32_t dispid, MemberKind kind) const;
  InvokeResult invoke(TaviColorText& control, int32_t dispid, MemberKind kind,
                      std::vector<Variant> args) const;

 private:
  DispatchTable();
  std::vector<DispatchMember> members_;
};

}  // namespace tavi
