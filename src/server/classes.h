// The automation classes of Qx_TVA, one file each: the wrapper of a core
// object (its one automation object, with a reference for the caller) and,
// for the classes hosts may create, the factory's work.
#pragma once

#include <windows.h>

#include <memory>

#include "platform/error.h"
#include "qx_tva.h"

namespace qx {
class Cls_DeclarationTVA;
class Cls_Emetteur;
class Cls_Redevable;
class Cls_Redacteur;
class CLigneRubrique;
class CLignesDependance;
class CLignesRubrique;
class CRubrique;
class CRubriques;
class CLigneDependance;
class CCalculTVA;
class Cls_Paiement;
class Cls_Paiements;
class Cls_Prelevement;
class Cls_Prelevements;
class Cls_Rib;
}  // namespace qx

namespace qx::com {

_Cls_DeclarationTVA* envelopper(const std::shared_ptr<qx::Cls_DeclarationTVA>& objet);
_Cls_Emetteur* envelopper(const std::shared_ptr<qx::Cls_Emetteur>& objet);
_Cls_Redevable* envelopper(const std::shared_ptr<qx::Cls_Redevable>& objet);
_Cls_Redacteur* envelopper(const std::shared_ptr<qx::Cls_Redacteur>& objet);
_CLigneRubrique* envelopper(const std::shared_ptr<qx::CLigneRubrique>& objet);
_CLignesDependance* envelopper(const std::shared_ptr<qx::CLignesDependance>& objet);
_CLignesRubrique* envelopper(const std::shared_ptr<qx::CLignesRubrique>& objet);
_CRubrique* envelopper(const std::shared_ptr<qx::CRubrique>& objet);
_CRubriques* envelopper(const std::shared_ptr<qx::CRubriques>& objet);
_CLigneDependance* envelopper(const std::shared_ptr<qx::CLigneDependance>& objet);
_CCalculTVA* envelopper(const std::shared_ptr<qx::CCalculTVA>& objet);
_Cls_Paiement* envelopper(const std::shared_ptr<qx::Cls_Paiement>& objet);
_Cls_Paiements* envelopper(const std::shared_ptr<qx::Cls_Paiements>& objet);
_Cls_Prelevement* envelopper(const std::shared_ptr<qx::Cls_Prelevement>& objet);
_Cls_Prelevements* envelopper(const std::shared_ptr<qx::Cls_Prelevements>& objet);
_Cls_Rib* envelopper(const std::shared_ptr<qx::Cls_Rib>& objet);

HRESULT creerDeclarationTVA(REFIID iid, void** sortie);
HRESULT creerEmetteur(REFIID iid, void** sortie);
HRESULT creerRedevable(REFIID iid, void** sortie);
HRESULT creerRedacteur(REFIID iid, void** sortie);
HRESULT creerCalculTVA(REFIID iid, void** sortie);
HRESULT creerPaiement(REFIID iid, void** sortie);
HRESULT creerPaiements(REFIID iid, void** sortie);
HRESULT creerPrelevements(REFIID iid, void** sortie);
HRESULT creerRib(REFIID iid, void** sortie);

// Hands an object out through an [out, retval] pointer (5 for a null one).
template <class Interface, class Coeur>
void rendreObjet(Interface** sortie, const std::shared_ptr<Coeur>& objet) {
    if (!sortie) throw Error::runtime(err::AppelIncorrect);
    *sortie = envelopper(objet);
}

}  // namespace qx::com
