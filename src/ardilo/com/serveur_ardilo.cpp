// The entry points of Qx_Ardilodirect.dll: the stand-in product's classes,
// the three hosts (and Qx_TVA) create by ProgID, and the exports every
// in-process server has.

#include <windows.h>

#include <string_view>

#include "ardilo/com/classes.h"
#include "server/com/module.h"
#include "server/com/serveur.h"
#include "server/com/variant.h"

namespace qx::com {

namespace {

constexpr const wchar_t* kProgIdConnecteur = L"Qx_Ardilodirect.Connecteur";
constexpr const wchar_t* kProgIdDeclaration = L"Qx_Ardilodirect.DeclarationEdi";
constexpr const wchar_t* kProgIdComposantTva = L"ArdiloEdi.Tva.11";

// The ProgIDs are the class names the library asks the product for.
constexpr bool memeNom(std::string_view a, std::wstring_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (static_cast<wchar_t>(a[i]) != b[i]) return false;
    return true;
}
static_assert(memeNom(kClasseConnecteur, kProgIdConnecteur));
static_assert(memeNom(kClasseDeclarationEdi, kProgIdDeclaration));
static_assert(memeNom(kComposantTva, kProgIdComposantTva));

const ClasseServeur kClasses[] = {
    {&CLSID_Connecteur, L"Connecteur", kProgIdConnecteur, creerConnecteur},
    {&CLSID_TransfertEdi, L"TransfertEdi", nullptr, nullptr},
    {&CLSID_DeclarationEdi, L"DeclarationEdi", kProgIdDeclaration, creerDeclarationEdi},
    {&CLSID_SectionEmetteur, L"SectionEmetteur", nullptr, nullptr},
    {&CLSID_SectionRedacteur, L"SectionRedacteur", nullptr, nullptr},
    {&CLSID_AdresseEdi, L"AdresseEdi", nullptr, nullptr},
    {&CLSID_DepotEdi, L"DepotEdi", nullptr, nullptr},
    {&CLSID_SectionRedevable, L"SectionRedevable", nullptr, nullptr},
    {&CLSID_PeriodeEdi, L"PeriodeEdi", nullptr, nullptr},
    {&CLSID_ReglementsEdi, L"ReglementsEdi", nullptr, nullptr},
    {&CLSID_ReglementEdi, L"ReglementEdi", nullptr, nullptr},
    {&CLSID_PrelevementsEdi, L"PrelevementsEdi", nullptr, nullptr},
    {&CLSID_PrelevementEdi, L"PrelevementEdi", nullptr, nullptr},
    {&CLSID_RibEdi, L"RibEdi", nullptr, nullptr},
    {&CLSID_FormulairesEdi, L"FormulairesEdi", nullptr, nullptr},
    {&CLSID_FormulaireEdi, L"FormulaireEdi", nullptr, nullptr},
    {&CLSID_RubriquesEdi, L"RubriquesEdi", nullptr, nullptr},
    {&CLSID_RubriqueEdi, L"RubriqueEdi", nullptr, nullptr},
    {&CLSID_ComposantTva, L"ComposantTva", kProgIdComposantTva, creerComposantTva},
};

const DescriptionServeur kServeur = {&LIBID_Qx_Ardilodirect, 1, 0, kClasses,
                                     sizeof kClasses / sizeof kClasses[0]};

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
    return L"Qx_Ardilodirect";
}

IDispatch* envelopperObjet(const ObjectRef& objet) {
    return essayer<qx::Connecteur, qx::TransfertEdi, qx::DeclarationEdi, qx::SectionEmetteur,
                   qx::SectionRedacteur, qx::SectionRedevable, qx::AdresseEdi, qx::DepotEdi,
                   qx::PeriodeEdi, qx::ReglementsEdi, qx::ReglementEdi, qx::PrelevementsEdi,
                   qx::PrelevementEdi, qx::RibEdi, qx::FormulairesEdi, qx::FormulaireEdi,
                   qx::RubriquesEdi, qx::RubriqueEdi>(objet);
}

}  // namespace qx::com

QX_POINTS_ENTREE(qx::com::kServeur)
