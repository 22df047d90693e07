#include "tableau.h"
#include "engine/calcul_interne.h"

#include <algorithm>
#include <sstream>
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
        const auto& rubrique = qx::CalculInterne::Rubrique(rubriques, i);
        if (!rubrique) continue;
        LigneTableau ligne{rubrique->CodeImprime(), rubrique->CodeRubrique(), rubrique->AsXML(),
                           rubrique->IsForce()};
        largeurImprime = std::max(largeurImprime, largeurAffichee(ligne.imprime));
        largeurRubrique = std::max(largeurRubrique, largeurAffichee(ligne.rubrique));
        largeurValeur = std::max(largeurValeur, largeurAffichee(ligne.valeur));
        forcees += ligne.force ? 1 : 0;
        lignes.push_back(std::move(ligne));
    }

    auto ecrire = [&](std::string_view imprime, std::string_view rubrique, std::string_view valeur,
                      std::string_view marque) {
        std::ostringstream ligne;
        completer(ligne, imprime, largeurImprime, false);
        ligne << "  ";
        completer(ligne, rubrique, largeurRubrique, false);
        ligne << "  ";
        completer(ligne, valeur, largeurValeur, true);
        ligne << "  " << marque;
        std::string texte = ligne.str();
        texte.erase(texte.find_last_not_of(' ') + 1);  // an empty text value leaves only blanks
        sortie << texte << '\n';
    };
    ecrire(titreImprime, titreRubrique, titreValeur, titreForce);
    for (const LigneTableau& ligne : lignes)
        ecrire(ligne.imprime, ligne.rubrique, ligne.valeur, ligne.force ? "*" : "");
    sortie << lignes.size() << (lignes.size() > 1 ? " rubriques" : " rubrique") << ", " << forcees
           << (forcees > 1 ? " forcées" : " forcée") << " (*)\n";
}

}  // namespace qxtva
