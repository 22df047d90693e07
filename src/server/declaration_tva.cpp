// Cls_DeclarationTVA: the class a host drives to produce a VAT return.
#include "declaration/declaration_tva.h"

#include "server/classes.h"
#include "server/com/automation.h"
#include "server/proprietes.h"
#include "server/tableau_rubriques.h"
#include "transmission/objets_automation.h"

namespace qx::com {

namespace {

class DeclarationTVA
    : public Automation<DeclarationTVA, _Cls_DeclarationTVA, qx::Cls_DeclarationTVA> {
public:
    using Automation::Automation;
    static const CLSID& classe() { return CLSID_Cls_DeclarationTVA; }

    // The host's array is given back even when the conversion fails; one
    // the conversion did not touch stays the host's own.
    HRESULT STDMETHODCALLTYPE Conversion_Pivot(BSTR* Chemin_Fichier_Pivot,
                                               SAFEARRAY** Tableau_Rubriques,
                                               VARIANT_BOOL* v) override {
        return appel([&] {
            const std::vector<qx::TRubr> recu = lireTableau(*lu(&Tableau_Rubriques));
            std::vector<qx::TRubr> table = recu;
            bool converti = coeur().Conversion_Pivot(texte(Chemin_Fichier_Pivot), table);
            if (table != recu) ecrireTableau(table, Tableau_Rubriques);
            rendreValeur(v, booleen(converti));
        });
    }
    HRESULT STDMETHODCALLTYPE Generer_Declaration_TVA(BSTR* Chemin_Fichier_Donnees,
                                                      BSTR* Chemin_Fichier_Parametrage,
                                                      BSTR* Chemin_Fichier_Resultat,
                                                      BSTR* Info_Retour, BSTR* v) override {
        return appel([&] {
            std::string info = texte(Info_Retour);
            std::string resultat = coeur().Generer_Declaration_TVA(
                texte(Chemin_Fichier_Donnees), texte(Chemin_Fichier_Parametrage),
                texte(Chemin_Fichier_Resultat), info);
            BSTR retour = newBstr(info);
            SysFreeString(*Info_Retour);
            *Info_Retour = retour;
            rendre(v, resultat);
        });
    }
    QX_PROPRIETE_TEXTE(vOpCoCode)
    QX_PROPRIETE_TEXTE(vNumDossier)
    QX_PROPRIETE_TEXTE(vCommentaires)
    QX_PROPRIETE_TEXTE(vDescription)
    QX_PROPRIETE_TEXTE(vNomDebiteur)
    QX_PROPRIETE_TEXTE(vSIRET)
    HRESULT STDMETHODCALLTYPE put_vDate_Debut(DATE* v) override {
        return appel([&] { coeur().SetvDate_Debut(Value(Date{lu(v)})); });
    }
    HRESULT STDMETHODCALLTYPE put_vDate_Fin(DATE* v) override {
        return appel([&] { coeur().SetvDate_Fin(Value(Date{lu(v)})); });
    }
    HRESULT STDMETHODCALLTYPE put_vTestFile(VARIANT_BOOL* v) override {
        return appel([&] { coeur().SetvTestFile(lu(v) != VARIANT_FALSE); });
    }
    QX_OBJET(_Cls_Emetteur, Obj_Emetteur)
    QX_OBJET(_Cls_Redacteur, Obj_Redacteur)
    QX_OBJET(_Cls_Redevable, Obj_Redevable)
    // The product's connector is a foreign object, handed over as it is;
    // Nothing when there is none.
    HRESULT STDMETHODCALLTYPE get_ArdiloDirect(_Connecteur** v) override {
        return appel([&] {
            rendreValeur<_Connecteur*>(v, nullptr);
            auto objet = ObjetAutomationDe(coeur().ArdiloDirect());
            if (objet && FAILED(objet->dispatch()->QueryInterface(__uuidof(_Connecteur),
                                                                  reinterpret_cast<void**>(v))))
                throw Error::runtime(err::TypeIncompatible);
        });
    }
    HRESULT STDMETHODCALLTYPE putref_ArdiloDirect(_Connecteur** v) override {
        return appel(
            [&] { coeur().SetArdiloDirect(AdapterConnecteur(AutomationObject::attach(lu(v)))); });
    }
    HRESULT STDMETHODCALLTYPE Verif_Version_Compatible(VARIANT_BOOL* v) override {
        return appel([&] { rendreValeur(v, booleen(coeur().Verif_Version_Compatible())); });
    }
    HRESULT STDMETHODCALLTYPE Get_VersionMin_ArdiloDirect(BSTR* v) override {
        return appel([&] { rendre(v, coeur().Get_VersionMin_ArdiloDirect()); });
    }
    QX_PROPRIETE_TEXTE(vTypeDeclaration)
    HRESULT STDMETHODCALLTYPE Acompte_Ajouter(short* NumAcompte, double* MtPaye,
                                              double* MtRestant) override {
        return appel([&] { coeur().Acompte_Ajouter(lu(NumAcompte), lu(MtPaye), lu(MtRestant)); });
    }
    QX_OBJET(_Cls_Paiements, Obj_Paiements)
    HRESULT STDMETHODCALLTYPE GetMontantAPayer(BSTR* Chemin_Fichier_Donnees,
                                               BSTR* Chemin_Fichier_Parametrage, CY* v) override {
        return appel([&] {
            Currency montant = coeur().GetMontantAPayer(texte(Chemin_Fichier_Donnees),
                                                        texte(Chemin_Fichier_Parametrage));
            CY cy;
            cy.int64 = montant.ticks;
            rendreValeur(v, cy);
        });
    }
    HRESULT STDMETHODCALLTYPE Init_Reglements(BSTR* CheminPivot, VARIANT_BOOL* v) override {
        return appel(
            [&] { rendreValeur(v, booleen(coeur().Init_Reglements(texte(CheminPivot)))); });
    }
};

}  // namespace

_Cls_DeclarationTVA* envelopper(const std::shared_ptr<qx::Cls_DeclarationTVA>& objet) {
    return DeclarationTVA::envelopper(objet);
}

HRESULT creerDeclarationTVA(REFIID iid, void** sortie) {
    return creerObjet<DeclarationTVA>(iid, sortie,
                                      [] { return std::make_shared<qx::Cls_DeclarationTVA>(); });
}

}  // namespace qx::com
