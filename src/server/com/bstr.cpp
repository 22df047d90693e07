#include "server/com/bstr.h"

#include "platform/error.h"

namespace qx::com {

BSTR nouveauBstr(std::string_view t) {
    std::u16string large = utf16FromUtf8(t);
    BSTR b = SysAllocStringLen(reinterpret_cast<const OLECHAR*>(large.data()),
                               static_cast<UINT>(large.size()));
    if (!b) throw Error::runtime(err::MemoireInsuffisante);
    return b;
}

}  // namespace qx::com
