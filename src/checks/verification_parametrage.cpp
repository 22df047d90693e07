// The parameter file as written: each element and attribute as it comes,
// then the file as a whole (keys, dependencies, cycles, account lines, the
// rubrics the credit and the checks need).
#include <algorithm>
#include <functional>
#include <span>

#include "checks/verification_modele.h"
#include "engine/calcul_tva.h"
#include "engine/declaration_courante.h"
#include "engine/types_declaration.h"
#include "platform/error.h"
#include "platform/value.h"
#include "platform/xml_scanner.h"

namespace qx::verif {
namespace {

const std::vector<std::string_view> kElements = {"RUBRIQUESTVA", "IMPRIME", "RUBRIQUE", "LIGNE",
                                                 "DEPENDANCE"};
const std::vector<std::string_view> kAttributsImprime = {"CODE"};
const std::vector<std::string_view> kAttributsRubrique = {"CODE", "TYPE", "CONDITION", "LONGUEUR"};
const std::vector<std::string_view> kAttributsLigne = {"COMPTE", "TYPETAUX", "CATEGORIEAV",
                                                       "TYPECUMUL", "SENS"};
const std::vector<std::string_view> kAttributsDependance = {"CODEIMPRIME", "CODERUBRIQUE", "SENS"};

std::string Cite(std::string_view texte) {
    return "« " + std::string(texte) + " »";
}

class Lecteur : public XmlScanner::Handler {
public:
    Lecteur(Parametrage& parametrage, Verification& verification)
        : p_(parametrage), v_(verification) {}

    void element(std::string_view nom, const XmlScanner& scanner) override {
        const int profondeur = scanner.profondeur();
        pile_.resize(static_cast<size_t>(std::max(profondeur - 1, 0)));
        const Ouvert* parent = pile_.empty() ? nullptr : &pile_.back();
        Ouvert ouvert{std::string(nom), -1, std::nullopt};
        ligne_ = scanner.ligne();
        scanner_ = &scanner;

        if (nom == "IMPRIME") {
            attributs(nom, kAttributsImprime);
            if (auto code = scanner_->attributEcrit("CODE"))
                ouvert.imprime = std::string(*code);
            else
                signaler(Gravite::Erreur,
                         "IMPRIME sans CODE : le chargement du paramétrage échoue (erreur 94)");
        } else if (nom == "RUBRIQUE") {
            if (parent && parent->nom == "IMPRIME") {
                attributs(nom, kAttributsRubrique);
                if (parent->imprime) ouvert.rubrique = rubrique(*parent->imprime);
            } else {
                signaler(Gravite::Avertissement, "RUBRIQUE hors d'un IMPRIME : elle est ignorée");
            }
        } else if (nom == "LIGNE" || nom == "DEPENDANCE") {
            if (parent && parent->rubrique >= 0) {
                Rubrique& r = p_.rubriques[static_cast<size_t>(parent->rubrique)];
                if (nom == "LIGNE")
                    ligneCompte(r);
                else
                    dependance(r);
            } else if (!parent || parent->nom != "RUBRIQUE") {
                signaler(Gravite::Avertissement,
                         std::string(nom) + " hors d'une RUBRIQUE : elle est ignorée");
            }
        } else if (profondeur > 1 || nom != "RUBRIQUESTVA") {
            if (profondeur > 1)
                signaler(Gravite::Avertissement, "élément " + std::string(nom) +
                                                     " inconnu, ignoré" +
                                                     Suggestion(nom, kElements));
        }
        pile_.push_back(std::move(ouvert));
    }

private:
    struct Ouvert {
        std::string nom;
        int rubrique;  // a RUBRIQUE the loader keeps: its position in p_.rubriques
        std::optional<std::string> imprime;
    };

    void signaler(Gravite gravite, std::string message) {
        v_.ajouter(p_.fichier, ligne_, gravite, std::move(message));
    }

