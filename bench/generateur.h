// Deterministic generators of benchmark inputs: an accounting data file of
// any size, a large parameter file and a small dependency chain. The same
// seed gives the same bytes on every machine (own random source, no
// standard distributions, no locale).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qx::bench {

// splitmix64: small, fast and identical everywhere.
class Aleatoire {
public:
    explicit Aleatoire(uint64_t graine) : etat_(graine) {}
    uint64_t suivant();
    // Uniform in [0, n); n > 0.
    uint32_t entre(uint32_t n) { return static_cast<uint32_t>(suivant() % n); }
    // True with probability pourMille / 1000.
    bool chance(uint32_t pourMille) { return entre(1000) < pourMille; }

private:
    uint64_t etat_;
};

// One way a data line can be written: an account (or account prefix), a
// rate type and a category. "9" in a code stands for "any code".
struct Imputation {
    std::string compte;
    std::string typeTaux;
    std::string categorie;
    int sens = 1;   // account lines only: -1 takes credits
    int cumul = 0;  // account lines only: -1 subtracts, 1 adds, 0 left out (adds)
};

// The accounts, rate types and categories data lines are drawn from.
struct PlanComptable {
    std::vector<Imputation> imputations;  // accounts that feed rubrics
    std::vector<std::string> neutres;     // accounts that feed no rubric (thirds, bank)
    std::vector<std::string> typesTaux;   // every rate type in use (never "9")
    std::vector<std::string> categories;  // every category in use (never "9")
};

// French-chart accounts with the usual rate types and categories.
PlanComptable planParDefaut();

// The account lines of a parameter file (RUBRIQUE/LIGNE), so that data lines
// feed its rubrics. Raises qx::Error when the file cannot be read; a file
// without any account line gives the default chart.
PlanComptable planDepuisParametrage(const std::string& cheminRubriques);

struct OptionsDonnees {
    uint64_t lignes = 1'000'000;
    uint64_t graine = 20261205;
    std::string credit = "1523.40";  // CREDITTVA of the header
};

struct StatistiquesDonnees {
    uint64_t lignes = 0;
    uint64_t octets = 0;
};

// Writes a DONNEESTVA file: a header (PARAMS with CREDITTVA and the other
// header attributes, TRESORERIE, TIERS), then the data lines, some directly
// under DONNEES and some nested in JOURNAL/ECRITURE wrappers. Amounts have
// two decimals; a few are negative or zero. Raises qx::Error (75) when the
// file cannot be written.
StatistiquesDonnees genererDonnees(const std::string& chemin, const PlanComptable& plan,
                                   const OptionsDonnees& options);

struct OptionsParametrage {
    uint32_t rubriques = 2'000;
    uint32_t lignesCompte = 10'000;
    uint32_t profondeur = 10;  // length of the dependency chains, in rubrics
    uint64_t graine = 17;
};

struct StatistiquesParametrage {
    uint32_t rubriques = 0;
    uint32_t lignesCompte = 0;
    uint32_t dependances = 0;
    uint32_t longueurMaxChaine = 0;  // rubrics on the longest dependency path
    uint64_t octets = 0;
};

// Writes a RUBRIQUESTVA file of several forms. Rubrics come in chains of
// `profondeur` (each feeds the next, some also feed a rubric further down
// another chain, never backwards, so there is no cycle); account lines use
// prefixes of every length from 0 to 8 and "9" wildcards.
StatistiquesParametrage genererParametrage(const std::string& chemin, const PlanComptable& plan,
                                           const OptionsParametrage& options);

// A parameter file with one number rubric feeding a chain of `sauts`
// further rubrics ("CA3" "C0" -> "C1" -> ... ), signs alternating.
void genererChaine(const std::string& chemin, uint32_t sauts);

}  // namespace qx::bench
