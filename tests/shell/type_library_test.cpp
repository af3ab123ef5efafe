// The Windows type library is written by hand in platforms/win32/TaviColorTxt.idl; this
// checks that its dual interface declares exactly the members of the dispatch table, each at
// its DISPID with the same kind, parameter types, ByRef-ness and result.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <tuple>

#include "shell/dispatch.h"

namespace tavi {
namespace {

// A member as the IDL or the table declares it, in one comparable form,
// "Name (Long&, Variant) -> String", under its DISPID and kind.
using Key = std::tuple<int32_t, MemberKind>;

// The names in the order of the enumerations' values.
std::string typeName(ParamType t) {
  static const char* const kNames[] = {"Boolean", "Integer", "Long", "String", "Variant"};
  return kNames[static_cast<int>(t)];
}

std::string resultName(ResultType t) {
  static const char* const kNames[] = {"None", "Boolean", "Long", "String", "Variant"};
  return kNames[static_cast<int>(t)];
}

std::string idlTypeName(const std::string& idl) {
  static const std::map<std::string, std::string> names = {{"VARIANT_BOOL", "Boolean"},
                                                           {"short", "Integer"},
                                                           {"long", "Long"},
                                                           {"BSTR", "String"},
                                                           {"VARIANT", "Variant"}};
  const auto it = names.find(idl);
  return it == names.end() ? "unknown IDL type " + idl : it->second;
}

std::map<Key, std::string> fromTable() {
  std::map<Key, std::string> members;
  for (const DispatchMember& m : DispatchTable::instance().members()) {
    std::string params;
    for (const ParamInfo& p : m.params)
      params += (params.empty() ? "" : ", ") + typeName(p.type) + (p.byRef ? "&" : "");
    members[{m.dispid, m.kind}] =
        std::string(m.name) + " (" + params + ") -> " + resultName(m.result);
  }
  return members;
}

std::map<Key, std::string> fromIdl(const std::string& idl) {
  // The body of the dual interface, then one declaration per "[attributes] HRESULT Name(...);".
  const size_t begin = idl.find("interface _TaviColorText");
  const size_t end = idl.find("};", begin);
  EXPECT_NE(begin, std::string::npos);
  const std::string body = idl.substr(begin, end - begin);
  static const std::regex member(R"(\[([^\]]*)\]\s*HRESULT\s+(\w+)\s*\(([^)]*)\)\s*;)");
  static const std::regex param(R"(\[([^\]]*)\]\s*(\w+)\s*(\*?)\s*\w+)");
  std::map<Key, std::string> members;
  for (std::sregex_iterator it(body.begin(), body.end(), member), last; it != last; ++it) {
    const std::string attributes = (*it)[1];
    const int32_t dispid =
        static_cast<int32_t>(std::stoul(attributes.substr(attributes.find("id(") + 3), nullptr, 0));
    const MemberKind kind = attributes.find("propget") != std::string::npos   ? MemberKind::Get
                            : attributes.find("propput") != std::string::npos ? MemberKind::Put
                                                                              : MemberKind::Method;
    std::string params;
    std::string result = "None";
    const std::string list = (*it)[3];
    for (std::sregex_iterator p(list.begin(), list.end(), param); p != last; ++p) {
      const std::string direction = (*p)[1];
      const std::string type = idlTypeName((*p)[2]);
      if (direction.find("retval") != std::string::npos) {
        result = type;
        continue;
      }
      const bool byRef = (*p)[3] == "*";
      EXPECT_EQ(byRef, direction.find("out") != std::string::npos) << (*it)[0];
      params += (params.empty() ? "" : ", ") + type + (byRef ? "&" : "");
    }
    EXPECT_TRUE(
        members.emplace(Key{dispid, kind}, std::string((*it)[2]) + " (" + params + ") -> " + result)
            .second)
        << "declared twice: " << (*it)[0];
  }
  return members;
}

TEST(TypeLibrary, TheDualInterfaceDeclaresTheMembersOfTheDispatchTable) {
  std::ifstream file(std::string(TAVI_SOURCE_ROOT) + "/platforms/win32/TaviColorTxt.idl");
  ASSERT_TRUE(file) << "TaviColorTxt.idl not found";
  std::stringstream idl;
  idl << file.rdbuf();
  const std::map<Key, std::string> table = fromTable();
  const std::map<Key, std::string> declared = fromIdl(idl.str());
  for (const auto& [key, member] : table) {
    const auto it = declared.find(key);
    if (it == declared.end())
      ADD_FAILURE() << "missing from the IDL: " << member;
    else
      EXPECT_EQ(it->second, member) << "DISPID 0x" << std::hex << std::get<0>(key);
  }
  for (const auto& [key, member] : declared)
    if (!table.contains(key)) ADD_FAILURE() << "not in the dispatch table: " << member;
}

}  // namespace
}  // namespace tavi
