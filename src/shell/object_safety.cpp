#include "shell/object_safety.h"

#include <array>
#include <cctype>
#include <cstdio>

namespace tavi {

namespace {

constexpr std::string_view kIidIDispatch = "{00020400-0000-0000-C000-000000000046}";
constexpr std::array<std::string_view, 3> kPersistenceIids = {
    "{0000010A-0000-0000-C000-000000000046}",  // IPersistStorage
    "{00000109-0000-0000-C000-000000000046}",  // IPersistStream
    "{37D84F60-42CB-11CE-8135-00AA004BB851}",  // IPersistPropertyBag
};

enum class SafetyClass { Dispatch, Persistence, Other };

// The identifier is compared as its canonical string, cut at the first NUL and upper-cased.
SafetyClass classify(const Guid& riid) {
  std::string id = formatGuid(riid);
  id = id.substr(0, id.find('\0'));
  for (char& c : id) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (id == kIidIDispatch) return SafetyClass::Dispatch;
  for (std::string_view persist : kPersistenceIids)
    if (id == persist) return SafetyClass::Persistence;
  return SafetyClass::Other;
}

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::string formatGuid(const Guid& g) {
  std::array<char, 40> buffer{};
  std::snprintf(buffer.data(), buffer.size(), "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                g.data1, g.data2, g.data3, g.data4[0], g.data4[1], g.data4[2], g.data4[3],
                g.data4[4], g.data4[5], g.data4[6], g.data4[7]);
  return std::string(buffer.data());
}

std::optional<Guid> parseGuid(std::string_view text) {
  if (text.size() == 38 && text.front() == '{' && text.back() == '}') text = text.substr(1, 36);
  if (text.size() != 36) return std::nullopt;
  std::array<uint8_t, 16> bytes{};
  size_t n = 0;
  for (size_t i = 0; i < text.size();) {
    if (i == 8 || i == 13 || i == 18 || i == 23) {
      if (text[i] != '-') return std::nullopt;
      ++i;
      continue;
    }
    int hi = hexValue(text[i]);
    int lo = i + 1 < text.size() ? hexValue(text[i + 1]) : -1;
    if (hi < 0 || lo < 0 || n >= bytes.size()) return std::nullopt;
    bytes[n++] = static_cast<uint8_t>(hi * 16 + lo);
    i += 2;
  }
  Guid g;
  g.data1 = (uint32_t{bytes[0]} << 24) | (uint32_t{bytes[1]} << 16) | (uint32_t{bytes[2]} << 8) |
            bytes[3];
  g.data2 = static_cast<uint16_t>((bytes[4] << 8) | bytes[5]);
  g.data3 = static_cast<uint16_t>((bytes[6] << 8) | bytes[7]);
  for (int i = 0; i < 8; ++i) g.data4[i] = bytes[8 + i];
  return g;
}

uint32_t GetInterfaceSafetyOptions(const ModuleState& module, const Guid* riid, uint32_t* supported,
                                   uint32_t* enabled) {
  *supported = kSafeForUntrustedCaller | kSafeForUntrustedData;
  if (riid == nullptr) return kSOk;
  switch (classify(*riid)) {
    case SafetyClass::Dispatch:
      *enabled = module.m_bSafeForScripting ? kSafeForUntrustedCaller : 0;
      return kSOk;
    case SafetyClass::Persistence:
      *enabled = module.m_bSafeForInitializing ? kSafeForUntrustedData : 0;
      return kSOk;
    case SafetyClass::Other:
      break;
  }
  return kENoInterface;
}

uint32_t SetInterfaceSafetyOptions(const ModuleState& module, const Guid* riid,
                                   uint32_t optionSetMask, uint32_t enabledOptions) {
  if (riid == nullptr) return kSOk;
  const uint32_t requested = optionSetMask & enabledOptions;
  switch (classify(*riid)) {
    case SafetyClass::Dispatch:
      return requested == kSafeForUntrustedCaller && module.m_bSafeForScripting ? kSOk : kEFail;
    case SafetyClass::Persistence:
      return requested == kSafeForUntrustedData && module.m_bSafeForInitializing ? kSOk : kEFail;
    case SafetyClass::Other:
      break;
  }
  return kENoInterface;
}

}  // namespace tavi
