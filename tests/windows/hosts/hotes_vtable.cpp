// A C++ host of QX_TVA.dll: objects created through the registry, members
// called through the vtable where scripts cannot reach (whole texts, error
// information, the enumerator, the TRubr array read field by field), and the
// library unloadable once everything is released, in each order a host may
// release things.
//   hotes_vtable.exe donnees.xml rubriques.xml ca3_donnees.xml ca3_rubriques.xml
#include "../banc.h"

#include <oleauto.h>

#include "qx_tva.h"

namespace {

HRESULT(WINAPI* dechargeable)() = nullptr;

template <class I>
I* creer(const CLSID& clsid) {
    I* objet = nullptr;
    HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, __uuidof(I),
                                  reinterpret_cast<void**>(&objet));
    verifier(SUCCEEDED(hr) && objet, "creation par la base de registre", hr);
    return objet;
}

// A BSTR owned for the length of a scope.
struct Texte {
    BSTR b;
    explicit Texte(const wchar_t* t = L"") : b(SysAllocString(t)) {}
    explicit Texte(const std::wstring& t) : b(SysAllocStringLen(t.data(), t.size())) {}
    ~Texte() { SysFreeString(b); }
    Texte(const Texte&) = delete;
    Texte& operator=(const Texte&) = delete;
    std::wstring str() const { return b ? std::wstring(b, SysStringLen(b)) : std::wstring(); }
};

VARIANT position(LONG i) {
    VARIANT v;
    V_VT(&v) = VT_I4;
    V_I4(&v) = i;
    return v;
}

// The run-time number an HRESULT carries for a Basic host.
bool numero(HRESULT hr, int n) { return hr == static_cast<HRESULT>(0x800A0000 + n); }

void relacher(IUnknown* objet) {
    if (objet) objet->Release();
}

// A record's text, the payments with the optional key left out, a failure's
// error information, the enumerator's four members, and the collection
// released before the payments it held.
void enregistrementsEtPaiements() {
    _Cls_Redacteur* redacteur = creer<_Cls_Redacteur>(CLSID_Cls_Redacteur);
    if (!redacteur) return;
    // Texts cross the boundary whole: accents, the euro sign, a character
    // beyond the 16-bit range, an embedded null.
    const wchar_t texte[] = L"Soci\u00e9t\u00e9 \u20ac \xD83D\xDE00 fin\0apres";
    Texte voie(std::wstring(texte, sizeof texte / sizeof texte[0] - 1)), relu;
    HRESULT hr = redacteur->put_vAdr_Voie(&voie.b);
    redacteur->get_vAdr_Voie(&relu.b);
    verifier(SUCCEEDED(hr) && relu.str() == voie.str(), "texte rendu tel quel", hr);
    hr = redacteur->put_vAdr_Voie(nullptr);
    verifier(FAILED(hr), "reference nulle refusee", hr);

    _Cls_Paiements* paiements = creer<_Cls_Paiements>(CLSID_Cls_Paiements);
    if (!paiements) return;
    _Cls_Paiement* paiements_[3] = {};
    for (short i = 0; i < 3; ++i) {
        short cle = static_cast<short>(i + 1);
        BSTR sansCle = nullptr;  // the optional key left out
        hr = paiements->Add(&cle, &sansCle, &paiements_[i]);
        verifier(SUCCEEDED(hr) && paiements_[i], "Add sans cle", hr);
    }
    LONG nombre = 0;
    paiements->get_Count(&nombre);
    verifier(nombre == 3, "trois paiements");
    _Cls_Prelevements* prelevements = nullptr;
    paiements_[0]->get_Cls_Prelevements(&prelevements);
    short un = 1;
    Texte cleA(L"a");
    _Cls_Prelevement* prelevement = nullptr;
    prelevements->Add(&un, &cleA.b, &prelevement);
    // A failure through the vtable: its number, our source in the error
    // information, nothing given back.
    Texte cleAMajuscule(L"A"), source;
    _Cls_Prelevement* rien = nullptr;
    hr = prelevements->Add(&un, &cleAMajuscule.b, &rien);
    IErrorInfo* info = nullptr;
    if (GetErrorInfo(0, &info) == S_OK) {
        info->GetSource(&source.b);
        info->Release();
    }
    verifier(numero(hr, 457) && source.str() == L"Qx_TVA" && !rien, "cle en double : 457", hr);
    _Cls_Rib* ribDuPrelevement = nullptr;
    prelevement->get_Cls_Rib(&ribDuPrelevement);

    // The enumerator: Next, Skip, Reset and Clone over the payments.
    IUnknown* inconnu = nullptr;
    paiements->get_NewEnum(&inconnu);
    IEnumVARIANT* enumerateur = nullptr;
    if (inconnu) inconnu->QueryInterface(IID_IEnumVARIANT, reinterpret_cast<void**>(&enumerateur));
    relacher(inconnu);
    verifier(enumerateur != nullptr, "NewEnum rend un IEnumVARIANT");
    if (enumerateur) {
        VARIANT v[4];
        for (VARIANT& x : v) VariantInit(&x);
        ULONG rendus = 0;
        hr = enumerateur->Next(2, v, &rendus);
        verifier(hr == S_OK && rendus == 2 && V_VT(&v[0]) == VT_DISPATCH &&
                     V_DISPATCH(&v[0]) == paiements_[0],
                 "Next rend les memes objets", hr);
        hr = enumerateur->Next(4, &v[2], &rendus);
        verifier(hr == S_FALSE && rendus == 1, "Next au bout : S_FALSE", hr);
        for (VARIANT& x : v) VariantClear(&x);
        enumerateur->Reset();
        verifier(enumerateur->Skip(3) == S_OK && enumerateur->Skip(1) == S_FALSE, "Skip");
        enumerateur->Reset();
        enumerateur->Skip(2);
        IEnumVARIANT* copie = nullptr;
        enumerateur->Clone(&copie);
        VARIANT dernier;
        VariantInit(&dernier);
        hr = copie ? copie->Next(1, &dernier, nullptr) : E_POINTER;
        verifier(hr == S_OK && V_DISPATCH(&dernier) == paiements_[2], "Clone garde la position", hr);
        VariantClear(&dernier);
        relacher(copie);
    }
    // The collection first, then the enumerator, then its members.
    paiements->Release();
    verifier(dechargeable() == S_FALSE, "encore des objets");
    relacher(enumerateur);
    LONG n = 0;
    prelevements->get_Count(&n);
    verifier(n == 1, "prelevements vivants apres la collection des paiements");
    for (IUnknown* o : {static_cast<IUnknown*>(prelevements), static_cast<IUnknown*>(prelevement),
                        static_cast<IUnknown*>(ribDuPrelevement), static_cast<IUnknown*>(redacteur)})
        relacher(o);
    for (_Cls_Paiement* p : paiements_) relacher(p);
    verifier(dechargeable() == S_OK, "dechargeable apres les paiements");
}

