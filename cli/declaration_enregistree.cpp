#include "declaration_enregistree.h"

#include <cstdio>

#include "ardilo/declaration_substitut.h"
#include "declaration/fichier_pivot.h"
#include "engine/types_declaration.h"
#include "platform/date.h"

namespace qxtva {
namespace {

std::string texteDate(qx::Date date) {
    const qx::CivilDate c = qx::toCivil(date);
    char texte[16];
    std::snprintf(texte, sizeof texte, "%04d-%02d-%02d", c.year, c.month, c.day);
    return texte;
}

}  // namespace

DeclarationEnregistree lireDeclarationEnregistree(const std::string& chemin) {
    DeclarationEnregistree lue;
    qx::ardilo::DeclarationSubstitut declaration;
    try {
        declaration.ChargerDepuisXML(qx::JoindreLignes(qx::LireLignesFichier(chemin)));
    } catch (...) {
        return lue;
    }
    for (const auto& formulaire : declaration.formulaires()->membres()) {
        const std::string nom(qx::NomDuCodeFormulaire(formulaire->FormType()));
        for (const auto& rubrique : formulaire->rubriques()->membres())
            if (!rubrique->texte().empty()) lue.textes[{nom, rubrique->Code()}] = rubrique->texte();
    }
    const auto& periode = *declaration.depot()->periode();
    if (periode.debut()) lue.entete.emplace_back("debut", texteDate(*periode.debut()));
    if (periode.fin()) lue.entete.emplace_back("fin", texteDate(*periode.fin()));
    if (const auto& siret = declaration.depot()->redevable()->champ("SIRET"))
        lue.entete.emplace_back("siret", *siret);
    return lue;
}

}  // namespace qxtva
