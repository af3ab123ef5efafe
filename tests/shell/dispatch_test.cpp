#include "shell/dispatch.h"

#include <set>

#include "support/control_fixture.h"

namespace tavi {
namespace {

using testing::ControlFixture;
using DispatchTest = ControlFixture;

TEST(DispatchTableRows, EveryMemberHasItsFixedIdentifier) {
  const DispatchTable& t = DispatchTable::instance();
  const std::pair<const char*, int32_t> expected[] = {
      {"CtlKey", 0x40030005},
      {"m_bKeywordHighlight", 0x40030006},
      {"m_bChange", 0x40030007},
      {"bFind", 0x40030008},
      {"m_MaxLen", 0x40030009},
      {"m_FindText", 0x4003000a},
      {"m_bLock", 0x4003000b},
      {"m_bFirstTime", 0x4003000c},
      {"m_bSelect", 0x4003000d},
      {"m_strLang", 0x40030010},
      {"m_strScriptEditor", 0x4003003c},
      {"m_strMaximumSize", 0x4003003d},
      {"m_strPrintErr", 0x4003003e},
      {"m_strFinishSearch", 0x4003003f},
      {"m_strNotFoundText", 0x40030040},
      {"m_strPopUpMenu", 0x40030041},
      {"Load_flag", 0x68030000},
      {"Text", 0x68030001},
      {"Value", 0x68030002},
      {"KeywordHighlight_flag", 0x68030003},
      {"Length", 0x68030004},
      {"HighlightLine", 0x60030010},
      {"change", 0x6003001a},
      {"Undo", 0x60030022},
      {"Cut", 0x60030023},
      {"Copy", 0x60030024},
      {"Paste", 0x60030025},
      {"Delete", 0x60030026},
      {"SelectAll", 0x60030027},
      {"FindSE", 0x60030028},
      {"FindSE_New", 0x60030072},
      {"ReplaceSE", 0x6003002a},
      {"ReplaceAll", 0x6003002b},
      {"SetHourGlassCursor", 0x6003002c},
      {"SetArrowCursor", 0x6003002d},
      {"DisableControl", 0x6003002e},
      {"Redo", 0x6003002f},
      {"PrinterSE", 0x60030030},
      {"CheckHighLightText", 0x60030034},
      {"MessageBox", 0x60030054},
  };
  std::set<int32_t> ids;
  for (const DispatchMember& m : t.members()) ids.insert(m.dispid);
  EXPECT_EQ(ids.size(), std::size(expected)) << "no member beyond the interface";
  for (const auto& [name, id] : expected) {
    EXPECT_EQ(t.idOfName(name), id) << name;
    std::string lower(name);
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    EXPECT_EQ(t.idOfName(lower), id) << "case-insensitive: " << lower;
  }
  EXPECT_FALSE(t.idOfName("Texts"));
  EXPECT_EQ(t.find(0x68030002, MemberKind::Put), nullptr) << "Value is read-only";
}

TEST_F(DispatchTest, ConversionFailuresReturnTheRuntimeErrorAndChangeNothing) {
  InvokeResult r = invoke("KeywordHighlight_flag", MemberKind::Put, {Variant::fromString(u"x")});
  EXPECT_EQ(r.errorNumber, 13);
  EXPECT_EQ(r.hresult, 0x800A000Du);
  EXPECT_EQ(r.description, "Type mismatch");
  EXPECT_FALSE(control.m_bKeywordHighlight);

  r = invoke("KeywordHighlight_flag", MemberKind::Put, {Variant::fromString(u"tRUE")});
  ASSERT_TRUE(r.ok());
  EXPECT_TRUE(control.m_bKeywordHighlight);
  r = invoke("KeywordHighlight_flag", MemberKind::Get);
  EXPECT_EQ(r.value, Variant::fromBool(true));
  EXPECT_EQ(r.resultType, ResultType::Variant);

  r = invoke("m_MaxLen", MemberKind::Put, {Variant::fromR8(1e12)});
  EXPECT_EQ(r.errorNumber, 6);
  EXPECT_EQ(control.m_MaxLen, 100000);
  r = invoke("Load_flag", MemberKind::Put, {Variant::null()});
  EXPECT_EQ(r.errorNumber, 94);
  EXPECT_TRUE(control.module().m_bLoadFlag);
  r = invoke("Text", MemberKind::Put, {Variant::null()});
  EXPECT_EQ(r.errorNumber, 94);
  EXPECT_EQ(control.m_colUndo.count(), 1) << "a failed load records nothing";
}

TEST_F(DispatchTest, ChangeWritesItsByRefArguments) {
  InvokeResult r = invoke("change", MemberKind::Method,
                          {Variant::fromString(u"ABCDEF"), Variant::fromString(u"ABxEF"),
                           Variant::fromI4(0), Variant::fromString(u"7")});
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(r.value, Variant::fromString(u"CD"));
  EXPECT_EQ(r.resultType, ResultType::String);
  ASSERT_EQ(r.byRef.size(), 2u);
  EXPECT_EQ(r.byRef[0], Variant::fromI4(2));
  EXPECT_EQ(r.byRef[1], Variant::fromI4(1));

  r = invoke("change", MemberKind::Method,
             {Variant::fromString(u"   x"), Variant::fromString(u"  x"), Variant::fromI4(0),
              Variant::fromI4(0)});
  EXPECT_EQ(r.byRef[1], Variant::fromI4(-1)) << "a deletion inside a run of one character";
}

TEST_F(DispatchTest, DispatchLevelFailures) {
  const DispatchTable& t = DispatchTable::instance();
  EXPECT_EQ(t.invoke(control, 0x12345, MemberKind::Get, {}).hresult, hr::kMemberNotFound);
  EXPECT_EQ(invoke("Value", MemberKind::Put, {Variant()}).hresult, hr::kMemberNotFound);
  EXPECT_EQ(invoke("MessageBox", MemberKind::Method, {Variant()}).hresult, hr::kBadParamCount);
  EXPECT_EQ(invoke("Length", MemberKind::Put, {}).hresult, hr::kBadParamCount);
  const InvokeResult value = invoke("Value", MemberKind::Method);
  EXPECT_TRUE(value.ok()) << "script hosts read properties through the method kind too";
}

TEST_F(DispatchTest, PublicVariablesRoundTripWithTheirTypes) {
  ASSERT_TRUE(invoke("m_strPopUpMenu", MemberKind::Put, {Variant::fromI4(42)}).ok());
  EXPECT_EQ(control.m_strPopUpMenu, u"42");
  ASSERT_TRUE(invoke("m_bFirstTime", MemberKind::Put, {Variant::fromString(u"0")}).ok());
  EXPECT_FALSE(control.m_bFirstTime);
  const InvokeResult got = invoke("m_MaxLen", MemberKind::Get);
  EXPECT_EQ(got.value, Variant::fromI4(100000));
  EXPECT_EQ(got.resultType, ResultType::Long);
}

}  // namespace
}  // namespace tavi
