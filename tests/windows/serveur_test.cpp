// Calls QX_TVA.dll's entry points as a host's COM runtime does, with good
// and bad input: factories for the creatable classes only, failure codes
// and no crash on bad input, DllCanUnloadNow true exactly when no object
// and no lock is alive. (Members through the vtable, and the release orders
// of objects reached through others: hosts/hotes_vtable.cpp.)
#include "banc.h"
#include "qx_tva.h"

namespace {

using GetClassObject = HRESULT(WINAPI*)(REFCLSID, REFIID, void**);
using CanUnloadNow = HRESULT(WINAPI*)();

GetClassObject fabrique;
CanUnloadNow dechargeable;

struct Classe {
    const CLSID* clsid;
    const char* nom;
    bool creatable;
};

const Classe kClasses[] = {
    {&CLSID_Cls_DeclarationTVA, "Cls_DeclarationTVA", true},
    {&CLSID_Cls_Emetteur, "Cls_Emetteur", true},
    {&CLSID_Cls_Redevable, "Cls_Redevable", true},
    {&CLSID_Cls_Redacteur, "Cls_Redacteur", true},
    {&CLSID_CLigneRubrique, "CLigneRubrique", false},
    {&CLSID_CLignesDependance, "CLignesDependance", false},
    {&CLSID_CLignesRubrique, "CLignesRubrique", false},
    {&CLSID_CRubrique, "CRubrique", false},
    {&CLSID_CRubriques, "CRubriques", false},
    {&CLSID_CLigneDependance, "CLigneDependance", false},
    {&CLSID_CCalculTVA, "CCalculTVA", true},
    {&CLSID_Cls_Paiement, "Cls_Paiement", true},
    {&CLSID_Cls_Paiements, "Cls_Paiements", true},
    {&CLSID_Cls_Prelevement, "Cls_Prelevement", false},
    {&CLSID_Cls_Prelevements, "Cls_Prelevements", true},
    {&CLSID_Cls_Rib, "Cls_Rib", true},
};

IClassFactory* fabriqueDe(const CLSID& clsid, HRESULT* hr = nullptr) {
    IClassFactory* f = nullptr;
    HRESULT r = fabrique(clsid, IID_IClassFactory, reinterpret_cast<void**>(&f));
    if (hr) *hr = r;
    return f;
}

void entreesInvalides() {
    const GUID inconnu = {0x12345678, 0x1234, 0x1234, {1, 2, 3, 4, 5, 6, 7, 8}};
    void* sortie = reinterpret_cast<void*>(1);
    HRESULT hr = fabrique(inconnu, IID_IClassFactory, &sortie);
    verifier(hr == CLASS_E_CLASSNOTAVAILABLE && !sortie, "classe inconnue", hr);
    hr = fabrique(CLSID_Cls_Emetteur, inconnu, &sortie);
    verifier(hr == E_NOINTERFACE && !sortie, "interface inconnue de la fabrique", hr);
    hr = fabrique(CLSID_Cls_Emetteur, IID_IClassFactory, nullptr);
    verifier(hr == E_POINTER, "pointeur de sortie nul", hr);
    for (const Classe& c : kClasses) {
        IClassFactory* f = fabriqueDe(*c.clsid, &hr);
        verifier(c.creatable ? SUCCEEDED(hr) : hr == CLASS_E_CLASSNOTAVAILABLE, c.nom, hr);
        if (!f) continue;
        IUnknown* objet = nullptr;
        hr = f->CreateInstance(nullptr, inconnu, reinterpret_cast<void**>(&objet));
        HRESULT agregation = f->CreateInstance(reinterpret_cast<IUnknown*>(f), IID_IUnknown,
                                               reinterpret_cast<void**>(&objet));
        verifier(hr == E_NOINTERFACE && !objet && agregation == CLASS_E_NOAGGREGATION,
                 std::string(c.nom) + " : interface inconnue, agregation refusee", hr);
        f->Release();
    }
}

// Unloadable exactly when no object and no lock is alive.
void dechargement() {
    verifier(dechargeable() == S_OK, "dechargeable au depart");
    for (const Classe& c : kClasses) {
        if (!c.creatable) continue;
        IClassFactory* f = fabriqueDe(*c.clsid);
        IDispatch* objet = nullptr;
        HRESULT hr = f->CreateInstance(nullptr, IID_IDispatch, reinterpret_cast<void**>(&objet));
        f->Release();
        bool vivant = SUCCEEDED(hr) && objet && dechargeable() == S_FALSE;
        if (objet) objet->Release();
        verifier(vivant && dechargeable() == S_OK, std::string(c.nom) + " : dechargeable apres liberation seulement", hr);
    }
    IClassFactory* f = fabriqueDe(CLSID_Cls_Rib);
    f->LockServer(TRUE);
    bool verrouille = dechargeable() == S_FALSE;
    f->LockServer(FALSE);
    f->Release();
    verifier(verrouille && dechargeable() == S_OK, "non dechargeable sous verrou seulement");
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        std::printf("usage: serveur_test QX_TVA.dll\n");
        return 2;
    }
    CoInitialize(nullptr);
    HMODULE dll = LoadLibraryW(argv[1]);
    if (!dll) {
        std::printf("FAUTE chargement de la DLL\n");
        return 1;
    }
    fabrique = reinterpret_cast<GetClassObject>(
        reinterpret_cast<void*>(GetProcAddress(dll, "DllGetClassObject")));
    dechargeable = reinterpret_cast<CanUnloadNow>(
        reinterpret_cast<void*>(GetProcAddress(dll, "DllCanUnloadNow")));
    verifier(fabrique && dechargeable, "points d'entree");
    if (fabrique && dechargeable) {
        entreesInvalides();
        dechargement();
    }
    return terminer("serveur_test");
}
