// The library's values into automation's VARIANTs, for both sides of
// automation: the server's answers to hosts and the client's arguments.
// Windows only.
#pragma once

#include <windows.h>

#include <oaidl.h>

#include "platform/value.h"

namespace qx {

// Fills a variant, which owns what it holds afterwards (whatever it held
// before is not released). An object goes out as what `dispatchOf` gives
// for it: a new reference, or null for Nothing.
void variantOf(const Value& value, VARIANT& out, IDispatch* (*dispatchOf)(const Value& object));

}  // namespace qx
