#include "ardilo/declaration_substitut.h"

#include <charconv>
#include <cstdio>
#include <system_error>

#include "ardilo/erreurs_ardilo.h"
#include "platform/error.h"

namespace qx::ardilo {
namespace {

// Box of the amount to pay on each form family.
constexpr std::string_view kTotalCa3 = "KE";
constexpr std::string_view kTotalCa12 = "SC";

template <class T>
std::shared_ptr<T> aLaPosition(const std::vector<std::shared_ptr<T>>& membres, int32_t position) {
    if (position < 1 || position > static_cast<int32_t>(membres.size()))
        throw Error::runtime(qx::err::HorsSelection);
    return membres[static_cast<size_t>(position - 1)];
}

// A text as XML can carry it: control characters other than tab and line
// breaks are dropped, and bytes that are not UTF-8 become U+FFFD, so that
// whatever the host typed, the declaration can always be read back.
std::string texteXmlPermis(std::string_view texte) {
    std::string out;
    out.reserve(texte.size());
    const auto octet = [&](size_t i) { return static_cast<unsigned char>(texte[i]); };
    for (size_t i = 0; i < texte.size();) {
        unsigned char c = octet(i);
        if (c < 0x80) {
            if (c >= 0x20 || c == '\t' || c == '\n' || c == '\r') out += static_cast<char>(c);
            ++i;
            continue;
        }
        size_t longueur = c >= 0xC2 && c <= 0xDF   ? 2
                          : c >= 0xE0 && c <= 0xEF ? 3
                          : c >= 0xF0 && c <= 0xF4 ? 4
                                                   : 0;
        bool valide = longueur != 0 && i + longueur <= texte.size();
        for (size_t k = 1; valide && k < longueur; ++k) valide = (octet(i + k) & 0xC0) == 0x80;
        if (valide && longueur >= 3) {
            unsigned char second = octet(i + 1);
            // No overlong forms, no surrogates, nothing beyond U+10FFFF.
            valide = !(c == 0xE0 && second < 0xA0) && !(c == 0xED && second >= 0xA0) &&
                     !(c == 0xF0 && second < 0x90) && !(c == 0xF4 && second >= 0x90);
            // U+FFFE and U+FFFF are no XML characters either.
            if (c == 0xEF && second == 0xBF && octet(i + 2) >= 0xBE) {
                i += 3;
                continue;
            }
        }
        if (valide) {
            out.append(texte.substr(i, longueur));
            i += longueur;
        } else {
            out += "\xEF\xBF\xBD";
            ++i;
        }
    }
    return out;
}

// ---- XML text of numbers and dates: exact, whatever the locale ----

std::string texteDouble(double v) {
    char buffer[64];
    auto [fin, ec] = std::to_chars(buffer, buffer + sizeof buffer, v);
    return std::string(buffer, fin);
}

std::string texteDate(Date d) {
    CivilDate c = toCivil(d);
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d", c.year, c.month, c.day);
    return buffer;
}

[[noreturn]] void valeurInvalide(const XmlElement& e, std::string_view attribut,
                                 std::string_view texte) {
    throw Error(err::XmlInvalide, "La valeur « " + std::string(texte) + " » de l'attribut " +
                                      std::string(attribut) + " de l'élément " + e.name() +
                                      " n'est pas valide.");
}

template <class T>
T lireEntier(const XmlElement& e, std::string_view attribut, T defaut) {
    auto texte = e.attribute(attribut);
    if (!texte) return defaut;
    T v{};
    auto [fin, ec] = std::from_chars(texte->data(), texte->data() + texte->size(), v);
    if (ec != std::errc() || fin != texte->data() + texte->size())
        valeurInvalide(e, attribut, *texte);
    return v;
}

double lireDouble(const XmlElement& e, std::string_view attribut) {
    auto texte = e.attribute(attribut);
    if (!texte) return 0.0;
    double v = 0.0;
    auto [fin, ec] = std::from_chars(texte->data(), texte->data() + texte->size(), v);
    if (ec != std::errc() || fin != texte->data() + texte->size())
        valeurInvalide(e, attribut, *texte);
    return v;
}

std::optional<Date> lireDate(const XmlElement& e, std::string_view attribut) {
    auto texte = e.attribute(attribut);
    if (!texte) return std::nullopt;
    auto date = parseDateText(*texte);
    if (!date) valeurInvalide(e, attribut, *texte);
    return date;
}

// The first child of a name, or none.
XmlElement enfant(const XmlElement& parent, std::string_view nom) {
    auto liste = parent.children(nom);
    return liste.empty() ? XmlElement() : liste.front();
}

void ecrireAdresse(XmlElement parent, const AdresseSubstitut& adresse) {
    adresse.champs().ecrire(parent.appendChild("Adresse"));
}

void lireAdresse(const XmlElement& parent, AdresseSubstitut& adresse) {
    XmlElement e = enfant(parent, "Adresse");
    if (!e) return;
    lireEntier<int16_t>(e, "Numero", 0);  // refuses a number out of range
    adresse.champs().lire(e);
}

}  // namespace

// ---- Champs ----

Champs::Champs(std::initializer_list<std::string_view> noms) {
    for (auto nom : noms) champs_.emplace_back(nom, std::nullopt);
}

void Champs::definir(std::string_view nom, std::string valeur) {
    for (auto& [n, v] : champs_) {
        if (n == nom) {
            v = std::move(valeur);
            return;
        }
    }
    throw Error::runtime(qx::err::AppelIncorrect);
}

const Champ& Champs::valeur(std::string_view nom) const {
    for (const auto& [n, v] : champs_)
        if (n == nom) return v;
    throw Error::runtime(qx::err::AppelIncorrect);
}

void Champs::ecrire(XmlElement element) const {
    for (const auto& [n, v] : champs_)
        if (v) element.setAttribute(n, texteXmlPermis(*v));
}

void Champs::lire(const XmlElement& element) {
    for (auto& [n, v] : champs_) v = element.attribute(n);
}

AdresseSubstitut::AdresseSubstitut()
    : AvecChamps({"Numero", "Voie", "Complement", "CodePostal", "Ville", "CodePays"}) {}

SectionEmetteurSubstitut::SectionEmetteurSubstitut()
    : AvecChamps(
          {"CodeApplication", "NomApplication", "VersionApplication", "Nom", "Email", "SMS"}) {}

SectionRedacteurSubstitut::SectionRedacteurSubstitut()
    : AvecChamps({"Nom", "SIRET", "Email", "Telephone"}) {}

SectionRedevableSubstitut::SectionRedevableSubstitut()
    : AvecChamps({"FRP", "SIRET", "OCFI", "TVAIntracom", "NomSociete", "Representant", "Fonction",
                  "Telephone", "Email"}) {}

RibSubstitut::RibSubstitut()
    : AvecChamps({"Banque", "Guichet", "Compte", "Cle", "Titulaire", "Complement", "IBAN", "BIC"}) {
}

// ---- Payments ----

std::shared_ptr<PrelevementEdi> PrelevementsSubstitut::Item(int32_t position) {
    return aLaPosition(membres_, position);
}

std::shared_ptr<PrelevementEdi> PrelevementsSubstitut::Ajouter() {
    auto p = std::make_shared<PrelevementSubstitut>(prefixe_ + std::to_string(membres_.size() + 1));
    membres_.push_back(p);
    return p;
}

ReglementSubstitut::ReglementSubstitut(std::string reference)
    : reference_(std::move(reference)),
      prelevements_(std::make_shared<PrelevementsSubstitut>(reference_ + "-PRL")) {}

std::shared_ptr<ReglementEdi> ReglementsSubstitut::Item(int32_t position) {
    return aLaPosition(membres_, position);
}

std::shared_ptr<ReglementEdi> ReglementsSubstitut::Ajouter() {
    auto r = std::make_shared<ReglementSubstitut>("REG" + std::to_string(membres_.size() + 1));
    membres_.push_back(r);
    return r;
}

// ---- Forms ----

std::shared_ptr<RubriqueEdi> RubriquesSubstitut::Item(int32_t position) {
    return aLaPosition(membres_, position);
}

std::shared_ptr<RubriqueSubstitut> RubriquesSubstitut::existante(std::string_view code) const {
    const RubriqueCatalogue* definition = rubriqueCatalogue(*formulaire_, code);
    if (!definition) return nullptr;
    for (const auto& r : membres_)
        if (r->Code() == definition->code) return r;
    return nullptr;
}

std::shared_ptr<RubriqueEdi> RubriquesSubstitut::Rubrique(const std::string& code) {
    const RubriqueCatalogue* definition = rubriqueCatalogue(*formulaire_, code);
    if (!definition)
        throw Error(err::RubriqueInconnue, "La rubrique « " + code +
                                               " » n'existe pas dans le formulaire " +
                                               std::string(formulaire_->nom) + ".");
    if (auto r = existante(code)) return r;
    auto r = std::make_shared<RubriqueSubstitut>(*definition);
    membres_.push_back(r);
    return r;
}

std::shared_ptr<FormulaireEdi> FormulairesSubstitut::Item(int32_t position) {
    return aLaPosition(membres_, position);
}

std::shared_ptr<FormulaireSubstitut> FormulairesSubstitut::existant(int32_t type) const {
    for (const auto& f : membres_)
        if (f->FormType() == type) return f;
    return nullptr;
}

std::shared_ptr<FormulaireEdi> FormulairesSubstitut::Formulaire(int16_t typeFormulaire) {
    if (auto f = existant(typeFormulaire)) return f;
    const FormulaireCatalogue* definition = formulaireCatalogue(typeFormulaire);
    if (!definition)
        throw Error(err::FormulaireInconnu, "Le type de formulaire " +
                                                std::to_string(typeFormulaire) +
                                                " est inconnu d'Ardilo direct.");
    auto f = std::make_shared<FormulaireSubstitut>(*definition);
    membres_.push_back(f);
    return f;
}

// ---- Declaration ----

DeclarationSubstitut::DeclarationSubstitut() : AvecChamps({"Commentaires", "NumDossier"}) {}

double DeclarationSubstitut::MontantAPayer() {
    double total = 0.0;
    for (const auto& f : formulaires_->membres()) {
        std::string_view code;
        switch (f->FormType()) {
            case 0:
                code = kTotalCa3;
                break;
            case 4:
            case 5:
                code = kTotalCa12;
                break;
            default:
                continue;
        }
        if (auto r = f->rubriques()->existante(code)) total += r->Valeur();
    }
    return total;
}

std::string DeclarationSubstitut::TexteXML() {
    XmlDocument doc;
    XmlElement racine = doc.createRoot("DeclarationEdi");
    racine.setAttribute("Version", "1");
    champs_.ecrire(racine);

    emetteur_->champs().ecrire(racine.appendChild("Emetteur"));
    XmlElement redacteur = racine.appendChild("Redacteur");
    redacteur_->champs().ecrire(redacteur);
    ecrireAdresse(redacteur, *redacteur_->adresse());

    XmlElement depot = racine.appendChild("Depot");
    XmlElement redevable = depot.appendChild("Redevable");
    depot_->redevable()->champs().ecrire(redevable);
    ecrireAdresse(redevable, *depot_->redevable()->adresse());
    XmlElement periode = depot.appendChild("Periode");
    if (auto d = depot_->periode()->debut()) periode.setAttribute("Debut", texteDate(*d));
    if (auto d = depot_->periode()->fin()) periode.setAttribute("Fin", texteDate(*d));
    XmlElement reglements = depot.appendChild("Reglements");
    for (const auto& r : depot_->reglements()->membres()) {
        XmlElement reglement = reglements.appendChild("Reglement");
        reglement.setAttribute("Reference", texteXmlPermis(r->Reference()));
        reglement.setAttribute("Mode", std::to_string(r->Mode()));
        reglement.setAttribute("NbVirement", std::to_string(r->NbVirement()));
        for (const auto& p : r->prelevements()->membres()) {
            XmlElement prelevement = reglement.appendChild("Prelevement");
            prelevement.setAttribute("Reference", texteXmlPermis(p->Reference()));
            prelevement.setAttribute("Montant", texteDouble(p->Montant()));
            p->rib()->champs().ecrire(prelevement.appendChild("Rib"));
        }
    }

    XmlElement formulaires = racine.appendChild("Formulaires");
    for (const auto& f : formulaires_->membres()) {
        XmlElement formulaire = formulaires.appendChild("Formulaire");
        formulaire.setAttribute("Type", std::to_string(f->FormType()));
        formulaire.setAttribute("Nom", f->definition().nom);
        for (const auto& r : f->rubriques()->membres()) {
            XmlElement rubrique = formulaire.appendChild("Rubrique");
            rubrique.setAttribute("Code", r->Code());
            rubrique.setAttribute("Valeur", texteDouble(r->Valeur()));
            rubrique.setAttribute("Texte", texteXmlPermis(r->texte()));
        }
    }
    return doc.toText(false, true);
}

void DeclarationSubstitut::ChargerDepuisXML(const std::string& xml) {
    auto chargement = XmlDocument::parseText(xml);
    if (auto* echec = std::get_if<XmlParseFailure>(&chargement))
        throw Error(err::XmlMalForme, "Le texte XML de la déclaration est mal formé (ligne " +
                                          std::to_string(echec->line) + ") : " + echec->reason);
    const XmlDocument& doc = std::get<XmlDocument>(chargement);
    XmlElement racine = doc.root();
    if (!racine || racine.name() != "DeclarationEdi")
        throw Error(
            err::XmlInvalide,
            "Le texte XML n'est pas une déclaration Ardilo direct : l'élément racine est « " +
                (racine ? racine.name() : std::string()) + " ».");

    // Read everything into a new declaration first, so that a refused text
    // changes nothing.
    DeclarationSubstitut nouvelle;
    nouvelle.lire(racine);

    // Sections keep their identity: references handed out before stay valid.
    champs_ = nouvelle.champs_;
    *emetteur_ = *nouvelle.emetteur_;
    redacteur_->champs() = nouvelle.redacteur_->champs();
    *redacteur_->adresse() = *nouvelle.redacteur_->adresse();
    depot_->redevable()->champs() = nouvelle.depot_->redevable()->champs();
    *depot_->redevable()->adresse() = *nouvelle.depot_->redevable()->adresse();
    *depot_->periode() = *nouvelle.depot_->periode();
    *depot_->reglements() = std::move(*nouvelle.depot_->reglements());
    *formulaires_ = std::move(*nouvelle.formulaires_);
}

void DeclarationSubstitut::lire(const XmlElement& racine) {
    champs_.lire(racine);
    if (XmlElement e = enfant(racine, "Emetteur")) emetteur_->champs().lire(e);
    if (XmlElement e = enfant(racine, "Redacteur")) {
        redacteur_->champs().lire(e);
        lireAdresse(e, *redacteur_->adresse());
    }
    if (XmlElement depot = enfant(racine, "Depot")) {
        if (XmlElement e = enfant(depot, "Redevable")) {
            depot_->redevable()->champs().lire(e);
            lireAdresse(e, *depot_->redevable()->adresse());
        }
        if (XmlElement e = enfant(depot, "Periode"))
            depot_->periode()->definir(lireDate(e, "Debut"), lireDate(e, "Fin"));
        if (XmlElement reglements = enfant(depot, "Reglements")) {
            for (const XmlElement& e : reglements.children("Reglement")) {
                auto r =
                    std::make_shared<ReglementSubstitut>(e.attribute("Reference").value_or(""));
                r->SetMode(lireEntier<int32_t>(e, "Mode", 0));
                r->SetNbVirement(lireEntier<int16_t>(e, "NbVirement", 0));
                for (const XmlElement& ep : e.children("Prelevement")) {
                    auto p = std::make_shared<PrelevementSubstitut>(
                        ep.attribute("Reference").value_or(""));
                    p->SetMontant(lireDouble(ep, "Montant"));
                    if (XmlElement rib = enfant(ep, "Rib")) p->rib()->champs().lire(rib);
                    r->prelevements()->ajouter(std::move(p));
                }
                depot_->reglements()->ajouter(std::move(r));
            }
        }
    }
    if (XmlElement formulaires = enfant(racine, "Formulaires")) {
        for (const XmlElement& ef : formulaires.children("Formulaire")) {
            auto type = lireEntier<int16_t>(ef, "Type", -1);
            if (formulaires_->existant(type))
                throw Error(err::XmlInvalide, "Le formulaire de type " + std::to_string(type) +
                                                  " figure deux fois dans la déclaration.");
            auto f = std::static_pointer_cast<FormulaireSubstitut>(formulaires_->Formulaire(type));
            for (const XmlElement& er : ef.children("Rubrique")) {
                std::string code = er.attribute("Code").value_or("");
                if (f->rubriques()->existante(code))
                    throw Error(err::XmlInvalide, "La rubrique « " + code +
                                                      " » figure deux fois dans le formulaire " +
                                                      std::string(f->definition().nom) + ".");
                auto r = f->rubriques()->Rubrique(code);
                r->SetValeur(lireDouble(er, "Valeur"));
                r->SetTexte(er.attribute("Texte").value_or(""));
            }
        }
    }
}

}  // namespace qx::ardilo
