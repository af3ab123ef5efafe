#include "tavi-script/json_values.h"

#include <cmath>
#include <limits>
#include <stdexcept>

namespace tavi::script {

namespace {

int64_t integerIn(const nlohmann::json& v, int64_t lo, int64_t hi) {
  if (!v.is_number_integer()) throw std::invalid_argument("the value must be an integer");
  const int64_t n = v.get<int64_t>();
  if (n < lo || n > hi) throw std::invalid_argument("the value is out of range for its type");
  return n;
}

double numberOf(const nlohmann::json& v) {
  if (!v.is_number()) throw std::invalid_argument("the value must be a number");
  return v.get<double>();
}

Variant typedVariant(const std::string& vt, const nlohmann::json& v) {
  if (vt == "EMPTY") return Variant();
  if (vt == "NULL") return Variant::null();
  if (vt == "I2") return Variant::fromI2(static_cast<int16_t>(integerIn(v, INT16_MIN, INT16_MAX)));
  if (vt == "I4") return Variant::fromI4(static_cast<int32_t>(integerIn(v, INT32_MIN, INT32_MAX)));
  if (vt == "R4") return Variant::fromR4(static_cast<float>(numberOf(v)));
  if (vt == "R8") return Variant::fromR8(numberOf(v));
  if (vt == "CY") {
    const double scaled = std::nearbyint(numberOf(v) * 10000.0);
    if (!(std::fabs(scaled) < 9.2e18)) throw std::invalid_argument("currency out of range");
    return Variant::fromCurrency(Currency{static_cast<int64_t>(scaled)});
  }
  if (vt == "DATE") return Variant::fromDate(Date{numberOf(v)});
  if (vt == "BOOL") {
    if (v.is_boolean()) return Variant::fromBool(v.get<bool>());
    return Variant::fromVBool(static_cast<int16_t>(integerIn(v, INT16_MIN, INT16_MAX)));
  }
  if (vt == "BSTR") return Variant::fromString(textFromJson(v));
  throw std::invalid_argument("unknown variant type " + vt);
}

}  // namespace

Variant variantFromJson(const nlohmann::json& value) {
  switch (value.type()) {
    case nlohmann::json::value_t::null:
      return Variant();
    case nlohmann::json::value_t::boolean:
      return Variant::fromBool(value.get<bool>());
    case nlohmann::json::value_t::number_integer:
    case nlohmann::json::value_t::number_unsigned: {
      if (value.is_number_unsigned() && value.get<uint64_t>() > uint64_t{INT32_MAX})
        return Variant::fromR8(value.get<double>());
      const int64_t n = value.get<int64_t>();
      if (n >= INT32_MIN && n <= INT32_MAX) return Variant::fromI4(static_cast<int32_t>(n));
      return Variant::fromR8(static_cast<double>(n));
    }
    case nlohmann::json::value_t::number_float:
      return Variant::fromR8(value.get<double>());
    case nlohmann::json::value_t::string:
      return Variant::fromString(textFromJson(value));
    case nlohmann::json::value_t::object:
      if (value.contains("vt") && value["vt"].is_string())
        return typedVariant(value["vt"].get<std::string>(),
                            value.contains("v") ? value["v"] : nlohmann::json());
      break;
    default:
      break;
  }
  throw std::invalid_argument("not a value: " + value.dump());
}

nlohmann::ordered_json jsonFromVariant(const Variant& value) {
  switch (value.type()) {
    case VarType::Empty:
    case VarType::Null:
      return nullptr;
    case VarType::BOOL:
      return value.boolValue() != 0;
    case VarType::I2:
      return value.i2();
    case VarType::I4:
      return value.i4();
    case VarType::R4:
      return static_cast<double>(value.r4());
    case VarType::R8:
      return std::isfinite(value.r8()) ? nlohmann::ordered_json(value.r8())
                                       : nlohmann::ordered_json(nullptr);
    case VarType::CY:
      return static_cast<double>(value.cy().scaled) / 10000.0;
    case VarType::DATE:
      return value.date().days;
    case VarType::BSTR:
      return jsonString(value.str());
  }
  return nullptr;
}

const char* varTypeName(VarType type) {
  switch (type) {
    case VarType::Empty:
      return "EMPTY";
    case VarType::Null:
      return "NULL";
    case VarType::I2:
      return "I2";
    case VarType::I4:
      return "I4";
    case VarType::R4:
      return "R4";
    case VarType::R8:
      return "R8";
    case VarType::CY:
      return "CY";
    case VarType::DATE:
      return "DATE";
    case VarType::BSTR:
      return "BSTR";
    case VarType::BOOL:
      return "BOOL";
  }
  return "EMPTY";
}

nlohmann::ordered_json jsonString(TextView text) { return toUtf8(text); }

Text textFromJson(const nlohmann::json& value) {
  if (!value.is_string()) throw std::invalid_argument("a string is expected");
  return fromUtf8(value.get_ref<const std::string&>());
}

}  // namespace tavi::script
