#include "transmission/objets_automation.h"

#include <initializer_list>
#include <string>
#include <string_view>

namespace qx {
namespace {

// The reference every adapter holds, with the reads and writes they share.
class Adaptateur {
public:
    explicit Adaptateur(std::shared_ptr<AutomationObject> objet) : objet_(std::move(objet)) {}
    virtual ~Adaptateur() = default;
    const std::shared_ptr<AutomationObject>& automation() const { return objet_; }

protected:
    void definir(std::string_view membre, const Value& v) const { objet_->put(membre, v); }
    std::string texte(std::string_view membre) const { return objet_->get(membre).toText(); }
    int32_t entier(std::string_view membre) const { return objet_->get(membre).toInt32(); }
    double nombre(std::string_view membre) const { return objet_->get(membre).toDouble(); }
    // The object a member gives, behind its adapter; none for Nothing.
    template <class A>
    std::shared_ptr<A> objetLu(std::string_view membre, std::initializer_list<Value> arguments = {},
                               bool appel = false) const {
        Value v = appel ? objet_->call(membre, arguments) : objet_->get(membre, arguments);
        auto lu = AutomationObject::of(v);
        return lu ? std::make_shared<A>(std::move(lu)) : nullptr;
    }

private:
    std::shared_ptr<AutomationObject> objet_;
};

class AdresseAutomation : public AdresseEdi, public Adaptateur {
public:
    using Adaptateur::Adaptateur;
    void SetNumero(int16_t v) override { definir("Numero", v); }
    void SetVoie(const std::string& v) override { definir("Voie", v); }
    void SetComplement(const std::string& v) override { definir("Complement", v); }
    void SetCodePostal(const std::string& v) override { definir("CodePostal", v); }
    void SetVille(const std::string& v) override { definir("Ville", v); }
    void SetCodePays(const std::string& v) override { definir("CodePays", v); }
};

class SectionEmetteurAutomation : public SectionEmetteur, public Adaptateur {
public:
    using Adaptateur::Adaptateur;
    void SetCodeApplication(const std::string& v) override { definir("CodeApplication", v); }
    void SetNomApplication(const std::string& v) override { definir("NomApplication", v); }
    void SetVersionApplication(const std::string& v) override { definir("VersionApplication", v); }
    void SetNom(const std::string& v) override { definir("Nom", v); }
    void SetEmail(const std::string& v) override { definir("Email", v); }
    void SetSMS(const std::string& v) override { definir("SMS", v); }
};

class SectionRedacteurAutomation : public SectionRedacteur, public Adaptateur {
public:
    using Adaptateur::Adaptateur;
    void SetNom(const std::string& v) override { definir("Nom", v); }
    void SetSIRET(const std::string& v) override { definir("SIRET", v); }
    void SetEmail(const std::string& v) override { definir("Email", v); }
    void SetTelephone(const std::string& v) override { definir("Telephone", v); }
    std::shared_ptr<qx::AdresseEdi> AdresseEdi() override {
        return objetLu<AdresseAutomation>("AdresseEdi");
    }
};

class SectionRedevableAutomation : public SectionRedevable, public Adaptateur {
public:
    using Adaptateur::Adaptateur;
    void SetFRP(const std::string& v) override { definir("FRP", v); }
    void SetSIRET(const std::string& v) override { definir("SIRET", v); }
    void SetOCFI(const std::string& v) override { definir("OCFI", v); }
    void SetTVAIntracom(const std::string& v) override { definir("TVAIntracom", v); }
    void SetNomSociete(const std::string& v) override { definir("NomSociete", v); }
    void SetRepresentant(const std::string& v) override { definir("Representant", v); }
    void SetFonction(const std::string& v) override { definir("Fonction", v); }
    void SetTelephone(const std::string& v) override { definir("Telephone", v); }
    void SetEmail(const std::string& v) override { definir("Email", v); }
    std::shared_ptr<qx::AdresseEdi> AdresseEdi() override {
        return objetLu<AdresseAutomation>("AdresseEdi");
    }
};

class PeriodeAutomation : public PeriodeEdi, public Adaptateur {
public:
    using Adaptateur::Adaptateur;
    void SetDateDebut(Date v) override { definir("DateDebut", v); }
    void SetDateFin(Date v) override { definir("DateFin", v); }
};

class RibAutomation : public RibEdi, public Adaptateur {
public:
    using Adaptateur::Adaptateur;
    std::string Banque() override { return texte("Banque"); }
    void SetBanque(const std::string& v) override { definir("Banque", v); }
    std::string Guichet() override { return texte("Guichet"); }
    void SetGuichet(const std::string& v) override { definir("Guichet", v); }
    std::string Compte() override { return texte("Compte"); }
    void SetCompte(const std::string& v) override { definir("Compte", v); }
    std::string Cle() override { return texte("Cle"); }
    void SetCle(const std::string& v) override { definir("Cle", v); }
    std::string Titulaire() override { return texte("Titulaire"); }
    void SetTitulaire(const std::string& v) override { definir("Titulaire", v); }
    std::string Complement() override { return texte("Complement"); }
    void SetComplement(const std::string& v) override { definir("Complement", v); }
    std::string IBAN() override { return texte("IBAN"); }
    void SetIBAN(const std::string& v) override { definir("IBAN", v); }
    std::string BIC() override { return texte("BIC"); }
    void SetBIC(const std::string& v) override { definir("BIC", v); }
};

class PrelevementAutomation : public PrelevementEdi, public Adaptateur {
public:
    using Adaptateur::Adaptateur;
    double Montant() override { return nombre("Montant"); }
    void SetMontant(double v) override { definir("Montant", v); }
    std::string Reference() override { return texte("Reference"); }
    std::shared_ptr<qx::RibEdi> RibEdi() override { return objetLu<RibAutomation>("RibEdi"); }
};

// The product's payments and debits: positions from 1 to Count, Ajouter
// appends a new, empty member.
template <class Interface, class MembreEdi, class Membre>
class AjoutsAutomation : public Interface, public Adaptateur {
public:
    using Adaptateur::Adaptateur;
    int32_t Count() override { return entier("Count"); }
    std::shared_ptr<MembreEdi> Item(int32_t position) override {
        return objetLu<Membre>("Item", {position});
    }
    std::shared_ptr<MembreEdi> Ajouter() override { return objetLu<Membre>("Ajouter", {}, true); }
};

using PrelevementsAutomation =
    AjoutsAutomation<PrelevementsEdi, PrelevementEdi, PrelevementAutomation>;

class ReglementAutomation : public ReglementEdi, public Adaptateur {
public:
    using Adaptateur::Adaptateur;
    int32_t Mode() override { return entier("Mode"); }
    void SetMode(int32_t v) override { definir("Mode", v); }
    int16_t NbVirement() override { return automation()->get("NbVirement").toInt16(); }
    void SetNbVirement(int16_t v) override { definir("NbVirement", v); }
    std::string Reference() override { return texte("Reference"); }
    std::shared_ptr<qx::PrelevementsEdi> PrelevementsEdi() override {
        return objetLu<PrelevementsAutomation>("PrelevementsEdi");
    }
};

using ReglementsAutomation = AjoutsAutomation<ReglementsEdi, ReglementEdi, ReglementAutomation>;

class DepotAutomation : public DepotEdi, public Adaptateur {
public:
    using Adaptateur::Adaptateur;
    std::shared_ptr<qx::SectionRedevable> SectionRedevable() override {
        return objetLu<SectionRedevableAutomation>("SectionRedevable");
    }
    std::shared_ptr<qx::PeriodeEdi> PeriodeEdi() override {
        return objetLu<PeriodeAutomation>("PeriodeEdi");
    }
    std::shared_ptr<qx::ReglementsEdi> ReglementsEdi() override {
        return objetLu<ReglementsAutomation>("ReglementsEdi");
    }
};

class RubriqueAutomation : public RubriqueEdi, public Adaptateur {
public:
    using Adaptateur::Adaptateur;
    std::string Code() override { return texte("Code"); }
    std::string Intitule() override { return texte("Intitule"); }
    double Valeur() override { return nombre("Valeur"); }
    void SetValeur(double v) override { definir("Valeur", v); }
    void SetTexte(const std::string& v) override { definir("Texte", v); }
};

class RubriquesAutomation : public RubriquesEdi, public Adaptateur {
public:
    using Adaptateur::Adaptateur;
    int32_t Count() override { return entier("Count"); }
    std::shared_ptr<RubriqueEdi> Item(int32_t position) override {
        return objetLu<RubriqueAutomation>("Item", {position});
    }
    std::shared_ptr<RubriqueEdi> Rubrique(const std::string& code) override {
        return objetLu<RubriqueAutomation>("Rubrique", {code}, true);
    }
};

class FormulaireAutomation : public FormulaireEdi, public Adaptateur {
public:
    using Adaptateur::Adaptateur;
    int32_t FormType() override { return entier("FormType"); }
    std::shared_ptr<qx::RubriquesEdi> RubriquesEdi() override {
        return objetLu<RubriquesAutomation>("RubriquesEdi");
    }
};

class FormulairesAutomation : public FormulairesEdi, public Adaptateur {
public:
    using Adaptateur::Adaptateur;
    int32_t Count() override { return entier("Count"); }
    std::shared_ptr<FormulaireEdi> Item(int32_t position) override {
        return objetLu<FormulaireAutomation>("Item", {position});
    }
    std::shared_ptr<FormulaireEdi> Formulaire(int16_t typeFormulaire) override {
        return objetLu<FormulaireAutomation>("Formulaire", {typeFormulaire}, true);
    }
};

class DeclarationAutomation : public DeclarationEdi, public Adaptateur {
public:
    using Adaptateur::Adaptateur;
    void SetCommentaires(const std::string& v) override { definir("Commentaires", v); }
    void SetNumDossier(const std::string& v) override { definir("NumDossier", v); }
    std::shared_ptr<qx::SectionEmetteur> SectionEmetteur() override {
        return objetLu<SectionEmetteurAutomation>("SectionEmetteur");
    }
    std::shared_ptr<qx::SectionRedacteur> SectionRedacteur() override {
        return objetLu<SectionRedacteurAutomation>("SectionRedacteur");
    }
    std::shared_ptr<qx::DepotEdi> DepotEdi() override {
        return objetLu<DepotAutomation>("DepotEdi");
    }
    std::shared_ptr<qx::FormulairesEdi> FormulairesEdi() override {
        return objetLu<FormulairesAutomation>("FormulairesEdi");
    }
    void ChargerDepuisXML(const std::string& xml) override {
        automation()->call("ChargerDepuisXML", {xml});
    }
    std::string TexteXML() override { return texte("TexteXML"); }
    double MontantAPayer() override { return nombre("MontantAPayer"); }
};

class TransfertAutomation : public TransfertEdi, public Adaptateur {
public:
    using Adaptateur::Adaptateur;
    void SetCommentaires(const std::string& v) override { definir("Commentaires", v); }
    void SetDescription(const std::string& v) override { definir("Description", v); }
    void SetOpCoCode(int16_t v) override { definir("OpCoCode", v); }
    void SetTestFile(bool v) override { definir("TestFile", v); }
    void SetDateDebut(const std::string& v) override { definir("DateDebut", v); }
    void SetDateFin(const std::string& v) override { definir("DateFin", v); }
    void SetSIRET(const std::string& v) override { definir("SIRET", v); }
    void SetNomDebiteur(const std::string& v) override { definir("NomDebiteur", v); }
    std::string Transferer(const std::string& xml) override {
        return automation()->call("Transferer", {xml}).toText();
    }
};

class ConnecteurAutomation : public Connecteur, public Adaptateur {
public:
    using Adaptateur::Adaptateur;
    void DefinirLancement(const std::string& arguments) override {
        automation()->call("DefinirLancement", {arguments});
    }
    void DefinirModule(const std::string& module) override {
        automation()->call("DefinirModule", {module});
    }
    bool EstPret() override { return automation()->get("EstPret").toBool(); }
    std::shared_ptr<TransfertEdi> Transfert() override {
        return objetLu<TransfertAutomation>("Transfert");
    }
};

}  // namespace

std::shared_ptr<Connecteur> AdapterConnecteur(std::shared_ptr<AutomationObject> objet) {
    return objet ? std::make_shared<ConnecteurAutomation>(std::move(objet)) : nullptr;
}

std::shared_ptr<DeclarationEdi> AdapterDeclarationEdi(std::shared_ptr<AutomationObject> objet) {
    return objet ? std::make_shared<DeclarationAutomation>(std::move(objet)) : nullptr;
}

std::shared_ptr<AutomationObject> ObjetAutomationDe(const ObjectRef& objet) {
    const auto* adaptateur = dynamic_cast<const Adaptateur*>(objet.get());
    return adaptateur ? adaptateur->automation() : nullptr;
}

}  // namespace qx
