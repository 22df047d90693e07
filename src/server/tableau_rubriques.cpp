#include "server/tableau_rubriques.h"

#include "qx_tva.h"
#include "server/com/bstr.h"
#include "server/com/types.h"

namespace qx::com {

namespace {

class Acces {
public:
    explicit Acces(SAFEARRAY* tableau) : tableau_(tableau) {
        if (FAILED(SafeArrayAccessData(tableau_, reinterpret_cast<void**>(&donnees_))))
            throw Error::runtime(err::TypeIncompatible);
    }
    ~Acces() { SafeArrayUnaccessData(tableau_); }
    Acces(const Acces&) = delete;
    Acces& operator=(const Acces&) = delete;
    ::TRubr* donnees() const { return donnees_; }

private:
    SAFEARRAY* tableau_;
    ::TRubr* donnees_ = nullptr;
};

}  // namespace

std::vector<qx::TRubr> lireTableau(const SAFEARRAY* tableau) {
    std::vector<qx::TRubr> table;
    if (!tableau) return table;
    auto* t = const_cast<SAFEARRAY*>(tableau);
    VARTYPE type = VT_EMPTY;
    if (SafeArrayGetDim(t) != 1 || FAILED(SafeArrayGetVartype(t, &type)) || type != VT_RECORD ||
        SafeArrayGetElemsize(t) != sizeof(::TRubr))
        throw Error::runtime(err::TypeIncompatible);
    ULONG nombre = t->rgsabound[0].cElements;
    Acces acces(t);
    table.resize(nombre);
    for (ULONG i = 0; i < nombre; ++i) {
        const ::TRubr& r = acces.donnees()[i];
        table[i] = {texte(r.Rubr_TypeDeclaration), texte(r.Rubr_Id), texte(r.Rubr_Intitule),
                    r.Rubr_Valeur};
    }
    return table;
}

void ecrireTableau(const std::vector<qx::TRubr>& table, SAFEARRAY** tableau) {
    IRecordInfo* enregistrement = nullptr;
    ITypeInfo* info = typeInfoNomme(L"TRubr");
    if (!info || FAILED(GetRecordInfoFromTypeInfo(info, &enregistrement)))
        throw Error::runtime(err::ErreurInterne);
    SAFEARRAYBOUND bornes{static_cast<ULONG>(table.size()), 0};
    SAFEARRAY* nouveau = SafeArrayCreateEx(VT_RECORD, 1, &bornes, enregistrement);
    enregistrement->Release();
    if (!nouveau) throw Error::runtime(err::MemoireInsuffisante);
    try {
        Acces acces(nouveau);
        for (size_t i = 0; i < table.size(); ++i) {
            ::TRubr& r = acces.donnees()[i];
            r.Rubr_TypeDeclaration = newBstr(table[i].Rubr_TypeDeclaration);
            r.Rubr_Id = newBstr(table[i].Rubr_Id);
            r.Rubr_Intitule = newBstr(table[i].Rubr_Intitule);
            r.Rubr_Valeur = table[i].Rubr_Valeur;
        }
    } catch (...) {
        SafeArrayDestroy(nouveau);
        throw;
    }
    if (*tableau) SafeArrayDestroy(*tableau);
    *tableau = nouveau;
}

}  // namespace qx::com
