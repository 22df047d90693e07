// The data file as written, against the parameter file: misspelt names,
// lines without account or amount, amounts read short, codes and VAT
// accounts whose amounts reach no rubric, the header and its period.
#include <algorithm>
#include <set>
#include <unordered_map>

#include "checks/verification_modele.h"
#include "engine/calcul_tva.h"
#include "engine/correspondances.h"
#include "engine/declaration_courante.h"
#include "platform/date.h"
#include "platform/error.h"
#include "platform/locale.h"
#include "platform/xml_scanner.h"
#include "rubrics/conventions.h"

namespace qx::verif {
namespace {

// The data-file vocabulary: elements and attributes may stand anywhere,
// wrappers of any other name are welcome; only a name close to one of
// these is taken for a slip.
const std::vector<std::string_view> kVocabulaire = {
    "DONNEESTVA",   "PARAMS",      "CREDITTVA",
    "DATEDEBUT",    "DATEFIN",     "DEFINITIVE",
    "TRESORERIE",   "NOM",         "ADRESSE",
    "ADRESSESUITE", "CPVILLE",     "RECETTE",
    "NUMDOSSIER",   "PERIODE",     "CLE",
    "CDI",          "CODESERVICE", "REGIME",
    "TIERS",        "APE",         "INTRACOMMUNAUTAIRE",
    "DONNEES",      "LIGNE",       "COMPTE",
    "MONTANT",      "TAUXTVA",     "TYPETAUX",
    "CATEGORIEAV"};
const std::vector<std::string_view> kElements = {"DONNEESTVA", "PARAMS",  "TRESORERIE",
                                                 "TIERS",      "DONNEES", "LIGNE"};
const std::vector<std::string_view> kAttributsLigne = {"COMPTE", "MONTANT", "TAUXTVA", "TYPETAUX",
                                                       "CATEGORIEAV"};

std::string Cite(std::string_view texte) {
    return "« " + std::string(texte) + " »";
}

bool Connu(std::string_view nom, const std::vector<std::string_view>& noms) {
    return std::find(noms.begin(), noms.end(), nom) != noms.end();
}

std::optional<Date> DateStricte(std::string_view texte) {
    auto nombre = [&](size_t debut, size_t taille) {
        int n = 0;
        for (size_t i = debut; i < debut + taille; ++i) {
            if (texte[i] < '0' || texte[i] > '9') return -1;
            n = n * 10 + (texte[i] - '0');
        }
        return n;
    };
    if (texte.size() != 10 || texte[4] != '-' || texte[7] != '-') return std::nullopt;
    const int annee = nombre(0, 4), mois = nombre(5, 2), jour = nombre(8, 2);
    if (!isValidCivil(annee, mois, jour)) return std::nullopt;
    return fromCivil(annee, mois, jour);
}

// Amounts of data lines that reach no rubric, by the code (or account) that keeps them out.
struct Perdus {
    int ligne = 0;  // the first
    int nombre = 0;
    double total = 0;
};

class Lecteur : public XmlScanner::Handler {
public:
    Lecteur(const std::string& fichier, const Parametrage& p, Donnees& d, Verification& v)
        : fichier_(fichier), p_(p), d_(d), v_(v) {
        for (const Rubrique& r : p.rubriques)
            if (r.type == 'N' && p.trouver(r.cle()) == &r)
                for (const LigneCompte& l : r.lignes) {
                    lignes_.push_back(&l);
                    tauxPris_.insert(l.typeTaux);
                    categoriesPrises_.insert(l.categorie);
                }
    }

    void element(std::string_view nom, const XmlScanner& scanner) override {
        scanner_ = &scanner;
        ligne_ = scanner.ligne();
        if (nom == "LIGNE") {
            ligneDonnees();
        } else if (nom == "PARAMS") {
            params();
        } else if (!Connu(nom, kElements)) {
            if (auto proche = NomProche(nom, kElements))
                signaler(Gravite::Avertissement, "élément " + std::string(nom) +
                                                     " inconnu, ignoré : vouliez-vous dire " +
                                                     *proche + " ?");
        }
    }

