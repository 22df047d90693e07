// Calls QX_TVA.dll's entry points as a host's COM runtime does, with good
// and bad input, and a few members through the vtable: factories for the
// creatable classes only, failure codes and no crash on bad input,
// DllCanUnloadNow true exactly when no object and no lock is alive, texts
// kept whole (characters beyond the 16-bit range included), and identity.
// Prints one line per fault; exit code 1 when there is any.
#include <windows.h>

#include <oleauto.h>

#include <cstdio>
#include <string>

#include "qx_tva.h"

namespace {

int fautes = 0;
int verifications = 0;

void verifier(bool condition, const char* quoi, HRESULT hr = S_OK) {
    ++verifications;
    if (!condition) {
        ++fautes;
        std::printf("FAUTE %s (0x%08lx)\n", quoi, static_cast<unsigned long>(hr));
    }
}

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

template <class I>
I* creer(const CLSID& clsid) {
    IClassFactory* f = nullptr;
    I* objet = nullptr;
    if (SUCCEEDED(fabrique(clsid, IID_IClassFactory, reinterpret_cast<void**>(&f)))) {
        f->CreateInstance(nullptr, __uuidof(I), reinterpret_cast<void**>(&objet));
        f->Release();
    }
    return objet;
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
        IClassFactory* f = nullptr;
        hr = fabrique(*c.clsid, IID_IClassFactory, reinterpret_cast<void**>(&f));
        verifier(c.creatable ? SUCCEEDED(hr) : hr == CLASS_E_CLASSNOTAVAILABLE, c.nom, hr);
        if (!f) continue;
        IUnknown* objet = nullptr;
        hr = f->CreateInstance(nullptr, inconnu, reinterpret_cast<void**>(&objet));
        verifier(hr == E_NOINTERFACE && !objet, "interface inconnue d'un objet", hr);
        hr = f->CreateInstance(reinterpret_cast<IUnknown*>(f), IID_IUnknown,
                               reinterpret_cast<void**>(&objet));
        verifier(hr == CLASS_E_NOAGGREGATION, "agregation refusee", hr);
        f->Release();
    }
}

void dechargement() {
    verifier(dechargeable() == S_OK, "dechargeable au depart");
    for (const Classe& c : kClasses) {
        if (!c.creatable) continue;
        IClassFactory* f = nullptr;
        fabrique(*c.clsid, IID_IClassFactory, reinterpret_cast<void**>(&f));
        IDispatch* objet = nullptr;
        HRESULT hr = f->CreateInstance(nullptr, IID_IDispatch, reinterpret_cast<void**>(&objet));
        f->Release();
        verifier(SUCCEEDED(hr) && objet, c.nom, hr);
        verifier(dechargeable() == S_FALSE, "non dechargeable tant qu'un objet vit");
        if (objet) objet->Release();
        verifier(dechargeable() == S_OK, "dechargeable apres liberation");
    }
    IClassFactory* f = nullptr;
    fabrique(CLSID_Cls_Rib, IID_IClassFactory, reinterpret_cast<void**>(&f));
    f->LockServer(TRUE);
    verifier(dechargeable() == S_FALSE, "non dechargeable sous verrou");
    f->LockServer(FALSE);
    f->Release();
    verifier(dechargeable() == S_OK, "dechargeable apres le verrou");
}

// Texts cross the boundary whole: accents, the euro sign, a character
// beyond the 16-bit range, an embedded null.
void textes() {
    _Cls_Emetteur* e = creer<_Cls_Emetteur>(CLSID_Cls_Emetteur);
    verifier(e != nullptr, "emetteur par la vtable");
    if (!e) return;
    const wchar_t texte[] = L"Soci\u00e9t\u00e9 \u20ac \xD83D\xDE00 fin\0apres";
    BSTR entree = SysAllocStringLen(texte, sizeof texte / sizeof texte[0] - 1);
    HRESULT hr = e->put_vNom(&entree);
    BSTR lu = nullptr;
    if (SUCCEEDED(hr)) hr = e->get_vNom(&lu);
    verifier(SUCCEEDED(hr) && SysStringLen(lu) == SysStringLen(entree) &&
                 memcmp(lu, entree, SysStringByteLen(entree)) == 0,
             "texte rendu tel quel", hr);
    hr = e->put_vNom(nullptr);
    verifier(FAILED(hr), "reference nulle refusee", hr);
    SysFreeString(lu);
    SysFreeString(entree);
    e->Release();
}

