#ifdef _WIN32

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/automation_client.h"
#include "platform/bstr.h"
#include "platform/error.h"
#include "platform/utf16.h"
#include "platform/variant.h"

namespace qx {
namespace {

// Arguments in the reverse order that IDispatch::Invoke takes, cleared on
// every path.
class Arguments {
public:
    explicit Arguments(size_t count) : variants_(count) {
        for (VARIANT& v : variants_) VariantInit(&v);
    }
    ~Arguments() {
        for (VARIANT& v : variants_) VariantClear(&v);
    }
    Arguments(const Arguments&) = delete;
    Arguments& operator=(const Arguments&) = delete;
    VARIANT* data() { return variants_.data(); }
    VARIANT& operator[](size_t i) { return variants_[i]; }
    UINT size() const { return static_cast<UINT>(variants_.size()); }

private:
    std::vector<VARIANT> variants_;
};

// Only objects of other components can be handed to one.
IDispatch* dispatchOf(const Value& value) {
    IDispatch* d = nullptr;
    if (auto object = AutomationObject::of(value)) d = object->dispatch();
    if (d) d->AddRef();
    return d;
}

Value fromVariant(const VARIANT& in);

// A VARIANT of a type the library has no kind for, as the nearest kind.
Value fromOtherVariant(const VARIANT& in) {
    VARIANT converted;
    VariantInit(&converted);
    for (VARTYPE type : {VT_I4, VT_R8}) {
        if (SUCCEEDED(VariantChangeType(&converted, const_cast<VARIANT*>(&in), 0, type))) {
            Value v = fromVariant(converted);
            VariantClear(&converted);
            return v;
        }
    }
    throw Error::runtime(err::TypeIncompatible);
}

Value fromVariant(const VARIANT& in) {
    switch (V_VT(&in)) {
        case VT_EMPTY:
            return Value();
        case VT_NULL:
            return Value::null();
        case VT_I2:
            return Value(static_cast<int16_t>(V_I2(&in)));
        case VT_I4:
            return Value(static_cast<int32_t>(V_I4(&in)));
        case VT_R8:
            return Value(V_R8(&in));
        case VT_CY:
            return Value(Currency{V_CY(&in).int64});
        case VT_BSTR:
            return Value(utf8FromBstr(V_BSTR(&in)));
        case VT_DATE:
            return Value(Date{V_DATE(&in)});
        case VT_BOOL:
            return Value(V_BOOL(&in) != VARIANT_FALSE);
        case VT_DISPATCH:
            return Value(AutomationObject::attach(V_DISPATCH(&in)));
        case VT_UNKNOWN: {
            IUnknown* unknown = V_UNKNOWN(&in);
            if (!unknown) return Value(ObjectRef());
            IDispatch* d = nullptr;
            if (FAILED(unknown->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&d))))
                throw Error::runtime(err::TypeIncompatible);
            auto object = AutomationObject::attach(d);
            d->Release();
            return Value(object);
        }
        case VT_ERROR:
            if (V_ERROR(&in) == DISP_E_PARAMNOTFOUND) return Value::missing();
            break;
        default:
            break;
    }
    if (V_VT(&in) & VT_BYREF) {
        VARIANT copy;
        VariantInit(&copy);
        if (FAILED(VariantCopyInd(&copy, const_cast<VARIANT*>(&in))))
            throw Error::runtime(err::TypeIncompatible);
        try {
            Value v = fromVariant(copy);
            VariantClear(&copy);
            return v;
        } catch (...) {
            VariantClear(&copy);
            throw;
        }
    }
    if (V_VT(&in) & (VT_ARRAY | VT_VECTOR)) throw Error::runtime(err::TypeIncompatible);
    return fromOtherVariant(in);
}

std::string hex(HRESULT code) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(code));
    return text;
}

// A failure with the description the table gives its number, or one that
// names the member and the code when the table has none.
Error failure(int32_t number, std::string description, std::string_view member) {
    if (description.empty()) description = errorDescription(number);
    if (description.empty())
        description = "Échec de « " + std::string(member) + " » (code " + hex(number) + ")";
    return Error(number, std::move(description));
}

// The failure a member of the object reported, as the library's error.
Error exceptionOf(EXCEPINFO& info, HRESULT code, std::string_view member) {
    if (info.pfnDeferredFillIn) info.pfnDeferredFillIn(&info);
    int32_t number = info.wCode ? info.wCode : numberOfResultCode(info.scode);
    if (number == 0) number = code;
    std::string description = utf8FromBstr(info.bstrDescription);
    SysFreeString(info.bstrSource);
    SysFreeString(info.bstrDescription);
    SysFreeString(info.bstrHelpFile);
    info = EXCEPINFO{};
    return failure(number, std::move(description), member);
}

