// Connecteur, TransfertEdi and the VAT component: the product's sending
// service, and the object whose presence tells that the product is installed.
#include "ardilo/com/classes.h"
#include "ardilo/produit_substitut.h"
#include "server/com/automation.h"
#include "server/proprietes.h"

namespace qx::com {

namespace {

class Connecteur : public Automation<Connecteur, _Connecteur, qx::Connecteur> {
public:
    using Automation::Automation;
    static const CLSID& classe() { return CLSID_Connecteur; }

    HRESULT STDMETHODCALLTYPE DefinirLancement(BSTR arguments) override {
        return appel([&] { coeur().DefinirLancement(texte(arguments)); });
    }
    HRESULT STDMETHODCALLTYPE DefinirModule(BSTR nomModule) override {
        return appel([&] { coeur().DefinirModule(texte(nomModule)); });
    }
    HRESULT STDMETHODCALLTYPE get_EstPret(VARIANT_BOOL* v) override {
        return appel([&] { rendreValeur(v, booleen(coeur().EstPret())); });
    }
    QX_OBJET(_TransfertEdi, Transfert)
};

class Transfert : public Automation<Transfert, _TransfertEdi, qx::TransfertEdi> {
public:
    using Automation::Automation;
    static const CLSID& classe() { return CLSID_TransfertEdi; }

    QX_ECRITURE(BSTR, Commentaires, texte)
    QX_ECRITURE(BSTR, Description, texte)
    QX_ECRITURE(short, OpCoCode, static_cast<int16_t>)
    QX_ECRITURE(VARIANT_BOOL, TestFile, VARIANT_FALSE !=)
    QX_ECRITURE(BSTR, DateDebut, texte)
    QX_ECRITURE(BSTR, DateFin, texte)
    QX_ECRITURE(BSTR, SIRET, texte)
    QX_ECRITURE(BSTR, NomDebiteur, texte)
    HRESULT STDMETHODCALLTYPE Transferer(BSTR xml, BSTR* reponse) override {
        return appel([&] { rendre(reponse, coeur().Transferer(texte(xml))); });
    }
};

class ComposantTva : public Automation<ComposantTva, _ComposantTva, ardilo::ComposantTvaSubstitut> {
public:
    using Automation::Automation;
    static const CLSID& classe() { return CLSID_ComposantTva; }

    HRESULT STDMETHODCALLTYPE get_Version(BSTR* v) override {
        return appel([&] { rendre(v, ardilo::ComposantTvaSubstitut::kVersion); });
    }
};

template <class T>
std::shared_ptr<T> objetProduit(std::string_view classe) {
    ardilo::ProduitSubstitut produit;
    auto objet = std::dynamic_pointer_cast<T>(produit.CreerObjet(classe));
    if (!objet) throw Error::runtime(err::CreationObjet);
    return objet;
}

}  // namespace

_Connecteur* envelopper(const std::shared_ptr<qx::Connecteur>& objet) {
    return Connecteur::envelopper(objet);
}
_TransfertEdi* envelopper(const std::shared_ptr<qx::TransfertEdi>& objet) {
    return Transfert::envelopper(objet);
}

HRESULT creerConnecteur(REFIID iid, void** sortie) {
    return creerObjet<Connecteur>(iid, sortie,
                                  [] { return objetProduit<qx::Connecteur>(kClasseConnecteur); });
}

HRESULT creerComposantTva(REFIID iid, void** sortie) {
    return creerObjet<ComposantTva>(
        iid, sortie, [] { return objetProduit<ardilo::ComposantTvaSubstitut>(kComposantTva); });
}

}  // namespace qx::com
