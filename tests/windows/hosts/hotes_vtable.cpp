// A C++ host of QX_TVA.dll: objects created through the registry as any
// host creates them, members called through the vtable (not IDispatch) on
// every interface, the array of TRubr filled by Conversion_Pivot read field
// by field, and the library unloadable once everything is released, in
// each order a host may release things (a collection before its members,
// the engine before its rubrics, the declaration before its records, an
// enumerator after its collection).
//   hotes_vtable.exe donnees.xml rubriques.xml ca3_donnees.xml ca3_rubriques.xml
// Prints one line per fault, then "RESULTAT hotes_vtable <checks> <faults>".
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
    ~Texte() { SysFreeString(b); }
    Texte(const Texte&) = delete;
    Texte& operator=(const Texte&) = delete;
    std::wstring str() const { return b ? std::wstring(b, SysStringLen(b)) : std::wstring(); }
};

VARIANT position(LONG i) {
    VARIANT v;
    VariantInit(&v);
    V_VT(&v) = VT_I4;
    V_I4(&v) = i;
    return v;
}

// The run-time number an HRESULT carries for a Basic host.
bool numero(HRESULT hr, int n) { return hr == static_cast<HRESULT>(0x800A0000 + n); }

void relacher(IUnknown* objet) {
    if (objet) objet->Release();
}

// The declarant records and payments: texts, 16-bit numbers, the optional
// key left out, the enumerator's four members, and the collection released
// before the payments it held.
void enregistrementsEtPaiements() {
    _Cls_Redevable* redevable = creer<_Cls_Redevable>(CLSID_Cls_Redevable);
    _Cls_Redacteur* redacteur = creer<_Cls_Redacteur>(CLSID_Cls_Redacteur);
    _Cls_Rib* rib = creer<_Cls_Rib>(CLSID_Cls_Rib);
    if (!redevable || !redacteur || !rib) return;
    short numero9998 = 9998, numero9999 = 9999, lu = 0;
    redevable->put_vAdr_Numero(&numero9998);
    redevable->put_vAdr_Numero(&numero9999);
    redevable->get_vAdr_Numero(&lu);
    verifier(lu == 9998, "numero de rue borne par la vtable");
    Texte voie(L"mont\u00e9e de la Grande-C\u00f4te"), relu;
    redacteur->put_vAdr_Voie(&voie.b);
    redacteur->get_vAdr_Voie(&relu.b);
    verifier(relu.str() == voie.str(), "texte du redacteur");
    Texte iban(L"FR7630002005500000157841Z25"), iban2;
    rib->put_vIBAN(&iban.b);
    rib->get_vIBAN(&iban2.b);
    verifier(iban2.str() == iban.str(), "IBAN du RIB");

    _Cls_Paiements* paiements = creer<_Cls_Paiements>(CLSID_Cls_Paiements);
    if (!paiements) return;
    _Cls_Paiement* paiements_[3] = {};
    for (short i = 0; i < 3; ++i) {
        short cle = static_cast<short>(i + 1);
        BSTR sansCle = nullptr;  // the optional key left out
        HRESULT hr = paiements->Add(&cle, &sansCle, &paiements_[i]);
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
    double montant = 584.0;
    prelevement->put_vMontant(&montant);
    _Cls_Rib* ribDuPrelevement = nullptr;
    prelevement->get_Cls_Rib(&ribDuPrelevement);
    HRESULT hr = prelevement->putref_Cls_Rib(&rib);
    _Cls_Rib* ribRelu = nullptr;
    prelevement->get_Cls_Rib(&ribRelu);
    verifier(SUCCEEDED(hr) && ribRelu == rib && ribDuPrelevement != rib, "RIB remplace par la vtable", hr);
    relacher(ribRelu);

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
                        static_cast<IUnknown*>(ribDuPrelevement), static_cast<IUnknown*>(rib),
                        static_cast<IUnknown*>(redevable), static_cast<IUnknown*>(redacteur)})
        relacher(o);
    for (_Cls_Paiement* p : paiements_) relacher(p);
    verifier(dechargeable() == S_OK, "dechargeable apres les paiements");
}

