#include "server/com/serveur.h"

#include <oleauto.h>
#include <olectl.h>

#include <string>

#include "server/com/module.h"

// Declared by newer SDK headers than mingw-w64's; exported by every oleaut32.
extern "C" HRESULT WINAPI RegisterTypeLibForUser(ITypeLib* typelib, OLECHAR* chemin, OLECHAR* aide);
extern "C" HRESULT WINAPI UnRegisterTypeLibForUser(REFGUID bibliotheque, WORD majeure, WORD mineure,
                                                   LCID langue, SYSKIND systeme);

namespace qx::com {

namespace {

std::wstring texteGuid(const GUID& guid) {
    wchar_t texte[40];
    StringFromGUID2(guid, texte, 40);
    return texte;
}

// HKEY_CLASSES_ROOT for the machine, the user's own classes otherwise.
class Racine {
public:
    explicit Racine(bool utilisateur) {
        if (!utilisateur) {
            cle_ = HKEY_CLASSES_ROOT;
            return;
        }
        if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Classes", 0, nullptr, 0, KEY_ALL_ACCESS,
                            nullptr, &cle_, nullptr) != ERROR_SUCCESS)
            cle_ = nullptr;
        ouverte_ = cle_ != nullptr;
    }
    ~Racine() {
        if (ouverte_) RegCloseKey(cle_);
    }
    Racine(const Racine&) = delete;
    Racine& operator=(const Racine&) = delete;
    HKEY cle() const { return cle_; }

private:
    HKEY cle_ = nullptr;
    bool ouverte_ = false;
};

// Writes a key's default value or a named value; false on failure.
bool ecrire(HKEY racine, const std::wstring& chemin, const wchar_t* nom,
            const std::wstring& valeur) {
    HKEY cle = nullptr;
    if (RegCreateKeyExW(racine, chemin.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &cle, nullptr) !=
        ERROR_SUCCESS)
        return false;
    LONG r = RegSetValueExW(cle, nom, 0, REG_SZ, reinterpret_cast<const BYTE*>(valeur.c_str()),
                            static_cast<DWORD>((valeur.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(cle);
    return r == ERROR_SUCCESS;
}

bool supprimer(HKEY racine, const std::wstring& chemin) {
    LONG r = RegDeleteTreeW(racine, chemin.c_str());
    return r == ERROR_SUCCESS || r == ERROR_FILE_NOT_FOUND;
}

bool enregistrerClasse(HKEY racine, const ClasseServeur& classe, const std::wstring& chemin,
                       const std::wstring& bibliotheque, const std::wstring& version) {
    std::wstring cle = L"CLSID\\" + texteGuid(*classe.clsid);
    bool ok = ecrire(racine, cle, nullptr, classe.progId ? classe.progId : classe.nom) &&
              ecrire(racine, cle + L"\\InprocServer32", nullptr, chemin) &&
              ecrire(racine, cle + L"\\InprocServer32", L"ThreadingModel", L"Apartment") &&
              ecrire(racine, cle + L"\\TypeLib", nullptr, bibliotheque) &&
              ecrire(racine, cle + L"\\Version", nullptr, version);
    if (ok && classe.progId)
        ok = ecrire(racine, cle + L"\\ProgID", nullptr, classe.progId) &&
             ecrire(racine, classe.progId, nullptr, classe.nom) &&
             ecrire(racine, std::wstring(classe.progId) + L"\\CLSID", nullptr,
                    texteGuid(*classe.clsid));
    return ok;
}

// The class factory of a class hosts may create: made once, never freed,
// as the host may keep it across the whole life of the DLL.
class Fabrique : public IClassFactory {
public:
    explicit Fabrique(const ClasseServeur& classe) : classe_(classe) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** sortie) override {
        if (!sortie) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IClassFactory) {
            *sortie = static_cast<IClassFactory*>(this);
            return S_OK;
        }
        *sortie = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* externe, REFIID iid,
                                             void** sortie) override {
        if (!sortie) return E_POINTER;
        *sortie = nullptr;
        if (externe) return CLASS_E_NOAGGREGATION;
        return classe_.creer(iid, sortie);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL verrou) override {
        verrouiller(verrou != FALSE);
        return S_OK;
    }

private:
    const ClasseServeur& classe_;
};

}  // namespace