// The same core object always comes back as the same automation object,
// and the failure of a member carries its number and the source.
void identiteEtErreurs() {
    _Cls_Paiements* p = creer<_Cls_Paiements>(CLSID_Cls_Paiements);
    verifier(p != nullptr, "paiements par la vtable");
    if (!p) return;
    short cle = 7;
    BSTR texteCle = SysAllocString(L"cl\u00e9");
    _Cls_Paiement* ajoute = nullptr;
    HRESULT hr = p->Add(&cle, &texteCle, &ajoute);
    VARIANT position;
    VariantInit(&position);
    V_VT(&position) = VT_I4;
    V_I4(&position) = 1;
    _Cls_Paiement* lu = nullptr;
    if (SUCCEEDED(hr)) hr = p->get_Item(&position, &lu);
    verifier(SUCCEEDED(hr) && lu == ajoute, "meme objet par Add et Item", hr);
    if (lu) lu->Release();
    lu = nullptr;
    hr = p->Add(&cle, &texteCle, &lu);
    verifier(hr == static_cast<HRESULT>(0x800A01C9), "cle en double: 457", hr);
    IErrorInfo* info = nullptr;
    BSTR source = nullptr;
    if (GetErrorInfo(0, &info) == S_OK) {
        info->GetSource(&source);
        info->Release();
    }
    verifier(source && std::wstring(source) == L"Qx_TVA", "source de l'erreur");
    SysFreeString(source);
    if (ajoute) ajoute->Release();
    verifier(lu == nullptr, "rien rendu en cas d'echec");
    SysFreeString(texteCle);
    p->Release();
}

BSTR chemin(const wchar_t* nom) {
    return SysAllocString(nom);
}

// The classes hosts cannot create, reached through a computation, then
// released in the orders a host may use (a collection before its members,
// the engine before its rubrics): the library unloads only when all are gone.
void classesAtteintes(const wchar_t* donnees, const wchar_t* rubriques) {
    for (int ordre = 0; ordre < 2; ++ordre) {
        _CCalculTVA* calcul = creer<_CCalculTVA>(CLSID_CCalculTVA);
        verifier(calcul != nullptr, "moteur par la vtable");
        if (!calcul) return;
        BSTR d = chemin(donnees), r = chemin(rubriques), resultat = chemin(L"");
        VARIANT_BOOL ok = VARIANT_FALSE;
        HRESULT hr = calcul->Init(&d, &r, &resultat, &ok);
        verifier(SUCCEEDED(hr) && ok == VARIANT_TRUE, "Init du moteur", hr);
        _CRubriques* collection = nullptr;
        calcul->get_Rubriques(&collection);
        LONG nombre = 0;
        if (collection) collection->get_Count(&nombre);
        verifier(nombre > 0, "rubriques chargees");
        // The first rubric that has account lines and dependency lines.
        _CRubrique* rubrique = nullptr;
        _CLignesRubrique* comptes = nullptr;
        _CLignesDependance* dependances = nullptr;
        for (LONG i = 1; i <= nombre && !dependances; ++i) {
            VARIANT position;
            VariantInit(&position);
            V_VT(&position) = VT_I4;
            V_I4(&position) = i;
            _CRubrique* r2 = nullptr;
            collection->get_Item(&position, &r2);
            _CLignesRubrique* c = nullptr;
            _CLignesDependance* d2 = nullptr;
            LONG nc = 0, nd = 0;
            r2->get_LignesRubrique(&c);
            r2->get_LignesDependance(&d2);
            c->get_Count(&nc);
            d2->get_Count(&nd);
            if (nc > 0 && nd > 0) {
                rubrique = r2;
                comptes = c;
                dependances = d2;
            } else {
                c->Release();
                d2->Release();
                r2->Release();
            }
        }
        verifier(dependances != nullptr, "rubrique avec des lignes");
        if (!dependances) return;
        VARIANT un;
        VariantInit(&un);
        V_VT(&un) = VT_I2;
        V_I2(&un) = 1;
        _CLigneRubrique* compte = nullptr;
        _CLigneDependance* dependance = nullptr;
        comptes->get_Item(&un, &compte);
        dependances->get_Item(&un, &dependance);
        _CRubrique* cible = nullptr;
        if (dependance) dependance->get_RubriqueDep(&cible);
        verifier(compte && dependance && cible, "lignes et cible atteintes");
        _CCalculTVA* proprietaire = nullptr;
        rubrique->get_CalculTVA(&proprietaire);
        verifier(proprietaire == calcul, "le moteur de la rubrique est le meme objet");
        IUnknown* objets[] = {calcul, collection, rubrique, comptes,     dependances,
                              compte, dependance, cible,    proprietaire};
        const int n = sizeof objets / sizeof objets[0];
        for (int k = 0; k < n; ++k) {
            int i = ordre == 0 ? k : n - 1 - k;
            verifier(dechargeable() == S_FALSE, "non dechargeable avant la derniere liberation");
            if (objets[i]) objets[i]->Release();
        }
        verifier(dechargeable() == S_OK, "dechargeable une fois tout libere");
        SysFreeString(d);
        SysFreeString(r);
        SysFreeString(resultat);
    }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 4) {
        std::printf("usage: serveur_test QX_TVA.dll donnees.xml rubriques.xml\n");
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
        textes();
        identiteEtErreurs();
        classesAtteintes(argv[2], argv[3]);
        verifier(dechargeable() == S_OK, "dechargeable a la fin");
    }
    std::printf("%d verifications, %d fautes\n", verifications, fautes);
    CoUninitialize();
    return fautes == 0 ? 0 : 1;
}
