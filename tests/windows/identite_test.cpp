// Walks the registered type library Qx_TVA and checks it against the table
// of identities (identite_qx_tva.txt): every name and identifier, the slot
// and dispatch identifier of every member, the flags, the record, the
// enumeration and the aliases.
#include "banc.h"

#include <oleauto.h>

#include <fstream>
#include <sstream>
#include <vector>

namespace {

std::string etroit(const wchar_t* texte) {
    std::string s;
    for (; texte && *texte; ++texte) s += static_cast<char>(*texte);
    return s;
}

GUID guid(const std::string& texte) {
    GUID g{};
    CLSIDFromString(std::wstring(texte.begin(), texte.end()).c_str(), &g);
    return g;
}

std::string nomDe(ITypeInfo* info, MEMBERID membre = MEMBERID_NIL) {
    BSTR nom = nullptr;
    info->GetDocumentation(membre, &nom, nullptr, nullptr, nullptr);
    std::string s = etroit(nom);
    SysFreeString(nom);
    return s;
}

std::string nomDeBibliotheque(ITypeLib* bibliotheque) {
    BSTR nom = nullptr;
    bibliotheque->GetDocumentation(-1, &nom, nullptr, nullptr, nullptr);
    std::string s = etroit(nom);
    SysFreeString(nom);
    return s;
}

struct Membre {
    char genre;  // M method, G get, L let, S set
    std::string nom;
    unsigned long id;
    std::vector<std::string> parametres;
};

struct Interface {
    std::string nom, iid, classe, clsid;
    bool creatable;
    std::vector<Membre> membres;
};

INVOKEKIND genreInvocation(char genre) {
    return genre == 'G'   ? INVOKE_PROPERTYGET
           : genre == 'L' ? INVOKE_PROPERTYPUT
           : genre == 'S' ? INVOKE_PROPERTYPUTREF
                          : INVOKE_FUNC;
}

// The member's parameters: names, count, by reference or not, and what
// NewEnum, Add and ArdiloDirect declare.
void verifierMembre(ITypeInfo* vtable, const Membre& m, const std::string& qui, FUNCDESC* f,
                    BSTR* noms, UINT trouves) {
    int entrees = f->cParams;
    if (entrees > 0 && (f->lprgelemdescParam[entrees - 1].paramdesc.wParamFlags & PARAMFLAG_FRETVAL))
        --entrees;
    bool ecriture = m.genre == 'L' || m.genre == 'S';
    verifier(entrees == static_cast<int>(m.parametres.size()) + (ecriture ? 1 : 0),
             qui + " nombre d'arguments");
    for (size_t p = 0; p < m.parametres.size() && p + 1 < trouves; ++p)
        verifier(etroit(noms[p + 1]) == m.parametres[p], qui + " argument " + m.parametres[p]);
    // Arguments by reference, except a public field's value.
    const bool parValeur = (m.id & 0xFFFF0000) == 0x40030000 && m.genre == 'L';
    for (int p = 0; p < entrees; ++p)
        verifier((f->lprgelemdescParam[p].tdesc.vt == VT_PTR) != parValeur,
                 qui + " passage de l'argument " + std::to_string(p + 1));
    if (m.nom == "NewEnum") {
        const TYPEDESC& retour = f->lprgelemdescParam[f->cParams - 1].tdesc;
        verifier((f->wFuncFlags & FUNCFLAG_FHIDDEN) != 0 && retour.vt == VT_PTR &&
                     retour.lptdesc->vt == VT_UNKNOWN,
                 qui + " cache, rend un IUnknown");
    }
    if (m.nom == "Add")
        verifier((f->lprgelemdescParam[1].paramdesc.wParamFlags & PARAMFLAG_FOPT) != 0,
                 qui + " sKey facultatif");
    if (m.nom == "ArdiloDirect") {
        const TYPEDESC* t = &f->lprgelemdescParam[0].tdesc;
        while (t->vt == VT_PTR) t = t->lptdesc;
        ITypeInfo* connecteur = nullptr;
        ITypeLib* produit = nullptr;
        UINT ignore;
        bool bon = t->vt == VT_USERDEFINED && SUCCEEDED(vtable->GetRefTypeInfo(t->hreftype, &connecteur)) &&
                   SUCCEEDED(connecteur->GetContainingTypeLib(&produit, &ignore)) &&
                   nomDeBibliotheque(produit) == "Qx_Ardilodirect" && nomDe(connecteur) == "_Connecteur";
        verifier(bon, qui + " type du connecteur");
        if (produit) produit->Release();
        if (connecteur) connecteur->Release();
    }
}

void verifierInterface(ITypeLib* bibliotheque, const Interface& attendu, UINT& dernierIndex) {
    const std::string& n = attendu.nom;
    ITypeInfo* classe = nullptr;
    if (FAILED(bibliotheque->GetTypeInfoOfGuid(guid(attendu.clsid), &classe)))
        return verifier(false, "classe absente " + attendu.classe);
    TYPEATTR* a = nullptr;
    classe->GetTypeAttr(&a);
    verifier(a->typekind == TKIND_COCLASS && nomDe(classe) == attendu.classe && a->cImplTypes == 1 &&
                 ((a->wTypeFlags & TYPEFLAG_FCANCREATE) != 0) == attendu.creatable,
             "classe, une seule interface, creation possible ou non : " + attendu.classe);
    classe->ReleaseTypeAttr(a);
    // Classes in the table's order.
    UINT index = 0;
    ITypeLib* contenant = nullptr;
    classe->GetContainingTypeLib(&contenant, &index);
    contenant->Release();
    verifier(index > dernierIndex || dernierIndex == UINT(-1), "ordre de " + attendu.classe);
    dernierIndex = index;
    HREFTYPE ref;
    ITypeInfo* parDefaut = nullptr;
    classe->GetRefTypeOfImplType(0, &ref);
    classe->GetRefTypeInfo(ref, &parDefaut);
    verifier(parDefaut && nomDe(parDefaut) == n, "interface par defaut de " + attendu.classe);
    if (parDefaut) parDefaut->Release();
    classe->Release();

    ITypeInfo* dispatch = nullptr;
    if (FAILED(bibliotheque->GetTypeInfoOfGuid(guid(attendu.iid), &dispatch)))
        return verifier(false, "interface absente " + n);
    dispatch->GetTypeAttr(&a);
    // The dispatch side of a dual interface; automation compatibility is
    // a flag of its vtable side.
    const WORD dispatchable =
        TYPEFLAG_FHIDDEN | TYPEFLAG_FDUAL | TYPEFLAG_FNONEXTENSIBLE | TYPEFLAG_FDISPATCHABLE;
    const WORD drapeaux = dispatchable | TYPEFLAG_FOLEAUTOMATION;
    verifier(a->typekind == TKIND_DISPATCH && nomDe(dispatch) == n &&
                 (a->wTypeFlags & dispatchable) == dispatchable,
             "nom et drapeaux de " + n);
    dispatch->ReleaseTypeAttr(a);
    ITypeInfo* vtable = nullptr;
    dispatch->GetRefTypeOfImplType(-1, &ref);
    dispatch->GetRefTypeInfo(ref, &vtable);
    dispatch->Release();
    if (!vtable) return verifier(false, "partie vtable de " + n);
    vtable->GetTypeAttr(&a);
    verifier(a->typekind == TKIND_INTERFACE && (a->wTypeFlags & drapeaux) == drapeaux,
             "interface duale, drapeaux de la vtable de " + n);
    verifier(a->cFuncs == attendu.membres.size(), "nombre de membres de " + n);
    UINT nombre = a->cFuncs;
    vtable->ReleaseTypeAttr(a);
    for (UINT i = 0; i < nombre && i < attendu.membres.size(); ++i) {
        const Membre& m = attendu.membres[i];
        std::string qui = n + "." + m.nom + " (slot " + std::to_string(7 + i) + ")";
        FUNCDESC* f = nullptr;
        vtable->GetFuncDesc(i, &f);
        BSTR noms[16] = {};
        UINT trouves = 0;
        // GetNames gives the member's name then its parameters' names.
        vtable->GetNames(f->memid, noms, 16, &trouves);
        verifier(etroit(noms[0]) == m.nom && static_cast<unsigned long>(f->memid) == m.id &&
                     f->invkind == genreInvocation(m.genre) &&
                     f->oVft == static_cast<SHORT>((7 + i) * sizeof(void*)),
                 qui + " nom, identifiant, genre, position : lu " + etroit(noms[0]) + " " +
                     std::to_string(f->memid) + " " + std::to_string(f->invkind) + " " +
                     std::to_string(f->oVft));
        verifierMembre(vtable, m, qui, f, noms, trouves);
        for (UINT k = 0; k < trouves; ++k) SysFreeString(noms[k]);
        vtable->ReleaseFuncDesc(f);
    }
    vtable->Release();
}

// A record's fields as name:type, an enumeration's values as name=value,
// an alias's target.
void verifierAutre(ITypeLib* bibliotheque, std::istringstream& ligne, const std::string& genre) {
    std::string nom, id, element;
    ligne >> nom >> id;
    ITypeInfo* info = nullptr;
    if (FAILED(bibliotheque->GetTypeInfoOfGuid(guid(id), &info)))
        return verifier(false, genre + " absent " + nom);
    TYPEATTR* a = nullptr;
    info->GetTypeAttr(&a);
    verifier(nomDe(info) == nom, genre + " nom " + nom);
    if (genre == "record" || genre == "enum") {
        const bool record = genre == "record";
        verifier(a->typekind == (record ? TKIND_RECORD : TKIND_ENUM), nom + " est un " + genre);
        for (WORD i = 0; ligne >> element; ++i) {
            VARDESC* v = nullptr;
            std::string lu;
            if (i < a->cVars && SUCCEEDED(info->GetVarDesc(i, &v))) {
                const VARTYPE vt = v->elemdescVar.tdesc.vt;
                lu = nomDe(info, v->memid) +
                     (!record         ? "=" + std::to_string(V_I4(v->lpvarValue))
                      : vt == VT_BSTR ? std::string(":BSTR")
                      : vt == VT_R8   ? std::string(":R8")
                                      : ":" + std::to_string(vt));
                info->ReleaseVarDesc(v);
            }
            verifier(lu == element, nom + " " + element + " lu " + lu);
        }
    } else {
        ligne >> element;
        ITypeInfo* cible = nullptr;
        bool bon = a->typekind == TKIND_ALIAS && a->tdescAlias.vt == VT_USERDEFINED &&
                   SUCCEEDED(info->GetRefTypeInfo(a->tdescAlias.hreftype, &cible)) &&
                   nomDe(cible) == element;
        verifier(bon, nom + " est un alias de " + element);
        if (cible) cible->Release();
    }
    info->ReleaseTypeAttr(a);
    info->Release();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::printf("usage: identite_test identite_qx_tva.txt\n");
        return 2;
    }
    CoInitialize(nullptr);
    ITypeLib* bibliotheque = nullptr;
    HRESULT hr = LoadRegTypeLib(guid("{66B08123-FE18-4F26-AA5B-8324D38E007C}"), 1, 2,
                                LOCALE_NEUTRAL, &bibliotheque);
    if (FAILED(hr)) {
        std::printf("FAUTE bibliotheque Qx_TVA 1.2 non enregistree (0x%08lx)\n", hr);
        return 1;
    }
    TLIBATTR* attributs = nullptr;
    bibliotheque->GetLibAttr(&attributs);
    verifier(attributs->wMajorVerNum == 1 && attributs->wMinorVerNum == 2 &&
                 nomDeBibliotheque(bibliotheque) == "Qx_TVA",
             "Qx_TVA 1.2");
    bibliotheque->ReleaseTLibAttr(attributs);

