#include "printing/print_records.h"

#include <algorithm>

#include "shell/runtime_error.h"

namespace tavi {

namespace {

// Windows-1252 characters 0x80 to 0x9F; 0 where the code page leaves the byte unassigned
// (those bytes stand for the control characters of the same value).
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

constexpr uint8_t kBlank = 0x20;

uint16_t checkedOffset(size_t offset) {
  if (offset > INT16_MAX) throw RuntimeError(err::kOverflow);
  return static_cast<uint16_t>(offset);
}

}  // namespace

uint16_t readU16(std::span<const uint8_t> bytes, size_t offset) {
  return static_cast<uint16_t>(bytes[offset] | bytes[offset + 1] << 8);
}

uint32_t readU32(std::span<const uint8_t> bytes, size_t offset) {
  return static_cast<uint32_t>(readU16(bytes, offset)) |
         static_cast<uint32_t>(readU16(bytes, offset + 2)) << 16;
}

void writeU16(std::span<uint8_t> bytes, size_t offset, uint16_t value) {
  bytes[offset] = static_cast<uint8_t>(value & 0xFF);
  bytes[offset + 1] = static_cast<uint8_t>(value >> 8);
}

void writeU32(std::span<uint8_t> bytes, size_t offset, uint32_t value) {
  writeU16(bytes, offset, static_cast<uint16_t>(value & 0xFFFF));
  writeU16(bytes, offset + 2, static_cast<uint16_t>(value >> 16));
}

uint8_t toAnsi(char16_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<uint8_t>(c);
  for (size_t i = 0; i < kHighControls.size(); ++i) {
    const char16_t mapped = kHighControls[i] != 0 ? kHighControls[i] : char16_t(0x80 + i);
    if (mapped == c) return static_cast<uint8_t>(0x80 + i);
  }
  return '?';
}

char16_t fromAnsi(uint8_t b) {
  if (b < 0x80 || b >= 0xA0) return b;
  const char16_t mapped = kHighControls[b - 0x80];
  return mapped != 0 ? mapped : char16_t(b);
}

void writeAnsi(std::span<uint8_t> bytes, size_t offset, TextView text, size_t width, uint8_t pad) {
  for (size_t i = 0; i < width; ++i) bytes[offset + i] = i < text.size() ? toAnsi(text[i]) : pad;
}

Text readAnsi(std::span<const uint8_t> bytes, size_t offset, size_t width) {
  Text text(width, u'\0');
  for (size_t i = 0; i < width; ++i) text[i] = fromAnsi(bytes[offset + i]);
  return text;
}

PrintDlgRecord buildPrintDlg(int16_t printFlags) {
  PrintDlgRecord record{};
  writeU32(record, printdlg::kStructSize, kPrintDlgSize);
  writeU32(record, printdlg::kFlags,
           static_cast<uint32_t>(static_cast<int32_t>(printFlags)) | printdlg::kFixedFlags);
  return record;
}

DevModeRecord buildDevMode(TextView deviceName, int16_t orientation, int16_t duplex) {
  DevModeRecord record{};
  writeAnsi(record, devmode::kDeviceName, deviceName, devmode::kDeviceNameLength, kBlank);
  writeU16(record, devmode::kSize, kDevModeSize);
  writeU32(record, devmode::kFields, devmode::kHasOrientation | devmode::kHasDuplex);
  writeU16(record, devmode::kOrientation, static_cast<uint16_t>(orientation));
  writeU16(record, devmode::kDuplex, static_cast<uint16_t>(duplex));
  return record;
}

DevNamesRecord buildDevNames(TextView driver, TextView device, TextView port) {
  DevNamesRecord record{};
  const uint16_t driverAt = devnames::kTextArea;
  const uint16_t deviceAt = checkedOffset(size_t{driverAt} + 1 + driver.size());
  const uint16_t portAt = checkedOffset(size_t{deviceAt} + 1 + device.size());
  writeU16(record, devnames::kDriverOffset, driverAt);
  writeU16(record, devnames::kDeviceOffset, deviceAt);
  writeU16(record, devnames::kOutputOffset, portAt);
  writeU16(record, devnames::kDefault, 0);
  Text names;
  names.append(driver).push_back(u'\0');
  names.append(device).push_back(u'\0');
  names.append(port).push_back(u'\0');
  writeAnsi(record, devnames::kTextArea, names, devnames::kTextAreaLength, kBlank);
  return record;
}

DevModeChoice readDevMode(std::span<const uint8_t, kDevModeSize> record) {
  DevModeChoice choice;
  choice.deviceName = readAnsi(record, devmode::kDeviceName, devmode::kDeviceNameLength);
  auto field = [&](size_t offset) { return static_cast<int16_t>(readU16(record, offset)); };
  choice.orientation = field(devmode::kOrientation);
  choice.paperSize = field(devmode::kPaperSize);
  choice.copies = field(devmode::kCopies);
  choice.printQuality = field(devmode::kPrintQuality);
  choice.duplex = field(devmode::kDuplex);
  return choice;
}

Text readDevNamesEntry(std::span<const uint8_t, kDevNamesSize> record, size_t offsetField) {
  const size_t start = readU16(record, offsetField);
  Text name;
  for (size_t i = start; i < record.size() && record[i] != 0; ++i)
    name.push_back(fromAnsi(record[i]));
  return name;
}

}  // namespace tavi
