// DeclarationEdi with its sections, address, filing and period.
#include "ardilo/com/classes.h"
#include "ardilo/produit_substitut.h"
#include "server/com/automation.h"
#include "server/proprietes.h"

namespace qx::com {

namespace {

class Declaration : public Automation<Declaration, _DeclarationEdi, qx::DeclarationEdi> {
public:
    using Automation::Automation;
    static const CLSID& classe() { return CLSID_DeclarationEdi; }

    QX_ECRITURE(BSTR, Commentaires, texte)
    QX_ECRITURE(BSTR, NumDossier, texte)
    QX_OBJET(_SectionEmetteur, SectionEmetteur)
    QX_OBJET(_SectionRedacteur, SectionRedacteur)
    QX_OBJET(_DepotEdi, DepotEdi)
    QX_OBJET(_FormulairesEdi, FormulairesEdi)
    HRESULT STDMETHODCALLTYPE ChargerDepuisXML(BSTR xml) override {
        return appel([&] { coeur().ChargerDepuisXML(texte(xml)); });
    }
    QX_LECTURE_TEXTE(TexteXML)
    QX_LECTURE_NOMBRE(double, MontantAPayer)
};

class SectionEmetteur : public Automation<SectionEmetteur, _SectionEmetteur, qx::SectionEmetteur> {
public:
    using Automation::Automation;
    static const CLSID& classe() { return CLSID_SectionEmetteur; }

    QX_ECRITURE(BSTR, CodeApplication, texte)
    QX_ECRITURE(BSTR, NomApplication, texte)
    QX_ECRITURE(BSTR, VersionApplication, texte)
    QX_ECRITURE(BSTR, Nom, texte)
    QX_ECRITURE(BSTR, Email, texte)
    QX_ECRITURE(BSTR, SMS, texte)
};

class SectionRedacteur
    : public Automation<SectionRedacteur, _SectionRedacteur, qx::SectionRedacteur> {
public:
    using Automation::Automation;
    static const CLSID& classe() { return CLSID_SectionRedacteur; }

    QX_ECRITURE(BSTR, Nom, texte)
    QX_ECRITURE(BSTR, SIRET, texte)
    QX_ECRITURE(BSTR, Email, texte)
    QX_ECRITURE(BSTR, Telephone, texte)
    QX_OBJET(_AdresseEdi, AdresseEdi)
};

class SectionRedevable
    : public Automation<SectionRedevable, _SectionRedevable, qx::SectionRedevable> {
public:
    using Automation::Automation;
    static const CLSID& classe() { return CLSID_SectionRedevable; }

    QX_ECRITURE(BSTR, FRP, texte)
    QX_ECRITURE(BSTR, SIRET, texte)
    QX_ECRITURE(BSTR, OCFI, texte)
    QX_ECRITURE(BSTR, TVAIntracom, texte)
    QX_ECRITURE(BSTR, NomSociete, texte)
    QX_ECRITURE(BSTR, Representant, texte)
    QX_ECRITURE(BSTR, Fonction, texte)
    QX_ECRITURE(BSTR, Telephone, texte)
    QX_ECRITURE(BSTR, Email, texte)
    QX_OBJET(_AdresseEdi, AdresseEdi)
};

class Adresse : public Automation<Adresse, _AdresseEdi, qx::AdresseEdi> {
public:
    using Automation::Automation;
    static const CLSID& classe() { return CLSID_AdresseEdi; }

    QX_ECRITURE(short, Numero, static_cast<int16_t>)
    QX_ECRITURE(BSTR, Voie, texte)
    QX_ECRITURE(BSTR, Complement, texte)
    QX_ECRITURE(BSTR, CodePostal, texte)
    QX_ECRITURE(BSTR, Ville, texte)
    QX_ECRITURE(BSTR, CodePays, texte)
};

class Depot : public Automation<Depot, _DepotEdi, qx::DepotEdi> {
public:
    using Automation::Automation;
    static const CLSID& classe() { return CLSID_DepotEdi; }

    QX_OBJET(_SectionRedevable, SectionRedevable)
    QX_OBJET(_PeriodeEdi, PeriodeEdi)
    QX_OBJET(_ReglementsEdi, ReglementsEdi)
};

inline Date date(DATE d) {
    return Date{d};
}

class Periode : public Automation<Periode, _PeriodeEdi, qx::PeriodeEdi> {
public:
    using Automation::Automation;
    static const CLSID& classe() { return CLSID_PeriodeEdi; }

    QX_ECRITURE(DATE, DateDebut, date)
    QX_ECRITURE(DATE, DateFin, date)
};

}  // namespace

_DeclarationEdi* envelopper(const std::shared_ptr<qx::DeclarationEdi>& objet) {
    return Declaration::envelopper(objet);
}
_SectionEmetteur* envelopper(const std::shared_ptr<qx::SectionEmetteur>& objet) {
    return SectionEmetteur::envelopper(objet);
}
_SectionRedacteur* envelopper(const std::shared_ptr<qx::SectionRedacteur>& objet) {
    return SectionRedacteur::envelopper(objet);
}
_SectionRedevable* envelopper(const std::shared_ptr<qx::SectionRedevable>& objet) {
    return SectionRedevable::envelopper(objet);
}
_AdresseEdi* envelopper(const std::shared_ptr<qx::AdresseEdi>& objet) {
    return Adresse::envelopper(objet);
}
_DepotEdi* envelopper(const std::shared_ptr<qx::DepotEdi>& objet) {
    return Depot::envelopper(objet);
}
_PeriodeEdi* envelopper(const std::shared_ptr<qx::PeriodeEdi>& objet) {
    return Periode::envelopper(objet);
}

HRESULT creerDeclarationEdi(REFIID iid, void** sortie) {
    return creerObjet<Declaration>(iid, sortie, [] {
        ardilo::ProduitSubstitut produit;
        auto declaration = std::dynamic_pointer_cast<qx::DeclarationEdi>(
            produit.CreerObjet(kClasseDeclarationEdi));
        if (!declaration) throw Error::runtime(err::CreationObjet);
        return declaration;
    });
}

}  // namespace qx::com
