// The payments of a filing: payments, their direct debits, bank accounts.
#include "ardilo/com/classes.h"
#include "server/com/automation.h"
#include "server/proprietes.h"

namespace qx::com {

namespace {

class Reglements : public Automation<Reglements, _ReglementsEdi, qx::ReglementsEdi> {
public:
    using Automation::Automation;
    static const CLSID& classe() { return CLSID_ReglementsEdi; }

    QX_LISTE_EDI(_ReglementEdi)
    HRESULT STDMETHODCALLTYPE Ajouter(_ReglementEdi** v) override {
        return appel([&] { rendreObjet(v, coeur().Ajouter()); });
    }
};

class Reglement : public Automation<Reglement, _ReglementEdi, qx::ReglementEdi> {
public:
    using Automation::Automation;
    static const CLSID& classe() { return CLSID_ReglementEdi; }

    QX_LECTURE_NOMBRE(LONG, Mode)
    QX_ECRITURE(LONG, Mode, static_cast<int32_t>)
    QX_LECTURE_NOMBRE(short, NbVirement)
    QX_ECRITURE(short, NbVirement, static_cast<int16_t>)
    QX_LECTURE_TEXTE(Reference)
    QX_OBJET(_PrelevementsEdi, PrelevementsEdi)
};

class Prelevements : public Automation<Prelevements, _PrelevementsEdi, qx::PrelevementsEdi> {
public:
    using Automation::Automation;
    static const CLSID& classe() { return CLSID_PrelevementsEdi; }

    QX_LISTE_EDI(_PrelevementEdi)
    HRESULT STDMETHODCALLTYPE Ajouter(_PrelevementEdi** v) override {
        return appel([&] { rendreObjet(v, coeur().Ajouter()); });
    }
};

class Prelevement : public Automation<Prelevement, _PrelevementEdi, qx::PrelevementEdi> {
public:
    using Automation::Automation;
    static const CLSID& classe() { return CLSID_PrelevementEdi; }

    QX_LECTURE_NOMBRE(double, Montant)
    QX_ECRITURE(double, Montant, static_cast<double>)
    QX_LECTURE_TEXTE(Reference)
    QX_OBJET(_RibEdi, RibEdi)
};

class Rib : public Automation<Rib, _RibEdi, qx::RibEdi> {
public:
    using Automation::Automation;
    static const CLSID& classe() { return CLSID_RibEdi; }

    QX_TEXTE_EDI(Banque)
    QX_TEXTE_EDI(Guichet)
    QX_TEXTE_EDI(Compte)
    QX_TEXTE_EDI(Cle)
    QX_TEXTE_EDI(Titulaire)
    QX_TEXTE_EDI(Complement)
    QX_TEXTE_EDI(IBAN)
    QX_TEXTE_EDI(BIC)
};

}  // namespace

_ReglementsEdi* envelopper(const std::shared_ptr<qx::ReglementsEdi>& objet) {
    return Reglements::envelopper(objet);
}
_ReglementEdi* envelopper(const std::shared_ptr<qx::ReglementEdi>& objet) {
    return Reglement::envelopper(objet);
}
_PrelevementsEdi* envelopper(const std::shared_ptr<qx::PrelevementsEdi>& objet) {
    return Prelevements::envelopper(objet);
}
_PrelevementEdi* envelopper(const std::shared_ptr<qx::PrelevementEdi>& objet) {
    return Prelevement::envelopper(objet);
}
_RibEdi* envelopper(const std::shared_ptr<qx::RibEdi>& objet) {
    return Rib::envelopper(objet);
}

}  // namespace qx::com