    // The findings gathered over the whole file.
    void conclure() {
        auto rapporter = [&](const std::map<std::string, Perdus>& perdus, const char* quoi,
                             const char* raison) {
            for (const auto& [code, perdu] : perdus)
                v_.ajouter(fichier_, perdu.ligne, Gravite::Avertissement,
                           std::string(quoi) + " " + Cite(code) + " : " + raison + " (" +
                               std::to_string(perdu.nombre) +
                               (perdu.nombre > 1 ? " lignes" : " ligne") + ", total " +
                               NombreFrancais(perdu.total) + ")" + casse(quoi, code));
        };
        rapporter(tauxPerdus_, "TYPETAUX",
                  "aucune ligne de compte ne prend ce type de taux, les montants sont perdus");
        rapporter(categoriesPerdues_, "CATEGORIEAV",
                  "aucune ligne de compte ne prend cette catégorie, les montants sont perdus");
        rapporter(comptesTva_, "COMPTE",
                  "compte de TVA dont les montants n'alimentent aucune rubrique");
        const std::string& type = TypeDeclarationCourant();
        if (d_.params == 0 && (type == "CA3" || type == "CA12" || type == "CA12E"))
            v_.ajouter(fichier_, 0, Gravite::Avertissement,
                       "aucun élément PARAMS : pas de crédit de TVA reporté");
    }

private:
    void signaler(Gravite gravite, std::string message) {
        v_.ajouter(fichier_, ligne_, gravite, std::move(message));
    }

    void attributs(std::string_view element, const std::vector<std::string_view>& connus) {
        for (int i = 0; i < scanner_->nombreAttributs(); ++i) {
            const std::string_view nom = scanner_->nomAttribut(i);
            if (Connu(nom, connus) || Connu(nom, kVocabulaire)) continue;
            if (auto proche = NomProche(nom, connus))
                signaler(Gravite::Avertissement,
                         "attribut " + std::string(nom) + " inconnu sur " + std::string(element) +
                             ", ignoré : vouliez-vous dire " + *proche + " ?");
        }
    }

    // A code kept out by its letter case alone is worth a guess.
    std::string casse(const char* quoi, const std::string& code) const {
        const bool taux = std::string_view(quoi) == "TYPETAUX";
        if (!taux && std::string_view(quoi) != "CATEGORIEAV") return {};
        for (const LigneCompte* l : lignes_) {
            const std::string& connu = taux ? l->typeTaux : l->categorie;
            if (connu != code && Majuscules(connu) == Majuscules(code))
                return " : vouliez-vous dire " + connu + " ?";
        }
        return {};
    }

    void montant(std::string_view attributNom, std::string_view texte) {
        if (std::optional<std::string> raison = LectureIncomplete(texte)) {
            double lu = 0;
            try {
                lu = TexteVersNombre(texte);
            } catch (const Error&) {
            }
            signaler(Gravite::Erreur, std::string(attributNom) + " " + Cite(texte) + " est lu " +
                                          NombreFrancais(lu) + " : " + *raison);
        }
    }

    void ligneDonnees() {
        attributs("LIGNE", kAttributsLigne);
        const std::optional<std::string_view> compte = scanner_->attributEcrit("COMPTE");
        const std::optional<std::string_view> texteMontant = scanner_->attributEcrit("MONTANT");
        const std::string_view typeTaux = scanner_->attributEcrit("TYPETAUX").value_or("");
        const std::string_view categorie = scanner_->attributEcrit("CATEGORIEAV").value_or("");
        ++d_.typesTaux[std::string(typeTaux)];
        ++d_.categories[std::string(categorie)];
        if (!compte)
            signaler(Gravite::Avertissement,
                     "LIGNE sans COMPTE : elle n'alimente que les lignes "
                     "de compte au COMPTE vide");
        else if (compte->find(' ') != std::string_view::npos)
            signaler(Gravite::Avertissement,
                     "COMPTE " + Cite(*compte) +
                         " contient une espace : il est comparé tel quel aux comptes du "
                         "paramétrage");
        if (!texteMontant || texteMontant->empty()) {
            signaler(Gravite::Avertissement, "LIGNE sans MONTANT : elle n'ajoute rien");
            return;
        }
        montant("MONTANT", *texteMontant);
        double valeur = 0;
        try {
            valeur = TexteVersNombre(*texteMontant);
        } catch (const Error&) {
            return;
        }
        if (valeur == 0) return;
        const std::string_view numero = compte.value_or("");
        if (alimente(numero, typeTaux, categorie, valeur)) return;

        // Kept out by a rate type or a category that no account line takes
        // (or takes written in another letter case), or a VAT account that
        // nothing takes.
        auto noter = [&](std::map<std::string, Perdus>& perdus, std::string_view code) {
            Perdus& p = perdus.try_emplace(std::string(code), Perdus{ligne_, 0, 0}).first->second;
            ++p.nombre;
            p.total += valeur;
        };
        if (!tauxPris_.count(std::string(typeTaux)) && !tauxPris_.count("9")) {
            noter(tauxPerdus_, typeTaux);
        } else if (!categoriesPrises_.count(std::string(categorie)) &&
                   !categoriesPrises_.count("9")) {
            noter(categoriesPerdues_, categorie);
        } else if (auto t = variante(tauxPris_, typeTaux);
                   t && alimente(numero, *t, categorie, valeur)) {
            noter(tauxPerdus_, typeTaux);
        } else if (auto c = variante(categoriesPrises_, categorie);
                   c && alimente(numero, typeTaux, *c, valeur)) {
            noter(categoriesPerdues_, categorie);
        } else if (numero.substr(0, 3) == "445") {
            noter(comptesTva_, numero);
        }
    }

