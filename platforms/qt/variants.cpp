#include "qt/variants.h"

#include "qt/units.h"

namespace tavi::qt {

Variant toVariant(const QVariant& value) {
  switch (value.typeId()) {
    case QMetaType::Bool:
      return Variant::fromBool(value.toBool());
    case QMetaType::Short:
      return Variant::fromI2(static_cast<int16_t>(value.toInt()));
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::LongLong:
      return Variant::fromI4(value.toInt());
    case QMetaType::Float:
    case QMetaType::Double:
      return Variant::fromR8(value.toDouble());
    case QMetaType::QString:
      return Variant::fromString(toText(value.toString()));
    default:
      return Variant();
  }
}

QVariant toQVariant(const Variant& value) {
  switch (value.type()) {
    case VarType::BOOL:
      return QVariant(value.boolValue() != 0);
    case VarType::I2:
      return QVariant(static_cast<int>(value.i2()));
    case VarType::I4:
      return QVariant(value.i4());
    case VarType::R4:
      return QVariant(static_cast<double>(value.r4()));
    case VarType::R8:
      return QVariant(value.r8());
    case VarType::BSTR:
      return QVariant(toQString(value.str()));
    default:
      return QVariant();
  }
}

}  // namespace tavi::qt
