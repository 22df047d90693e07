// Where each rubric's value came from: the data lines that fed it, the
// dependencies that carried changes into it, the credit, the instalments,
// the roundings and a forcing by the coherence checks, each with its
// amount; together they add up to the rubric's value. Recorded only on
// request: attach an Explication to an engine before Init.
//
//     auto calcul = CCalculTVA::Creer();
//     Explication explication({"CA3GB"});   // or {} for every rubric
//     calcul->SetObservateur(&explication);
//     calcul->Init(donnees, rubriques, resultat);
//     const Trace* trace = explication.Trace("CA3GB");
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "engine/observateur_calcul.h"

namespace qx {

class CRubriques;

// A data line that added an amount to the rubric through one of its account lines.
struct ApportLigne {
    int ligne = 0;  // in the data file
    std::string compte, typeTaux, categorie, montantTexte;
    double montantLu = 0;
    // The account line that matched: its position among the rubric's lines and its fields.
    int32_t ligneCompte = 0;
    std::string compteLigne, typeTauxLigne, categorieLigne;
    int16_t sens = 1, typeCumul = 1;
    double ajoute = 0;         // what the rubric received
    bool avantCredit = false;  // came before a credit that then replaced the value
};

// What one dependency line of another rubric carried into this one during a step.
struct ApportDependance {
    std::string source;  // the key of the rubric the line belongs to
    int16_t sens = 1;
    ObservateurCalcul::Etape etape;
    double montant = 0;
};

struct Trace {
    std::string cle;
    std::string valeur;      // the exchange text, as the result file writes it
    double valeurBrute = 0;  // the stored number (before a "POSITIF" clamp)
    double valeurLue = 0;    // AsDouble
    bool positif = false;
    std::vector<ApportLigne> lignes;
    std::vector<ApportDependance> dependances;
    struct Credit {
        std::string texte;
        double avant = 0, apres = 0;
    };
    std::vector<Credit> credits;
    double acompte = 0;  // instalments added
    double premierArrondi = 0, secondArrondi = 0;
    struct Forcage {
        double avant = 0, apres = 0;
        std::string raison;   // "36863 × 5,5 % = 2027,465 → 2027 ; écart 1 ≤ 1 ‰ de 2027"
        bool corrige = true;  // false: the gap was found but left as it is
    };
    std::vector<Forcage> controles;
    // Own changes of the checks step (a forcing), not carried by a dependency.
    double forcage = 0;

    // Every amount above added up: the stored number, to rounding noise.
    double somme() const;
};

class Explication : public ObservateurCalcul {
public:
    // The keys to explain (letter case ignored); empty: every rubric.
    explicit Explication(std::vector<std::string> cles = {});

    // After Init: the trail of a rubric of the computation, or none.
    const qx::Trace* Trace(const std::string& cle) const;
    // The keys traced, in collection order.
    const std::vector<std::string>& Cles() const { return ordre_; }

    void apres(Etape etape, const CCalculTVA& calcul, const CRubriques& rubriques) override;
    void credit(const CRubrique& rubrique, std::string_view texte, double avant) override;
    void controle(const CRubrique& base, double valeurBase, const CRubrique& taxe,
                  double valeurTaxe, double taux, double calcule, bool corrige) override;

private:
    struct Etat {
        double brut = 0, lu = 0;
    };
    bool suivie(const std::string& cle) const;
    void lireDonnees(const CCalculTVA& calcul);
    std::vector<Etat> releve(const CRubriques& rubriques) const;

    std::vector<std::string> demandees_;  // upper case
    std::vector<std::string> ordre_;
    std::map<std::string, qx::Trace> traces_;  // by upper-cased key
    std::vector<Etat> precedent_;
    // The dependency lines between number rubrics: source, target positions, sign.
    struct Arete {
        size_t source, cible;
        int16_t sens;
    };
    std::vector<Arete> aretes_;
    std::vector<std::string> cles_;  // of every rubric, in collection order
};

// The trail as French text, one item a line, for people.
std::string TexteTrace(const Trace& trace, const std::string& fichierDonnees);

}  // namespace qx
