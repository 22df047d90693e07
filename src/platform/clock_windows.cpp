#include <windows.h>

#include "platform/clock.h"

namespace qx {

CivilDate localClockToday() {
    SYSTEMTIME local;
    GetLocalTime(&local);
    return {local.wYear, local.wMonth, local.wDay};
}

}  // namespace qx
