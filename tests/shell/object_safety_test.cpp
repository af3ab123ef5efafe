#include "shell/object_safety.h"

#include <gtest/gtest.h>

namespace tavi {
namespace {

constexpr const char* kIDispatch = "{00020400-0000-0000-C000-000000000046}";
constexpr const char* kIPersistStorage = "{0000010A-0000-0000-C000-000000000046}";
constexpr const char* kIPersistStream = "{00000109-0000-0000-C000-000000000046}";
constexpr const char* kIPersistPropertyBag = "{37D84F60-42CB-11CE-8135-00AA004BB851}";
constexpr const char* kIUnknown = "{00000000-0000-0000-C000-000000000046}";

Guid iid(const char* text) { return parseGuid(text).value(); }

ModuleState safeModule() {
  ModuleState m;
  m.m_bSafeForScripting = true;
  m.m_bSafeForInitializing = true;
  return m;
}

TEST(GuidText, FormatsAsTheRegistryStringAndParsesAnyCase) {
  EXPECT_EQ(formatGuid(iid(kIPersistPropertyBag)), kIPersistPropertyBag);
  EXPECT_EQ(formatGuid(iid("37d84f60-42cb-11ce-8135-00aa004bb851")), kIPersistPropertyBag);
  EXPECT_FALSE(parseGuid("{37D84F60-42CB-11CE-8135-00AA004BB85}"));
  EXPECT_FALSE(parseGuid("{37D84F60+42CB-11CE-8135-00AA004BB851}"));
  EXPECT_FALSE(parseGuid("{37D84F60-42CB-11CE-8135-00AA004BB85G}"));
}

TEST(GetInterfaceSafetyOptions, AnswersFromTheModuleFlags) {
  ModuleState m = safeModule();
  uint32_t supported = 0, enabled = 77;
  EXPECT_EQ(GetInterfaceSafetyOptions(m, nullptr, &supported, &enabled), kSOk);
  EXPECT_EQ(supported, 3u);
  EXPECT_EQ(enabled, 77u) << "a null riid leaves the enabled options unwritten";

  Guid dispatch = iid(kIDispatch);
  EXPECT_EQ(GetInterfaceSafetyOptions(m, &dispatch, &supported, &enabled), kSOk);
  EXPECT_EQ(enabled, 1u);
  for (const char* persist : {kIPersistStorage, kIPersistStream, kIPersistPropertyBag}) {
    Guid g = iid(persist);
    enabled = 0;
    EXPECT_EQ(GetInterfaceSafetyOptions(m, &g, &supported, &enabled), kSOk) << persist;
    EXPECT_EQ(enabled, 2u) << persist;
  }

  m.m_bSafeForScripting = false;
  m.m_bSafeForInitializing = false;
  Guid bag = iid(kIPersistPropertyBag);
  EXPECT_EQ(GetInterfaceSafetyOptions(m, &dispatch, &supported, &enabled), kSOk);
  EXPECT_EQ(enabled, 0u);
  enabled = 9;
  EXPECT_EQ(GetInterfaceSafetyOptions(m, &bag, &supported, &enabled), kSOk);
  EXPECT_EQ(enabled, 0u);
}

TEST(GetInterfaceSafetyOptions, OtherInterfacesSetSupportedThenFail) {
  ModuleState m = safeModule();
  Guid unknown = iid(kIUnknown);
  uint32_t supported = 0, enabled = 5;
  EXPECT_EQ(GetInterfaceSafetyOptions(m, &unknown, &supported, &enabled), kENoInterface);
  EXPECT_EQ(supported, 3u);
  EXPECT_EQ(enabled, 5u);
}

TEST(SetInterfaceSafetyOptions, SucceedsOnlyForTheExactOptionOfTheInterface) {
  ModuleState m = safeModule();
  Guid dispatch = iid(kIDispatch);
  Guid bag = iid(kIPersistPropertyBag);
  Guid unknown = iid(kIUnknown);
  EXPECT_EQ(SetInterfaceSafetyOptions(m, nullptr, 3, 3), kSOk);
  EXPECT_EQ(SetInterfaceSafetyOptions(m, &dispatch, 3, 3), kEFail) << "mask AND enabled is 3";
  EXPECT_EQ(SetInterfaceSafetyOptions(m, &dispatch, 1, 1), kSOk);
  EXPECT_EQ(SetInterfaceSafetyOptions(m, &dispatch, 3, 1), kSOk);
  EXPECT_EQ(SetInterfaceSafetyOptions(m, &dispatch, 1, 0), kEFail);
  EXPECT_EQ(SetInterfaceSafetyOptions(m, &dispatch, 2, 2), kEFail);
  EXPECT_EQ(SetInterfaceSafetyOptions(m, &bag, 2, 2), kSOk);
  EXPECT_EQ(SetInterfaceSafetyOptions(m, &bag, 1, 1), kEFail);
  EXPECT_EQ(SetInterfaceSafetyOptions(m, &unknown, 1, 1), kENoInterface);

  m.m_bSafeForScripting = false;
  EXPECT_EQ(SetInterfaceSafetyOptions(m, &dispatch, 1, 1), kEFail);
  EXPECT_EQ(SetInterfaceSafetyOptions(m, &bag, 2, 2), kSOk);
}

TEST(ModuleState, StartUpRoutineMarksTheThreadSafe) {
  const ModuleState& m = ModuleState::forThisThread();
  EXPECT_TRUE(m.m_bSafeForScripting);
  EXPECT_TRUE(m.m_bSafeForInitializing);
}

}  // namespace
}  // namespace tavi
