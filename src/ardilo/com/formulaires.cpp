// The forms of a declaration and their boxes.
#include "ardilo/com/classes.h"
#include "server/com/automation.h"
#include "server/proprietes.h"

namespace qx::com {

namespace {

class Formulaires : public Automation<Formulaires, _FormulairesEdi, qx::FormulairesEdi> {
public:
    using Automation::Automation;
    static const CLSID& classe() { return CLSID_FormulairesEdi; }

    QX_LISTE_EDI(_FormulaireEdi)
    HRESULT STDMETHODCALLTYPE Formulaire(short typeFormulaire, _FormulaireEdi** v) override {
        return appel([&] { rendreObjet(v, coeur().Formulaire(typeFormulaire)); });
    }
};

class Formulaire : public Automation<Formulaire, _FormulaireEdi, qx::FormulaireEdi> {
public:
    using Automation::Automation;
    static const CLSID& classe() { return CLSID_FormulaireEdi; }

    QX_LECTURE_NOMBRE(LONG, FormType)
    QX_OBJET(_RubriquesEdi, RubriquesEdi)
};

class Rubriques : public Automation<Rubriques, _RubriquesEdi, qx::RubriquesEdi> {
public:
    using Automation::Automation;
    static const CLSID& classe() { return CLSID_RubriquesEdi; }

    QX_LISTE_EDI(_RubriqueEdi)
    HRESULT STDMETHODCALLTYPE Rubrique(BSTR code, _RubriqueEdi** v) override {
        return appel([&] { rendreObjet(v, coeur().Rubrique(texte(code))); });
    }
};

class Rubrique : public Automation<Rubrique, _RubriqueEdi, qx::RubriqueEdi> {
public:
    using Automation::Automation;
    static const CLSID& classe() { return CLSID_RubriqueEdi; }

    QX_LECTURE_TEXTE(Code)
    QX_LECTURE_TEXTE(Intitule)
    QX_LECTURE_NOMBRE(double, Valeur)
    QX_ECRITURE(double, Valeur, static_cast<double>)
    QX_ECRITURE(BSTR, Texte, texte)
};

}  // namespace

_FormulairesEdi* envelopper(const std::shared_ptr<qx::FormulairesEdi>& objet) {
    return Formulaires::envelopper(objet);
}
_FormulaireEdi* envelopper(const std::shared_ptr<qx::FormulaireEdi>& objet) {
    return Formulaire::envelopper(objet);
}
_RubriquesEdi* envelopper(const std::shared_ptr<qx::RubriquesEdi>& objet) {
    return Rubriques::envelopper(objet);
}
_RubriqueEdi* envelopper(const std::shared_ptr<qx::RubriqueEdi>& objet) {
    return Rubrique::envelopper(objet);
}

}  // namespace qx::com
