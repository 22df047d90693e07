#include "engine/rubriques.h"

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <unordered_map>
#include <utility>

#include "engine/calcul_tva.h"
#include "platform/message_box.h"
#include "platform/xml_scanner.h"
#include "platform/xml_subtree_reader.h"
#include "rubrics/conventions.h"
#include "rubrics/rubrique_interne.h"

namespace qx {
namespace {

// The unresolved-dependency message is a diagnostic for whoever writes
// parameter files: a debug build shows it when QXTVA_MODE_DEVELOPPEMENT is
// set; a delivered (release) library never does.
bool EnModeDeveloppement() {
#ifdef NDEBUG
    return false;
#else
    return std::getenv("QXTVA_MODE_DEVELOPPEMENT") != nullptr;
#endif
}

// Where a rubric or a failure stands in the order of the loaded document:
// the form element's rank among all of them, in start-tag order, then the
// rubric's rank among that form's rubric children (0: the form itself).
struct Place {
    size_t imprime = 0;
    int32_t rubrique = 0;
    auto operator<=>(const Place&) const = default;
};

}  // namespace

std::shared_ptr<CRubrique> CRubriques::Item(const Value& vntIndexKey) const {
    return rubriques_.find(vntIndexKey);
}

bool CRubriques::IsKeyExist(std::string_view Key) const {
    return rubriques_.hasKey(Key);
}

void CRubriques::Remove(const Value& vntIndexKey) {
    rubriques_.remove(vntIndexKey);
}

// Forms are taken in start-tag order and each form's rubrics in their
// order, so a form nested in another comes after all of the outer form's
// rubrics although the file holds some of them later. Rubrics are built at
// their end tag and kept aside with their place; once the whole file has
// parsed, they join the collection in that order up to the first failure,
// which is then raised. A file that does not parse adds nothing.
class CRubriques::Chargement : public XmlSubtreeReader::Handler {
public:
    explicit Chargement(CRubriques& rubriques) : rubriques_(rubriques) {}

    bool start(std::string_view name, const XmlElement& element) override {
        const Genre parent = ouverts_.empty() ? Genre::Autre : ouverts_.back().genre;
        if (name == "IMPRIME") {
            const Place place{imprimes_.size(), 0};
            imprimes_.push_back({element.attribute("CODE"), 0});
            if (!imprimes_.back().code) echouer(place, Error::runtime(err::NullIncorrect));
            ouverts_.push_back({Genre::Imprime, place});
            return false;
        }
        if (name == "RUBRIQUE" && parent == Genre::Imprime) {
            const size_t imprime = ouverts_.back().place.imprime;
            ouverts_.push_back({Genre::Rubrique, {imprime, ++imprimes_[imprime].rubriques}});
            return false;
        }
        ouverts_.push_back({Genre::Autre, {}});
        // A rubric reads its account and dependency lines at its end.
        return parent == Genre::Rubrique && (name == "LIGNE" || name == "DEPENDANCE");
    }

    void end(std::string_view, const XmlElement& element) override {
        const Ouvert ouvert = ouverts_.back();
        ouverts_.pop_back();
        if (ouvert.genre != Genre::Rubrique || !avantEchec(ouvert.place)) return;
        const std::optional<std::string>& code = imprimes_[ouvert.place.imprime].code;
        if (!code) return;  // the form's own failure comes first
        std::shared_ptr<CRubrique> rubrique = rubriques_.NouvelleRubrique();
        try {
            if (!RubriqueInterne::ChargerXML(*rubrique, *code, element)) return;
        } catch (const Error& e) {
            echouer(ouvert.place, e);
            return;
        }
        lues_.push_back({ouvert.place, std::move(rubrique)});
    }

    // Adds the rubrics in document order up to the first failure, and raises it.
    void ajouter() {
        std::sort(lues_.begin(), lues_.end(),
                  [](const Lue& a, const Lue& b) { return a.place < b.place; });
        for (const Lue& lue : lues_) {
            if (!avantEchec(lue.place)) break;
            rubriques_.AjouterRubrique(lue.rubrique);
        }
        if (echec_) throw echec_->second;
    }

private:
    enum class Genre : uint8_t { Autre, Imprime, Rubrique };
    struct Ouvert {
        Genre genre;
        Place place;
    };
    struct Imprime {
        std::optional<std::string> code;
        int32_t rubriques;
    };
    struct Lue {
        Place place;
        std::shared_ptr<CRubrique> rubrique;
    };

    bool avantEchec(const Place& place) const { return !echec_ || place < echec_->first; }
    void echouer(const Place& place, const Error& e) {
        if (avantEchec(place)) echec_.emplace(place, e);
    }

