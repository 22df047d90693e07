// CLigneRubrique, CLigneDependance and their collections: the lines of a
// rubric, reached through it only.
#include "rubrics/lignes.h"

#include "rubrics/rubrique.h"
#include "server/classes.h"
#include "server/collection.h"
#include "server/com/automation.h"
#include "server/com/enveloppe.h"

namespace qx::com {

namespace {

class LigneRubrique : public Automation<LigneRubrique, _CLigneRubrique, qx::CLigneRubrique> {
public:
    using Automation::Automation;
    static const CLSID& classe() { return CLSID_CLigneRubrique; }

    QX_CHAMP_TEXTE(Compte)
    QX_CHAMP_TEXTE(TypeTaux)
    QX_CHAMP_TEXTE(CategorieAV)
    QX_CHAMP_ENTIER16(TypeCumul)
    QX_CHAMP_ENTIER16(Sens)
};

class LigneDependance
    : public Automation<LigneDependance, _CLigneDependance, qx::CLigneDependance> {
public:
    using Automation::Automation;
    static const CLSID& classe() { return CLSID_CLigneDependance; }

    QX_CHAMP_TEXTE(CodeImprime)
    QX_CHAMP_TEXTE(CodeRubrique)
    QX_CHAMP_ENTIER16(Sens)

    QX_OBJET(_CRubrique, RubriqueDep)
    HRESULT STDMETHODCALLTYPE putref_RubriqueDep(_CRubrique* v) override {
        return appel([&] { coeur().SetRubriqueDep(coeurAttendu<qx::CRubrique>(v, true)); });
    }
};

class LignesRubrique : public Automation<LignesRubrique, _CLignesRubrique, qx::CLignesRubrique> {
public:
    using Automation::Automation;
    static const CLSID& classe() { return CLSID_CLignesRubrique; }

    QX_MEMBRES_COLLECTION(_CLigneRubrique)
};

class LignesDependance
    : public Automation<LignesDependance, _CLignesDependance, qx::CLignesDependance> {
public:
    using Automation::Automation;
    static const CLSID& classe() { return CLSID_CLignesDependance; }

    QX_MEMBRES_COLLECTION(_CLigneDependance)
};

}  // namespace

_CLigneRubrique* envelopper(const std::shared_ptr<qx::CLigneRubrique>& objet) {
    return LigneRubrique::envelopper(objet);
}
_CLigneDependance* envelopper(const std::shared_ptr<qx::CLigneDependance>& objet) {
    return LigneDependance::envelopper(objet);
}
_CLignesRubrique* envelopper(const std::shared_ptr<qx::CLignesRubrique>& objet) {
    return LignesRubrique::envelopper(objet);
}
_CLignesDependance* envelopper(const std::shared_ptr<qx::CLignesDependance>& objet) {
    return LignesDependance::envelopper(objet);
}

}  // namespace qx::com