// The engine, its rubrics and their lines reached through the vtable, then
// released engine first, or lines first: the library unloads only when all
// are gone. (Their members' behaviour: moteur.vbs and rubriques.vbs, which
// reach the same slots through IDispatch.)
void moteur(const wchar_t* donnees, const wchar_t* rubriques) {
    for (int ordre = 0; ordre < 2; ++ordre) {
        _CCalculTVA* calcul = creer<_CCalculTVA>(CLSID_CCalculTVA);
        if (!calcul) return;
        Texte d(donnees), r(rubriques), resultat;
        VARIANT_BOOL ok = VARIANT_FALSE;
        HRESULT hr = calcul->Init(&d.b, &r.b, &resultat.b, &ok);
        verifier(SUCCEEDED(hr) && ok == VARIANT_TRUE, "Init", hr);
        _CRubriques* collection = nullptr;
        calcul->get_Rubriques(&collection);
        Texte t1a(L"t1a");
        VARIANT cle;
        V_VT(&cle) = VT_BSTR;
        V_BSTR(&cle) = t1a.b;
        _CRubrique* a = nullptr;
        hr = collection->get_Item(&cle, &a);
        verifier(SUCCEEDED(hr) && a, "Item par cle", hr);
        if (!a) return;
        _CLignesRubrique* comptes = nullptr;
        _CLignesDependance* dependances = nullptr;
        a->get_LignesRubrique(&comptes);
        a->get_LignesDependance(&dependances);
        VARIANT un = position(1), deux = position(2);
        _CLigneRubrique* compte = nullptr;
        comptes->get_Item(&un, &compte);
        _CLigneDependance* dependance = nullptr;
        dependances->get_Item(&deux, &dependance);
        _CRubrique* c = nullptr;
        if (dependance) dependance->get_RubriqueDep(&c);
        verifier(compte && c, "ligne et cible atteintes");

        IUnknown* objets[] = {calcul, collection, a, comptes, dependances, compte, dependance, c};
        const int n = sizeof objets / sizeof objets[0];
        for (int k = 0; k < n; ++k) {
            verifier(dechargeable() == S_FALSE, "non dechargeable avant la fin");
            relacher(objets[ordre == 0 ? k : n - 1 - k]);
        }
        verifier(dechargeable() == S_OK, "dechargeable apres le moteur");
    }
}

