#include "engine/rubriques.h"

#include <algorithm>
#include <cstdlib>
#include <unordered_map>
#include <variant>

#include "engine/calcul_tva.h"
#include "platform/message_box.h"
#include "platform/xml_scanner.h"
#include "rubrics/conventions.h"

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

XmlDocument ChargerDocumentXML(const std::string& chemin) {
    XmlDocument::LoadResult resultat = XmlDocument::loadFile(chemin);
    if (auto* echec = std::get_if<XmlParseFailure>(&resultat)) {
        LeverErreur(parserErrorNumber(echec->code),
                    "Erreur de chargement document XML des rubriques (fichier ligne " +
                        std::to_string(echec->line) + ") \r" + echec->reason);
    }
    return std::move(std::get<XmlDocument>(resultat));
}

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

void CRubriques::ChargerFichier(const std::string& chemin) {
    try {
        XmlDocument document = ChargerDocumentXML(chemin);
        for (const XmlElement& imprime : document.elements("IMPRIME")) {
            std::optional<std::string> code = imprime.attribute("CODE");
            if (!code) throw Error::runtime(err::NullIncorrect);
            for (const XmlElement& rubrique : imprime.children("RUBRIQUE"))
                AjouterRubrique(*code, rubrique);
        }
        ResoudreDependances();
        RefuserCycles();
    } catch (const Error& e) {
        LeverErreur(e.number(), e.description());
    }
}

std::shared_ptr<CRubrique> CRubriques::AjouterRubrique(std::string_view codeImprime,
                                                       const XmlElement& element) {
    if (!element) return nullptr;
    std::shared_ptr<CRubrique> rubrique = NouvelleRubrique();
    if (!rubrique->ChargerXML(codeImprime, element)) return nullptr;
    // Every rubric is keyed, even by the empty text, so that two empty keys collide.
    rubriques_.addKeyed(rubrique, rubrique->KeyRubrique());
    return rubrique;
}

std::shared_ptr<CRubrique> CRubriques::NouvelleRubrique() {
    auto rubrique = std::make_shared<CRubrique>();
    if (auto engine = engine_.lock()) rubrique->SetCalculTVA(engine);
    return rubrique;
}

void CRubriques::ResoudreDependances() {
    const int32_t nombre = Count();
    for (int32_t i = 1; i <= nombre; ++i) {
        std::shared_ptr<CLignesDependance> lignes = at(i)->LignesDependance();
        const int32_t nombreLignes = lignes->Count();
        for (int32_t j = 1; j <= nombreLignes; ++j) {
            CLigneDependance& ligne = *lignes->at(j);
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
    for (int32_t i = 1; i <= nombre; ++i) indices.emplace(at(i).get(), i - 1);

    // Successors of each rubric, in line order, as one flat table.
    std::vector<size_t> debut(static_cast<size_t>(nombre) + 1, 0);
    std::vector<int32_t> successeurs;
    for (int32_t i = 1; i <= nombre; ++i) {
        for (const auto& ligne : at(i)->LignesDependance()->NewEnum()) {
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
                                    at(cadre.noeud + 1)->KeyRubrique() + " : plus de " +
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
                    cles += at(chemin[k].noeud + 1)->KeyRubrique() + " -> ";
                cles += at(cible + 1)->KeyRubrique();
                throw Error(err::AppelIncorrect,
                            "Dépendance circulaire entre les rubriques " + cles);
            }
        }
    }
}

}  // namespace qx
