// Values between Qt and the control's dispatch interface: QVariant to Variant and back.
#pragma once

#include <QVariant>

#include "shell/dispatch.h"
#include "shell/variant.h"

namespace tavi::qt {

// Booleans, integers (I4, or I2 for a short), doubles and strings; anything else (an
// invalid QVariant included) is Empty.
Variant toVariant(const QVariant& value);
QVariant toQVariant(const Variant& value);

}  // namespace tavi::qt