    void attributs(std::string_view element, const std::vector<std::string_view>& connus) {
        for (int i = 0; i < scanner_->nombreAttributs(); ++i) {
            const std::string_view nom = scanner_->nomAttribut(i);
            if (std::find(connus.begin(), connus.end(), nom) != connus.end()) continue;
            signaler(Gravite::Avertissement, "attribut " + std::string(nom) + " inconnu sur " +
                                                 std::string(element) + ", ignoré" +
                                                 Suggestion(nom, connus));
        }
    }

    int rubrique(const std::string& imprime) {
        Rubrique r;
        r.ligne = ligne_;
        r.imprime = imprime;
        r.code = std::string(scanner_->attributEcrit("CODE").value_or(""));
        if (!scanner_->attributEcrit("CODE"))
            signaler(Gravite::Avertissement,
                     "RUBRIQUE sans CODE : sa clé est le code de l'imprimé seul, " + imprime);
        const std::string type = Majuscules(scanner_->attributEcrit("TYPE").value_or(""));
        r.type = type == "T" ? 'T' : type == "D" ? 'D' : 'N';
        if (scanner_->attributEcrit("TYPE") && type != "N" && type != "T" && type != "D")
            signaler(Gravite::Avertissement, "TYPE " + Cite(*scanner_->attributEcrit("TYPE")) +
                                                 " inconnu : la rubrique " + r.cle() +
                                                 " est un nombre (N, T ou D attendu)");
        if (auto condition = scanner_->attributEcrit("CONDITION");
            condition && !condition->empty() && *condition != "POSITIF")
            signaler(Gravite::Avertissement,
                     "CONDITION " + Cite(*condition) +
                         " sans effet : seul « POSITIF », en majuscules, est reconnu");
        if (auto longueur = scanner_->attributEcrit("LONGUEUR"); longueur && *longueur != "-1") {
            try {
                Value(std::string(*longueur)).toInt16();
            } catch (const Error& e) {
                signaler(Gravite::Erreur, "LONGUEUR " + Cite(*longueur) +
                                              " : le chargement du paramétrage échoue (erreur " +
                                              errorNumberText(e.number()) + " : " +
                                              e.description() + ")");
            }
        }
        p_.rubriques.push_back(std::move(r));
        return static_cast<int>(p_.rubriques.size() - 1);
    }

    // "1" and "-1" are the two values; anything else reads as 1, which is
    // an error when the text meant -1.
    int16_t signe(std::string_view attributNom) {
        const std::optional<std::string_view> texte = scanner_->attributEcrit(attributNom);
        if (!texte || *texte == "1") return 1;
        if (*texte == "-1") return -1;
        std::string sansBlancs;
        for (char c : *texte)
            if (c != ' ') sansBlancs += c;
        const bool moinsUn = sansBlancs == "-01" || sansBlancs == "-1" || sansBlancs == "-1.0" ||
                             sansBlancs ==
                                 "\xE2\x88\x92"
                                 "1" ||
                             sansBlancs == "-1,0";
        signaler(moinsUn ? Gravite::Erreur : Gravite::Avertissement,
                 std::string(attributNom) + " " + Cite(*texte) +
                     " est lu comme 1 : seules les valeurs « 1 » et « -1 » sont reconnues");
        return 1;
    }