// The facade end to end through the vtable: generation, the TRubr array
// filled field by field (entry 0 left empty); then the declaration released
// before its records.
void declaration(const wchar_t* donnees, const wchar_t* rubriques) {
    _Cls_DeclarationTVA* decl = creer<_Cls_DeclarationTVA>(CLSID_Cls_DeclarationTVA);
    if (!decl) return;
    DATE debut = 46327, fin = 46356;  // 2026-11-01 and 2026-11-30
    decl->put_vDate_Debut(&debut);
    decl->put_vDate_Fin(&fin);
    Texte siret(L"51234567800012");
    decl->put_vSIRET(&siret.b);
    _Cls_Emetteur* emetteur = nullptr;
    decl->get_Obj_Emetteur(&emetteur);
    Texte nom(L"Rh\u00f4ne Compta Conseil");
    if (emetteur) emetteur->put_vNom(&nom.b);
    _Cls_Paiements* paiements = nullptr;
    decl->get_Obj_Paiements(&paiements);

    Texte d(donnees), r(rubriques), resultat, info(L"inchange"), retour;
    HRESULT hr = decl->Generer_Declaration_TVA(&d.b, &r.b, &resultat.b, &info.b, &retour.b);
    std::wstring texte = retour.str();
    size_t deuxPoints = texte.find(L" : ");
    verifier(SUCCEEDED(hr) && texte.rfind(L"D\u00e9p\u00f4t ARD-", 0) == 0 &&
                 deuxPoints != std::wstring::npos && info.str() == L"inchange",
             "generation de bout en bout", hr);

    if (deuxPoints != std::wstring::npos) {
        Texte pivot(texte.substr(deuxPoints + 3).c_str());
        SAFEARRAY* tableau = nullptr;
        VARIANT_BOOL converti = VARIANT_FALSE;
        hr = decl->Conversion_Pivot(&pivot.b, &tableau, &converti);
        verifier(SUCCEEDED(hr) && converti == VARIANT_TRUE && tableau, "Conversion_Pivot", hr);
        LONG haut = 0;
        if (tableau) SafeArrayGetUBound(tableau, 1, &haut);
        verifier(haut > 10, "une entree par rubrique");
        TRubr* entrees = nullptr;
        if (tableau && SUCCEEDED(SafeArrayAccessData(tableau, reinterpret_cast<void**>(&entrees)))) {
            verifier(SysStringLen(entrees[0].Rubr_Id) == 0 && entrees[0].Rubr_Valeur == 0,
                     "entree 0 vide");
            bool rempli = true;
            double total = 0;
            for (LONG i = 1; i <= haut; ++i) {
                rempli = rempli && std::wstring(entrees[i].Rubr_TypeDeclaration) == L"CA3" &&
                         SysStringLen(entrees[i].Rubr_Id) > 0;
                total += entrees[i].Rubr_Valeur;
            }
            verifier(rempli && total != 0, "entrees CA3 remplies");
            SafeArrayUnaccessData(tableau);
        }
        // The same array converted again keeps its size; a type without a
        // form leaves it as it was.
        Texte ca12a(L"CA12A");
        decl->put_vTypeDeclaration(&ca12a.b);
        SAFEARRAY* avant = tableau;
        hr = decl->Conversion_Pivot(&pivot.b, &tableau, &converti);
        verifier(SUCCEEDED(hr) && converti == VARIANT_FALSE && tableau == avant,
                 "CA12A : tableau intact", hr);
        if (tableau) SafeArrayDestroy(tableau);
    }
    // The declaration first: its records live on with the host.
    decl->Release();
    Texte relu;
    hr = emetteur ? emetteur->get_vNom(&relu.b) : E_POINTER;
    verifier(SUCCEEDED(hr) && relu.str() == nom.str(), "emetteur apres sa declaration", hr);
    LONG n = -1;
    if (paiements) paiements->get_Count(&n);
    verifier(n == 0, "paiements apres leur declaration");
    verifier(dechargeable() == S_FALSE, "non dechargeable avec les enregistrements");
    relacher(emetteur);
    relacher(paiements);
    verifier(dechargeable() == S_OK, "dechargeable apres la declaration");
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 5) {
        std::printf("usage: hotes_vtable donnees.xml rubriques.xml ca3_donnees.xml ca3_rubriques.xml\n");
        return 2;
    }
    CoInitialize(nullptr);
    // The library as the COM runtime loaded it for the first creation.
    _Cls_Rib* premier = creer<_Cls_Rib>(CLSID_Cls_Rib);
    HMODULE dll = GetModuleHandleW(L"QX_TVA.dll");
    dechargeable = reinterpret_cast<HRESULT(WINAPI*)()>(
        reinterpret_cast<void*>(GetProcAddress(dll, "DllCanUnloadNow")));
    verifier(premier && dechargeable, "QX_TVA.dll chargee par la base de registre");
    if (premier && dechargeable) {
        premier->Release();
        verifier(dechargeable() == S_OK, "dechargeable au depart");
        enregistrementsEtPaiements();
        moteur(argv[1], argv[2]);
        declaration(argv[3], argv[4]);
    }
    return terminer("hotes_vtable");
}
