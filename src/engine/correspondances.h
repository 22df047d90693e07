// Which account lines a data line feeds. A data line (account, rate type,
// category) matches an account line when the category matches ("9" takes
// every one), the account starts with the line's Compte, and the rate type
// matches ("9" takes every one). Only number rubrics receive amounts.
//
// The index gives exactly the matches of a walk over every account line of
// every rubric, in the same order (rubric order, then line order), so that
// the additions, and hence the rounded results, are bit-for-bit the same. The index works on a copy
// of the account lines taken when it is built and keeps their rubrics alive: a change of the lines
// while it is in use (one data pass) is not seen, and cannot leave it dangling.
#pragma once

#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "engine/rubriques.h"
#include "rubrics/conventions.h"

namespace qx {

// One account line met by a data line: the rubric it feeds and how.
struct Correspondance {
    CRubrique* rubrique;
    int16_t typeCumul;
    int16_t sens;

    friend bool operator==(const Correspondance&, const Correspondance&) = default;
};

// Whether an account line (Compte, TypeTaux, CategorieAV) takes a data line
// (account, rate type, category): the account starts with Compte (an
// account shorter than it never does), "9" takes every rate type and every
// category.
inline bool TauxEtCategorieCorrespondent(std::string_view typeTauxLigne,
                                         std::string_view categorieLigne, std::string_view typeTaux,
                                         std::string_view categorie) {
    return (typeTauxLigne == "9" || typeTaux == typeTauxLigne) &&
           (categorieLigne == "9" || categorie == categorieLigne);
}
inline bool LigneCompteCorrespond(std::string_view compteLigne, std::string_view typeTauxLigne,
                                  std::string_view categorieLigne, std::string_view compte,
                                  std::string_view typeTaux, std::string_view categorie) {
    return compte.substr(0, compteLigne.size()) == compteLigne &&
           TauxEtCategorieCorrespondent(typeTauxLigne, categorieLigne, typeTaux, categorie);
}

// What one account line adds for an amount: nothing for 0 or an amount of
// the other sign, otherwise its magnitude, negated when TypeCumul is -1.
inline bool MontantRetenu(double montant, int16_t sens) {
    return montant != 0 && sens * montant > 0;
}
inline double MontantCumule(double montant, int16_t typeCumul) {
    const double magnitude = std::fabs(montant);
    return typeCumul == -1 ? -magnitude : magnitude;
}

class IndexCorrespondances {
public:
    // Past this many remembered (node, rate type, category) keys, or this
    // many matches in all, the memo starts afresh: memory stays bounded on any data.
    static constexpr size_t kMemoMaxCles = 100000;
    static constexpr size_t kMemoMaxCorrespondances = 4000000;
    // Longer keys (absurd rate types or categories) are answered without being remembered.
    static constexpr size_t kMemoMaxOctetsCle = 256;

    explicit IndexCorrespondances(const CRubriques& rubriques);

    // The matches of a data line, in walk order. Valid until the next call.
    const std::vector<Correspondance>& Correspondances(std::string_view compte,
                                                       std::string_view typeTaux,
                                                       std::string_view categorie);
    // What a data line adds, match by match in walk order, handed to
    // ajouter(CRubrique&, double): the data pass gives it to its worker.
    template <class Ajout>
    void PourChaqueCumul(std::string_view compte, std::string_view typeTaux,
                         std::string_view categorie, std::string_view montantTexte,
                         Ajout&& ajouter) {
        const std::vector<Correspondance>& correspondances =
            Correspondances(compte, typeTaux, categorie);
        if (correspondances.empty()) return;
        // The amount is read once: the conversion depends on the text alone.
        const double montant = TexteVersNombre(montantTexte);
        for (const Correspondance& c : correspondances)
            if (MontantRetenu(montant, c.sens))
                ajouter(*c.rubrique, MontantCumule(montant, c.typeCumul));
    }

    size_t TailleMemo() const { return memo_.size(); }

private:
    // In front of the trie and the memo, the answers of the data lines met
    // lately, keyed by their whole short texts packed into two words:
    // most lines of a ledger repeat a few hundred (account, rate type,
    // category) triples. A slot holds one triple; another one that falls
    // on it takes its place.
    struct Recent {
        uint64_t compte = 0;
        uint64_t codes = 0;  // 0: empty slot (a packed key never is)
        const std::vector<Correspondance>* correspondances = nullptr;
    };
    static constexpr size_t kRecents = 4096;
    // The key of a triple, or false when its texts are too long to pack.
    static bool Cle(std::string_view compte, std::string_view typeTaux, std::string_view categorie,
                    uint64_t& motCompte, uint64_t& motCodes);
    const std::vector<Correspondance>& Chercher(std::string_view compte, std::string_view typeTaux,
                                                std::string_view categorie);

    struct Ligne {
        Correspondance correspondance;
        std::string typeTaux;
        std::string categorie;
    };
    // A trie on the account lines' Compte. The lines whose Compte is a
    // prefix of an account are those of the nodes on the path the account
    // walks from the root; so the matches depend only on the last node
    // reached, the rate type and the category, which is what the memo keys.
    struct Noeud {
        uint32_t parent = 0;
        std::vector<std::pair<char, uint32_t>> enfants;
        std::vector<uint32_t> lignes;  // positions in lignes_, ascending
    };
    uint32_t Enfant(uint32_t noeud, char c) const;  // 0 when there is none
    std::vector<Correspondance> Calculer(uint32_t noeud, std::string_view typeTaux,
                                         std::string_view categorie) const;

    std::vector<std::shared_ptr<CRubrique>> rubriques_;  // keeps the targets alive
    std::vector<Ligne> lignes_;  // account lines of number rubrics, in walk order
    std::vector<Noeud> noeuds_;  // noeuds_[0] is the root (the empty Compte)
    std::unordered_map<std::string, std::vector<Correspondance>> memo_;
    size_t correspondancesMemo_ = 0;
    std::string cle_;  // reused: looking a data line up allocates nothing
    std::vector<Correspondance> calcul_;
    std::vector<Recent> recents_ = std::vector<Recent>(kRecents);
};

}  // namespace qx
