#include "shell/runtime_error.h"

namespace tavi {

std::string errorDescription(int number) {
  switch (number) {
    case err::kInvalidCall:
      return "Invalid procedure call or argument";
    case err::kOverflow:
      return "Overflow";
    case err::kSubscript:
      return "Subscript out of range";
    case err::kTypeMismatch:
      return "Type mismatch";
    case err::kInvalidUseOfNull:
      return "Invalid use of Null";
    case err::kInvalidPropertyValue:
      return "Invalid property value";
    case err::kInvalidPropertyArrayIndex:
      return "Invalid property array index";
    case err::kPrinterError:
      return "Problem getting printer information from the system. Make sure the printer is set "
             "up correctly";
    case err::kCantOpenClipboard:
      return "Can't open Clipboard";
    default:
      return "Application-defined or object-defined error";
  }
}

RuntimeError::RuntimeError(int number) : RuntimeError(number, errorDescription(number)) {}

RuntimeError::RuntimeError(int number, const std::string& description)
    : std::runtime_error(description), number_(number) {}

}  // namespace tavi