    // A code the account lines take written in another letter case.
    static std::optional<std::string> variante(const std::set<std::string>& pris,
                                               std::string_view code) {
        for (const std::string& p : pris)
            if (p != code && Majuscules(p) == Majuscules(code)) return p;
        return std::nullopt;
    }

    // True when some account line of a number rubric adds the amount.
    bool alimente(std::string_view compte, std::string_view typeTaux, std::string_view categorie,
                  double valeur) {
        cle_.assign(compte).append(1, '\0').append(typeTaux).append(1, '\0').append(categorie);
        auto [it, nouveau] = sens_.try_emplace(cle_);
        if (nouveau)
            for (const LigneCompte* l : lignes_)
                if (LigneCompteCorrespond(l->compte, l->typeTaux, l->categorie, compte, typeTaux,
                                          categorie))
                    it->second.push_back(l->sens);
        return std::any_of(it->second.begin(), it->second.end(),
                           [&](int16_t sens) { return MontantRetenu(valeur, sens); });
    }

    void params() {
        attributs("PARAMS", {"CREDITTVA", "DATEDEBUT", "DATEFIN", "DEFINITIVE"});
        if (++d_.params > 1)
            signaler(Gravite::Avertissement, "PARAMS déjà donné ligne " +
                                                 std::to_string(premierParams_) +
                                                 " : le crédit de ce dernier remplace le premier");
        else
            premierParams_ = ligne_;
        const std::string& type = TypeDeclarationCourant();
        const Rubrique* rubriqueCredit = p_.trouver(type == "CA3" ? "CA3HD" : "CA12KA");
        // A text or date credit rubric takes the text as it is.
        const bool creditNombre = rubriqueCredit && rubriqueCredit->type == 'N';
        if (auto credit = scanner_->attributEcrit("CREDITTVA")) {
            if (creditNombre) montant("CREDITTVA", *credit);
        } else
            signaler(Gravite::Avertissement, "PARAMS sans CREDITTVA : le crédit reporté vaut 0");
        std::optional<Date> debut, fin;
        for (const char* nom : {"DATEDEBUT", "DATEFIN"}) {
            auto texte = scanner_->attributEcrit(nom);
            if (!texte) continue;
            std::optional<Date> date = DateStricte(*texte);
            if (!date)
                signaler(Gravite::Avertissement, std::string(nom) + " " + Cite(*texte) +
                                                     " n'est pas une date AAAA-MM-JJ valide");
            (std::string_view(nom) == "DATEDEBUT" ? debut : fin) = date;
        }
        if (debut && fin && fin->serial < debut->serial)
            signaler(Gravite::Avertissement,
                     "période à l'envers : DATEFIN " +
                         std::string(*scanner_->attributEcrit("DATEFIN")) + " précède DATEDEBUT " +
                         std::string(*scanner_->attributEcrit("DATEDEBUT")));
    }

    const std::string& fichier_;
    const Parametrage& p_;
    Donnees& d_;
    Verification& v_;
    std::vector<const LigneCompte*> lignes_;  // of the number rubrics the loader keeps
    std::set<std::string> tauxPris_, categoriesPrises_;
    std::unordered_map<std::string, std::vector<int16_t>> sens_;  // matches of a triple
    std::string cle_;
    std::map<std::string, Perdus> tauxPerdus_, categoriesPerdues_, comptesTva_;
    int premierParams_ = 0;
    int ligne_ = 0;
    const XmlScanner* scanner_ = nullptr;
};

}  // namespace

Donnees LireDonnees(const std::string& fichier, const Parametrage& parametrage,
                    Verification& verification) {
    Donnees donnees;
    if (!FichierExiste(fichier)) {
        verification.ajouter(fichier, 0, Gravite::Erreur,
                             "fichier de données comptable introuvable");
        return donnees;
    }
    Lecteur lecteur(fichier, parametrage, donnees, verification);
    XmlScanner scanner;
    scanner.setFichier(fichier);
    try {
        // Amounts are read as the data pass reads them, with the separators of this moment.
        ScopedSeparatorCache separateurs;
        scanner.scanner(lecteur);
        donnees.lue = true;
        lecteur.conclure();
    } catch (const Error& e) {
        SignalerXmlMalForme(verification, fichier, e);
    }
    return donnees;
}

}  // namespace qx::verif
