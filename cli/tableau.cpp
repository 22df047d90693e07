#include "tableau.h"

#include <algorithm>
#include <string>
#include <vector>

namespace qxtva {

size_t largeurAffichee(std::string_view texte) {
    // Continuation bytes (10xxxxxx) do not start a character.
    return static_cast<size_t>(std::count_if(texte.begin(), texte.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

namespace {

struct LigneTableau {
    std::string imprime;
    std::string rubrique;
    std::string valeur;
    bool force = false;
};

void completer(std::ostream& sortie, std::string_view texte, size_t largeur, bool aDroite) {
    std::string blancs(largeur - std::min(largeur, largeurAffichee(texte)), ' ');
    if (aDroite)
        sortie << blancs << texte;
    else
        sortie << texte << blancs;
}

}  // namespace

void afficherRubriques(std::ostream& sortie, const qx::CRubriques& rubriques) {
    const std::string titreImprime = "Imprimé", titreRubrique = "Rubrique", titreValeur = "Valeur",
                      titreForce = "Forcée";
    std::vector<LigneTableau> lignes;
    size_t largeurImprime = largeurAffichee(titreImprime);
    size_t largeurRubrique = largeurAffichee(titreRubrique);
    size_t largeurValeur = largeurAffichee(titreValeur);
    int forcees = 0;
    for (int32_t i = 1; i <= rubriques.Count(); ++i) {
        const auto& rubrique = rubriques.at(i);
        if (!rubrique) continue;
        LigneTableau ligne{rubrique->CodeImprime(), rubrique->CodeRubrique(), rubrique->AsXML(),
                           rubrique->IsForce()};
        largeurImprime = std::max(largeurImprime, largeurAffichee(ligne.imprime));
        largeurRubrique = std::max(largeurRubrique, largeurAffichee(ligne.rubrique));
        largeurValeur = std::max(largeurValeur, largeurAffichee(ligne.valeur));
        forcees += ligne.force ? 1 : 0;
        lignes.push_back(std::move(ligne));
    }

    completer(sortie, titreImprime, largeurImprime, false);
    sortie << "  ";
    completer(sortie, titreRubrique, largeurRubrique, false);
    sortie << "  ";
    completer(sortie, titreValeur, largeurValeur, true);
    sortie << "  " << titreForce << '\n';
    for (const LigneTableau& ligne : lignes) {
        completer(sortie, ligne.imprime, largeurImprime, false);
        sortie << "  ";
        completer(sortie, ligne.rubrique, largeurRubrique, false);
        sortie << "  ";
        completer(sortie, ligne.valeur, largeurValeur, true);
        if (ligne.force) sortie << "  *";
        sortie << '\n';
    }
    sortie << lignes.size() << (lignes.size() > 1 ? " rubriques" : " rubrique") << ", " << forcees
           << (forcees > 1 ? " forcées" : " forcée") << " (*)\n";
}

}  // namespace qxtva
