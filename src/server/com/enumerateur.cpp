#include "server/com/enumerateur.h"

#include "server/com/module.h"
#include "server/com/variant.h"

namespace qx::com {

namespace {

class Enumerateur : public IEnumVARIANT {
public:
    Enumerateur(std::shared_ptr<const std::vector<ObjectRef>> membres, ULONG position)
        : membres_(std::move(membres)), position_(position) {
        objetCree();
    }
    virtual ~Enumerateur() { objetDetruit(); }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** sortie) override {
        if (!sortie) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IEnumVARIANT) {
            *sortie = static_cast<IEnumVARIANT*>(this);
            AddRef();
            return S_OK;
        }
        *sortie = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&references_); }
    ULONG STDMETHODCALLTYPE Release() override {
        LONG reste = InterlockedDecrement(&references_);
        if (reste == 0) delete this;
        return reste;
    }

    HRESULT STDMETHODCALLTYPE Next(ULONG demandes, VARIANT* sortie, ULONG* rendus) override {
        if (!sortie || (demandes > 1 && !rendus)) return E_POINTER;
        ULONG n = 0;
        try {
            for (; n < demandes && position_ < membres_->size(); ++n, ++position_)
                variantDe(Value((*membres_)[position_]), &sortie[n]);
        } catch (...) {
            for (ULONG i = 0; i < n; ++i) VariantClear(&sortie[i]);
            if (rendus) *rendus = 0;
            return E_OUTOFMEMORY;
        }
        if (rendus) *rendus = n;
        return n == demandes ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Skip(ULONG n) override {
        ULONG reste = static_cast<ULONG>(membres_->size()) - position_;
        position_ += n < reste ? n : reste;
        return n <= reste ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Reset() override {
        position_ = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Clone(IEnumVARIANT** copie) override {
        if (!copie) return E_POINTER;
        *copie = new (std::nothrow) Enumerateur(membres_, position_);
        return *copie ? S_OK : E_OUTOFMEMORY;
    }

private:
    LONG references_ = 1;
    std::shared_ptr<const std::vector<ObjectRef>> membres_;
    ULONG position_;
};

}  // namespace

IUnknown* nouvelEnumerateur(const std::vector<ObjectRef>& membres) {
    return new Enumerateur(std::make_shared<const std::vector<ObjectRef>>(membres), 0);
}

}  // namespace qx::com
