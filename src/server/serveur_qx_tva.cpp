// The entry points of QX_TVA.dll: its classes, the nine hosts may create
// with their ProgIDs, and the exports every in-process server has.

#include <windows.h>

#include "declaration/declaration_tva.h"
#include "engine/calcul_tva.h"
#include "server/classes.h"
#include "server/com/module.h"
#include "server/com/serveur.h"
#include "server/com/variant.h"

namespace qx::com {

namespace {

// In the type library's order.
const ClasseServeur kClasses[] = {
    {&CLSID_Cls_DeclarationTVA, L"Cls_DeclarationTVA", L"Qx_TVA.Cls_DeclarationTVA",
     creerDeclarationTVA},
    {&CLSID_Cls_Emetteur, L"Cls_Emetteur", L"Qx_TVA.Cls_Emetteur", creerEmetteur},
    {&CLSID_Cls_Redevable, L"Cls_Redevable", L"Qx_TVA.Cls_Redevable", creerRedevable},
    {&CLSID_Cls_Redacteur, L"Cls_Redacteur", L"Qx_TVA.Cls_Redacteur", creerRedacteur},
    {&CLSID_CLigneRubrique, L"CLigneRubrique", nullptr, nullptr},
    {&CLSID_CLignesDependance, L"CLignesDependance", nullptr, nullptr},
    {&CLSID_CLignesRubrique, L"CLignesRubrique", nullptr, nullptr},
    {&CLSID_CRubrique, L"CRubrique", nullptr, nullptr},
    {&CLSID_CRubriques, L"CRubriques", nullptr, nullptr},
    {&CLSID_CLigneDependance, L"CLigneDependance", nullptr, nullptr},
    {&CLSID_CCalculTVA, L"CCalculTVA", L"Qx_TVA.CCalculTVA", creerCalculTVA},
    {&CLSID_Cls_Paiement, L"Cls_Paiement", L"Qx_TVA.Cls_Paiement", creerPaiement},
    {&CLSID_Cls_Paiements, L"Cls_Paiements", L"Qx_TVA.Cls_Paiements", creerPaiements},
    {&CLSID_Cls_Prelevement, L"Cls_Prelevement", nullptr, nullptr},
    {&CLSID_Cls_Prelevements, L"Cls_Prelevements", L"Qx_TVA.Cls_Prelevements", creerPrelevements},
    {&CLSID_Cls_Rib, L"Cls_Rib", L"Qx_TVA.Cls_Rib", creerRib},
};

const DescriptionServeur kServeur = {&LIBID_Qx_TVA, 1, 2, kClasses,
                                     sizeof kClasses / sizeof kClasses[0]};

// The wrapper of a core object whatever its class, most derived first.
template <class T, class... Autres>
IDispatch* essayer(const ObjectRef& objet) {
    if (auto coeur = std::dynamic_pointer_cast<T>(objet)) return envelopper(coeur);
    if constexpr (sizeof...(Autres) > 0)
        return essayer<Autres...>(objet);
    else
        throw Error::runtime(err::TypeIncompatible);
}

}  // namespace

const wchar_t* sourceErreurs() {
    return L"Qx_TVA";
}

IDispatch* envelopperObjet(const ObjectRef& objet) {
    return essayer<qx::Cls_DeclarationTVA, qx::Cls_Emetteur, qx::Cls_Redevable, qx::Cls_Redacteur,
                   qx::CLigneRubrique, qx::CLignesDependance, qx::CLignesRubrique, qx::CRubrique,
                   qx::CRubriques, qx::CLigneDependance, qx::CCalculTVA, qx::Cls_Paiement,
                   qx::Cls_Paiements, qx::Cls_Prelevement, qx::Cls_Prelevements, qx::Cls_Rib>(
        objet);
}

}  // namespace qx::com

QX_POINTS_ENTREE(qx::com::kServeur)