    void ligneCompte(Rubrique& r) {
        attributs("LIGNE", kAttributsLigne);
        LigneCompte l;
        l.ligne = ligne_;
        const std::optional<std::string_view> compte = scanner_->attributEcrit("COMPTE");
        l.compte = std::string(compte.value_or(""));
        l.typeTaux = std::string(scanner_->attributEcrit("TYPETAUX").value_or(""));
        l.categorie = std::string(scanner_->attributEcrit("CATEGORIEAV").value_or(""));
        l.typeCumul = signe("TYPECUMUL");
        l.sens = signe("SENS");
        if (!compte)
            signaler(Gravite::Erreur,
                     "LIGNE sans COMPTE dans " + r.cle() + " : elle prend tous les comptes");
        else if (compte->empty())
            signaler(Gravite::Erreur, "LIGNE avec un COMPTE vide dans " + r.cle() +
                                          " : elle prend tous les comptes");
        else if (compte->find_first_not_of("0123456789") != std::string_view::npos)
            signaler(Gravite::Avertissement,
                     "COMPTE " + Cite(*compte) +
                         " : ne commence que les comptes écrits exactement ainsi, caractère par "
                         "caractère");
        if (!scanner_->attributEcrit("TYPETAUX"))
            signaler(Gravite::Avertissement,
                     "LIGNE sans TYPETAUX dans " + r.cle() +
                         " : elle ne prend que les lignes de données sans type de taux (« 9 » "
                         "les prend toutes)");
        if (!scanner_->attributEcrit("CATEGORIEAV"))
            signaler(Gravite::Avertissement,
                     "LIGNE sans CATEGORIEAV dans " + r.cle() +
                         " : elle ne prend que les lignes de données sans catégorie (« 9 » les "
                         "prend toutes)");
        r.lignes.push_back(std::move(l));
    }

    void dependance(Rubrique& r) {
        attributs("DEPENDANCE", kAttributsDependance);
        Dependance d;
        d.ligne = ligne_;
        d.imprime = std::string(scanner_->attributEcrit("CODEIMPRIME").value_or(""));
        d.rubrique = std::string(scanner_->attributEcrit("CODERUBRIQUE").value_or(""));
        d.sens = signe("SENS");
        r.dependances.push_back(std::move(d));
    }