    std::ifstream table(argv[1]);
    std::vector<Interface> interfaces;
    std::string texte;
    int autres = 0;
    while (std::getline(table, texte)) {
        std::istringstream ligne(texte);
        std::string mot, id, p;
        if (!(ligne >> mot) || mot[0] == '#') continue;
        if (mot == "interface") {
            Interface i;
            ligne >> i.nom >> i.iid >> i.classe >> i.clsid >> p;
            i.creatable = p == "creatable";
            interfaces.push_back(i);
        } else if (mot.size() == 1) {
            Membre m{mot[0], {}, 0, {}};
            ligne >> m.nom >> id;
            m.id = std::stoul(id, nullptr, 16);
            while (ligne >> p) m.parametres.push_back(p);
            interfaces.back().membres.push_back(m);
        } else {
            verifierAutre(bibliotheque, ligne, mot);
            ++autres;
        }
    }
    UINT dernierIndex = UINT(-1);
    for (const Interface& i : interfaces) verifierInterface(bibliotheque, i, dernierIndex);
    // Nothing beyond the table: a class and an interface each, and the four others.
    verifier(interfaces.size() == 16 && autres == 4 &&
                 bibliotheque->GetTypeInfoCount() == interfaces.size() * 2 + autres,
             "table complete, aucune entree en trop");
    bibliotheque->Release();
    return terminer("identite_test");
}
