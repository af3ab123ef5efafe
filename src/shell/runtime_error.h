// The typed runtime error of the control: a number from the scripting runtime's table
// (5, 6, 9, 13, 94, 380, 484, 521, ...). The dispatch layer reports it to the host as
// HRESULT 0x800A0000 + number.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace tavi {

namespace err {
inline constexpr int kInvalidCall = 5;
inline constexpr int kOverflow = 6;
inline constexpr int kSubscript = 9;
inline constexpr int kTypeMismatch = 13;
inline constexpr int kInvalidUseOfNull = 94;
inline constexpr int kInvalidPropertyValue = 380;
inline constexpr int kInvalidPropertyArrayIndex = 381;
inline constexpr int kPrinterError = 484;
inline constexpr int kCantOpenClipboard = 521;
}  // namespace err

// The runtime's own description of an error number ("Type mismatch" for 13).
std::string errorDescription(int number);

class RuntimeError : public std::runtime_error {
 public:
  explicit RuntimeError(int number);
  RuntimeError(int number, const std::string& description);
  int number() const { return number_; }
  uint32_t hresult() const { return 0x800A0000u + static_cast<uint32_t>(number_); }

 private:
  int number_;
};

}  // namespace tavi
