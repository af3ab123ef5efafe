// Values between tavi-script's JSON lines and the control's Variants.
#pragma once

#include <nlohmann/json.hpp>

#include "shell/variant.h"

namespace tavi::script {

// null Empty, true/false Boolean, a 32-bit integer Long, another number Double, a string
// String; {"vt": TYPE, "v": ...} for the other types. Throws std::invalid_argument for a
// value that is none of these.
Variant variantFromJson(const nlohmann::json& value);
nlohmann::ordered_json jsonFromVariant(const Variant& value);
// "EMPTY", "NULL", "I2", "I4", "R4", "R8", "CY", "DATE", "BSTR", "BOOL".
const char* varTypeName(VarType type);

nlohmann::ordered_json jsonString(TextView text);
Text textFromJson(const nlohmann::json& value);

}  // namespace tavi::script
