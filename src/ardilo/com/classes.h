// The automation classes of the stand-in product's Qx_Ardilodirect.dll:
// thin wrappers over the product's objects, so that "product installed"
// and "product missing" are both real on Windows.
#pragma once

#include <windows.h>

#include <memory>

#include "platform/error.h"
#include "qx_ardilodirect.h"
#include "transmission/ardilo_interface.h"

namespace qx::com {

_Connecteur* envelopper(const std::shared_ptr<qx::Connecteur>& objet);
_TransfertEdi* envelopper(const std::shared_ptr<qx::TransfertEdi>& objet);
_DeclarationEdi* envelopper(const std::shared_ptr<qx::DeclarationEdi>& objet);
_SectionEmetteur* envelopper(const std::shared_ptr<qx::SectionEmetteur>& objet);
_SectionRedacteur* envelopper(const std::shared_ptr<qx::SectionRedacteur>& objet);
_SectionRedevable* envelopper(const std::shared_ptr<qx::SectionRedevable>& objet);
_AdresseEdi* envelopper(const std::shared_ptr<qx::AdresseEdi>& objet);
_DepotEdi* envelopper(const std::shared_ptr<qx::DepotEdi>& objet);
_PeriodeEdi* envelopper(const std::shared_ptr<qx::PeriodeEdi>& objet);
_ReglementsEdi* envelopper(const std::shared_ptr<qx::ReglementsEdi>& objet);
_ReglementEdi* envelopper(const std::shared_ptr<qx::ReglementEdi>& objet);
_PrelevementsEdi* envelopper(const std::shared_ptr<qx::PrelevementsEdi>& objet);
_PrelevementEdi* envelopper(const std::shared_ptr<qx::PrelevementEdi>& objet);
_RibEdi* envelopper(const std::shared_ptr<qx::RibEdi>& objet);
_FormulairesEdi* envelopper(const std::shared_ptr<qx::FormulairesEdi>& objet);
_FormulaireEdi* envelopper(const std::shared_ptr<qx::FormulaireEdi>& objet);
_RubriquesEdi* envelopper(const std::shared_ptr<qx::RubriquesEdi>& objet);
_RubriqueEdi* envelopper(const std::shared_ptr<qx::RubriqueEdi>& objet);

HRESULT creerConnecteur(REFIID iid, void** sortie);
HRESULT creerDeclarationEdi(REFIID iid, void** sortie);
HRESULT creerComposantTva(REFIID iid, void** sortie);

template <class Interface, class Coeur>
void rendreObjet(Interface** sortie, const std::shared_ptr<Coeur>& objet) {
    if (!sortie) throw Error::runtime(err::AppelIncorrect);
    *sortie = envelopper(objet);
}

}  // namespace qx::com

// A property the product only writes, its value passed by value.
#define QX_ECRITURE(type, nom, conversion)                      \
    HRESULT STDMETHODCALLTYPE put_##nom(type v) override {      \
        return appel([&] { coeur().Set##nom(conversion(v)); }); \
    }
// A text property read and written.
#define QX_TEXTE_EDI(nom) \
    QX_LECTURE_TEXTE(nom) \
    QX_ECRITURE(BSTR, nom, texte)
// Count, Item by position and the member that adds or finds one.
#define QX_LISTE_EDI(Membre)                                                 \
    QX_LECTURE_NOMBRE(LONG, Count)                                           \
    HRESULT STDMETHODCALLTYPE get_Item(LONG position, Membre** v) override { \
        return appel([&] { rendreObjet(v, coeur().Item(position)); });       \
    }