    Parametrage& p_;
    Verification& v_;
    std::vector<Ouvert> pile_;  // the open elements, outermost first
    int ligne_ = 0;
    const XmlScanner* scanner_ = nullptr;
};

const char* NomType(char type) {
    return type == 'T' ? "texte" : type == 'D' ? "date" : "nombre";
}

// Every cycle a depth-first walk of the dependency lines closes, with its path.
void VerifierCycles(const Parametrage& p, Verification& v) {
    const size_t n = p.rubriques.size();
    // Successors by resolved key, in line order, with the line that leads there.
    std::vector<std::vector<std::pair<size_t, int>>> suivants(n);
    for (size_t i = 0; i < n; ++i)
        for (const Dependance& d : p.rubriques[i].dependances) {
            auto it = p.index.find(Majuscules(d.imprime + d.rubrique));
            if (it != p.index.end()) suivants[i].push_back({it->second, d.ligne});
        }
    enum : uint8_t { Nouveau, SurLeChemin, Termine };
    std::vector<uint8_t> etat(n, Nouveau);
    std::vector<size_t> chemin;
    std::function<void(size_t)> visiter = [&](size_t i) {
        etat[i] = SurLeChemin;
        chemin.push_back(i);
        for (const auto& [cible, ligne] : suivants[i]) {
            if (etat[cible] == Nouveau) {
                visiter(cible);
            } else if (etat[cible] == SurLeChemin) {
                auto debut = std::find(chemin.begin(), chemin.end(), cible);
                std::string texte;
                for (auto it = debut; it != chemin.end(); ++it)
                    texte += p.rubriques[*it].cle() + " -> ";
                texte += p.rubriques[cible].cle();
                v.ajouter(p.fichier, ligne, Gravite::Erreur,
                          "dépendance circulaire " + texte +
                              " : le chargement du paramétrage échoue (erreur 5)");
            }
        }
        chemin.pop_back();
        etat[i] = Termine;
    };
    // Depth is bounded by the number of rubrics of a form: a few hundred.
    for (size_t i = 0; i < n; ++i)
        if (etat[i] == Nouveau) visiter(i);
}

// An earlier line of the same rubric that takes every amount this one takes.
void VerifierDoublons(const Parametrage& p, Verification& v) {
    for (const Rubrique& r : p.rubriques) {
        if (r.type != 'N') {
            if (!r.lignes.empty())
                v.ajouter(p.fichier, r.lignes.front().ligne, Gravite::Avertissement,
                          "la rubrique " + r.cle() + " est de type " + NomType(r.type) +
                              " : ses lignes de compte n'y ajoutent rien");
            continue;
        }
        for (size_t j = 0; j < r.lignes.size(); ++j) {
            const LigneCompte& l = r.lignes[j];
            for (size_t k = 0; k < j; ++k) {
                const LigneCompte& e = r.lignes[k];
                const bool couvre = l.compte.compare(0, e.compte.size(), e.compte) == 0 &&
                                    (e.typeTaux == "9" || e.typeTaux == l.typeTaux) &&
                                    (e.categorie == "9" || e.categorie == l.categorie) &&
                                    e.sens == l.sens;
                if (!couvre) continue;
                v.ajouter(p.fichier, l.ligne, Gravite::Avertissement,
                          "la LIGNE de COMPTE " + Cite(l.compte) + " de " + r.cle() +
                              " prend des montants que la ligne " + std::to_string(e.ligne) +
                              " (COMPTE " + Cite(e.compte) +
                              ") prend déjà : ils sont comptés deux fois");
                break;
            }
        }
    }
}

struct LigneControle {
    const char* base;
    const char* taxe;
    const char* taux;
};
constexpr LigneControle kControlesCA3[] = {{"CA3FP", "CA3GP", "20 %"},
                                           {"CA3FB", "CA3GB", "5,5 %"},
                                           {"CA3FR", "CA3GR", "10 %"},
                                           {"CA3FM", "CA3GM", "8,5 %"},
                                           {"CA3FN", "CA3GN", "2,1 %"}};
constexpr LigneControle kControlesCA12[] = {{"CA12EW", "CA12FW", "20 %"},
                                            {"CA12EF", "CA12FF", "5,5 %"},
                                            {"CA12GF", "CA12GH", "10 %"},
                                            {"CA12EU", "CA12FU", "8,5 %"},
                                            {"CA12EV", "CA12FV", "2,1 %"}};

void VerifierRubriquesAttendues(const Parametrage& p, const Donnees& d, Verification& v) {
    const std::string& type = TypeDeclarationCourant();
    const char* credit = RubriqueCreditReporte(type);
    if (credit && !p.trouver(credit)) {
        if (d.lue && d.params > 0)
            v.ajouter(p.fichier, 0, Gravite::Erreur,
                      std::string("la rubrique de crédit ") + credit + " de la déclaration " +
                          type + " est absente : le calcul échoue sur PARAMS (erreur 91)");
        else
            v.ajouter(p.fichier, 0, Gravite::Avertissement,
                      std::string("la rubrique de crédit ") + credit + " de la déclaration " +
                          type +
                          " est absente : un fichier de données avec PARAMS ne se calcule pas");
    }
    std::span<const LigneControle> controles;
    if (type == "CA3") controles = kControlesCA3;
    if (type == "CA12" || type == "CA12E") controles = kControlesCA12;
    for (const LigneControle& c : controles) {
        const Rubrique* base = p.trouver(c.base);
        const Rubrique* taxe = p.trouver(c.taxe);
        if (!base == !taxe) continue;
        const Rubrique& presente = base ? *base : *taxe;
        v.ajouter(p.fichier, presente.ligne, Gravite::Avertissement,
                  std::string("contrôle base × taux à ") + c.taux + " : " + presente.cle() +
                      " est définie mais " + (base ? c.taxe : c.base) +
                      " est absente, la ligne n'est pas contrôlée");
    }
}

// Rate types and categories of account lines that no data line carries.
void VerifierCodesInutilises(const Parametrage& p, const Donnees& d, Verification& v) {
    if (!d.lue) return;
    struct Inutilise {
        int ligne;
        int nombre;
    };
    std::map<std::string, Inutilise> taux, categories;
    for (const Rubrique& r : p.rubriques) {
        if (r.type != 'N') continue;
        for (const LigneCompte& l : r.lignes) {
            if (l.typeTaux != "9" && !d.typesTaux.count(l.typeTaux))
                ++taux.try_emplace(l.typeTaux, Inutilise{l.ligne, 0}).first->second.nombre;
            if (l.categorie != "9" && !d.categories.count(l.categorie))
                ++categories.try_emplace(l.categorie, Inutilise{l.ligne, 0}).first->second.nombre;
        }
    }
    auto signaler = [&](const std::map<std::string, Inutilise>& codes, const char* attribut,
                        const std::map<std::string, int>& utilises) {
        std::vector<std::string_view> connus;
        for (const auto& [code, nombre] : utilises) connus.push_back(code);
        for (const auto& [code, inutilise] : codes) {
            std::string message = std::string(attribut) + " " + Cite(code) + " (" +
                                  std::to_string(inutilise.nombre) +
                                  (inutilise.nombre > 1 ? " lignes" : " ligne") +
                                  ") : aucune ligne du fichier de données ne le porte";
            // Only a case slip is worth a guess: codes are short.
            for (std::string_view connu : connus)
                if (Majuscules(connu) == Majuscules(code))
                    message += " : vouliez-vous dire " + std::string(connu) + " ?";
            v.ajouter(p.fichier, inutilise.ligne, Gravite::Remarque, std::move(message));
        }
    };
    signaler(taux, "TYPETAUX", d.typesTaux);
    signaler(categories, "CATEGORIEAV", d.categories);
}

}  // namespace

Parametrage LireParametrage(const std::string& fichier, Verification& verification) {
    Parametrage p;
    p.fichier = fichier;
    if (!FichierExiste(fichier)) {
        verification.ajouter(fichier, 0, Gravite::Erreur,
                             "fichier de description des rubriques introuvable");
        return p;
    }
    Lecteur lecteur(p, verification);
    XmlScanner scanner;
    scanner.setFichier(fichier);
    try {
        scanner.scanner(lecteur);
        p.lisible = true;
    } catch (const Error& e) {
        SignalerXmlMalForme(verification, fichier, e);
    }
    for (size_t i = 0; i < p.rubriques.size(); ++i) {
        const Rubrique& r = p.rubriques[i];
        auto [it, nouvelle] = p.index.emplace(Majuscules(r.cle()), i);
        if (!nouvelle)
            verification.ajouter(fichier, r.ligne, Gravite::Erreur,
                                 "la rubrique " + r.cle() + " est déjà définie ligne " +
                                     std::to_string(p.rubriques[it->second].ligne) +
                                     " : le chargement du paramétrage échoue (erreur 457)");
    }
    return p;
}

void VerifierParametrage(const Parametrage& p, const Donnees& d, Verification& v) {
    if (!p.lisible) return;
    std::vector<std::string_view> cles;
    std::vector<std::string> textes;
    textes.reserve(p.rubriques.size());
    for (const Rubrique& r : p.rubriques) textes.push_back(r.cle());
    for (const std::string& t : textes) cles.push_back(t);
    for (const Rubrique& r : p.rubriques)
        for (const Dependance& dep : r.dependances)
            if (!p.trouver(dep.imprime + dep.rubrique))
                v.ajouter(p.fichier, dep.ligne, Gravite::Erreur,
                          "DEPENDANCE de " + r.cle() + " vers " + dep.imprime + dep.rubrique +
                              " (CODEIMPRIME " + Cite(dep.imprime) + ", CODERUBRIQUE " +
                              Cite(dep.rubrique) +
                              ") : aucune rubrique de cette clé, les montants sont perdus" +
                              Suggestion(dep.imprime + dep.rubrique, cles));
    VerifierCycles(p, v);
    VerifierDoublons(p, v);
    VerifierRubriquesAttendues(p, d, v);
    VerifierCodesInutilises(p, d, v);
}

}  // namespace qx::verif
