#include "server/com/types.h"

#include <map>
#include <mutex>
#include <string>

#include "server/com/module.h"

namespace qx::com {

namespace {

struct GuidInferieur {
    bool operator()(const GUID& a, const GUID& b) const { return memcmp(&a, &b, sizeof a) < 0; }
};

std::mutex verrou;
ITypeLib* bibliotheque = nullptr;
std::map<GUID, ITypeInfo*, GuidInferieur> cache;
std::map<GUID, ITypeInfo*, GuidInferieur> cacheVtable;

// The resource "1 TYPELIB" of this DLL: the DLL's own path loads it.
bool chargerBibliotheque() {
    return bibliotheque ||
           SUCCEEDED(LoadTypeLibEx(cheminModule().c_str(), REGKIND_NONE, &bibliotheque));
}

}  // namespace

ITypeInfo* typeInfoCache(REFGUID guid) {
    std::lock_guard garde(verrou);
    auto it = cache.find(guid);
    if (it != cache.end()) return it->second;
    if (!chargerBibliotheque()) return nullptr;
    ITypeInfo* info = nullptr;
    if (FAILED(bibliotheque->GetTypeInfoOfGuid(guid, &info))) return nullptr;
    cache.emplace(guid, info);
    return info;
}

ITypeInfo* typeInfoVtable(REFIID iid) {
    ITypeInfo* dispatch = typeInfoCache(iid);
    if (!dispatch) return nullptr;
    std::lock_guard garde(verrou);
    auto it = cacheVtable.find(iid);
    if (it != cacheVtable.end()) return it->second;
    HREFTYPE reference;
    ITypeInfo* vtable = nullptr;
    if (FAILED(dispatch->GetRefTypeOfImplType(-1, &reference)) ||
        FAILED(dispatch->GetRefTypeInfo(reference, &vtable)))
        return nullptr;
    cacheVtable.emplace(iid, vtable);
    return vtable;
}

ITypeInfo* typeInfoNomme(const wchar_t* nom) {
    std::lock_guard garde(verrou);
    if (!chargerBibliotheque()) return nullptr;
    ITypeInfo* info = nullptr;
    MEMBERID membre = MEMBERID_NIL;
    USHORT trouves = 1;
    std::wstring copie(nom);
    if (FAILED(bibliotheque->FindName(copie.data(), 0, &info, &membre, &trouves)) || trouves == 0)
        return nullptr;
    TYPEATTR* attributs = nullptr;
    GUID guid{};
    if (SUCCEEDED(info->GetTypeAttr(&attributs))) {
        guid = attributs->guid;
        info->ReleaseTypeAttr(attributs);
    }
    auto [it, nouveau] = cache.emplace(guid, info);
    if (!nouveau) info->Release();
    return it->second;
}

HRESULT typeInfo(REFGUID guid, ITypeInfo** resultat) {
    if (!resultat) return E_POINTER;
    *resultat = typeInfoCache(guid);
    if (!*resultat) return TYPE_E_ELEMENTNOTFOUND;
    (*resultat)->AddRef();
    return S_OK;
}

}  // namespace qx::com