// A failure of the call itself (no exception of the object's), as the
// host language's run-time error when there is one.
Error callFailure(HRESULT code, std::string_view member) {
    int32_t number;
    switch (code) {
        case DISP_E_MEMBERNOTFOUND:
        case DISP_E_UNKNOWNNAME:
            return Error(err::MembreInconnu, std::string(errorDescription(err::MembreInconnu)) +
                                                 " : " + std::string(member));
        case DISP_E_BADPARAMCOUNT:
        case DISP_E_PARAMNOTOPTIONAL:
            number = err::NombreArguments;
            break;
        case DISP_E_TYPEMISMATCH:
        case DISP_E_BADVARTYPE:
            number = err::TypeIncompatible;
            break;
        case DISP_E_OVERFLOW:
            number = err::Depassement;
            break;
        case DISP_E_BADINDEX:
            number = err::HorsSelection;
            break;
        case E_OUTOFMEMORY:
            number = err::MemoireInsuffisante;
            break;
        case E_INVALIDARG:
            number = err::AppelIncorrect;
            break;
        default:
            number = numberOfResultCode(code);
            break;
    }
    return failure(number, {}, member);
}

}  // namespace

AutomationObject::AutomationObject() {
    const HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    // S_FALSE: already in this apartment, still to be balanced.
    // RPC_E_CHANGED_MODE: a multithreaded apartment, used as it is.
    joined_ = SUCCEEDED(hr);
}

AutomationObject::~AutomationObject() {
    if (dispatch_) dispatch_->Release();
    if (joined_) CoUninitialize();
}

std::shared_ptr<AutomationObject> AutomationObject::create(std::string_view progId) {
    std::shared_ptr<AutomationObject> object(new AutomationObject());
    const std::u16string name = utf16FromUtf8(progId);
    CLSID clsid;
    if (FAILED(CLSIDFromProgID(reinterpret_cast<LPCOLESTR>(name.c_str()), &clsid)) ||
        FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_SERVER, IID_IDispatch,
                                reinterpret_cast<void**>(&object->dispatch_))) ||
        !object->dispatch_)
        throw Error::runtime(err::CreationObjet);
    return object;
}

std::shared_ptr<AutomationObject> AutomationObject::attach(IDispatch* dispatch) {
    if (!dispatch) return nullptr;
    std::shared_ptr<AutomationObject> object(new AutomationObject());
    dispatch->AddRef();
    object->dispatch_ = dispatch;
    return object;
}

std::shared_ptr<AutomationObject> AutomationObject::of(const Value& value) {
    if (value.isEmpty()) return nullptr;
    if (value.kind() != ValueKind::Object) throw Error::runtime(err::TypeIncompatible);
    if (!value.object()) return nullptr;
    auto object = std::dynamic_pointer_cast<AutomationObject>(value.object());
    if (!object) throw Error::runtime(err::TypeIncompatible);
    return object;
}

Value AutomationObject::get(std::string_view member, std::initializer_list<Value> arguments) {
    return invoke(member, DISPATCH_PROPERTYGET, arguments, nullptr);
}

void AutomationObject::put(std::string_view member, const Value& value) {
    const bool byReference = value.kind() == ValueKind::Object;
    invoke(member, byReference ? DISPATCH_PROPERTYPUTREF : DISPATCH_PROPERTYPUT, {}, &value);
}

Value AutomationObject::call(std::string_view member, std::initializer_list<Value> arguments) {
    // What a host language sends for a call that may also be a property read.
    return invoke(member, DISPATCH_METHOD | DISPATCH_PROPERTYGET, arguments, nullptr);
}

Value AutomationObject::invoke(std::string_view member, unsigned short flags,
                               std::initializer_list<Value> arguments, const Value* assigned) {
    std::u16string name = utf16FromUtf8(member);
    LPOLESTR names[] = {reinterpret_cast<LPOLESTR>(name.data())};
    DISPID id = DISPID_UNKNOWN;
    HRESULT hr = dispatch_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(hr)) throw callFailure(hr, member);

    Arguments args(arguments.size() + (assigned ? 1 : 0));
    size_t position = args.size();
    for (const Value& a : arguments) variantOf(a, args[--position], dispatchOf);
    DISPPARAMS params{args.data(), nullptr, args.size(), 0};
    DISPID putId = DISPID_PROPERTYPUT;
    if (assigned) {
        variantOf(*assigned, args[0], dispatchOf);
        params.rgdispidNamedArgs = &putId;
        params.cNamedArgs = 1;
    }

    VARIANT result;
    VariantInit(&result);
    EXCEPINFO info{};
    UINT badArgument = 0;
    hr = dispatch_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params,
                           assigned ? nullptr : &result, &info, &badArgument);
    if (hr == DISP_E_EXCEPTION) throw exceptionOf(info, hr, member);
    if (FAILED(hr)) throw callFailure(hr, member);
    try {
        Value v = fromVariant(result);
        VariantClear(&result);
        return v;
    } catch (...) {
        VariantClear(&result);
        throw;
    }
}

}  // namespace qx

#endif  // _WIN32
