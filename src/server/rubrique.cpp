// CRubrique: one box of a form, reached through the engine's rubrics.
#include "rubrics/rubrique.h"

#include "engine/calcul_tva.h"
#include "server/classes.h"
#include "server/com/automation.h"
#include "server/com/variant.h"
#include "server/proprietes.h"

namespace qx::com {

namespace {

class Rubrique : public Automation<Rubrique, _CRubrique, qx::CRubrique> {
public:
    using Automation::Automation;
    static const CLSID& classe() { return CLSID_CRubrique; }

    QX_OBJET(_CLignesDependance, LignesDependance)
    QX_OBJET(_CLignesRubrique, LignesRubrique)
    QX_LECTURE_TEXTE(CodeImprime)
    QX_LECTURE_TEXTE(CodeRubrique)
    HRESULT STDMETHODCALLTYPE get_Valeur(VARIANT* v) override {
        return appel([&] { rendreVariant(v, coeur().Valeur()); });
    }
    HRESULT STDMETHODCALLTYPE put_Valeur(VARIANT* v) override {
        return appel([&] { coeur().SetValeur(valeurDe(lu(v))); });
    }
    HRESULT STDMETHODCALLTYPE get_ValeurInitiale(VARIANT* v) override {
        return appel([&] { rendreVariant(v, coeur().ValeurInitiale()); });
    }
    QX_LECTURE_NOMBRE(short, Longueur)
    QX_LECTURE_TEXTE(Condition)
    QX_LECTURE_TEXTE(KeyRubrique)
    QX_LECTURE_NOMBRE(double, AsDouble)
    QX_LECTURE_TEXTE(AsString)
    QX_LECTURE_TEXTE(AsXML)
    HRESULT STDMETHODCALLTYPE put_AsXML(BSTR* v) override {
        return appel([&] { coeur().SetAsXML(texte(v)); });
    }
    HRESULT STDMETHODCALLTYPE get_CalculTVA(_CCalculTVA** v) override {
        return appel([&] {
            rendreObjet(v, std::dynamic_pointer_cast<qx::CCalculTVA>(coeur().CalculTVA()));
        });
    }
    HRESULT STDMETHODCALLTYPE Arrondir(VARIANT_BOOL* bGereDependance) override {
        return appel([&] { coeur().Arrondir(lu(bGereDependance) != VARIANT_FALSE); });
    }
    HRESULT STDMETHODCALLTYPE get_IsForce(VARIANT_BOOL* v) override {
        return appel([&] { rendreValeur(v, booleen(coeur().IsForce())); });
    }
    HRESULT STDMETHODCALLTYPE ForceValeur(VARIANT* aValeur) override {
        return appel([&] { coeur().ForceValeur(valeurDe(lu(aValeur))); });
    }
};

}  // namespace

_CRubrique* envelopper(const std::shared_ptr<qx::CRubrique>& objet) {
    return Rubrique::envelopper(objet);
}

}  // namespace qx::com
