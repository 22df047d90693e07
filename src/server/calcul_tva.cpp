// CCalculTVA: one computation, driven by a host directly.
#include "engine/calcul_tva.h"

#include "server/classes.h"
#include "server/com/automation.h"
#include "server/proprietes.h"

namespace qx::com {

namespace {

class CalculTVA : public Automation<CalculTVA, _CCalculTVA, qx::CCalculTVA> {
public:
    using Automation::Automation;
    static const CLSID& classe() { return CLSID_CCalculTVA; }

    QX_OBJET(_CRubriques, Rubriques)
    HRESULT STDMETHODCALLTYPE Archive(VARIANT_BOOL* v) override {
        return appel([&] { rendreValeur(v, booleen(coeur().Archive())); });
    }
    HRESULT STDMETHODCALLTYPE Init(BSTR* FichierDonneeTVA, BSTR* FichierRubriqueTVA,
                                   BSTR* FichierResultTVA, VARIANT_BOOL* v) override {
        return appel([&] {
            rendreValeur(v, booleen(coeur().Init(texte(FichierDonneeTVA), texte(FichierRubriqueTVA),
                                                 texte(FichierResultTVA))));
        });
    }
    HRESULT STDMETHODCALLTYPE get_Reloaded(VARIANT_BOOL* v) override {
        return appel([&] { rendreValeur(v, booleen(coeur().Reloaded())); });
    }
};

}  // namespace

_CCalculTVA* envelopper(const std::shared_ptr<qx::CCalculTVA>& objet) {
    return CalculTVA::envelopper(objet);
}

HRESULT creerCalculTVA(REFIID iid, void** sortie) {
    return creerObjet<CalculTVA>(iid, sortie, [] { return qx::CCalculTVA::Creer(); });
}

}  // namespace qx::com
