#include <clocale>

#include "platform/locale.h"

namespace qx {

NumberSeparators systemSeparators() {
    NumberSeparators result;
    if (const lconv* lc = std::localeconv()) {
        if (lc->decimal_point && *lc->decimal_point) result.decimal = lc->decimal_point;
        if (lc->thousands_sep) result.thousands = lc->thousands_sep;
    }
    return result;
}

}  // namespace qx
