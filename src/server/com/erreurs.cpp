#include "server/com/erreurs.h"

#include "server/com/bstr.h"

namespace qx::com {

HRESULT signaler(const Error& erreur, REFIID iidInterface, const wchar_t* source) {
    HRESULT code = hostResultCode(erreur.number());
    ICreateErrorInfo* creation = nullptr;
    if (SUCCEEDED(CreateErrorInfo(&creation))) {
        std::u16string description = utf16FromUtf8(erreur.description());
        creation->SetGUID(iidInterface);
        creation->SetSource(const_cast<LPOLESTR>(source));
        creation->SetDescription(reinterpret_cast<LPOLESTR>(description.data()));
        IErrorInfo* info = nullptr;
        if (SUCCEEDED(creation->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(&info)))) {
            SetErrorInfo(0, info);
            info->Release();
        }
        creation->Release();
    }
    return code;
}

}  // namespace qx::com
