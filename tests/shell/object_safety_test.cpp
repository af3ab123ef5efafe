#include "shell/object_safety.h"

#include <gtest/gtest.h>

namespace tavi {
namespace {

constexpr const char* kIPersistPropertyBag = "{37D84F60-42CB-11CE-8135-00AA004BB851}";

TEST(GuidText, FormatsAsTheRegistryStringAndParsesAnyCase) {
  EXPECT_EQ(formatGuid(parseGuid("37d84f60-42cb-11ce-8135-00aa004bb851").value()),
            kIPersistPropertyBag);
  EXPECT_FALSE(parseGuid("{37D84F60-42CB-11CE-8135-00AA004BB85}"));
  EXPECT_FALSE(parseGuid("{37D84F60+42CB-11CE-8135-00AA004BB851}"));
  EXPECT_FALSE(parseGuid("{37D84F60-42CB-11CE-8135-00AA004BB85G}"));
}

// With both flags set (as start-up sets them) the answers are checked by the safety
// scenario; here each flag governs its own interfaces only.
TEST(InterfaceSafety, AClearedFlagDisablesOnlyItsOwnInterfaces) {
  const Guid dispatch = parseGuid("{00020400-0000-0000-C000-000000000046}").value();
  const Guid stream = parseGuid("{00000109-0000-0000-C000-000000000046}").value();
  for (const bool scripting : {false, true}) {
    ModuleState m;
    m.m_bSafeForScripting = scripting;
    m.m_bSafeForInitializing = !scripting;
    SCOPED_TRACE(scripting ? "safe for scripting only" : "safe for initialising only");
    uint32_t supported = 0, enabled = 9;
    EXPECT_EQ(GetInterfaceSafetyOptions(m, &dispatch, &supported, &enabled), kSOk);
    EXPECT_EQ(enabled, scripting ? 1u : 0u);
    EXPECT_EQ(GetInterfaceSafetyOptions(m, &stream, &supported, &enabled), kSOk);
    EXPECT_EQ(enabled, scripting ? 0u : 2u);
    EXPECT_EQ(SetInterfaceSafetyOptions(m, &dispatch, 1, 1), scripting ? kSOk : kEFail);
    EXPECT_EQ(SetInterfaceSafetyOptions(m, &stream, 2, 2), scripting ? kEFail : kSOk);
    EXPECT_EQ(SetInterfaceSafetyOptions(m, &dispatch, 3, 1), scripting ? kSOk : kEFail)
        << "only the options in the mask count";
  }
}

}  // namespace
}  // namespace tavi
