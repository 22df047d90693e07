#include "platform/variant.h"

#include "platform/bstr.h"

namespace qx {

void variantOf(const Value& value, VARIANT& out, IDispatch* (*dispatchOf)(const Value& object)) {
    VariantInit(&out);
    switch (value.kind()) {
        case ValueKind::Empty:
            return;
        case ValueKind::Null:
            V_VT(&out) = VT_NULL;
            return;
        case ValueKind::Missing:
            V_VT(&out) = VT_ERROR;
            V_ERROR(&out) = DISP_E_PARAMNOTFOUND;
            return;
        case ValueKind::Integer16:
            V_VT(&out) = VT_I2;
            V_I2(&out) = value.toInt16();
            return;
        case ValueKind::Integer32:
            V_VT(&out) = VT_I4;
            V_I4(&out) = value.toInt32();
            return;
        case ValueKind::Double:
            V_VT(&out) = VT_R8;
            V_R8(&out) = value.doubleValue();
            return;
        case ValueKind::Currency:
            V_VT(&out) = VT_CY;
            V_CY(&out).int64 = value.toCurrency().ticks;
            return;
        case ValueKind::Text:
            V_BSTR(&out) = newBstr(value.text());
            V_VT(&out) = VT_BSTR;
            return;
        case ValueKind::Date:
            V_VT(&out) = VT_DATE;
            V_DATE(&out) = value.dateValue().serial;
            return;
        case ValueKind::Boolean:
            V_VT(&out) = VT_BOOL;
            V_BOOL(&out) = value.toBool() ? VARIANT_TRUE : VARIANT_FALSE;
            return;
        case ValueKind::Object:
            V_DISPATCH(&out) = dispatchOf(value);
            V_VT(&out) = VT_DISPATCH;
            return;
    }
}

}  // namespace qx
