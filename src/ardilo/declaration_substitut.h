// The stand-in product's declaration: sections, filing, payments and forms,
// with its own XML (TexteXML / ChargerDepuisXML) and the amount to pay.
// A text field is either never set or set, possibly to the empty text; the
// XML carries only the fields that were set and the boxes that were asked
// for, so a declaration read back from its XML is the same declaration.
// Single-threaded.
#pragma once

#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "ardilo/catalogue.h"
#include "transmission/ardilo_interface.h"
#include "platform/xml_document.h"

namespace qx::ardilo {

using Champ = std::optional<std::string>;

// A fixed list of named text fields, each set or not, kept in list order.
class Champs {
public:
    Champs(std::initializer_list<std::string_view> noms);
    void definir(std::string_view nom, std::string valeur);
    const Champ& valeur(std::string_view nom) const;
    // Writes the fields that were set as attributes; reads back those present.
    void ecrire(XmlElement element) const;
    void lire(const XmlElement& element);
    bool operator==(const Champs& autre) const = default;

private:
    std::vector<std::pair<std::string_view, Champ>> champs_;
};

class AvecChamps {
public:
    explicit AvecChamps(std::initializer_list<std::string_view> noms) : champs_(noms) {}
    const Champ& champ(std::string_view nom) const { return champs_.valeur(nom); }
    const Champs& champs() const { return champs_; }
    Champs& champs() { return champs_; }

protected:
    Champs champs_;
};

class AdresseSubstitut : public AdresseEdi, public AvecChamps {
public:
    AdresseSubstitut();
    void SetNumero(int16_t v) override { champs_.definir("Numero", std::to_string(v)); }
    void SetVoie(const std::string& v) override { champs_.definir("Voie", v); }
    void SetComplement(const std::string& v) override { champs_.definir("Complement", v); }
    void SetCodePostal(const std::string& v) override { champs_.definir("CodePostal", v); }
    void SetVille(const std::string& v) override { champs_.definir("Ville", v); }
    void SetCodePays(const std::string& v) override { champs_.definir("CodePays", v); }
};

class SectionEmetteurSubstitut : public SectionEmetteur, public AvecChamps {
public:
    SectionEmetteurSubstitut();
    void SetCodeApplication(const std::string& v) override {
        champs_.definir("CodeApplication", v);
    }
    void SetNomApplication(const std::string& v) override { champs_.definir("NomApplication", v); }
    void SetVersionApplication(const std::string& v) override {
        champs_.definir("VersionApplication", v);
    }
    void SetNom(const std::string& v) override { champs_.definir("Nom", v); }
    void SetEmail(const std::string& v) override { champs_.definir("Email", v); }
    void SetSMS(const std::string& v) override { champs_.definir("SMS", v); }
};

class SectionRedacteurSubstitut : public SectionRedacteur, public AvecChamps {
public:
    SectionRedacteurSubstitut();
    void SetNom(const std::string& v) override { champs_.definir("Nom", v); }
    void SetSIRET(const std::string& v) override { champs_.definir("SIRET", v); }
    void SetEmail(const std::string& v) override { champs_.definir("Email", v); }
    void SetTelephone(const std::string& v) override { champs_.definir("Telephone", v); }
    std::shared_ptr<qx::AdresseEdi> AdresseEdi() override { return adresse_; }
    const std::shared_ptr<AdresseSubstitut>& adresse() const { return adresse_; }

private:
    std::shared_ptr<AdresseSubstitut> adresse_ = std::make_shared<AdresseSubstitut>();
};

class SectionRedevableSubstitut : public SectionRedevable, public AvecChamps {
public:
    SectionRedevableSubstitut();
    void SetFRP(const std::string& v) override { champs_.definir("FRP", v); }
    void SetSIRET(const std::string& v) override { champs_.definir("SIRET", v); }
    void SetOCFI(const std::string& v) override { champs_.definir("OCFI", v); }
    void SetTVAIntracom(const std::string& v) override { champs_.definir("TVAIntracom", v); }
    void SetNomSociete(const std::string& v) override { champs_.definir("NomSociete", v); }
    void SetRepresentant(const std::string& v) override { champs_.definir("Representant", v); }
    void SetFonction(const std::string& v) override { champs_.definir("Fonction", v); }
    void SetTelephone(const std::string& v) override { champs_.definir("Telephone", v); }
    void SetEmail(const std::string& v) override { champs_.definir("Email", v); }
    std::shared_ptr<qx::AdresseEdi> AdresseEdi() override { return adresse_; }
    const std::shared_ptr<AdresseSubstitut>& adresse() const { return adresse_; }

private:
    std::shared_ptr<AdresseSubstitut> adresse_ = std::make_shared<AdresseSubstitut>();
};

class PeriodeSubstitut : public PeriodeEdi {
public:
    // The period is made of whole days: a time of day is dropped.
    void SetDateDebut(Date v) override { debut_ = datePart(v); }
    void SetDateFin(Date v) override { fin_ = datePart(v); }
    const std::optional<Date>& debut() const { return debut_; }
    const std::optional<Date>& fin() const { return fin_; }
    void definir(std::optional<Date> debut, std::optional<Date> fin) {
        debut_ = debut;
        fin_ = fin;
    }

private:
    std::optional<Date> debut_;
    std::optional<Date> fin_;
};

class RibSubstitut : public RibEdi, public AvecChamps {
public:
    RibSubstitut();
    std::string Banque() override { return texte("Banque"); }
    void SetBanque(const std::string& v) override { champs_.definir("Banque", v); }
    std::string Guichet() override { return texte("Guichet"); }
    void SetGuichet(const std::string& v) override { champs_.definir("Guichet", v); }
    std::string Compte() override { return texte("Compte"); }
    void SetCompte(const std::string& v) override { champs_.definir("Compte", v); }
    std::string Cle() override { return texte("Cle"); }
    void SetCle(const std::string& v) override { champs_.definir("Cle", v); }
    std::string Titulaire() override { return texte("Titulaire"); }
    void SetTitulaire(const std::string& v) override { champs_.definir("Titulaire", v); }
    std::string Complement() override { return texte("Complement"); }
    void SetComplement(const std::string& v) override { champs_.definir("Complement", v); }
    std::string IBAN() override { return texte("IBAN"); }
    void SetIBAN(const std::string& v) override { champs_.definir("IBAN", v); }
    std::string BIC() override { return texte("BIC"); }
    void SetBIC(const std::string& v) override { champs_.definir("BIC", v); }

private:
    std::string texte(std::string_view nom) const { return champ(nom).value_or(std::string()); }
};

class PrelevementSubstitut : public PrelevementEdi {
public:
    explicit PrelevementSubstitut(std::string reference) : reference_(std::move(reference)) {}
    double Montant() override { return montant_; }
    void SetMontant(double v) override { montant_ = v; }
    std::string Reference() override { return reference_; }
    std::shared_ptr<qx::RibEdi> RibEdi() override { return rib_; }
    const std::shared_ptr<RibSubstitut>& rib() const { return rib_; }

private:
    double montant_ = 0.0;
    std::string reference_;
    std::shared_ptr<RibSubstitut> rib_ = std::make_shared<RibSubstitut>();
};

// The product numbers what is added: payment n is "REGn", its debit m "REGn-PRLm".
class PrelevementsSubstitut : public PrelevementsEdi {
public:
    explicit PrelevementsSubstitut(std::string prefixe) : prefixe_(std::move(prefixe)) {}
    int32_t Count() override { return static_cast<int32_t>(membres_.size()); }
    std::shared_ptr<PrelevementEdi> Item(int32_t position) override;
    std::shared_ptr<PrelevementEdi> Ajouter() override;
    const std::vector<std::shared_ptr<PrelevementSubstitut>>& membres() const { return membres_; }
    void ajouter(std::shared_ptr<PrelevementSubstitut> p) { membres_.push_back(std::move(p)); }

private:
    std::string prefixe_;
    std::vector<std::shared_ptr<PrelevementSubstitut>> membres_;
};

class ReglementSubstitut : public ReglementEdi {
public:
    explicit ReglementSubstitut(std::string reference);
    int32_t Mode() override { return mode_; }
    void SetMode(int32_t v) override { mode_ = v; }
    int16_t NbVirement() override { return nbVirement_; }
    void SetNbVirement(int16_t v) override { nbVirement_ = v; }
    std::string Reference() override { return reference_; }
    std::shared_ptr<qx::PrelevementsEdi> PrelevementsEdi() override { return prelevements_; }
    const std::shared_ptr<PrelevementsSubstitut>& prelevements() const { return prelevements_; }

private:
    int32_t mode_ = 0;
    int16_t nbVirement_ = 0;
    std::string reference_;
    std::shared_ptr<PrelevementsSubstitut> prelevements_;
};

class ReglementsSubstitut : public ReglementsEdi {
public:
    int32_t Count() override { return static_cast<int32_t>(membres_.size()); }
    std::shared_ptr<ReglementEdi> Item(int32_t position) override;
    std::shared_ptr<ReglementEdi> Ajouter() override;
    const std::vector<std::shared_ptr<ReglementSubstitut>>& membres() const { return membres_; }
    void ajouter(std::shared_ptr<ReglementSubstitut> r) { membres_.push_back(std::move(r)); }

private:
    std::vector<std::shared_ptr<ReglementSubstitut>> membres_;
};

class DepotSubstitut : public DepotEdi {
public:
    std::shared_ptr<qx::SectionRedevable> SectionRedevable() override { return redevable_; }
    std::shared_ptr<qx::PeriodeEdi> PeriodeEdi() override { return periode_; }
    std::shared_ptr<qx::ReglementsEdi> ReglementsEdi() override { return reglements_; }
    const std::shared_ptr<SectionRedevableSubstitut>& redevable() const { return redevable_; }
    const std::shared_ptr<PeriodeSubstitut>& periode() const { return periode_; }
    const std::shared_ptr<ReglementsSubstitut>& reglements() const { return reglements_; }

private:
    std::shared_ptr<SectionRedevableSubstitut> redevable_ =
        std::make_shared<SectionRedevableSubstitut>();
    std::shared_ptr<PeriodeSubstitut> periode_ = std::make_shared<PeriodeSubstitut>();
    std::shared_ptr<ReglementsSubstitut> reglements_ = std::make_shared<ReglementsSubstitut>();
};

class RubriqueSubstitut : public RubriqueEdi {
public:
    explicit RubriqueSubstitut(const RubriqueCatalogue& definition) : definition_(&definition) {}
    std::string Code() override { return std::string(definition_->code); }
    std::string Intitule() override { return std::string(definition_->intitule); }
    double Valeur() override { return valeur_; }
    void SetValeur(double v) override { valeur_ = v; }
    void SetTexte(const std::string& v) override { texte_ = v; }
    const std::string& texte() const { return texte_; }

private:
    const RubriqueCatalogue* definition_;
    double valeur_ = 0.0;
    std::string texte_;
};

class RubriquesSubstitut : public RubriquesEdi {
public:
    explicit RubriquesSubstitut(const FormulaireCatalogue& formulaire) : formulaire_(&formulaire) {}
    int32_t Count() override { return static_cast<int32_t>(membres_.size()); }
    std::shared_ptr<RubriqueEdi> Item(int32_t position) override;
    // Raises RubriqueInconnue for a code outside the form's catalogue.
    std::shared_ptr<RubriqueEdi> Rubrique(const std::string& code) override;
    // The box of a code when it was asked for, otherwise nothing.
    std::shared_ptr<RubriqueSubstitut> existante(std::string_view code) const;
    const std::vector<std::shared_ptr<RubriqueSubstitut>>& membres() const { return membres_; }

private:
    const FormulaireCatalogue* formulaire_;
    std::vector<std::shared_ptr<RubriqueSubstitut>> membres_;
};

class FormulaireSubstitut : public FormulaireEdi {
public:
    explicit FormulaireSubstitut(const FormulaireCatalogue& definition)
        : definition_(&definition), rubriques_(std::make_shared<RubriquesSubstitut>(definition)) {}
    int32_t FormType() override { return definition_->type; }
    std::shared_ptr<qx::RubriquesEdi> RubriquesEdi() override { return rubriques_; }
    const FormulaireCatalogue& definition() const { return *definition_; }
    const std::shared_ptr<RubriquesSubstitut>& rubriques() const { return rubriques_; }

private:
    const FormulaireCatalogue* definition_;
    std::shared_ptr<RubriquesSubstitut> rubriques_;
};

class FormulairesSubstitut : public FormulairesEdi {
public:
    int32_t Count() override { return static_cast<int32_t>(membres_.size()); }
    std::shared_ptr<FormulaireEdi> Item(int32_t position) override;
    // Raises FormulaireInconnu for a type code the product does not know.
    std::shared_ptr<FormulaireEdi> Formulaire(int16_t typeFormulaire) override;
    std::shared_ptr<FormulaireSubstitut> existant(int32_t type) const;
    const std::vector<std::shared_ptr<FormulaireSubstitut>>& membres() const { return membres_; }

private:
    std::vector<std::shared_ptr<FormulaireSubstitut>> membres_;
};

class DeclarationSubstitut : public DeclarationEdi, public AvecChamps {
public:
    DeclarationSubstitut();
    void SetCommentaires(const std::string& v) override { champs_.definir("Commentaires", v); }
    void SetNumDossier(const std::string& v) override { champs_.definir("NumDossier", v); }
    std::shared_ptr<qx::SectionEmetteur> SectionEmetteur() override { return emetteur_; }
    std::shared_ptr<qx::SectionRedacteur> SectionRedacteur() override { return redacteur_; }
    std::shared_ptr<qx::DepotEdi> DepotEdi() override { return depot_; }
    std::shared_ptr<qx::FormulairesEdi> FormulairesEdi() override { return formulaires_; }
    // Accepts a leading byte-order mark and any encoding the text declares.
    // On failure the declaration is left as it was.
    void ChargerDepuisXML(const std::string& xml) override;
    // UTF-8 with an XML declaration, not indented.
    std::string TexteXML() override;
    // Box KE of the CA3 plus box SC of the CA12 and of the CA12E.
    double MontantAPayer() override;

    const std::shared_ptr<SectionEmetteurSubstitut>& emetteur() const { return emetteur_; }
    const std::shared_ptr<SectionRedacteurSubstitut>& redacteur() const { return redacteur_; }
    const std::shared_ptr<DepotSubstitut>& depot() const { return depot_; }
    const std::shared_ptr<FormulairesSubstitut>& formulaires() const { return formulaires_; }

private:
    void lire(const XmlElement& racine);

    std::shared_ptr<SectionEmetteurSubstitut> emetteur_ =
        std::make_shared<SectionEmetteurSubstitut>();
    std::shared_ptr<SectionRedacteurSubstitut> redacteur_ =
        std::make_shared<SectionRedacteurSubstitut>();
    std::shared_ptr<DepotSubstitut> depot_ = std::make_shared<DepotSubstitut>();
    std::shared_ptr<FormulairesSubstitut> formulaires_ = std::make_shared<FormulairesSubstitut>();
};

// The byte-order mark that opens the product's pivot files.
inline constexpr std::string_view kMarqueUtf8 = "\xEF\xBB\xBF";

}  // namespace qx::ardilo