    CRubriques& rubriques_;
    std::vector<Ouvert> ouverts_;  // the open elements, outermost first
    std::vector<Imprime> imprimes_;
    std::vector<Lue> lues_;
    std::optional<std::pair<Place, Error>> echec_;  // the first in document order
};

void CRubriques::ChargerFichier(const std::string& chemin) {
    Chargement chargement(*this);
    if (std::optional<XmlParseFailure> echec = XmlSubtreeReader::read(chemin, chargement))
        LeverErreur(parserErrorNumber(echec->code),
                    "Erreur de chargement document XML des rubriques (fichier ligne " +
                        std::to_string(echec->line) + ") \r" + echec->reason);
    chargement.ajouter();
    ResoudreDependances();
    RefuserCycles();
}

void CRubriques::AjouterRubrique(const std::shared_ptr<CRubrique>& rubrique) {
    // Every rubric is keyed, even by the empty text, so that two empty keys collide.
    rubriques_.addKeyed(rubrique, rubrique->KeyRubrique());
}

std::shared_ptr<CRubrique> CRubriques::NouvelleRubrique() {
    auto rubrique = std::make_shared<CRubrique>();
    if (auto engine = engine_.lock()) RubriqueInterne::SetCalculTVA(*rubrique, engine);
    return rubrique;
}

void CRubriques::ResoudreDependances() {
    const int32_t nombre = Count();
    for (int32_t i = 1; i <= nombre; ++i) {
        std::shared_ptr<CLignesDependance> lignes = rubriques_.at(i)->LignesDependance();
        const int32_t nombreLignes = lignes->Count();
        for (int32_t j = 1; j <= nombreLignes; ++j) {
            CLigneDependance& ligne = *RubriqueInterne::Ligne(*lignes, j);
            std::shared_ptr<CRubrique> cible =
                rubriques_.findKey(CleRubrique(ligne.CodeImprime, ligne.CodeRubrique));
            ligne.SetRubriqueDep(cible);
            if (!cible && EnModeDeveloppement())
                AfficherMessage("Les dépendances sur l'imprimé '" + ligne.CodeImprime +
                                "' pour la rubrique '" + ligne.CodeRubrique +
                                "' ne sont pas correcte");
        }
    }
}

// A cycle would make every change of one of its rubrics run round forever,
// so a parameter file that has one is refused whatever the rubrics' types;
// so is a chain longer than a change may travel, which would otherwise load
// and then fail in the middle of the data pass.
// The walk keeps its own stack: thousands of chained rubrics stay cheap.
void CRubriques::RefuserCycles() const {
    const int32_t nombre = Count();
    std::unordered_map<const CRubrique*, int32_t> indices;
    indices.reserve(static_cast<size_t>(nombre));
    for (int32_t i = 1; i <= nombre; ++i) indices.emplace(rubriques_.at(i).get(), i - 1);

    // Successors of each rubric, in line order, as one flat table.
    std::vector<size_t> debut(static_cast<size_t>(nombre) + 1, 0);
    std::vector<int32_t> successeurs;
    for (int32_t i = 1; i <= nombre; ++i) {
        for (const auto& ligne : rubriques_.at(i)->LignesDependance()->NewEnum()) {
            auto it = indices.find(ligne->RubriqueDep().get());
            if (it != indices.end()) successeurs.push_back(it->second);
        }
        debut[static_cast<size_t>(i)] = successeurs.size();
    }

    enum : uint8_t { Nouveau, SurLeChemin, Termine };
    std::vector<uint8_t> etat(static_cast<size_t>(nombre), Nouveau);
    std::vector<int32_t> etapes(static_cast<size_t>(nombre), 0);  // longest chain from each rubric
    struct Cadre {
        int32_t noeud;
        size_t suivant;
    };
    std::vector<Cadre> chemin;
    for (int32_t depart = 0; depart < nombre; ++depart) {
        if (etat[static_cast<size_t>(depart)] != Nouveau) continue;
        etat[static_cast<size_t>(depart)] = SurLeChemin;
        chemin.push_back({depart, debut[static_cast<size_t>(depart)]});
        while (!chemin.empty()) {
            Cadre& cadre = chemin.back();
            if (cadre.suivant == debut[static_cast<size_t>(cadre.noeud) + 1]) {
                const auto noeud = static_cast<size_t>(cadre.noeud);
                for (size_t s = debut[noeud]; s < debut[noeud + 1]; ++s)
                    etapes[noeud] =
                        std::max(etapes[noeud], etapes[static_cast<size_t>(successeurs[s])] + 1);
                if (etapes[noeud] > kEtapesPropagationMax)
                    throw Error(err::AppelIncorrect,
                                "Chaîne de dépendances trop longue à partir de la rubrique " +
                                    rubriques_.at(cadre.noeud + 1)->KeyRubrique() + " : plus de " +
                                    std::to_string(kEtapesPropagationMax) + " étapes");
                etat[noeud] = Termine;
                chemin.pop_back();
                continue;
            }
            const int32_t cible = successeurs[cadre.suivant++];
            if (etat[static_cast<size_t>(cible)] == Nouveau) {
                etat[static_cast<size_t>(cible)] = SurLeChemin;
                chemin.push_back({cible, debut[static_cast<size_t>(cible)]});
            } else if (etat[static_cast<size_t>(cible)] == SurLeChemin) {
                size_t k = 0;
                while (chemin[k].noeud != cible) ++k;
                std::string cles;
                for (; k < chemin.size(); ++k)
                    cles += rubriques_.at(chemin[k].noeud + 1)->KeyRubrique() + " -> ";
                cles += rubriques_.at(cible + 1)->KeyRubrique();
                throw Error(err::AppelIncorrect,
                            "Dépendance circulaire entre les rubriques " + cles);
            }
        }
    }
}

}  // namespace qx