// The engine, its rubrics and their lines through the vtable; released
// engine first, or lines first.
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
        VARIANT cle;
        VariantInit(&cle);
        V_VT(&cle) = VT_BSTR;
        V_BSTR(&cle) = SysAllocString(L"t1a");
        _CRubrique* a = nullptr;
        hr = collection->get_Item(&cle, &a);
        VariantClear(&cle);
        verifier(SUCCEEDED(hr) && a, "Item par cle", hr);
        if (!a) return;
        VARIANT valeur;
        VariantInit(&valeur);
        a->get_Valeur(&valeur);
        verifier(V_VT(&valeur) == VT_R8 && V_R8(&valeur) == 1135, "Valeur en double");
        VARIANT force;
        VariantInit(&force);
        V_VT(&force) = VT_BSTR;
        V_BSTR(&force) = SysAllocString(L"1000.5");
        hr = a->ForceValeur(&force);
        VariantClear(&force);
        VARIANT_BOOL estForce = VARIANT_FALSE;
        a->get_IsForce(&estForce);
        double commeDouble = 0;
        a->get_AsDouble(&commeDouble);
        verifier(SUCCEEDED(hr) && estForce == VARIANT_TRUE && commeDouble == 1000.5,
                 "ForceValeur d'un texte", hr);
        V_VT(&force) = VT_BSTR;
        V_BSTR(&force) = SysAllocString(L"mille");
        hr = a->ForceValeur(&force);
        VariantClear(&force);
        verifier(numero(hr, 13), "ForceValeur d'un texte : 13", hr);
        VARIANT_BOOL vrai = VARIANT_TRUE;
        hr = a->Arrondir(&vrai);
        a->get_AsDouble(&commeDouble);
        verifier(SUCCEEDED(hr) && commeDouble == 1001, "Arrondir", hr);
        VARIANT_BOOL existe = VARIANT_FALSE;
        Texte cleHD(L"CA3HD");
        collection->IsKeyExist(&cleHD.b, &existe);
        verifier(existe == VARIANT_TRUE, "IsKeyExist");

        _CLignesRubrique* comptes = nullptr;
        _CLignesDependance* dependances = nullptr;
        a->get_LignesRubrique(&comptes);
        a->get_LignesDependance(&dependances);
        VARIANT un = position(1), deux = position(2), trois = position(3);
        _CLigneRubrique* compte = nullptr;
        comptes->get_Item(&un, &compte);
        short sens = 0;
        if (compte) compte->get_Sens(&sens);
        hr = compte ? compte->put_Sens(1) : E_POINTER;
        short sensRelu = 0;
        if (compte) compte->get_Sens(&sensRelu);
        verifier(sens == -1 && SUCCEEDED(hr) && sensRelu == 1, "Sens d'une ligne lu et ecrit", hr);
        _CLigneDependance* dependance = nullptr;
        dependances->get_Item(&deux, &dependance);
        _CRubrique* c = nullptr;
        if (dependance) dependance->get_RubriqueDep(&c);
        Texte cleC;
        if (c) c->get_KeyRubrique(&cleC.b);
        verifier(cleC.str() == L"T1C", "cible d'une dependance");
        _CLigneDependance* rien = nullptr;
        hr = dependances->get_Item(&trois, &rien);
        verifier(numero(hr, 9) && !rien, "ligne hors bornes : 9", hr);
        hr = dependance ? dependance->putref_RubriqueDep(nullptr) : E_POINTER;
        _CRubrique* vide = nullptr;
        if (dependance) dependance->get_RubriqueDep(&vide);
        verifier(SUCCEEDED(hr) && !vide, "cible effacee par la vtable", hr);
        _CCalculTVA* proprietaire = nullptr;
        c->get_CalculTVA(&proprietaire);
        verifier(proprietaire == calcul, "le moteur de la rubrique est le meme objet");
        relacher(proprietaire);

        IUnknown* objets[] = {calcul, collection, a, comptes, dependances, compte, dependance, c};
        const int n = sizeof objets / sizeof objets[0];
        for (int k = 0; k < n; ++k) {
            verifier(dechargeable() == S_FALSE, "non dechargeable avant la fin");
            relacher(objets[ordre == 0 ? k : n - 1 - k]);
            // A rubric kept after its engine and collection is still usable.
            if (ordre == 0 && k == 1) {
                double v = 0;
                HRESULT h = a->get_AsDouble(&v);
                _CCalculTVA* moteurParti = reinterpret_cast<_CCalculTVA*>(1);
                a->get_CalculTVA(&moteurParti);
                verifier(SUCCEEDED(h) && v == 1001 && !moteurParti, "rubrique apres son moteur", h);
            }
        }
        verifier(dechargeable() == S_OK, "dechargeable apres le moteur");
    }
}

// The facade end to end through the vtable: generation, the TRubr array
// filled field by field (entry 0 left empty), the amount to pay; then the
// declaration released before its records.
void declaration(const wchar_t* donnees, const wchar_t* rubriques) {
    _Cls_DeclarationTVA* decl = creer<_Cls_DeclarationTVA>(CLSID_Cls_DeclarationTVA);
    if (!decl) return;
    VARIANT_BOOL present = VARIANT_FALSE;
    decl->Verif_Version_Compatible(&present);
    verifier(present == VARIANT_TRUE, "produit present");
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
    short numeroAcompte = 1;
    double paye = 100, reste = 0;
    HRESULT hr = decl->Acompte_Ajouter(&numeroAcompte, &paye, &reste);
    verifier(SUCCEEDED(hr), "Acompte_Ajouter", hr);

    Texte d(donnees), r(rubriques), resultat, info(L"inchange"), retour;
    hr = decl->Generer_Declaration_TVA(&d.b, &r.b, &resultat.b, &info.b, &retour.b);
    std::wstring texte = retour.str();
    size_t deuxPoints = texte.find(L" : ");
    verifier(SUCCEEDED(hr) && texte.rfind(L"D\u00e9p\u00f4t ARD-", 0) == 0 &&
                 deuxPoints != std::wstring::npos && info.str() == L"inchange",
             "generation de bout en bout", hr);
    CY montant{};
    hr = decl->GetMontantAPayer(&d.b, &r.b, &montant);
    verifier(SUCCEEDED(hr) && montant.int64 == 5840000, "montant a payer 584", hr);

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
    std::printf("RESULTAT hotes_vtable %d %d\n", verifications, fautes);
    std::printf("FIN hotes_vtable\n");
    CoUninitialize();
    return fautes == 0 ? 0 : 1;
}
