#include "shell/dispatch.h"

#include <set>

#include "support/control_fixture.h"

namespace tavi {
namespace {

using DispatchTest = testing::ControlFixture;

// Every member answering by DISPID and by name is checked by the dispids scenario; here,
// that there is nothing more (beside the nine opt-in extensions, at 0x60100001 onwards)
// and that names match whole.
TEST(DispatchTable, HoldsTheFortyMembersOfTheInterfaceAndTheExtensionsOnly) {
  const DispatchTable& table = DispatchTable::instance();
  std::set<int32_t> ids;
  int extensions = 0;
  for (const DispatchMember& m : table.members()) {
    if (ids.insert(m.dispid).second && m.dispid >= 0x60100001 && m.dispid <= 0x60100009)
      ++extensions;
  }
  EXPECT_EQ(extensions, 9);
  EXPECT_EQ(ids.size(), 40u + 9u);
  EXPECT_FALSE(table.idOfName("Texts"));
  EXPECT_FALSE(table.idOfName("Tex"));
}

// A value that cannot be converted, and too few arguments, are in the properties scenario.
TEST_F(DispatchTest, PropertiesReadThroughTheMethodKindAndCountsAreChecked) {
  EXPECT_TRUE(invoke("Value", MemberKind::Method).ok()) << "script hosts read properties so";
  EXPECT_EQ(invoke("Length", MemberKind::Put, {}).hresult, hr::kBadParamCount);
  EXPECT_EQ(invoke("Undo", MemberKind::Method, {Variant()}).hresult, hr::kBadParamCount);
}

}  // namespace
}  // namespace tavi
