#include "dossier.h"

#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <variant>
#include <vector>

#include "engine/declaration_courante.h"
#include "parametres.h"
#include "platform/date.h"
#include "platform/error.h"
#include "platform/xml_document.h"

namespace qxtva {
namespace {

using qx::XmlElement;

[[noreturn]] void refuser(const XmlElement& element, const std::string& message) {
    throw DossierInvalide("élément " + element.name() + " : " + message);
}

// An element's attributes, each handed to its setter; an attribute the
// element does not know is refused, so that a misspelt name is not lost.
using Setter = std::function<void(const std::string&)>;

void lireAttributs(const XmlElement& element, const std::map<std::string, Setter>& setters) {
    for (const std::string& nom : element.attributeNames()) {
        auto it = setters.find(nom);
        if (it == setters.end()) refuser(element, "attribut inconnu « " + nom + " »");
        try {
            it->second(*element.attribute(nom));
        } catch (const DossierInvalide&) {
            throw;
        } catch (const std::exception& e) {
            refuser(element, "valeur incorrecte « " + *element.attribute(nom) + " » pour " + nom +
                                 " (" + e.what() + ")");
        }
    }
}

// Children must be among the names given.
void verifierEnfants(const XmlElement& element, const std::set<std::string>& permis) {
    for (const XmlElement& enfant : element.children())
        if (!permis.count(enfant.name()))
            refuser(element, "élément inattendu « " + enfant.name() + " »");
}

std::optional<XmlElement> enfantUnique(const XmlElement& element, const std::string& nom) {
    std::vector<XmlElement> trouves = element.children(nom);
    if (trouves.size() > 1) refuser(element, "plusieurs éléments " + nom);
    if (trouves.empty()) return std::nullopt;
    return trouves.front();
}

int16_t entier16(const std::string& texte) {
    std::optional<int> n = lireEntier(texte);
    if (!n || *n < -32768 || *n > 32767)
        throw std::invalid_argument("nombre entier de -32768 à 32767 attendu");
    return static_cast<int16_t>(*n);
}

double montant(const std::string& texte) {
    std::optional<double> m = lireMontant(texte, true);
    if (!m) throw std::invalid_argument("montant attendu, décimales avec un point");
    return *m;
}

bool booleen(const std::string& texte) {
    if (texte == "1" || texte == "oui") return true;
    if (texte == "0" || texte == "non") return false;
    throw std::invalid_argument("1 ou 0 attendu");
}

qx::Value date(const std::string& texte) {
    std::optional<qx::Date> d = qx::parseDateText(texte);
    if (!d) throw std::invalid_argument("date AAAA-MM-JJ ou JJ/MM/AAAA attendue");
    return qx::Value(*d);
}

void lireAdresse(const XmlElement& parent, qx::AdresseDeclarant& r) {
    std::optional<XmlElement> adresse = enfantUnique(parent, "ADRESSE");
    if (!adresse) return;
    verifierEnfants(*adresse, {});
    lireAttributs(*adresse,
                  {{"NUMERO", [&](const std::string& v) { r.SetvAdr_Numero(entier16(v)); }},
                   {"ENTREE", [&](const std::string& v) { r.SetvAdr_Entree(v); }},
                   {"VOIE", [&](const std::string& v) { r.SetvAdr_Voie(v); }},
                   {"COMPLEMENT", [&](const std::string& v) { r.SetvAdr_Complement(v); }},
                   {"CODEPOSTAL", [&](const std::string& v) { r.SetvAdr_CodePostal(v); }},
                   {"VILLE", [&](const std::string& v) { r.SetvAdr_Ville(v); }},
                   {"PAYS", [&](const std::string& v) { r.SetvAdr_Pays(v); }},
                   {"CODEPAYS", [&](const std::string& v) { r.SetvAdr_CodePays(v); }},
                   {"CODEETENDU", [&](const std::string& v) { r.SetvAdr_Code_Etendu(v); }},
                   {"CODEINSEE", [&](const std::string& v) { r.SetvAdr_Code_INSEE(v); }}});
}

void lireDeclaration(const XmlElement& e, qx::Cls_DeclarationTVA& d) {
    verifierEnfants(e, {});
    lireAttributs(e, {{"NUMDOSSIER", [&](const std::string& v) { d.SetvNumDossier(v); }},
                      {"COMMENTAIRES", [&](const std::string& v) { d.SetvCommentaires(v); }},
                      {"DESCRIPTION", [&](const std::string& v) { d.SetvDescription(v); }},
                      {"OPCOCODE",
                       [&](const std::string& v) { d.SetvOpCoCode(std::to_string(entier16(v))); }},
                      {"TESTFILE", [&](const std::string& v) { d.SetvTestFile(booleen(v)); }},
                      {"SIRET", [&](const std::string& v) { d.SetvSIRET(v); }},
                      {"NOMDEBITEUR", [&](const std::string& v) { d.SetvNomDebiteur(v); }},
                      {"DATEDEBUT", [&](const std::string& v) { d.SetvDate_Debut(date(v)); }},
                      {"DATEFIN", [&](const std::string& v) { d.SetvDate_Fin(date(v)); }}});
}

void lireEmetteur(const XmlElement& e, qx::Cls_Emetteur& r) {
    verifierEnfants(e, {});
    lireAttributs(
        e, {{"CODE", [&](const std::string& v) { r.SetvCode(v); }},
            {"NOM", [&](const std::string& v) { r.SetvNom(v); }},
            {"EMAIL", [&](const std::string& v) { r.SetvEmail(v); }},
            {"SMS", [&](const std::string& v) { r.SetvSMS(v); }},
            {"CODEAPPLICATION", [&](const std::string& v) { r.SetvCodeApplication(v); }},
            {"NOMAPPLICATION", [&](const std::string& v) { r.SetvNomApplication(v); }},
            {"VERSIONAPPLICATION", [&](const std::string& v) { r.SetvVersionApplication(v); }}});
}

void lireRedacteur(const XmlElement& e, qx::Cls_Redacteur& r) {
    verifierEnfants(e, {"ADRESSE"});
    lireAttributs(e, {{"NOM", [&](const std::string& v) { r.SetvNom(v); }},
                      {"SIRET", [&](const std::string& v) { r.SetvSIRET(v); }},
                      {"EMAIL", [&](const std::string& v) { r.SetvEmail(v); }},
                      {"TELEPHONE", [&](const std::string& v) { r.SetvTelephone(v); }},
                      {"SMS", [&](const std::string& v) { r.SetvSMS(v); }}});
    lireAdresse(e, r);
}

void lireRedevable(const XmlElement& e, qx::Cls_Redevable& r) {
    verifierEnfants(e, {"ADRESSE"});
    lireAttributs(e,
                  {{"FRP", [&](const std::string& v) { r.SetvFRP(v); }},
                   {"SIRET", [&](const std::string& v) { r.SetvSIRET(v); }},
                   {"OCFI", [&](const std::string& v) { r.SetvOCFI(v); }},
                   {"TVAINTRACOM", [&](const std::string& v) { r.SetvTVAIntracom(v); }},
                   {"NOMSOCIETE", [&](const std::string& v) { r.SetvNomSociete(v); }},
                   {"REPRESENTANT", [&](const std::string& v) { r.SetvRepresentant(v); }},
                   {"FONCTION", [&](const std::string& v) { r.SetvFonction(v); }},
                   {"TELEPHONE", [&](const std::string& v) { r.SetvTelephone(v); }},
                   {"EMAIL", [&](const std::string& v) { r.SetvEmail(v); }},
                   {"DATEREDRESSEMENT", [&](const std::string& v) { r.SetvDateRedressement(v); }}});
    lireAdresse(e, r);
}

void lireRib(const XmlElement& e, qx::Cls_Rib& r) {
    verifierEnfants(e, {});
    lireAttributs(e, {{"BANQUE", [&](const std::string& v) { r.SetvBanque(v); }},
                      {"GUICHET", [&](const std::string& v) { r.SetvGuichet(v); }},
                      {"COMPTE", [&](const std::string& v) { r.SetvCompte(v); }},
                      {"CLE", [&](const std::string& v) { r.SetvCle(v); }},
                      {"TITULAIRE", [&](const std::string& v) { r.SetvTitulaire(v); }},
                      {"COMPLEMENT", [&](const std::string& v) { r.SetvComplement(v); }},
                      {"IBAN", [&](const std::string& v) { r.SetvIBAN(v); }},
                      {"BIC", [&](const std::string& v) { r.SetvBIC(v); }}});
}

void lirePaiements(const XmlElement& e, qx::Cls_Paiements& paiements) {
    verifierEnfants(e, {"PAIEMENT"});
    lireAttributs(e, {{"IMPUTATION", [&](const std::string& v) {
                           paiements.SetvPaiementImputation(entier16(v));
                       }}});
    int16_t numero = 0;
    for (const XmlElement& p : e.children("PAIEMENT")) {
        auto paiement = paiements.Add(++numero);
        verifierEnfants(p, {"PRELEVEMENT"});
        lireAttributs(
            p,
            {{"MODE", [&](const std::string& v) { paiement->SetvMode(entier16(v)); }},
             {"NBVIREMENT", [&](const std::string& v) { paiement->SetvNbVirement(entier16(v)); }},
             {"REFERENCE", [&](const std::string& v) { paiement->SetvReference(v); }}});
        int16_t rang = 0;
        for (const XmlElement& pr : p.children("PRELEVEMENT")) {
            auto prelevement = paiement->Cls_Prelevements()->Add(++rang);
            verifierEnfants(pr, {"RIB"});
            lireAttributs(
                pr,
                {{"MONTANT", [&](const std::string& v) { prelevement->SetvMontant(montant(v)); }},
                 {"REFERENCE", [&](const std::string& v) { prelevement->SetvReference(v); }}});
            if (std::optional<XmlElement> rib = enfantUnique(pr, "RIB"))
                lireRib(*rib, *prelevement->Cls_Rib());
        }
    }
}

void lireAcomptes(const XmlElement& e, qx::Cls_DeclarationTVA& declaration) {
    verifierEnfants(e, {"ACOMPTE"});
    lireAttributs(e, {});
    qx::TableAcomptes table{};
    std::array<bool, 5> vus{};
    for (const XmlElement& a : e.children("ACOMPTE")) {
        verifierEnfants(a, {});
        std::optional<int> numero;
        double paye = 0, restant = 0;
        lireAttributs(a, {{"NUMERO",
                           [&](const std::string& v) {
                               numero = lireEntier(v);
                               if (!numero || *numero < 1 || *numero > 4)
                                   throw std::invalid_argument("numéro de 1 à 4 attendu");
                           }},
                          {"PAYE", [&](const std::string& v) { paye = montant(v); }},
                          {"RESTANT", [&](const std::string& v) { restant = montant(v); }}});
        if (!numero) refuser(a, "attribut NUMERO manquant");
        if (vus[*numero])
            refuser(a, "l'acompte " + std::to_string(*numero) + " est donné plusieurs fois");
        vus[*numero] = true;
        table[*numero] = qx::TAcompte{paye, restant};
    }
    // Every instalment is checked before any is set.
    for (int16_t numero = 1; numero <= 4; ++numero) {
        const qx::TAcompte& acompte = table[static_cast<size_t>(numero)];
        declaration.Acompte_Ajouter(numero, acompte.MtPaye, acompte.MtRestant);
    }
}

}  // namespace

Dossier chargerDossier(const std::string& chemin, qx::Cls_DeclarationTVA& declaration) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(chemin, ec)) throw DossierInvalide("fichier introuvable");
    auto chargement = qx::XmlDocument::loadFile(chemin);
    if (auto* echec = std::get_if<qx::XmlParseFailure>(&chargement))
        throw DossierInvalide("lecture impossible (ligne " + std::to_string(echec->line) +
                              ") : " + echec->reason);
    const qx::XmlDocument& document = std::get<qx::XmlDocument>(chargement);
    XmlElement racine = document.root();
    if (!racine || racine.name() != "DOSSIERTVA")
        throw DossierInvalide("l'élément racine doit être DOSSIERTVA, pas « " +
                              (racine ? racine.name() : std::string()) + " »");

    Dossier dossier;
    verifierEnfants(racine,
                    {"DECLARATION", "EMETTEUR", "REDACTEUR", "REDEVABLE", "PAIEMENTS", "ACOMPTES"});
    lireAttributs(racine, {{"TYPE", [&](const std::string& v) {
                                if (!typeConnu(v))
                                    throw std::invalid_argument("type de déclaration inconnu");
                                dossier.type = v;
                            }}});
    if (auto e = enfantUnique(racine, "DECLARATION")) lireDeclaration(*e, declaration);
    if (auto e = enfantUnique(racine, "EMETTEUR")) lireEmetteur(*e, *declaration.Obj_Emetteur());
    if (auto e = enfantUnique(racine, "REDACTEUR")) lireRedacteur(*e, *declaration.Obj_Redacteur());
    if (auto e = enfantUnique(racine, "REDEVABLE")) lireRedevable(*e, *declaration.Obj_Redevable());
    if (auto e = enfantUnique(racine, "PAIEMENTS")) lirePaiements(*e, *declaration.Obj_Paiements());
    if (auto e = enfantUnique(racine, "ACOMPTES")) lireAcomptes(*e, declaration);
    return dossier;
}

}  // namespace qxtva
