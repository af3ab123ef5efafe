// Scripting safety: the answers a web host gets when it asks whether the control may be
// scripted through its dispatch interface or initialised through its persistence
// interfaces. Nothing is stored; the answers come from the thread's two safety flags.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "shell/module_state.h"

namespace tavi {

struct Guid {
  uint32_t data1 = 0;
  uint16_t data2 = 0;
  uint16_t data3 = 0;
  uint8_t data4[8] = {};
};

// "{00020400-0000-0000-C000-000000000046}", upper-case hexadecimal, braces included.
std::string formatGuid(const Guid& guid);
// Accepts the registry form with or without braces, any case.
std::optional<Guid> parseGuid(std::string_view text);

inline constexpr uint32_t kSafeForUntrustedCaller = 1;
inline constexpr uint32_t kSafeForUntrustedData = 2;

inline constexpr uint32_t kSOk = 0;
inline constexpr uint32_t kENoInterface = 0x80004002;
inline constexpr uint32_t kEFail = 0x80004005;

// A null riid is allowed; `enabled` is then left unwritten.
uint32_t GetInterfaceSafetyOptions(const ModuleState& module, const Guid* riid, uint32_t* supported,
                                   uint32_t* enabled);
uint32_t SetInterfaceSafetyOptions(const ModuleState& module, const Guid* riid,
                                   uint32_t optionSetMask, uint32_t enabledOptions);

}  // namespace tavi