HRESULT enregistrer(const DescriptionServeur& serveur, bool utilisateur) {
    Racine racine(utilisateur);
    if (!racine.cle()) return SELFREG_E_CLASS;
    std::wstring chemin = cheminModule();
    std::wstring bibliotheque = texteGuid(*serveur.bibliotheque);
    std::wstring version =
        std::to_wstring(serveur.versionMajeure) + L"." + std::to_wstring(serveur.versionMineure);
    for (size_t i = 0; i < serveur.nombreClasses; ++i)
        if (!enregistrerClasse(racine.cle(), serveur.classes[i], chemin, bibliotheque, version)) {
            desenregistrer(serveur, utilisateur);
            return SELFREG_E_CLASS;
        }
    ITypeLib* typelib = nullptr;
    HRESULT hr = LoadTypeLibEx(chemin.c_str(), REGKIND_NONE, &typelib);
    if (SUCCEEDED(hr)) {
        auto* nom = const_cast<LPOLESTR>(chemin.c_str());
        hr = utilisateur ? RegisterTypeLibForUser(typelib, nom, nullptr)
                         : RegisterTypeLib(typelib, nom, nullptr);
        typelib->Release();
    }
    if (FAILED(hr)) {
        desenregistrer(serveur, utilisateur);
        return SELFREG_E_TYPELIB;
    }
    return S_OK;
}

HRESULT desenregistrer(const DescriptionServeur& serveur, bool utilisateur) {
    Racine racine(utilisateur);
    if (!racine.cle()) return SELFREG_E_CLASS;
    bool ok = true;
    for (size_t i = 0; i < serveur.nombreClasses; ++i) {
        const ClasseServeur& classe = serveur.classes[i];
        ok = supprimer(racine.cle(), L"CLSID\\" + texteGuid(*classe.clsid)) && ok;
        if (classe.progId) ok = supprimer(racine.cle(), classe.progId) && ok;
    }
#ifdef _WIN64
    const SYSKIND systeme = SYS_WIN64;
#else
    const SYSKIND systeme = SYS_WIN32;
#endif
    // A library no longer registered (a second removal) is left alone.
    std::wstring cleBibliotheque = L"TypeLib\\" + texteGuid(*serveur.bibliotheque) + L"\\" +
                                   std::to_wstring(serveur.versionMajeure) + L"." +
                                   std::to_wstring(serveur.versionMineure);
    HKEY cle = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, cleBibliotheque.c_str(), 0, KEY_READ, &cle) !=
        ERROR_SUCCESS)
        return ok ? S_OK : SELFREG_E_CLASS;
    RegCloseKey(cle);
    HRESULT hr = utilisateur
                     ? UnRegisterTypeLibForUser(*serveur.bibliotheque, serveur.versionMajeure,
                                                serveur.versionMineure, LOCALE_NEUTRAL, systeme)
                     : UnRegisterTypeLib(*serveur.bibliotheque, serveur.versionMajeure,
                                         serveur.versionMineure, LOCALE_NEUTRAL, systeme);
    if (FAILED(hr)) ok = false;
    return ok ? S_OK : SELFREG_E_CLASS;
}

HRESULT installer(const DescriptionServeur& serveur, BOOL installation, LPCWSTR ligne) {
    bool utilisateur = ligne && _wcsicmp(ligne, L"user") == 0;
    if (ligne && *ligne && !utilisateur) return E_INVALIDARG;
    return installation ? enregistrer(serveur, utilisateur) : desenregistrer(serveur, utilisateur);
}

HRESULT objetClasse(const DescriptionServeur& serveur, REFCLSID clsid, REFIID iid, void** sortie) {
    if (!sortie) return E_POINTER;
    *sortie = nullptr;
    for (size_t i = 0; i < serveur.nombreClasses; ++i) {
        const ClasseServeur& classe = serveur.classes[i];
        if (!IsEqualCLSID(clsid, *classe.clsid) || !classe.creer) continue;
        static Fabrique* fabriques[32] = {};
        if (i >= 32) return CLASS_E_CLASSNOTAVAILABLE;
        if (!fabriques[i]) fabriques[i] = new (std::nothrow) Fabrique(classe);
        if (!fabriques[i]) return E_OUTOFMEMORY;
        return fabriques[i]->QueryInterface(iid, sortie);
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

}  // namespace qx::com
